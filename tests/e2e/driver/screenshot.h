#pragma once
// Screenshots of the whole screen, for people to look at after a run.
#include <string>

namespace kestrova::e2e {

// Captures the screen and writes it as a PNG file. False with the reason in
// error when the capture or the file fails.
bool saveScreenshot(const std::wstring& path, std::string& error);

}  // namespace kestrova::e2e
