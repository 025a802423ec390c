#pragma once
// LzssDecoder: turns one stream of the package into a file: LZSS through a
// fixed window, a stored stream copied, a deflate stream through zlib's
// inflate. Decoding a stream allocates nothing (the inflate state is made
// at the first deflate stream and kept). One decoder belongs to one thread
// (the extraction dialog's, or the install run's).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/format.h"
#include "package/reader_port.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

class LzssDecoder {
  public:
    // port is asked whether to stop when an output file fails.
    LzssDecoder(Platform& platform, SetupState& state, ReaderPort& port);
    ~LzssDecoder();
    LzssDecoder(const LzssDecoder&) = delete;
    LzssDecoder& operator=(const LzssDecoder&) = delete;

    // Decodes the stream of `length` compressed bytes at absolute position
    // `offset` of packageFile, coded with codec, into a new file at
    // outputPath (GBK). True when the output file was created and every
    // decoded byte reached it; false when packageFile is null, or the
    // output could not be created or written, or a deflate stream is
    // damaged or its dictionary (the package's, state.dictionaryLength
    // bytes after the script) cannot be read (the user is then asked
    // whether to stop the installation,
    // and Yes sets installAbandoned and setupAborted; a file that was
    // created but not wholly written is deleted first). An LZSS or stored
    // stream cut short by the end of the package file ends there; a length
    // of 0 or less gives an empty file without touching packageFile.
    // created, when given and open, is outputPath already made (by the
    // platform's createAhead) and is written instead of opening it again.
    bool decodeStream(File* packageFile, const char* outputPath, int32_t offset, int32_t length,
                      format::StreamCodec codec = format::StreamCodec::Lzss,
                      File* created = nullptr);

  private:
    // Asks the port whether to stop the installation after outputPath could
    // not be created or written; Yes sets installAbandoned and setupAborted.
    // Returns false, the result of the failed decodeStream.
    bool askToStop(const char* outputPath);
    bool loadDictionary(File& package);

    struct Buffers;  // the fixed input and window buffers (lzss_decoder.cpp)
    Platform& platform_;
    SetupState& state_;
    ReaderPort& port_;
    Buffers* buffers_;
};

// Decodes a whole LZSS stream held in memory (for kpack's extract and verify,
// and the benchmarks); the same decoding as decodeStream.
std::vector<uint8_t> lzssDecode(const uint8_t* data, std::size_t length);

}  // namespace kestrova
