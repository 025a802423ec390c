#pragma once
// Compresses the streams of a package on all cores. The work is shared out
// in search chunks (match_finder.h), so one large file keeps every core
// busy as well as many small ones; each stream's parse and output are made
// once its chunks are done. The output does not depend on the number of
// threads: the same inputs always give the same bytes.
#include <cstdint>
#include <functional>
#include <vector>

#include "progress.h"

namespace kestrova::kpack {

struct CompressJob {
    uint64_t size = 0;  // the number of bytes append() delivers
    // Appends the stream's data to text (which already holds the encoder's
    // preset spaces); throws on failure. Called once, on any thread.
    std::function<void(std::vector<uint8_t>& text)> append;
};

// The number of threads to use by default: one per core.
unsigned defaultThreads();

// Compresses every job with `threads` threads; the results are in job
// order. Rethrows the exception of the first job (in job order) whose
// append() failed, or that delivered a size other than its own; the other
// results are then discarded. progress may be null.
std::vector<std::vector<uint8_t>> compressAll(const std::vector<CompressJob>& jobs,
                                              unsigned threads, Progress* progress);

}  // namespace kestrova::kpack
