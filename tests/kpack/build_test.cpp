// kpack build: the exact bytes of a small package, a manifest with every
// feature through build and extract, and reproducible output.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <sstream>

#include "commands.h"
#include "gbk.h"
#include "kpack_fixture.h"
#include "lzss_encoder.h"
#include "package/crc32.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package_builder.h"
#include "package_reader.h"
#include "state/setup_state.h"
#include "stream_check.h"

using namespace kestrova;
using namespace kestrova::kpack;
using test::gbk;

namespace {

// text padded with spaces to width bytes.
std::string padded(const std::string& text, std::size_t width) {
    EXPECT_LE(text.size(), width);
    return text + std::string(width - text.size(), ' ');
}

const char kSmallManifest[] =
    u8R"(
[product]
name = "测试"
install_dir = "[Program Files]\\测试"
first_line = "script"
uninstall = false
licence = "licence.htm"

[pictures]
welcome = "welcome.bmp"
title = "title.bmp"

[[files]]
source = "a.txt"
target = "[InstallDir]\\bin\\a.txt"
kind = "run-or-register"

[[files]]
none_app = true

[[files]]
source = "empty.txt"
target = "C:\\Tools\\e.txt"
kind = "run-and-delete"

[autoreg]
files = ["[InstallDir]\\bin\\x.dll"]

[clearfile]
files = ["[Windows Directory]\\old.ini"]

[menu]
group = "测试组"

[[menu.shortcuts]]
name = "测试"
target = "[InstallDir]\\bin\\a.exe"
arguments = "/min"
startup = true

[run]
caption = "运行"
command = "[InstallDir]\\bin\\a.exe"
)";

}  // namespace

TEST(Build, WritesTheScriptAndHeaderByteForByte) {
    test::ProductFolder product;  // with its one-colour pictures
    auto packedSize = [](const std::string& bytes) {
        return static_cast<int>(
            lzssEncode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).size());
    };
    const int welcome = packedSize(test::plainBitmap(164, 314));
    const int title = packedSize(test::plainBitmap(548, 64));
    // The CRC-32 of a picture's stream, as the [Checksums] section gives it.
    const auto streamCrc = [](const std::string& bytes) {
        const std::vector<uint8_t> stream =
            lzssEncode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        char text[9];
        std::snprintf(text, sizeof text, "%08X", crc32(stream.data(), stream.size()));
        return std::string(text);
    };
    const auto at = [](int offset) { return std::to_string(offset); };
    product.source("a.txt", "abababab");  // five bytes compressed
    product.source("empty.txt", "");
    product.source("licence.htm", u8"<p>许可</p>");
    product.manifest(kSmallManifest);
    const fs::path output = product / "setup.exe";
    buildPackage(product.options("setup.exe"));

    const std::string licence = u8"<p>许可</p>";
    const std::string expected =
        "script\r\n" + gbk(u8"测试") + "\r\n" + gbk(u8"[Program Files]\\测试") + "\r\n" +
        "1\r\n"
        "0\r\n"
        "[Directory]\r\n"
        "[InstallDir]\r\n"
        "[InstallDir]\\bin\r\n"
        "C:\\Tools\r\n" +
        gbk(u8"[Start Menu]\\测试组") + "\r\n" + "[File]\r\n" +
        // Pictures: offsets from the record base, the first stream at 40.
        padded("Wel.Bmp", 268) + padded("40", 20) + padded(at(welcome), 20) + "0\r\n" +
        padded("Soft.Bmp", 268) + padded(at(40 + welcome), 20) + padded("0", 20) + "0\r\n" +
        padded("Title.Bmp", 268) + padded(at(40 + welcome), 20) + padded(at(title), 20) + "0\r\n" +
        padded("[InstallDir]\\bin\\a.txt", 268) + padded(at(40 + welcome + title), 20) +
        padded("5", 20) + "1\r\n" + "<NoneApp>\r\n" +
        // Run-and-delete: a '*' in the offset field's padding.
        padded("C:\\Tools\\e.txt", 268) + padded(at(45 + welcome + title), 19) + "*" +
        padded("0", 20) + "0\r\n" +
        "[TotalSize]\r\n"
        "8\r\n"
        "\r\n" +
        std::to_string(licence.size()) + "\r\n" +
        "[AutoReg]\r\n"
        "[InstallDir]\\bin\\x.dll\r\n"
        "[ClearFile]\r\n"
        "[Windows Directory]\\old.ini\r\n"
        "[Menu]\r\n" +
        gbk(u8"测试组") + "\r\n" + padded(gbk(u8"测试"), 100) +
        // Everything after the first '/' is the arguments: "/min" itself.
        padded("[InstallDir]\\bin\\a.exe //min", 300) + "01\r\n" + "[Run]\r\n" + gbk(u8"运行") +
        "\r\n" + "[InstallDir]\\bin\\a.exe\r\n" +
        // CRC-32 of each stream as zlib computes it: welcome, splash (empty),
        // title, a.txt, e.txt (empty).
        "[Checksums]\r\n" + streamCrc(test::plainBitmap(164, 314)) + "\r\n00000000\r\n" +
        streamCrc(test::plainBitmap(548, 64)) + "\r\nAD027F21\r\n00000000\r\n" + licence;

    const std::vector<uint8_t> setup = test::readWholeFile(output);
    ASSERT_GT(setup.size(), static_cast<std::size_t>(kPackageStart + 40));
    const std::string header(setup.begin() + kPackageStart, setup.begin() + kPackageStart + 40);
    const std::size_t scriptLength = std::stoul(header.substr(0, 20));
    // The script length field ends with a NUL, then the script stream's CRC-32.
    char scriptChecksum[9];
    std::snprintf(scriptChecksum, sizeof scriptChecksum, "%08X",
                  crc32(setup.data() + kPackageStart + 40, scriptLength));
    EXPECT_EQ(padded(std::to_string(scriptLength), 11) + std::string(1, '\0') + scriptChecksum +
                  padded("2", 20),
              header);
    // The file: stub, header, script stream, then the streams back to back.
    EXPECT_EQ(static_cast<std::size_t>(kPackageStart) + 40 + scriptLength + welcome + title + 5,
              setup.size());
    const std::vector<uint8_t> script = lzssDecode(setup.data() + kPackageStart + 40, scriptLength);
    EXPECT_EQ(expected, std::string(script.begin(), script.end()));
    // The record base plus an offset finds each stream.
    const std::size_t base = kPackageStart + scriptLength;
    const std::size_t aTxt = base + 40 + welcome + title;
    EXPECT_EQ(std::vector<uint8_t>({0x03, 'a', 'b', 0xEE, 0xF3}),
              std::vector<uint8_t>(setup.begin() + aTxt, setup.begin() + aTxt + 5));
}

