#pragma once
// Raw deflate streams (RFC 1951, without a zlib or gzip wrapper: the
// package's CRC-32 already covers the stream's bytes) through zlib's
// inflate. A stream must end exactly with its last byte; anything else (a
// damaged or cut stream, bytes after its end) is refused, never read past.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file.h"

namespace kestrova {

enum class InflateResult {
    Done,         // the whole stream was decoded and written
    Damaged,      // not one whole deflate stream of exactly that length
    WriteFailed,  // the output refused a block
};

// One decoder's inflate state: allocated at the first stream and reused,
// so decoding later streams allocates nothing.
class Inflater {
  public:
    Inflater() = default;
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Decodes the `length` bytes of input at its current position into
    // output, through window (windowSize bytes), primed with the
    // dictionary's bytes when there are any. Damaged also when zlib cannot
    // get its memory.
    InflateResult inflate(File& input, int64_t length, File& output, uint8_t* window,
                          std::size_t windowSize, const uint8_t* dictionary = nullptr,
                          std::size_t dictionaryLength = 0);

    // Decodes a whole stream held in memory into *out, primed likewise.
    // False, *out holding what came before the damage, when it is not one
    // whole stream.
    bool inflate(const uint8_t* data, std::size_t size, std::vector<uint8_t>* out,
                 const uint8_t* dictionary = nullptr, std::size_t dictionaryLength = 0);

  private:
    bool ready(const uint8_t* dictionary, std::size_t dictionaryLength);
    void* stream_ = nullptr;  // z_stream, kept out of this header
};

}  // namespace kestrova
