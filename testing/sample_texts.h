// SPDX-License-Identifier: MIT

#pragma once

// Seeded lists of lines for the benchmarks: the typical list users paste, and
// the shapes that stress particular parts of duplicate-line removal. The same
// arguments always give the same text.

#include <cstddef>
#include <string>

namespace vorlane::testing {

// `lines` lines of 8 to 40 characters from [a-z0-9], a fifth of them wrapped in
// CJK characters, 30 % of them repeats of earlier lines, each followed by
// `lineEnd` (CR LF, or a hostile variant such as CR CR LF).
std::u16string TypicalList(std::size_t lines, std::u16string_view lineEnd = u"\r\n");

// One line of `longLength` random units, then `lines` lines that are pieces of
// it, 8 to 40 units long.
std::u16string LongLineThenPieces(std::size_t longLength, std::size_t lines);

// `lines` copies of one line.
std::u16string IdenticalLines(std::size_t lines);

// `lines` lines of "a" repeated 1 to `longest` times, in random order.
std::u16string RunsOfA(std::size_t lines, std::size_t longest);

// `units` random characters from [a-z0-9] with no line break.
std::u16string OneLongLine(std::size_t units);

}  // namespace vorlane::testing
