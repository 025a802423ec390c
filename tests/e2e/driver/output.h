#pragma once
// The driver's report on standard output: UTF-8 lines, flushed at once so
// that a runner sees every finished step even if the driver is killed.
#include <string>

namespace kestrova::e2e {

void printLine(const std::string& utf8);

}  // namespace kestrova::e2e
