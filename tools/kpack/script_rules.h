#pragma once
// What the stub's readers need of the script's lines, shared by the build
// (which refuses to write a script they would misread) and by verify (which
// finds such lines in a package).
#include <string>
#include <vector>

#include "package/format.h"

namespace kestrova::kpack {

// Longest lines the readers take whole, CR LF included: a longer line is
// read in pieces and shifts every line after it.
constexpr int kStartLineLimit = format::kLineBuffer - 1;  // start-up and first pass
constexpr int kSecondPassLineLimit =
    format::kLongLineBuffer - 1;  // [AutoReg] to [Menu], registry data
constexpr int kOptionLineLimit = format::kOptionLineBuffer - 1;  // script lines 4 and 5

// A line constant (a section line) without its CR LF, for comparisons and
// messages.
std::string withoutLineEnd(const char* line);

// The section lines without their CR LF, in script order.
const std::vector<std::string>& sectionNames();

// True when text (without line end) would be read as a section line.
bool isSectionLine(const std::string& text);

// The first reason why text cannot stand on a script line of at most
// limit bytes with its CR LF, or "" when it can: too long, a CR, LF or NUL
// inside, the text of a section line, or a leading "<NoneApp>" (which the
// [File] reader takes for a marker).
std::string lineProblem(const std::string& text, int limit);

}  // namespace kestrova::kpack
