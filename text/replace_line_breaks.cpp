// SPDX-License-Identifier: MIT

#include "text/replace_line_breaks.h"

#include "text/line_breaks.h"

namespace vorlane {

std::u16string ReplaceLineBreaks(std::u16string_view text, std::u16string_view separator) {
    const std::size_t breaks = CountLineBreaks(text);
    std::u16string result;
    result.reserve(text.size() - breaks * 2 + breaks * separator.size());
    std::size_t start = 0;
    for (std::size_t at = FindCr(text, 0); at < text.size(); at = FindCr(text, at + 1)) {
        if (IsLineBreakAt(text, at)) {
            result.append(text.substr(start, at - start)).append(separator);
            start = at + 2;
        }
    }
    result.append(text.substr(start));
    return result;
}

}  // namespace vorlane
