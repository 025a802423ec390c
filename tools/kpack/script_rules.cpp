#include "script_rules.h"

#include <cstring>

namespace kestrova::kpack {

std::string withoutLineEnd(const char* line) {
    const std::size_t n = std::strlen(line);
    return std::string(line, n >= 2 ? n - 2 : 0);
}

const std::vector<std::string>& sectionNames() {
    static const std::vector<std::string> names = {
        withoutLineEnd(format::kSectionDirectory), withoutLineEnd(format::kSectionFile),
        withoutLineEnd(format::kSectionTotalSize), withoutLineEnd(format::kSectionAutoReg),
        withoutLineEnd(format::kSectionClearFile), withoutLineEnd(format::kSectionMenu),
        withoutLineEnd(format::kSectionRun)};
    return names;
}

bool isSectionLine(const std::string& text) {
    for (const std::string& name : sectionNames())
        if (text == name) return true;
    return false;
}

std::string lineProblem(const std::string& text, int limit) {
    if (text.find('\r') != std::string::npos || text.find('\n') != std::string::npos)
        return "holds a line break";
    if (text.find('\0') != std::string::npos) return "holds a NUL character";
    if (static_cast<int>(text.size()) + 2 > limit)
        return "is " + std::to_string(text.size()) + " bytes in GBK; the setup reads at most " +
               std::to_string(limit - 2) + " here";
    if (isSectionLine(text)) return "equals the section line " + text;
    if (text.compare(0, format::kNoneAppMarkerLength, format::kNoneAppMarker) == 0)
        return std::string("begins with ") + format::kNoneAppMarker;
    return "";
}

}  // namespace kestrova::kpack
