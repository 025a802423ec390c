// The kpack program itself: exit codes, the form of its error reports, and
// the stub it finds next to itself. (Host only: the Windows build runs
// kpack.exe under Wine from CMake instead.)
#include <gtest/gtest.h>

#ifndef _WIN32
#include "kpack_fixture.h"

using namespace kestrova;
namespace fs = std::filesystem;

using test::KpackRun;
using test::runKpack;

TEST(Cli, BuildsListsExtractsAndVerifies) {
    test::ProductFolder product;
    product.manifest(test::kMinimalManifest);
    // A copy of kpack with a stand-in stub beside it: found without --stub.
    const fs::path program = product / "kpack";
    fs::copy_file(KPACK_EXECUTABLE, program);
    fs::copy_file(product.stub(), product / "kestrova-stub.exe");

    // The uninstall option is on and no uninstaller is beside kpack: a clear
    // error, no setup.exe.
    KpackRun run = runKpack(program.string(), "build product.toml -o setup.exe", product.path());
    EXPECT_EQ(1, run.status) << run.output;
    EXPECT_EQ("kpack: " + (product / "Kestrova-UnInstall.exe").string() +
                  ": the uninstaller does not exist; the manifest's uninstall option needs it",
              run.output.substr(0, run.output.find(" (build")))
        << run.output;
    EXPECT_FALSE(fs::exists(product / "setup.exe"));

    // With one beside it, it becomes a record for the Windows folder.
    product.source("Kestrova-UnInstall.exe", test::standInProgram());
    run = runKpack(program.string(), "build product.toml -o setup.exe", product.path());
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_EQ(0u, run.output.find("kpack: wrote setup.exe: 2 file records, ")) << run.output;
    run = runKpack(program.string(), "verify setup.exe", product.path());
    EXPECT_EQ(0, run.status) << run.output;
    run = runKpack(program.string(), "list setup.exe", product.path());
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(u8"product: 测试")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("[Windows Directory]\\Kestrova-UnInstall.exe"))
        << run.output;
    run = runKpack(program.string(), "extract setup.exe -d out", product.path());
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_EQ("abababab", test::readText(product / "out/InstallDir/a.txt"));
    EXPECT_EQ(test::standInProgram(),
              test::readText(product / "out/Windows Directory/Kestrova-UnInstall.exe"));
}

TEST(Cli, ReportsErrorsWithExitCodes) {
    test::ProductFolder product;
    product.manifest(test::replaced(test::kMinimalManifest, "[InstallDir]\\\\a.txt", "a.txt"));
    const std::string stub = "--stub '" + product.stub().string() + "'";
    KpackRun run =
        runKpack(KPACK_EXECUTABLE, "build product.toml -o setup.exe " + stub, product.path());
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(
        "kpack: product.toml:11: files[1].target must begin with a path macro such as "
        "[InstallDir] or a drive such as C:\\\n",
        run.output);
    EXPECT_FALSE(fs::exists(product / "setup.exe"));

    run = runKpack(KPACK_EXECUTABLE, "verify product.toml", product.path());
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(0u, run.output.find("kpack: product.toml: is ")) << run.output;

    run = runKpack(KPACK_EXECUTABLE, "build product.toml", product.path());
    EXPECT_EQ(2, run.status);
    EXPECT_EQ(0u, run.output.find("kpack: build needs -o SETUP.EXE\nusage:")) << run.output;
}
#endif
