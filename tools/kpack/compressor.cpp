#include "compressor.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "lzss_encoder.h"
#include "match_finder.h"

namespace kestrova::kpack {
namespace {

struct StreamState {
    std::once_flag loaded;
    bool ready = false;  // set inside the once-call: visible to every later caller
    std::exception_ptr error;
    std::vector<uint8_t> text;
    MatchTable table;
    std::atomic<std::size_t> chunksLeft{0};
};

struct WorkItem {
    std::size_t job;
    std::size_t chunk;
};

}  // namespace

unsigned defaultThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

std::vector<std::vector<uint8_t>> compressAll(const std::vector<CompressJob>& jobs,
                                              unsigned threads, Progress* progress) {
    std::vector<std::vector<uint8_t>> results(jobs.size());
    std::vector<StreamState> states(jobs.size());
    std::vector<WorkItem> items;
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        const std::size_t chunks = matchChunkCount(static_cast<std::size_t>(jobs[j].size));
        states[j].chunksLeft = chunks;
        for (std::size_t c = 0; c < chunks; ++c) items.push_back({j, c});
    }

    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    auto worker = [&]() {
        MatchFinder finder;
        while (!stop.load()) {
            const std::size_t index = next++;
            if (index >= items.size()) break;
            const WorkItem item = items[index];
            const CompressJob& job = jobs[item.job];
            StreamState& state = states[item.job];
            std::call_once(state.loaded, [&]() {
                try {
                    const std::size_t size = static_cast<std::size_t>(job.size);
                    state.text.reserve(format::kRingStart + size);
                    state.text.assign(format::kRingStart, format::kRingFill);
                    job.append(state.text);
                    if (state.text.size() != format::kRingStart + size)
                        throw std::runtime_error("the file changed while kpack was reading it");
                    state.table.resize(size);
                    state.ready = true;
                } catch (...) {
                    state.error = std::current_exception();
                    stop = true;
                }
            });
            if (!state.ready) continue;
            finder.findChunk(state.text.data(), state.text.size(), item.chunk, state.table);
            if (progress) {
                const uint64_t first = uint64_t(item.chunk) * kMatchChunk;
                progress->addBytes(
                    std::min<uint64_t>(kMatchChunk, job.size - std::min(job.size, first)));
            }
            if (--state.chunksLeft == 0) {
                results[item.job] = encodeParsed(state.text.data(), state.text.size(), state.table);
                std::vector<uint8_t>().swap(state.text);
                std::vector<uint8_t>().swap(state.table.length);
                std::vector<uint16_t>().swap(state.table.distance);
                if (progress) progress->fileDone();
            }
        }
    };

    if (threads <= 1 || items.size() <= 1) {
        worker();
    } else {
        std::vector<std::thread> pool;
        const std::size_t n = std::min<std::size_t>(threads, items.size());
        for (std::size_t t = 0; t < n; ++t) pool.emplace_back(worker);
        for (std::thread& t : pool) t.join();
    }
    for (const StreamState& state : states)
        if (state.error) std::rethrow_exception(state.error);
    return results;
}

}  // namespace kestrova::kpack
