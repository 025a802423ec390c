#pragma once
// Helpers shared by the fuzz targets: a setup program's file from the
// package part that the fuzzer mutates, and the fake platform's answers
// chosen by a control byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fake_platform.h"
#include "package/format.h"
#include "package_builder.h"
#include "state/setup_state.h"

namespace kestrova::fuzz {

// The package dictionary of the codecs target, which its seeds are primed
// with: words of a product's texts.
inline const std::string kDictionary =
    "the value of the name, the size of the file; return the result of the string. ";

// The setup program as start-up finds it: a stand-in stub of exactly
// kPackageStart bytes, then the bytes the fuzzer gave. One buffer serves
// every input: a new 270 KB block per input costs the sanitizer's
// allocator a mapping each time, which made the targets crawl.
inline const std::string& setupFile(const uint8_t* data, std::size_t size) {
    static std::string file;
    file.assign(kPackageStart, 'M');
    file.append(reinterpret_cast<const char*>(data), size);
    return file;
}

// The number of counted file records of a script, counted plainly: the
// lines after the three picture records that follow "[File]", up to
// "[TotalSize]", that are not "<NoneApp>" markers.
inline int countRecords(const std::string& script) {
    std::size_t at = script.find("\r\n[File]\r\n");
    if (at == std::string::npos) return 0;
    at += 10;
    int line = 0, count = 0;
    while (at < script.size()) {
        std::size_t end = script.find('\n', at);
        end = end == std::string::npos ? script.size() : end + 1;
        const std::string text = script.substr(at, end - at);
        if (text == "[TotalSize]\r\n") break;
        if (++line > 3 && text.compare(0, 9, "<NoneApp>") != 0) ++count;
        at = end;
    }
    return count;
}

// A setup program around a plain script, so that the fuzzer works on the
// script's text: the header (its stream length, its counted records), the
// script as an LZSS stream, then one long stream that every record offset
// from 40 on points into.
inline const std::string& setupFromScript(const std::string& script) {
    static const std::string streams = [] {
        std::string bytes = "BM";
        for (int i = 0; bytes.size() < 8192; ++i) bytes += "MZ" + std::to_string(i) + "\r\n";
        return test::PackageBuilder::encode(bytes);
    }();
    static std::string file;
    const std::string encoded = test::PackageBuilder::encode(script);
    file.assign(kPackageStart, 'M');
    file += test::PackageBuilder::numberField(static_cast<long>(encoded.size()));
    file += test::PackageBuilder::numberField(countRecords(script));
    file += encoded;
    file += streams;
    return file;
}

// Sets the fake's behaviour from the bits of control: the answers to its
// first three Yes/No questions (bits 0-2, 1 for Yes; later ones are No),
// whether programs start (bit 3) and whether shortcuts can be made (bit 4).
inline void applyControl(test::FakePlatform& platform, uint8_t control) {
    for (int i = 0; i < 3; ++i) platform.answers.push_back((control >> i) & 1 ? 6 : 7);
    platform.processesStart = (control & 0x08) == 0;
    platform.shellLinksAvailable = (control & 0x10) == 0;
}

}  // namespace kestrova::fuzz
