// The stream decoder: known vectors, buffer boundaries, streams that end
// early, failures to create or write the output, agreement between the
// file decoder, the in-memory decoder and a plain ring decoder, and the
// stored and deflate codecs.
#include "package/lzss_decoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "gbk.h"
#include "resources/texts.h"

namespace kestrova {
namespace {

using test::FakePlatform;
using Bytes = std::vector<uint8_t>;

const char kPackage[] = "C:\\Downloads\\setup.exe";
const char kOutput[] = "C:\\TEMP\\out.bin";

// The decoder as the format describes it, one byte at a time through a
// 4096-byte ring that starts as spaces: the reference for the fast one.
Bytes ringDecode(const Bytes& in) {
    uint8_t ring[4096];
    std::fill(ring, ring + 4096, ' ');
    unsigned r = 4078, flags = 0;
    std::size_t at = 0;
    Bytes out;
    for (;;) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            if (at == in.size()) break;
            flags = in[at++] | 0xFF00;
        }
        if (flags & 1) {
            if (at == in.size()) break;
            out.push_back(ring[r] = in[at++]);
            r = (r + 1) & 4095;
        } else {
            if (in.size() - at < 2) break;
            unsigned position = in[at] | ((in[at + 1] & 0xF0) << 4);
            unsigned length = (in[at + 1] & 0x0F) + 3;
            at += 2;
            for (unsigned k = 0; k < length; ++k) {
                uint8_t c = ring[(position + k) & 4095];
                out.push_back(ring[r] = c);
                r = (r + 1) & 4095;
            }
        }
    }
    return out;
}

// A stream of literals only: a flag byte of ones before every eight bytes.
Bytes literalStream(const Bytes& text) {
    Bytes out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 8 == 0) out.push_back(0xFF);
        out.push_back(text[i]);
    }
    return out;
}

Bytes patternBytes(std::size_t n) {
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>('a' + (i * 7 + i / 13) % 26);
    return out;
}

// Random compressed streams: any byte sequence is a valid stream. literalBias
// is the chance of a set flag bit, so matches (and the ring) are exercised
// in varying proportions.
Bytes randomStream(std::mt19937& rng, std::size_t n, double literalBias) {
    std::bernoulli_distribution bit(literalBias);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes out;
    while (out.size() < n) {
        unsigned flags = 0;
        for (int i = 0; i < 8; ++i) flags |= bit(rng) ? 1u << i : 0u;
        out.push_back(static_cast<uint8_t>(flags));
        for (int i = 0; i < 8 && out.size() < n; ++i) {
            out.push_back(static_cast<uint8_t>(byte(rng)));
            if (!(flags & (1u << i))) out.push_back(static_cast<uint8_t>(byte(rng)));
        }
    }
    out.resize(n);
    return out;
}

std::string text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}
Bytes bytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

class DecoderTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    SetupState state;
    LzssDecoder decoder{platform, state, platform.user()};

    // Puts the streams into a package file after `lead` bytes of filler and
    // returns their offsets.
    std::vector<int32_t> writePackage(const std::vector<Bytes>& streams, std::size_t lead = 100) {
        std::string file(lead, '\x5A');
        std::vector<int32_t> offsets;
        for (const Bytes& s : streams) {
            offsets.push_back(static_cast<int32_t>(file.size()));
            file += text(s);
        }
        file += "TRAILING BYTES THAT NO STREAM OWNS";
        platform.writeFile(kPackage, file);
        return offsets;
    }

    // Decodes one stream through a package file and returns the output file.
    std::string decodeFile(const Bytes& stream, bool* result = nullptr) {
        int32_t offset = writePackage({stream})[0];
        File package = platform.openFile(kPackage, FileMode::Read);
        bool ok =
            decoder.decodeStream(&package, kOutput, offset, static_cast<int32_t>(stream.size()));
        if (result) *result = ok;
        return platform.readFile(kOutput);
    }
};

