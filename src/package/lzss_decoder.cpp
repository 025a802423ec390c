#include "package/lzss_decoder.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "package/inflate_stream.h"
#include "package/lzss_core.h"

namespace kestrova {

using format::kRingSize;

// The buffers are allocated once with the decoder: decoding a stream
// allocates nothing (the input is read straight from the package file's
// read buffer). The window holds the last 4096 decoded bytes (the ring)
// followed by the bytes not yet written, which are written as soon as more
// than 4096 are pending, so they never exceed 4096 + one item.
struct LzssDecoder::Buffers {
    uint8_t window[kRingSize + kRingSize + lzss::kItemRoom];
    // A deflate stream's output. zlib copies what each call produced into
    // its own 32 KB window, all of it when less than that: 64 KB at a time
    // halves those copies, and each block is one write.
    uint8_t inflated[64 * 1024];
    Inflater inflater;
    // The package's deflate dictionary, read at the first stream that uses
    // it: -1 before, then its length (0: none that could be read).
    int32_t dictionaryLength = -1;
    uint8_t dictionary[format::kMaxDictionary];
};

namespace {

// Compressed bytes of one stream, taken from the package file's read
// buffer a block at a time, never beyond the stream's length. A package
// file that ends early ends the stream: nothing is delivered that was not
// read from the file.
struct FileSource {
    File& file;
    int64_t remaining;
    const uint8_t* next = nullptr;
    const uint8_t* end = nullptr;

    bool refill() {
        if (remaining <= 0) return false;
        const std::size_t got = file.take(&next, static_cast<std::size_t>(remaining));
        if (got == 0) {
            remaining = 0;
            return false;
        }
        remaining -= static_cast<int64_t>(got);
        end = next + got;
        return true;
    }
};

// A stored stream: its bytes are the file's. False when a write failed; a
// package file that ends early ends the file there.
bool copyStored(File& package, int64_t length, File& output) {
    while (length > 0) {
        const uint8_t* bytes = nullptr;
        const std::size_t got = package.take(&bytes, static_cast<std::size_t>(length));
        if (got == 0) return true;
        if (!output.write(bytes, got)) return false;
        length -= static_cast<int64_t>(got);
    }
    return true;
}

// The output window over Buffers::window, written to the output file in
// blocks of 4097 to 4114 bytes.
struct FileSink {
    File& file;
    uint8_t* window;
    uint8_t* start;
    uint8_t* limit;
    uint8_t* cur;
    uint32_t phase;

    FileSink(File& output, uint8_t* buffer) : file(output), window(buffer) {
        // The ring starts as spaces: all of it, so that a stream reading
        // positions it has not written yet gets the same bytes every time.
        std::memset(window, format::kRingFill, kRingSize);
        start = window;
        cur = window + kRingSize;
        limit = cur + kRingSize;
        // Ring position of window[0], so that the first byte lands at 4078.
        phase = static_cast<uint32_t>(format::kRingStart - kRingSize);
    }

    uint8_t* pending() const { return window + kRingSize; }

    bool drain() {
        std::size_t count = static_cast<std::size_t>(cur - pending());
        if (!file.write(pending(), count)) return false;
        // Keep the last 4096 bytes as the ring for the next matches.
        std::memmove(window, cur - kRingSize, kRingSize);
        phase += static_cast<uint32_t>(count);
        cur = pending();
        return true;
    }

    bool finish() { return file.write(pending(), static_cast<std::size_t>(cur - pending())); }
};

// The output of lzssDecode: the vector is the window, grown when full.
struct VectorSink {
    std::vector<uint8_t>& bytes;
    uint8_t* start;
    uint8_t* limit;
    uint8_t* cur;
    uint32_t phase = format::kRingStart;

    VectorSink(std::vector<uint8_t>& out, std::size_t initial) : bytes(out) {
        bytes.resize(initial);
        start = cur = bytes.data();
        limit = start + initial - lzss::kItemRoom;
    }

