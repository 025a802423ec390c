#pragma once
// Opens a setup.exe for list, extract and verify: the package header, the
// decoded and parsed script, and the compressed streams of the records. Any
// damage is reported as an error naming the file; nothing is ever read
// outside the file or a buffer.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "file_io.h"
#include "script_parser.h"

namespace kestrova::kpack {

namespace fs = std::filesystem;

class PackageReader {
  public:
    // Opens the file and reads, decodes and parses its script, and checks
    // that every picture and file stream lies inside the file, after the
    // script, at a position the setup's 32-bit offsets reach. Throws
    // KpackError(displayName, 0, problem) for the first problem.
    PackageReader(const fs::path& path, const std::string& displayName);

    const std::string& name() const { return name_; }
    uint64_t fileSize() const { return file_.size(); }
    int32_t scriptStreamLength() const { return scriptLength_; }
    int32_t headerFileCount() const { return fileCount_; }
    int64_t recordBase() const { return recordBase_; }
    const std::string& script() const { return script_; }
    const ParsedScript& parsed() const { return parsed_; }

    // True when the package carries checksums (the header's and the
    // script's); the script stream was checked against its own.
    bool checksummed() const { return checksummed_; }

    // The package's deflate dictionary (format.h), checked against its
    // checksum; empty when the package has none.
    const std::vector<uint8_t>& dictionary() const { return dictionary_; }

    // The compressed bytes of a record's stream (checked to lie inside the
    // file when the reader was made). Throws KpackError when the file can
    // no longer be read, or when the bytes differ from the stream's
    // checksum (naming the stream).
    std::vector<uint8_t> compressedStream(const ParsedRecord& record);
    // Its decoded bytes, by its codec. Throws KpackError as above, and for a
    // deflate stream that is damaged.
    std::vector<uint8_t> decodedStream(const ParsedRecord& record);

    // The Authenticode signature that the stub's PE header points to (the
    // certificate table a signing tool appends after the package): true
    // with its position and size when there is one.
    bool signature(uint64_t* offset, uint32_t* size);

    // The stub's bytes, the first kPackageStart of the file (its version
    // resource holds the setup's file properties). Throws KpackError when
    // the file can no longer be read.
    std::string stubBytes();

    // "picture 1" / "record at script line N (TARGET)", for messages.
    std::string describe(const ParsedRecord& record) const;

  private:
    [[noreturn]] void fail(const std::string& problem) const;
    void checkStream(const ParsedRecord& record, const std::string& what) const;
    void readDictionary(int32_t length);

    std::string name_;
    InputFile file_;
    int32_t scriptLength_ = 0;
    int32_t fileCount_ = 0;
    int64_t recordBase_ = 0;
    bool checksummed_ = false;
    std::vector<uint8_t> dictionary_;
    std::string script_;
    ParsedScript parsed_;
};

}  // namespace kestrova::kpack
