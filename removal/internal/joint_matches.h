// SPDX-License-Identifier: MIT

#pragma once

// Tracks which lines occur in the kept text only by running into the CR LF
// that joins two kept lines.

#include <cstdint>
#include <string_view>
#include <vector>

#include "removal/internal/private.h"
#include "removal/internal/text_hash.h"

namespace vorlane::internal {

// A line holds no CR LF, so an occurrence in the kept text that is not inside
// one kept line covers exactly one unit of each joint it runs into: it is
//   u + CR      with u a suffix of a kept line that has a joint after it,
//   LF + v      with v a prefix of a kept line that has a joint before it, or
//   LF + y + CR with y a whole kept line that has joints on both sides.
// Lines that may match so are registered up front; each joint, as it appears,
// marks the registered u, v and y it completes. Only suffixes and prefixes of
// registered lengths are hashed, so a few such lines cost little.
class JointMatches {
public:
    // `lines` are the lines that will be asked about; each starts with LF or
    // ends with CR.
    explicit JointMatches(const std::vector<std::u16string_view>& lines);

    // Whether `line`, one of the registered lines, occurs across a joint of the
    // lines kept so far.
    bool Occurs(std::u16string_view line) const;

    // Records that `line` (not empty) was appended to the kept text.
    void Keep(std::u16string_view line);

private:
    // Registered texts of one kind (all u, all v or all y), by hash.
    class TextSet {
    public:
        explicit TextSet(std::size_t expectedCount)
            : table_(expectedCount), filter_(expectedCount) {}
        void Add(std::u16string_view text, std::uint64_t hash);
        // Whether some registered text has `length` units.
        bool HasLength(std::size_t length) const {
            return length < lengths_.size() && lengths_[length];
        }
        // The length of the longest registered text, plus one; 0 if none.
        std::size_t LengthBound() const { return lengths_.size(); }
        // Marks the registered text equal to `text`, whose hash is `hash`.
        void Mark(std::u16string_view text, std::uint64_t hash);
        bool IsMarked(std::u16string_view text, std::uint64_t hash) const;

    private:
        struct Entry {
            std::u16string_view text;
            bool marked = false;
        };
        text_hash::HashTable table_;
        text_hash::HashFilter filter_;
        std::vector<Entry> texts_;
        std::vector<bool> lengths_;
    };

    void MarkSuffixes(std::u16string_view line);
    void MarkPrefixes(std::u16string_view line);

    text_hash::Polynomial polynomial_;
    TextSet suffixesBeforeCr_;  // the u, hashed from their last unit
    TextSet prefixesAfterLf_;   // the v
    TextSet linesBetween_;      // the y
    std::u16string_view lastKept_;
    std::int64_t keptCount_ = 0;
};

}  // namespace vorlane::internal
