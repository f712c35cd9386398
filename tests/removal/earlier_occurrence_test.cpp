// SPDX-License-Identifier: MIT

#include "removal/internal/earlier_occurrence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "removal/internal/key_passes.h"
#include "removal/internal/line_walks.h"
#include "removal/internal/suffix_array_search.h"
#include "removal/internal/text_hash.h"
#include "testing/both_hash_modes.h"
#include "testing/hostile_texts.h"
#include "testing/plain_earlier_occurrence.h"
#include "testing/sample_texts.h"

namespace vorlane::internal {
namespace {

using testing::DistinctLines;
using testing::kEveryKeyScan;
using testing::kEveryMeans;
using testing::PlainOccursInEarlierLine;
using testing::WithScan;

std::u16string RandomUnits(std::mt19937& random, std::u16string_view alphabet, std::size_t count) {
    std::uniform_int_distribution<std::size_t> unit(0, alphabet.size() - 1);
    std::u16string units;
    for (; count > 0; --count) units += alphabet[unit(random)];
    return units;
}

std::size_t Uniform(std::mt19937& random, std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
}

// Runs of short words over `alphabet`, each word repeated over 8 to 40
// units, `count` units in all: a line cut from them keeps a word's period for
// a while, then breaks it.
std::u16string RunsOfShortWords(std::mt19937& random, std::u16string_view alphabet,
                                std::size_t count) {
    std::u16string units;
    while (units.size() < count) {
        const std::u16string word = RandomUnits(random, alphabet, Uniform(random, 1, 4));
        for (std::size_t n = Uniform(random, 8, 40); n > 0; --n) units += word[n % word.size()];
    }
    return units.substr(0, count);
}

// A random line over `alphabet` (or, with `runs`, runs of short words), then
// lines cut from the lines before them, some with one unit changed: their
// keys occur in many places, and whether a whole line does is a close call,
// so every means of the search has work.
std::u16string PiecesOfEarlierLines(std::mt19937& random, std::u16string_view alphabet,
                                    std::size_t longest, std::size_t most, bool runs = false) {
    std::vector<std::u16string> lines = {runs ? RunsOfShortWords(random, alphabet, 4 * longest)
                                              : RandomUnits(random, alphabet, 4 * longest)};
    for (std::size_t n = Uniform(random, 1, most); n > 0; --n) {
        const std::u16string& from = lines[Uniform(random, 0, lines.size() - 1)];
        const std::size_t start = Uniform(random, 0, from.size() - 1);
        std::u16string line = from.substr(start, Uniform(random, 1, longest));
        if (Uniform(random, 0, 2) == 0) line[Uniform(random, 0, line.size() - 1)] = alphabet[0];
        if (Uniform(random, 0, 3) == 0) line = RandomUnits(random, alphabet, line.size());
        lines.push_back(line);
    }
    std::u16string text;
    for (const std::u16string& line : lines) text.append(line).append(u"\r\n");
    return text;
}

// `count` distinct units, each `times` times, on one line: more frequent than
// the units after it, which then take longer codes in the suffix array.
std::u16string FrequentUnits(std::size_t count, std::size_t times) {
    std::u16string line;
    for (std::size_t unit = 0; unit < count; ++unit) line.append(times, char16_t(0x5000 + unit));
    return line + u"\r\n";
}

// The search agrees with a plain one under every limit, on one to three
// threads, over alphabets that
// make keys collide often, on lines short and long, including the line breaks a
// line may hold and units that take one, two or three bytes in the suffix
// array (after 100 or 2500 more frequent units; 30 of each makes the table of
// unit codes cover every unit).
class EarlierLineSearch : public testing::BothHashModes {};
VORLANE_IN_BOTH_HASH_MODES(EarlierLineSearch);

TEST_P(EarlierLineSearch, AgreesWithAPlainSearch) {
    struct Family {
        std::u16string alphabet;
        std::size_t longest;
        std::u16string before;
        int texts;
        std::size_t lines = 30;  // at most, after the first
        bool runs = false;       // the first line is runs of short words
    };
    const Family families[] = {
        {u"ab", 40, u"", 3000},
        {u"ab", 80, u"", 30, 300},  // many lines left open at once
        {u"abc", 20, u"", 2000},
        {u"a\r\n", 20, u"", 1000},
        {u"ab\U0001F600\u0000", 24, u"", 1000},
        {u"\u7001\u7002", 30, FrequentUnits(100, 2), 300},
        {u"\u7001\u7002", 30, FrequentUnits(2500, 2), 100},
        {u"\u7001\u7002", 30, FrequentUnits(2500, 30), 10},
        {u"ab", 40, u"", 300, 30, true},
        {u"abcd", 60, u"", 300, 60, true},
    };
    std::mt19937 random(5);
    for (const Family& family : families) {
        for (int i = 0; i < family.texts && !HasFailure(); ++i) {
            const std::u16string text =
                family.before + PiecesOfEarlierLines(random, family.alphabet, family.longest,
                                                     family.lines, family.runs);
            const SplitText split(text);
            const LineSelection lines(split, DistinctLines(split));
            const std::vector<bool> expected = PlainOccursInEarlierLine(lines);
            // The threads take turns, text by text: every text costs a
            // search per limit.
            const internal::KeyScan scan =
                kEveryKeyScan[static_cast<std::size_t>(i) % std::size(kEveryKeyScan)];
            for (const SearchLimits limits : kEveryMeans) {
                EXPECT_EQ(OccursInEarlierLine(lines, WithScan(limits, scan)), expected)
                    << scan.threads << " threads: " << ::testing::PrintToString(text);
            }
        }
    }
}

// Lists too long for the plain search, split between threads where each
// share holds hundreds of lines or more: the answer on several threads is the
// answer on one. In the long line's list the first share finds every key, and
// the later shares stop early; in the others keys recur across shares. Most
// hashes collide in the weak mode, which makes every search slow: its lists
// are a tenth as long.
TEST_P(EarlierLineSearch, AnswersAlikeOnOneAndSeveralThreads) {
    struct Case {
        const char* name;
        std::u16string text;
    };
    const std::size_t n = GetParam() ? 1'000 : 10'000;
    const Case cases[] = {
        {"typical", testing::TypicalList(2 * n)},
        {"long line then pieces", testing::LongLineThenPieces(5 * n, n)},
        {"pieces of one line", testing::PiecesOfOneLine(3, 2 * n, n)},
        {"keys everywhere", testing::KeysThatOccurEverywhere(n)},
        {"dense short lines", testing::DenseShortLines(n / 5, 4 * n / 5)},
    };
    for (const Case& c : cases) {
        const SplitText split(c.text);
        const LineSelection lines(split, DistinctLines(split));
        for (const SearchLimits limits : kEveryMeans) {
            const std::vector<bool> alone = OccursInEarlierLine(lines, limits);
            for (const internal::KeyScan scan : kEveryKeyScan) {
                EXPECT_EQ(OccursInEarlierLine(lines, WithScan(limits, scan)), alone)
                    << c.name << " on " << scan.threads << " threads";
            }
        }
    }
}

// The filter probes that the search of pieces of one line of `length` units
// over `letters` letters makes when it scans as `scan`, and as `other`; the
// two must agree on the answer.
struct ProbeCounts {
    std::size_t scan;
    std::size_t other;
};
ProbeCounts ProbesOnPiecesOfOneLine(std::size_t letters, std::size_t length,
                                    const internal::KeyScan& scan, const internal::KeyScan& other) {
    text_hash::WeakenForTesting(false);
    const std::u16string text = testing::PiecesOfOneLine(letters, length, length / 4);
    const SplitText split(text);
    const LineSelection lines(split, DistinctLines(split));
    std::atomic<std::size_t> probes[2] = {0, 0};
    SearchLimits limits[2];
    limits[0].scan = scan;
    limits[1].scan = other;
    limits[0].scan.probes = &probes[0];
    limits[1].scan.probes = &probes[1];
    EXPECT_EQ(OccursInEarlierLine(lines, limits[0]), OccursInEarlierLine(lines, limits[1]));
    return {probes[0], probes[1]};
}

// Over a few letters, every position of a long line would probe the filter
// of every key length sought; the prefix filter must spare a good share of
// those probes (a third to a half here, the first pass included). Counted,
// not timed: with trials never judged, no prefix filter stands before any
// length.
TEST(KeyPasses, PrefixFilterSparesMostProbesOverFewLetters) {
    internal::KeyScan without;
    without.prefixTrial = std::numeric_limits<std::size_t>::max();
    for (const std::size_t letters : {2, 3, 4}) {
        const ProbeCounts probes = ProbesOnPiecesOfOneLine(letters, 800'000, {}, without);
        EXPECT_LT(probes.scan * 4, probes.other * 3) << letters << " letters";
    }
}

// Shuffled lines of a word repeated, then a unit that breaks its period: a
// line is inside an earlier one with at least as many repeats. A walk that
// read every run from each of its positions would take steps quadratic in
// its length (some 40 a unit here); reading each run once, and from each
// later position only where a line could break the period as the run does,
// takes a few. Counted, not timed.
TEST(LineWalks, SettleRunsThatBreakTheirPeriodWithinAFewStepsAUnit) {
    struct Case {
        std::u16string word;
        char16_t end;
    };
    for (const Case& c : {Case{u"a", u'b'}, Case{u"abc", u'a'}, Case{u"\u4E00\u4E01", u'x'}}) {
        std::vector<std::u16string> runs;
        std::size_t units = 0;
        for (std::size_t n = 8; units < 100'000; ++n) {
            std::u16string line;
            while (line.size() < n) line += c.word;
            runs.push_back(line + c.end);
            units += line.size() + 1;
        }
        std::shuffle(runs.begin(), runs.end(), std::mt19937(3));
        std::u16string text;
        for (const std::u16string& line : runs) text += line + u"\r\n";
        const SplitText split(text);
        const LineSelection lines(split, DistinctLines(split));
        std::vector<std::uint32_t> open(lines.size());
        std::iota(open.begin(), open.end(), 0);
        std::vector<bool> found(lines.size(), false);
        EXPECT_TRUE(SettleByWalking(lines, open, 4 * units, found).empty()) << int(c.end);
        EXPECT_EQ(found, PlainOccursInEarlierLine(lines)) << int(c.end);
    }
}

// Where keys are found far ahead of their owners, as in pieces of one long
// line, the key lengths are split between threads: each length is then
// probed by one thread, which stops once its lengths are found, so the
// threads together make about the probes one thread makes.
TEST(KeyPasses, SplitLengthsProbeAboutAsMuchAsOneThread) {
    const internal::KeyScan split = {.threads = 2, .unitsPerThread = 1, .keysAheadOfOwners = 0};
    internal::KeyScan alone = split;
    alone.threads = 1;
    for (const std::size_t letters : {2, 4}) {
        const ProbeCounts probes = ProbesOnPiecesOfOneLine(letters, 400'000, split, alone);
        EXPECT_LT(probes.scan * 4, probes.other * 5) << letters << " letters";
    }
}

// Short lines over 3,000 units of falling frequency (from U+4E00), alone or
// after 2,500 units (from U+5000, among them) each twice, so that units with
// one-, two- and three-byte codes sit side by side in the suffix array: a
// line matched from inside a longer code would be a false find.
TEST(SuffixArraySearch, MatchesOnlyWholeUnits) {
    std::mt19937 random(7);
    std::vector<double> weights;
    for (int rank = 0; rank < 3000; ++rank) weights.push_back(1.0 / (rank + 1));
    std::discrete_distribution<int> unit(weights.begin(), weights.end());
    for (const std::u16string& before : {std::u16string(), FrequentUnits(2500, 2)}) {
        for (int i = 0; i < 100 && !HasFailure(); ++i) {
            std::u16string text = before;
            for (int line = 0; line < 300; ++line) {
                for (std::size_t n = Uniform(random, 1, 3); n > 0; --n)
                    text += char16_t(0x4E00 + unit(random));
                text += u"\r\n";
            }
            const SplitText split(text);
            const LineSelection lines(split, DistinctLines(split));
            EXPECT_EQ(SearchEarlierLines(lines, std::vector<bool>(lines.size(), true)),
                      PlainOccursInEarlierLine(lines));
        }
    }
}

// Keys are hashed whole, four units a step, and windows of text unit by unit:
// the two must agree, or keys are never found where they occur.
TEST(PolynomialHash, OfAgreesWithAppendingUnitByUnit) {
    const text_hash::Polynomial polynomial;
    std::u16string text;
    std::uint64_t appended = 0;
    for (const char16_t unit : std::u16string{0xFFFF, 0xFFFF, 'a', 0, 0xFFFE, 0xD800, 'b', 'c',
                                              0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 'z'}) {
        EXPECT_EQ(polynomial.Of(text), appended) << text.size();
        text += unit;
        appended = polynomial.Append(appended, unit);
    }
}

}  // namespace
}  // namespace vorlane::internal
