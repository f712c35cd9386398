// SPDX-License-Identifier: MIT

#pragma once

// Byte-exact conversion between UTF-8 files and UTF-16 text. Bytes that are
// not valid UTF-8 (stray, overlong or surrogate sequences) become the lone
// low surrogates U+DC80..U+DCFF, one per byte, and turn back into the same
// bytes, so any file survives the round trip unchanged.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlane {

// The one character that the bytes starting at bytes[at] decode to: its one or
// two UTF-16 units, and how many bytes it took. Where no valid sequence
// starts, one byte becomes one escaped unit.
struct Utf8Character {
    char16_t units[2];
    std::size_t unitCount;
    std::size_t byteCount;
};
Utf8Character DecodeUtf8Character(std::string_view bytes, std::size_t at);

std::u16string DecodeUtf8(std::string_view bytes);

// Writes the UTF-8 bytes of `text` to `out`, which has room for three bytes per
// unit, and returns the end of what it wrote. The inverse of DecodeUtf8 for
// every text it produces; `text` must not end between the two units of a pair.
char* EncodeUtf8(std::u16string_view text, char* out);

std::string EncodeUtf8(std::u16string_view text);

}  // namespace vorlane
