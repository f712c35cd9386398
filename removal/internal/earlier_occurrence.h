// SPDX-License-Identifier: MIT

#pragma once

// Finds which lines occur inside a line before them, for all lines at once.

#include <cstddef>
#include <vector>

#include "removal/internal/key_passes.h"
#include "removal/internal/private.h"
#include "removal/internal/tuning.h"
#include "text/split_text.h"

namespace vorlane::internal {

// How far the search goes with each of its means before it leaves the lines
// it has not settled to a suffix array, which is slower on ordinary lists but
// never needs more than about linear time. Tests narrow them to reach every
// means often.
struct SearchLimits {
    // How many of the passes after the first are made: by end keys, then by
    // start keys of 16 and of 32 units (3: all of them).
    std::size_t laterKeyPasses = 3;
    // How many units the search may step through per unit of text while it
    // follows keys that occur in many places.
    std::size_t stepsPerUnit = kStepsPerUnit;
    // How the key passes scan; the answer does not depend on it.
    KeyScan scan;
};

// For each of `lines` (none empty, no two equal), whether it occurs as a
// contiguous run of code units inside one of the lines before it.
// removal/README.md tells the steps of the search.
std::vector<bool> OccursInEarlierLine(const LineSelection& lines, SearchLimits limits = {});

}  // namespace vorlane::internal
