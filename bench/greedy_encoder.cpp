#include "greedy_encoder.h"

#include <cstring>
#include <memory>

#include "package/format.h"

namespace kestrova::bench {
namespace {

constexpr int kRing = format::kRingSize;
constexpr int kLookAhead = format::kMaxMatch;
constexpr int kThreshold = format::kMinMatch - 1;  // shorter matches are sent as literals
constexpr int kNil = kRing;                        // the tree's "no node"

// The ring, its first kLookAhead - 1 bytes repeated after its end so that
// a string can be compared without wrapping, and a tree per first byte.
class Encoder {
  public:
    std::vector<uint8_t> run(const uint8_t* in, std::size_t size) {
        std::vector<uint8_t> out;
        out.reserve(size + size / 8 + 16);
        for (int i = kRing + 1; i <= kRing + 256; ++i) right_[i] = kNil;
        for (int i = 0; i < kRing; ++i) parent_[i] = kNil;

        uint8_t code[17];
        int codeLength = 1;
        unsigned mask = 1;
        code[0] = 0;
        int s = 0, r = kRing - kLookAhead;
        std::memset(text_, format::kRingFill, r);
        std::size_t at = 0;
        int len = 0;
        for (; len < kLookAhead && at < size; ++len) text_[r + len] = in[at++];
        if (len == 0) return out;
        for (int i = 1; i <= kLookAhead; ++i) insert(r - i);
        insert(r);
        do {
            if (matchLength_ > len) matchLength_ = len;
            if (matchLength_ <= kThreshold) {
                matchLength_ = 1;
                code[0] |= mask;
                code[codeLength++] = text_[r];
            } else {
                code[codeLength++] = static_cast<uint8_t>(matchPosition_);
                code[codeLength++] = static_cast<uint8_t>(((matchPosition_ >> 4) & 0xF0) |
                                                          (matchLength_ - (kThreshold + 1)));
            }
            if ((mask = (mask << 1) & 0xFF) == 0) {
                out.insert(out.end(), code, code + codeLength);
                code[0] = 0;
                codeLength = 1;
                mask = 1;
            }
            const int last = matchLength_;
            int i = 0;
            for (; i < last && at < size; ++i) {
                const uint8_t c = in[at++];
                remove(s);
                text_[s] = c;
                if (s < kLookAhead - 1) text_[s + kRing] = c;
                s = (s + 1) & (kRing - 1);
                r = (r + 1) & (kRing - 1);
                insert(r);
            }
            while (i++ < last) {
                remove(s);
                s = (s + 1) & (kRing - 1);
                r = (r + 1) & (kRing - 1);
                if (--len) insert(r);
            }
        } while (len > 0);
        if (codeLength > 1) out.insert(out.end(), code, code + codeLength);
        return out;
    }

  private:
    void insert(int r) {
        int cmp = 1;
        const uint8_t* key = &text_[r];
        int p = kRing + 1 + key[0];
        right_[r] = left_[r] = kNil;
        matchLength_ = 0;
        for (;;) {
            if (cmp >= 0) {
                if (right_[p] != kNil) {
                    p = right_[p];
                } else {
                    right_[p] = r;
                    parent_[r] = p;
                    return;
                }
            } else {
                if (left_[p] != kNil) {
                    p = left_[p];
                } else {
                    left_[p] = r;
                    parent_[r] = p;
                    return;
                }
            }
            int i = 1;
            for (; i < kLookAhead; ++i)
                if ((cmp = key[i] - text_[p + i]) != 0) break;
            if (i > matchLength_) {
                matchPosition_ = p;
                if ((matchLength_ = i) >= kLookAhead) break;
            }
        }
        // An equal string: the new node takes the old one's place.
        parent_[r] = parent_[p];
        left_[r] = left_[p];
        right_[r] = right_[p];
        parent_[left_[p]] = r;
        parent_[right_[p]] = r;
        if (right_[parent_[p]] == p) {
            right_[parent_[p]] = r;
        } else {
            left_[parent_[p]] = r;
        }
        parent_[p] = kNil;
    }

    void remove(int p) {
        if (parent_[p] == kNil) return;
        int q;
        if (right_[p] == kNil) {
            q = left_[p];
        } else if (left_[p] == kNil) {
            q = right_[p];
        } else {
            q = left_[p];
            if (right_[q] != kNil) {
                do q = right_[q];
                while (right_[q] != kNil);
                right_[parent_[q]] = left_[q];
                parent_[left_[q]] = parent_[q];
                left_[q] = left_[p];
                parent_[left_[p]] = q;
            }
            right_[q] = right_[p];
            parent_[right_[p]] = q;
        }
        parent_[q] = parent_[p];
        if (right_[parent_[p]] == p) {
            right_[parent_[p]] = q;
        } else {
            left_[parent_[p]] = q;
        }
        parent_[p] = kNil;
    }

    uint8_t text_[kRing + kLookAhead - 1] = {};
    int left_[kRing + 1] = {};
    int right_[kRing + 257] = {};
    int parent_[kRing + 1] = {};
    int matchPosition_ = 0;
    int matchLength_ = 0;
};

}  // namespace

std::vector<uint8_t> greedyEncode(const uint8_t* data, std::size_t size) {
    auto encoder = std::make_unique<Encoder>();
    return encoder->run(data, size);
}

}  // namespace kestrova::bench
