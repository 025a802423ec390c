// A new publisher's usual mistakes, each made once in the minimal product
// and given to the kpack program: the exit code, the message that says what
// to do, and a setup.exe only where the build goes on (a warning). Then the
// same problems in setup.exe files built without those checks, for verify;
// and the starter product of kpack init, which builds as it is.
#include <gtest/gtest.h>

#include <sstream>

#include "../support/package_builder.h"  // the tests' one, not kpack's of this name
#include "commands.h"
#include "error.h"
#include "kpack_fixture.h"

using namespace kestrova;
namespace fs = std::filesystem;

namespace {
const std::string kKey = "[HKEY_CURRENT_USER\\Software\\Maker]\r\n";
}  // namespace

#ifndef _WIN32
namespace {

// The stub and the uninstaller as every row names them; out/ does not
// exist beforehand, so a row that builds shows that its folder is made.
const std::string kTools =
    "-o out/setup.exe --stub stand-in-stub.exe --uninstaller Kestrova-UnInstall.exe";
const std::string kTarget = "target = \"[InstallDir]\\\\a.txt\"\n";
const std::string kRegistryFile = "source = \"setup.reg\"\nkind = \"registry-data\"";

struct Mistake {
    const char* what;
    std::vector<std::pair<std::string, std::string>> edits;    // in kMinimalManifest
    std::vector<std::pair<std::string, std::string>> sources;  // name, bytes ("/": a folder)
    std::string arguments;                                     // after "build product.toml"
    int status;
    std::string message;  // the first line of the output
};

}  // namespace

