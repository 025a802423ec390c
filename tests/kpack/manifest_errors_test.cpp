// Every manifest problem stops the build with "kpack: FILE:LINE: what is
// wrong" and leaves no setup.exe behind.
#include <gtest/gtest.h>

#include "error.h"
#include "gbk.h"
#include "kpack_fixture.h"
#include "manifest.h"
#include "package_builder.h"

using namespace kestrova;
using namespace kestrova::kpack;

namespace {

struct ErrorCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> edits;  // replacements in the manifest
    std::string expected;                                    // the report, exactly
};

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Builds with the manifest edited; returns the report of the error.
std::string buildError(const test::ProductFolder& product, const std::string& manifest,
                       uint64_t largestPackage = 0x7FFFFFFF) {
    product.manifest(manifest);
    BuildOptions o = product.options("setup.exe");
    o.largestPackage = largestPackage;
    try {
        buildPackage(o);
    } catch (const KpackError& e) {
        EXPECT_FALSE(fs::exists(o.output)) << "an output was left behind";
        for (const auto& entry : fs::directory_iterator(product.path()))
            EXPECT_NE(".tmp", entry.path().extension().string()) << "a temporary file was left";
        return e.report();
    }
    ADD_FAILURE() << "the build succeeded";
    return "";
}

const std::string kFile = "[[files]]\nsource = \"a.txt\"\n";

}  // namespace

