// Makes the seed corpora of the fuzz targets in the folder given (one
// sub-folder per target), with the project's own code: test packages laid
// out by the package builder, a package that kpack builds from a small
// product (real LZSS matches), streams from kpack's encoder, the committed
// test bitmaps, registry data and the manifests of the sample products.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "deflate_encoder.h"
#include "fuzz_support.h"
#include "lzss_encoder.h"
#include "package/format.h"
#include "package_builder.h"  // tests/support
#include "package_reader.h"
#include "state/setup_state.h"

using namespace kestrova;
namespace fs = std::filesystem;

namespace {

fs::path out;

void write(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(out / target);
    std::ofstream(out / target / name, std::ios::binary) << bytes;
}

std::string readAll(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// The package part of a setup program (what the package targets mutate).
std::string packagePart(const std::string& setup) {
    return setup.size() > static_cast<std::size_t>(kPackageStart) ? setup.substr(kPackageStart)
                                                                  : std::string();
}

void packageSeed(const std::string& name, const std::string& setup) {
    const std::string part = packagePart(setup);
    for (const char* target : {"startup", "kpack_reader"}) write(target, name, part);
}

// The script targets take the script's text; the install run's first byte
// is its control byte.
void scriptSeed(const std::string& name, const std::string& script) {
    write("setup", name, script);
    write("file_reader", name, script);
    write("install_run", name, std::string(1, '\0') + script);
    write("install_run", name + "-cancel", std::string(1, '\x21') + script);
}

void builderSeeds() {
    test::PackageBuilder b;
    b.productName = "\xD1\xDD\xCA\xBE";  // GBK
    b.installDir = "[Program Files]\\Demo";
    b.directories = {"[InstallDir]", "[InstallDir]\\bin", "[Windows Desktop]\\Demo"};
    b.splash = "BM splash";
    b.addFile("[InstallDir]\\bin\\app.exe", "MZ app", '1');
    b.addNoneApp();
    b.addFile("[InstallDir]\\x.dll", "MZ dll", '1');
    b.addFile("[InstallDir]\\font.ttf", "font");
    b.addFile("[InstallDir]\\data.reg",
              "[HKEY_CURRENT_USER\\Software\\Demo]\r\n\"Path\"=\"C:\\Demo\"\r\n", '2');
    b.addFile("[InstallDir]\\keep.txt", "keep", '4');
    b.addFile("[InstallDir]\\tool.exe", "MZ tool", '0', true);
    b.autoReg = {"[InstallDir]\\bin\\app.exe", "[InstallDir]\\x.dll", "[InstallDir]\\doc.htm"};
    b.clearFile = {"[InstallDir]\\old.txt"};
    b.menuLines = {
        test::PackageBuilder::menuLine("App", "[InstallDir]\\bin\\app.exe /min", true, true)};
    packageSeed("builder-full", b.build());
    scriptSeed("builder-full", b.script());

    test::PackageBuilder plain;
    plain.addFile("[InstallDir]\\a.txt", "a");
    plain.licence = "";
    packageSeed("builder-plain", plain.build());
    scriptSeed("builder-plain", plain.script());
}

// A package from kpack itself: a small product built into a setup.exe.
void kpackSeed(const fs::path& kpack, const fs::path& work, const fs::path& source) {
    fs::create_directories(work);
    // Pictures kpack accepts: a committed 8-bit test bitmap.
    const std::string picture = readAll(source / "tests/data/bitmaps/pal8.bmp");
    std::ofstream(work / "welcome.bmp", std::ios::binary) << picture;
    std::ofstream(work / "title.bmp", std::ios::binary) << picture;
    std::ofstream(work / "a.txt", std::ios::binary) << std::string(300, 'a') + "abcabcabc";
    // Texts that share their words: with deflate, the package gets a
    // dictionary.
    fs::create_directories(work / "texts");
    const char* const words[] = {"name", "value", "size", "file", "the", "of", "return", "text"};
    std::string shared;
    for (uint32_t r = 1; shared.size() < 1200; r = r * 1103515245u + 12345u)
        shared += std::string(words[(r >> 16) % 8]) + ((r >> 20) % 5 ? " " : "\r\n");
    for (const char* name : {"b.txt", "c.txt", "d.txt", "e.txt"})
        std::ofstream(work / "texts" / name, std::ios::binary) << shared + name;
    std::ofstream(work / "stub.exe", std::ios::binary) << std::string(kPackageStart, 'M');
    // The uninstall option is on: kpack ships an uninstaller, a Windows
    // program (the MZ and PE headers, not a DLL) carrying the uninstaller's
    // manifest identity.
    std::string uninstaller(0x40, '\0');
    uninstaller[0] = 'M', uninstaller[1] = 'Z', uninstaller[0x3C] = 0x40;
    uninstaller += std::string("PE\0\0", 4) + std::string(20, '\0');
    uninstaller += "name=\"Kestrova.Uninstall\"";
    std::ofstream(work / "uninstaller.exe", std::ios::binary) << uninstaller;
    const std::string manifest =
        "[product]\nname = \"Demo\"\ninstall_dir = \"[Program Files]\\\\Demo\"\n"
        "[pictures]\nwelcome = \"welcome.bmp\"\ntitle = \"title.bmp\"\n"
        "[directories]\ncreate = [\"[InstallDir]\"]\n"
        "[[files]]\nsource = \"a.txt\"\ntarget = \"[InstallDir]\\\\a.txt\"\n"
        "[[files]]\nfolder = \"texts\"\ntarget = \"[InstallDir]\\\\texts\"\n"
        "[menu]\ngroup = \"Demo\"\n[[menu.shortcuts]]\nname = \"A\"\n"
        "target = \"[InstallDir]\\\\a.txt\"\ndesktop = true\n"
        "[run]\ncaption = \"Run\"\ncommand = \"[InstallDir]\\\\a.txt\"\n";
    std::ofstream(work / "product.toml", std::ios::binary) << manifest;
    write("manifest", "small.toml", manifest);
    const std::string command = kpack.string() + " build " + (work / "product.toml").string() +
                                " -o " + (work / "setup.exe").string() + " --stub " +
                                (work / "stub.exe").string() + " --uninstaller " +
                                (work / "uninstaller.exe").string() + " --quiet";
    if (std::system(command.c_str()) != 0) {
        std::cerr << "fuzz_seeds: kpack failed: " << command << "\n";
        std::exit(1);
    }
    packageSeed("kpack-small", readAll(work / "setup.exe"));
    scriptSeed("kpack-small", kpack::PackageReader(work / "setup.exe", "setup.exe").script());
    // The same product with deflate and stored streams.
    if (std::system((command + " --compression deflate").c_str()) != 0) {
        std::cerr << "fuzz_seeds: kpack failed: " << command << " --compression deflate\n";
        std::exit(1);
    }
    packageSeed("kpack-deflate", readAll(work / "setup.exe"));
}

void streamSeeds() {
    const std::string texts[] = {std::string("abababab"), std::string(5000, 'x') + "yz",
                                 "[Directory]\r\n[File]\r\n[TotalSize]\r\n"};
    int i = 0;
    for (const std::string& t : texts) {
        const std::vector<uint8_t> e =
            kpack::lzssEncode(reinterpret_cast<const uint8_t*>(t.data()), t.size());
        write("lzss", "encoded-" + std::to_string(i++), std::string(e.begin(), e.end()));
    }
    i = 0;
    for (const std::string& t : texts) {
        // The codecs target's first byte: odd for deflate, even for stored.
        const std::vector<uint8_t> d =
            kpack::deflateEncode(reinterpret_cast<const uint8_t*>(t.data()), t.size());
        write("codecs", "deflate-" + std::to_string(i), "\x01" + std::string(d.begin(), d.end()));
        const std::vector<uint8_t> p = kpack::deflateEncode(
            reinterpret_cast<const uint8_t*>(t.data()), t.size(),
            reinterpret_cast<const uint8_t*>(fuzz::kDictionary.data()), fuzz::kDictionary.size());
        write("codecs", "primed-" + std::to_string(i), "\x81" + std::string(p.begin(), p.end()));
        write("codecs", "stored-" + std::to_string(i++), "\x02" + t);
    }
    write("lzss", "overlap", "\x03\x61\x62\xEE\xF3");
    write("lzss", "spaces", std::string("\0\0\0", 3));
}

// The uninstaller's target: its control byte, then the file log and the
// directory log as a setup writes them for a product in D:\Apps\Demo,
// separated by a NUL; with the digests stored, missing and wrong, and once
// with the desktop inside the Windows folder (a third field).
void uninstallSeeds() {
    const std::string programs = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
    const std::string fileLog =
        "D:\\Apps\\Demo\\bin\\app.exe\r\n<NoneApp>\r\nD:\\Apps\\Demo\\readme.txt\r\n" + programs +
        "\\Demo\\App.lnk\r\nC:\\Users\\Setup\\Desktop\\App.lnk\r\n" + programs +
        "\\Startup\\App.lnk\r\n" + programs +
        "\\Demo\\\xD0\xB6\xD4\xD8"
        "Demo.lnk\r\n";  // 卸载 in GBK
    const std::string dirLog = programs + "\\Demo\r\nD:\\Apps\\Demo\\bin\r\nD:\\Apps\\Demo\r\n";
    const std::string logs = fileLog + '\0' + dirLog;
    write("uninstall", "demo-unproven", '\x00' + logs);
    write("uninstall", "demo-proven", '\x04' + logs);
    write("uninstall", "demo-other-digests", '\x08' + logs);
    write("uninstall", "program-files-proven", '\x05' + logs);
    write("uninstall", "desktop-in-windows",
          '\x04' + std::string("C:\\WINDOWS\\Desktop\\App.lnk\r\n") + '\0' + dirLog + '\0' +
              "C:\\WINDOWS\\Desktop");
}

}  // namespace

// fuzz_seeds OUT SOURCE_DIR KPACK: OUT/<target>/ seeds.
int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: fuzz_seeds OUT SOURCE_DIR KPACK\n";
        return 2;
    }
    out = argv[1];
    const fs::path source = argv[2];
    builderSeeds();
    kpackSeed(argv[3], out / "kpack-work", source);
    fs::remove_all(out / "kpack-work");
    streamSeeds();
    uninstallSeeds();
    for (const auto& e : fs::directory_iterator(source / "tests/data/bitmaps"))
        if (e.path().extension() == ".bmp")
            write("bitmap", e.path().filename().string(), readAll(e.path()));
    write("registry_import", "plain",
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Tool]\r\n\"Path\"=\"C:\\Tools\"\r\n\r\n"
          "[HKEY_CURRENT_USER\\Software\\A\\\\B]\r\n\"\"=\"default\"\r\n\"x\"=\"a\\\"b\"\r\n");
    write("manifest", "demo.toml", readAll(source / "examples/demo/product.toml"));
    write("manifest", "startup.toml", readAll(source / "tests/e2e/products/startup/product.toml"));
    return 0;
}
