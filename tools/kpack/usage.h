#pragma once
// What kpack says about itself: its version, the usage of every command,
// and each command's help.
#include <string>

namespace kestrova::kpack {

extern const char kKpackVersion[];

// The usage of every command, shown by `kpack help` and after a command
// line kpack does not understand.
const char* usageText();

// The help of one command (build, init, list, extract, verify, help): its
// usage and what it does, option by option. "" for a command kpack does
// not have.
std::string commandHelp(const std::string& command);

}  // namespace kestrova::kpack
