#pragma once
#include "package/format.h"
// PackageBuilder: makes setup program files for tests, byte by byte as the
#include "package/format.h"
// format lays them out: a zero-filled stand-in stub of kPackageStart bytes,
#include "package/format.h"
// the 40-byte header, the script stream and one stream per record. Streams
#include "package/format.h"
// are LZSS with literals only (a flag byte of ones per eight bytes), which
#include "package/format.h"
// every decoder of the format reads. Texts are taken as given (GBK).
#include <string>
#include <vector>

#include "package/format.h"
namespace kestrova::test {
#include "package/format.h"
class PackageBuilder {
#include "package/format.h"
  public:
#include "package/format.h"
    struct Record {
#include "package/format.h"
        std::string target;  // the path field (padded to its width here)
#include "package/format.h"
        std::string data;  // the file's bytes
#include "package/format.h"
        char kind = '0';
#include "package/format.h"
        bool runAndDelete = false;  // a '*' in the padding
#include "package/format.h"
        bool noneApp = false;  // a "<NoneApp>" line instead of a record
#include "package/format.h"
    };
#include "package/format.h"
    std::string firstLine = "Kestrova Setup Script";
#include "package/format.h"
    std::string productName = "Demo";
#include "package/format.h"
    std::string installDir = "[Program Files]\\Demo";
#include "package/format.h"
    std::string licenceOption = "1";
#include "package/format.h"
    std::string uninstallOption = "1";
#include "package/format.h"
    std::vector<std::string> directories;
#include "package/format.h"
    std::string welcome = "WELCOME", splash, title = "TITLE";  // picture bytes
#include "package/format.h"
    std::vector<Record> records;
#include "package/format.h"
    std::string totalSize;  // empty: the sum of the records' sizes
#include "package/format.h"
    std::vector<std::string> autoReg, clearFile;
#include "package/format.h"
    std::string programGroup = "Demo";
#include "package/format.h"
    std::vector<std::string> menuLines;  // whole lines without CR LF (see menuLine)
#include "package/format.h"
    std::string runCaption = "Run Demo", runCommand = "[InstallDir]\\demo.exe";
#include "package/format.h"
    std::string licence = "<html>licence</html>";
#include "package/format.h"
    int fileCountAdjust = 0;  // added to the header's count, to damage it
#include "package/format.h"
    // The streams' CRC-32s: a [Checksums] section after the [Run] lines and
#include "package/format.h"
    // the script's own in the header (what the current kpack writes).
#include "package/format.h"
    bool checksums = false;
#include "package/format.h"
    void addFile(const std::string& target, const std::string& data, char kind = '0',
#include "package/format.h"
                 bool runAndDelete = false) {
#include "package/format.h"
        records.push_back({target, data, kind, runAndDelete, false});
#include "package/format.h"
    }
#include "package/format.h"
    void addNoneApp() {
        records.push_back({"", "", '0', false, true});
    }
#include "package/format.h"
    // A [Menu] line: name padded to 100, target field to 300, two flags.
#include "package/format.h"
    static std::string menuLine(const std::string& name, const std::string& targetField,
#include "package/format.h"
                                bool desktop = false, bool startup = false);
#include "package/format.h"
    // A [File] record line without CR LF: 309 bytes.
#include "package/format.h"
    static std::string recordLine(const std::string& target, long offset, long length, char kind);
#include "package/format.h"
    // A 20-byte number field.
#include "package/format.h"
    static std::string numberField(long value);
#include "package/format.h"
    // Literal-only LZSS.
#include "package/format.h"
    static std::string encode(const std::string& bytes);
#include "package/format.h"
    // The decompressed script (record offsets as build() lays them out).
#include "package/format.h"
    std::string script() const;
#include "package/format.h"
    // The whole setup program file.
#include "package/format.h"
    std::string build() const;
#include "package/format.h"
    // The record base of build(): the stub's size plus the script stream's.
#include "package/format.h"
    long recordBase() const;
#include "package/format.h"
    // Where build() put the stream of records[i] (absolute file position).
#include "package/format.h"
    long streamPosition(std::size_t i) const;
#include "package/format.h"
  private:
#include "package/format.h"
    std::string scriptWithOffsets(const std::vector<long>& offsets) const;
#include "package/format.h"
    void layout(std::string* script, std::vector<long>* offsets, std::string* streams) const;
#include "package/format.h"
};
#include "package/format.h"
}  // namespace kestrova::test
#include "package/format.h"
