// SPDX-License-Identifier: MIT

#pragma once

// Finds which lines occur inside a line before them, for all lines at once.

#include <cstddef>
#include <vector>

#include "split_text.h"

namespace vorlane::internal {

// How far the search goes with each of its means before it leaves the lines
// it has not settled to a suffix array, which is slower on ordinary lists but
// never needs more than about linear time. Tests narrow them to reach every
// means often.
struct SearchLimits {
    // How many of the passes after the first are made: by end keys, then by
    // start keys of 16 and of 32 units.
    std::size_t laterKeyPasses = 3;
    // How many units the search may step through per unit of text while it
    // follows keys that occur in many places.
    std::size_t stepsPerUnit = 8;
};

// For each of `lines` (none empty, no two equal), whether it occurs as a
// contiguous run of code units inside one of the lines before it.
std::vector<bool> OccursInEarlierLine(const LineSelection& lines, SearchLimits limits = {});

// The same answer for the lines marked in `asked`, from a suffix array of the
// lines up to the last asked one. Unasked answers are false.
std::vector<bool> SearchEarlierLines(const LineSelection& lines, const std::vector<bool>& asked);

}  // namespace vorlane::internal
