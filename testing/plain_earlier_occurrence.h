// SPDX-License-Identifier: MIT

#pragma once

// The search for lines inside earlier lines written the plain way, the
// selection of lines it works on, the limits that hand lines to each of its
// means in turn, and the partitionings that send short lists down the paths
// of long ones: what the tests and the fuzzer check the real search with.

#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

#include "removal/internal/earlier_occurrence.h"
#include "removal/internal/first_occurrences.h"
#include "text/split_text.h"

namespace vorlane::testing {

// The first of each distinct non-empty line, as the removal selects them.
inline std::vector<std::uint32_t> DistinctLines(const SplitText& split) {
    std::vector<std::uint32_t> numbers;
    std::set<std::u16string_view> seen;
    for (std::uint32_t line = 0; line < split.size(); ++line) {
        if (!split[line].empty() && seen.insert(split[line]).second) numbers.push_back(line);
    }
    return numbers;
}

// For each line, whether an earlier line holds it: a substring search of every
// earlier line.
inline std::vector<bool> PlainOccursInEarlierLine(const LineSelection& lines) {
    std::vector<bool> found(lines.size(), false);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        for (std::size_t earlier = 0; earlier < line && !found[line]; ++earlier) {
            found[line] = lines[earlier].find(lines[line]) != std::u16string_view::npos;
        }
    }
    return found;
}

// Limits that leave lines to each means of the search in turn.
inline constexpr internal::SearchLimits kEveryMeans[] = {
    {},                                           // all of them
    {.laterKeyPasses = 0, .stepsPerUnit = 1000},  // the first keys, then walking
    {.laterKeyPasses = 3, .stepsPerUnit = 0},     // every key, then the suffix array
    {.laterKeyPasses = 0, .stepsPerUnit = 0},     // the first keys, then the suffix array
};

// Threads for the key passes, each with at most this many units: one
// thread; two and three, so that even a few short lines are split between
// them, whatever a trial on one thread finds; two and three shares scanned one
// at a time, the last first, so that earlier shares find keys that later ones
// have recorded (on threads, the first share tends to finish first on a few
// lines); the same with the key lengths split between the threads after the
// trial, as where keys are found far ahead of their owners; and two as in the
// removal, which splits the lines, or the key lengths where keys are found
// far ahead of their owners, or stays on one where lines are short. All but
// the last build prefix filters at once and judge them after a few windows,
// so that short lists reach both the trials and the whole filters, and the
// start lengths they move on to. The first, the last and those that scan the
// last share first test windows against their filters a batch late, as large
// lists do; the others at once.
inline constexpr double kAlwaysSplit = 1e300;
inline constexpr double kSplitLengths = 0;
inline constexpr std::size_t kPrefixTrialForTests = 6;
// A scan on `threads` threads whatever the list, building prefix filters at
// once: split into shares of lines, or with kSplitLengths into key lengths.
constexpr internal::KeyScan SplitScanForTests(unsigned threads, bool lastShareFirst,
                                              double keysAheadOfOwners = kAlwaysSplit) {
    return {.threads = threads,
            .unitsPerThread = 1,
            .keysAheadOfOwners = keysAheadOfOwners,
            .unitsPerKeyToSplit = 0,
            .lastShareFirst = lastShareFirst,
            .probesPerPrefixKey = 0,
            .prefixTrial = kPrefixTrialForTests,
            .delayTestsFromWords = lastShareFirst ? 0 : internal::kDelayTestsFromWords};
}
inline constexpr internal::KeyScan kEveryKeyScan[] = {
    {.threads = 1,
     .probesPerPrefixKey = 0,
     .prefixTrial = kPrefixTrialForTests,
     .loadAheadFromKeys = 0,
     .delayTestsFromWords = 0},
    SplitScanForTests(2, false),
    SplitScanForTests(3, false),
    SplitScanForTests(2, true),
    SplitScanForTests(3, true),
    SplitScanForTests(2, false, kSplitLengths),
    SplitScanForTests(3, true, kSplitLengths),
    {.threads = 2, .unitsPerThread = 1, .loadAheadFromKeys = 0, .delayTestsFromWords = 0},
};

// `limits` scanning as `scan` says.
inline internal::SearchLimits WithScan(internal::SearchLimits limits, internal::KeyScan scan) {
    limits.scan = scan;
    return limits;
}

// Parts so small that a few lines fill many of them, on one and two threads;
// one part; and one table for all lines.
inline constexpr internal::Partitioning kEveryPartitioning[] = {
    {.fromLines = 0, .linesPerPart = 1, .threads = 1},
    {.fromLines = 0, .linesPerPart = 1, .threads = 2},
    {.fromLines = 0, .linesPerPart = 3, .threads = 2},
    {.fromLines = 0, .linesPerPart = 64, .threads = 1},
    {.fromLines = 0, .linesPerPart = 1000000, .threads = 2},
    {.fromLines = 1000000, .linesPerPart = 1, .threads = 2},
};

}  // namespace vorlane::testing
