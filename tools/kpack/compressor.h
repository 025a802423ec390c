#pragma once
// Compresses the streams of a package on all cores. The work is shared out
// in search chunks (match_finder.h), so one large file keeps every core
// busy as well as many small ones; each stream's parse and output are made
// once its chunks are done, and then its codec is chosen. The output does
// not depend on the number of threads: the same inputs always give the
// same bytes.
#include <cstdint>
#include <functional>
#include <vector>

#include "package/format.h"
#include "progress.h"

namespace kestrova::kpack {

struct CompressJob {
    uint64_t size = 0;  // the number of bytes append() delivers
    // Appends the stream's data to text (which already holds the encoder's
    // preset spaces); throws on failure. Called once, on any thread.
    std::function<void(std::vector<uint8_t>& text)> append;
};

// One stream as the package holds it.
struct PackedStream {
    format::StreamCodec codec = format::StreamCodec::Lzss;
    std::vector<uint8_t> bytes;
    // With the dictionary: the best form without it, for a package that
    // ends up without the dictionary after all.
    format::StreamCodec plainCodec = format::StreamCodec::Lzss;
    std::vector<uint8_t> plainBytes;
};

// The number of threads to use by default: one per core.
unsigned defaultThreads();

// Compresses every job with `threads` threads; the results are in job
// order. Each stream is LZSS, or deflate (with tryDeflate) where that is
// smaller, deflate primed with the dictionary (when one is given) where
// that is smaller still, or stored where none makes it smaller than it is.
// Rethrows the exception of the first job (in job order) whose append()
// failed, or that delivered a size other than its own; the other results
// are then discarded. progress and dictionary may be null.
std::vector<PackedStream> compressAll(const std::vector<CompressJob>& jobs, unsigned threads,
                                      Progress* progress, bool tryDeflate = false,
                                      const std::vector<uint8_t>* dictionary = nullptr);

// The codec choice for one stream of size bytes at data, given its LZSS
// stream (moved from): see compressAll.
PackedStream chooseCodec(const uint8_t* data, std::size_t size, std::vector<uint8_t> lzss,
                         bool tryDeflate, const std::vector<uint8_t>* dictionary = nullptr);

}  // namespace kestrova::kpack
