#include "fake_platform.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "recording_port.h"
#include "sha256.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace kestrova::test {
namespace {

// A host file-system path from the bytes of a mapped path. On Windows the
// bytes are GBK, so they are widened with code page 936, as the real
// platform does.
fs::path fsPath(const std::string& bytes) {
#ifdef _WIN32
    int n = MultiByteToWideChar(936, 0, bytes.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(936, 0, bytes.c_str(), -1, &wide[0], n);
    return fs::path(wide);
#else
    return fs::path(bytes);
#endif
}

std::FILE* openHost(const std::string& bytes, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::strlen(mode));
    return _wfopen(fsPath(bytes).c_str(), wmode.c_str());
#else
    return std::fopen(bytes.c_str(), mode);
#endif
}

std::string lower(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A GBK lead byte: the byte after it belongs to the same character, even
// when it is 0x5C, the backslash.
bool isLeadByte(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x81 && u <= 0xFE;
}

std::vector<std::string> splitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (isLeadByte(c) && i + 1 < path.size()) {
            part += c;
            part += path[++i];
        } else if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

bool isPredefinedRoot(RegKey key) {
    return key >= 0x80000000u && key <= 0x80000006u;
}

bool copyOut(const std::string& value, char* buffer, std::size_t capacity) {
    if (capacity == 0) return false;
    if (value.size() >= capacity) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return true;
}

const char kShellFolders[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

}  // namespace

FakePlatform::FakePlatform() {
    fs::path base = fs::temp_directory_path() / "kestrova-fake-XXXXXX";
    std::string pattern = base.string();
#ifdef _WIN32
    static int counter = 0;
    pattern = base.parent_path().string() + "\\kestrova-fake-" +
              std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    fs::remove_all(pattern);
    fs::create_directories(pattern);
    root_ = pattern;
#else
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) std::abort();
    root_ = buf.data();
#endif
    makeFolders(windows);
    makeFolders(system);
    makeFolders(temp);
    makeFolders(desktop);
    makeFolders("C:\\Downloads");
    setValue(kHkeyLocalMachine, kShellFolders, "Common Programs",
             "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    setValue(kHkeyLocalMachine, kShellFolders, "Common Startup",
             "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");
    findKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true,
            nullptr);
    createdKeys.clear();
}

FakePlatform::~FakePlatform() {
    std::error_code ec;
    fs::remove_all(fsPath(root_), ec);
}

std::string FakePlatform::hostPath(const std::string& windowsPath) const {
    std::string rest;
    std::string out = root_;
    if (windowsPath.size() >= 2 && windowsPath[1] == ':' &&
        ((windowsPath[0] >= 'A' && windowsPath[0] <= 'Z') ||
         (windowsPath[0] >= 'a' && windowsPath[0] <= 'z'))) {
        char drive = windowsPath[0];
        if (drive >= 'a') drive = static_cast<char>(drive - 'a' + 'A');
        out += '/';
        out += drive;
        rest = windowsPath.substr(2);
    } else {
        out += "/_relative";
        rest = windowsPath;
    }
    // Both slashes separate components, as on Windows. A ".." component
    // could leave the temporary folder (C:\..\..\etc), and the tests run
    // as root: such a path maps to nothing, so every operation on it fails.
    std::string component;
    auto endComponent = [&]() {
        if (component == "..") return false;
        out += component;
        component.clear();
        return true;
    };
    for (std::size_t i = 0; i < rest.size(); ++i) {
        char c = rest[i];
        if (isLeadByte(c) && i + 1 < rest.size()) {
            component += c;
            component += rest[++i];
        } else if (c == '\\' || c == '/') {
            if (!endComponent()) return std::string();
            if (out.back() != '/') out += '/';
        } else {
            component += c;
        }
    }
    if (!endComponent()) return std::string();
    return out;
}

bool FakePlatform::exists(const std::string& windowsPath) const {
    std::error_code ec;
    return fs::exists(fsPath(hostPath(windowsPath)), ec);
}

bool FakePlatform::isFolder(const std::string& windowsPath) const {
    std::error_code ec;
    return fs::is_directory(fsPath(hostPath(windowsPath)), ec);
}

