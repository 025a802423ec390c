#include "script_parser.h"

#include <algorithm>
#include <cstring>

#include "package/format.h"
#include "package/number_field.h"
#include "package/product_facts.h"
#include "package/stream_checksums.h"
#include "script_rules.h"

namespace kestrova::kpack {
namespace {

struct Line {
    std::size_t begin = 0;
    std::size_t length = 0;  // with its line end
    int number = 0;
};

std::string trimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

class Parser {
  public:
    Parser(const std::string& script, ParsedScript* out) : s_(script), out_(*out) {}

    std::string run() {
        for (std::size_t at = 0; at < s_.size();) {
            const std::size_t lf = s_.find('\n', at);
            const std::size_t end = lf == std::string::npos ? s_.size() : lf + 1;
            lines_.push_back({at, end - at, static_cast<int>(lines_.size()) + 1});
            at = end;
        }
        if (!findLicence()) return problem_;
        for (const Line& line : lines_) {
            if (line.begin >= bodyEnd_) break;
            if (line.length < 2 || s_[line.begin + line.length - 2] != '\r' ||
                s_[line.begin + line.length - 1] != '\n')
                return at(line, "does not end in CR LF");
            if (std::memchr(s_.data() + line.begin, 0, line.length))
                return at(line, "holds a NUL byte");
            body_.push_back(line);
        }
        if (!parseBody()) return problem_;
        return "";
    }

  private:
    std::string text(const Line& line) const { return s_.substr(line.begin, line.length - 2); }
    std::string at(const Line& line, const std::string& what) {
        problem_ = "script line " + std::to_string(line.number) + " " + what;
        return problem_;
    }
    bool fail(const std::string& what) {
        problem_ = what;
        return false;
    }
    bool failAt(const Line& line, const std::string& what) {
        at(line, what);
        return false;
    }

    // The licence length, read as the setup's start-up does: the third line
    // after the first "[TotalSize]" line. It fixes where the lines end.
    bool findLicence() {
        const std::string totalSize = format::kSectionTotalSize;
        std::size_t i = 0;
        while (i < lines_.size() && s_.compare(lines_[i].begin, lines_[i].length, totalSize) != 0)
            ++i;
        if (i == lines_.size())
            return fail("the script has no " + withoutLineEnd(format::kSectionTotalSize) + " line");
        if (i + 3 >= lines_.size())
            return fail("the script ends inside " + withoutLineEnd(format::kSectionTotalSize));
        const Line& line = lines_[i + 3];
        std::string value =
            line.length >= 2 ? trimRight(s_.substr(line.begin, line.length - 2)) : "";
        if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
            value.size() > 10)
            return failAt(line, "should hold the licence text's length, not \"" + value + "\"");
        const int64_t length = std::stoll(value);
        if (length > static_cast<int64_t>(s_.size()))
            return failAt(line, "gives a licence of " + value + " bytes, more than the script's " +
                                    std::to_string(s_.size()));
        bodyEnd_ = s_.size() - static_cast<std::size_t>(length);
        if (bodyEnd_ > 0 && s_[bodyEnd_ - 1] != '\n')
            return fail("the licence text (the last " + value +
                        " bytes of the script) does not begin at the start of a line");
        out_.licenceLength = length;
        out_.licence = s_.substr(bodyEnd_);
        return true;
    }

    // The next line of the body, within limit bytes; false at the end.
    bool next(int limit, const std::string& what, Line* line) {
        if (index_ >= body_.size()) return fail("the script ends where " + what + " should be");
        *line = body_[index_++];
        if (static_cast<int>(line->length) > limit)
            return failAt(*line, "is " + std::to_string(line->length) +
                                     " bytes with its CR LF; the setup reads at most " +
                                     std::to_string(limit) + " there");
        return true;
    }

    // A line that must not be a section line: the text.
    bool nextText(int limit, const std::string& what, std::string* value) {
        Line line;
        if (!next(limit, what, &line)) return false;
        *value = text(line);
        if (isSectionLine(*value))
            return failAt(line, "is the section line " + *value + " where " + what + " should be");
        return true;
    }

    // Lines up to the section line `end`; each within limit and no other
    // section line. Stores their texts in *lines (when not null).
    bool section(const char* name, const char* end, int limit, std::vector<std::string>* lines) {
        const std::string endText = withoutLineEnd(end);
        for (;;) {
            Line line;
            if (!next(limit, "the line " + endText + " after " + name, &line)) return false;
            const std::string value = text(line);
            if (value == endText) return true;
            if (isSectionLine(value))
                return failAt(line, "is the section line " + value + " inside " + name);
            if (lines) lines->push_back(value);
        }
    }

