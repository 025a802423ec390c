#pragma once
// PackageBuilder: makes setup program files for tests, byte by byte as the
// format lays them out: a zero-filled stand-in stub of kPackageStart bytes,
// the 40-byte header, the script stream and one stream per record. Streams
// are LZSS with literals only (a flag byte of ones per eight bytes), which
// every decoder of the format reads. Texts are taken as given (GBK).
#include <string>
#include <vector>

namespace kestrova::test {

class PackageBuilder {
  public:
    struct Record {
        std::string target;  // the path field (padded to its width here)
        std::string data;    // the file's bytes
        char kind = '0';
        bool runAndDelete = false;  // a '*' in the padding
        bool noneApp = false;       // a "<NoneApp>" line instead of a record
    };

    std::string firstLine = "Kestrova Setup Script";
    std::string productName = "Demo";
    std::string installDir = "[Program Files]\\Demo";
    std::string licenceOption = "1";
    std::string uninstallOption = "1";
    std::vector<std::string> directories;
    std::string welcome = "WELCOME", splash, title = "TITLE";  // picture bytes
    std::vector<Record> records;
    std::string totalSize;  // empty: the sum of the records' sizes
    std::vector<std::string> autoReg, clearFile;
    std::string programGroup = "Demo";
    std::vector<std::string> menuLines;  // whole lines without CR LF (see menuLine)
    std::string runCaption = "Run Demo", runCommand = "[InstallDir]\\demo.exe";
    std::string licence = "<html>licence</html>";
    int fileCountAdjust = 0;  // added to the header's count, to damage it
    // The streams' CRC-32s: a [Checksums] section after the [Run] lines and
    // the script's own in the header (what the current kpack writes).
    bool checksums = false;

    void addFile(const std::string& target, const std::string& data, char kind = '0',
                 bool runAndDelete = false) {
        records.push_back({target, data, kind, runAndDelete, false});
    }
    void addNoneApp() { records.push_back({"", "", '0', false, true}); }

    // A [Menu] line: name padded to 100, target field to 300, two flags.
    static std::string menuLine(const std::string& name, const std::string& targetField,
                                bool desktop = false, bool startup = false);
    // A [File] record line without CR LF: 309 bytes.
    static std::string recordLine(const std::string& target, long offset, long length, char kind);
    // A 20-byte number field.
    static std::string numberField(long value);
    // Literal-only LZSS.
    static std::string encode(const std::string& bytes);

    // The decompressed script (record offsets as build() lays them out).
    std::string script() const;
    // The whole setup program file.
    std::string build() const;

    // The record base of build(): the stub's size plus the script stream's.
    long recordBase() const;
    // Where build() put the stream of records[i] (absolute file position).
    long streamPosition(std::size_t i) const;

  private:
    std::string scriptWithOffsets(const std::vector<long>& offsets) const;
    void layout(std::string* script, std::vector<long>* offsets, std::string* streams) const;
};

}  // namespace kestrova::test
