// SPDX-License-Identifier: MIT

#pragma once

// Finds which lines occur inside a line before them, for all lines at once.

#include <cstddef>
#include <vector>

#include "split_text.h"

namespace vorlane::internal {

// How many units the hashed search may step through per unit of text before
// it leaves the lines it has not settled to a suffix array, which is slower on
// ordinary lists but never needs more than about linear time.
inline constexpr std::size_t kStepsPerUnit = 8;

// For each of `lines` (none empty), whether it occurs as a contiguous run of
// code units inside one of the lines before it. `stepsPerUnit` 0 leaves every
// line that a key does not settle to the suffix array.
std::vector<bool> OccursInEarlierLine(const LineSelection& lines,
                                      std::size_t stepsPerUnit = kStepsPerUnit);

// The same answer for the lines marked in `asked`, from a suffix array of the
// lines up to the last asked one. Unasked answers are false.
std::vector<bool> SearchEarlierLines(const LineSelection& lines, const std::vector<bool>& asked);

}  // namespace vorlane::internal