TEST(ManifestErrors, EachProblemNamesItsLineAndLeavesNoOutput) {
    const std::vector<ErrorCase> cases = {
        {"text without a GBK form",
         {{u8"name = \"测试\"", u8"name = \"测试한\""}},
         u8"kpack: product.toml:2: product.name: the character '한' (U+D55C) has no GBK form"},
        {"target over 268 bytes in GBK (but not in characters)",
         {{"target = \"[InstallDir]\\\\a.txt\"",
           "target = \"[InstallDir]\\\\" + repeat(u8"目", 128) + "\""}},
         "kpack: product.toml:11: files[1].target is 269 bytes in GBK; a target path holds at most "
         "268"},
        {"shortcut name over 100 bytes",
         {{kFile, "[[menu.shortcuts]]\nname = \"" + repeat(u8"名", 51) +
                      "\"\ntarget = \"[InstallDir]\\\\a.txt\"\n\n" + kFile}},
         "kpack: product.toml:10: menu.shortcuts[1].name is 102 bytes in GBK; a shortcut name "
         "holds at most 100"},
        {"shortcut target field over 300 bytes",
         {{kFile,
           "[[menu.shortcuts]]\nname = \"n\"\ntarget = \"[InstallDir]\\\\a.exe\"\n"
           "arguments = \"" +
               repeat("x", 281) + "\"\n\n" + kFile}},
         "kpack: product.toml:9: the target and arguments of this shortcut are 301 bytes in GBK "
         "with the \" /\" between them; the target field holds at most 300"},
        {"first line over the start-up limit",
         {{"[product]\n", "[product]\nfirst_line = \"" + repeat("x", 398) + "\"\n"}},
         "kpack: product.toml:2: product.first_line is 398 bytes in GBK; the setup reads at most "
         "397 here"},
        {"[AutoReg] line over the second pass's limit",
         {{kFile, "[autoreg]\nfiles = [\"C:\\\\" + repeat("a", 471) + ".exe\"]\n\n" + kFile}},
         "kpack: product.toml:10: autoreg.files[1] is 478 bytes in GBK; the setup reads at most "
         "477 here"},
        {"a line equal to a section line",
         {{kFile, "[directories]\ncreate = [\"C:\\\\a\", \"[File]\"]\n\n" + kFile}},
         "kpack: product.toml:10: directories.create[2] equals the section line [File]"},
        {"a target that begins with <NoneApp>",
         {{"target = \"[InstallDir]\\\\a.txt\"", "target = \"<NoneApp>\\\\a.txt\""}},
         "kpack: product.toml:11: files[1].target begins with <NoneApp>"},
        {"a '*' in a target that is not run-and-delete",
         {{"target = \"[InstallDir]\\\\a.txt\"", "target = \"[InstallDir]\\\\a*.txt\""}},
         "kpack: product.toml:11: files[1].target holds '*', which would make the setup run and "
         "delete the file"},
        {"a '/' in a shortcut target",
         {{kFile, "[[menu.shortcuts]]\nname = \"n\"\ntarget = \"C:\\\\a/b.exe\"\n\n" + kFile}},
         "kpack: product.toml:11: menu.shortcuts[1].target holds '/', where the setup splits the "
         "target from its arguments"},
        {"a line break inside a field",
         {{kFile, "[run]\ncaption = \"a\\nb\"\ncommand = \"C:\\\\a.exe\"\n\n" + kFile}},
         "kpack: product.toml:10: run.caption holds a line break"},
        {"a missing source",
         {{"source = \"a.txt\"", "source = \"missing.txt\""}},
         "kpack: product.toml:10: the source missing.txt does not exist"},
        {"a total size past 32 bits",
         {{"[product]\n", "[product]\ntotal_size = 4294967296\n"}},
         "kpack: product.toml:2: product.total_size must be between 0 and 4294967295 bytes: the "
         "setup reads it as a 32-bit number"},
        {"a path the setup cannot expand",
         {{"target = \"[InstallDir]\\\\a.txt\"", "target = \"[Programs]\\\\a.txt\""}},
         "kpack: product.toml:11: files[1].target begins with [Programs], which is not a path "
         "macro the setup knows"},
        {"a GBK character whose second byte is '\\'",
         {{"target = \"[InstallDir]\\\\a.txt\"", u8"target = \"[InstallDir]\\\\誠.txt\""}},
         "kpack: product.toml:11: files[1].target holds a character whose second GBK byte is "
         "0x5C, which the setup reads as '\\'"},
        {"an unknown key",
         {{"install_dir", "instal_dir"}},
         "kpack: product.toml:3: unknown key product.instal_dir; did you mean install_dir?"},
        {"no file record",
         {{"source = \"a.txt\"\ntarget = \"[InstallDir]\\\\a.txt\"", "none_app = true"}},
         "kpack: product.toml: the package installs no file; the setup needs at least one "
         "[[files]] record"},
        // Bytes that crash or derail the TOML parser are refused before it
        // sees them: a full-width comma or full stop after a value, a stray
        // non-BOM sequence at the start, a control byte in a table header.
        {"a full-width comma after a value",
         {{u8"name = \"测试\"", u8"name = \"测试\" 、"}},
         u8"kpack: product.toml:2: the character '、' stands outside quotes; texts are written "
         "in double quotes, and commas and full stops between values must be ASCII"},
        {"bytes EF BB BA at the start",
         {{"[product]\n", "\xEF\xBB\xBA[product]\n"}},
         "kpack: product.toml:1: the character '\xEF\xBB\xBA' stands outside quotes; texts are "
         "written in double quotes, and commas and full stops between values must be ASCII"},
        {"a control byte in a table header",
         {{"[product]\n", "[\x01product]\n"}},
         "kpack: product.toml:1: the control character 0x01 is not allowed"},
        {"a quote right after a number",
         {{"title = \"title.bmp\"", u8"title = 4\"查\""}},
         u8"kpack: product.toml:7: the character '查' stands outside quotes; texts are written "
         "in double quotes, and commas and full stops between values must be ASCII"},
        {"a character after a backslash that TOML has no escape for",
         {{u8"name = \"测试\"", u8"name = \"\"\"测试\\《\"\"\""}},
         u8"kpack: product.toml:2: the character '《' cannot follow a backslash; write \\\\ for a "
         "backslash of the text"},
        {"a table header the TOML reader cannot take",
         {{"[[files]]", "[[[files]]"}},
         "kpack: product.toml: the manifest is not valid TOML (check its [table] headers and the "
         "punctuation between values)"},
        // Six closing quotes and more: the string ends at the fifth (two of
        // its text and the three that close it); the others follow it.
        {"a literal string closed by six quotes or more",
         {{u8"name = \"测试\"", "name = '''Demo''''''''"}},
         "kpack: product.toml:2: column 20: Error while parsing key-value pair: expected a "
         "comment or whitespace, saw '''; likely cause: more follows the value on this line: "
         "one key = value per line, and a comment begins with #"},
        {"a syntax error",
         {{"title = \"title.bmp\"", "title = title.bmp"}},
         "kpack: product.toml:7: column 10: Error while parsing boolean: expected 'true', saw "
         "'ti'; likely cause: a text without quotes: write title = \"title.bmp\""},
    };
    for (const ErrorCase& c : cases) {
        test::ProductFolder product;
        std::string manifest = test::kMinimalManifest;
        for (const auto& [from, to] : c.edits) manifest = test::replaced(manifest, from, to);
        EXPECT_EQ(c.expected, buildError(product, manifest)) << c.what;
    }
}

