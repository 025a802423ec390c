// kpack verify accepts what kpack builds and names each kind of damage;
// list, verify and extract stay safe on any damaged file.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "commands.h"
#include "error.h"
#include "kpack_fixture.h"
#include "lzss_encoder.h"
#include "package/crc32.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package_builder.h"
#include "picture_files.h"
#include "script_writer.h"
#include "state/setup_state.h"

using namespace kestrova;
using namespace kestrova::kpack;

namespace {

const char kManifest[] =
    u8R"([product]
name = "校验"
install_dir = "[Program Files]\\校验"
licence = "licence.htm"

[pictures]
welcome = "welcome.bmp"
title = "title.bmp"

[[files]]
source = "a.txt"
target = "[InstallDir]\\a.txt"

[[files]]
source = "setup.reg"
target = "[InstallDir]\\setup.reg"
kind = "registry-data"

[[menu.shortcuts]]
name = "a"
target = "[InstallDir]\\a.txt"

[run]
caption = "run"
command = "[InstallDir]\\a.exe"
)";

class VerifyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        product_.source("setup.reg", "[HKEY_CURRENT_USER\\Software\\K]\r\n\"A\"=\"1\"\r\n");
        product_.source("licence.htm", "<p>licence</p>");
        std::string text;
        for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i % 97) + "\r\n";
        product_.source("a.txt", text);
        product_.manifest(kManifest);
        const BuildOptions o = product_.options("good.exe");
        buildPackage(o);
        good_ = test::readText(o.output);
    }

    // verify's report for the bytes, or "" when it accepts them.
    std::string verifyBytes(const std::string& bytes) {
        const fs::path path = product_ / "damaged.exe";
        test::writeFile(path, bytes);
        std::ostringstream out;
        try {
            verifyPackage(path, "damaged.exe", out);
        } catch (const KpackError& e) {
            return e.report();
        }
        return "";
    }

    std::size_t scriptLength(const std::string& setup) const {
        return std::stoul(setup.substr(kPackageStart, 20));
    }
    std::string script(const std::string& setup) const {
        const auto* at = reinterpret_cast<const uint8_t*>(setup.data()) + kPackageStart + 40;
        const std::vector<uint8_t> bytes = lzssDecode(at, scriptLength(setup));
        return std::string(bytes.begin(), bytes.end());
    }

    // The setup with its script edited and re-encoded; extra streams are
    // appended after the existing ones (the first at offset `appendedAt`).
    std::string withScript(const std::function<std::string(std::string)>& edit,
                           const std::string& extraStreams = "") {
        const std::string edited = edit(script(good_));
        const std::vector<uint8_t> packed =
            lzssEncode(reinterpret_cast<const uint8_t*>(edited.data()), edited.size());
        const std::size_t oldEnd = kPackageStart + 40 + scriptLength(good_);
        return good_.substr(0, kPackageStart) + numberField(packed.size()) +
               good_.substr(kPackageStart + 20, 20) + std::string(packed.begin(), packed.end()) +
               good_.substr(oldEnd) + extraStreams;
    }
    int64_t appendedAt() const {
        return static_cast<int64_t>(good_.size() - (kPackageStart + scriptLength(good_)));
    }

    // Replaces the offset and length fields of the record of target.
    static std::string withStream(std::string s, const std::string& target, int64_t offset,
                                  int64_t length) {
        const std::size_t line = s.find(target);
        EXPECT_NE(std::string::npos, line);
        return s.replace(line + 268, 40, numberField(offset) + numberField(length));
    }

    test::ProductFolder product_;
    std::string good_;
};

}  // namespace

TEST_F(VerifyTest, AcceptsWhatKpackBuilds) {
    EXPECT_EQ("", verifyBytes(good_));
    // The same script, re-encoded, is still the same package.
    EXPECT_EQ("", verifyBytes(withScript([](std::string s) { return s; })));
}

