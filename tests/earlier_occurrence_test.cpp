// SPDX-License-Identifier: MIT

#include "earlier_occurrence.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vorlane::internal {
namespace {

std::vector<bool> PlainOccursInEarlierLine(const std::vector<std::u16string_view>& lines) {
    std::vector<bool> found(lines.size(), false);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        for (std::size_t earlier = 0; earlier < line && !found[line]; ++earlier) {
            found[line] = lines[earlier].find(lines[line]) != std::u16string_view::npos;
        }
    }
    return found;
}

std::vector<std::u16string> RandomLines(std::mt19937& random, const std::u16string& alphabet,
                                        std::size_t longest) {
    std::uniform_int_distribution<std::size_t> count(1, 12);
    std::uniform_int_distribution<std::size_t> length(1, longest);
    std::uniform_int_distribution<std::size_t> unit(0, alphabet.size() - 1);
    std::vector<std::u16string> lines(count(random));
    for (std::u16string& line : lines) {
        for (std::size_t n = length(random); n > 0; --n) line += alphabet[unit(random)];
    }
    return lines;
}

// Both ways of answering, the filtered one and the suffix array over every
// line, agree with a plain search, on lines short and long, over alphabets
// that make keys meet often, and with units that get long byte codes.
TEST(OccursInEarlierLine, AgreesWithAPlainSearch) {
    struct Family {
        std::u16string alphabet;
        std::size_t longest;
        bool afterFrequentUnits = false;  // first a line of 2500 units, more frequent
    };
    const Family families[] = {
        {u"ab", 6},
        {u"ab", 30},
        {u"a\r\n", 20},
        {u"ab\U0001F600", 14},
        {u"\u4E00\uFFFF\u0000a", 16},
        {u"\u7001\u7002\u7003", 12, true},  // so these take three bytes each
    };
    std::u16string frequent;
    for (char16_t unit = 0x5000; unit < 0x5000 + 2500; ++unit) frequent.append(10, unit);
    std::mt19937 random(5);
    for (const Family& family : families) {
        for (int i = 0; i < (family.afterFrequentUnits ? 300 : 2000) && !HasFailure(); ++i) {
            std::vector<std::u16string> owned =
                RandomLines(random, family.alphabet, family.longest);
            if (family.afterFrequentUnits) owned.insert(owned.begin(), frequent);
            const std::vector<std::u16string_view> lines(owned.begin(), owned.end());
            const std::vector<bool> expected = PlainOccursInEarlierLine(lines);
            const std::vector<bool> all(lines.size(), true);
            EXPECT_EQ(OccursInEarlierLine(lines), expected) << ::testing::PrintToString(owned);
            EXPECT_EQ(SearchEarlierLines(lines, all, all), expected)
                << ::testing::PrintToString(owned);
        }
    }
}

}  // namespace
}  // namespace vorlane::internal
