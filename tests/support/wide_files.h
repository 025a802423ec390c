#pragma once
// Reading files on Windows by their UTF-16 names, without the platform layer
// under test, so that tests see what is really on disk.
#include <string>

namespace kestrova::test {

// The file's bytes, or "<missing>" when it cannot be opened. Others may have
// it open for reading or writing meanwhile.
std::string readWideFile(const std::wstring& path);

}  // namespace kestrova::test