TEST_F(VerifyTest, NamesEachKindOfDamage) {
    const std::string shortWelcome =
        verifyBytes(good_.substr(0, kPackageStart + 50 + scriptLength(good_)));
    EXPECT_EQ(0u, shortWelcome.find("kpack: damaged.exe: the welcome picture: its stream (offset "
                                    "40, length "))
        << shortWelcome;
    EXPECT_NE(std::string::npos, shortWelcome.find("lies outside the file's streams"));
    std::string cut = good_;
    cut.pop_back();
    EXPECT_NE(std::string::npos, verifyBytes(cut).find("lies outside the file's streams"));
    EXPECT_EQ("kpack: damaged.exe: the script stream (" + std::to_string(scriptLength(good_)) +
                  " bytes) runs past the end of the file: the file is truncated",
              verifyBytes(good_.substr(0, kPackageStart + 60)));
    EXPECT_EQ("kpack: damaged.exe: is 274432 bytes: no package after the 274432-byte stub",
              verifyBytes(good_.substr(0, kPackageStart)));

    std::string count = good_;
    count.replace(kPackageStart + 20, 20, numberField(3));
    EXPECT_EQ("kpack: damaged.exe: the header's file count is 3 but the script has 2 file records",
              verifyBytes(count));
    count.replace(kPackageStart + 20, 20, "2x                  ");
    EXPECT_EQ("kpack: damaged.exe: the package header is damaged (its fields are not numbers)",
              verifyBytes(count));

    EXPECT_EQ(
        "kpack: damaged.exe: the record at script line 13 ([InstallDir]\\a.txt): its stream "
        "(offset 2000000000, length 5) lies outside the file's streams",
        verifyBytes(withScript(
            [](std::string s) { return withStream(s, "[InstallDir]\\a.txt", 2000000000, 5); })));
    EXPECT_EQ(
        "kpack: damaged.exe: the setup script: script line 20 is the section line [Menu] "
        "inside [AutoReg]",
        verifyBytes(
            withScript([](std::string s) { return test::replaced(s, "[ClearFile]\r\n", ""); })));
    EXPECT_EQ(
        "kpack: damaged.exe: the setup script: script line 25 is 402 bytes with its CR LF; "
        "the setup reads at most 399 there",
        verifyBytes(withScript([](std::string s) {
            return test::replaced(s, "run\r\n", std::string(400, 'r') + "\r\n");
        })));
    EXPECT_EQ("kpack: damaged.exe: the setup script: script line 3 does not end in CR LF",
              verifyBytes(withScript(
                  [](std::string s) { return test::replaced(s, "\r\n1\r\n", "\n1\r\n"); })));

    // Streams that decode into something the setup cannot use.
    const std::string badReg = "\x01\x41";  // "A": no line end
    EXPECT_EQ(
        "kpack: damaged.exe: the record at script line 14 ([InstallDir]\\setup.reg): "
        "registry data line 1: the last line does not end in CR LF; the setup would not "
        "apply it",
        verifyBytes(withScript(
            [&](std::string s) {
                return withStream(s, "[InstallDir]\\setup.reg", appendedAt(), 2);
            },
            badReg)));
    // A picture in a form the setup's reader refuses (a 124-byte header, as
    // image editors write) would leave its place empty.
    const std::string v5 = test::bitmapDataFile("v5.bmp");
    const std::vector<uint8_t> packedV5 =
        lzssEncode(reinterpret_cast<const uint8_t*>(v5.data()), v5.size());
    EXPECT_EQ("kpack: damaged.exe: the welcome picture is not a bitmap the setup can draw",
              verifyBytes(withScript(
                  [&](std::string s) {
                      return withStream(s, "Wel.Bmp", appendedAt(),
                                        static_cast<int64_t>(packedV5.size()));
                  },
                  std::string(packedV5.begin(), packedV5.end()))));
    const std::string unwritten = std::string("\x00\xEE\xF0", 3);  // reads ring 4078 first
    EXPECT_EQ(
        "kpack: damaged.exe: the record at script line 13 ([InstallDir]\\a.txt): a match at "
        "decoded byte 0 reads ring positions that the stream has not yet written",
        verifyBytes(withScript(
            [&](std::string s) { return withStream(s, "[InstallDir]\\a.txt", appendedAt(), 3); },
            unwritten)));
    const std::string cutMatch = std::string("\x00\x00", 2);
    EXPECT_EQ(
        "kpack: damaged.exe: the record at script line 13 ([InstallDir]\\a.txt): the stream "
        "ends inside a match (it is cut short)",
        verifyBytes(withScript(
            [&](std::string s) { return withStream(s, "[InstallDir]\\a.txt", appendedAt(), 2); },
            cutMatch)));
}

