#include "package_builder.h"

#include <cstdio>

#include "package/crc32.h"
#include "state/setup_state.h"

namespace kestrova::test {
namespace {

constexpr long kHeaderSize = 40;

std::string hex(uint32_t value) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(value));
    return digits;
}

std::string pad(const std::string& text, std::size_t width) {
    std::string out = text;
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

uint32_t crc32Of(const std::string& bytes) {
    return kestrova::crc32(bytes.data(), bytes.size());
}

}  // namespace

std::string PackageBuilder::numberField(long value) {
    return pad(std::to_string(value), 20);
}

std::string PackageBuilder::recordLine(const std::string& target, long offset, long length,
                                       char kind) {
    return pad(target, 268) + numberField(offset) + numberField(length) + std::string(1, kind);
}

std::string PackageBuilder::menuLine(const std::string& name, const std::string& targetField,
                                     bool desktop, bool startup) {
    return pad(name, 100) + pad(targetField, 300) + (desktop ? "1" : "0") + (startup ? "1" : "0");
}

std::string PackageBuilder::encode(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        std::size_t n = bytes.size() - i < 8 ? bytes.size() - i : 8;
        out += static_cast<char>((1u << n) - 1);
        out.append(bytes, i, n);
    }
    return out;
}

std::string PackageBuilder::scriptWithOffsets(const std::vector<long>& offsets) const {
    std::string s;
    auto line = [&s](const std::string& text) { s += text + "\r\n"; };
    line(firstLine);
    line(productName);
    line(installDir);
    line(licenceOption);
    line(uninstallOption);
    line("[Directory]");
    for (const auto& d : directories) line(d);
    line("[File]");
    const std::string* pictures[] = {&welcome, &splash, &title};
    for (int i = 0; i < 3; ++i)
        line(
            recordLine("picture", offsets[i], static_cast<long>(encode(*pictures[i]).size()), '0'));
    long total = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        if (r.noneApp) {
            line("<NoneApp>");
            continue;
        }
        std::string rec =
            recordLine(r.target, offsets[3 + i], static_cast<long>(encode(r.data).size()), r.kind);
        if (r.runAndDelete) rec[267] = '*';
        line(rec);
        total += static_cast<long>(r.data.size());
    }
    line("[TotalSize]");
    line(totalSize.empty() ? std::to_string(total) : totalSize);
    line("");
    line(std::to_string(licence.size()));
    line("[AutoReg]");
    for (const auto& a : autoReg) line(a);
    line("[ClearFile]");
    for (const auto& c : clearFile) line(c);
    line("[Menu]");
    line(programGroup);
    for (const auto& m : menuLines) line(m);
    line("[Run]");
    line(runCaption);
    line(runCommand);
    if (checksums) {
        line("[Checksums]");
        for (const std::string* p : pictures) line(hex(crc32Of(encode(*p))));
        for (const Record& r : records)
            if (!r.noneApp) line(hex(crc32Of(encode(r.data))));
    }
    s += licence;
    return s;
}

void PackageBuilder::layout(std::string* script, std::vector<long>* offsets,
                            std::string* streams) const {
    // Offsets count from the record base (stub + script length), so the
    // first stream, right after the script, has offset 40.
    std::vector<std::string> encoded = {encode(welcome), encode(splash), encode(title)};
    for (const Record& r : records) encoded.push_back(r.noneApp ? std::string() : encode(r.data));
    offsets->assign(encoded.size(), 0);
    long at = kHeaderSize;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        (*offsets)[i] = at;
        at += static_cast<long>(encoded[i].size());
    }
    *script = encode(scriptWithOffsets(*offsets));
    streams->clear();
    for (const auto& e : encoded) *streams += e;
}

std::string PackageBuilder::script() const {
    std::string encodedScript, streams;
    std::vector<long> offsets;
    layout(&encodedScript, &offsets, &streams);
    return scriptWithOffsets(offsets);
}

std::string PackageBuilder::build() const {
    std::string encodedScript, streams;
    std::vector<long> offsets;
    layout(&encodedScript, &offsets, &streams);
    long count = 0;
    for (const Record& r : records)
        if (!r.noneApp) ++count;
    std::string file(kPackageStart, '\0');
    // With checksums the script length field ends early with a NUL and
    // carries the script stream's CRC-32 after it.
    file += checksums ? pad(std::to_string(encodedScript.size()), 11) + std::string(1, '\0') +
                            hex(crc32Of(encodedScript))
                      : numberField(static_cast<long>(encodedScript.size()));
    file += numberField(count + fileCountAdjust);
    file += encodedScript;
    file += streams;
    return file;
}

long PackageBuilder::recordBase() const {
    std::string encodedScript, streams;
    std::vector<long> offsets;
    layout(&encodedScript, &offsets, &streams);
    return kPackageStart + static_cast<long>(encodedScript.size());
}

long PackageBuilder::streamPosition(std::size_t i) const {
    std::string encodedScript, streams;
    std::vector<long> offsets;
    layout(&encodedScript, &offsets, &streams);
    return kPackageStart + static_cast<long>(encodedScript.size()) + offsets[3 + i];
}

}  // namespace kestrova::test
