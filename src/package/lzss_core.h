#pragma once
// The one LZSS decoding loop, shared by the file decoder (decodeStream) and
// the in-memory decoder (lzssDecode). Internal to src/package.
//
// Instead of a separate 4096-byte ring, the decoded output itself serves as
// the window: the byte at ring position p is the last byte decoded while the
// write position was p, so a match at ring position p starts `distance`
// bytes back in the output, where distance (1..4096) is how far the write
// position has moved since then. Bytes before the first decoded byte are the
// ring's preset spaces. This gives the same output as a ring decoder whose
// whole ring starts as spaces, with one store per byte instead of two and a
// plain copy for most matches.
//
// A source hands out its input in blocks [next, end) and refills from its
// file; a sink holds the output window and drains it (writes it out or
// grows it) whenever the write position passes its limit, which always
// leaves room for one more item. Groups of eight items whose input lies
// wholly in the current block are decoded without any input bounds check,
// and without output checks when the whole group fits before the limit;
// only a group near the end of a block reads byte by byte.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "package/format.h"

namespace kestrova::lzss {

constexpr uint32_t kRingMask = format::kRingSize - 1;
// One group: its flag byte and eight matches of two bytes.
constexpr std::ptrdiff_t kMaxGroupInput = 1 + 8 * 2;
// Output of one group: eight matches of the longest length.
constexpr std::ptrdiff_t kMaxGroupOutput = 8 * format::kMaxMatch;
// Matches are copied in whole machine words where they may be.
constexpr std::size_t kWord = sizeof(std::uintptr_t);
// Room a sink keeps after its limit: one item's output, rounded up to whole
// words, which is also the width of the fixed-size copy below.
constexpr std::size_t kItemRoom = (format::kMaxMatch + kWord - 1) / kWord * kWord;

// The next input byte, or -1 at the end of the stream.
template <class Source>
inline int takeByte(Source& in) {
    if (in.next == in.end && !in.refill()) return -1;
    return *in.next++;
}

// A match that reaches before the first decoded byte: its first `before`
// bytes are preset spaces, the rest come from the output from its start.
inline uint8_t* copyFromPreset(uint8_t* cur, const uint8_t* start, std::size_t before,
                               std::size_t length) {
    for (std::size_t k = 0; k < length; ++k)
        cur[k] = k < before ? format::kRingFill : start[k - before];
    return cur + length;
}

// Emits the match (b1, b2) at cur and returns the new write position.
// Needs kItemRoom bytes of room at cur; [start, cur) is the decoded output
// held, and phase the ring position of *start.
inline uint8_t* copyMatch(uint8_t* cur, const uint8_t* start, uint32_t phase, unsigned b1,
                          unsigned b2) {
    const uint32_t position = b1 | ((b2 & 0xF0u) << 4);
    const std::size_t length = (b2 & 0x0Fu) + format::kMinMatch;
    const uint32_t writePosition = (phase + static_cast<uint32_t>(cur - start)) & kRingMask;
    // A match at the write position itself refers to the byte written 4096
    // bytes ago, hence 1..4096 rather than 0..4095.
    const std::size_t distance = ((writePosition - position - 1) & kRingMask) + 1;
    const std::size_t held = static_cast<std::size_t>(cur - start);
    if (distance > held) return copyFromPreset(cur, start, distance - held, length);
    const uint8_t* from = cur - distance;
    if (distance >= kItemRoom) {
        // Source and target cannot overlap, and the room after cur allows a
        // fixed-size copy; the bytes beyond `length` are overwritten later.
        std::memcpy(cur, from, kItemRoom);
    } else if (distance >= kWord) {
        // Each word's source ends where its target begins or before, so it
        // reads only bytes already written (by an earlier word of this
        // match too), exactly the bytes a byte-by-byte copy would read. The
        // last word may pass `length`; the room after cur takes that.
        for (std::size_t k = 0; k < length; k += kWord) {
            std::uintptr_t word;
            std::memcpy(&word, from + k, kWord);
            std::memcpy(cur + k, &word, kWord);
        }
    } else {
        // Overlapping within a word: each byte must be stored before it is
        // read again.
        for (std::size_t k = 0; k < length; ++k) cur[k] = from[k];
    }
    return cur + length;
}

// Decodes the whole stream from `in` into `out`. False only when the sink
// failed to drain (a failed write); the end of the input, also in the middle
// of an item, ends decoding normally, and an item cut short emits nothing.
template <class Source, class Sink>
bool decode(Source& in, Sink& out) {
    uint8_t* cur = out.cur;
    const uint8_t* start = out.start;
    const uint8_t* limit = out.limit;
    uint32_t phase = out.phase;
    // After every item: past the sink's limit means drain.
    auto drainIfFull = [&]() -> bool {
        if (cur <= limit) return true;
        out.cur = cur;
        if (!out.drain()) return false;
        cur = out.cur;
        start = out.start;
        limit = out.limit;
        phase = out.phase;
        return true;
    };

    for (;;) {
        if (in.end - in.next >= kMaxGroupInput) {
            const uint8_t* p = in.next;
            unsigned flags = *p++;
            if (limit - cur >= kMaxGroupOutput) {
                // No item of this group can pass the limit: no checks at all.
                if (flags == 0xFFu) {
                    std::memcpy(cur, p, 8);
                    cur += 8;
                    p += 8;
                } else {
                    for (int item = 0; item < 8; ++item, flags >>= 1) {
                        if (flags & 1u) {
                            *cur++ = *p++;
                        } else {
                            cur = copyMatch(cur, start, phase, p[0], p[1]);
                            p += 2;
                        }
                    }
                }
            } else {
                for (int item = 0; item < 8; ++item, flags >>= 1) {
                    if (flags & 1u) {
                        *cur++ = *p++;
                    } else {
                        cur = copyMatch(cur, start, phase, p[0], p[1]);
                        p += 2;
                    }
                    if (!drainIfFull()) return false;
                }
            }
            in.next = p;
            continue;
        }

        // Near the end of the block (or of the stream): byte by byte.
        int c = takeByte(in);
        if (c < 0) break;
        unsigned flags = static_cast<unsigned>(c);
        bool ended = false;
        for (int item = 0; item < 8; ++item, flags >>= 1) {
            if (flags & 1u) {
                c = takeByte(in);
                if (c < 0) {
                    ended = true;
                    break;
                }
                *cur++ = static_cast<uint8_t>(c);
            } else {
                int b1 = takeByte(in);
                int b2 = b1 < 0 ? -1 : takeByte(in);
                if (b2 < 0) {
                    ended = true;
                    break;
                }
                cur = copyMatch(cur, start, phase, static_cast<unsigned>(b1),
                                static_cast<unsigned>(b2));
            }
            if (!drainIfFull()) return false;
        }
        if (ended) break;
    }
    out.cur = cur;
    return true;
}

}  // namespace kestrova::lzss
