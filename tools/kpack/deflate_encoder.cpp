#include "deflate_encoder.h"

#include <zlib.h>

#include <stdexcept>

namespace kestrova::kpack {
namespace {

constexpr int kRawWindowBits = -15;  // the largest window, no wrapper
constexpr int kMemLevel = 9;         // the most memory for the match search

}  // namespace

std::vector<uint8_t> deflateEncode(const uint8_t* data, std::size_t size, const uint8_t* dictionary,
                                   std::size_t dictionaryLength) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, kRawWindowBits, kMemLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("zlib cannot start deflate");
    if (dictionaryLength > 0 &&
        deflateSetDictionary(&z, dictionary, static_cast<uInt>(dictionaryLength)) != Z_OK) {
        deflateEnd(&z);
        throw std::runtime_error("zlib refused the dictionary");
    }
    // The bound holds the whole stream, so one call with Z_FINISH ends it;
    // avail_in is 32 bits wide, so a larger input goes in pieces.
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(size)) + 64);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    std::size_t left = size;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        const std::size_t piece = left < (1u << 30) ? left : (1u << 30);
        z.next_in = const_cast<Bytef*>(data + (size - left));
        z.avail_in = static_cast<uInt>(piece);
        left -= piece;
        status = deflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) break;
        if (z.avail_out == 0 && status != Z_STREAM_END) {
            // Only beyond deflateBound, which zlib promises not to pass.
            status = Z_STREAM_ERROR;
            break;
        }
    }
    const std::size_t written = out.size() - z.avail_out;
    deflateEnd(&z);
    if (status != Z_STREAM_END) throw std::runtime_error("zlib's deflate failed");
    out.resize(written);
    return out;
}

}  // namespace kestrova::kpack
