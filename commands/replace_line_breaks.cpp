// SPDX-License-Identifier: MIT

#include "replace_line_breaks.h"

#include <cstdint>
#include <cstring>

namespace vorlane {
namespace {

bool IsLineBreakAt(std::u16string_view text, std::size_t i) {
    return text[i] == u'\r' && text[i + 1] == u'\n';
}

std::size_t CountLineBreaks(std::u16string_view text) {
    std::size_t count = 0;  // branch-free, so that the compiler can vectorise it
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        count += static_cast<std::size_t>((text[i] == u'\r') & (text[i + 1] == u'\n'));
    }
    return count;
}

// The first CR at or after `from`, or text.size(); four units at a time past
// the units that hold none.
std::size_t FindCr(std::u16string_view text, std::size_t from) {
    constexpr std::uint64_t kUnitOnes = 0x0001000100010001;
    constexpr std::uint64_t kUnitHighBits = 0x8000800080008000;
    for (std::uint64_t four; from + 4 <= text.size(); from += 4) {
        std::memcpy(&four, text.data() + from, sizeof four);
        four ^= kUnitOnes * u'\r';  // a CR becomes a zero unit
        if (((four - kUnitOnes) & ~four & kUnitHighBits) != 0) break;
    }
    while (from < text.size() && text[from] != u'\r') ++from;
    return from;
}

}  // namespace

std::u16string ReplaceLineBreaks(std::u16string_view text, std::u16string_view separator) {
    const std::size_t breaks = CountLineBreaks(text);
    std::u16string result;
    result.reserve(text.size() - breaks * 2 + breaks * separator.size());
    std::size_t start = 0;
    for (std::size_t at = FindCr(text, 0); at + 1 < text.size(); at = FindCr(text, at + 1)) {
        if (IsLineBreakAt(text, at)) {
            result.append(text.substr(start, at - start)).append(separator);
            start = at + 2;
        }
    }
    result.append(text.substr(start));
    return result;
}

}  // namespace vorlane
