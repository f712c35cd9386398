// SPDX-License-Identifier: MIT

#pragma once

// What the searches for lines inside earlier lines share: keys, the parts of
// lines they look for first, and sets of them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "removal/internal/private.h"
#include "removal/internal/text_hash.h"
#include "removal/internal/tuning.h"

namespace vorlane::internal {

using text_hash::kNone;

enum class KeyEnd { kStart, kEnd };

// The key of `line` of at most `length` units at `end`, and where it starts.
inline std::size_t KeyOffset(std::u16string_view line, KeyEnd end, std::size_t length) {
    return end == KeyEnd::kStart || line.size() <= length ? 0 : line.size() - length;
}
inline std::u16string_view KeyOf(std::u16string_view line, KeyEnd end, std::size_t length) {
    return line.substr(KeyOffset(line, end, length), length);
}

// Distinct keys of one length, numbered in the order they were added, found
// by hash and told apart by their texts.
class KeySet {
public:
    // Room for `capacity` additions of keys of `length` units.
    KeySet(std::size_t capacity, std::size_t length) : table_(capacity), length_(length) {
        // Room for all at once: growing would copy and fault in the keys again.
        if (length_ == kKeyLength) {
            copies_.reserve(capacity);
        } else {
            starts_.reserve(capacity);
        }
    }

    // The number of the key equal to `key`, whose hash is `hash`, adding it
    // if it is new. `likely`, from Likely, is tried first.
    std::uint32_t Add(std::u16string_view key, std::uint64_t hash, std::uint32_t likely = kNone) {
        if (likely != kNone && Text(likely) == key) return likely;
        std::uint32_t number = kNone;
        table_.FindEach(hash,
                        [&](std::uint32_t n) { return Text(n) == key && (number = n, true); });
        return number != kNone ? number : AddNew(key, hash);
    }
    // The same for a key known to differ from all added so far.
    std::uint32_t AddNew(std::u16string_view key, std::uint64_t hash) {
        const auto number = static_cast<std::uint32_t>(size());
        table_.Insert(hash, number);
        if (length_ == kKeyLength) {
            std::copy(key.begin(), key.end(), copies_.emplace_back().begin());
        } else {
            starts_.push_back(key.data());
        }
        return number;
    }
    void Prefetch(std::uint64_t hash) const { table_.Prefetch(hash); }
    // The key most likely equal to a key of this hash, or kNone, once
    // Prefetch has loaded its slot; its text starts loading, for the Add or
    // the comparison that follows. (Its number is used: GCC removes a loop
    // that only prefetches.)
    std::uint32_t Likely(std::uint64_t hash) const {
        const std::uint32_t key = table_.FirstValue(hash);
        if (key != kNone) {
            const std::u16string_view text = Text(key);
            __builtin_prefetch(text.data());
            __builtin_prefetch(text.data() + text.size() - 1);
        }
        return key;
    }

    // After the last Add: builds the filter, and a table no larger than the
    // keys need, so that looking keys up stays in cache. `hashOf` hashes a
    // key's text as Add was given it; with `loadAhead`, the texts of the next
    // keys load meanwhile.
    template <typename HashOf>
    void Seal(HashOf hashOf, bool loadAhead) {
        const bool compact = size() * 2 < table_.Capacity();
        if (compact) table_ = text_hash::HashTable(size());
        filter_.emplace(size());
        // In batches, so that the cache misses of the random writes overlap;
        // keys that are not copies lie wherever their lines do.
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        for (std::uint32_t from = 0; from < size(); from += kBatch) {
            const std::size_t count = std::min<std::size_t>(kBatch, size() - from);
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::size_t next = from + kBatch + i;
                if (loadAhead && next < size())
                    __builtin_prefetch(Text(static_cast<std::uint32_t>(next)).data());
                hashes[i] = hashOf(Text(from + i));
                places[i] = filter_->Locate(hashes[i]);
                if (compact) table_.Prefetch(hashes[i]);
            }
            for (std::uint32_t i = 0; i < count; ++i) {
                if (compact) table_.Insert(hashes[i], from + i);
                filter_->Add(places[i]);
            }
        }
    }

    // A filter of only the keys that `wanted(key)` still wants, `count` of
    // them, so that finding the others again costs no table lookups.
    // `hashOf` hashes a key's text.
    template <typename Wanted, typename HashOf>
    text_hash::HashFilter FilterOf(std::size_t count, Wanted wanted, HashOf hashOf) const {
        text_hash::HashFilter filter(count);
        for (std::uint32_t key = 0; key < size(); ++key) {
            if (wanted(key)) filter.Add(hashOf(Text(key)));
        }
        return filter;
    }

    std::size_t size() const { return starts_.size() + copies_.size(); }
    std::u16string_view Text(std::uint32_t key) const {
        return length_ == kKeyLength ? std::u16string_view(copies_[key].data(), kKeyLength)
                                     : std::u16string_view(starts_[key], length_);
    }
    const text_hash::HashTable& Table() const { return table_; }
    const text_hash::HashFilter& Filter() const { return *filter_; }

private:
    text_hash::HashTable table_;
    std::optional<text_hash::HashFilter> filter_;
    // Keys of kKeyLength units, looked up most, are kept as copies, so that
    // telling them apart reads no text far away; the others as where they
    // start, since short lines, each its own key, may be very many.
    BigVector<const char16_t*> starts_;
    BigVector<std::array<char16_t, kKeyLength>> copies_;
    std::size_t length_;
};

}  // namespace vorlane::internal
