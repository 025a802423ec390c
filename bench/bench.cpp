// Benchmarks of the package's compression, run on demand (bench/run): a
// corpus of files from this machine, kpack's encoder against the classic
// greedy encoder, and the project's decoder against a plain ring decoder,
// memcpy and raw file writes. Prints figures; no pass or fail.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "compressor.h"
#include "file_io.h"
#include "greedy_encoder.h"
#include "host_platform.h"
#include "lzss_encoder.h"
#include "package/lzss_decoder.h"
#include "ring_decoder.h"
#include "state/setup_state.h"

namespace fs = std::filesystem;
using namespace kestrova;

namespace {

struct CorpusFile {
    std::string path;
    std::vector<uint8_t> bytes;
};

struct Category {
    const char* name;
    std::vector<const char*> roots;
    std::vector<const char*> extensions;  // empty: any regular file
    uint64_t quota;
};

bool hasExtension(const fs::path& p, const std::vector<const char*>& extensions) {
    if (extensions.empty()) return true;
    const std::string name = p.filename().string();
    for (const char* e : extensions)
        if (name.size() >= std::strlen(e) &&
            (name.compare(name.size() - std::strlen(e), std::strlen(e), e) == 0 ||
             name.find(std::string(e) + ".") != std::string::npos))
            return true;
    return false;
}

// Files of one kind, in sorted order (so every run measures the same bytes),
// from 1 KB to 4 MB each, up to the category's quota.
uint64_t collect(const Category& c, std::vector<CorpusFile>& corpus) {
    std::vector<fs::path> paths;
    for (const char* root : c.roots) {
        std::error_code ec;
        for (fs::recursive_directory_iterator
                 it(root, fs::directory_options::skip_permission_denied, ec),
             end;
             !ec && it != end; it.increment(ec)) {
            if (it->is_symlink(ec) || !it->is_regular_file(ec)) continue;
            const uint64_t size = it->file_size(ec);
            if (ec || size < 1024 || size > (4u << 20)) continue;
            if (hasExtension(it->path(), c.extensions)) paths.push_back(it->path());
        }
    }
    std::sort(paths.begin(), paths.end());
    uint64_t total = 0;
    // Every k-th file, so the corpus samples the whole tree.
    const std::size_t stride = std::max<std::size_t>(1, paths.size() / 400);
    for (std::size_t i = 0; i < paths.size() && total < c.quota; i += stride) {
        std::vector<uint8_t> bytes;
        std::string error;
        if (!kpack::readWholeFile(paths[i], &bytes, &error) || bytes.empty() ||
            total + bytes.size() > c.quota + (1u << 20))
            continue;
        total += bytes.size();
        corpus.push_back({paths[i].string(), std::move(bytes)});
    }
    return total;
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

template <class F>
double timeBest(int rounds, F f) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, seconds(std::chrono::steady_clock::now() - start));
    }
    return best;
}

