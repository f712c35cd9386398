// SPDX-License-Identifier: MIT

#include "text/split_text.h"

#include <limits>
#include <stdexcept>

#include "text/huge_pages.h"
#include "text/line_breaks.h"

namespace vorlane {

SplitText::SplitText(std::u16string_view text) : text_(text) {
    const std::size_t breaks = CountLineBreaks(text);
    // Lines are numbered in 32 bits wherever they are counted by the million.
    if (breaks >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("more lines than can be numbered");
    }
    starts_.reserve(breaks + 2);
    AdviseHugePages(starts_.data(), starts_.capacity() * sizeof(std::size_t));
    starts_.push_back(0);
    for (std::size_t at = FindCr(text, 0); at < text.size(); at = FindCr(text, at + 1)) {
        if (IsLineBreakAt(text, at)) starts_.push_back(at + 2);
    }
    starts_.push_back(text.size() + 2);
}

}  // namespace vorlane
