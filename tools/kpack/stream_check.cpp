#include "stream_check.h"

#include "package/format.h"
#include "package/inflate_stream.h"
#include "package/lzss_decoder.h"

namespace kestrova::kpack {

std::string checkLzssStream(const uint8_t* data, std::size_t size, uint64_t* decodedSize) {
    using format::kRingSize;
    using format::kRingStart;
    uint64_t written = 0;
    std::size_t at = 0;
    while (at < size) {
        unsigned flags = data[at++];
        for (int item = 0; item < 8 && at < size; ++item, flags >>= 1) {
            if (flags & 1u) {
                ++at;
                ++written;
                continue;
            }
            if (at + 1 >= size) {
                *decodedSize = written;
                return "the stream ends inside a match (it is cut short)";
            }
            const uint32_t position = data[at] | ((data[at + 1] & 0xF0u) << 4);
            const uint32_t length = (data[at + 1] & 0x0Fu) + format::kMinMatch;
            at += 2;
            // Slot q of 4078..4095 holds a decoded byte only once the write
            // position has passed it: after q - 4077 bytes.
            if (written < uint64_t(kRingSize - kRingStart) + format::kMaxMatch) {
                for (uint32_t k = 0; k < length; ++k) {
                    const uint32_t q = (position + k) % kRingSize;
                    if (q >= static_cast<uint32_t>(kRingStart) && written + k <= q - kRingStart) {
                        *decodedSize = written;
                        return "a match at decoded byte " + std::to_string(written) +
                               " reads ring positions that the stream has not yet written";
                    }
                }
            }
            written += length;
        }
    }
    *decodedSize = written;
    return "";
}

namespace {

// Inflates a deflate stream, primed with the dictionary for the codec that
// asks for one. False when it is not one whole stream.
bool inflateStream(format::StreamCodec codec, const uint8_t* data, std::size_t size,
                   const std::vector<uint8_t>* dictionary, std::vector<uint8_t>* bytes) {
    const bool primed = codec == format::StreamCodec::DeflateDictionary;
    if (primed && (!dictionary || dictionary->empty())) return false;
    return primed ? Inflater().inflate(data, size, bytes, dictionary->data(), dictionary->size())
                  : Inflater().inflate(data, size, bytes);
}

}  // namespace

std::string checkStream(format::StreamCodec codec, const uint8_t* data, std::size_t size,
                        uint64_t* decodedSize, const std::vector<uint8_t>* dictionary) {
    switch (codec) {
        case format::StreamCodec::Stored:
            *decodedSize = size;
            return "";
        case format::StreamCodec::Deflate:
        case format::StreamCodec::DeflateDictionary: {
            if (codec == format::StreamCodec::DeflateDictionary &&
                (!dictionary || dictionary->empty())) {
                *decodedSize = 0;
                return "the stream is primed with the package's dictionary, and the package "
                       "has none";
            }
            std::vector<uint8_t> bytes;
            const bool whole = inflateStream(codec, data, size, dictionary, &bytes);
            *decodedSize = bytes.size();
            return whole ? "" : "the deflate stream is damaged (the setup would refuse the file)";
        }
        case format::StreamCodec::Lzss:
            break;
    }
    return checkLzssStream(data, size, decodedSize);
}

std::vector<uint8_t> decodeStreamBytes(format::StreamCodec codec, const uint8_t* data,
                                       std::size_t size, const std::vector<uint8_t>* dictionary) {
    switch (codec) {
        case format::StreamCodec::Stored:
            return std::vector<uint8_t>(data, data + size);
        case format::StreamCodec::Deflate:
        case format::StreamCodec::DeflateDictionary: {
            std::vector<uint8_t> bytes;
            inflateStream(codec, data, size, dictionary, &bytes);
            return bytes;
        }
        case format::StreamCodec::Lzss:
            break;
    }
    return lzssDecode(data, size);
}

const char* codecName(format::StreamCodec codec) {
    switch (codec) {
        case format::StreamCodec::Stored:
            return "stored";
        case format::StreamCodec::Deflate:
            return "deflate";
        case format::StreamCodec::DeflateDictionary:
            return "deflate+dict";
        case format::StreamCodec::Lzss:
            break;
    }
    return "lzss";
}

}  // namespace kestrova::kpack
