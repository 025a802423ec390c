#include "engine/earlier_logs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/gbk_text.h"
#include "package/format.h"

namespace kestrova {
namespace {

// The whole file; false when it cannot be opened or read to its end.
bool readWhole(Platform& platform, const char* path, std::vector<char>* text) {
    File file = platform.openFile(path, FileMode::Read);
    if (!file) return false;
    char block[4096];
    std::size_t n;
    while ((n = file.read(block, sizeof block)) > 0) text->insert(text->end(), block, block + n);
    return !std::ferror(file.stream());
}

// Every line of text; the last one may lack its line end.
std::vector<LogLine> splitLines(const std::vector<char>& text) {
    std::vector<LogLine> lines;
    for (std::size_t at = 0; at < text.size();) {
        const void* lf = std::memchr(text.data() + at, '\n', text.size() - at);
        const std::size_t end = lf ? static_cast<const char*>(lf) - text.data() + 1 : text.size();
        lines.push_back(LogLine{at, end - at});
        at = end;
    }
    return lines;
}

bool isMarker(const char* line, std::size_t length) {
    return length >= static_cast<std::size_t>(format::kNoneAppMarkerLength) &&
           std::memcmp(line, format::kNoneAppMarker, format::kNoneAppMarkerLength) == 0;
}

// The lines worth keeping from an earlier log: whole lines that name
// something, in their order.
void keepEarlierLines(const std::vector<char>& text, std::vector<char>* kept) {
    for (const LogLine& line : splitLines(text)) {
        const char* p = text.data() + line.offset;
        if (line.length < 3 || p[line.length - 2] != '\r' || p[line.length - 1] != '\n' ||
            isMarker(p, line.length))
            continue;
        kept->insert(kept->end(), p, p + line.length);
    }
}

std::size_t pathLength(const char* line, std::size_t length) {
    if (length > 0 && line[length - 1] == '\n') --length;
    if (length > 0 && line[length - 1] == '\r') --length;
    return length;
}

// text with the ASCII capitals of its one-byte characters in lower case;
// the second byte of a Chinese character stays as it is.
std::vector<char> foldCase(const std::vector<char>& text) {
    std::vector<char> folded(text);
    const char* end = folded.data() + folded.size();
    for (char* p = folded.data(); p < end;) {
        const std::size_t n = gbkCharLength(p, end);
        if (n == 1 && *p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
        p += n;
    }
    return folded;
}

void appendLog(SetupState& state, File& log, const std::vector<char>& lines) {
    if (!optionIsOn(state.uninstallOption) || !log.isOpen() || lines.empty()) return;
    log.write(lines.data(), lines.size());
    log.flush();
}

}  // namespace

void readEarlierLogs(Platform& platform, const SetupState& state, EarlierLogs* earlier) {
    *earlier = EarlierLogs();
    std::vector<char> text;
    if (state.fileLogPath[0] && readWhole(platform, state.fileLogPath, &text))
        keepEarlierLines(text, &earlier->fileLines);
    text.clear();
    if (state.dirLogPath[0] && readWhole(platform, state.dirLogPath, &text))
        keepEarlierLines(text, &earlier->dirLines);
}

void carryEarlierLogs(SetupState& state, const EarlierLogs& earlier) {
    appendLog(state, state.fileLog, earlier.fileLines);
    appendLog(state, state.dirLog, earlier.dirLines);
}

void removeRepeatedLines(const std::vector<char>& text, std::vector<LogLine>* lines,
                         bool keepLast) {
    const std::vector<char> folded = foldCase(text);
    auto path = [&](std::size_t i, std::size_t* length) {
        const LogLine& line = (*lines)[i];
        *length = pathLength(folded.data() + line.offset, line.length);
        return folded.data() + line.offset;
    };
    auto compare = [&](std::size_t a, std::size_t b) {
        std::size_t an, bn;
        const char* pa = path(a, &an);
        const char* pb = path(b, &bn);
        const int c = std::memcmp(pa, pb, std::min(an, bn));
        return c != 0 ? c : (an < bn ? -1 : an > bn ? 1 : 0);
    };
    // Equal paths side by side, each group in file order.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < lines->size(); ++i)
        if (!isMarker(text.data() + (*lines)[i].offset, (*lines)[i].length)) order.push_back(i);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    std::vector<bool> drop(lines->size(), false);
    for (std::size_t g = 0; g < order.size();) {
        std::size_t end = g + 1;
        while (end < order.size() && compare(order[g], order[end]) == 0) ++end;
        const std::size_t kept = keepLast ? end - 1 : g;
        for (std::size_t i = g; i < end; ++i)
            if (i != kept) drop[order[i]] = true;
        g = end;
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < lines->size(); ++i)
        if (!drop[i]) (*lines)[out++] = (*lines)[i];
    lines->resize(out);
}

void removeRepeatedFileLogLines(Platform& platform, SetupState& state) {
    if (!optionIsOn(state.uninstallOption) || state.fileLogPath[0] == '\0') return;
    std::vector<char> text;
    if (!readWhole(platform, state.fileLogPath, &text)) return;
    std::vector<LogLine> lines = splitLines(text);
    const std::size_t before = lines.size();
    removeRepeatedLines(text, &lines, true);
    if (lines.size() == before) return;
    File out = platform.openFile(state.fileLogPath, FileMode::Write);
    if (!out) return;
    for (const LogLine& line : lines) out.write(text.data() + line.offset, line.length);
    out.close();
}

}  // namespace kestrova