TEST(Build, EveryFeatureRoundTripsThroughExtract) {
    test::ProductFolder product;
    std::string big;
    std::mt19937 rng(5);
    while (big.size() < 700000) big += "line " + std::to_string(rng() % 1000) + "\r\n";
    product.source(u8"程序/主程序.exe", big);
    product.source(u8"程序/组件.dll", std::string(5000, '\0') + "dll");
    product.source(u8"文档/说明.txt", gbk(u8"说明\r\n"));
    product.source(u8"文档/深/更深/z.txt", "z");
    product.source(u8"文档/深/a.txt", "a");
    product.source(u8"文档/空.txt", "");
    product.source("setup.reg", gbk(u8"[HKEY_CURRENT_USER\\Software\\测试]\r\n\"A\"=\"1\"\r\n"));
    product.source("splash.bmp", test::plainBitmap(400, 220, 0x40));
    product.source("licence.htm", u8"<html>许可协议</html>\n");
    product.manifest(
        u8R"(
[product]
name = "全部功能"
version = "3.0 测试版"
publisher = "测试工作室"
url = "https://example.com/all"
icon = "[InstallDir]\\主程序.exe"
install_dir = "[Program Files]\\全部功能"
licence = "licence.htm"
licence_page = false
total_size = 123456

[pictures]
welcome = "welcome.bmp"
title = "title.bmp"
splash = "splash.bmp"

[directories]
create = ["[InstallDir]\\日志\\旧"]

[[files]]
folder = "程序"
target = "[InstallDir]"
kind = "run-or-register"

[[files]]
none_app = true

[[files]]
folder = "文档"
target = "[InstallDir]\\文档"

[[files]]
source = "setup.reg"
target = "[InstallDir]\\setup.reg"
kind = "registry-data"

[[files]]
source = "a.txt"
target = "[Windows System]\\a.txt"
kind = "not-logged"

[[files]]
source = "a.txt"
target = "[Absolute Directory]D:\\数据\\a.txt"
kind = "run-and-delete"

[autoreg]
files = ["[InstallDir]\\组件.dll"]

[clearfile]
files = ["[InstallDir]\\setup.reg"]

[[menu.shortcuts]]
name = "主程序"
target = "[InstallDir]\\主程序.exe"
desktop = true
startup = true
)");
    const fs::path output = product / "setup.exe";
    const BuildSummary summary = buildPackage(product.options("setup.exe"));
    EXPECT_EQ(9, summary.files);

    const fs::path out = product / "out";
    EXPECT_EQ(9, extractPackage(output, "setup.exe", out));
    auto same = [&](const std::string& source, const std::string& extracted) {
        EXPECT_EQ(test::readText(product / source), test::readText(out / fs::u8path(extracted)))
            << extracted;
    };
    same(u8"程序/主程序.exe", u8"InstallDir/主程序.exe");
    same(u8"程序/组件.dll", u8"InstallDir/组件.dll");
    same(u8"文档/说明.txt", u8"InstallDir/文档/说明.txt");
    same(u8"文档/深/更深/z.txt", u8"InstallDir/文档/深/更深/z.txt");
    same(u8"文档/空.txt", u8"InstallDir/文档/空.txt");
    same("setup.reg", "InstallDir/setup.reg");
    same("a.txt", "Windows System/a.txt");
    same("a.txt", u8"Absolute Directory/D/数据/a.txt");
    same("welcome.bmp", "welcome.bmp");
    same("splash.bmp", "splash.bmp");
    same("title.bmp", "title.bmp");
    same("licence.htm", "licence.htm");

    PackageReader package(output, "setup.exe");
    const ParsedScript& s = package.parsed();
    EXPECT_EQ("0", s.licenceOption);
    EXPECT_EQ("1", s.uninstallOption);
    EXPECT_EQ(123456, s.totalSize);
    // Folders sorted, so the output does not depend on the file system.
    std::vector<std::string> targets;
    for (const ParsedRecord& r : s.records) targets.push_back(r.noneApp ? "<NoneApp>" : r.target);
    const std::vector<std::string> expectedTargets = {gbk(u8"[InstallDir]\\主程序.exe"),
                                                      gbk(u8"[InstallDir]\\组件.dll"),
                                                      "<NoneApp>",
                                                      gbk(u8"[InstallDir]\\文档\\深\\a.txt"),
                                                      gbk(u8"[InstallDir]\\文档\\深\\更深\\z.txt"),
                                                      gbk(u8"[InstallDir]\\文档\\空.txt"),
                                                      gbk(u8"[InstallDir]\\文档\\说明.txt"),
                                                      "[InstallDir]\\setup.reg",
                                                      "[Windows System]\\a.txt",
                                                      gbk(u8"[Absolute Directory]D:\\数据\\a.txt")};
    EXPECT_EQ(expectedTargets, targets);
    EXPECT_EQ('1', s.records[0].kind);
    EXPECT_EQ('2', s.records[7].kind);
    EXPECT_EQ('4', s.records[8].kind);
    EXPECT_TRUE(s.records[9].runAndDelete);
    // Parents first; the folders of the targets, of the tree and of the group.
    const std::vector<std::string> expectedFolders = {"[InstallDir]",
                                                      gbk(u8"[InstallDir]\\日志"),
                                                      gbk(u8"[InstallDir]\\日志\\旧"),
                                                      gbk(u8"[InstallDir]\\文档"),
                                                      gbk(u8"[InstallDir]\\文档\\深"),
                                                      gbk(u8"[InstallDir]\\文档\\深\\更深"),
                                                      gbk(u8"[Absolute Directory]D:\\数据"),
                                                      gbk(u8"[Start Menu]\\全部功能")};
    EXPECT_EQ(expectedFolders, s.directories);
    ASSERT_EQ(1u, s.shortcuts.size());
    EXPECT_TRUE(s.shortcuts[0].desktop && s.shortcuts[0].startup);

    // The facts for the list of programs, in GBK.
    EXPECT_TRUE(s.hasProduct);
    EXPECT_EQ(gbk(u8"3.0 测试版"), s.product.version);
    EXPECT_EQ(gbk(u8"测试工作室"), s.product.publisher);
    EXPECT_EQ("https://example.com/all", s.product.url);
    EXPECT_EQ(gbk(u8"[InstallDir]\\主程序.exe"), s.product.icon);

    std::ostringstream listing, verdict;
    listPackage(output, "setup.exe", listing);
    for (const char* line :
         {u8"product: 全部功能\n", u8"version: 3.0 测试版\n", u8"publisher: 测试工作室\n",
          "web page: https://example.com/all\n", u8"icon: [InstallDir]\\主程序.exe\n",
          "run-and-delete", "file properties: none\n"})
        EXPECT_NE(std::string::npos, listing.str().find(line)) << line;
    verifyPackage(output, "setup.exe", verdict);
    EXPECT_EQ(
        u8"setup.exe: product 全部功能 3.0 测试版, 测试工作室\n"
        "setup.exe: OK: 9 file records, 12 streams (checksums match), " +
            std::to_string(fs::file_size(output)) +
            " bytes\nsetup.exe: pictures welcome 164 x 314, splash 400 x 220, title 548 x 64: "
            "drawn as they are at 96 and 120 dpi, stretched smoothly into their places above "
            "120 dpi (the splash by dpi / 120)\n",
        verdict.str());
}

