// The package check that start-up runs before unpacking anything.
#include "package/package_check.h"

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "package_builder.h"

using kestrova::PackageProblem;
using kestrova::test::FakePlatform;
using kestrova::test::PackageBuilder;
namespace k = kestrova;

namespace {

constexpr int64_t kFileSize = 0x43000 + 40 + 1000;
constexpr int32_t kBase = 0x43000 + 500;

std::string picture(long offset, long length) {
    return PackageBuilder::recordLine("p", offset, length, '0') + "\r\n";
}

PackageProblem check(const std::string& script, int32_t fileCount = 1) {
    FakePlatform platform;
    platform.writeFile("C:\\s.ini", script);
    k::File file = platform.openFile("C:\\s.ini", k::FileMode::Read);
    return k::checkPackageScript(file, kFileSize, kBase, fileCount);
}

const std::string kHead = "x\r\nname\r\nC:\\A\r\n1\r\n1\r\n[Directory]\r\nC:\\A\r\n[File]\r\n";
const std::string kPictures = picture(40, 10) + picture(50, 0) + picture(50, 10);

TEST(PackageCheck, AcceptsAWellFormedScript) {
    std::string script = kHead + kPictures + "<NoneApp>\r\n" +
                         PackageBuilder::recordLine("C:\\A\\f*", 60, 480, '1') +
                         "\r\n[TotalSize]\r\n5\r\n";
    EXPECT_EQ(PackageProblem::None, check(script));
}

TEST(PackageCheck, NamesTheFirstProblem) {
    const std::string record = PackageBuilder::recordLine("C:\\A\\f", 60, 10, '0') + "\r\n";
    EXPECT_EQ(PackageProblem::MissingDirectory, check("x\r\n[Directory] \r\n[File]\r\n"));
    EXPECT_EQ(PackageProblem::MissingFile, check("[Directory]\r\nC:\\A\r\n[file]\r\n"));
    EXPECT_EQ(PackageProblem::MissingPictures, check(kHead + picture(40, 1) + "[TotalSize]\r\n"));
    EXPECT_EQ(PackageProblem::MissingTotalSize, check(kHead + kPictures + record));
    EXPECT_EQ(PackageProblem::FileCountMismatch,
              check(kHead + kPictures + record + "[TotalSize]\r\n", 2));
    // Streams must lie inside the file: record base + offset + length may
    // reach the file size (0x43000 + 1040) but not pass it.
    EXPECT_EQ(PackageProblem::StreamOutsideFile,
              check(kHead + kPictures + PackageBuilder::recordLine("f", 60, 481, '0') +
                    "\r\n[TotalSize]\r\n"));
    EXPECT_EQ(
        PackageProblem::StreamOutsideFile,
        check(kHead + picture(-300000, 10) + picture(0, 0) + picture(0, 0) + "[TotalSize]\r\n", 0));
    EXPECT_EQ(PackageProblem::StreamOutsideFile,
              check(kHead + kPictures + PackageBuilder::recordLine("f", 2147483000, 2000, '0') +
                    "\r\n[TotalSize]\r\n"));
}

TEST(PackageCheck, ScriptStreamMustLieInsideTheFile) {
    EXPECT_TRUE(k::scriptStreamInside(0x43000 + 40 + 100, 0x43000, 100));
    EXPECT_FALSE(k::scriptStreamInside(0x43000 + 40 + 99, 0x43000, 100));
    EXPECT_FALSE(k::scriptStreamInside(0x43000 + 40, 0x43000, -1));
    EXPECT_FALSE(k::scriptStreamInside(0x43000, 0x43000, 0));  // no header at all
}

}  // namespace
