// SPDX-License-Identifier: MIT

#pragma once

// The search for lines inside earlier lines by a suffix array, which never
// needs more than about linear time, whatever the lines.

#include <vector>

#include "removal/internal/private.h"
#include "text/split_text.h"

namespace vorlane::internal {

// For each of `lines` (none empty, no two equal) marked in `asked`, whether it
// occurs as a contiguous run of code units inside one of the lines before it,
// from a suffix array of the lines up to the last asked one. Unasked answers
// are false.
std::vector<bool> SearchEarlierLines(const LineSelection& lines, const std::vector<bool>& asked);

}  // namespace vorlane::internal
