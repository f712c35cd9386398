// SPDX-License-Identifier: MIT

#include "text/replace_line_breaks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vorlane {
namespace {

struct Case {
    std::u16string text;
    std::u16string separator;
    std::u16string expected;
};

TEST(ReplaceLineBreaks, ReplacesEveryCrLfAndNothingElse) {
    const std::vector<Case> cases = {
        {u"a\r\nb\r\nc", u",", u"a,b,c"},
        {u"a\r\nb\r\n", u",", u"a,b,"},  // a trailing break gives a trailing separator
        {u"a\r\n\r\nb", u",", u"a,,b"},  // an empty line gives two in a row
        {u"a\r\nb", u"、", u"a、b"},
        {u"a\r\nb", u"; ", u"a; b"},  // used as typed, spaces included
        {u"a\nb", u",", u"a\nb"},     // lone LF and lone CR are text
        {u"a\rb", u",", u"a\rb"},
        {u"a\r\r\n\nb", u",", u"a\r,\nb"},
        {u"", u",", u""},
        {u"abc", u",", u"abc"},
        {u"\r\n\r\n\r\n", u"|", u"|||"},
        {u"a\r\nb", u" and a much longer separator ", u"a and a much longer separator b"},
        {u"\U0001F600\r\n\U0001F600", u"\U0001F601", u"\U0001F600\U0001F601\U0001F600"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceLineBreaks(c.text, c.separator), c.expected)
            << ::testing::PrintToString(c.text) << " with "
            << ::testing::PrintToString(c.separator);
    }
}

TEST(ReplaceLineBreaks, NeverRescansWhatItEmitted) {
    const std::vector<Case> cases = {
        {u"a\r\nb", u"\r\n", u"a\r\nb"},
        {u"a\r\nb", u"\r", u"a\rb"},
        {u"a\r\nb", u"\n", u"a\nb"},
        {u"a\r\n\nb", u"\r", u"a\r\nb"},  // the emitted CR meets a lone LF: both stay
        {u"a\r\r\nb", u"\n", u"a\r\nb"},  // a lone CR meets the emitted LF
        {u"a\r\nb", u"\r\n\r\n", u"a\r\n\r\nb"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceLineBreaks(c.text, c.separator), c.expected)
            << ::testing::PrintToString(c.text) << " with "
            << ::testing::PrintToString(c.separator);
    }
}

// Unit by unit: a CR directly followed by an LF is a line break.
std::u16string ReplaceOneUnitAtATime(std::u16string_view text, std::u16string_view separator) {
    std::u16string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            result += separator;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

TEST(ReplaceLineBreaks, AgreesWithAUnitByUnitScanOnAMillionLines) {
    std::mt19937 random(42);
    const std::u16string pieces[] = {u"alpha", u"", u"\r", u"\n", u"数据", u"\U0001F600", u"x y"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::u16string text;
    for (int line = 0; line < 1000000; ++line) text.append(pieces[pick(random)]).append(u"\r\n");
    for (const std::u16string_view separator : {u",", u"", u"; ", u"\r\n"}) {
        EXPECT_EQ(ReplaceLineBreaks(text, separator), ReplaceOneUnitAtATime(text, separator));
    }
}

TEST(ReplaceLineBreaks, SecondReplacementChangesNothing) {
    const std::u16string once = ReplaceLineBreaks(u"a\r\nb\r\n\r\nc\r\n", u",");
    EXPECT_EQ(ReplaceLineBreaks(once, u","), once);
}

}  // namespace
}  // namespace vorlane
