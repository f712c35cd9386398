// SPDX-License-Identifier: MIT

#include "text/line_breaks.h"

#include <cstdint>
#include <cstring>

namespace vorlane {

std::size_t CountLineBreaks(std::u16string_view text) {
    // CR LF pairs cannot overlap, so every position is tested on its own and
    // without branches, which lets the compiler test many at once.
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        count += static_cast<std::size_t>(text[i] == u'\r') *
                 static_cast<std::size_t>(text[i + 1] == u'\n');
    }
    return count;
}

std::size_t FindCr(std::u16string_view text, std::size_t from) {
    // Four units at a time past the units that hold no CR.
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

}  // namespace vorlane