TEST(Mistakes, EachIsCaughtWithWhatToDo) {
    const std::string longName = std::string(250, 'd') + ".txt";
    const std::string windowsLimit =
        "; Windows refuses a file path over 259 characters to the setup's file functions";
    const std::vector<Mistake> mistakes = {
        {"two files for one target",
         {{kTarget,
           kTarget + "\n[[files]]\nsource = \"b.txt\"\ntarget = \"[InstallDir]\\\\A.TXT\"\n"}},
         {{"b.txt", "b"}},
         kTools,
         1,
         "kpack: product.toml:15: files[2].target [InstallDir]\\A.TXT is also the target of "
         "files[1].target (line 11); the second file would overwrite the first when installing: "
         "give each file its own target"},
        {"a folder without files",
         {{kTarget,
           kTarget + "\n[[files]]\nfolder = \"docs\"\ntarget = \"[InstallDir]\\\\docs\"\n"}},
         {{"docs/empty/", ""}},
         kTools,
         1,
         "kpack: product.toml:14: the source folder docs holds no file, so nothing of it would be "
         "installed: list an empty folder in [directories] create, or build with "
         "--allow-empty-folders"},
        {"a folder without files, allowed",
         {{kTarget,
           kTarget + "\n[[files]]\nfolder = \"docs\"\ntarget = \"[InstallDir]\\\\docs\"\n"}},
         {{"docs/empty/", ""}},
         kTools + " --allow-empty-folders",
         0,
         "kpack: wrote out/setup.exe: 2 file records, "},
        {"a DWORD value",
         {{"source = \"a.txt\"", kRegistryFile}},
         {{"setup.reg", kKey + "\"Count\"=dword:00000001\r\n"}},
         kTools,
         1,
         "kpack: setup.reg:2: registry data: the line sets a number value (dword); the setup "
         "writes only string values and would skip the line: write the number as a string, "
         "\"name\"=\"1\", if the program reads it as one"},
        {"regedit's \\\\",
         {{"source = \"a.txt\"", kRegistryFile}},
         {{"setup.reg", kKey + "\"Path\"=\"C:\\\\Tools\"\r\n"}},
         kTools,
         1,
         "kpack: setup.reg:2: registry data: the line's data holds \\\\, which regedit reads as "
         "one backslash; the setup stores it byte for byte, both backslashes: write one \\ (or "
         "build with --allow-reg-escapes if two are meant)"},
        {"\\\\ meant as two backslashes",
         {{"source = \"a.txt\"", kRegistryFile}},
         {{"setup.reg", kKey + "\"Share\"=\"\\\\\\\\server\\\\share\"\r\n"}},
         kTools + " --allow-reg-escapes",
         0,
         "kpack: wrote out/setup.exe: 2 file records, "},
        {"regedit's \\\"",
         {{"source = \"a.txt\"", kRegistryFile}},
         {{"setup.reg", kKey + "\"Say\"=\"\\\"hi\\\"\"\r\n"}},
         kTools,
         1,
         "kpack: setup.reg:2: registry data: the line's data holds \\\", which regedit reads as "
         "a quote; the setup stores the backslash too: write the quote alone, which the setup "
         "keeps as it is (or build with --allow-reg-escapes if the backslash is meant)"},
        {"a key deletion",
         {{"source = \"a.txt\"", kRegistryFile}},
         {{"setup.reg", kKey + "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"}},
         kTools,
         1,
         "kpack: setup.reg:2: registry data: the line deletes a key, as regedit reads [-...]; the "
         "setup deletes nothing and would skip it and the values below it: remove the line"},
        {"registry data as regedit exports it",
         {{"source = \"a.txt\"", kRegistryFile}},
         {{"setup.reg", std::string("\xFF\xFEW\0i\0n\0", 8)}},
         kTools,
         1,
         "kpack: setup.reg:1: registry data: the file is UTF-16 text, as regedit exports it; the "
         "setup reads GBK text and would apply none of it: save it as GBK with CR LF line ends "
         "(regedit's export as a Win9x/NT4 registration file, REGEDIT4)"},
        {"a title picture of another size",
         {},
         {{"title.bmp", test::plainBitmap(600, 64)}},
         kTools,
         0,
         "kpack: product.toml:7: warning: pictures.title: title.bmp is 600 x 64 pixels; the band "
         "above pages 2 to 5 is 548 x 64 and the picture is drawn unscaled"},
        {"the same with --strict",
         {},
         {{"title.bmp", test::plainBitmap(600, 64)}},
         kTools + " --strict",
         1,
         "kpack: product.toml:7: pictures.title: title.bmp is 600 x 64 pixels; the band above "
         "pages 2 to 5 is 548 x 64 and the picture is drawn unscaled (--strict makes this "
         "warning an error)"},
        {"a path too long for Windows",
         {{kTarget, "target = \"[Start Menu]\\\\" + longName + "\"\n"}},
         {},
         kTools,
         1,
         "kpack: product.toml:11: files[1].target is 307 characters long once [Start Menu] is "
         "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs" +
             windowsLimit + ": shorten the path"},
        {"a path too long for the default install folder",
         {{kTarget, "target = \"[InstallDir]\\\\" + longName + "\"\n"}},
         {},
         kTools,
         0,
         u8"kpack: product.toml:11: warning: files[1].target is 274 characters long once "
         u8"[InstallDir] is the default install folder C:\\Program Files\\测试" +
             windowsLimit +
             ", so the install fails unless the user chooses a shorter folder: shorten the path "
             "or product.install_dir"},
        {"a DLL as the uninstaller",
         {},
         {{"helper.dll", test::standInProgram(false, true)}},
         "-o out/setup.exe --stub stand-in-stub.exe --uninstaller helper.dll",
         1,
         "kpack: helper.dll: the uninstaller is a DLL, not Kestrova-UnInstall.exe: name the "
         "Kestrova-UnInstall.exe built with the stub (preset win) with --uninstaller, or put it "
         "beside kpack"},
        {"-o twice", {}, {}, kTools + " -o other.exe", 2, "kpack: -o is given twice"},
        {"a UTF-16 manifest",
         {{"[product]", "\xFF\xFE[product]"}},
         {},
         kTools,
         1,
         "kpack: product.toml: the manifest is UTF-16 text, which kpack does not read: save the "
         "manifest as UTF-8"},
        {"a TOML escape in a Windows path",
         {{kTarget, "target = \"[InstallDir]\\tools.dll\"\n"}},
         {},
         kTools,
         1,
         "kpack: product.toml:11: files[1].target: \"\\t\" in a \"...\" text is TOML's escape for "
         "a tab, not a backslash: write \\\\ for a backslash, or put the path in '...' quotes"},
        {"a backslash TOML has no escape for",
         {{kTarget, "target = \"[InstallDir]\\docs\\a.txt\"\n"}},
         {},
         kTools,
         1,
         "kpack: product.toml:11: column 24: Error while parsing string: unknown escape sequence "
         "'\\d'; likely cause: a backslash in a \"...\" text begins an escape: write \\\\ for a "
         "backslash, or put the text in '...' quotes, where a backslash stands for itself"},
        {"an unclosed quote",
         {{u8"name = \"测试\"", u8"name = \"测试"}},
         {},
         kTools,
         1,
         "kpack: product.toml:2: column 11: Error while parsing string: unescaped control "
         "characters other than TAB (U+0009) are explicitly prohibited; likely cause: the \" at "
         "column 8 opens a text that does not end on this line: close it with \""},
        {"a near miss of a key",
         {{"[product]\n", "[product]\nlicense = \"licence.htm\"\n"}},
         {},
         kTools,
         1,
         "kpack: product.toml:2: unknown key product.license; did you mean licence?"},
        {"folder = naming a file",
         {{"source = \"a.txt\"", "folder = \"a.txt\""}},
         {},
         kTools,
         1,
         "kpack: product.toml:10: the source folder a.txt is a file: name one file with source = "
         "instead of folder ="},
        {"a source written with \\",
         {{"source = \"a.txt\"", "source = 'bin\\a.txt'"}},
         {{"bin/a.txt", "a"}},
         kTools,
         1,
         "kpack: product.toml:10: the source bin\\a.txt does not exist: write / between folders "
         "in a source ('\\' is part of a name here)"},
        {"a product name with /",
         {{u8"name = \"测试\"", u8"name = \"测试/2\""}},
         {},
         kTools,
         1,
         "kpack: product.toml:2: product.name holds '/', which Windows does not allow in a file "
         "name: write another character, such as '-', instead (the product name names the "
         "uninstall logs and the uninstall entry)"},
        {"{version} without a version",
         {{u8"name = \"测试\"", u8"name = \"测试 {version}\""}},
         {},
         kTools,
         1,
         "kpack: product.toml:2: product.name uses {version}, but [product] has no version: add "
         "one, such as version = \"1.0\""},
        {"a version with a character GBK lacks",
         {{u8"name = \"测试\"", u8"name = \"测试\"\nversion = \"2.4 ก\""}},
         {},
         kTools,
         1,
         u8"kpack: product.toml:3: product.version: the character 'ก' (U+0E01) has no GBK form"},
        {"an icon that is not one of the product's files",
         {{u8"name = \"测试\"", u8"name = \"测试\"\nicon = \"[InstallDir]\\\\b.exe\""}},
         {},
         kTools,
         1,
         "kpack: product.toml:3: product.icon [InstallDir]\\b.exe is not one of the product's "
         "files: name the target of a [[files]] entry, such as [InstallDir]\\program.exe"},
        {"neither stub nor uninstaller",
         {},
         {},
         "-o out/setup.exe --stub missing-stub.exe --uninstaller missing.exe",
         1,
         "kpack: missing-stub.exe: the stub does not exist (build it with preset win, put it "
         "beside kpack or name it with --stub)"},
    };
    for (const Mistake& m : mistakes) {
        test::ProductFolder product;
        product.source("Kestrova-UnInstall.exe", test::standInProgram());
        for (const auto& [name, bytes] : m.sources) {
            if (name.back() == '/')
                fs::create_directories(product / name);
            else
                product.source(name, bytes);
        }
        std::string manifest = test::kMinimalManifest;
        for (const auto& [from, to] : m.edits) manifest = test::replaced(manifest, from, to);
        product.manifest(manifest);
        const test::KpackRun run =
            test::runKpack(KPACK_EXECUTABLE, "build product.toml " + m.arguments, product.path());
        EXPECT_EQ(m.status, run.status) << m.what << "\n" << run.output;
        // A build that goes on says more after the expected start.
        const std::string first = run.output.substr(0, run.output.find('\n'));
        EXPECT_EQ(m.message, m.status == 0 ? first.substr(0, m.message.size()) : first) << m.what;
        EXPECT_EQ(m.status == 0, fs::exists(product / "out/setup.exe")) << m.what;
        if (m.status != 0 && fs::exists(product / "out")) {
            EXPECT_TRUE(fs::is_empty(product / "out")) << m.what << ": a file was left";
        }
    }
}

