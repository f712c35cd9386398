// SPDX-License-Identifier: MIT

// A line occurs inside an earlier line only if every part of it does, in
// particular its keys: its first units and its last units, a few of them (all
// of it, if shorter). The search settles each line as cheaply as it can:
//  1. A pass over the lines finds where the start key of each line (its first
//     8 units) first occurs, probing at each position only the key lengths
//     whose keys are not all found yet. A line whose key first occurs in the
//     line itself is in no earlier line; one whose key occurs earlier is
//     compared with the text there. A short line is its own key, so that
//     settles it; a long one may occur at a later occurrence of its key, and
//     stays open.
//  2. The same pass with the end keys of the open lines settles those whose
//     last 8 units first occur in the line itself, or right where the line
//     would end at that first occurrence.
//  3. The same pass with start keys of 16 and then 32 units settles open lines
//     over few letters, whose 8-unit keys occur nearly everywhere.
//  4. A pass up to the last open line visits every occurrence of an open
//     line's start key and hashes the text from there on, unit by unit, to
//     find where each open line first occurs. At a few lengths it stops unless
//     some open line after the current one starts with what it has read.
//  5. If that pass would step through more than kStepsPerUnit units per unit
//     of text (keys that occur nearly everywhere, as in long runs of one
//     letter), a suffix array answers the lines still open.
// Hashes only propose: every key and line they find is compared unit by unit.

#include "earlier_occurrence.h"

#include <algorithm>
#include <span>
#include <stdexcept>

#include "key_passes.h"
#include "key_set.h"
#include "line_walks.h"

namespace vorlane::internal {
namespace {

constexpr std::size_t kManyOpen = 16;  // open lines are many when a 16th of all

}  // namespace

std::vector<bool> OccursInEarlierLine(const LineSelection& lines, SearchLimits limits) {
    std::size_t units = 0;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        units += lines[line].size();
        // Offsets within a line are kept in 32 bits.
        if (lines[line].size() >= kNowhere) throw std::length_error("line too long to search");
    }
    std::vector<bool> found(lines.size(), false);
    if (lines.size() == 0) return found;
    std::vector<std::uint32_t> open =
        SettleByKeys(lines, nullptr, KeyEnd::kStart, kKeyLength, found);
    // Each further pass settles open lines of one more kind, at the cost of a
    // probe per key length at every position. While few lines are open, as in
    // most lists, a brief walk (a step for every fourth unit) first settles
    // what it can.
    struct Pass {
        KeyEnd end;
        std::size_t longest;
    };
    constexpr Pass kPasses[] = {{KeyEnd::kEnd, kKeyLength},
                                {KeyEnd::kStart, 2 * kKeyLength},
                                {KeyEnd::kStart, kLongestKey}};
    for (const Pass& pass :
         std::span(kPasses).first(std::min(limits.laterKeyPasses, std::size(kPasses)))) {
        if (open.empty()) break;
        if (open.size() * kManyOpen < lines.size()) {
            const std::size_t brief = std::min(units / 4, limits.stepsPerUnit * units);
            open = SettleByWalking(lines, open, brief, found);
        }
        if (!open.empty()) open = SettleByKeys(lines, &open, pass.end, pass.longest, found);
    }
    if (!open.empty()) open = SettleByWalking(lines, open, limits.stepsPerUnit * units, found);
    if (open.empty()) return found;
    std::vector<bool> asked(lines.size(), false);
    for (const std::uint32_t line : open) asked[line] = true;
    const std::vector<bool> searched = SearchEarlierLines(lines, asked);
    for (const std::uint32_t line : open) found[line] = searched[line];
    return found;
}

}  // namespace vorlane::internal
