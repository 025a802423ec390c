#include "match_finder.h"

#include <algorithm>
#include <cstring>

namespace kestrova::kpack {
namespace {

using format::kMaxMatch;
using format::kMinMatch;
using format::kRingSize;
using format::kRingStart;

// One slot per position a match can reach back to (distances 1..kRingSize)
// plus the position being inserted.
constexpr uint32_t kWindowSlots = kRingSize + 1;

constexpr int kHashBits = 16;

inline uint32_t hash3(const uint8_t* p) {
    const uint32_t v = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

std::size_t matchChunkCount(std::size_t dataSize) {
    return dataSize == 0 ? 1 : (dataSize + kMatchChunk - 1) / kMatchChunk;
}

std::vector<uint8_t> makeWindowText(const uint8_t* data, std::size_t size) {
    std::vector<uint8_t> text(kRingStart + size, format::kRingFill);
    if (size) std::memcpy(text.data() + kRingStart, data, size);
    return text;
}

// Stamps identify positions in the tree. Stamp 0 is "no node"; every run
// (one chunk with its lead-in) gets stamps at least kWindowSlots above those
// of the run before, so nodes left over from an earlier run, or from an
// earlier stream, are always out of reach and the tables never need clearing.
MatchFinder::MatchFinder()
    : head_(std::size_t(1) << kHashBits, 0), son_(2 * kWindowSlots, 0), nextStamp_(kWindowSlots) {}

uint32_t MatchFinder::insert(const uint8_t* text, std::size_t p, uint32_t limit, uint32_t* delta) {
    const uint8_t* cur = text + p;
    const uint32_t stamp = stampOffset_ + static_cast<uint32_t>(p);
    const uint32_t h = hash3(cur);
    uint32_t candidate = head_[h];
    head_[h] = stamp;

    // The new position becomes the root of its hash bucket's tree; the old
    // tree is split into the part below and the part above the new string.
    uint32_t* below = &son_[2 * slot_];      // where the next smaller node hangs
    uint32_t* above = &son_[2 * slot_ + 1];  // where the next larger node hangs
    uint32_t lenBelow = 0, lenAbove = 0, best = 0;
    for (;;) {
        const uint32_t back = stamp - candidate;  // wraps to a huge value for stale stamps
        if (candidate == 0 || back >= kWindowSlots) {
            *below = *above = 0;
            break;
        }
        const uint32_t pairSlot = slot_ >= back ? slot_ - back : slot_ + kWindowSlots - back;
        uint32_t* pair = &son_[2 * pairSlot];
        const uint8_t* pb = cur - back;
        // Every node in this subtree shares at least min(lenBelow, lenAbove)
        // leading bytes with the new string.
        uint32_t len = std::min(lenBelow, lenAbove);
        if (pb[len] == cur[len]) {
            while (++len < limit && pb[len] == cur[len]) {
            }
            if (len > best) {
                best = len;
                *delta = back;
                if (len == limit) {
                    // Equal up to the limit: the new node replaces the old
                    // one, which is farther away and no better.
                    *below = pair[0];
                    *above = pair[1];
                    break;
                }
            }
        }
        if (pb[len] < cur[len]) {
            *below = candidate;
            below = pair + 1;
            candidate = *below;
            lenBelow = len;
        } else {
            *above = candidate;
            above = pair;
            candidate = *above;
            lenAbove = len;
        }
    }
    return best;
}

void MatchFinder::findChunk(const uint8_t* text, std::size_t textSize, std::size_t chunk,
                            MatchTable& table) {
    const std::size_t dataSize = textSize - kRingStart;
    const std::size_t first = kRingStart + std::min(dataSize, chunk * kMatchChunk);
    const std::size_t last = kRingStart + std::min(dataSize, (chunk + 1) * kMatchChunk);
    // The lead-in: the positions a match in this chunk may reach back to.
    const std::size_t leadIn = first >= kRingSize ? first - kRingSize : 0;

    // Fresh stamps for this run; start over when they would overflow.
    if (uint64_t(nextStamp_) + (last - leadIn) + 2 * kWindowSlots >= UINT32_MAX) {
        std::fill(head_.begin(), head_.end(), 0);
        nextStamp_ = kWindowSlots;
    }
    stampOffset_ = nextStamp_ - static_cast<uint32_t>(leadIn);
    slot_ = nextStamp_ % kWindowSlots;
    nextStamp_ = stampOffset_ + static_cast<uint32_t>(last) + kWindowSlots;

    for (std::size_t p = leadIn; p < last; ++p) {
        const uint32_t limit =
            static_cast<uint32_t>(std::min<std::size_t>(kMaxMatch, textSize - p));
        uint32_t delta = 0, len = 0;
        // Fewer than kMinMatch bytes left: no match can start here or later.
        if (limit >= static_cast<uint32_t>(kMinMatch)) len = insert(text, p, limit, &delta);
        if (p >= first) {
            const std::size_t i = p - kRingStart;
            if (len >= static_cast<uint32_t>(kMinMatch)) {
                table.length[i] = static_cast<uint8_t>(len);
                table.distance[i] = static_cast<uint16_t>(delta);
            } else {
                table.length[i] = 0;
            }
        }
        if (++slot_ == kWindowSlots) slot_ = 0;
    }
}

}  // namespace kestrova::kpack