    bool record(const Line& line, bool picture, ParsedRecord* r) {
        r->line = line.number;
        std::string value = text(line);
        if (!picture &&
            value.compare(0, format::kNoneAppMarkerLength, format::kNoneAppMarker) == 0) {
            r->noneApp = true;
            return true;
        }
        if (value.size() != static_cast<std::size_t>(format::kRecordWidth))
            return failAt(line, std::string("is a ") + (picture ? "picture" : "file") +
                                    " record of " + std::to_string(value.size()) +
                                    " bytes; records are " + std::to_string(format::kRecordWidth) +
                                    " bytes and CR LF");
        // The install run turns every '*' into a space before it reads a
        // record, and then runs and deletes the file.
        if (!picture && value.find(format::kRunAndDeleteMark) != std::string::npos) {
            r->runAndDelete = true;
            std::replace(value.begin(), value.end(), format::kRunAndDeleteMark, ' ');
        }
        r->target = trimRight(value.substr(0, format::kRecordPathWidth));
        r->offset = parseNumberField(value.data() + format::kRecordOffsetField);
        r->length = parseNumberField(value.data() + format::kRecordLengthField);
        r->kind = value[format::kRecordKind];
        r->codec = format::codecOfMark(value[format::kRecordCodec]);
        if (r->length < 0 || r->offset < 0)
            return failAt(line, "gives a negative stream offset or length");
        return true;
    }

    bool fileSection() {
        const std::string endText = withoutLineEnd(format::kSectionTotalSize);
        for (;;) {
            Line line;
            if (!next(kStartLineLimit, "the line " + endText, &line)) return false;
            const std::string value = text(line);
            const bool picture =
                out_.pictures.size() < static_cast<std::size_t>(format::kPictureRecordCount);
            if (value == endText) {
                if (picture) return failAt(line, "ends [File] before its three picture records");
                return true;
            }
            if (isSectionLine(value))
                return failAt(line, "is the section line " + value + " inside [File]");
            ParsedRecord r;
            if (!record(line, picture, &r)) return false;
            (picture ? out_.pictures : out_.records).push_back(r);
        }
    }

    // The group and the shortcut lines, up to "[Run]" or, in a script
    // without that section (the setup then offers no program), up to the
    // licence text.
    bool menuSection() {
        if (!nextText(kSecondPassLineLimit, "the program group", &out_.group)) return false;
        const std::string endText = withoutLineEnd(format::kSectionRun);
        for (;;) {
            if (index_ >= body_.size()) return true;
            Line line;
            if (!next(kSecondPassLineLimit, "the line " + endText, &line)) return false;
            const std::string value = text(line);
            if (value == endText) {
                out_.hasRunSection = true;
                return true;
            }
            if (isSectionLine(value))
                return failAt(line, "is the section line " + value + " inside [Menu]");
            if (value.size() != static_cast<std::size_t>(format::kMenuLineWidth))
                return failAt(line, "is a shortcut line of " + std::to_string(value.size()) +
                                        " bytes; shortcut lines are " +
                                        std::to_string(format::kMenuLineWidth) +
                                        " bytes and CR LF");
            ParsedShortcut sc;
            sc.line = line.number;
            sc.name = trimRight(value.substr(0, format::kMenuNameWidth));
            const std::string field =
                trimRight(value.substr(format::kMenuTargetField, format::kMenuTargetWidth));
            const std::size_t slash = field.find('/');
            sc.target = field.substr(0, slash);
            if (slash != std::string::npos) {
                if (!sc.target.empty() && sc.target.back() == ' ') sc.target.pop_back();
                sc.arguments = field.substr(slash + 1);
            }
            sc.desktop = value[format::kMenuDesktopFlag] == '1';
            sc.startup = value[format::kMenuStartupFlag] == '1';
            out_.shortcuts.push_back(sc);
        }
    }

