#include "text_placeholders.h"

namespace kestrova::kpack {

std::optional<std::string> expandPlaceholders(const std::string& utf8, const std::string* product,
                                              const std::string* version, std::string* missing) {
    struct Placeholder {
        const char* name;
        const std::string* value;
    };
    const Placeholder placeholders[] = {{"{product}", product}, {"{version}", version}};
    std::string out;
    std::size_t at = 0;
    for (std::size_t open; (open = utf8.find('{', at)) != std::string::npos;) {
        out += utf8.substr(at, open - at);
        at = open + 1;
        out += '{';
        for (const Placeholder& p : placeholders) {
            const std::string name = p.name;
            if (utf8.compare(open, name.size(), name) != 0) continue;
            if (!p.value) {
                *missing = name;
                return std::nullopt;
            }
            out.pop_back();  // the brace, part of the placeholder
            out += *p.value;
            at = open + name.size();
        }
    }
    return out + utf8.substr(at);
}

}  // namespace kestrova::kpack
