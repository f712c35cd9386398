// SPDX-License-Identifier: MIT

// A line can occur inside an earlier line only if its key, its first
// kKeyLength units (or all of it, if shorter), occurs there too. A pass of
// hashes over the lines finds where each key first occurs; a line whose key
// occurs nowhere before it is not in an earlier line. Most lines that remain
// are settled by comparing them with the text at their key's first
// occurrence. The few left are answered by a suffix array of just them and the
// lines that hold their keys, found by a second pass.

#include "earlier_occurrence.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text_hash.h"

namespace vorlane::internal {
namespace {

constexpr std::size_t kKeyLength = 8;
constexpr std::size_t kLookAhead = 16;  // table lookups started ahead of use
constexpr std::uint32_t kNowhere = 0xFFFFFFFF;

struct Key {
    std::uint32_t firstLine = kNowhere;  // the first line holding this key
    std::size_t firstOffset = 0;         // where in that line
    std::uint32_t lastOwner = 0;         // the last line that starts with this key
};

// The hash of the `length` units (at most kKeyLength) at `units`. Keys of
// different lengths differ in the final term.
std::uint64_t KeyHash(const char16_t* units, std::size_t length) {
    std::uint64_t words[2] = {0, 0};
    if (length == kKeyLength) {
        std::memcpy(words, units, kKeyLength * sizeof(char16_t));
    } else {
        std::memcpy(words, units, length * sizeof(char16_t));
    }
    return words[0] * 0x9E3779B97F4A7C15 + words[1] * 0xC2B2AE3D27D4EB4F + length;
}

// The keys of the lines marked as owners. Keys whose hashes meet share one
// entry, which only makes the answers below less sharp, never wrong.
class KeyIndex {
public:
    KeyIndex(const std::vector<std::u16string_view>& lines, const std::vector<bool>& owners)
        : table_(lines.size()), filter_(lines.size()), keyOfLine_(lines.size(), kNowhere) {
        std::vector<std::uint64_t> hashes(lines.size());
        for (std::size_t line = 0; line < lines.size(); ++line) {
            if (!owners[line]) continue;
            const std::u16string_view key = lines[line].substr(0, kKeyLength);
            hashes[line] = KeyHash(key.data(), key.size());
            lengths_ |= 1U << key.size();
        }
        for (std::size_t line = 0; line < lines.size(); ++line) {
            if (line + kLookAhead < lines.size()) table_.Prefetch(hashes[line + kLookAhead]);
            if (owners[line]) AddOwner(line, hashes[line]);
        }
    }

    // Visits every run of units in the lines that may be a key, in order;
    // records where each key first occurs. Returns, for each line, whether it
    // holds the key of a later owner.
    std::vector<bool> Scan(const std::vector<std::u16string_view>& lines) {
        std::vector<bool> holdsLaterKey(lines.size(), false);
        for (std::size_t line = 0; line < lines.size(); ++line) {
            for (std::size_t length = 1; length <= kKeyLength; ++length) {
                if ((lengths_ >> length) & 1) ScanRuns(lines, line, length, holdsLaterKey);
            }
        }
        return holdsLaterKey;
    }

    const Key& KeyOf(std::size_t line) const { return keys_[keyOfLine_[line]]; }

private:
    void AddOwner(std::size_t line, std::uint64_t hash) {
        std::uint32_t found = kNowhere;
        table_.FindEach(hash, [&](std::uint32_t key) { return found = key, true; });
        if (found == kNowhere) {
            found = static_cast<std::uint32_t>(keys_.size());
            keys_.emplace_back();
            table_.Insert(hash, found);
            filter_.Add(hash);
        }
        keys_[found].lastOwner = static_cast<std::uint32_t>(line);
        keyOfLine_[line] = found;
    }

    void ScanRuns(const std::vector<std::u16string_view>& lines, std::size_t line,
                  std::size_t length, std::vector<bool>& holdsLaterKey) {
        const std::u16string_view text = lines[line];
        for (std::size_t start = 0; start + length <= text.size(); ++start) {
            const std::uint64_t hash = KeyHash(text.data() + start, length);
            if (!filter_.MayContain(hash)) continue;
            table_.FindEach(hash, [&](std::uint32_t k) {
                Key& key = keys_[k];
                if (key.firstLine == kNowhere) {
                    key.firstLine = static_cast<std::uint32_t>(line);
                    key.firstOffset = start;
                }
                if (key.lastOwner > line) holdsLaterKey[line] = true;
                return true;
            });
        }
    }

    text_hash::HashTable table_;
    text_hash::HashFilter filter_;
    std::vector<Key> keys_;
    std::vector<std::uint32_t> keyOfLine_;
    unsigned lengths_ = 0;  // bit n set: some key has n units
};

}  // namespace

std::vector<bool> OccursInEarlierLine(const std::vector<std::u16string_view>& lines) {
    std::vector<bool> found(lines.size(), false);
    std::vector<bool> unsettled(lines.size(), false);
    bool anyUnsettled = false;
    {
        KeyIndex keys(lines, std::vector<bool>(lines.size(), true));
        keys.Scan(lines);
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const Key& key = keys.KeyOf(line);
            if (key.firstLine >= line) continue;
            const std::u16string_view there = lines[key.firstLine].substr(key.firstOffset);
            found[line] = there.starts_with(lines[line]);
            unsettled[line] = !found[line];
            anyUnsettled = anyUnsettled || unsettled[line];
        }
    }
    if (!anyUnsettled) return found;
    KeyIndex keys(lines, unsettled);
    const std::vector<bool> searched = keys.Scan(lines);
    const std::vector<bool> foundLater = SearchEarlierLines(lines, searched, unsettled);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (foundLater[line]) found[line] = true;
    }
    return found;
}

}  // namespace vorlane::internal
