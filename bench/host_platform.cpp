#include "host_platform.h"

#include <cstdio>

namespace kestrova::bench {

// The benchmark's paths are plain ASCII, so the GBK path is the host path.
File HostPlatform::openFile(const char* path, FileMode mode) {
    return File(std::fopen(path, mode == FileMode::Read ? "rb" : "wb"));
}

bool HostPlatform::deleteFile(const char* path) {
    return std::remove(path) == 0;
}

}  // namespace kestrova::bench
