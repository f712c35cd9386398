// SPDX-License-Identifier: MIT

// A line can occur inside an earlier line only if its key, its first
// kKeyLength units (all of it, if shorter), occurs there too. The search:
//  1. One pass over the lines finds where each key first occurs, probing at
//     each position only the key lengths whose keys have not all been found.
//     A line whose key first occurs in the line itself is in no earlier line;
//     one whose key occurs earlier is compared with the text there. A short
//     line is its own key, so that settles it; a long one may still occur at
//     a later occurrence of its key, and stays open.
//  2. A second pass visits every occurrence of an open line's key, up to the
//     last open line, and hashes the text from there on, unit by unit, to
//     find where each open line first occurs.
//  3. If that pass would step through more than a few units per unit of text
//     (keys that occur nearly everywhere, as in long runs of one letter), a
//     suffix array answers the lines still open.
// Hashes only propose: every key and line they find is compared unit by unit.

#include "earlier_occurrence.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <optional>
#include <stdexcept>

#include "text_hash.h"

namespace vorlane::internal {
namespace {

constexpr std::size_t kKeyLength = 8;
constexpr std::uint32_t kNowhere = 0xFFFFFFFF;
constexpr std::size_t kLookAhead = 16;  // table lookups started ahead of use

std::u16string_view KeyOf(std::u16string_view line) { return line.substr(0, kKeyLength); }

struct Occurrence {
    std::uint32_t line = kNowhere;
    std::uint32_t offset = 0;
};

// The distinct keys of all lines, and where each first occurs.
class FirstKeyOccurrences {
public:
    explicit FirstKeyOccurrences(const LineSelection& lines)
        : lines_(lines), keyOfLine_(lines.size()) {
        std::array<std::size_t, kKeyLength + 1> counts{};
        for (std::size_t line = 0; line < lines.size(); ++line) ++counts[KeyOf(lines[line]).size()];
        for (std::size_t length = 1; length <= kKeyLength; ++length) {
            tables_[length].emplace(counts[length]);
            filters_[length].emplace(counts[length]);
        }
        for (std::size_t line = 0; line < lines.size(); ++line) {
            if (line + kLookAhead < lines.size()) Prefetch(KeyOf(lines[line + kLookAhead]));
            AddKey(line);
        }
    }

    // Where the key of `line` first occurs; always at or before the line.
    Occurrence FirstOf(std::size_t line) const { return first_[keyOfLine_[line]]; }

    void Scan() {
        for (std::size_t line = 0; line < lines_.size() && unfound_ != 0; ++line) {
            const std::u16string_view text = lines_[line];
            for (std::size_t start = 0; start < text.size(); ++start) {
                const std::size_t room = std::min(text.size() - start, kKeyLength);
                for (unsigned lengths = unfound_ & ((2U << room) - 1); lengths != 0;
                     lengths &= lengths - 1) {
                    Probe(text, start, static_cast<std::size_t>(std::countr_zero(lengths)), line);
                }
            }
        }
    }

private:
    std::u16string_view KeyText(std::uint32_t key) const { return KeyOf(lines_[owners_[key]]); }

    void Prefetch(std::u16string_view key) const {
        tables_[key.size()]->Prefetch(text_hash::ShortHash(key.data(), key.size()));
    }

    void AddKey(std::size_t line) {
        const std::u16string_view key = KeyOf(lines_[line]);
        const std::uint64_t hash = text_hash::ShortHash(key.data(), key.size());
        std::uint32_t found = kNowhere;
        tables_[key.size()]->FindEach(
            hash, [&](std::uint32_t k) { return KeyText(k) == key && (found = k, true); });
        if (found == kNowhere) {
            found = static_cast<std::uint32_t>(owners_.size());
            owners_.push_back(static_cast<std::uint32_t>(line));
            first_.emplace_back();
            tables_[key.size()]->Insert(hash, found);
            filters_[key.size()]->Add(hash);
            if (++unfoundCounts_[key.size()] == 1) unfound_ |= 1U << key.size();
        }
        keyOfLine_[line] = found;
    }

    void Probe(std::u16string_view text, std::size_t start, std::size_t length, std::size_t line) {
        const std::uint64_t hash = text_hash::ShortHash(text.data() + start, length);
        if (!filters_[length]->MayContain(hash)) return;
        tables_[length]->FindEach(hash, [&](std::uint32_t key) {
            if (first_[key].line != kNowhere || KeyText(key) != text.substr(start, length)) {
                return false;
            }
            first_[key] = {static_cast<std::uint32_t>(line), static_cast<std::uint32_t>(start)};
            if (--unfoundCounts_[length] == 0) unfound_ &= ~(1U << length);
            return true;
        });
    }

    const LineSelection& lines_;
    std::vector<std::uint32_t> keyOfLine_;
    std::vector<std::uint32_t> owners_;  // of each key, the first line with it
    std::vector<Occurrence> first_;      // of each key
    // Per key length: the keys by hash, and how many have not been found yet.
    std::array<std::optional<text_hash::HashTable>, kKeyLength + 1> tables_;
    std::array<std::optional<text_hash::HashFilter>, kKeyLength + 1> filters_;
    std::array<std::size_t, kKeyLength + 1> unfoundCounts_{};
    unsigned unfound_ = 0;  // bit n set: some key of n units has not been found
};

// Where each of some long lines first occurs, found by hashing the text after
// every occurrence of their keys.
class FirstLineOccurrences {
public:
    // `open` numbers lines of `lines` longer than a key, in ascending order.
    FirstLineOccurrences(const LineSelection& lines, const std::vector<std::uint32_t>& open)
        : lines_(lines),
          open_(open),
          first_(open.size(), kNowhere),
          keyTable_(open.size()),
          keyFilter_(open.size()),
          lineTable_(open.size()),
          lineFilter_(open.size()),
          unfound_(open.size()) {
        for (std::uint32_t i = 0; i < open.size(); ++i) {
            AddKey(open[i]);
            const std::uint64_t hash = polynomial_.Of(lines[open[i]]);
            lineTable_.Insert(hash, i);
            lineFilter_.Add(hash);
        }
    }