// kpack init's product builds as it is; its shortcut's name shows
// {product} and {version} expanded. A second init keeps the first.
TEST(Mistakes, StarterProductBuildsAsItIs) {
    test::ProductFolder folder;
    folder.source("Kestrova-UnInstall.exe", test::standInProgram());
    test::KpackRun run = test::runKpack(KPACK_EXECUTABLE, "init starter", folder.path());
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_NE(std::string::npos,
              run.output.find("build it with: kpack build starter/product.toml -o setup.exe"));
    run = test::runKpack(KPACK_EXECUTABLE,
                         "build starter/product.toml -o setup.exe --stub stand-in-stub.exe "
                         "--uninstaller Kestrova-UnInstall.exe --strict",
                         folder.path());
    EXPECT_EQ(0, run.status) << run.output;
    run = test::runKpack(KPACK_EXECUTABLE, "verify setup.exe --strict", folder.path());
    EXPECT_EQ(0, run.status) << run.output;
    run = test::runKpack(KPACK_EXECUTABLE, "list setup.exe", folder.path());
    EXPECT_NE(std::string::npos, run.output.find(u8"shortcut: 我的产品 1.0 说明 -> "))
        << run.output;

    const std::string manifest = test::readText(folder / "starter/product.toml");
    run = test::runKpack(KPACK_EXECUTABLE, "init starter", folder.path());
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(
        "kpack: starter/product.toml: exists already; kpack init writes a new product only into "
        "a folder without one (nothing was written)\n",
        run.output);
    EXPECT_EQ(manifest, test::readText(folder / "starter/product.toml"));

    run = test::runKpack(KPACK_EXECUTABLE, "build --help", folder.path());
    EXPECT_EQ(0u, run.output.find("usage: kpack build MANIFEST -o SETUP.EXE")) << run.output;
    EXPECT_EQ(run.output, test::runKpack(KPACK_EXECUTABLE, "help build", folder.path()).output);
    EXPECT_EQ(0u,
              test::runKpack(KPACK_EXECUTABLE, "--version", folder.path()).output.find("kpack "));
}
#endif

