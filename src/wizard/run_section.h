#pragma once
// The finish page's offer to start a program: the two lines after the
// script's "[Run]" line, a caption and a command.
#include "package/format.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

constexpr int kRunLineSize = format::kLineBuffer;

// Reads the caption into caption and the command into state.runCommand,
// each without its line end. False, and no offer, when the script cannot
// be opened, has no "[Run]" line before its licence text, ends (or reaches
// the licence text) before both lines, or either line is empty: a product
// without a program to start.
bool readRunSection(Platform& platform, SetupState& state, char (&caption)[kRunLineSize]);

}  // namespace kestrova
