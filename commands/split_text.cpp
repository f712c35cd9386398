// SPDX-License-Identifier: MIT

#include "split_text.h"

#include <limits>
#include <stdexcept>

namespace vorlane::internal {
namespace {

template <typename Visit>
void ForEachLineBreak(std::u16string_view text, Visit visit) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n') visit(i++);
    }
}

}  // namespace

SplitText::SplitText(std::u16string_view text) : text_(text) {
    std::size_t breaks = 0;
    ForEachLineBreak(text, [&breaks](std::size_t) { ++breaks; });
    // Lines are numbered in 32 bits wherever they are counted by the million.
    if (breaks >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("more lines than can be numbered");
    }
    starts_.reserve(breaks + 2);
    starts_.push_back(0);
    ForEachLineBreak(text, [this](std::size_t at) { starts_.push_back(at + 2); });
    starts_.push_back(text.size() + 2);
}

}  // namespace vorlane::internal
