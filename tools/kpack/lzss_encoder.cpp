#include "lzss_encoder.h"

#include <cstring>
#include <limits>

namespace kestrova::kpack {
namespace {

using format::kMaxMatch;
using format::kMinMatch;
using format::kRingSize;
using format::kRingStart;

constexpr uint64_t kLiteralBits = 9;
constexpr uint64_t kMatchBits = 17;

// Costs are kept for the positions an item can still reach: the current one
// and the kMaxMatch after it.
constexpr std::size_t kCostRing = 32;
static_assert(kCostRing > kMaxMatch, "the cost ring must span one item");

// Writes items and their flag bytes, eight items per flag byte, lowest bit
// first, 1 for a literal.
class ItemWriter {
  public:
    explicit ItemWriter(std::vector<uint8_t>& out) : out_(out) {}
    void literal(uint8_t c) {
        startItem();
        out_[flagAt_] |= static_cast<uint8_t>(1u << bit_);
        out_.push_back(c);
        ++bit_;
    }
    void match(uint32_t ringPosition, uint32_t length) {
        startItem();
        out_.push_back(static_cast<uint8_t>(ringPosition & 0xFF));
        out_.push_back(static_cast<uint8_t>(((ringPosition >> 4) & 0xF0) | (length - kMinMatch)));
        ++bit_;
    }

  private:
    void startItem() {
        if (bit_ < 8) return;
        flagAt_ = out_.size();
        out_.push_back(0);
        bit_ = 0;
    }
    std::vector<uint8_t>& out_;
    std::size_t flagAt_ = 0;
    unsigned bit_ = 8;
};

}  // namespace

std::vector<uint8_t> encodeParsed(const uint8_t* text, std::size_t textSize, MatchTable& table) {
    const std::size_t n = textSize - kRingStart;
    std::vector<uint8_t> out;
    if (n == 0) return out;

    // Shortest path from position 0 to n: step[j] is the length of the last
    // item on the best path to j (1 for a literal).
    std::vector<uint8_t> step(n + 1, 0);
    constexpr uint64_t kUnreached = std::numeric_limits<uint64_t>::max();
    uint64_t cost[kCostRing];
    for (uint64_t& c : cost) c = kUnreached;
    cost[0] = 0;
    for (std::size_t i = 0; i < n; ++i) {
        // Position i + kMaxMatch is first reached from i.
        cost[(i + kMaxMatch) % kCostRing] = kUnreached;
        const uint64_t here = cost[i % kCostRing];
        // Strict comparisons keep the first (longest) item that reaches a
        // position at the lowest cost: fewer items decode faster.
        uint64_t& next = cost[(i + 1) % kCostRing];
        if (here + kLiteralBits < next) {
            next = here + kLiteralBits;
            step[i + 1] = 1;
        }
        const uint32_t longest = table.length[i];
        for (uint32_t len = kMinMatch; len <= longest; ++len) {
            uint64_t& target = cost[(i + len) % kCostRing];
            if (here + kMatchBits < target) {
                target = here + kMatchBits;
                step[i + len] = static_cast<uint8_t>(len);
            }
        }
    }

    // Walk the path back, leaving the chosen item length at each item's
    // start (table.length is no longer needed as the longest match).
    for (std::size_t j = n; j > 0;) {
        const uint8_t len = step[j];
        j -= len;
        table.length[j] = len;
    }

    out.reserve(n + n / 8 + 16);
    ItemWriter writer(out);
    for (std::size_t i = 0; i < n;) {
        const uint32_t len = table.length[i];
        if (len == 1) {
            writer.literal(text[kRingStart + i]);
        } else {
            // The source's ring position: text position = ring position
            // modulo the ring size, since the text starts at ring position 0.
            const std::size_t source = kRingStart + i - table.distance[i];
            writer.match(static_cast<uint32_t>(source % kRingSize), len);
        }
        i += len;
    }
    return out;
}

std::vector<uint8_t> lzssEncode(const uint8_t* data, std::size_t size) {
    std::vector<uint8_t> text = makeWindowText(data, size);
    MatchTable table;
    table.resize(size);
    MatchFinder finder;
    const std::size_t chunks = matchChunkCount(size);
    for (std::size_t c = 0; c < chunks; ++c) finder.findChunk(text.data(), text.size(), c, table);
    return encodeParsed(text.data(), text.size(), table);
}

}  // namespace kestrova::kpack
