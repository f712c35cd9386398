// SPDX-License-Identifier: MIT

#include "replace_line_breaks.h"

#include <algorithm>

namespace vorlane {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";

std::size_t CountLineBreaks(std::u16string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find(kLineBreak); at != std::u16string_view::npos;
         at = text.find(kLineBreak, at + kLineBreak.size())) {
        ++count;
    }
    return count;
}

}  // namespace

std::u16string ReplaceLineBreaks(std::u16string_view text, std::u16string_view separator) {
    const std::size_t breaks = CountLineBreaks(text);
    std::u16string result;
    result.reserve(text.size() - breaks * kLineBreak.size() + breaks * separator.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(kLineBreak); at != std::u16string_view::npos;
         at = text.find(kLineBreak, start)) {
        result.append(text.substr(start, at - start)).append(separator);
        start = at + kLineBreak.size();
    }
    result.append(text.substr(start));
    return result;
}

}  // namespace vorlane
