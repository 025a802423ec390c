// Registry data import on the fake registry, from any file.
#include "engine/registry_import.h"

#include "fuzz_support.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    test::FakePlatform platform;
    platform.writeFile("C:\\d.reg", std::string(reinterpret_cast<const char*>(data), size));
    if (!importRegistryFile(platform, "C:\\d.reg")) __builtin_trap();
    return 0;
}
