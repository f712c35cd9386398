// SPDX-License-Identifier: MIT

#pragma once

// The duplicate-line removal written the plain way, one substring search of
// the kept text per line, as a reference for the real implementation.

#include <string>
#include <string_view>
#include <vector>

#include "removal/remove_duplicate_lines.h"

namespace vorlane::testing {

inline std::vector<std::u16string_view> SplitAtCrLf(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(u"\r\n", start);
        if (end == std::u16string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

inline DuplicateRemovalResult PlainRemoveDuplicateLines(std::u16string_view text) {
    DuplicateRemovalResult result;
    for (const std::u16string_view line : SplitAtCrLf(text)) {
        ++result.pieceCount;
        const bool present = line.empty() || result.text.find(line) != std::u16string::npos;
        if (present) {
            ++result.duplicateCount;
            continue;
        }
        if (!result.text.empty()) result.text += u"\r\n";
        result.text += line;
        ++result.addedCount;
    }
    return result;
}

}  // namespace vorlane::testing
