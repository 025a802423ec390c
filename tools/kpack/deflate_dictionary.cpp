#include "deflate_dictionary.h"

#include <algorithm>

#include "deflate_encoder.h"
#include "package/format.h"

namespace kestrova::kpack {

std::vector<uint8_t> buildDictionary(const std::vector<std::vector<uint8_t>>& samples) {
    std::vector<const std::vector<uint8_t>*> candidates;
    for (const std::vector<uint8_t>& s : samples) {
        if (s.size() < kDictionarySample) continue;
        if (deflateEncode(s.data(), s.size()).size() * 3 <= s.size() * 2) candidates.push_back(&s);
    }
    std::vector<uint8_t> dictionary;
    // A sample for every four files that could use it: a few files gain
    // less from each sample than it costs, many fill deflate's window.
    const std::size_t room = std::min<std::size_t>(format::kMaxDictionary / kDictionarySample,
                                                   std::max<std::size_t>(1, candidates.size() / 4));
    // Twice as many picks as there is room for, so that left-out samples
    // leave room for others from all over the package.
    const std::size_t step = std::max<std::size_t>(1, candidates.size() / (2 * room));
    for (std::size_t i = 0; i < candidates.size(); i += step) {
        const std::vector<uint8_t>& s = *candidates[i];
        if (dictionary.size() + s.size() > room * kDictionarySample) break;
        // Most of it there already: it would only push other samples out.
        if (!dictionary.empty() &&
            deflateEncode(s.data(), s.size(), dictionary.data(), dictionary.size()).size() * 4 <
                s.size())
            continue;
        dictionary.insert(dictionary.end(), s.begin(), s.end());
    }
    return dictionary;
}

void settleDictionary(std::vector<PackedStream>& streams, std::vector<uint8_t>& dictionary) {
    uint64_t saved = 0;
    for (const PackedStream& s : streams)
        if (s.codec == format::StreamCodec::DeflateDictionary)
            saved += s.plainBytes.size() - s.bytes.size();
    if (saved > dictionary.size()) return;
    for (PackedStream& s : streams) {
        if (s.codec != format::StreamCodec::DeflateDictionary) continue;
        s.codec = s.plainCodec;
        s.bytes = std::move(s.plainBytes);
    }
    dictionary.clear();
}

}  // namespace kestrova::kpack
