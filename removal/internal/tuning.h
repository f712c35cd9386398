// SPDX-License-Identifier: MIT

#pragma once

// The removal's tuning constants, in one place: each changes how fast it runs
// and how much memory it takes, never what it answers. removal/README.md says
// why each has its value.

#include <cstddef>

#include "removal/internal/private.h"

namespace vorlane::internal {

// Keys: the parts of lines the search looks for first.
inline constexpr std::size_t kKeyLength = 8;    // units of the keys looked for first
inline constexpr std::size_t kLongestKey = 32;  // units of the keys looked for last

// Memory access.
inline constexpr std::size_t kLookAhead = 16;  // table lookups started ahead of use
inline constexpr std::size_t kBatch = 32;      // positions whose filter bits load together
// Gathering keys loads the texts of likely equal keys ahead from this many
// keys on: below it they stay in cache, and loading ahead costs more.
inline constexpr std::size_t kLoadAheadFromKeys = std::size_t{1} << 16;
// Key passes test a window against a filter of this many words or more a
// batch after loading its word: smaller filters stay in cache, and waiting
// costs more than it spares.
inline constexpr std::size_t kDelayTestsFromWords = std::size_t{1} << 16;

// Long lists: the lines are split by hash into parts of about this many
// lines, whose tables stay in cache, from this many lines on (Partitioning).
inline constexpr std::size_t kLinesPerPart = 4096;
inline constexpr std::size_t kPartitionFromLines = std::size_t{1} << 16;
inline constexpr unsigned kMostThreads = 2;
inline constexpr std::size_t kTextAhead = 32;  // lines whose texts load ahead of comparing
// Key passes scan on several threads when each has this many units to read.
inline constexpr std::size_t kUnitsPerScanThread = std::size_t{1} << 22;
// ... and when a trial finds keys at most this many times as fast as it
// passes the lines that own them: faster, and later threads would mostly look
// for keys the first finds anyway.
inline constexpr double kKeysAheadOfOwners = 2;
// ... and when the lines hold this many units per key: a later thread keeps
// 9 bytes per key, which on shorter lines would add much to the memory held.
inline constexpr std::size_t kUnitsPerKeyToSplit = 8;

// Key lengths split between threads (where keys are found far ahead of their
// owners) take a thread each only where the lines hold this many units.
inline constexpr std::size_t kUnitsPerGroupThread = std::size_t{1} << 16;

// A key pass that looks for keys of several lengths first tests, at each
// position, a filter of their starts (the prefix filter), once it has made
// this many probes per key that the filter takes, and drops it for a longer
// start if more than half the windows of this many pass it.
// A trial filter of every kPrefixSample-th key comes first.
inline constexpr std::size_t kProbesPerPrefixKey = 8;
inline constexpr std::size_t kPrefixTrial = 1024;
inline constexpr std::size_t kPrefixSample = 16;

// Hash filters: a word of 64 bits for every few hashes, at most 32 MiB.
inline constexpr std::size_t kHashesPerFilterWord = 4;
inline constexpr std::size_t kMostFilterWords = std::size_t{1} << 22;

// How far the search for lines inside earlier lines goes before it turns to
// the suffix array (SearchLimits).
inline constexpr std::size_t kStepsPerUnit = 8;       // walk steps per unit of text, at most
inline constexpr std::size_t kManyOpen = 16;          // open lines are many from 1 in kManyOpen
inline constexpr std::size_t kUnitsPerBriefStep = 4;  // a brief walk: a step per 4 units
inline constexpr std::size_t kFirstCheckpoint = 12;   // units a walk reads before it checks

}  // namespace vorlane::internal
