// SPDX-License-Identifier: MIT

// libFuzzer target: RemoveDuplicateLines and the search for lines inside
// earlier lines must agree with their plain versions on any text. The first
// byte picks how the rest becomes text: as raw UTF-16 code units, or each
// byte as one of a few tokens (letters, CR, LF, CR LF, a surrogate pair),
// which meets the line-break and joint cases far more often.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "earlier_occurrence.h"
#include "plain_remove_duplicate_lines.h"
#include "remove_duplicate_lines.h"

namespace {

std::u16string TextFrom(const std::uint8_t* data, std::size_t size) {
    static const std::u16string kTokens[] = {u"a",    u"b",    u"\r",         u"\n",
                                             u"\r\n", u"\r\n", u"\U0001F600", u"aaaaaaaa"};
    std::u16string text;
    if (size == 0) return text;
    if (data[0] % 2 == 0) {
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        }
    } else {
        for (std::size_t i = 1; i < size; ++i) text += kTokens[data[i] % std::size(kTokens)];
    }
    return text;
}

void Check(bool agrees) {
    if (!agrees) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = TextFrom(data, size);
    const vorlane::DuplicateRemovalResult fast = vorlane::RemoveDuplicateLines(text);
    const vorlane::DuplicateRemovalResult plain = vorlane::testing::PlainRemoveDuplicateLines(text);
    Check(fast.text == plain.text && fast.pieceCount == plain.pieceCount &&
          fast.addedCount == plain.addedCount && fast.duplicateCount == plain.duplicateCount);

    const vorlane::internal::SplitText split(text);
    std::vector<std::uint32_t> numbers;
    std::set<std::u16string_view> seen;
    for (std::uint32_t line = 0; line < split.size(); ++line) {
        if (!split[line].empty() && seen.insert(split[line]).second) numbers.push_back(line);
    }
    const vorlane::internal::LineSelection lines(split, numbers);
    const std::vector<bool> found = vorlane::internal::OccursInEarlierLine(lines, {false, 0});
    for (std::size_t line = 0; line < lines.size(); ++line) {
        bool earlier = false;
        for (std::size_t before = 0; before < line && !earlier; ++before) {
            earlier = lines[before].find(lines[line]) != std::u16string_view::npos;
        }
        Check(found[line] == earlier);
    }
    return 0;
}
