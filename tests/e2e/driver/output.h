#pragma once
// What the driver writes: its report on standard output (UTF-8 lines,
// flushed at once so that a runner sees every finished step even if the
// driver is killed) and the files it is asked to save.
#include <string>

namespace kestrova::e2e {

void printLine(const std::string& utf8);

// Creates or replaces the file at path with bytes. False with the reason in
// error when it cannot be created or written whole.
bool writeWholeFile(const std::wstring& path, const std::string& bytes, std::string& error);

}  // namespace kestrova::e2e