std::string FakePlatform::readFile(const std::string& windowsPath) const {
    std::FILE* f = openHost(hostPath(windowsPath), "rb");
    if (!f) return {};
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

void FakePlatform::writeFile(const std::string& windowsPath, const std::string& bytes) {
    std::string host = hostPath(windowsPath);
    if (host.empty()) std::abort();  // a test that writes outside its folder is wrong
    std::error_code ec;
    fs::create_directories(fsPath(host).parent_path(), ec);
    std::FILE* f = openHost(host, "wb");
    if (!f) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void FakePlatform::makeFolders(const std::string& windowsPath) {
    std::error_code ec;
    fs::create_directories(fsPath(hostPath(windowsPath)), ec);
}

File FakePlatform::openFile(const char* path, FileMode mode) {
    if (failOpens.count(path)) return File();
#if defined(__GLIBC__)
    if (mode == FileMode::Write && writesFailAtClose) {
        static cookie_io_functions_t io = {
            nullptr, [](void*, const char*, size_t) -> ssize_t { return -1; }, nullptr, nullptr};
        return File(fopencookie(nullptr, "wb", io));
    }
#endif
    std::string host = hostPath(path);
    if (mode == FileMode::Write && failWrites.count(path)) {
        // A stream opened for reading refuses every write, like a full disk.
        std::FILE* f = openHost(host, "wb");
        if (!f) return File();
        std::fclose(f);
        return File(openHost(host, "rb"));
    }
    return File(openHost(host, mode == FileMode::Read ? "rb" : "wb"));
}

bool FakePlatform::makeFolder(const char* path) {
    std::error_code ec;
    return fs::create_directory(fsPath(hostPath(path)), ec);
}

bool FakePlatform::changeFolder(const char* path) {
    if (!isFolder(path)) return false;
    currentFolder = path;
    return true;
}

bool FakePlatform::deleteFile(const char* path) {
    deleted.push_back(path);
    std::error_code ec;
    fs::path p = fsPath(hostPath(path));
    if (fs::is_directory(p, ec)) return false;
    return fs::remove(p, ec);
}

bool FakePlatform::setFileAttributes(const char* path, uint32_t) {
    return exists(path);
}

uint32_t FakePlatform::fileAttributes(const char* path) {
    std::error_code ec;
    const bool link = fs::is_symlink(fsPath(hostPath(path)), ec);
    if (!exists(path)) return link ? kAttributeReparsePoint : kInvalidAttributes;
    return (isFolder(path) ? kAttributeDirectory : 0x20) |  // FILE_ATTRIBUTE_ARCHIVE
           (link ? kAttributeReparsePoint : 0);
}

bool FakePlatform::windowsFolder(char* buffer, std::size_t capacity) {
    return copyOut(windows, buffer, capacity);
}
bool FakePlatform::systemFolder(char* buffer, std::size_t capacity) {
    return copyOut(system, buffer, capacity);
}
bool FakePlatform::tempFolder(char* buffer, std::size_t capacity) {
    return copyOut(temp, buffer, capacity);
}
bool FakePlatform::desktopFolder(char* buffer, std::size_t capacity) {
    if (!desktopAvailable) {
        if (capacity) buffer[0] = '\0';
        return false;
    }
    return copyOut(desktop, buffer, capacity);
}
bool FakePlatform::modulePath(char* buffer, std::size_t capacity) {
    return copyOut(module, buffer, capacity);
}

// ---- Registry ---------------------------------------------------------------

FakePlatform::Key* FakePlatform::findKey(RegKey root, const std::string& path, bool create,
                                         bool* created) {
    if (created) *created = false;
    auto& top = roots_[root];
    if (!top) top = std::make_unique<Key>();
    Key* key = top.get();
    for (const std::string& part : splitKeyPath(path)) {
        auto& child = key->children[lower(part)];
        if (!child) {
            if (!create) {
                key->children.erase(lower(part));
                return nullptr;
            }
            child = std::make_unique<Key>();
            if (created) *created = true;
        }
        key = child.get();
    }
    return key;
}

const FakePlatform::Key* FakePlatform::findKeyConst(RegKey root, const std::string& path) const {
    auto it = roots_.find(root);
    if (it == roots_.end()) return nullptr;
    const Key* key = it->second.get();
    for (const std::string& part : splitKeyPath(path)) {
        auto c = key->children.find(lower(part));
        if (c == key->children.end()) return nullptr;
        key = c->second.get();
    }
    return key;
}

void FakePlatform::setValue(RegKey root, const std::string& path, const std::string& name,
                            const std::string& data) {
    Key* key = findKey(root, path, true, nullptr);
    key->values[lower(name)] = data;
    key->types[lower(name)] = 1;
}

bool FakePlatform::getValue(RegKey root, const std::string& path, const std::string& name,
                            std::string* data) const {
    const Key* key = findKeyConst(root, path);
    if (!key) return false;
    auto it = key->values.find(lower(name));
    if (it == key->values.end()) return false;
    if (data) *data = it->second;
    return true;
}

uint32_t FakePlatform::valueType(RegKey root, const std::string& path,
                                 const std::string& name) const {
    const Key* key = findKeyConst(root, path);
    if (!key) return 0;
    auto it = key->types.find(lower(name));
    return it == key->types.end() ? 0 : it->second;
}

bool FakePlatform::keyExists(RegKey root, const std::string& path) const {
    return findKeyConst(root, path) != nullptr;
}

void FakePlatform::deleteKey(RegKey root, const std::string& path) {
    std::vector<std::string> parts = splitKeyPath(path);
    if (parts.empty()) return;
    std::string last = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const std::string& p : parts) parentPath += p + "\\";
    Key* parent = findKey(root, parentPath, false, nullptr);
    if (parent) parent->children.erase(lower(last));
}

std::string FakePlatform::keyPathOf(RegKey key) const {
    if (isPredefinedRoot(key)) return std::to_string(key) + "\\";
    auto it = handles_.find(key);
    return it == handles_.end() ? std::string() : it->second;
}

// Handles resolve to "root\\path"; the root is the number before the first
// backslash.
static bool splitHandlePath(const std::string& full, RegKey* root, std::string* path) {
    std::size_t slash = full.find('\\');
    if (slash == std::string::npos) return false;
    *root = static_cast<RegKey>(std::stoull(full.substr(0, slash)));
    *path = full.substr(slash + 1);
    return true;
}

bool FakePlatform::regOpenKey(RegKey parent, const char* subKey, uint32_t, RegKey* key) {
    RegKey root;
    std::string path;
    if (!splitHandlePath(keyPathOf(parent), &root, &path)) return false;
    if (subKey && *subKey) path += (path.empty() ? "" : "\\") + std::string(subKey);
    if (!findKeyConst(root, path)) return false;
    RegKey handle = nextHandle_++;
    handles_[handle] = std::to_string(root) + "\\" + path;
    *key = handle;
    return true;
}

bool FakePlatform::regCreateKey(RegKey parent, const char* subKey, RegKey* key) {
    RegKey root;
    std::string path;
    if (!splitHandlePath(keyPathOf(parent), &root, &path)) return false;
    if (subKey && *subKey) path += (path.empty() ? "" : "\\") + std::string(subKey);
    if (failCreateKeys.count(path)) return false;
    bool created = false;
    findKey(root, path, true, &created);
    if (created) createdKeys.push_back(std::to_string(root) + "\\" + path);
    RegKey handle = nextHandle_++;
    handles_[handle] = std::to_string(root) + "\\" + path;
    *key = handle;
    return true;
}

bool FakePlatform::regQueryValue(RegKey key, const char* name, char* buffer, uint32_t* size) {
    RegKey root;
    std::string path;
    if (!splitHandlePath(keyPathOf(key), &root, &path)) return false;
    std::string data;
    if (!getValue(root, path, name ? name : "", &data)) return false;
    // Windows stores REG_SZ with its NUL and returns it when there is room.
    std::string stored = data + '\0';
    if (stored.size() > *size) {
        *size = static_cast<uint32_t>(stored.size());
        return false;
    }
    std::memcpy(buffer, stored.data(), stored.size());
    *size = static_cast<uint32_t>(stored.size());
    return true;
}

bool FakePlatform::regSetString(RegKey key, const char* name, const char* data, uint32_t length) {
    RegKey root;
    std::string path;
    if (!splitHandlePath(keyPathOf(key), &root, &path)) return false;
    setValue(root, path, name ? name : "", std::string(data, length));
    return true;
}

bool FakePlatform::regSetDword(RegKey key, const char* name, uint32_t value) {
    RegKey root;
    std::string path;
    if (!splitHandlePath(keyPathOf(key), &root, &path)) return false;
    const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    setValue(root, path, name ? name : "", std::string(bytes, 4));
    findKey(root, path, true, nullptr)->types[lower(name ? name : "")] = 4;
    return true;
}

void FakePlatform::regCloseKey(RegKey key) {
    handles_.erase(key);
}

// ---- Shell, processes, user interface ---------------------------------------

bool FakePlatform::shellOpen(const char* path, int) {
    opened.push_back(path);
    return exists(path);
}

bool FakePlatform::addFont(const char* path) {
    fonts.push_back(path);
    return exists(path);
}

bool FakePlatform::createShellLink(const ShellLinkFields& fields, const char* linkPath,
                                   void (*beforeSave)(void*), void* context) {
    if (!shellLinksAvailable) return false;
    if (beforeSave) beforeSave(context);
    ShellLinkCall call{linkPath,
                       fields.target,
                       fields.arguments,
                       fields.workingFolder,
                       fields.description,
                       fields.showCommand,
                       false};
    std::string host = hostPath(linkPath);
    std::FILE* f = openHost(host, "wb");
    if (f) {
        std::string body = "target=" + call.target + "\nargs=" + call.arguments + "\n";
        std::fwrite(body.data(), 1, body.size(), f);
        call.saved = std::fclose(f) == 0;
    }
    links.push_back(call);
    return call.saved;
}

bool FakePlatform::runProcess(const char* commandLine, int showCommand, uint32_t* exitCode) {
    processes.push_back({commandLine, showCommand, true});
    if (!processesStart) return false;
    if (exitCode) *exitCode = processExitCode;
    return true;
}

bool FakePlatform::startProgram(const char* commandLine, int showCommand) {
    processes.push_back({commandLine, showCommand, false});
    return processesStart;
}

int FakePlatform::messageBox(WindowRef owner, const char* text, const char* caption,
                             uint32_t style) {
    int answer;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    } else {
        answer = (style & 0xF) == kMbYesNo ? kIdNo : kIdOk;
    }
    messageBoxes.push_back({owner, text ? text : "", caption ? caption : "", style, answer});
    return answer;
}

