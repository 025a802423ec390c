#include "package/product_facts.h"

#include <cstring>

#include "package/script_reader.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

// The field a fact line fills, or null for a name this reader does not
// know. value receives where the value begins.
char* factField(ProductFacts* facts, char* line, char** value) {
    char* separator = std::strchr(line, format::kFactSeparator);
    if (!separator) return nullptr;
    *separator = '\0';
    *value = separator + 1;
    if (std::strcmp(line, format::kFactVersion) == 0) return facts->version;
    if (std::strcmp(line, format::kFactPublisher) == 0) return facts->publisher;
    if (std::strcmp(line, format::kFactUrl) == 0) return facts->url;
    if (std::strcmp(line, format::kFactIcon) == 0) return facts->icon;
    return nullptr;
}

bool isLine(const char* line, int length, const char* wanted) {
    return length == static_cast<int>(std::strlen(wanted)) &&
           std::memcmp(line, wanted, length) == 0;
}

}  // namespace

bool readProductFacts(File& script, ProductFacts* facts) {
    *facts = ProductFacts();
    // Only the lines before the licence text: a licence may hold any line.
    const int64_t bodyEnd = scriptBodyEnd(script);
    if (!script.seek(0)) return false;
    char line[kFactSize];
    int n;
    while ((n = readBodyLine(script, bodyEnd, line, sizeof line)) >= 0 &&
           sectionIndex(line, n) != kSectionIndexRun) {
    }
    // The caption and the command: texts that may look like anything.
    if (n < 0 || readBodyLine(script, bodyEnd, line, sizeof line) < 0 ||
        readBodyLine(script, bodyEnd, line, sizeof line) < 0)
        return false;
    while ((n = readBodyLine(script, bodyEnd, line, sizeof line)) >= 0 &&
           !isLine(line, n, format::kSectionProduct)) {
    }
    if (n < 0) return false;

    bool broken = false;  // inside a line longer than the buffer
    while ((n = readBodyLine(script, bodyEnd, line, sizeof line)) >= 0) {
        const bool complete = line[n - 1] == '\n';
        if (broken || !complete) {
            broken = !complete;
            continue;
        }
        if (line[0] == '[') break;
        removeLineEnd(line, n);
        char* value = nullptr;
        if (char* field = factField(facts, line, &value)) copyText(field, kFactSize, value);
    }
    return true;
}

}  // namespace kestrova
