#include "kpack_fixture.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "package/format.h"
#include "state/setup_state.h"

namespace kestrova::test {

fs::path ownExecutable() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return fs::path(std::wstring(buffer, n));
#else
    return fs::read_symlink("/proc/self/exe");
#endif
}

std::vector<uint8_t> readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.u8string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const fs::path& path) {
    std::vector<uint8_t> bytes = readWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.u8string());
}

ScratchFolder::ScratchFolder() {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    path_ = fs::temp_directory_path() / ("kpack-test-" + std::to_string(pid) + "-" +
                                         std::to_string(now) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path writeStandInStub(const fs::path& folder) {
    const fs::path stub = folder / "stand-in-stub.exe";
    writeFile(stub, std::string(static_cast<std::size_t>(kPackageStart), '\0'));
    return stub;
}

const char kMinimalManifest[] =
    u8R"([product]
name = "测试"
install_dir = "[Program Files]\\测试"

[pictures]
welcome = "welcome.bmp"
title = "title.bmp"

[[files]]
source = "a.txt"
target = "[InstallDir]\\a.txt"
)";

std::string standInProgram(bool uninstaller, bool dll) {
    // An MS-DOS header whose last field points to the "PE" header at 0x40,
    // then the file header: i386, no sections, its characteristics an
    // executable image (0x0002), 32-bit (0x0100) and maybe a DLL (0x2000).
    std::string b = "MZ" + std::string(0x3A, '\0') + std::string("\x40\0\0\0", 4);
    b += std::string("PE\0\0\x4C\x01", 6) + std::string(16, '\0');
    const unsigned characteristics = 0x0102 | (dll ? 0x2000 : 0);
    b += static_cast<char>(characteristics & 0xFF);
    b += static_cast<char>(characteristics >> 8);
    if (uninstaller) b += "<assemblyIdentity type=\"win32\" name=\"Kestrova.Uninstall\"/>";
    return b;
}

std::string plainBitmap(int width, int height, uint8_t grey) {
    const uint32_t rows = (static_cast<uint32_t>(width) + 3) / 4 * 4 * height;
    std::string b = "BM";
    // File size, reserved, pixel offset; a 40-byte header: width, height, 1
    // plane and 8 bits, plain rows, image size, no resolution, one colour
    // used, all important; the one colour.
    for (uint32_t v :
         {58 + rows, 0u, 58u, 40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
          1u | 8u << 16, 0u, rows, 0u, 0u, 1u, 0u, grey * 0x010101u})
        for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i));
    return b + std::string(rows, '\0');  // every pixel is entry 0
}

kpack::BuildOptions ProductFolder::options(const std::string& outputName, unsigned threads) const {
    kpack::BuildOptions o;
    o.manifest = *this / "product.toml";
    o.manifestName = "product.toml";
    o.output = *this / outputName;
    o.outputName = outputName;
    o.stub = stub_;
    o.stubName = "stub.exe";
    o.threads = threads;
    return o;
}

ProductFolder::ProductFolder() {
    stub_ = writeStandInStub(folder_.path());
    source("welcome.bmp", plainBitmap(164, 314));
    source("title.bmp", plainBitmap(548, 64));
    source("a.txt", "abababab");
}

void ProductFolder::source(const std::string& utf8Name, const std::string& bytes) const {
    writeFile(folder_ / utf8Name, bytes);
}

fs::path ProductFolder::manifest(const std::string& toml) const {
    const fs::path path = folder_ / "product.toml";
    writeFile(path, toml);
    return path;
}

#ifndef _WIN32
KpackRun runKpack(const std::string& program, const std::string& arguments,
                  const fs::path& folder) {
    const std::string command =
        "cd '" + folder.string() + "' && '" + program + "' " + arguments + " 2>&1";
    KpackRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
#endif

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) {
        std::fprintf(stderr, "test fixture: '%s' not found\n", from.c_str());
        std::abort();
    }
    return text.replace(at, from.size(), to);
}

}  // namespace kestrova::test