int FakePlatform::driveType(const char* root) {
    auto it = driveTypes.find(root);
    return it == driveTypes.end() ? kDriveFixed : it->second;
}

bool FakePlatform::freeSpace(const char*, uint64_t* bytes) {
    *bytes = freeBytes;
    return true;
}

bool FakePlatform::removeFolder(const char* path) {
    std::error_code ec;
    fs::path p = fsPath(hostPath(path));
    if (!fs::is_directory(p, ec) || !fs::is_empty(p, ec)) return false;
    return fs::remove(p, ec);
}

bool FakePlatform::regDeleteKey(RegKey root, const char* subKey) {
    const std::string path = subKey ? subKey : "";
    const Key* key = findKeyConst(root, path);
    if (path.empty() || !key || !key->children.empty()) return false;
    deleteKey(root, path);
    return true;
}

bool FakePlatform::diskFreeBytes(const char* root, uint64_t* bytes) {
    auto it = diskFree.find(root);
    if (it == diskFree.end()) return false;
    *bytes = it->second;
    return true;
}

bool FakePlatform::longPathName(const char* path, char* buffer, std::size_t capacity) {
    std::string text = path;
    // A short name may stand inside another's long form: pass until none is
    // left (a few passes; the names are the test's own).
    for (int pass = 0; pass < 8; ++pass) {
        bool changed = false;
        for (const auto& [shortName, longName] : shortNames) {
            const std::size_t n = shortName.size();
            if (text.size() >= n && lower(text.substr(0, n)) == lower(shortName) &&
                (text.size() == n || text[n] == '\\')) {
                text = longName + text.substr(n);
                changed = true;
            }
        }
        if (!changed) break;
    }
    return copyOut(text, buffer, capacity);
}

