// The stored and deflate codecs through decodeStream, as the setup decodes
// a record's stream from the package file: a stored stream gives exactly
// its bytes; a deflate stream (primed with the package's dictionary or
// not) gives what zlib's own one-call inflate makes of it when that is one
// whole stream of exactly the stream's length, and is refused otherwise (no
// file left, the user asked). The first byte picks the codec and how far
// the stated length overshoots the file.
#include <zlib.h>

#include <cstring>

#include "fuzz_support.h"
#include "package/lzss_decoder.h"

using namespace kestrova;

namespace {

enum class Reference { Whole, Refused, TooLarge };

// zlib inflating the whole stream in one call: the reference. Whole when
// the bytes are one raw deflate stream ending at their end.
Reference referenceInflate(const uint8_t* data, std::size_t size, const std::string& dictionary,
                           std::string* out) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return Reference::TooLarge;
    if (!dictionary.empty())
        inflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.data()),
                             static_cast<uInt>(dictionary.size()));
    static std::vector<uint8_t> buffer(1 << 24);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = buffer.data();
    z.avail_out = static_cast<uInt>(buffer.size());
    const int status = inflate(&z, Z_FINISH);
    Reference result = status == Z_STREAM_END && z.avail_in == 0 ? Reference::Whole
                       : z.avail_out == 0                        ? Reference::TooLarge
                                                                 : Reference::Refused;
    out->assign(reinterpret_cast<const char*>(buffer.data()), buffer.size() - z.avail_out);
    inflateEnd(&z);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static test::FakePlatform platform;
    SetupState state;
    const bool deflate = data[0] & 1;
    const bool primed = deflate && (data[0] & 0x80);
    const int32_t extra = (data[0] >> 1) % 3 * 100;
    const std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);
    // The stream between other bytes, which no codec may read: 40 bytes
    // of a header, the package's dictionary after them, then "HEAD".
    state.packageOffset = 0;
    state.dictionaryLength = static_cast<int32_t>(fuzz::kDictionary.size());
    const std::string head =
        std::string(format::kPackageHeaderSize, 'H') + fuzz::kDictionary + "HEAD";
    platform.writeFile("C:\\p.bin", head + stream + "TAIL");
    File package = platform.openFile("C:\\p.bin", FileMode::Read);
    LzssDecoder decoder(platform, state, platform.user());
    platform.answers = {kIdNo};
    platform.messageBoxes.clear();
    const int32_t length = static_cast<int32_t>(stream.size()) + (deflate ? 0 : extra);
    const format::StreamCodec codec = primed    ? format::StreamCodec::DeflateDictionary
                                      : deflate ? format::StreamCodec::Deflate
                                                : format::StreamCodec::Stored;
    const bool ok = decoder.decodeStream(&package, "C:\\out.bin", static_cast<int32_t>(head.size()),
                                         length, codec);

    if (!deflate) {
        // Past the file's end a stored stream ends with the file.
        const std::string expected = (stream + "TAIL").substr(0, length);
        if (!ok || platform.readFile("C:\\out.bin") != expected) __builtin_trap();
        return 0;
    }
    // An empty stream is an empty file, whatever its codec.
    if (stream.empty()) {
        if (!ok || platform.readFile("C:\\out.bin") != "") __builtin_trap();
        return 0;
    }
    std::string expected;
    const Reference reference =
        referenceInflate(data + 1, size - 1, primed ? fuzz::kDictionary : std::string(), &expected);
    if (reference == Reference::TooLarge) return 0;  // a bomb past the reference's buffer
    const bool whole = reference == Reference::Whole;
    if (ok != whole) __builtin_trap();
    if (ok && platform.readFile("C:\\out.bin") != expected) __builtin_trap();
    // A refused stream leaves no file and asks whether to stop.
    if (!ok && (platform.exists("C:\\out.bin") || platform.messageBoxes.size() != 1))
        __builtin_trap();
    return 0;
}