TEST(Build, EachStreamTakesItsSmallestCodec) {
    // Texts that share their words (a dictionary pays), a media-like file
    // that nothing makes smaller (stored) and a text of its own.
    test::ProductFolder product;
    std::mt19937 rng(11);
    std::vector<std::string> words(150);
    for (std::string& w : words)
        while (w.size() < 4 + rng() % 7) w += static_cast<char>('a' + rng() % 26);
    for (int i = 0; i < 12; ++i) {
        std::string text;
        while (text.size() < 3000)
            text += words[rng() % words.size()] + (rng() % 6 ? " " : ";\r\n");
        product.source("texts/t" + std::to_string(i) + ".txt", text);
    }
    std::string media;
    while (media.size() < 50000) media += static_cast<char>(rng());
    product.source("media.ogg", media);
    product.source("a.txt", "abababab");
    product.manifest(test::replaced(
        test::replaced(test::kMinimalManifest, "[pictures]",
                       "compression = \"deflate\"\n\n[pictures]"),
        "[[files]]",
        "[[files]]\nfolder = \"texts\"\ntarget = \"[InstallDir]\\\\texts\"\n\n"
        "[[files]]\nsource = \"media.ogg\"\ntarget = \"[InstallDir]\\\\media.ogg\"\n\n[[files]]"));
    buildPackage(product.options("setup.exe", 1));
    buildPackage(product.options("again.exe", 2));
    EXPECT_TRUE(test::readWholeFile(product / "setup.exe") ==
                test::readWholeFile(product / "again.exe"));

    PackageReader package(product / "setup.exe", "setup.exe");
    std::map<std::string, int> codecs;
    for (const ParsedRecord& r : package.parsed().records) {
        ++codecs[codecName(r.codec)];
        EXPECT_FALSE(package.decodedStream(r).empty());
    }
    EXPECT_FALSE(package.dictionary().empty());
    EXPECT_LE(package.dictionary().size(), static_cast<std::size_t>(format::kMaxDictionary));
    EXPECT_GE(codecs["deflate+dict"], 10);
    EXPECT_EQ(1, codecs["stored"]);  // the media file; "abababab" is LZSS's
    EXPECT_EQ(1, codecs["lzss"]);
    const fs::path out = product / "out";
    extractPackage(product / "setup.exe", "setup.exe", out);
    for (int i = 0; i < 12; ++i) {
        const std::string name = "texts/t" + std::to_string(i) + ".txt";
        EXPECT_EQ(test::readText(product / name), test::readText(out / "InstallDir" / name));
    }
    EXPECT_EQ(media, test::readText(out / "InstallDir/media.ogg"));
    std::ostringstream verdict;
    verifyPackage(product / "setup.exe", "setup.exe", verdict);
    EXPECT_NE(std::string::npos, verdict.str().find("OK: 14 file records, 17 streams"));

    // --compression lzss over the manifest: no deflate and no dictionary.
    BuildOptions lzss = product.options("lzss.exe");
    lzss.deflate = false;
    buildPackage(lzss);
    PackageReader plain(product / "lzss.exe", "lzss.exe");
    EXPECT_TRUE(plain.dictionary().empty());
    for (const ParsedRecord& r : plain.parsed().records)
        EXPECT_TRUE(r.codec == format::StreamCodec::Lzss || r.codec == format::StreamCodec::Stored);
}

TEST(Build, IsReproducibleWhateverTheThreads) {
    test::ProductFolder product;
    std::string big;
    for (int i = 0; big.size() < 1300000; ++i)
        big += "record " + std::to_string(i * 7919 % 1000) + ";";
    product.source("big.bin", big);
    product.manifest(test::replaced(test::kMinimalManifest, "[[files]]",
                                    "[[files]]\nsource = \"big.bin\"\ntarget = "
                                    "\"[InstallDir]\\\\big.bin\"\n\n[[files]]"));
    const fs::path one = product / "one.exe", two = product / "two.exe",
                   again = product / "again.exe";
    buildPackage(product.options("one.exe", 1));
    buildPackage(product.options("two.exe", 2));
    buildPackage(product.options("again.exe", 2));
    const std::vector<uint8_t> first = test::readWholeFile(one);
    EXPECT_TRUE(first == test::readWholeFile(two));
    EXPECT_TRUE(first == test::readWholeFile(again));
    // Only the finished file is left in the folder.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(product.path()))
        files += entry.path().extension() == ".tmp";
    EXPECT_EQ(0, files);
}
