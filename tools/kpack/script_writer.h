#pragma once
// Writes the setup script and the package header: the bytes the stub
// reads, with the field widths, padding and line ends of the format.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/format.h"

namespace kestrova::kpack {

// One line of the [File] section.
struct ScriptRecord {
    bool noneApp = false;  // a "<NoneApp>" marker line instead of a record
    std::string target;    // GBK; may begin with a path macro
    char kind = format::kKindCopy;
    bool runAndDelete = false;
    int64_t offset = 0;  // of its stream, from the record base
    int64_t length = 0;  // of its stream
    format::StreamCodec codec = format::StreamCodec::Lzss;
};

struct ScriptShortcut {
    std::string name;       // GBK
    std::string target;     // GBK, without "/"
    std::string arguments;  // GBK, may be empty
    bool desktop = false;
    bool startup = false;
};

// The product's facts for the list of programs (package/product_facts.h),
// in GBK; an empty text is a fact not given.
struct ScriptProduct {
    std::string version;
    std::string publisher;
    std::string url;
    std::string icon;
    bool empty() const {
        return version.empty() && publisher.empty() && url.empty() && icon.empty();
    }
};

// Everything the script says, its texts in GBK.
struct ScriptContent {
    std::string firstLine;
    std::string productName;
    std::string installDir;
    bool licencePage = false;
    bool uninstall = false;
    std::vector<std::string> directories;
    std::array<ScriptRecord, format::kPictureRecordCount> pictures;  // welcome, splash, title
    std::vector<ScriptRecord> records;
    uint64_t totalSize = 0;
    std::vector<std::string> autoReg;
    std::vector<std::string> clearFile;
    std::string group;
    std::vector<ScriptShortcut> shortcuts;
    std::string runCaption;  // both empty: no program to start
    std::string runCommand;
    std::string licence;  // the licence text, stored as it is
    // The CRC-32 of every stream, pictures first, then the counted records
    // in order; none: no [Checksums] section (what older tools wrote).
    std::vector<uint32_t> checksums;
    // A [Product] section after those lines; none when no fact is given.
    ScriptProduct product;
};

// A number field: decimal digits padded with spaces to width bytes.
// Throws std::logic_error for a negative value or one too wide.
std::string numberField(int64_t value, int width = format::kNumberFieldWidth);

// The [File] line of a record: kRecordWidth bytes and CR LF, or the marker
// line. Throws std::logic_error when a field does not fit.
std::string recordLine(const ScriptRecord& record);

// The [Menu] line of a shortcut: kMenuLineWidth bytes and CR LF. Throws
// std::logic_error when a field does not fit.
std::string shortcutLine(const ScriptShortcut& shortcut);

// The whole script. The content must have been checked (package_plan.h);
// a field that does not fit its width throws std::logic_error rather than
// being cut.
std::string writeScript(const ScriptContent& content);

// The number of counted file records: the header's file count.
int64_t countedRecords(const ScriptContent& content);

// The kPackageHeaderSize-byte package header; with scriptChecksum, the
// script length field carries it after a NUL (stream_checksums.h), and a
// dictionary's length goes after a NUL in the file count field (format.h).
std::string packageHeader(int64_t scriptStreamLength, int64_t fileCount,
                          std::optional<uint32_t> scriptChecksum = std::nullopt,
                          int64_t dictionaryLength = 0);

}  // namespace kestrova::kpack
