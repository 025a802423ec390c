#pragma once
// Reads a decoded setup script the way the setup does, and finds what the
// setup would misread: a missing or misplaced section line, a line over its
// read limit, a line without CR LF, a record or shortcut line of the wrong
// width, a licence length past the script, a [Checksums] section that does
// not give one checksum per stream, a [Product] line that is not one fact.
#include <cstdint>
#include <string>
#include <vector>

#include "package/format.h"
#include "script_writer.h"

namespace kestrova::kpack {

struct ParsedRecord {
    int line = 0;  // 1-based line of the script
    bool noneApp = false;
    std::string target;  // trailing spaces removed
    int32_t offset = 0;  // the offset field, from the record base
    int32_t length = 0;
    char kind = '\0';
    format::StreamCodec codec = format::StreamCodec::Lzss;
    bool runAndDelete = false;
    bool hasChecksum = false;  // the [Checksums] section gives the stream's CRC-32
    uint32_t checksum = 0;
};

struct ParsedShortcut {
    int line = 0;
    std::string name;
    std::string target;
    std::string arguments;
    bool desktop = false;
    bool startup = false;
};

struct ParsedScript {
    std::string firstLine, productName, installDir, licenceOption, uninstallOption;
    std::vector<std::string> directories;
    std::vector<ParsedRecord> pictures;  // welcome, splash, title
    std::vector<ParsedRecord> records;   // file records and markers, in order
    int64_t totalSize = 0;
    int64_t licenceLength = 0;
    std::vector<std::string> autoReg;
    std::vector<std::string> clearFile;
    std::string group;
    std::vector<ParsedShortcut> shortcuts;
    bool hasRunSection = false;  // the [Menu] lines end at "[Run]", not at the licence
    std::string runCaption, runCommand;
    std::string licence;
    bool hasChecksums = false;  // a [Checksums] section after the [Run] lines
    bool hasProduct = false;    // a [Product] section after those
    ScriptProduct product;      // its facts; empty texts where it gives none
    // One checksum more than streams: the package dictionary's (format.h).
    bool hasDictionaryChecksum = false;
    uint32_t dictionaryChecksum = 0;

    int64_t countedRecords() const;
    // True when the finish page offers to start a program: the setup shows
    // its check box only for a caption and a command that are not empty.
    bool offersRun() const { return !runCaption.empty() && !runCommand.empty(); }
};

// Parses script. Returns "" with *out filled, or the first problem, most
// of them in the form "script line N: ...". Never reads outside script.
std::string parseScript(const std::string& script, ParsedScript* out);

}  // namespace kestrova::kpack