HandleRemoval FakePlatform::removeThroughHandle(const char* path, bool folder) {
    handleRemovals.push_back(path);
    std::error_code ec;
    const fs::path p = fsPath(hostPath(path));
    const fs::file_status status = fs::symlink_status(p, ec);
    if (!fs::exists(status)) return HandleRemoval::Missing;
    if (fs::is_symlink(status)) return HandleRemoval::Elsewhere;
    if (fs::is_directory(status) != folder) return HandleRemoval::OtherKind;
    // A link on the way makes the resolved path another one (the fake's
    // own folder may lie behind a link of the host: that one is no alias).
    const fs::path base = fsPath(root_);
    const fs::path expected =
        (fs::canonical(base, ec) / p.lexically_relative(base)).lexically_normal();
    if (fs::canonical(p, ec) != expected) return HandleRemoval::Elsewhere;
    if (folder && !fs::is_empty(p, ec)) return HandleRemoval::Failed;
    return fs::remove(p, ec) ? HandleRemoval::Removed : HandleRemoval::Failed;
}

bool FakePlatform::sha256(const void* data, std::size_t size, uint8_t digest[kSha256Size]) {
    test::sha256(data, size, digest);
    return true;
}

UserPort& FakePlatform::user(WindowRef page) {
    if (!port_) port_ = std::make_shared<RecordingPort>(*this);
    port_->setOwner(page);
    return *port_;
}

void FakePlatform::createAhead(const char* path) {
    dropCreatedAhead();
    if (failOpens.count(path) || exists(path)) return;
    std::FILE* f = openHost(hostPath(path), "wb");
    if (!f) return;
    std::fclose(f);
    madeAhead.push_back(path);
    pendingAhead = path;
}

File FakePlatform::takeCreatedAhead(const char* path) {
    if (pendingAhead.empty()) return File();
    if (pendingAhead != path) {
        dropCreatedAhead();
        return File();
    }
    pendingAhead.clear();
    // Through openFile, so that failing writes are simulated here too.
    return openFile(path, FileMode::Write);
}

void FakePlatform::dropCreatedAhead() {
    if (pendingAhead.empty()) return;
    std::error_code ec;
    fs::remove(fsPath(hostPath(pendingAhead)), ec);
    pendingAhead.clear();
}

}  // namespace kestrova::test
