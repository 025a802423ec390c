#include "package/inflate_stream.h"

#include <zlib.h>

namespace kestrova {
namespace {

// Raw deflate with zlib's largest window, which is also what kpack writes.
constexpr int kRawWindowBits = -15;

}  // namespace

Inflater::~Inflater() {
    if (!stream_) return;
    z_stream* z = static_cast<z_stream*>(stream_);
    inflateEnd(z);
    delete z;
}

// Makes the inflate state at the first stream, resets it for every later
// one, and primes it with the dictionary. False when zlib cannot have its
// memory.
bool Inflater::ready(const uint8_t* dictionary, std::size_t dictionaryLength) {
    z_stream* z = static_cast<z_stream*>(stream_);
    if (z) {
        if (inflateReset(z) != Z_OK) return false;
    } else {
        z = new z_stream();
        if (inflateInit2(z, kRawWindowBits) != Z_OK) {
            delete z;
            return false;
        }
        stream_ = z;
    }
    // A reset keeps the last stream's input pointers.
    z->next_in = nullptr;
    z->avail_in = 0;
    return dictionaryLength == 0 ||
           inflateSetDictionary(z, dictionary, static_cast<uInt>(dictionaryLength)) == Z_OK;
}

InflateResult Inflater::inflate(File& input, int64_t length, File& output, uint8_t* window,
                                std::size_t windowSize, const uint8_t* dictionary,
                                std::size_t dictionaryLength) {
    if (!ready(dictionary, dictionaryLength)) return InflateResult::Damaged;
    z_stream& z = *static_cast<z_stream*>(stream_);
    int64_t remaining = length;
    for (;;) {
        if (z.avail_in == 0 && remaining > 0) {
            // Straight from the package's read buffer. A file that ends
            // early leaves the stream without its end: refused below.
            const uint8_t* bytes = nullptr;
            const std::size_t got = input.take(&bytes, static_cast<std::size_t>(remaining));
            remaining = got == 0 ? 0 : remaining - static_cast<int64_t>(got);
            z.next_in = const_cast<Bytef*>(bytes);
            z.avail_in = static_cast<uInt>(got);
        }
        z.next_out = window;
        z.avail_out = static_cast<uInt>(windowSize);
        const int status = ::inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = windowSize - z.avail_out;
        if (produced > 0 && !output.write(window, produced)) return InflateResult::WriteFailed;
        if (status == Z_STREAM_END) break;
        // Z_BUF_ERROR: no progress without more input, which is only an
        // error when the stream has none left.
        if (status == Z_BUF_ERROR && z.avail_in == 0 && remaining > 0) continue;
        if (status != Z_OK) return InflateResult::Damaged;
    }
    // The stream's end must be the last of its bytes.
    return z.avail_in == 0 && remaining == 0 ? InflateResult::Done : InflateResult::Damaged;
}

bool Inflater::inflate(const uint8_t* data, std::size_t size, std::vector<uint8_t>* out,
                       const uint8_t* dictionary, std::size_t dictionaryLength) {
    out->clear();
    if (!ready(dictionary, dictionaryLength)) return false;
    z_stream& z = *static_cast<z_stream*>(stream_);
    std::size_t left = size;
    uint8_t block[16 * 1024];
    for (;;) {
        if (z.avail_in == 0 && left > 0) {
            // avail_in is 32 bits wide: a larger stream goes in pieces.
            const std::size_t piece = left < (1u << 30) ? left : (1u << 30);
            z.next_in = const_cast<Bytef*>(data + (size - left));
            z.avail_in = static_cast<uInt>(piece);
            left -= piece;
        }
        z.next_out = block;
        z.avail_out = sizeof block;
        const int status = ::inflate(&z, Z_NO_FLUSH);
        out->insert(out->end(), block, block + (sizeof block - z.avail_out));
        if (status == Z_STREAM_END) break;
        if (status == Z_BUF_ERROR && z.avail_in == 0 && left > 0) continue;
        if (status != Z_OK) return false;
    }
    return z.avail_in == 0 && left == 0;
}

}  // namespace kestrova
