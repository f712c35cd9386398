// SPDX-License-Identifier: MIT

#include "removal/internal/first_occurrences.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "removal/remove_duplicate_lines.h"
#include "testing/both_hash_modes.h"
#include "testing/plain_earlier_occurrence.h"
#include "testing/plain_remove_duplicate_lines.h"

namespace vorlane::internal {
namespace {

using testing::kEveryPartitioning;
using text_hash::kNone;

std::vector<std::uint32_t> PlainNumbers(const SplitText& lines,
                                        std::vector<std::uint32_t>& distinct) {
    std::map<std::u16string_view, std::uint32_t> numbers;
    std::vector<std::uint32_t> result(lines.size(), kNone);
    for (std::uint32_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty() || numbers.contains(lines[i])) continue;
        result[i] = numbers[lines[i]] = static_cast<std::uint32_t>(distinct.size());
        distinct.push_back(i);
    }
    return result;
}

// `count` lines drawn from `variety` short texts over two letters, some
// empty: repeats near and far, and lines that differ in one unit.
std::u16string RepeatingLines(std::mt19937& random, std::size_t count, std::size_t variety) {
    std::uniform_int_distribution<std::size_t> pick(0, variety);
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t n = pick(random);
        while (n > 0) {
            text += n % 2 == 0 ? u'a' : u'b';
            n /= 2;
        }
        text += u"\r\n";
    }
    return text;
}

class FirstOccurrences : public testing::BothHashModes {};
VORLANE_IN_BOTH_HASH_MODES(FirstOccurrences);

TEST_P(FirstOccurrences, AgreeWithAPlainMapUnderEveryPartitioning) {
    std::mt19937 random(19);
    struct Shape {
        std::size_t lines;
        std::size_t variety;
    };
    for (const Shape shape : {Shape{1, 3}, Shape{2, 1}, Shape{40, 8}, Shape{300, 500},
                              Shape{3000, 100000}, Shape{5000, 40}}) {
        const std::u16string text = RepeatingLines(random, shape.lines, shape.variety);
        const SplitText lines(text);
        std::vector<std::uint32_t> expectedDistinct;
        const std::vector<std::uint32_t> expected = PlainNumbers(lines, expectedDistinct);
        for (const Partitioning& partitioning : kEveryPartitioning) {
            std::vector<std::uint32_t> distinct;
            EXPECT_EQ(NumberFirstOccurrences(lines, distinct, partitioning), expected)
                << shape.lines << " lines, " << partitioning.linesPerPart << " per part";
            EXPECT_EQ(distinct, expectedDistinct);
        }
    }
}

TEST_P(FirstOccurrences, KeptLinesAgreeWithThePlainRemovalUnderEveryPartitioning) {
    std::mt19937 random(23);
    const std::vector<std::u16string> tokens = {u"a",  u"b",    u"ab",   u"\r",
                                                u"\n", u"\r\n", u"\r\n", u"\r\n\r\n"};
    std::uniform_int_distribution<std::size_t> token(0, tokens.size() - 1);
    std::uniform_int_distribution<std::size_t> length(1, 200);
    for (int i = 0; i < 300 && !HasFailure(); ++i) {
        std::u16string text;
        for (std::size_t n = length(random); n > 0; --n) text += tokens[token(random)];
        const std::u16string expected = testing::PlainRemoveDuplicateLines(text).text;
        for (const Partitioning& partitioning : kEveryPartitioning) {
            const std::vector<bool> kept = FindKeptLines(text, partitioning);
            const std::vector<std::u16string_view> lines = testing::SplitAtCrLf(text);
            ASSERT_EQ(kept.size(), lines.size());
            std::u16string joined;
            for (std::size_t line = 0; line < lines.size(); ++line) {
                if (!kept[line]) continue;
                if (!joined.empty()) joined += u"\r\n";
                joined += lines[line];
            }
            EXPECT_EQ(joined, expected) << ::testing::PrintToString(text);
        }
    }
}

TEST(FirstOccurrencesThreads, OneThreadGivesWhatTwoGive) {
    std::mt19937 random(29);
    const std::u16string text = RepeatingLines(random, 200000, 150000);
    const SplitText lines(text);
    std::vector<std::uint32_t> oneDistinct;
    std::vector<std::uint32_t> twoDistinct;
    const auto one = NumberFirstOccurrences(lines, oneDistinct, {0, 256, 1});
    const auto two = NumberFirstOccurrences(lines, twoDistinct, {0, 256, 2});
    EXPECT_EQ(one, two);
    EXPECT_EQ(oneDistinct, twoDistinct);
    EXPECT_EQ(FindKeptLines(text, {0, 256, 1}), FindKeptLines(text, {0, 256, 2}));
    EXPECT_EQ(FindKeptLines(text, {0, 256, 2}), vorlane::FindKeptLines(text));
}

}  // namespace
}  // namespace vorlane::internal
