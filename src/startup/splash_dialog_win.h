#pragma once
// The splash: the package's splash picture, centred on the screen at its
// natural size, for five seconds.
#include <windows.h>

#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// Shows softPicturePath for five seconds (Enter, Esc and the close box do
// nothing). A picture that cannot be drawn is left out: there is no splash.
void runSplash(HINSTANCE instance, Platform& platform, const SetupState& state);

}  // namespace kestrova
