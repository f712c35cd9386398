// SPDX-License-Identifier: MIT

#pragma once

// Byte-exact conversion between UTF-8 files and UTF-16 text. Bytes that are
// not valid UTF-8 (stray, overlong or surrogate sequences) become the lone
// low surrogates U+DC80..U+DCFF, one per byte, and turn back into the same
// bytes, so any file survives the round trip unchanged.

#include <string>
#include <string_view>

namespace vorlane::bench {

std::u16string DecodeUtf8(std::string_view bytes);

// The inverse of DecodeUtf8 for every text it produces.
std::string EncodeUtf8(std::u16string_view text);

}  // namespace vorlane::bench
