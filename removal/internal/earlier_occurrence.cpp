// SPDX-License-Identifier: MIT

// The passes that settle each line as cheaply as its shape allows, from keys
// to walks to the suffix array; removal/README.md tells them in order.

#include "removal/internal/earlier_occurrence.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "removal/internal/key_passes.h"
#include "removal/internal/key_set.h"
#include "removal/internal/line_walks.h"
#include "removal/internal/suffix_array_search.h"
#include "removal/internal/tuning.h"

namespace vorlane::internal {

std::vector<bool> OccursInEarlierLine(const LineSelection& lines, SearchLimits limits) {
    std::size_t units = 0;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        units += lines[line].size();
        // Offsets within a line are kept in 32 bits.
        if (lines[line].size() >= std::numeric_limits<std::uint32_t>::max()) {
            throw std::length_error("line too long to search");
        }
    }
    std::vector<bool> found(lines.size(), false);
    if (lines.size() == 0) return found;
    std::vector<std::uint32_t> open =
        SettleByKeys(lines, nullptr, KeyEnd::kStart, kKeyLength, limits.scan, found);
    // Each further pass settles open lines of one more kind, at the cost of a
    // probe per key length at every position. While few lines are open, as in
    // most lists, a brief walk (a step for every kUnitsPerBriefStep units)
    // first settles what it can; but when the key passes are split over
    // threads, the end keys settle the few lines a list leaves open by keys
    // met by chance sooner than a walk on one thread, and go first.
    struct Pass {
        KeyEnd end;
        std::size_t longest;
    };
    constexpr Pass kPasses[] = {{KeyEnd::kEnd, kKeyLength},
                                {KeyEnd::kStart, 2 * kKeyLength},
                                {KeyEnd::kStart, kLongestKey}};
    const std::size_t passes = std::min<std::size_t>(limits.laterKeyPasses, std::size(kPasses));
    const bool splitScans = limits.scan.threads > 1 && units >= 2 * limits.scan.unitsPerThread;
    for (std::size_t p = 0; p < passes && !open.empty(); ++p) {
        if (open.size() * kManyOpen < lines.size() && (p > 0 || !splitScans)) {
            const std::size_t brief =
                std::min(units / kUnitsPerBriefStep, limits.stepsPerUnit * units);
            open = SettleByWalking(lines, open, brief, found);
        }
        if (!open.empty()) {
            open =
                SettleByKeys(lines, &open, kPasses[p].end, kPasses[p].longest, limits.scan, found);
        }
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
