// SPDX-License-Identifier: MIT

#include "removal/remove_duplicate_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "testing/both_hash_modes.h"
#include "testing/plain_remove_duplicate_lines.h"

namespace vorlane {
namespace {

struct Case {
    std::u16string input;
    std::u16string output;
    std::int64_t pieces;
    std::int64_t added;
    std::int64_t duplicates;
};

class Removal : public testing::BothHashModes {};
VORLANE_IN_BOTH_HASH_MODES(Removal);

void ExpectRemoval(const Case& c) {
    const DuplicateRemovalResult result = RemoveDuplicateLines(c.input);
    EXPECT_EQ(result.text, c.output) << "input: " << ::testing::PrintToString(c.input);
    EXPECT_EQ(result.pieceCount, c.pieces) << ::testing::PrintToString(c.input);
    EXPECT_EQ(result.addedCount, c.added) << ::testing::PrintToString(c.input);
    EXPECT_EQ(result.duplicateCount, c.duplicates) << ::testing::PrintToString(c.input);
}

TEST_P(Removal, KeepsFirstOccurrencesAndCountsEveryLine) {
    const std::vector<Case> cases = {
        {u"a", u"a", 1, 1, 0},
        {u"a\r\na", u"a", 2, 1, 1},
        {u"a\r\nb\r\n", u"a\r\nb", 3, 2, 1},
        {u"\r\na", u"a", 2, 1, 1},
        {u"\r\n\r\n", u"", 3, 0, 3},
        {u"x\r\ny\r\nx\r\ny", u"x\r\ny", 4, 2, 2},
        {u"a\r\n\r\nb\r\n\r\n", u"a\r\nb", 5, 2, 3},
    };
    for (const Case& c : cases) ExpectRemoval(c);
}

TEST_P(Removal, LineInsideAKeptLineIsPresent) {
    const std::vector<Case> cases = {
        {u"abc\r\nb", u"abc", 2, 1, 1},       // a part of a kept line
        {u"b\r\nabc", u"b\r\nabc", 2, 2, 0},  // a line holding a kept line is new
        {u"a \r\na", u"a ", 2, 1, 1},         // a part of "a " with its space
        {u"ab\r\ncd\r\nb\r\nc", u"ab\r\ncd", 4, 2, 2},
        // keys whose hashes collide in a table: the second key must be searched too
        {u"fqngosbh\r\npabitrquo\r\nfqngosbhs\r\nabitrquo", u"fqngosbh\r\npabitrquo\r\nfqngosbhs",
         4, 3, 1},
    };
    for (const Case& c : cases) ExpectRemoval(c);
}

TEST_P(Removal, MatchesAcrossTheJointsOfKeptLines) {
    const std::vector<Case> cases = {
        {u"ab\r\ncd\r\nb\r", u"ab\r\ncd", 3, 2, 1},                 // "b" + the joint's CR
        {u"ab\r\ncd\r\n\nc", u"ab\r\ncd", 3, 2, 1},                 // the joint's LF + "c"
        {u"ab\r\ncd\r\nef\r\n\ncd\r", u"ab\r\ncd\r\nef", 4, 3, 1},  // a whole kept line
        {u"a\r\nb\r\n\r", u"a\r\nb", 3, 2, 1},                      // only a CR
        {u"a\r\n\r", u"a\r\n\r", 2, 2, 0},                          // no joint yet
    };
    for (const Case& c : cases) ExpectRemoval(c);
}

TEST_P(Removal, ComparesCodeUnitsExactly) {
    const std::vector<Case> cases = {
        {u"A\r\na", u"A\r\na", 2, 2, 0},                    // case matters
        {u"a\r\na ", u"a\r\na ", 2, 2, 0},                  // a trailing space matters
        {u"a\u00A0b\r\na b", u"a\u00A0b\r\na b", 2, 2, 0},  // NBSP is not a space
        {u"a\nb", u"a\nb", 1, 1, 0},                        // a lone LF is text
        {u"a\rb\r\na", u"a\rb", 2, 1, 1},                   // a lone CR is text
        {u"\U0001F600\r\n\U0001F600", u"\U0001F600", 2, 1, 1},
        {u"\U0001F600\r\n\xD83D", u"\U0001F600", 2, 1, 1},  // half a pair is a code unit
    };
    for (const Case& c : cases) ExpectRemoval(c);
}

// Random texts from a few tokens reach every joint and boundary case often.
std::u16string RandomText(std::mt19937& random, const std::vector<std::u16string>& tokens,
                          std::size_t longest) {
    std::uniform_int_distribution<std::size_t> length(1, longest);
    std::uniform_int_distribution<std::size_t> token(0, tokens.size() - 1);
    std::u16string text;
    for (std::size_t n = length(random); n > 0; --n) text += tokens[token(random)];
    return text;
}

std::u16string RandomText(std::mt19937& random) {
    static const std::vector<std::u16string> kTokens = {
        u"a", u"b", u"\r", u"\n", u"\r\n", u"\r\n", u"\r\n\r\n", u"\U0001F600", u"\u00A0"};
    return RandomText(random, kTokens, 24);
}

void ExpectSameAsPlain(std::u16string_view text) {
    const DuplicateRemovalResult expected = testing::PlainRemoveDuplicateLines(text);
    ExpectRemoval({std::u16string(text), expected.text, expected.pieceCount, expected.addedCount,
                   expected.duplicateCount});
}

TEST_P(Removal, AgreesWithThePlainAlgorithmOnRandomTexts) {
    struct Family {
        std::vector<std::u16string> tokens;
        std::size_t longest;  // tokens per text
    };
    const Family families[] = {
        // short lines: keys are whole lines; every joint case
        {{u"a", u"b", u"\r", u"\n", u"\r\n", u"\r\n", u"\r\n\r\n", u"\U0001F600", u"\u00A0"}, 24},
        {{u"a", u"\r", u"\n"}, 30},
        // longer lines over two letters: keys collide often, so the suffix array decides
        {{u"a", u"b", u"a", u"b", u"ab", u"ba", u"\r", u"\n", u"\r\n"}, 120},
    };
    std::mt19937 random(20261206);
    for (const Family& family : families) {
        for (int i = 0; i < 20000 && !HasFailure(); ++i) {
            ExpectSameAsPlain(RandomText(random, family.tokens, family.longest));
        }
    }
}

TEST_P(Removal, SecondRunDropsNothing) {
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const DuplicateRemovalResult first = RemoveDuplicateLines(RandomText(random));
        if (first.text.empty()) continue;
        const DuplicateRemovalResult second = RemoveDuplicateLines(first.text);
        EXPECT_EQ(second.text, first.text);
        EXPECT_EQ(second.addedCount, first.addedCount);
        EXPECT_EQ(second.duplicateCount, 0);
    }
}

TEST(RemoveDuplicateLinesCounts, FarMoreThanSixteenBitsAllow) {
    std::u16string text;
    constexpr int kLines = 100000;
    for (int i = 0; i < kLines; ++i) {
        const std::string line = "line " + std::to_string(i % 5000) + "\r\n";
        text.append(line.begin(), line.end());
    }
    const DuplicateRemovalResult result = RemoveDuplicateLines(text);
    EXPECT_EQ(result.pieceCount, kLines + 1);
    EXPECT_EQ(result.addedCount, 5000);
    EXPECT_EQ(result.duplicateCount, kLines + 1 - 5000);
}

TEST(FormatRemovalSummary, ListsTheThreeCounts) {
    DuplicateRemovalResult result;
    result.pieceCount = 100001;
    result.addedCount = 5000;
    result.duplicateCount = 95001;
    EXPECT_EQ(FormatRemovalSummary(result),
              u"执行完成，原总数:100001，处理后数:5000，清出重复数:95001");
    EXPECT_EQ(FormatRemovalSummary(RemoveDuplicateLines(u"a")),
              u"执行完成，原总数:1，处理后数:1，清出重复数:0");
}

}  // namespace
}  // namespace vorlane
