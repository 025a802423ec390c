#pragma once
// Messages for the mistakes TOML lets a publisher make, saying what to do:
// where a syntax error stands and what most likely caused it, the known key
// that an unknown one nearly spells, and the escape sequence that turned a
// Windows path's backslash into a control character.
//
// The TOML reader is given the guard's form of the manifest
// (toml_guard.h), whose columns can differ from the manifest's; positions
// are mapped back to the publisher's text before they are shown.
#include <initializer_list>
#include <string>

namespace kestrova::kpack {

// Why the manifest's bytes are not UTF-8 text when they are UTF-16 (a
// byte order mark, or NUL bytes between ASCII ones) or GBK, with what to
// do; "" otherwise.
std::string encodingProblem(const std::string& text);

// The message for the TOML reader's error (its description) at line and
// column of parsed, the text it read (the guard's form of original):
// "column N: DESCRIPTION", N counted in characters on original's line, then
// "; likely cause: ..." when the line shows one: an unclosed quote, a text
// without quotes, a backslash escape TOML does not know, more after a value,
// a key or table given twice, a table header without its "]".
std::string syntaxErrorMessage(const std::string& original, const std::string& parsed, int line,
                               int column, const std::string& description);

// The known key that key misspells (two edits at most: a letter left out,
// added, changed, or two swapped; one for keys of four letters or fewer),
// or "" when none is that close.
std::string nearestKey(const std::string& key, std::initializer_list<const char*> known);

// For a text value that begins at line and column of parsed: the first
// escape sequence of its "..." form in original that stands for a control
// character ("\t" for a tab), or "" when it has none (a '...' text never
// has one).
std::string controlEscapeAt(const std::string& original, const std::string& parsed, int line,
                            int column);

// What a control escape such as "\t" stands for, for messages ("a tab").
std::string escapeMeaning(const std::string& escape);

}  // namespace kestrova::kpack
