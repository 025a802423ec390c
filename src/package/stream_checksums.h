#pragma once
// Checksums of a package's streams, so that a setup.exe damaged after it
// was built (a broken download, a bad copy) is refused before anything is
// installed. They are written where a reader that does not know them never
// looks, so packages with and without them read the same everywhere:
//
// - The header's script length field ends early with a NUL (which ends a
//   number field), and its last eight bytes hold the CRC-32 of the
//   compressed script stream in hexadecimal. A header with that NUL and
//   those digits is what marks a package as carrying checksums.
// - The script holds a "[Checksums]" section directly after the two [Run]
//   lines (written, empty, for a product without a program to start too:
//   a script without them has no place for the section) and before the
//   licence text (which is taken from the script's end by its byte
//   count): one line of eight hexadecimal digits per stream, the
//   CRC-32 of its compressed bytes, for the welcome, splash and title
//   pictures and then every counted [File] record, in record order, and
//   last the package's dictionary when it has one (format.h).
#include <cstddef>
#include <cstdint>

#include "package/format.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

namespace format {
// In the header's script length field: the number in the bytes before the
// NUL, the checksum's digits after it.
constexpr int kHeaderChecksumNul = 11;
constexpr int kChecksumDigits = 8;
constexpr int kHeaderChecksumDigits = kHeaderChecksumNul + 1;
static_assert(kHeaderChecksumDigits + kChecksumDigits == kNumberFieldWidth,
              "the checksum fills the script length field after its NUL");
constexpr const char kSectionChecksums[] = "[Checksums]\r\n";
}  // namespace format

// Writes value as eight uppercase hexadecimal digits (no NUL) at out.
void formatChecksum(uint32_t value, char* out);

// Reads exactly `length` bytes as eight hexadecimal digits (either case).
// False when they are anything else.
bool parseChecksum(const char* text, std::size_t length, uint32_t* value);

// True, with *checksum, when the 20-byte script length field carries the
// script stream's checksum (a NUL at kHeaderChecksumNul, then the digits).
bool headerScriptChecksum(const char* field, uint32_t* checksum);

// The CRC-32 of `length` bytes of package at `offset`. False when they
// cannot all be read (the file is shorter, the position cannot be sought).
bool streamChecksum(File& package, int64_t offset, int32_t length, uint32_t* checksum);

enum class ChecksumCheck {
    Absent,   // the header carries no checksum: a package read as before
    Intact,   // every stream matches its checksum
    Damaged,  // a stream differs, or the checksums themselves are missing
};

// Checks the package's streams against its checksums, after the header was
// read (state.packageOffset is the record base) and the script unpacked to
// state.scriptPath and opened as script, which it reads from its start,
// once. A closed script, or one that lacks a checksum line, is Damaged when
// the header carries a checksum. Leaves both files at unspecified places.
ChecksumCheck checkStreamChecksums(File& package, File& script, const SetupState& state);

}  // namespace kestrova
