#include "windows_model.h"

#include <cstdio>
#include <cstring>

#include "engine/gbk_text.h"

namespace kestrova::fuzz {

struct WindowsModel::Node {
    std::string name, shortName;  // a drive's root is named "X:"
    bool folder = false;
    std::string junction;  // where a junction leads (a full path); empty for others
    std::string bytes;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

// How many junctions one lookup follows before it gives up, as the system
// does with a loop.
constexpr int kJunctionDepth = 8;

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names and paths compare without regard to ASCII case; the bytes of a
// Chinese character as they are.
bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    const char* end = a.data() + a.size();
    for (const char* p = a.data(); p < end;) {
        const std::size_t n = gbkCharLength(p, end), i = static_cast<std::size_t>(p - a.data());
        if (n == 1 ? upper(a[i]) != upper(b[i]) : a.compare(i, 2, b, i, 2) != 0) return false;
        p += n;
    }
    return true;
}

bool isForbidden(char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"|?*", c) != nullptr;
}

// The parts of a full path as the system reads it: '\' and '/' separate,
// "." goes, ".." takes the part before it away, trailing dots and spaces
// of a part are dropped. False for anything that is not a drive letter, a
// colon and a separator, or for a part with a character no name may hold.
bool parse(const std::string& path, char* letter, std::vector<std::string>* parts) {
    parts->clear();
    if (path.size() < 3 || path[1] != ':' || (path[2] != '\\' && path[2] != '/')) return false;
    *letter = upper(path[0]);
    if (*letter < 'A' || *letter > 'Z') return false;
    std::string part;
    bool valid = true;
    auto finish = [&] {
        if (part == "..") {
            if (!parts->empty()) parts->pop_back();
        } else if (part != ".") {
            while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
            if (!part.empty()) parts->push_back(part);
        }
        part.clear();
    };
    const char* end = path.data() + path.size();
    for (const char* p = path.data() + 3; p < end;) {
        const std::size_t n = gbkCharLength(p, end);
        if (n == 1 && (*p == '\\' || *p == '/')) {
            finish();
        } else {
            if (n == 1 && isForbidden(*p)) valid = false;
            part.append(p, n);
        }
        p += n;
    }
    finish();
    return valid;
}

// The parts of a path split at each '\' as it stands, for the long form.
std::vector<std::string> rawParts(const std::string& text) {
    std::vector<std::string> parts(1);
    const char* end = text.data() + text.size();
    for (const char* p = text.data(); p < end;) {
        const std::size_t n = gbkCharLength(p, end);
        if (n == 1 && *p == '\\') {
            parts.emplace_back();
        } else {
            parts.back().append(p, n);
        }
        p += n;
    }
    return parts;
}

// An 8.3 name needs no short one: up to eight plain characters, and up to
// three after one dot.
bool isShortName(const std::string& name) {
    const std::size_t dot = name.find('.');
    const std::size_t base = dot == std::string::npos ? name.size() : dot;
    const std::size_t extension = dot == std::string::npos ? 0 : name.size() - dot - 1;
    if (base == 0 || base > 8 || extension > 3) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (i == dot) continue;
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_' || c == '-'))
            return false;
    }
    return true;
}

}  // namespace

WindowsModel::WindowsModel() = default;
WindowsModel::~WindowsModel() = default;

WindowsModel::Node* WindowsModel::drive(char letter, bool create) {
    for (auto& root : drives_)
        if (root->name[0] == letter) return root.get();
    if (!create) return nullptr;
    auto root = std::make_unique<Node>();
    root->name = std::string(1, letter) + ":";
    root->folder = true;
    drives_.push_back(std::move(root));
    return drives_.back().get();
}

WindowsModel::Node* WindowsModel::child(Node* folder, const std::string& name) const {
    for (auto& node : folder->children)
        if (sameName(node->name, name) ||
            (!node->shortName.empty() && sameName(node->shortName, name)))
            return node.get();
    return nullptr;
}

WindowsModel::Node* WindowsModel::lookup(const std::string& path, bool followLast, int depth,
                                         bool follow) {
    char letter;
    std::vector<std::string> parts;
    if (depth > kJunctionDepth || !parse(path, &letter, &parts)) return nullptr;
    Node* node = drive(letter, false);
    for (std::size_t i = 0; node && i < parts.size(); ++i) {
        if (!node->folder) return nullptr;
        Node* next = child(node, parts[i]);
        if (next && !next->junction.empty()) {
            if (!follow) return nullptr;
            if (i + 1 < parts.size() || followLast) next = lookup(next->junction, true, depth + 1);
        }
        node = next;
    }
    return node;
}

