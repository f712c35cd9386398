// SPDX-License-Identifier: MIT

#pragma once

// Byte-exact conversion between UTF-8 files and UTF-16 text. A byte that is
// not part of valid UTF-8 (stray, overlong or surrogate sequences) becomes an
// escaped byte, two units that turn back into the same byte, so any file
// survives the round trip unchanged.
//
// An escaped byte B (0x80..0xFF) is the low surrogate kEscapeLead followed by
// the low surrogate U+DC00 + B. Valid text holds low surrogates only right
// after a high one, so two low ones in a row never occur in it: an escaped
// byte never matches any part of a valid character. Nor can a valid
// character match part of one, as both its units are surrogates and no high
// one is among them. kEscapeLead (U+DC7F) is outside U+DC80..U+DCFF, so an
// escaped byte matches another only where it starts.

#include <cstddef>
#include <string>
#include <string_view>

#include "text/utf16.h"

namespace vorlane {

inline constexpr char16_t kEscapeLead = 0xDC7F;

// Whether `unit` is the second unit of an escaped byte, U+DC80..U+DCFF.
constexpr bool IsEscapedByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// Whether `unit` is the first of a character's two units (a surrogate pair's
// or an escaped byte's): text must not be cut right after it.
constexpr bool StartsTwoUnits(char16_t unit) {
    return IsHighSurrogate(unit) || unit == kEscapeLead;
}

// The one character that the bytes starting at bytes[at] decode to: its one or
// two UTF-16 units, and how many bytes it took. Where no valid sequence
// starts, one byte becomes an escaped byte.
struct Utf8Character {
    char16_t units[2];
    std::size_t unitCount;
    std::size_t byteCount;
};
Utf8Character DecodeUtf8Character(std::string_view bytes, std::size_t at);

std::u16string DecodeUtf8(std::string_view bytes);

// Writes the UTF-8 bytes of `text` to `out`, which has room for three bytes per
// unit, and returns the end of what it wrote. The inverse of DecodeUtf8 for
// every text it produces; `text` must not end between the two units of a
// pair or of an escaped byte.
char* EncodeUtf8(std::u16string_view text, char* out);

std::string EncodeUtf8(std::u16string_view text);

}  // namespace vorlane