TEST_F(DecoderTest, DecodesKnownVectors) {
    struct Case {
        Bytes stream;
        std::string expected;
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x00}, "   "},  // a match at position 0 in the preset spaces
        {{0x01, 0x41}, "A"},
        {{0x03, 0x61, 0x62, 0xEE, 0xF3}, "abababab"},  // a match overlapping its own output
        {{0xFF, 'x', 'y'}, "xy"},                      // the flag byte promises more than follows
        {{0x01, 'x', 0x05}, "x"},                      // a match cut after its first byte
        {{0x00}, ""},
    };
    for (const Case& c : cases) {
        bool ok = false;
        EXPECT_EQ(c.expected, decodeFile(c.stream, &ok));
        EXPECT_TRUE(ok);
        EXPECT_EQ(c.expected, text(lzssDecode(c.stream.data(), c.stream.size())));
    }
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(DecoderTest, EmptyStreamLeavesPackageUntouched) {
    platform.writeFile(kOutput, "old content");
    writePackage({{0x01, 'A'}});
    File package = platform.openFile(kPackage, FileMode::Read);
    ASSERT_TRUE(package.seek(7));
    EXPECT_TRUE(decoder.decodeStream(&package, kOutput, 100, 0));
    EXPECT_EQ(7, package.tell());
    EXPECT_TRUE(platform.exists(kOutput));
    EXPECT_EQ("", platform.readFile(kOutput));
    EXPECT_TRUE(decoder.decodeStream(&package, kOutput, 100, -5));
    EXPECT_EQ(7, package.tell());
    EXPECT_TRUE(lzssDecode(nullptr, 0).empty());
}

