// SPDX-License-Identifier: MIT

#include "split_text.h"

#include <limits>
#include <stdexcept>

namespace vorlane::internal {
namespace {

// CR LF pairs cannot overlap, so every position can be tested on its own,
// which lets the compiler test many at once.
std::size_t CountLineBreaks(std::u16string_view text) {
    std::size_t breaks = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        breaks += static_cast<std::size_t>(text[i] == u'\r') *
                  static_cast<std::size_t>(text[i + 1] == u'\n');
    }
    return breaks;
}

}  // namespace

SplitText::SplitText(std::u16string_view text) : text_(text) {
    const std::size_t breaks = CountLineBreaks(text);
    // Lines are numbered in 32 bits wherever they are counted by the million.
    if (breaks >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("more lines than can be numbered");
    }
    starts_.reserve(breaks + 2);
    starts_.push_back(0);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i + 1] == u'\n' && text[i] == u'\r') starts_.push_back(i + 2);
    }
    starts_.push_back(text.size() + 2);
}

}  // namespace vorlane::internal
