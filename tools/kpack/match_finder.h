#pragma once
// The longest match at every position of a stream, for the encoder's
// optimal parse.
//
// The encoder searches a "window text": the format's kRingStart preset
// spaces (what the decoder's ring holds before the first decoded byte)
// followed by the data. A match at text position j may start at any earlier
// position s with j - s <= kRingSize: the decoder then finds the bytes in
// its ring, including the case s + k >= j, where a match overlaps the bytes
// it writes.
//
// Matches are found with a binary search tree of the positions in the
// window (insertion at the root, as the LZMA match finders do), which finds
// the true longest match, not merely a good one, at a cost of a few tree
// levels per position on real data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/format.h"

namespace kestrova::kpack {

// Data positions are searched in chunks of this size; each chunk needs only
// the kRingSize bytes before it, so the chunks of one stream can be searched
// on different threads. The result does not depend on how the chunks are
// shared out, only on this constant.
constexpr std::size_t kMatchChunk = 512 * 1024;

// The longest match at each data position: length 0 when there is none of
// at least kMinMatch bytes, else kMinMatch..kMaxMatch; distance 1..kRingSize
// bytes back in the window text.
struct MatchTable {
    std::vector<uint8_t> length;
    std::vector<uint16_t> distance;
    void resize(std::size_t dataSize) {
        length.assign(dataSize, 0);
        distance.assign(dataSize, 0);
    }
};

// Number of chunks of a stream of dataSize bytes (at least 1).
std::size_t matchChunkCount(std::size_t dataSize);

// Returns the window text for data: kRingStart spaces, then the data.
std::vector<uint8_t> makeWindowText(const uint8_t* data, std::size_t size);

// A search tree over the window, reused from chunk to chunk (and stream to
// stream) by one thread; not shared between threads.
class MatchFinder {
  public:
    MatchFinder();

    // Fills table entries [chunk * kMatchChunk, ...) for the chunk-th chunk
    // of the data in text (a window text of textSize bytes; table sized for
    // textSize - kRingStart data bytes). Never fails.
    void findChunk(const uint8_t* text, std::size_t textSize, std::size_t chunk, MatchTable& table);

  private:
    // Inserts text position p into the tree; returns the longest match
    // length found (0..limit) and its distance in *delta.
    uint32_t insert(const uint8_t* text, std::size_t p, uint32_t limit, uint32_t* delta);

    std::vector<uint32_t> head_;  // newest stamp per hash of three bytes
    std::vector<uint32_t> son_;   // two children per window slot
    uint32_t stampOffset_ = 0;    // stamp of text position p: stampOffset_ + p
    uint32_t nextStamp_;          // first stamp free for the next run
    uint32_t slot_ = 0;           // window slot of the position being inserted
};

}  // namespace kestrova::kpack
