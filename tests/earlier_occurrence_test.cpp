// SPDX-License-Identifier: MIT

#include "earlier_occurrence.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace vorlane::internal {
namespace {

std::vector<bool> PlainOccursInEarlierLine(const LineSelection& lines) {
    std::vector<bool> found(lines.size(), false);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        for (std::size_t earlier = 0; earlier < line && !found[line]; ++earlier) {
            found[line] = lines[earlier].find(lines[line]) != std::u16string_view::npos;
        }
    }
    return found;
}

// The first of each distinct non-empty line.
std::vector<std::uint32_t> DistinctLines(const SplitText& split) {
    std::vector<std::uint32_t> numbers;
    std::set<std::u16string_view> seen;
    for (std::uint32_t line = 0; line < split.size(); ++line) {
        if (!split[line].empty() && seen.insert(split[line]).second) numbers.push_back(line);
    }
    return numbers;
}

// Limits that leave lines to each means of the search in turn.
constexpr SearchLimits kEveryMeans[] = {
    {},                                           // all of them
    {.longerKeys = false, .stepsPerUnit = 1000},  // short keys and walking
    {.longerKeys = true, .stepsPerUnit = 0},      // keys, then the suffix array
    {.longerKeys = false, .stepsPerUnit = 0},     // short keys, then the suffix array
};

std::u16string RandomText(std::mt19937& random, std::u16string_view alphabet, std::size_t longest) {
    std::uniform_int_distribution<std::size_t> lines(1, 12);
    std::uniform_int_distribution<std::size_t> length(1, longest);
    std::uniform_int_distribution<std::size_t> unit(0, alphabet.size() - 1);
    std::u16string text;
    for (std::size_t n = lines(random); n > 0; --n) {
        for (std::size_t units = length(random); units > 0; --units) text += alphabet[unit(random)];
        text += u"\r\n";
    }
    return text;
}

// The keyed search and the suffix array (all open lines left to it) agree with
// a plain search, on lines short and long, over alphabets that make keys meet
// often, and with units that get long byte codes in the suffix array.
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
    frequent += u"\r\n";
    std::mt19937 random(5);
    for (const Family& family : families) {
        for (int i = 0; i < (family.afterFrequentUnits ? 300 : 2000) && !HasFailure(); ++i) {
            std::u16string text = RandomText(random, family.alphabet, family.longest);
            if (family.afterFrequentUnits) text = frequent + text;
            const SplitText split(text);
            const LineSelection lines(split, DistinctLines(split));
            const std::vector<bool> expected = PlainOccursInEarlierLine(lines);
            for (const SearchLimits limits : kEveryMeans) {
                EXPECT_EQ(OccursInEarlierLine(lines, limits), expected)
                    << ::testing::PrintToString(text);
            }
        }
    }
}

}  // namespace
}  // namespace vorlane::internal
