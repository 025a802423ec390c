#pragma once
// ScriptCheck: the rules a decoded setup script must follow so that every
// reader of the setup takes each line as what it is. Fed the script's lines
// in order, it checks that each line fits whole in the buffer of the reader
// that will read it (a longer line would be read in pieces and shift every
// line after it), that the sections stand in their order with none missing
// ("[Run]" may be left out), that record and shortcut lines have their fixed
// widths, that every stream lies inside the setup program's file after the
// script stream (offset fields of 40 or more, lengths not negative), that the
// header's file count matches, and that the licence text begins at the start
// of a line after the last line any reader takes. The stub runs it before
// unpacking anything; kpack runs the same code when it opens a package.
#include <cstdint>

namespace kestrova {

enum class PackageProblem {
    None,
    ScriptOutsideFile,  // the header's script stream does not lie inside the file
    MissingDirectory,   // no "[Directory]" line
    MissingFile,        // no "[File]" line after it
    MissingPictures,    // fewer than three picture records before "[TotalSize]"
    MissingTotalSize,   // the script ends inside "[File]"
    StreamOutsideFile,  // a picture or file stream does not lie inside the file
                        // after the script stream
    FileCountMismatch,  // the header's count differs from the counted records
    MissingSection,     // a later section, or the lines a section needs, is missing
    MisplacedSection,   // a section line where another section's lines stand
    LineTooLong,        // a line over its reader's limit, or without CR LF
    RecordWidth,        // a picture or file record that is not 309 bytes and CR LF
    ShortcutWidth,      // a [Menu] shortcut line that is not 402 bytes and CR LF
    LicenceLength,      // a licence length that is negative, past the script, or
                        // splits a line
};

class ScriptCheck {
  public:
    // scriptSize: the decoded script's length; fileSize: the setup program's;
    // recordBase: the absolute position the record offsets count from.
    ScriptCheck(int64_t scriptSize, int64_t fileSize, int32_t recordBase, int32_t fileCount);

    // Takes the next line of the script: `length` bytes, its line end
    // included. A line may be given whole or, past the longest limit (479
    // bytes), cut anywhere: either way it is too long. Returns false once
    // the check has its answer (a problem, or the licence text reached);
    // further lines are then ignored.
    bool addLine(const char* line, int length);

    // Ends the check at the end of the script; returns the first problem or
    // None.
    PackageProblem finish();

    // The 1-based script line of the problem (0 when it concerns no line).
    int problemLine() const { return problemLine_; }

  private:
    enum class Phase {
        Header,
        BeforeDirectory,
        Directory,
        Pictures,
        Records,
        TotalSize,
        BeforeAutoReg,
        AutoReg,
        ClearFile,
        Group,
        Menu,
        Run,
        AfterRun,
    };

    bool fail(PackageProblem problem);
    bool sectionLine(int section);
    bool recordLine(const char* line, int length);
    bool licenceLine(const char* line, int length);
    int limitOfPhase() const;

    int64_t scriptSize_;
    int64_t fileSize_;
    int32_t recordBase_;
    int32_t fileCount_;
    int64_t position_ = 0;
    int64_t bodyEnd_ = -1;  // where the licence text begins, once known
    int lineNumber_ = 0;
    int phaseLines_ = 0;  // lines read in the current phase
    int32_t counted_ = 0;
    Phase phase_ = Phase::Header;
    PackageProblem problem_ = PackageProblem::None;
    int problemLine_ = 0;
    bool done_ = false;
};

}  // namespace kestrova
