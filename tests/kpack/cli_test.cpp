// The kpack program itself: exit codes, the form of its error reports, and
// the stub it finds next to itself. (Host only: the Windows build runs
// kpack.exe under Wine from CMake instead.)
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>

#include <cstdio>

#include "kpack_fixture.h"

using namespace kestrova;
namespace fs = std::filesystem;

namespace {

struct KpackRun {
    int status;
    std::string output;  // standard output and standard error
};

KpackRun kpack(const std::string& program, const std::string& arguments, const fs::path& folder) {
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

}  // namespace

TEST(Cli, BuildsListsExtractsAndVerifies) {
    test::ProductFolder product;
    product.manifest(test::kMinimalManifest);
    // A copy of kpack with a stand-in stub beside it: found without --stub.
    const fs::path program = product / "kpack";
    fs::copy_file(KPACK_EXECUTABLE, program);
    fs::copy_file(product.stub(), product / "kestrova-stub.exe");

    KpackRun run = kpack(program.string(), "build product.toml -o setup.exe", product.path());
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_EQ(0u, run.output.find("kpack: wrote setup.exe: 1 file records, ")) << run.output;
    run = kpack(program.string(), "verify setup.exe", product.path());
    EXPECT_EQ(0, run.status) << run.output;
    run = kpack(program.string(), "list setup.exe", product.path());
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(u8"product: 测试")) << run.output;
    run = kpack(program.string(), "extract setup.exe -d out", product.path());
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_EQ("abababab", test::readText(product / "out/InstallDir/a.txt"));
}

TEST(Cli, ReportsErrorsWithExitCodes) {
    test::ProductFolder product;
    product.manifest(test::replaced(test::kMinimalManifest, "[InstallDir]\\\\a.txt", "a.txt"));
    const std::string stub = "--stub '" + product.stub().string() + "'";
    KpackRun run =
        kpack(KPACK_EXECUTABLE, "build product.toml -o setup.exe " + stub, product.path());
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(
        "kpack: product.toml:11: files[1].target must begin with a path macro such as "
        "[InstallDir] or a drive such as C:\\\n",
        run.output);
    EXPECT_FALSE(fs::exists(product / "setup.exe"));

    run = kpack(KPACK_EXECUTABLE, "verify product.toml", product.path());
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(0u, run.output.find("kpack: product.toml: is ")) << run.output;

    run = kpack(KPACK_EXECUTABLE, "build product.toml", product.path());
    EXPECT_EQ(2, run.status);
    EXPECT_EQ(0u, run.output.find("kpack: build needs -o SETUP.EXE\nusage:")) << run.output;
}
#endif
