#pragma once
// Registry data files as the setup applies them, against what a publisher
// who knows regedit's .reg files means by them. The setup reads GBK text
// line by line and writes string values byte for byte; lines that regedit
// reads otherwise (typed values, deletions, escapes, UTF-16 text) would be
// skipped or stored differently, so they are refused with what the setup
// would do instead and how to write what is meant.
#include <string>

namespace kestrova::kpack {

// Checks a registry data file: every line ends in CR LF and holds at most
// kSecondPassLineLimit bytes with it, the text is GBK, and every line is
// empty, a regedit header or comment (skipped by the setup as by regedit),
// a key line "[ROOT\key]" with a root the setup knows, or a value line
// "name"="data" below a key line, holding neither "\\" nor "\"" unless
// allowEscapes. Returns "" when it is fine, else the problem, with the
// 1-based line number in *line.
std::string registryDataProblem(const std::string& bytes, int* line, bool allowEscapes = false);

}  // namespace kestrova::kpack