// The folder that receives the last part of path, made on the way; the
// last part's name in *name. Null when the path does not resolve to one.
WindowsModel::Node* WindowsModel::build(const std::string& path, int depth) {
    char letter;
    std::vector<std::string> parts;
    if (depth > kJunctionDepth || !parse(path, &letter, &parts)) return nullptr;
    Node* node = drive(letter, true);
    for (const std::string& part : parts) {
        if (!node->folder) return nullptr;
        Node* next = child(node, part);
        if (!next) {
            auto made = std::make_unique<Node>();
            made->name = part;
            made->folder = true;
            made->parent = node;
            if (!isShortName(part)) {
                std::string base;
                for (char c : part)
                    if (base.size() < 6 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                            (c >= '0' && c <= '9')))
                        base += upper(c);
                if (base.empty()) base = "X";
                for (int n = 1; made->shortName.empty(); ++n)
                    if (!child(node, base + "~" + std::to_string(n)))
                        made->shortName = base + "~" + std::to_string(n);
            }
            node->children.push_back(std::move(made));
            next = node->children.back().get();
        }
        if (!next->junction.empty()) next = build(next->junction, depth + 1);
        if (!next) return nullptr;
        node = next;
    }
    return node;
}

bool WindowsModel::make(const std::string& path, bool folder, const std::string& bytes) {
    Node* before = lookup(path, false);
    if (before) return true;
    Node* node = build(path, 0);
    if (!node || !node->parent) return false;
    // build made the last part a folder: a file has no children yet.
    if (node->children.empty() && !folder) {
        node->folder = false;
        node->bytes = bytes;
    }
    return true;
}

bool WindowsModel::makeJunction(const std::string& path, const std::string& target) {
    if (lookup(path, false)) return false;
    Node* node = build(path, 0);
    if (!node || !node->parent || !node->children.empty()) return false;
    node->junction = target;
    return true;
}

std::string WindowsModel::realPathOf(const Node* node) const {
    std::string path;
    for (; node->parent; node = node->parent) path = "\\" + node->name + path;
    return node->name + (path.empty() ? "\\" : path);
}

std::string WindowsModel::realPath(const std::string& path, bool followJunctions) {
    Node* node = lookup(path, true, 0, followJunctions);
    return node ? realPathOf(node) : std::string();
}

void WindowsModel::detach(Node* node) {
    auto& siblings = node->parent->children;
    for (auto it = siblings.begin(); it != siblings.end(); ++it)
        if (it->get() == node) {
            siblings.erase(it);
            return;
        }
}

File WindowsModel::openFile(const char* path, FileMode mode) {
    Node* node = mode == FileMode::Read ? lookup(path, true) : nullptr;
    if (!node || node->folder) return File();
    readBuffers_.push_back(node->bytes);
    std::string& bytes = readBuffers_.back();
    if (bytes.empty()) return File(std::fopen("/dev/null", "rb"));
    return File(fmemopen(&bytes[0], bytes.size(), "rb"));
}

// DeleteFile and RemoveDirectory act on a junction at the path itself;
// SetFileAttributes on what it leads to.
bool WindowsModel::deleteFile(const char* path) {
    Node* node = lookup(path, false);
    if (!node || node->folder) return false;
    touched.push_back(realPathOf(node));
    detach(node);
    return true;
}

bool WindowsModel::setFileAttributes(const char* path, uint32_t) {
    Node* node = lookup(path, true);
    if (!node) return false;
    touched.push_back(realPathOf(node));
    return true;
}

bool WindowsModel::removeFolder(const char* path) {
    Node* node = lookup(path, false);
    if (!node || !node->folder || !node->parent || !node->children.empty()) return false;
    touched.push_back(realPathOf(node));
    detach(node);
    return true;
}

uint32_t WindowsModel::fileAttributes(const char* path) {
    Node* node = lookup(path, false);
    if (!node) return kInvalidAttributes;
    return (node->folder ? kAttributeDirectory : 0x20) |
           (node->junction.empty() ? 0 : kAttributeReparsePoint);
}

bool WindowsModel::longPathName(const char* path, char* buffer, std::size_t capacity) {
    if (capacity) buffer[0] = '\0';
    const std::string text = path;
    if (text.size() < 3 || text[1] != ':' || text[2] != '\\') return false;
    std::string out = text.substr(0, 3);
    Node* node = drive(upper(text[0]), false);
    const std::vector<std::string> parts = rawParts(text.substr(3));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += '\\';
        Node* next = node && node->folder ? child(node, parts[i]) : nullptr;
        if (next) {
            out += next->name;
            node = next->junction.empty() ? next : lookup(next->junction, true);
        } else {
            out += parts[i];
            node = nullptr;
        }
    }
    if (out.size() >= capacity) return false;
    std::memcpy(buffer, out.c_str(), out.size() + 1);
    return true;
}

HandleRemoval WindowsModel::removeThroughHandle(const char* path, bool folder) {
    Node* node = lookup(path, false);
    if (!node) return HandleRemoval::Missing;
    if (!node->junction.empty()) return HandleRemoval::Elsewhere;
    if (node->folder != folder) return HandleRemoval::OtherKind;
    const std::string real = realPathOf(node);
    if (!sameName(real, path)) return HandleRemoval::Elsewhere;
    if (!node->parent || (folder && !node->children.empty())) return HandleRemoval::Failed;
    touched.push_back(real);
    detach(node);
    return HandleRemoval::Removed;
}

}  // namespace kestrova::fuzz
