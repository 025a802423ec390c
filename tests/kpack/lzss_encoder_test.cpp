// The encoder against the project's decoder, and its parse against the
// shortest one the format allows.
#include "lzss_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "kpack_fixture.h"
#include "package/lzss_decoder.h"

using namespace kestrova;
using namespace kestrova::kpack;

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

void expectRoundTrip(const std::vector<uint8_t>& data) {
    const std::vector<uint8_t> packed = lzssEncode(data.data(), data.size());
    const std::vector<uint8_t> back = lzssDecode(packed.data(), packed.size());
    ASSERT_EQ(data.size(), back.size());
    EXPECT_TRUE(data == back) << "round trip differs for " << data.size() << " bytes";
}

std::vector<uint8_t> randomBytes(std::size_t n, unsigned alphabet, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(rng() % alphabet);
    return v;
}

// Text with words that repeat at all distances, as real files do.
std::vector<uint8_t> wordText(std::size_t n, unsigned seed) {
    static const char* words[] = {"setup ",    "install ", "folder ",  "the ", "of ",       "file ",
                                  "kestrova ", "\r\n",     "program ", "a ",   "registry ", "=1 "};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n) s += words[rng() % 12];
    s.resize(n);
    return bytesOf(s);
}

// The longest match at text position j by brute force over the window.
unsigned naiveLongest(const std::vector<uint8_t>& text, std::size_t j) {
    const std::size_t limit = std::min<std::size_t>(format::kMaxMatch, text.size() - j);
    const std::size_t from = j >= format::kRingSize ? j - format::kRingSize : 0;
    unsigned best = 0;
    for (std::size_t s = from; s < j; ++s) {
        unsigned len = 0;
        while (len < limit && text[s + len] == text[j + len]) ++len;
        best = std::max(best, len);
    }
    return best < format::kMinMatch ? 0 : best;
}

void expectTableExact(const std::vector<uint8_t>& text, const MatchTable& table, std::size_t from,
                      std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        const std::size_t j = format::kRingStart + i;
        ASSERT_EQ(naiveLongest(text, j), table.length[i]) << "at data position " << i;
        if (table.length[i]) {
            const std::size_t s = j - table.distance[i];
            ASSERT_TRUE(
                std::equal(text.begin() + s, text.begin() + s + table.length[i], text.begin() + j))
                << "distance does not give the match at " << i;
        }
    }
}

MatchTable findAll(const std::vector<uint8_t>& text) {
    MatchTable table;
    const std::size_t n = text.size() - format::kRingStart;
    table.resize(n);
    MatchFinder finder;
    for (std::size_t c = 0; c < matchChunkCount(n); ++c)
        finder.findChunk(text.data(), text.size(), c, table);
    return table;
}

// Size of a greedy parse over the same matches: the longest match whenever
// there is one.
std::size_t greedySize(const MatchTable& table) {
    std::size_t bytes = 0, items = 0;
    for (std::size_t i = 0; i < table.length.size(); ++items) {
        if (table.length[i]) {
            bytes += 2;
            i += table.length[i];
        } else {
            bytes += 1;
            i += 1;
        }
    }
    return bytes + (items + 7) / 8;
}

}  // namespace

TEST(LzssEncoder, RoundTripsAtTheWindowEdges) {
    expectRoundTrip({});
    expectRoundTrip({0x41});
    for (std::size_t n : {17u, 18u, 19u, 4077u, 4078u, 4095u, 4096u, 4097u, 8192u + 18u})
        expectRoundTrip(randomBytes(n, 4, static_cast<unsigned>(n)));
    EXPECT_TRUE(lzssEncode(nullptr, 0).empty());
}

TEST(LzssEncoder, RoundTripsRunsSpacesAndRandomData) {
    expectRoundTrip(std::vector<uint8_t>(100000, 0));
    expectRoundTrip(std::vector<uint8_t>(50000, ' '));  // matches into the preset spaces
    std::vector<uint8_t> mixed(20000, ' ');
    for (std::size_t i = 0; i < mixed.size(); i += 37) mixed[i] = 'x';
    expectRoundTrip(mixed);
    expectRoundTrip(randomBytes(300000, 256, 7));
    expectRoundTrip(randomBytes(70000, 2, 8));
}

TEST(LzssEncoder, RoundTripsAcrossSearchChunks) {
    // Long enough for three chunks, with matches that reach back over each
    // chunk boundary.
    expectRoundTrip(wordText(2 * kMatchChunk + 12345, 3));
}

TEST(LzssEncoder, RoundTripsARealExecutable) {
    const std::vector<uint8_t> program = test::readWholeFile(test::ownExecutable());
    ASSERT_GT(program.size(), 10000u);
    expectRoundTrip(program);
}

TEST(LzssEncoder, OverlappingMatchGivesTheShortestStream) {
    // Two literals, then one match at ring position 4078 that repeats them
    // over the bytes it writes: the smallest encoding of the eight letters.
    const std::vector<uint8_t> data = bytesOf("abababab");
    const std::vector<uint8_t> expected = {0x03, 'a', 'b', 0xEE, 0xF3};
    EXPECT_EQ(expected, lzssEncode(data.data(), data.size()));
    // Three spaces come from the preset ring: one flag byte and one match.
    const std::vector<uint8_t> spaces = bytesOf("   ");
    EXPECT_EQ(3u, lzssEncode(spaces.data(), spaces.size()).size());
}

TEST(LzssEncoder, FindsTheTrueLongestMatchEverywhere) {
    std::vector<uint8_t> data = randomBytes(6000, 3, 11);
    const std::vector<uint8_t> words = wordText(3000, 12);
    data.insert(data.end(), words.begin(), words.end());
    const std::vector<uint8_t> text = makeWindowText(data.data(), data.size());
    expectTableExact(text, findAll(text), 0, data.size());

    // Around a chunk boundary, where the search starts over with a lead-in.
    const std::vector<uint8_t> big = wordText(kMatchChunk + 5000, 13);
    const std::vector<uint8_t> bigText = makeWindowText(big.data(), big.size());
    expectTableExact(bigText, findAll(bigText), kMatchChunk - 300, kMatchChunk + 300);
}

TEST(LzssEncoder, OptimalParseBeatsGreedyAndIsReproducible) {
    const std::vector<uint8_t> data = wordText(200000, 21);
    const std::vector<uint8_t> text = makeWindowText(data.data(), data.size());
    MatchTable table = findAll(text);
    const std::size_t greedy = greedySize(table);
    const std::vector<uint8_t> optimal = encodeParsed(text.data(), text.size(), table);
    EXPECT_LT(optimal.size(), greedy);
    EXPECT_EQ(optimal, lzssEncode(data.data(), data.size()));
    const std::vector<uint8_t> back = lzssDecode(optimal.data(), optimal.size());
    EXPECT_TRUE(back == data);
}