// verify finds in a setup.exe what the build refuses: built here byte by
// byte, without kpack's checks.
TEST(Mistakes, VerifyReportsTheSameInBuiltSetups) {
    struct Case {
        const char* what;
        void (*edit)(test::PackageBuilder&);
        bool strict;
        std::string report;  // the error, or the warning when there is no error
    };
    const std::vector<Case> cases = {
        {"two records for one target",
         [](test::PackageBuilder& b) { b.addFile("[InstallDir]\\A.TXT", "b"); }, false,
         "kpack: setup.exe: the record at script line 12 ([InstallDir]\\A.TXT) has the target of "
         "the record at script line 11; the second file would overwrite the first"},
        {"a DWORD value",
         [](test::PackageBuilder& b) {
             b.addFile("[InstallDir]\\a.reg", kKey + "\"Count\"=dword:00000001\r\n", '2');
         },
         false,
         "kpack: setup.exe: the record at script line 12 ([InstallDir]\\a.reg): registry data "
         "line 2: the line sets a number value (dword); the setup writes only string values and "
         "would skip the line: write the number as a string, \"name\"=\"1\", if the program reads "
         "it as one"},
        {"a path too long for Windows",
         [](test::PackageBuilder& b) { b.addFile("[Start Menu]\\" + std::string(250, 'd'), "d"); },
         false,
         "kpack: setup.exe: the record at script line 12 ([Start Menu]\\" + std::string(250, 'd') +
             "): the target is 303 characters long once [Start Menu] is "
             "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs; Windows refuses a file "
             "path over 259 characters to the setup's file functions: shorten the path"},
        {"another program as the uninstaller",
         [](test::PackageBuilder& b) {
             b.addFile("[Windows Directory]\\Kestrova-UnInstall.exe", test::standInProgram(false));
         },
         false,
         "kpack: setup.exe: the record at script line 12 ([Windows Directory]\\"
         "Kestrova-UnInstall.exe) is a Windows program, not Kestrova-UnInstall.exe (it lacks the "
         "uninstaller's manifest)"},
        {"a welcome picture of another size",
         [](test::PackageBuilder& b) { b.welcome = test::plainBitmap(100, 314); }, false,
         "kpack: setup.exe: warning: the welcome picture is 100 x 314 pixels; the welcome page's "
         "left is 164 x 314 and the picture is drawn unscaled"},
        {"the same with --strict",
         [](test::PackageBuilder& b) { b.welcome = test::plainBitmap(100, 314); }, true,
         "kpack: setup.exe: the welcome picture is 100 x 314 pixels; the welcome page's left is "
         "164 x 314 and the picture is drawn unscaled (--strict makes this warning an error)"},
    };
    for (const Case& c : cases) {
        test::PackageBuilder b;
        b.welcome = test::plainBitmap(164, 314);
        b.title = test::plainBitmap(548, 64);
        b.addFile("[InstallDir]\\a.txt", "a");
        c.edit(b);
        test::ScratchFolder folder;
        test::writeFile(folder / "setup.exe", b.build());
        std::ostringstream out;
        kpack::CheckOptions options;
        options.strict = c.strict;
        std::string report;
        try {
            const std::vector<std::string> warnings =
                kpack::verifyPackage(folder / "setup.exe", "setup.exe", out, options);
            report = warnings.empty() ? "" : warnings.front();
        } catch (const kpack::KpackError& e) {
            report = e.report();
        }
        EXPECT_EQ(c.report, report) << c.what;
    }
}
