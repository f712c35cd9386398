// SPDX-License-Identifier: MIT

#pragma once

// Finds which lines occur inside a line before them, for all lines at once.

#include <string_view>
#include <vector>

namespace vorlane::internal {

// For each of `lines` (none empty), whether it occurs as a contiguous run of
// code units inside one of the lines before it.
std::vector<bool> OccursInEarlierLine(const std::vector<std::u16string_view>& lines);

// The same answer for the lines marked in `asked`, found with a suffix array of
// the lines marked in `searched` (which must include every line that holds an
// asked line before it, and the asked lines themselves). Lines marked in
// neither are ignored; unasked answers are false.
std::vector<bool> SearchEarlierLines(const std::vector<std::u16string_view>& lines,
                                     const std::vector<bool>& searched,
                                     const std::vector<bool>& asked);

}  // namespace vorlane::internal
