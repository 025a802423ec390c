#pragma once
// Folder paths handed to the setup as GBK text. A folder whose long name
// holds characters outside code page 936 (a user name in Korean, an emoji)
// cannot be held in GBK; its short (8.3) form, which the system gives in
// ASCII, names the same folder and can. Without it the temporary files
// would land in the root of the drive and no shortcut could be made.
#include <cstddef>

namespace kestrova::win32 {

// Converts the folder path `wide` (NUL-terminated) to GBK in buffer: the
// path as it stands when it can be held in GBK, otherwise its short form.
// False, buffer empty, when neither fits in capacity bytes or the folder
// has no short form (short names turned off on its volume).
bool folderToGbk(const wchar_t* wide, char* buffer, std::size_t capacity);

}  // namespace kestrova::win32
