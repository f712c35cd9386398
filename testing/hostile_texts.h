// SPDX-License-Identifier: MIT

#pragma once

// Seeded lists built against duplicate-line removal: each aims at a shortcut
// of it (a key, a filter, a hash table, the joint tracking, the suffix array)
// and makes it do the most work per unit of text. The same arguments always
// give the same text; every line ends in CR LF.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlane::testing {

// One line of `longLength` letters from the first `letters` of [a-z0-9A-Z],
// then `pieces` lines of 1 to 40 units taken from it: keys of every length
// occur, most of them many times.
std::u16string PiecesOfOneLine(std::size_t letters, std::size_t longLength, std::size_t pieces);

// Half the lines strung together from a few thousand eight-letter words, then
// lines of one such word and a random tail: their keys occur at many places,
// the lines nowhere.
std::u16string KeysThatOccurEverywhere(std::size_t lines);

// Lines of one eight-unit start and 8 to 32 units from `characters` distinct
// CJK characters: every key is the same, no line holds another.
std::u16string SharedKeyManyCharacters(std::size_t lines, std::size_t characters);

// Every string of 1 to 5 letters over "abcd" as a line, and `shortLines` lines
// of 6 or 7 such letters, shuffled among `typicalLines` typical lines: keys of
// every length are in use for the whole list.
std::u16string DenseShortLines(std::size_t shortLines, std::size_t typicalLines);

// One line of all 65,536 code units in random order (no CR LF in it), then
// `pieces` pieces of it, 8 to 40 units long, with their last unit changed:
// each key occurs once, the line never.
std::u16string AllUnitsThenAlteredPieces(std::size_t pieces);

// `lines` empty lines.
std::u16string EmptyLines(std::size_t lines);

// Distinct lines of one and two units, `lines` in all.
std::u16string DistinctTinyLines(std::size_t lines);

// A line that starts with LF and ends with CR, then the typical list.
std::u16string TypicalAfterAJointLine(std::size_t lines);

// `typicalLines` typical lines, then PiecesOfOneLine over 3 letters with a long
// line of 4 * `pieces` units: the start looks like a list whose key passes
// split over threads, the rest holds every later key in one line.
std::u16string TypicalThenPiecesOfOneLine(std::size_t typicalLines, std::size_t pieces);

// `lines` lines of "aaaaaaaa" and 8 to 32 random letters.
std::u16string SharedKeyRandomTails(std::size_t lines);

// Lines of n "a" and one "b", for n from 8 up in random order, `units` units
// in all: each key occurs at nearly every position, every line is new.
std::u16string RunsEndingInB(std::size_t units);

// `lines` distinct lines of 12 units, made so that under the hash keys of
// `seed` all of them, and all their start keys, hash alike: what a list built
// against fixed, known hash functions looks like.
std::u16string BuiltAgainstKnownKeys(std::size_t lines, std::uint64_t seed);

}  // namespace vorlane::testing
