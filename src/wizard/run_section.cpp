#include "wizard/run_section.h"

#include <cstring>

#include "package/script_reader.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

// The section search of seekSection, stopped where the licence text
// begins: a script without "[Run]" may carry a licence that holds such a
// line, and its text is no caption or command.
bool seekBodySection(File& script, int64_t bodyEnd, const char* section) {
    const int wanted = static_cast<int>(std::strlen(section));
    char line[format::kLongLineBuffer];
    int length;
    while ((length = readBodyLine(script, bodyEnd, line, sizeof line)) >= 0) {
        if (length == wanted && std::memcmp(line, section, wanted) == 0) return true;
    }
    return false;
}

// The next line before bodyEnd without its line end; -1 when there is none.
int readBodyText(File& script, int64_t bodyEnd, char (&text)[kRunLineSize]) {
    const int length = readBodyLine(script, bodyEnd, text, sizeof text);
    return length < 0 ? -1 : removeLineEnd(text, length);
}

}  // namespace

bool readRunSection(Platform& platform, SetupState& state, char (&caption)[kRunLineSize]) {
    File script = platform.openFile(state.scriptPath, FileMode::Read);
    if (!script) return false;
    const int64_t bodyEnd = scriptBodyEnd(script);
    if (!script.seek(0) || !seekBodySection(script, bodyEnd, format::kSectionRun)) return false;
    char command[kRunLineSize];
    // Empty lines are how a package says there is no program: a box with
    // no caption would start nothing.
    if (readBodyText(script, bodyEnd, caption) <= 0 || readBodyText(script, bodyEnd, command) <= 0)
        return false;
    return copyText(state.runCommand, sizeof state.runCommand, command);
}

}  // namespace kestrova