    bool parseBody() {
        if (!nextText(kStartLineLimit, "line 1", &out_.firstLine) ||
            !nextText(kStartLineLimit, "the product name", &out_.productName) ||
            !nextText(kStartLineLimit, "the install folder", &out_.installDir) ||
            !nextText(kOptionLineLimit, "the licence option", &out_.licenceOption) ||
            !nextText(kOptionLineLimit, "the uninstall option", &out_.uninstallOption))
            return false;
        // The setup looks for [Directory] from the top: other lines may come
        // first.
        if (!section("the header", format::kSectionDirectory, kStartLineLimit, nullptr) ||
            !section("[Directory]", format::kSectionFile, kStartLineLimit, &out_.directories) ||
            !fileSection())
            return false;
        std::string totalSize, unread, licence;
        if (!nextText(kStartLineLimit, "the total size", &totalSize) ||
            !nextText(kStartLineLimit, "the line after the total size", &unread) ||
            !nextText(kStartLineLimit, "the licence length", &licence))
            return false;
        out_.totalSize = static_cast<uint32_t>(parseDecimal(totalSize.data(), totalSize.size()));
        if (!section("[TotalSize]", format::kSectionAutoReg, kSecondPassLineLimit, nullptr) ||
            !section("[AutoReg]", format::kSectionClearFile, kSecondPassLineLimit, &out_.autoReg) ||
            !section("[ClearFile]", format::kSectionMenu, kSecondPassLineLimit, &out_.clearFile) ||
            !menuSection())
            return false;
        if (out_.hasRunSection &&
            (!nextText(kStartLineLimit, "the [Run] caption", &out_.runCaption) ||
             !nextText(kStartLineLimit, "the [Run] command", &out_.runCommand)))
            return false;
        if (!checksumSection() || !productSection()) return false;
        if (index_ < body_.size() && (out_.hasChecksums || out_.hasProduct))
            return failAt(body_[index_],
                          "stands after the [Run] lines where no section expects it");
        return true;
    }

    // Optional: "[Checksums]" right after the [Run] lines, then one CRC per
    // stream (pictures, then counted records) up to the licence text.
    bool checksumSection() {
        const std::string name = withoutLineEnd(format::kSectionChecksums);
        if (index_ >= body_.size() || text(body_[index_]) != name) return true;
        ++index_;
        std::vector<ParsedRecord*> streams;
        for (ParsedRecord& r : out_.pictures) streams.push_back(&r);
        for (ParsedRecord& r : out_.records)
            if (!r.noneApp) streams.push_back(&r);
        std::size_t n = 0;
        for (; index_ < body_.size(); ++index_, ++n) {
            const Line& line = body_[index_];
            const std::string value = text(line);
            if (!value.empty() && value[0] == '[') break;  // the next section
            uint32_t checksum = 0;
            if (!parseChecksum(value.data(), value.size(), &checksum))
                return failAt(line, "should hold a checksum (eight hexadecimal digits) in " + name +
                                        ", not \"" + value + "\"");
            if (n < streams.size()) {
                streams[n]->hasChecksum = true;
                streams[n]->checksum = checksum;
            } else if (n == streams.size()) {
                out_.hasDictionaryChecksum = true;
                out_.dictionaryChecksum = checksum;
            }
        }
        if (n != streams.size() && n != streams.size() + 1)
            return fail(name + " has " + std::to_string(n) + " checksums for " +
                        std::to_string(streams.size()) + " streams");
        out_.hasChecksums = true;
        return true;
    }

    // Optional: "[Product]" after them, one "Name=value" line per fact
    // given, up to the licence text.
    bool productSection() {
        const std::string name = withoutLineEnd(format::kSectionProduct);
        if (index_ >= body_.size() || text(body_[index_]) != name) return true;
        ++index_;
        out_.hasProduct = true;
        for (; index_ < body_.size(); ++index_) {
            const Line& line = body_[index_];
            if (static_cast<int>(line.length) > kSecondPassLineLimit)
                return failAt(line, "is " + std::to_string(line.length) +
                                        " bytes with its CR LF; the setup reads at most " +
                                        std::to_string(kSecondPassLineLimit) + " there");
            const std::string value = text(line);
            const std::size_t separator = value.find(format::kFactSeparator);
            const std::string fact = value.substr(0, separator);
            std::string* field = nullptr;
            if (fact == format::kFactVersion) field = &out_.product.version;
            if (fact == format::kFactPublisher) field = &out_.product.publisher;
            if (fact == format::kFactUrl) field = &out_.product.url;
            if (fact == format::kFactIcon) field = &out_.product.icon;
            if (separator == std::string::npos || !field)
                return failAt(line, "should be Version=, Publisher=, URL= or Icon= in " + name +
                                        ", not \"" + value + "\"");
            if (!field->empty()) return failAt(line, "gives " + fact + " a second time");
            *field = value.substr(separator + 1);
            if (field->empty()) return failAt(line, "gives " + fact + " no value");
        }
        return true;
    }

    const std::string& s_;
    ParsedScript& out_;
    std::vector<Line> lines_;
    std::vector<Line> body_;
    std::size_t index_ = 0;
    std::size_t bodyEnd_ = 0;
    std::string problem_;
};

}  // namespace

int64_t ParsedScript::countedRecords() const {
    return std::count_if(records.begin(), records.end(),
                         [](const ParsedRecord& r) { return !r.noneApp; });
}

std::string parseScript(const std::string& script, ParsedScript* out) {
    *out = ParsedScript();
    return Parser(script, out).run();
}

}  // namespace kestrova::kpack
