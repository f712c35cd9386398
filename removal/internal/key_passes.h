// SPDX-License-Identifier: MIT

#pragma once

// Passes over the lines that find where keys of lines first occur, and settle
// the lines that this decides.

#include <cstdint>
#include <vector>

#include "removal/internal/key_set.h"
#include "removal/internal/private.h"
#include "removal/internal/tuning.h"
#include "text/split_text.h"

namespace vorlane::internal {

// How many threads a key pass may scan the lines on: at most `most`, each
// with at least `fewestUnits` units to read. The answer does not depend on it.
struct ScanThreads {
    unsigned most = 1;
    std::size_t fewestUnits = 0;
    // A scan splits only if a trial on one thread finds keys at most this many
    // times as fast as it passes their owners (in shares of all of them).
    double mostAheadOfOwners = kKeysAheadOfOwners;
    // A scan splits only if its lines hold this many units per key.
    std::size_t fewestUnitsPerKey = kUnitsPerKeyToSplit;
    // For tests: the shares of a split scan one at a time, the last first, so
    // that every share's finds meet the finds of later shares in the record.
    bool lastShareFirst = false;
};

// Settles what the keys of at most `longest` units at `end` of the lines
// `open` (numbers in ascending order; all lines if nullptr) can: the lines
// found at their key's first occurrence, and those whose key first occurs in
// the line itself. Returns the lines left open.
std::vector<std::uint32_t> SettleByKeys(const LineSelection& lines,
                                        const std::vector<std::uint32_t>* open, KeyEnd end,
                                        std::size_t longest, const ScanThreads& threads,
                                        std::vector<bool>& found);

}  // namespace vorlane::internal
