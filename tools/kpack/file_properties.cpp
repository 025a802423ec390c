#include "file_properties.h"

#include <algorithm>
#include <cstring>

namespace kestrova::kpack {
namespace {

// The texts the setup program's properties add to the manifest's: what the
// program is, and what stands where the manifest gives no version. UTF-16,
// the resource's own form (narrow literals here are GBK).
const char16_t kSetupProgram[] = u"安装程序";
const char16_t kNoVersion[] = u"未注明版本";
const char16_t kCopyright[] = u"版权所有 © ";

constexpr uint16_t kStringType = 1;  // a block whose value is text
constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoSize = 52;

std::u16string utf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        uint32_t code = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; k < n && i + k < utf8.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

std::string utf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

uint16_t le16(const std::string& b, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                                 static_cast<unsigned char>(b[at + 1]) << 8);
}

uint32_t le32(const std::string& b, std::size_t at) {
    return le16(b, at) | static_cast<uint32_t>(le16(b, at + 2)) << 16;
}

void put32(std::string& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// One block of the resource's tree: a header (length, value length, type),
// a NUL-terminated UTF-16 key, the value and the child blocks, each part
// starting at a multiple of four bytes from the resource's start.
struct Block {
    std::size_t end = 0;  // the block's first byte after it
    uint16_t valueLength = 0;
    uint16_t type = 0;
    std::u16string key;
    std::size_t value = 0;     // where the value begins
    std::size_t children = 0;  // where the first child begins
};

class Resource {
  public:
    Resource(const std::string& bytes, std::size_t root) : b_(bytes), root_(root) {}

    std::size_t align(std::size_t at) const { return root_ + ((at - root_ + 3) & ~std::size_t(3)); }

    // The block at `at`, which must end by `limit`. False when it does not.
    bool read(std::size_t at, std::size_t limit, Block* block) const {
        if (at + 6 > limit) return false;
        const uint16_t length = le16(b_, at);
        if (length < 6 || at + length > limit) return false;
        block->end = at + length;
        block->valueLength = le16(b_, at + 2);
        block->type = le16(b_, at + 4);
        block->key.clear();
        std::size_t p = at + 6;
        for (;; p += 2) {
            if (p + 2 > block->end) return false;
            const char16_t c = le16(b_, p);
            if (c == 0) break;
            block->key += c;
        }
        block->value = align(p + 2);
        const std::size_t valueBytes =
            block->type == kStringType ? std::size_t(block->valueLength) * 2 : block->valueLength;
        if (block->value + valueBytes > block->end) {
            // An empty value may leave no room for its padding.
            if (valueBytes != 0) return false;
            block->value = block->end;
        }
        block->children = std::min(align(block->value + valueBytes), block->end);
        return true;
    }

    // Calls visit(block, position) for every child of parent. False when a
    // child is damaged.
    template <typename Visit>
    bool forEachChild(const Block& parent, Visit visit) const {
        for (std::size_t at = parent.children; at < parent.end;) {
            Block child;
            if (!read(at, parent.end, &child)) return false;
            visit(child);
            at = align(child.end);
        }
        return true;
    }

    // Calls visit(string) for every string of the string tables.
    template <typename Visit>
    bool forEachString(const Block& top, Visit visit) const {
        bool sound = true;
        const bool childrenSound = forEachChild(top, [&](const Block& info) {
            if (info.key != u"StringFileInfo") return;
            sound = sound && forEachChild(info, [&](const Block& table) {
                        sound = sound && forEachChild(table, visit);
                    });
        });
        return sound && childrenSound;
    }

  private:
    const std::string& b_;
    std::size_t root_;
};

// The top block of the stub's version resource: where its key stands, six
// bytes after the start, followed by the fixed information. False when the
// stub has none.
bool findTop(const std::string& stub, std::size_t* root, Block* top) {
    static const std::u16string key = u"VS_VERSION_INFO";
    const std::string pattern(reinterpret_cast<const char*>(key.c_str()), (key.size() + 1) * 2);
    for (std::size_t at = stub.find(pattern); at != std::string::npos;
         at = stub.find(pattern, at + 2)) {
        if (at < 6) continue;
        const Resource resource(stub, at - 6);
        if (resource.read(at - 6, stub.size(), top) && top->valueLength >= kFixedInfoSize &&
            top->value + kFixedInfoSize <= top->end && le32(stub, top->value) == kFixedSignature) {
            *root = at - 6;
            return true;
        }
    }
    return false;
}

// "2.4.1 beta" -> 2, 4, 1, 0: the leading numbers up to 65535, parted by dots.
void versionNumbers(const std::string& version, uint16_t out[4]) {
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        uint32_t value = 0;
        std::size_t digits = 0;
        while (at < version.size() && version[at] >= '0' && version[at] <= '9' && value <= 65535) {
            value = value * 10 + static_cast<uint32_t>(version[at++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 65535) return;
        out[part] = static_cast<uint16_t>(value);
        if (at >= version.size() || version[at] != '.') return;
        ++at;
    }
}

}  // namespace

FileProperties productProperties(const std::string& name, const std::optional<std::string>& version,
                                 const std::optional<std::string>& publisher) {
    FileProperties p;
    const std::string shownVersion =
        version && !version->empty() ? *version : utf8(std::u16string(kNoVersion));
    const std::string company = publisher ? *publisher : "";
    p.strings = {
        {"ProductName", name},
        {"ProductVersion", shownVersion},
        {"FileVersion", shownVersion},
        {"CompanyName", company},
        {"FileDescription", name + utf8(std::u16string(kSetupProgram))},
        {"LegalCopyright", company.empty() ? "" : utf8(std::u16string(kCopyright)) + company},
    };
    if (version) versionNumbers(*version, p.version);
    return p;
}

std::string writeFileProperties(std::string* stub, const FileProperties& properties) {
    std::size_t root = 0;
    Block top;
    if (!findTop(*stub, &root, &top)) return "";
    const Resource resource(*stub, root);
    std::vector<bool> written(properties.strings.size(), false);
    std::string problem;
    const bool sound = resource.forEachString(top, [&](const Block& s) {
        for (std::size_t i = 0; i < properties.strings.size(); ++i) {
            if (utf16(properties.strings[i].first) != s.key || s.type != kStringType) continue;
            const std::u16string text = utf16(properties.strings[i].second);
            if (text.size() + 1 > s.valueLength) {
                if (problem.empty())
                    problem = properties.strings[i].first + " holds at most " +
                              std::to_string(s.valueLength ? s.valueLength - 1 : 0) + " characters";
                return;
            }
            // The text, then NULs to the field's end: readers stop at the
            // first NUL.
            for (std::size_t k = 0; k < s.valueLength; ++k) {
                const char16_t c = k < text.size() ? text[k] : u'\0';
                (*stub)[s.value + 2 * k] = static_cast<char>(c & 0xFF);
                (*stub)[s.value + 2 * k + 1] = static_cast<char>(c >> 8);
            }
            written[i] = true;
        }
    });
    if (!sound) return "its version resource is damaged";
    if (!problem.empty()) return problem;
    for (std::size_t i = 0; i < written.size(); ++i)
        if (!written[i]) return "its version resource has no " + properties.strings[i].first;
    const uint32_t major = uint32_t(properties.version[0]) << 16 | properties.version[1];
    const uint32_t minor = uint32_t(properties.version[2]) << 16 | properties.version[3];
    // The file version, then the product version, after the signature and
    // the structure's own version.
    for (std::size_t at : {top.value + 8, top.value + 16}) {
        put32(*stub, at, major);
        put32(*stub, at + 4, minor);
    }
    return "";
}

bool readFileProperties(const std::string& stub, FileProperties* properties) {
    *properties = FileProperties();
    std::size_t root = 0;
    Block top;
    if (!findTop(stub, &root, &top)) return false;
    const Resource resource(stub, root);
    const bool sound = resource.forEachString(top, [&](const Block& s) {
        if (s.type != kStringType) return;
        std::u16string text;
        for (std::size_t k = 0; k < s.valueLength; ++k) {
            const char16_t c = le16(stub, s.value + 2 * k);
            if (c == 0) break;
            text += c;
        }
        properties->strings.emplace_back(utf8(s.key), utf8(text));
    });
    const uint32_t major = le32(stub, top.value + 8), minor = le32(stub, top.value + 12);
    properties->version[0] = static_cast<uint16_t>(major >> 16);
    properties->version[1] = static_cast<uint16_t>(major);
    properties->version[2] = static_cast<uint16_t>(minor >> 16);
    properties->version[3] = static_cast<uint16_t>(minor);
    return sound;
}

}  // namespace kestrova::kpack
