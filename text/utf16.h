// SPDX-License-Identifier: MIT

#pragma once

// Tests on single UTF-16 code units.
namespace vorlane {

// The first unit of a surrogate pair (U+D800-U+DBFF).
constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
// The second unit of a surrogate pair (U+DC00-U+DFFF).
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
// Either half of a surrogate pair.
constexpr bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

}  // namespace vorlane
