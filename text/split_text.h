// SPDX-License-Identifier: MIT

#pragma once

// A text split into lines at every CR LF, kept as offsets into the text, and
// selections of its lines.

#include <cstdint>
#include <string_view>
#include <vector>

namespace vorlane {

class SplitText {
public:
    // `text` must outlive the split.
    explicit SplitText(std::u16string_view text);

    // The number of lines: line breaks + 1.
    std::size_t size() const { return starts_.size() - 1; }
    std::u16string_view operator[](std::size_t line) const {
        return text_.substr(starts_[line], starts_[line + 1] - starts_[line] - 2);
    }
    // Starts loading where `line` starts and ends into the cache.
    void Prefetch(std::size_t line) const { __builtin_prefetch(&starts_[line]); }

private:
    std::u16string_view text_;
    std::vector<std::size_t> starts_;  // of each line, then 2 past the end
};

// Some lines of a split text, by number, in ascending order.
class LineSelection {
public:
    LineSelection(const SplitText& text, std::vector<std::uint32_t> numbers)
        : text_(text), numbers_(std::move(numbers)) {}

    std::size_t size() const { return numbers_.size(); }
    std::u16string_view operator[](std::size_t i) const { return text_[numbers_[i]]; }
    // Which line of the split text the i-th selected line is.
    std::uint32_t Number(std::size_t i) const { return numbers_[i]; }

private:
    const SplitText& text_;
    std::vector<std::uint32_t> numbers_;
};

}  // namespace vorlane
