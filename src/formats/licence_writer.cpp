#include "formats/licence_writer.h"

#include <cstring>

namespace kestrova {

LicenceWriter::LicenceWriter(LicenceCharset charset, LicenceDecode decode, char16_t* out,
                             std::size_t capacity)
    : charset_(charset), decode_(decode), out_(out), capacity_(capacity) {}

void LicenceWriter::textByte(unsigned char byte) {
    beginText();
    runByte(byte);
}

void LicenceWriter::character(std::uint32_t codePoint) {
    beginText();
    flushRun();
    if (codePoint < 0x10000) {
        put(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    putPair(static_cast<char16_t>(0xD800 + (codePoint >> 10)),
            static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

void LicenceWriter::lineBreak() {
    // Bounded so that no document can overflow the count; far more breaks
    // than any buffer holds.
    if (breaks_ < (1 << 24)) ++breaks_;
}

void LicenceWriter::blockBreak(int count) {
    if (breaks_ < count) breaks_ = count;
}

void LicenceWriter::cell() {
    if (lineStart_ || breaks_ > 0) return;
    space_ = false;
    flushRun();
    put(u'\t');
}

void LicenceWriter::beginText() {
    if (breaks_ > 0) {
        // Breaks before the first text are dropped: the view starts with it.
        if (anyText_) {
            flushRun();
            for (int i = 0; i < breaks_ && putPair(u'\r', u'\n'); ++i) {
            }
        }
        breaks_ = 0;
        lineStart_ = true;
    } else if (space_ && !lineStart_) {
        runByte(' ');
    }
    space_ = false;
    lineStart_ = false;
    anyText_ = true;
}

void LicenceWriter::runByte(unsigned char byte) {
    bool starts;
    if (charset_ == LicenceCharset::Utf8) {
        starts = (byte & 0xC0) != 0x80;
    } else {
        bool trail = gbkTrailExpected_ && byte >= 0x40 && byte != 0x7F && byte != 0xFF;
        starts = !trail;
        gbkTrailExpected_ = starts && byte >= 0x81 && byte <= 0xFE;
    }
    if (runLength_ == kRunSize) {
        // Decode the complete characters; keep the one being read. A run
        // without any character start (broken UTF-8) goes whole.
        std::size_t keep = !starts && runBoundary_ > 0 ? runLength_ - runBoundary_ : 0;
        bool trailExpected = gbkTrailExpected_;
        runLength_ -= keep;
        flushRun();
        std::memmove(run_, run_ + kRunSize - keep, keep);
        runLength_ = keep;
        gbkTrailExpected_ = trailExpected;
    }
    if (starts) runBoundary_ = runLength_;
    run_[runLength_++] = static_cast<char>(byte);
}

void LicenceWriter::flushRun() {
    std::size_t length = runLength_;
    runLength_ = 0;
    runBoundary_ = 0;
    gbkTrailExpected_ = false;
    if (length == 0 || truncated_) return;
    char16_t decoded[kRunSize];
    std::size_t units = decode_(charset_, run_, length, decoded, kRunSize);
    if (units > kRunSize) units = kRunSize;
    for (std::size_t i = 0; i < units; ++i) {
        if (!put(decoded[i])) {
            // Never end the text on half of a surrogate pair.
            if (length_ > 0 && (out_[length_ - 1] & 0xFC00) == 0xD800) --length_;
            return;
        }
    }
}

bool LicenceWriter::put(char16_t unit) {
    if (truncated_ || length_ + 1 >= capacity_) {
        truncated_ = true;
        return false;
    }
    out_[length_++] = unit;
    return true;
}

bool LicenceWriter::putPair(char16_t first, char16_t second) {
    // Half a line end or half a surrogate pair would show as a stray
    // character at the end of a cut text.
    if (truncated_ || length_ + 2 >= capacity_) {
        truncated_ = true;
        return false;
    }
    out_[length_++] = first;
    out_[length_++] = second;
    return true;
}

LicenceText LicenceWriter::finish() {
    flushRun();
    out_[length_] = u'\0';
    LicenceText text;
    text.length = length_;
    text.charset = charset_;
    text.truncated = truncated_;
    return text;
}

}  // namespace kestrova
