// SPDX-License-Identifier: MIT

#pragma once

// Finds which lines repeat an earlier line's text.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "removal/internal/private.h"
#include "removal/internal/tuning.h"
#include "text/split_text.h"

namespace vorlane::internal {

// How a long list is split into parts that are searched apart and on several
// threads. Tests shrink the parts to reach every path with few lines.
struct Partitioning {
    // Lists of fewer lines use one table, which is quicker while it fits in
    // the caches.
    std::size_t fromLines = kPartitionFromLines;
    // Lines per part, about: few enough that a part's table stays in cache.
    std::size_t linesPerPart = kLinesPerPart;
    // Threads at most; the result does not depend on it.
    unsigned threads = kMostThreads;
};

// The parts and threads used unless a caller says otherwise.
Partitioning DefaultPartitioning();

// For each line: its number among the distinct non-empty lines if it is the
// first with its text, else text_hash::kNone. Fills `distinct` with the line numbers of
// those first lines, in order.
std::vector<std::uint32_t> NumberFirstOccurrences(const SplitText& lines,
                                                  std::vector<std::uint32_t>& distinct,
                                                  const Partitioning& partitioning);

// FindKeptLines (remove_duplicate_lines.h) with the given partitioning.
std::vector<bool> FindKeptLines(std::u16string_view text, const Partitioning& partitioning);

}  // namespace vorlane::internal
