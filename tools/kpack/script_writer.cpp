#include "script_writer.h"

#include <stdexcept>

#include "package/product_facts.h"
#include "package/stream_checksums.h"

namespace kestrova::kpack {
namespace {

constexpr const char kLineEnd[] = "\r\n";

// Appends text left-aligned in a field of width bytes, padded with spaces.
void putField(std::string& line, const std::string& text, int width, const char* what) {
    if (text.size() > static_cast<std::size_t>(width))
        throw std::logic_error(std::string(what) + " does not fit its field");
    line += text;
    line.append(static_cast<std::size_t>(width) - text.size(), ' ');
}

void putLine(std::string& script, const std::string& text) {
    script += text;
    script += kLineEnd;
}

void putLines(std::string& script, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) putLine(script, line);
}

// A [Product] line "Name=value"; a fact not given has none.
void putFact(std::string& script, const char* name, const std::string& value) {
    if (value.empty()) return;
    putLine(script, std::string(name) + format::kFactSeparator + value);
}

}  // namespace

std::string numberField(int64_t value, int width) {
    if (value < 0) throw std::logic_error("negative number field");
    std::string field = std::to_string(value);
    if (field.size() > static_cast<std::size_t>(width))
        throw std::logic_error("number field too wide");
    field.append(static_cast<std::size_t>(width) - field.size(), ' ');
    return field;
}

std::string recordLine(const ScriptRecord& record) {
    static_assert(
        format::kRecordOffsetField == format::kRecordPathWidth &&
            format::kRecordLengthField == format::kRecordOffsetField + format::kNumberFieldWidth &&
            format::kRecordKind == format::kRecordLengthField + format::kNumberFieldWidth &&
            format::kRecordWidth == format::kRecordKind + 1,
        "a record is the path, the offset, the length and the kind, in this order");
    if (record.noneApp) return std::string(format::kNoneAppMarker) + kLineEnd;
    std::string line;
    line.reserve(format::kRecordWidth + 2);
    putField(line, record.target, format::kRecordPathWidth, "target path");
    std::string offset = numberField(record.offset);
    // The run-and-delete mark: a '*' anywhere in the line. The offset
    // field's last byte is always padding (offsets are at most ten digits)
    // and reads as a space once the install run has replaced the '*', so
    // the path and the kind stay as they are.
    if (record.runAndDelete) offset.back() = format::kRunAndDeleteMark;
    line += offset;
    std::string length = numberField(record.length);
    // Another codec than LZSS is named in the length field's last byte,
    // which is padding too and ends the number for every reader.
    if (record.codec == format::StreamCodec::Stored) length.back() = format::kCodecMarkStored;
    if (record.codec == format::StreamCodec::Deflate) length.back() = format::kCodecMarkDeflate;
    if (record.codec == format::StreamCodec::DeflateDictionary)
        length.back() = format::kCodecMarkDeflateDictionary;
    line += length;
    line += record.kind;
    line += kLineEnd;
    return line;
}

std::string shortcutLine(const ScriptShortcut& shortcut) {
    static_assert(
        format::kMenuTargetField == format::kMenuNameWidth &&
            format::kMenuDesktopFlag == format::kMenuTargetField + format::kMenuTargetWidth &&
            format::kMenuStartupFlag == format::kMenuDesktopFlag + 1 &&
            format::kMenuLineWidth == format::kMenuStartupFlag + 1,
        "a shortcut line is the name, the target field and the two flags");
    std::string line;
    line.reserve(format::kMenuLineWidth + 2);
    putField(line, shortcut.name, format::kMenuNameWidth, "shortcut name");
    // The target field is split at its first '/', and one space before it
    // is dropped: "target /arguments".
    const std::string field =
        shortcut.arguments.empty() ? shortcut.target : shortcut.target + " /" + shortcut.arguments;
    putField(line, field, format::kMenuTargetWidth, "shortcut target");
    line += shortcut.desktop ? '1' : '0';
    line += shortcut.startup ? '1' : '0';
    line += kLineEnd;
    return line;
}

