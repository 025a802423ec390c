// What the stream checksums cost the setup's start-up, under Wine:
//
//   checksum_bench SETUP.EXE [ROUNDS]
//
// Unpacks the script as start-up does, then times, in alternation, the
// check start-up runs (checkStreamChecksums, compiled with the stub's -Os)
// and, as the baseline, reading the same bytes through the same file
// stream without checking them. Prints figures; no pass or fail.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package/package_header.h"
#include "package/stream_checksums.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "startup/extract_package.h"
#include "state/bounded_text.h"
#include "wizard/message_box_port.h"

namespace k = kestrova;

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Reads the package from its start to the file's end in the check's block
// size: every byte the check reads, and the header's 40 more.
uint64_t readPackage(k::File& package) {
    static unsigned char buffer[32768];
    uint64_t total = 0;
    package.seek(k::kPackageStart);
    for (std::size_t n; (n = package.read(buffer, sizeof buffer)) > 0;) total += n;
    return total;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 2) {
        std::fprintf(stderr, "usage: checksum_bench SETUP.EXE [ROUNDS]\n");
        return 2;
    }
    const int rounds = count > 2 ? std::max(1, _wtoi(args[2])) : 7;

    static k::SetupState state;
    static k::win32::Win32Platform platform;
    if (!k::win32::toGbk(args[1], -1, state.packagePath, sizeof state.packagePath) ||
        !k::makeTempNames(platform, state))
        return 2;
    state.packageOffset = k::kPackageStart;
    k::MessageBoxPort port(platform, nullptr);
    k::LzssDecoder decoder(platform, state, port);
    if (!k::readPackageHeader(platform, state, decoder)) {
        std::fprintf(stderr, "checksum_bench: cannot open the setup program\n");
        return 1;
    }
    k::File package = platform.openFile(state.packagePath, k::FileMode::Read);
    const uint64_t bytes = readPackage(package);  // also brings the file into the cache

    std::vector<double> reading, checking;
    k::ChecksumCheck result = k::ChecksumCheck::Absent;
    for (int r = 0; r < rounds; ++r) {
        double t0 = nowMs();
        readPackage(package);
        double t1 = nowMs();
        k::File script = platform.openFile(state.scriptPath, k::FileMode::Read);
        result = k::checkStreamChecksums(package, script, state);
        double t2 = nowMs();
        reading.push_back(t1 - t0);
        checking.push_back(t2 - t1);
    }
    k::deleteTempFiles(platform, state);
    if (result != k::ChecksumCheck::Intact) {
        std::fprintf(stderr, "checksum_bench: the package's checksums are %s\n",
                     result == k::ChecksumCheck::Absent ? "absent" : "not matching");
        return 1;
    }

    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("package: %.1f MB after the stub, %d rounds\n", mb, rounds);
    std::printf("  reading it, no check (baseline): median %7.1f ms, best %7.1f ms\n",
                median(reading), *std::min_element(reading.begin(), reading.end()));
    std::printf("  checkStreamChecksums:            median %7.1f ms, best %7.1f ms (%.0f MB/s)\n",
                median(checking), *std::min_element(checking.begin(), checking.end()),
                mb / (median(checking) / 1000.0));
    std::printf("  start-up without checksums reads none of these bytes: the check adds %.0f ms\n",
                median(checking));
    LocalFree(args);
    return 0;
}
