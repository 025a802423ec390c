#pragma once
// Number fields and decimal texts of the package header, the [File] records
// and the setup script: decimal ASCII with the rules of the C runtime's atol,
// parsed here with explicit bounds so that no field is read past its width.
#include <cstddef>
#include <cstdint>

#include "package/format.h"

namespace kestrova {

// Converts at most `length` bytes of text (stopping early at a NUL) with
// atol's rules: leading white space skipped, an optional sign, then decimal
// digits up to the first other byte; no digits give 0. Values beyond the
// signed 32-bit range wrap modulo 2^32 (see number_field.cpp). Never fails.
int32_t parseDecimal(const char* text, std::size_t length);

// Reads a space-padded number field of `width` bytes (kNumberFieldWidth for
// the header and records): the bytes up to the first NUL, trailing spaces
// removed, a first byte of NUL giving 0, then parseDecimal. Never reads
// beyond `width` bytes.
int32_t parseNumberField(const char* field, std::size_t width = format::kNumberFieldWidth);

// Removes the spaces at the end of a NUL-terminated text, in place; returns
// the new length.
std::size_t trimTrailingSpaces(char* text);

}  // namespace kestrova
