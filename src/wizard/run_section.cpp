#include "wizard/run_section.h"

#include "package/script_reader.h"
#include "state/bounded_text.h"

namespace kestrova {

bool readRunSection(Platform& platform, SetupState& state, char (&caption)[kRunLineSize]) {
    File script = platform.openFile(state.scriptPath, FileMode::Read);
    if (!script || !seekSection(script, format::kSectionRun)) return false;
    char command[kRunLineSize];
    if (readTextLine(script, caption) < 0 || readTextLine(script, command) < 0) return false;
    return copyText(state.runCommand, sizeof state.runCommand, command);
}

}  // namespace kestrova
