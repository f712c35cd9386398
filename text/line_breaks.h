// SPDX-License-Identifier: MIT

#pragma once

// Finding the line breaks (CR LF) of a text quickly.

#include <cstddef>
#include <string_view>

namespace vorlane {

// The number of CR LF pairs in `text`.
std::size_t CountLineBreaks(std::u16string_view text);

// The first CR at or after `from`, or text.size().
std::size_t FindCr(std::u16string_view text, std::size_t from);

inline bool IsLineBreakAt(std::u16string_view text, std::size_t i) {
    return i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n';
}

}  // namespace vorlane
