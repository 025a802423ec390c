#pragma once
// The order of folder names in the folder tree: character by character,
// ASCII letters without case, a GBK double-byte character as its 16-bit
// value (lead * 256 + trail), the end of a text before any character.
#include <cstddef>

namespace kestrova {

// Negative, zero or positive as a sorts before, with or after b.
int compareNoCase(const char* a, const char* b);

// Sorts count texts into ascending compareNoCase order, keeping equal texts
// in the order they came (stable). scratch holds count pointers. A merge
// sort: a folder of thousands of entries must not freeze the page.
void sortNoCase(const char** items, const char** scratch, std::size_t count);

// A sort of that signature (the tree takes another for comparisons).
using NameSort = void (*)(const char** items, const char** scratch, std::size_t count);

}  // namespace kestrova
