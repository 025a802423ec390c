#pragma once
// The output side of the licence text conversion: collects document text
// in its own character set and decodes it in runs, writes decoded
// characters, collapses whitespace and places line breaks the way a browser
// lays out blocks, into a bounded UTF-16 buffer.
#include <cstddef>
#include <cstdint>

#include "formats/licence_text.h"

namespace kestrova {

class LicenceWriter {
  public:
    LicenceWriter(LicenceCharset charset, LicenceDecode decode, char16_t* out,
                  std::size_t capacity);
    LicenceWriter(const LicenceWriter&) = delete;
    LicenceWriter& operator=(const LicenceWriter&) = delete;

    // One byte of document text (not whitespace, not a control byte).
    void textByte(unsigned char byte);
    // One character from a character reference or a list marker; written
    // as it is, never collapsed.
    void character(std::uint32_t codePoint);
    // Collapsible whitespace: at most one space between two words, none at
    // the start or end of a line.
    void space() { space_ = true; }
    // A forced line break (<br>, a newline inside <pre>): they add up.
    void lineBreak();
    // A block boundary: at least count line breaks (2 leaves a blank line)
    // before the next text; boundaries do not add up.
    void blockBreak(int count);
    // A table cell: a tab, unless the cell starts its line.
    void cell();

    bool full() const { return truncated_; }
    // Writes what is pending (trailing breaks and spaces are dropped),
    // closes the text with a NUL and reports its length.
    LicenceText finish();

  private:
    // Starts a piece of visible text: writes the pending line breaks, or
    // the pending space when the line already holds text.
    void beginText();
    void runByte(unsigned char byte);
    void flushRun();
    bool put(char16_t unit);
    // Both units, or neither when only one fits.
    bool putPair(char16_t first, char16_t second);

    // Bytes collected before one call of decode_: long enough that a call
    // per run is cheap, short enough for the stack.
    static constexpr std::size_t kRunSize = 256;

    LicenceCharset charset_;
    LicenceDecode decode_;
    char16_t* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    bool truncated_ = false;

    char run_[kRunSize];
    std::size_t runLength_ = 0;
    // Where the last character in run_ starts: a full run is decoded up to
    // there, so a character is never split between two calls.
    std::size_t runBoundary_ = 0;
    bool gbkTrailExpected_ = false;

    bool space_ = false;
    int breaks_ = 0;
    bool lineStart_ = true;
    bool anyText_ = false;
};

}  // namespace kestrova