constexpr double kMb = 1024.0 * 1024.0;

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    const uint64_t scale = quick ? 4 : 1;
    const std::vector<Category> categories = {
        {"executables", {"/usr/bin", "/usr/sbin"}, {}, (12ull << 20) / scale},
        {"libraries",
         {"/usr/lib/x86_64-linux-gnu", "/usr/lib"},
         {".so", ".a"},
         (12ull << 20) / scale},
        {"text",
         {"/usr/include", "/usr/share/doc"},
         {".h", ".hpp", ".txt", ".html", ".md"},
         (10ull << 20) / scale},
        {"images",
         {"/usr/share"},
         {".png", ".gif", ".jpg", ".bmp", ".ico", ".svg"},
         (4ull << 20) / scale},
    };
    std::vector<CorpusFile> corpus;
    std::printf("corpus:");
    for (const Category& c : categories) {
        const uint64_t bytes = collect(c, corpus);
        std::printf(" %s %.1f MB;", c.name, bytes / kMb);
    }
    uint64_t total = 0;
    for (const CorpusFile& f : corpus) total += f.bytes.size();
    std::printf(" %zu files, %.1f MB in all\n\n", corpus.size(), total / kMb);
    if (corpus.empty()) return 1;

    // ---- Encoding ----------------------------------------------------------
    std::vector<std::vector<uint8_t>> greedy(corpus.size()), optimal;
    const double greedySeconds = timeBest(1, [&] {
        for (std::size_t i = 0; i < corpus.size(); ++i)
            greedy[i] = bench::greedyEncode(corpus[i].bytes.data(), corpus[i].bytes.size());
    });
    std::vector<kpack::CompressJob> jobs;
    for (const CorpusFile& f : corpus) {
        kpack::CompressJob job;
        job.size = f.bytes.size();
        job.append = [&f](std::vector<uint8_t>& text) {
            text.insert(text.end(), f.bytes.begin(), f.bytes.end());
        };
        jobs.push_back(job);
    }
    std::vector<kpack::PackedStream> packed, packedParallel;
    const double oneThread = timeBest(1, [&] { packed = kpack::compressAll(jobs, 1, nullptr); });
    const unsigned threads = kpack::defaultThreads();
    const double allThreads =
        timeBest(1, [&] { packedParallel = kpack::compressAll(jobs, threads, nullptr); });
    // The encoders are compared on LZSS alone: a file kpack stores because
    // LZSS would not make it smaller is encoded again here, untimed.
    uint64_t mismatches = 0;
    for (std::size_t i = 0; i < corpus.size(); ++i) {
        const bool lzss = packed[i].codec == format::StreamCodec::Lzss;
        optimal.push_back(lzss ? packed[i].bytes
                               : kpack::lzssEncode(corpus[i].bytes.data(), corpus[i].bytes.size()));
        mismatches += packedParallel[i].codec != packed[i].codec ||
                      packedParallel[i].bytes != packed[i].bytes;
    }

    uint64_t greedyBytes = 0, optimalBytes = 0;
    for (std::size_t i = 0; i < corpus.size(); ++i) {
        greedyBytes += greedy[i].size();
        optimalBytes += optimal[i].size();
        // Both encoders must round-trip through the project's decoder.
        if (lzssDecode(greedy[i].data(), greedy[i].size()) != corpus[i].bytes ||
            lzssDecode(optimal[i].data(), optimal[i].size()) != corpus[i].bytes) {
            std::printf("ROUND TRIP FAILED: %s\n", corpus[i].path.c_str());
            return 1;
        }
    }
    std::printf("encoding                          package bytes   of input      MB/s\n");
    std::printf("  greedy (baseline, 1 thread)    %14llu    %6.2f%%   %7.2f\n",
                (unsigned long long)greedyBytes, 100.0 * greedyBytes / total,
                total / kMb / greedySeconds);
    std::printf("  kpack optimal, 1 thread        %14llu    %6.2f%%   %7.2f\n",
                (unsigned long long)optimalBytes, 100.0 * optimalBytes / total,
                total / kMb / oneThread);
    std::printf("  kpack optimal, %u threads       %14llu    %6.2f%%   %7.2f%s\n", threads,
                (unsigned long long)optimalBytes, 100.0 * optimalBytes / total,
                total / kMb / allThreads, mismatches ? "  (OUTPUT DIFFERS FROM 1 THREAD)" : "");
    std::printf("  optimal parse: %.2f%% smaller than greedy (goal: about 1.6%%)\n",
                100.0 * (double(greedyBytes) - double(optimalBytes)) / greedyBytes);
    std::printf(
        "  encoding on %u threads: %.2fx the greedy baseline's speed (goal: at least 1.5x)\n\n",
        threads, greedySeconds / allThreads);

    // ---- Decoding in memory -------------------------------------------------
    std::vector<uint8_t> sink;
    uint64_t check = 0;
    const double ringSeconds = timeBest(5, [&] {
        for (const auto& s : optimal) check += bench::ringDecode(s.data(), s.size()).size();
    });
    const double projectSeconds = timeBest(5, [&] {
        for (const auto& s : optimal) check += lzssDecode(s.data(), s.size()).size();
    });
    const double memcpySeconds = timeBest(5, [&] {
        for (const CorpusFile& f : corpus) {
            sink.resize(f.bytes.size());
            std::memcpy(sink.data(), f.bytes.data(), f.bytes.size());
            check += sink[sink.size() / 2];
        }
    });
    std::printf("decoding in memory                              MB/s (of decoded bytes)\n");
    std::printf("  ring decoder, byte at a time (baseline)    %9.1f\n", total / kMb / ringSeconds);
    std::printf(
        "  lzssDecode                                 %9.1f   %.2fx the baseline (goal: at least "
        "2x)\n",
        total / kMb / projectSeconds, ringSeconds / projectSeconds);
    std::printf("  memcpy of the same bytes                   %9.1f\n\n",
                total / kMb / memcpySeconds);

    // ---- Decoding to files --------------------------------------------------
    const fs::path folder = fs::temp_directory_path() / "kestrova-bench";
    fs::create_directories(folder);
    const std::string packagePath = (folder / "package.bin").string();
    std::vector<std::pair<int32_t, int32_t>> streams;  // offset, length
    {
        std::ofstream package(packagePath, std::ios::binary);
        int64_t at = 0;
        for (const auto& s : optimal) {
            package.write(reinterpret_cast<const char*>(s.data()),
                          static_cast<std::streamsize>(s.size()));
            streams.emplace_back(static_cast<int32_t>(at), static_cast<int32_t>(s.size()));
            at += static_cast<int64_t>(s.size());
        }
    }
    auto outputPath = [&](std::size_t i) {
        return (folder / ("out" + std::to_string(i % 64) + ".bin")).string();
    };
    bench::HostPlatform platform;
    SetupState state;
    // A stream that cannot be written is counted, never asked about.
    struct NoQuestion : ReaderPort {
        bool stopAfterFailedFile(const char*) override { return false; }
    } port;
    LzssDecoder decoder(platform, state, port);
    bool allWritten = true;
    const double streamSeconds = timeBest(5, [&] {
        File package = platform.openFile(packagePath.c_str(), FileMode::Read);
        for (std::size_t i = 0; i < streams.size(); ++i)
            allWritten &= decoder.decodeStream(&package, outputPath(i).c_str(), streams[i].first,
                                               streams[i].second);
    });
    const double rawSeconds = timeBest(5, [&] {
        for (std::size_t i = 0; i < corpus.size(); ++i) {
            std::FILE* f = std::fopen(outputPath(i).c_str(), "wb");
            std::fwrite(corpus[i].bytes.data(), 1, corpus[i].bytes.size(), f);
            std::fclose(f);
        }
    });
    const double ringFileSeconds = timeBest(5, [&] {
        for (std::size_t i = 0; i < optimal.size(); ++i) {
            std::FILE* f = std::fopen(outputPath(i).c_str(), "wb");
            bench::ringDecodeToFile(optimal[i].data(), optimal[i].size(), f);
            std::fclose(f);
        }
    });
    fs::remove_all(folder);
    std::printf("decoding to files                               MB/s (of decoded bytes)\n");
    std::printf("  ring decoder with putc (baseline)          %9.1f\n",
                total / kMb / ringFileSeconds);
    std::printf(
        "  LzssDecoder::decodeStream                  %9.1f   %.0f%% of raw writes (goal: at least "
        "50%%)%s\n",
        total / kMb / streamSeconds, 100.0 * rawSeconds / streamSeconds,
        allWritten ? "" : "  (A FILE WAS NOT WRITTEN)");
    std::printf("  raw writes of the same bytes (fwrite)      %9.1f\n", total / kMb / rawSeconds);
    return check == 0xFFFFFFFFFFFFFFFFull;  // keeps the decoded sizes from being optimised away
}