std::string writeScript(const ScriptContent& c) {
    std::string s;
    putLine(s, c.firstLine);
    putLine(s, c.productName);
    putLine(s, c.installDir);
    putLine(s, c.licencePage ? "1" : "0");
    putLine(s, c.uninstall ? "1" : "0");

    s += format::kSectionDirectory;
    putLines(s, c.directories);
    s += format::kSectionFile;
    for (const ScriptRecord& picture : c.pictures) s += recordLine(picture);
    for (const ScriptRecord& record : c.records) s += recordLine(record);
    s += format::kSectionTotalSize;
    putLine(s, std::to_string(c.totalSize));
    putLine(s, "");  // not read by the setup
    putLine(s, std::to_string(c.licence.size()));
    s += format::kSectionAutoReg;
    putLines(s, c.autoReg);
    s += format::kSectionClearFile;
    putLines(s, c.clearFile);
    s += format::kSectionMenu;
    putLine(s, c.group);
    for (const ScriptShortcut& shortcut : c.shortcuts) s += shortcutLine(shortcut);
    // Always written, with two empty lines for a product without a program
    // to start: the setup then shows no check box, and the [Checksums]
    // section keeps its place after these two lines, where every setup that
    // checks the streams looks for it.
    s += format::kSectionRun;
    putLine(s, c.runCaption);
    putLine(s, c.runCommand);
    // After the two [Run] lines nothing is read but the licence, which is
    // taken from the end: the checksums go between them.
    if (!c.checksums.empty()) {
        s += format::kSectionChecksums;
        for (uint32_t checksum : c.checksums) {
            char digits[format::kChecksumDigits];
            formatChecksum(checksum, digits);
            putLine(s, std::string(digits, sizeof digits));
        }
    }
    // Then the facts for the list of programs, which setups that do not
    // know them never read either.
    if (!c.product.empty()) {
        s += format::kSectionProduct;
        putFact(s, format::kFactVersion, c.product.version);
        putFact(s, format::kFactPublisher, c.product.publisher);
        putFact(s, format::kFactUrl, c.product.url);
        putFact(s, format::kFactIcon, c.product.icon);
    }
    // Taken from the script's end by its byte count, whatever it holds.
    s += c.licence;
    return s;
}

int64_t countedRecords(const ScriptContent& content) {
    int64_t n = 0;
    for (const ScriptRecord& record : content.records)
        if (!record.noneApp) ++n;
    return n;
}

std::string packageHeader(int64_t scriptStreamLength, int64_t fileCount,
                          std::optional<uint32_t> scriptChecksum, int64_t dictionaryLength) {
    std::string lengthField = numberField(scriptStreamLength);
    if (scriptChecksum) {
        // The number, then a NUL that ends the field for every reader, then
        // the digits that only a checking reader looks at.
        char digits[format::kChecksumDigits];
        formatChecksum(*scriptChecksum, digits);
        lengthField = numberField(scriptStreamLength, format::kHeaderChecksumNul) + '\0' +
                      std::string(digits, sizeof digits);
    }
    std::string countField = numberField(fileCount);
    if (dictionaryLength > 0)  // the same way: the count, a NUL, the length
        countField = numberField(fileCount, format::kHeaderDictionaryNul) + '\0' +
                     numberField(dictionaryLength,
                                 format::kNumberFieldWidth - format::kHeaderDictionaryNul - 1);
    std::string header = lengthField + countField;
    static_assert(format::kHeaderScriptLength == 0 &&
                      format::kHeaderFileCount == format::kNumberFieldWidth &&
                      format::kPackageHeaderSize == 2 * format::kNumberFieldWidth,
                  "the header is the script length field, then the file count field");
    return header;
}

}  // namespace kestrova::kpack
