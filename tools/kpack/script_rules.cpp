#include "script_rules.h"

#include <cstring>

#include "gbk_codec.h"

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

std::string registryDataProblem(const std::string& bytes, int* line) {
    std::size_t at = 0;
    *line = 0;
    while (at < bytes.size()) {
        ++*line;
        const std::size_t lf = bytes.find('\n', at);
        const std::size_t end = lf == std::string::npos ? bytes.size() : lf + 1;
        const std::size_t length = end - at;
        if (lf == std::string::npos || length < 2 || bytes[lf - 1] != '\r')
            return lf == std::string::npos
                       ? "the last line does not end in CR LF; the setup would not apply it"
                       : "the line ends in LF without CR";
        if (static_cast<int>(length) > kSecondPassLineLimit)
            return "the line is " + std::to_string(length) +
                   " bytes with its CR LF; the setup reads at most " +
                   std::to_string(kSecondPassLineLimit);
        if (bytes.find('\0', at) < end) return "the line holds a NUL character";
        std::string utf8;
        if (!gbkToUtf8(bytes.substr(at, length), &utf8)) return "the line is not GBK text";
        at = end;
    }
    return "";
}

}  // namespace kestrova::kpack
