// SPDX-License-Identifier: MIT

#include "text/line_breaks.h"

#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vorlane {
namespace {

#ifdef __SSE2__
constexpr std::size_t kBlock = 8;  // units in a 128-bit register

__m128i LoadBlock(std::u16string_view text, std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
}

// Two mask bits for each unit of `block` that equals `unit`.
unsigned UnitMask(__m128i block, char16_t unit) {
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(unit)))));
}
#endif

}  // namespace

std::size_t CountLineBreaks(std::u16string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
#ifdef __SSE2__
    // A CR at each unit of a block and an LF at the unit after it: both masks
    // have the same two bits set for each pair.
    for (; i + kBlock + 1 <= text.size(); i += kBlock) {
        const unsigned pairs =
            UnitMask(LoadBlock(text, i), u'\r') & UnitMask(LoadBlock(text, i + 1), u'\n');
        count += static_cast<std::size_t>(std::popcount(pairs)) / 2;
    }
#endif
    // CR LF pairs cannot overlap, so every position is tested on its own.
    for (; i + 1 < text.size(); ++i) {
        count += static_cast<std::size_t>(text[i] == u'\r' && text[i + 1] == u'\n');
    }
    return count;
}

std::size_t FindCr(std::u16string_view text, std::size_t from) {
#ifdef __SSE2__
    for (; from + kBlock <= text.size(); from += kBlock) {
        const unsigned crs = UnitMask(LoadBlock(text, from), u'\r');
        if (crs != 0) return from + static_cast<std::size_t>(std::countr_zero(crs)) / 2;
    }
#endif
    while (from < text.size() && text[from] != u'\r') ++from;
    return from;
}

}  // namespace vorlane
