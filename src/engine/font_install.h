#pragma once
// Installing a font file the run has written. AddFontResource alone adds the
// font for this session only; the system loads at each start the fonts its
// font list names, so a font put into the Windows Fonts folder is also named
// there, as the system does for a font installed through that folder.
#include <cstddef>

#include "platform/platform.h"

namespace kestrova {

// The system's font list: one REG_SZ value per installed font, named after
// the font, holding its file's name (for a file in the Fonts folder).
constexpr char kFontListKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// The name a font file goes by in the font list: the font's English full
// name from the file's name table followed by " (TrueType)", or, when the
// file gives none (not a TrueType file, a damaged table, a name with other
// than printable ASCII characters), the file's name without its extension
// followed by " (TrueType)". False, name untouched, when that does not fit
// capacity.
bool fontListName(Platform& platform, const char* path, char* name, std::size_t capacity);

// Adds the font file at path to the system's font table and, when the
// system took it, tells the running programs; a file directly inside
// windowsFolder's Fonts folder (compared without regard to the case of
// "Fonts") is then named in the font list too. Failures are not reported:
// the font is still usable for this session without its list entry.
void installFont(Platform& platform, const char* windowsFolder, const char* path);

}  // namespace kestrova
