#include "compressor.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "deflate_encoder.h"
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

PackedStream chooseCodec(const uint8_t* data, std::size_t size, std::vector<uint8_t> lzss,
                         bool tryDeflate, const std::vector<uint8_t>* dictionary) {
    PackedStream best;
    best.bytes = std::move(lzss);
    if (tryDeflate) {
        std::vector<uint8_t> deflated = deflateEncode(data, size);
        if (deflated.size() < best.bytes.size()) {
            best.codec = format::StreamCodec::Deflate;
            best.bytes = std::move(deflated);
        }
    }
    // Data that no codec makes smaller (zip, jpg, ogg...) is stored as it
    // is: LZSS alone would spend 9 bits on each of its bytes. An empty
    // stream is the same in every codec and keeps the default.
    if (size > 0 && size <= best.bytes.size()) {
        best.codec = format::StreamCodec::Stored;
        best.bytes.assign(data, data + size);
    }
    // A small file that nothing makes smaller alone may still share most of
    // its words with the dictionary; a large one that nothing compresses
    // is not worth the time.
    constexpr std::size_t kLargeStored = 64 * 1024;
    if (tryDeflate && dictionary && !dictionary->empty() && size > 0 &&
        (best.codec != format::StreamCodec::Stored || size <= kLargeStored)) {
        std::vector<uint8_t> primed =
            deflateEncode(data, size, dictionary->data(), dictionary->size());
        if (primed.size() < best.bytes.size()) {
            best.plainCodec = best.codec;
            best.plainBytes = std::move(best.bytes);
            best.codec = format::StreamCodec::DeflateDictionary;
            best.bytes = std::move(primed);
        }
    }
    return best;
}

unsigned defaultThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

std::vector<PackedStream> compressAll(const std::vector<CompressJob>& jobs, unsigned threads,
                                      Progress* progress, bool tryDeflate,
                                      const std::vector<uint8_t>* dictionary) {
    std::vector<PackedStream> results(jobs.size());
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
                const uint8_t* data = state.text.data() + format::kRingStart;
                results[item.job] =
                    chooseCodec(data, static_cast<std::size_t>(job.size),
                                encodeParsed(state.text.data(), state.text.size(), state.table),
                                tryDeflate, dictionary);
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