    bool drain() {
        std::size_t used = static_cast<std::size_t>(cur - start);
        bytes.resize(bytes.size() * 2);
        start = bytes.data();
        cur = start + used;
        limit = start + bytes.size() - lzss::kItemRoom;
        return true;
    }
};

struct MemorySource {
    const uint8_t* next;
    const uint8_t* end;
    bool refill() { return false; }
};

}  // namespace

LzssDecoder::LzssDecoder(Platform& platform, SetupState& state, ReaderPort& port)
    : platform_(platform), state_(state), port_(port), buffers_(new Buffers) {}

// The dictionary is the first stream after the script (record offset 40):
// read once per decoder. False when the package has none or it is cut.
bool LzssDecoder::loadDictionary(File& package) {
    Buffers& b = *buffers_;
    if (b.dictionaryLength < 0) {
        const int32_t length = state_.dictionaryLength;
        const uint32_t at = static_cast<uint32_t>(state_.packageOffset) +
                            static_cast<uint32_t>(format::kPackageHeaderSize);
        const bool read = length > 0 && length <= format::kMaxDictionary &&
                          package.seek(static_cast<int32_t>(at)) &&
                          package.read(b.dictionary, static_cast<std::size_t>(length)) ==
                              static_cast<std::size_t>(length);
        b.dictionaryLength = read ? length : 0;
    }
    return b.dictionaryLength > 0;
}

LzssDecoder::~LzssDecoder() {
    delete buffers_;
}

bool LzssDecoder::decodeStream(File* packageFile, const char* outputPath, int32_t offset,
                               int32_t length, format::StreamCodec codec, File* created) {
    // A closed file is as absent as a null one: nothing could be read.
    if (!packageFile || !packageFile->isOpen()) return false;
    File output = created && created->isOpen() ? std::move(*created)
                                               : platform_.openFile(outputPath, FileMode::Write);
    if (!output) return askToStop(outputPath);

    bool written = true;
    // An empty (or negative) length leaves the package file untouched. A
    // position that cannot be sought yields no input rather than the bytes
    // at wherever the file happens to stand.
    if (length > 0) {
        const bool primed = codec == format::StreamCodec::DeflateDictionary;
        const bool haveDictionary = primed && loadDictionary(*packageFile);
        const int64_t available = packageFile->seek(offset) ? length : 0;
        if (codec == format::StreamCodec::Stored) {
            written = copyStored(*packageFile, available, output);
        } else if (codec == format::StreamCodec::Deflate || primed) {
            // A damaged deflate stream (or one whose dictionary cannot be
            // read) cannot give the file: it is refused like a file that
            // could not be written, never half kept.
            const std::size_t dictionary =
                haveDictionary ? static_cast<std::size_t>(buffers_->dictionaryLength) : 0;
            written =
                (!primed || haveDictionary) &&
                buffers_->inflater.inflate(*packageFile, available, output, buffers_->inflated,
                                           sizeof buffers_->inflated, buffers_->dictionary,
                                           dictionary) == InflateResult::Done;
        } else {
            FileSource in{*packageFile, available};
            FileSink out(output, buffers_->window);
            written = lzss::decode(in, out) && out.finish();
        }
    }
    // A full disk may only show when the last buffered bytes are written.
    written = output.close() && written;
    if (!written) {
        // A half-written file (a full disk) is no file of the product: it
        // would stay behind, unlisted, after the user stops or goes on.
        platform_.deleteFile(outputPath);
        return askToStop(outputPath);
    }
    return true;
}

bool LzssDecoder::askToStop(const char* outputPath) {
    if (port_.stopAfterFailedFile(outputPath)) {
        state_.installAbandoned = true;
        state_.setupAborted = true;
    }
    return false;
}

std::vector<uint8_t> lzssDecode(const uint8_t* data, std::size_t length) {
    std::vector<uint8_t> bytes;
    if (!data || length == 0) return bytes;
    // Real data rarely expands more than fourfold; the sink doubles when it
    // does. Each growth zero-fills and copies, which costs more than the
    // larger first guess.
    const std::size_t guess = length < SIZE_MAX / 8 ? length * 4 + 256 : length;
    MemorySource in{data, data + length};
    VectorSink out(bytes, guess);
    lzss::decode(in, out);
    bytes.resize(static_cast<std::size_t>(out.cur - out.start));
    return bytes;
}

}  // namespace kestrova
