#pragma once
// A pass over the manifest's bytes before the TOML parser sees them.
// Debian's toml++ (3.3.0) aborts on a control character in a table header
// and runs into undefined behaviour on some non-ASCII characters outside a
// string (a full-width comma typed after a value, for one). Both are errors
// in TOML anyway, so the pass refuses them first, with the line and the
// character: the parser is then only given text where such bytes stand in
// strings and comments, where it reads them safely.
#include <string>

namespace kestrova::kpack {

// The first control character (other than tab, CR and LF) anywhere, or the
// first non-ASCII character outside a string or comment (a quote opens a
// string only where a key or value begins, as for the parser), as a message,
// with its 1-based line in *line; "" when there is none. A UTF-8 byte
// order mark at the start is allowed. When there is none, *safe gets the
// text to parse, of the same meaning, in which the characters toml++ 3.3.0
// mishandles stand only as \uXXXX escapes: in double-quoted strings and
// comments they are escaped, and single-quoted strings become double-quoted
// ones. Right after a backslash, where TOML allows none of them, they are
// refused.
std::string tomlInputProblem(const std::string& text, int* line, std::string* safe);

}  // namespace kestrova::kpack