TEST_F(DecoderTest, MissingPackageFileCreatesNothing) {
    EXPECT_FALSE(decoder.decodeStream(nullptr, kOutput, 0, 10));
    File closed;
    EXPECT_FALSE(decoder.decodeStream(&closed, kOutput, 0, 10));
    EXPECT_FALSE(platform.exists(kOutput));
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(DecoderTest, OutputAroundTheFlushThresholdIsExact) {
    // 4096 pending bytes are not yet written, 4097 are; 4114 is the most
    // that can be pending (4096 plus one 18-byte match).
    for (std::size_t n : {4095, 4096, 4097, 4114, 4115, 8193, 20000}) {
        Bytes plain = patternBytes(n);
        EXPECT_EQ(text(plain), decodeFile(literalStream(plain))) << n;
    }
    // 4088 literals, then eight 18-byte matches: the output passes 4096 in
    // the middle of a match.
    Bytes stream = literalStream(patternBytes(4088));
    stream.push_back(0x00);
    for (int i = 0; i < 8; ++i) stream.insert(stream.end(), {static_cast<uint8_t>(i * 16), 0x0F});
    std::string expected = text(ringDecode(stream));
    EXPECT_EQ(4088u + 8 * 18, expected.size());
    EXPECT_EQ(expected, decodeFile(stream));
}

#if defined(__GLIBC__)
// Records the sizes of the writes to output files, through an unbuffered
// stream, so that every write the decoder makes shows as one call.
class CountingPlatform : public FakePlatform {
  public:
    std::vector<std::size_t> writes;
    std::string written;

    File openFile(const char* path, FileMode mode) override {
        if (mode == FileMode::Read) return FakePlatform::openFile(path, mode);
        static cookie_io_functions_t io = {nullptr,
                                           [](void* self, const char* buffer, size_t n) -> ssize_t {
                                               auto* p = static_cast<CountingPlatform*>(self);
                                               p->writes.push_back(n);
                                               p->written.append(buffer, n);
                                               return static_cast<ssize_t>(n);
                                           },
                                           nullptr, nullptr};
        std::FILE* f = fopencookie(this, "wb", io);
        setvbuf(f, nullptr, _IONBF, 0);
        return File(f);
    }
};

TEST(DecoderBlocks, WritesInBlocksOfJustOverFourKilobytes) {
    CountingPlatform platform;
    SetupState state;
    LzssDecoder decoder(platform, state, platform.user());
    // Mostly matches, so the output grows in steps of up to 18 bytes.
    std::mt19937 rng(7);
    Bytes stream = randomStream(rng, 10000, 0.3);
    Bytes expected = ringDecode(stream);
    platform.writeFile(kPackage, std::string(40, 'P') + text(stream) + "NEXT");

    File package = platform.openFile(kPackage, FileMode::Read);
    ASSERT_TRUE(decoder.decodeStream(&package, kOutput, 40, static_cast<int32_t>(stream.size())));
    EXPECT_EQ(text(expected), platform.written);
    ASSERT_GE(platform.writes.size(), 3u);
    for (std::size_t i = 0; i + 1 < platform.writes.size(); ++i) {
        EXPECT_GE(platform.writes[i], 4097u) << i;
        EXPECT_LE(platform.writes[i], 4114u) << i;
    }
    EXPECT_LE(platform.writes.back(), 4114u);
    EXPECT_EQ(40 + static_cast<int64_t>(stream.size()), package.tell());
}

TEST(DecoderFullDisk, FailureFoundAtTheCloseIsReported) {
    FakePlatform platform;
    platform.writesFailAtClose = true;  // a disk that fills up after the bytes left us
    SetupState state;
    LzssDecoder decoder(platform, state, platform.user());
    Bytes stream = literalStream(bytes("short"));
    platform.writeFile(kPackage, text(stream));
    File package = platform.openFile(kPackage, FileMode::Read);
    platform.answers = {kIdYes};
    EXPECT_FALSE(decoder.decodeStream(&package, kOutput, 0, static_cast<int32_t>(stream.size())));
    EXPECT_EQ(1u, platform.messageBoxes.size());
    EXPECT_TRUE(state.installAbandoned);
}
#endif

TEST_F(DecoderTest, StreamsStayWithinTheirBytes) {
    // Back to back: each stream reads exactly its own length.
    Bytes first = literalStream(bytes("first stream"));
    Bytes second = {0x03, 'c', 'd', 0xEE, 0xF0};
    std::vector<int32_t> at = writePackage({first, second});
    File package = platform.openFile(kPackage, FileMode::Read);
    ASSERT_TRUE(decoder.decodeStream(&package, kOutput, at[0], static_cast<int32_t>(first.size())));
    EXPECT_EQ("first stream", platform.readFile(kOutput));
    EXPECT_EQ(at[1], package.tell());
    ASSERT_TRUE(
        decoder.decodeStream(&package, "C:\\TEMP\\b", at[1], static_cast<int32_t>(second.size())));
    EXPECT_EQ("cdcdc", platform.readFile("C:\\TEMP\\b"));
}

TEST_F(DecoderTest, StreamRunningPastTheEndOfTheFileEndsThere) {
    Bytes plain = patternBytes(9000);
    Bytes stream = literalStream(plain);
    platform.writeFile(kPackage, "head" + text(stream));
    File package = platform.openFile(kPackage, FileMode::Read);
    EXPECT_TRUE(decoder.decodeStream(&package, kOutput, 4, 50000));
    EXPECT_EQ(text(plain), platform.readFile(kOutput));
    // A position beyond the end, or one that cannot be sought, gives nothing.
    EXPECT_TRUE(decoder.decodeStream(&package, kOutput, 1 << 20, 100));
    EXPECT_EQ("", platform.readFile(kOutput));
    EXPECT_TRUE(decoder.decodeStream(&package, kOutput, -3, 100));
    EXPECT_EQ("", platform.readFile(kOutput));
}

TEST_F(DecoderTest, EachStreamStartsWithAFreshRing) {
    // The first stream fills the whole ring with 'x'. The second reads ring
    // positions before it writes them: first 4080 onwards (two ahead of the
    // write position), then 0 onwards (at the write position). All of them
    // must be spaces again.
    Bytes fill = literalStream(Bytes(5000, 'x'));
    Bytes probe = {0x00, 0xF0, 0xFF, 0x00, 0x0F};
    std::vector<int32_t> at = writePackage({fill, probe});
    File package = platform.openFile(kPackage, FileMode::Read);
    decoder.decodeStream(&package, kOutput, at[0], static_cast<int32_t>(fill.size()));
    ASSERT_TRUE(decoder.decodeStream(&package, kOutput, at[1], static_cast<int32_t>(probe.size())));
    EXPECT_EQ(std::string(36, ' '), platform.readFile(kOutput));
    EXPECT_EQ(text(ringDecode(probe)), platform.readFile(kOutput));
    EXPECT_EQ(std::string(36, ' '), text(lzssDecode(probe.data(), probe.size())));
}

TEST_F(DecoderTest, AllDecodersAgreeOnRandomStreams) {
    std::mt19937 rng(12345);
    for (double bias : {0.1, 0.5, 0.9}) {
        for (std::size_t n : {1, 2, 17, 18, 100, 4095, 4096, 4097, 4113, 12000, 40000}) {
            Bytes stream = randomStream(rng, n, bias);
            std::string expected = text(ringDecode(stream));
            EXPECT_EQ(expected, text(lzssDecode(stream.data(), stream.size()))) << n << " " << bias;
            EXPECT_EQ(expected, decodeFile(stream)) << n << " " << bias;
        }
    }
}

TEST_F(DecoderTest, ShortDistanceMatchesCopyAsTheRingDoes) {
    // Every distance that a word copy treats apart (inside one word, inside
    // the fixed-size copy, beyond it) with every length: eight such matches
    // in one group, so each may also read what the one before it wrote.
    for (unsigned distance = 1; distance <= 40; ++distance) {
        for (unsigned length = 3; length <= 18; ++length) {
            Bytes stream = literalStream(patternBytes(64));
            stream.push_back(0x00);
            for (int i = 0; i < 8; ++i) {
                const unsigned written = 64 + i * length;
                const unsigned position = (4078 + written - distance) & 4095;
                stream.push_back(static_cast<uint8_t>(position));
                stream.push_back(static_cast<uint8_t>(((position >> 4) & 0xF0) | (length - 3)));
            }
            stream.insert(stream.end(), {0xFF, 'e', 'n', 'd', '.', '.', '.', '.', '.'});
            const std::string expected = text(ringDecode(stream));
            EXPECT_EQ(expected, text(lzssDecode(stream.data(), stream.size())))
                << distance << " " << length;
            EXPECT_EQ(expected, decodeFile(stream)) << distance << " " << length;
        }
    }
}

// A raw deflate stream of text, made with zlib, primed with the dictionary
// when one is given.
Bytes deflated(const std::string& plain, const std::string& dictionary = "") {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    if (!dictionary.empty())
        deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.data()),
                             static_cast<uInt>(dictionary.size()));
    Bytes out(deflateBound(&z, static_cast<uLong>(plain.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return out;
}

TEST_F(DecoderTest, StoredAndDeflateStreams) {
    using format::StreamCodec;
    std::string plain;
    for (int i = 0; i < 20000; ++i) plain += std::to_string(i * 7919 % 1000) + "\r\n";
    const Bytes deflate = deflated(plain);
    const Bytes stored = bytes("stored as it is");
    // Back to back, between other bytes: each codec reads its stream only,
    // and a stream that starts where the last ended is read on from there.
    std::vector<int32_t> at = writePackage({deflate, stored, deflate});
    File package = platform.openFile(kPackage, FileMode::Read);
    auto decode = [&](int i, const Bytes& s, StreamCodec codec, const char* out) {
        return decoder.decodeStream(&package, out, at[i], static_cast<int32_t>(s.size()), codec);
    };
    ASSERT_TRUE(decode(0, deflate, StreamCodec::Deflate, kOutput));
    EXPECT_EQ(plain, platform.readFile(kOutput));
    ASSERT_TRUE(decode(1, stored, StreamCodec::Stored, "C:\\TEMP\\s"));
    EXPECT_EQ("stored as it is", platform.readFile("C:\\TEMP\\s"));
    ASSERT_TRUE(decode(2, deflate, StreamCodec::Deflate, kOutput));
    EXPECT_EQ(plain, platform.readFile(kOutput));
    EXPECT_TRUE(platform.messageBoxes.empty());

    // A deflate stream that is damaged (here: a block type deflate does not
    // have), cut short or followed by more bytes than its own is refused: no
    // file, and the question whether to stop.
    Bytes damaged = deflate;
    damaged[0] |= 0x06;
    Bytes cut(deflate.begin(), deflate.end() - 5);
    Bytes longer = deflate;
    longer.push_back(0);
    int asked = 0;
    for (const Bytes& bad : {damaged, cut, longer}) {
        platform.answers = {kIdNo};
        at = writePackage({bad});
        package = platform.openFile(kPackage, FileMode::Read);
        EXPECT_FALSE(decode(0, bad, StreamCodec::Deflate, kOutput)) << asked;
        EXPECT_FALSE(platform.exists(kOutput)) << asked;
        EXPECT_EQ(static_cast<std::size_t>(++asked), platform.messageBoxes.size());
    }
    EXPECT_FALSE(state.installAbandoned);
}

TEST_F(DecoderTest, DeflateWithThePackageDictionary) {
    // The dictionary is the first stream after the script: at the record
    // base plus 40. A primed stream is refused when the package has none,
    // as a damaged stream is.
    const std::string dictionary = "words that many of the files share, ";
    const std::string plain = dictionary + "and then some of their own.";
    const Bytes primed = deflated(plain, dictionary);
    std::vector<int32_t> at = writePackage({bytes(dictionary), primed});
    state.packageOffset = at[0] - format::kPackageHeaderSize;
    for (int32_t length : {static_cast<int32_t>(dictionary.size()), 0}) {
        state.dictionaryLength = length;
        LzssDecoder fresh(platform, state, platform.user());
        File package = platform.openFile(kPackage, FileMode::Read);
        platform.answers = {kIdNo};
        const bool ok =
            fresh.decodeStream(&package, kOutput, at[1], static_cast<int32_t>(primed.size()),
                               format::StreamCodec::DeflateDictionary);
        EXPECT_EQ(length > 0, ok) << length;
        EXPECT_EQ(length > 0 ? plain : "", platform.readFile(kOutput)) << length;
    }
}

class DecoderFailureTest : public DecoderTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(DecoderFailureTest, FailedWriteAsksWhetherToStop) {
    // A full disk: small outputs fail at the close, large ones at a block.
    Bytes stream = literalStream(patternBytes(GetParam()));
    platform.failWrites.insert(kOutput);
    platform.answers = {kIdNo};
    bool ok = true;
    decodeFile(stream, &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(1u, platform.messageBoxes.size());
    const test::MessageBoxCall& box = platform.messageBoxes[0];
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(test::gbk(u8"创建") + kOutput + test::gbk(u8"时出错，是否终止软件的安装？"),
              box.text);
    EXPECT_EQ(texts::kCaptionError, box.caption);
    EXPECT_EQ(kMbYesNo | kMbIconQuestion | kMbDefButton2, box.style);
    EXPECT_FALSE(state.installAbandoned);
    EXPECT_FALSE(state.setupAborted);

    platform.answers = {kIdYes};
    decodeFile(stream, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(state.installAbandoned);
    EXPECT_TRUE(state.setupAborted);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DecoderFailureTest, ::testing::Values(10, 20000));

TEST_F(DecoderTest, OutputThatCannotBeCreatedAsksWhetherToStop) {
    writePackage({{0x01, 'A'}});
    File package = platform.openFile(kPackage, FileMode::Read);
    const std::string missing = "C:\\NoSuchFolder\\out.bin";
    EXPECT_FALSE(decoder.decodeStream(&package, missing.c_str(), 100, 2));
    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_EQ(texts::kCreateFailedBefore + missing + texts::kCreateFailedAfter,
              platform.messageBoxes[0].text);
    EXPECT_FALSE(state.installAbandoned);
    EXPECT_FALSE(state.setupAborted);
    EXPECT_FALSE(platform.exists(missing));

    // The whole path appears in the question, however long.
    const std::string longPath = "C:\\TEMP\\" + std::string(700, 'n');
    platform.answers = {kIdYes};
    EXPECT_FALSE(decoder.decodeStream(&package, longPath.c_str(), 100, 2));
    ASSERT_EQ(2u, platform.messageBoxes.size());
    EXPECT_EQ(texts::kCreateFailedBefore + longPath + texts::kCreateFailedAfter,
              platform.messageBoxes[1].text);
    EXPECT_TRUE(state.installAbandoned);
    EXPECT_TRUE(state.setupAborted);
}

}  // namespace
}  // namespace kestrova
