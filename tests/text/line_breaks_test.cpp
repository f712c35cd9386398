// SPDX-License-Identifier: MIT

#include "text/line_breaks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlane {
namespace {

std::size_t PlainCount(std::u16string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) count += IsLineBreakAt(text, i) ? 1 : 0;
    return count;
}

// Texts whose breaks fall at every place of a block of units and across two
// blocks, among units that hold CR's or LF's byte in one half (0x0D0A is CR
// LF's bytes in one unit), which only a byte-wise search would take for a
// break.
std::vector<std::u16string> TextsAroundBreaks() {
    const std::u16string fillers[] = {u"a", u"\u0D0A", u"\u0A0D", u"\u0D0D", u"\u0D00"};
    const std::u16string marks[] = {u"\r\n", u"\r", u"\n", u"\r\r\n", u"\n\r", u"\r\n\r\n"};
    std::vector<std::u16string> texts;
    for (const std::u16string& filler : fillers) {
        for (std::size_t length = 0; length <= 34; ++length) {
            const std::u16string plain(length, filler[0]);
            texts.push_back(plain);
            for (const std::u16string& mark : marks) {
                for (std::size_t at = 0; at <= length; ++at) {
                    std::u16string text = plain;
                    text.insert(at, mark);
                    texts.push_back(text);
                    texts.push_back(text + u"\r\n" + plain + mark);
                }
            }
        }
    }
    return texts;
}

TEST(LineBreaks, CountAndFindAgreeWithAPlainScanWhereverBreaksFall) {
    for (const std::u16string& text : TextsAroundBreaks()) {
        ASSERT_EQ(CountLineBreaks(text), PlainCount(text)) << ::testing::PrintToString(text);
        for (std::size_t from = 0; from <= text.size(); ++from) {
            const std::size_t cr = text.find(u'\r', from);
            ASSERT_EQ(FindCr(text, from), cr == std::u16string::npos ? text.size() : cr)
                << ::testing::PrintToString(text) << " from " << from;
        }
    }
}

TEST(LineBreaks, LookOnlyWithinTheView) {
    // A break just past the view's end, and one split by it, are not in it.
    const std::u16string text = u"abcdefghijklmnopq\r\nrs";
    for (std::size_t end = 0; end <= 18; ++end) {
        const std::u16string_view view = std::u16string_view(text).substr(0, end);
        EXPECT_EQ(CountLineBreaks(view), 0U) << end;
        EXPECT_EQ(FindCr(view, 0), std::min<std::size_t>(end, 17)) << end;
    }
}

}  // namespace
}  // namespace vorlane
