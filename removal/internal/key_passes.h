// SPDX-License-Identifier: MIT

#pragma once

// Passes over the lines that find where keys of lines first occur, and settle
// the lines that this decides.

#include <atomic>
#include <cstdint>
#include <vector>

#include "removal/internal/key_set.h"
#include "removal/internal/private.h"
#include "removal/internal/tuning.h"
#include "text/split_text.h"

namespace vorlane::internal {

// How a key pass scans the lines: on how many threads, at most `threads`,
// each with at least `unitsPerThread` units to read (0: any). The answer does
// not depend on it.
struct KeyScan {
    unsigned threads = 1;
    std::size_t unitsPerThread = kUnitsPerScanThread;
    // A scan splits only if a trial on one thread finds keys at most this many
    // times as fast as it passes their owners (in shares of all of them).
    double keysAheadOfOwners = kKeysAheadOfOwners;
    // A scan splits only if its lines hold this many units per key.
    std::size_t unitsPerKeyToSplit = kUnitsPerKeyToSplit;
    // For tests: the shares of a split scan one at a time, the last first, so
    // that every share's finds meet the finds of later shares in the record.
    bool lastShareFirst = false;
    // A prefix filter of keys is built only once the scan has made this many
    // filter probes per key it takes, and is judged after this many windows.
    std::size_t probesPerPrefixKey = kProbesPerPrefixKey;
    std::size_t prefixTrial = kPrefixTrial;
    // Gathering the keys loads the text of a likely equal key ahead of
    // comparing from this many owners on.
    std::size_t loadAheadFromKeys = kLoadAheadFromKeys;
    // The scan tests windows against filters of this many words or more a
    // batch after it starts loading their bits.
    std::size_t delayTestsFromWords = kDelayTestsFromWords;
    // For tests: if set, each scan adds the filter probes it made here.
    std::atomic<std::size_t>* probes = nullptr;
};

// Settles what the keys of at most `longest` units at `end` of the lines
// `open` (numbers in ascending order; all lines if nullptr) can: the lines
// found at their key's first occurrence, and those whose key first occurs in
// the line itself. Returns the lines left open.
std::vector<std::uint32_t> SettleByKeys(const LineSelection& lines,
                                        const std::vector<std::uint32_t>* open, KeyEnd end,
                                        std::size_t longest, const KeyScan& scan,
                                        std::vector<bool>& found);

}  // namespace vorlane::internal