// Punctuation that the TOML reader would mishandle after a line-ending
// backslash is handed to it escaped: the texts read as written, in basic
// and literal strings alike.
TEST(ManifestErrors, ChinesePunctuationInTextsReadsAsWritten) {
    test::ProductFolder product;
    const std::string manifest =
        test::replaced(test::replaced(test::kMinimalManifest, u8"name = \"测试\"",
                                      u8"name = \"\"\"《测试》\\\n    【版】︵Ж¤\"\"\""),
                       u8"install_dir = \"[Program Files]\\\\测试\"",
                       u8"install_dir = '[Program Files]\\「测试」〒'");
    const Manifest m = parseManifest(manifest, "product.toml", product.path());
    EXPECT_EQ(test::gbk(u8"《测试》【版】︵Ж¤"), m.productName.gbk);
    EXPECT_EQ(test::gbk(u8"[Program Files]\\「测试」〒"), m.installDir.gbk);
}

TEST(ManifestErrors, SourcesStubAndSizeLimits) {
    test::ProductFolder product;
    // A registry data file is checked as the setup will read it.
    product.source("setup.reg", "[HKEY_CURRENT_USER\\Software\\K]\r\n\"A\"=\"1\"");
    EXPECT_EQ(
        "kpack: setup.reg:2: registry data: the last line does not end in CR LF; the setup "
        "would not apply it",
        buildError(product, test::replaced(test::kMinimalManifest, "source = \"a.txt\"",
                                           "source = \"setup.reg\"\nkind = \"registry-data\"")));
    product.source("setup.reg", "[HKEY_CURRENT_USER\\Software\\K]\r\n\"A\"=\"" +
                                    std::string(480, 'x') + "\"\r\n");
    EXPECT_EQ(
        "kpack: setup.reg:2: registry data: the line is 488 bytes with its CR LF; the setup "
        "reads at most 479",
        buildError(product, test::replaced(test::kMinimalManifest, "source = \"a.txt\"",
                                           "source = \"setup.reg\"\nkind = \"registry-data\"")));

    product.source("welcome.bmp", "GIF89a");
    EXPECT_EQ(
        "kpack: product.toml:6: pictures.welcome: welcome.bmp is neither a PNG file nor a "
        "Windows bitmap (.bmp)",
        buildError(product, test::kMinimalManifest));
    product.source("welcome.bmp", test::plainBitmap(164, 314));

    // A package the setup's 32-bit offsets cannot reach (the limit lowered
    // for the test: the check is the same).
    const std::string tooLarge = buildError(product, test::kMinimalManifest, 274484);
    EXPECT_EQ(0u, tooLarge.find("kpack: product.toml: the setup.exe would be ")) << tooLarge;
    EXPECT_NE(std::string::npos,
              tooLarge.find("bytes or more; the setup's 32-bit signed offsets reach only 274484"));

    test::writeFile(product.stub(), std::string(1000, 'M'));
    EXPECT_EQ(
        "kpack: stub.exe: the stub is 1000 bytes; a stub is exactly 274432 bytes (the "
        "package starts there)",
        buildError(product, test::kMinimalManifest));
}

#ifndef _WIN32
TEST(ManifestErrors, InstalledBytesPastThirtyTwoBits) {
    test::ProductFolder product;
    // A sparse file: its size is all that is looked at before the error.
    fs::resize_file(product / "a.txt", (uint64_t(1) << 32) + 1);
    EXPECT_EQ(
        "kpack: product.toml: the installed files add up to 4294967297 bytes, past the "
        "4294967295 that the setup's total size can hold",
        buildError(product, test::kMinimalManifest));
}
#endif
