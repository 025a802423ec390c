// The LZSS decoder, both ways in: decodeStream (from a package file into a
// file, through its fixed buffers) and lzssDecode (memory to memory). Both
// must give exactly what a plain byte-at-a-time ring decoder gives, also
// when the stream's stated length runs past the end of the file.
#include <cstring>

#include "fuzz_support.h"
#include "package/lzss_decoder.h"
#include "ring_decoder.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static test::FakePlatform platform;
    SetupState state;
    const std::vector<uint8_t> expected = bench::ringDecode(data, size);

    const std::vector<uint8_t> inMemory = lzssDecode(data, size);
    if (inMemory != expected) __builtin_trap();

    platform.writeFile("C:\\p.bin", std::string(reinterpret_cast<const char*>(data), size));
    File package = platform.openFile("C:\\p.bin", FileMode::Read);
    LzssDecoder decoder(platform, state, platform.user());
    // The first byte also says how far the stated length overshoots the file.
    const int32_t extra = size ? data[0] % 3 * 1000 : 0;
    if (!decoder.decodeStream(&package, "C:\\out.bin", 0, static_cast<int32_t>(size) + extra))
        __builtin_trap();
    const std::string written = platform.readFile("C:\\out.bin");
    if (written.size() != expected.size() ||
        (!expected.empty() && std::memcmp(written.data(), expected.data(), expected.size()) != 0))
        __builtin_trap();
    return 0;
}