    // Scans the lines up to the last open one, unless that takes more than
    // `steps` steps. Returns whether it got there; if not, the open lines it
    // did not reach have no first occurrence yet.
    bool Scan(std::size_t steps) {
        for (std::size_t line = 0; line <= open_.back() && unfound_ != 0; ++line) {
            const std::u16string_view text = lines_[line];
            for (std::size_t start = 0; start + kKeyLength <= text.size(); ++start) {
                const std::size_t longest = LongestWithKey(text.substr(start, kKeyLength));
                const std::size_t end = std::min(text.size(), start + longest);
                if (end - start > steps) return false;
                steps -= end - start;
                Walk(text.substr(start, end - start), line);
            }
        }
        return true;
    }

    // The line where open line i first occurs, or kNowhere.
    std::uint32_t FirstOf(std::size_t i) const { return first_[i]; }

private:
    struct Key {
        std::uint32_t owner;    // an open line that starts with the key
        std::uint32_t longest;  // the length of the longest one
    };

    void AddKey(std::uint32_t line) {
        const std::u16string_view key = KeyOf(lines_[line]);
        const auto length = static_cast<std::uint32_t>(lines_[line].size());
        const std::uint64_t hash = text_hash::ShortHash(key.data(), key.size());
        const bool known = keyTable_.FindEach(hash, [&](std::uint32_t k) {
            if (KeyOf(lines_[keys_[k].owner]) != key) return false;
            keys_[k].longest = std::max(keys_[k].longest, length);
            return true;
        });
        if (known) return;
        keyTable_.Insert(hash, static_cast<std::uint32_t>(keys_.size()));
        keyFilter_.Add(hash);
        keys_.push_back({line, length});
    }

    // The length of the longest open line that starts with `window`, or 0.
    std::size_t LongestWithKey(std::u16string_view window) const {
        const std::uint64_t hash = text_hash::ShortHash(window.data(), window.size());
        if (!keyFilter_.MayContain(hash)) return 0;
        std::size_t longest = 0;
        keyTable_.FindEach(hash, [&](std::uint32_t k) {
            if (KeyOf(lines_[keys_[k].owner]) != window) return false;
            longest = keys_[k].longest;
            return true;
        });
        return longest;
    }

    // Records the open lines that `text`, in `line`, starts with.
    void Walk(std::u16string_view text, std::size_t line) {
        std::uint64_t hash = 0;
        for (std::size_t length = 1; length <= text.size(); ++length) {
            hash = polynomial_.Append(hash, text[length - 1]);
            if (length <= kKeyLength || !lineFilter_.MayContain(hash)) continue;
            lineTable_.FindEach(hash, [&](std::uint32_t i) {
                if (first_[i] != kNowhere || lines_[open_[i]] != text.substr(0, length)) {
                    return false;
                }
                first_[i] = static_cast<std::uint32_t>(line);
                --unfound_;
                return true;
            });
        }
    }

    const LineSelection& lines_;
    const std::vector<std::uint32_t>& open_;
    std::vector<std::uint32_t> first_;  // of each open line
    text_hash::HashTable keyTable_;
    text_hash::HashFilter keyFilter_;
    std::vector<Key> keys_;
    text_hash::HashTable lineTable_;  // the open lines by hash
    text_hash::HashFilter lineFilter_;
    text_hash::Polynomial polynomial_;
    std::size_t unfound_;  // open lines without a first occurrence yet
};

}  // namespace

std::vector<bool> OccursInEarlierLine(const LineSelection& lines, std::size_t stepsPerUnit) {
    std::size_t units = 0;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        units += lines[line].size();
        // Offsets within a line are kept in 32 bits.
        if (lines[line].size() >= kNowhere) throw std::length_error("line too long to search");
    }
    std::vector<bool> found(lines.size(), false);
    std::vector<std::uint32_t> open;
    {
        FirstKeyOccurrences keys(lines);
        keys.Scan();
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const Occurrence at = keys.FirstOf(line);
            if (at.line >= line) continue;
            found[line] = lines[at.line].substr(at.offset).starts_with(lines[line]);
            if (!found[line]) open.push_back(static_cast<std::uint32_t>(line));
        }
    }
    if (open.empty()) return found;
    FirstLineOccurrences occurrences(lines, open);
    const bool complete = occurrences.Scan(stepsPerUnit * units);
    std::vector<bool> asked(lines.size(), false);
    for (std::size_t i = 0; i < open.size(); ++i) {
        const std::uint32_t first = occurrences.FirstOf(i);
        found[open[i]] = first < open[i];
        asked[open[i]] = first == kNowhere;
    }
    if (complete) return found;
    const std::vector<bool> searched = SearchEarlierLines(lines, asked);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (searched[line]) found[line] = true;
    }
    return found;
}

}  // namespace vorlane::internal