TEST_F(VerifyTest, ReadersAreSafeOnTruncatedAndCorruptedFiles) {
    std::mt19937 rng(2024);
    const fs::path path = product_ / "damaged.exe";
    const fs::path out = product_ / "out";
    int rejected = 0, runs = 0;
    auto exercise = [&](const std::string& bytes) {
        test::writeFile(path, bytes);
        std::ostringstream sink;
        for (int command = 0; command < 3; ++command) {
            try {
                ++runs;
                if (command == 0) listPackage(path, "damaged.exe", sink);
                if (command == 1) verifyPackage(path, "damaged.exe", sink);
                if (command == 2) extractPackage(path, "damaged.exe", out);
            } catch (const KpackError&) {
                ++rejected;
            }
        }
    };
    const std::size_t packageStart = kPackageStart;
    for (std::size_t cut = packageStart; cut < good_.size(); cut += 1 + rng() % 97)
        exercise(good_.substr(0, cut));
    for (int round = 0; round < 150; ++round) {
        std::string bytes = good_;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int f = 0; f < flips; ++f) {
            // Mostly the header and the script, where the structure is.
            const std::size_t span =
                round % 3 == 0 ? bytes.size() - packageStart : 40 + scriptLength(good_);
            bytes[packageStart + rng() % span] = static_cast<char>(rng());
        }
        exercise(bytes);
    }
    for (int round = 0; round < 50; ++round) {
        // A script re-encoded after random edits: the parser meets every
        // kind of misplaced line.
        std::string s = script(good_);
        for (int f = 0; f < 3; ++f) s[rng() % s.size()] = "\r\n[]* <x0"[rng() % 9];
        exercise(withScript([&](std::string) { return s; }));
    }
    EXPECT_GT(rejected, runs / 2);
    // Nothing outside the output folder: the product folder holds only
    // what the test put there.
    for (const auto& entry : fs::directory_iterator(product_.path())) {
        const std::string name = entry.path().filename().u8string();
        EXPECT_TRUE(name == "out" || name == "damaged.exe" || name == "good.exe" ||
                    entry.path().extension() == ".bmp" || entry.path().extension() == ".txt" ||
                    entry.path().extension() == ".reg" || entry.path().extension() == ".htm" ||
                    entry.path().extension() == ".toml" || entry.path().extension() == ".exe")
            << name;
    }
}

TEST_F(VerifyTest, ChecksumsNameTheDamagedStream) {
    // The a.txt record's stream: one byte in its middle changed, which the
    // LZSS structure alone would not notice.
    const std::string s = script(good_);
    const std::size_t line = s.find("[InstallDir]\\a.txt");
    const int64_t offset = std::stoll(s.substr(line + 268, 20));
    const int64_t length = std::stoll(s.substr(line + 288, 20));
    std::string bytes = good_;
    bytes[kPackageStart + scriptLength(good_) + offset + length / 2] ^= 0x40;
    const std::string report = verifyBytes(bytes);
    EXPECT_EQ(0u, report.find("kpack: damaged.exe: the record at script line 13 "
                              "([InstallDir]\\a.txt): its stream is damaged: its CRC-32 is "))
        << report;

    // The script stream, refused before it is parsed.
    bytes = good_;
    bytes[kPackageStart + 40 + scriptLength(good_) / 2] ^= 0x40;
    EXPECT_EQ(0u, verifyBytes(bytes).find(
                      "kpack: damaged.exe: the script stream is damaged: its CRC-32 is "));

    // The header promises checksums; the script lost its section, or has
    // one line too few.
    auto withHeaderChecksum = [&](const std::string& edited) {
        std::string setup = withScript([&](std::string) { return edited; });
        const std::size_t length = scriptLength(setup);
        const uint32_t crc =
            crc32(reinterpret_cast<const uint8_t*>(setup.data()) + kPackageStart + 40, length);
        return setup.replace(kPackageStart, 40, packageHeader(length, 2, crc));
    };
    EXPECT_EQ("", verifyBytes(withHeaderChecksum(s)));
    const std::size_t section = s.find("[Checksums]\r\n");
    ASSERT_NE(std::string::npos, section);
    const std::size_t licence = s.size() - std::string("<p>licence</p>").size();
    EXPECT_EQ(
        "kpack: damaged.exe: the header carries a checksum but the script has no [Checksums] "
        "section",
        verifyBytes(withHeaderChecksum(s.substr(0, section) + s.substr(licence))));
    EXPECT_EQ("kpack: damaged.exe: the setup script: [Checksums] has 4 checksums for 5 streams",
              verifyBytes(withHeaderChecksum(s.substr(0, licence - 10) + s.substr(licence))));
}

TEST_F(VerifyTest, ProductsWithoutAProgramToRunListAndVerify) {
    // kpack's form: "[Run]" and two empty lines, the checksums after them.
    product_.manifest(std::string(kManifest).substr(0, std::string(kManifest).find("[run]")));
    const BuildOptions o = product_.options("norun.exe");
    buildPackage(o);
    const std::string built = test::readText(o.output);
    EXPECT_NE(std::string::npos, script(built).find("[Run]\r\n\r\n\r\n[Checksums]\r\n"));
    // Another tool's: no [Run] section; the shortcut lines end where the
    // licence text begins.
    const std::string withoutSection = withScript([](std::string s) {
        const std::size_t run = s.find("[Run]\r\n");
        return s.erase(run, s.find("<p>licence") - run);
    });
    for (const std::string& setup : {built, withoutSection}) {
        EXPECT_EQ("", verifyBytes(setup));
        std::ostringstream listing;
        listPackage(product_ / "damaged.exe", "damaged.exe", listing);
        EXPECT_NE(std::string::npos, listing.str().find("[Run]        (none)\n")) << listing.str();
        EXPECT_NE(std::string::npos, listing.str().find("1 shortcuts")) << listing.str();
    }
}
