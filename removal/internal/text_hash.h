// SPDX-License-Identifier: MIT

#pragma once

// Hashes of UTF-16 text keyed by random numbers drawn once per process, and
// the hash table and filter that use them. A hash only proposes candidates:
// every user confirms a candidate by comparing texts, so hashes that collide
// cost time, never an answer. The random keys keep a list built to make the
// hashes collide from being built ahead of time.
//
// Tests can make the table and the filter each look at only a few bits of
// every hash (WeakenForTesting), so that most texts collide in both: the table
// then keeps long chains of unequal texts and the filter lets nearly
// everything through. The two look at different bits, so texts that collide
// in the table may still be told apart by the filter.

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "removal/internal/big_buffer.h"
#include "removal/internal/private.h"
#include "removal/internal/tuning.h"

namespace vorlane::text_hash {

__extension__ using Wide = unsigned __int128;

inline constexpr std::uint64_t kModulus = (std::uint64_t{1} << 61) - 1;

// The 32-bit number that numbers nothing: no line, no key, no value. Hash
// tables mark their empty slots with it and cannot store it; line and key
// numbers stay below it, since SplitText refuses 2^32 - 1 lines or more.
inline constexpr std::uint32_t kNone = 0xFFFFFFFF;

// The keys of every hash.
struct Keys {
    std::uint64_t base;  // of polynomial hashes, in [2^32, kModulus)
    std::uint64_t word[3];
};
// The keys a seed gives.
Keys KeysFrom(std::uint64_t seed);
// The keys of this process, from a random seed.
const Keys& ProcessKeys();

// The bits of each hash that tables and filters look at: all of them, but
// for tests.
inline std::uint64_t tableBits = ~std::uint64_t{0};
inline std::uint64_t filterBits = ~std::uint64_t{0};

// For tests: from now on, hashers made afterwards use fixed keys, so that
// every run has the same collisions, and, if `weak`, tables see two bits of
// each hash and filters two partly other ones.
void WeakenForTesting(bool weak);

// Polynomial hashes modulo the prime 2^61 - 1 at the process's random base.
// Two different texts of at most n units collide with probability at most
// n / 2^61, whatever the texts.
class Polynomial {
public:
    Polynomial() : base_(ProcessKeys().base) {
        for (std::size_t n = 1; n < 5; ++n) powers_[n - 1] = Power(n);
    }

    // The hash of a text extended by `unit`, given the hash of the text.
    std::uint64_t Append(std::uint64_t hash, char16_t unit) const {
        const std::uint64_t sum = Multiply(hash, base_) + unit + 1;
        return sum >= kModulus ? sum - kModulus : sum;
    }
    std::uint64_t Of(std::u16string_view text) const {
        std::uint64_t hash = 0;
        std::size_t i = 0;
        // Four units a step, whose share does not wait for the hash before
        // them; below 2^123, so one reduction suffices.
        for (; i + 4 <= text.size(); i += 4) {
            const Wide share = static_cast<Wide>(text[i] + 1U) * powers_[2] +
                               static_cast<Wide>(text[i + 1] + 1U) * powers_[1] +
                               static_cast<Wide>(text[i + 2] + 1U) * powers_[0] +
                               (text[i + 3] + 1U);
            hash = Reduce(static_cast<Wide>(hash) * powers_[3] + share);
        }
        for (; i < text.size(); ++i) hash = Append(hash, text[i]);
        return hash;
    }
    // The hash of `text` read from its last unit to its first: Append then
    // puts a unit in front.
    std::uint64_t OfReversed(std::u16string_view text) const {
        std::uint64_t hash = 0;
        for (auto unit = text.rbegin(); unit != text.rend(); ++unit) hash = Append(hash, *unit);
        return hash;
    }

private:
    // The base to the power n.
    std::uint64_t Power(std::size_t n) const {
        std::uint64_t power = 1;
        for (; n > 0; --n) power = Multiply(power, base_);
        return power;
    }
    // The remainder of x < 2^124 by kModulus: since 2^61 leaves 1, the bits
    // above 61 fold onto those below.
    static std::uint64_t Reduce(Wide x) {
        const std::uint64_t folded =
            (static_cast<std::uint64_t>(x) & kModulus) + static_cast<std::uint64_t>(x >> 61);
        const std::uint64_t sum = (folded & kModulus) + (folded >> 61);
        return sum >= kModulus ? sum - kModulus : sum;
    }
    static std::uint64_t Multiply(std::uint64_t a, std::uint64_t b) {
        const Wide product = static_cast<Wide>(a) * b;
        const std::uint64_t sum = (static_cast<std::uint64_t>(product) & kModulus) +
                                  static_cast<std::uint64_t>(product >> 61);
        return sum >= kModulus ? sum - kModulus : sum;
    }

    std::uint64_t base_;
    std::uint64_t powers_[4];  // of the base, from 1 to 4
};

// The folded 128-bit product of two words, the mixing step of word hashes.
inline std::uint64_t Fold(std::uint64_t a, std::uint64_t b) {
    const Wide product = static_cast<Wide>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

// Keyed hashes of whole texts, quick to compute eight units at a time.
class WordHash {
public:
    WordHash() : keys_(ProcessKeys()) {}

    std::uint64_t Of(std::u16string_view text) const {
        std::uint64_t hash = keys_.word[0] ^ text.size();
        std::uint64_t words[2];
        std::size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            std::memcpy(words, text.data() + i, sizeof words);
            hash = Fold(words[0] ^ keys_.word[1], words[1] ^ hash);
        }
        words[0] = words[1] = 0;
        std::memcpy(words, text.data() + i, (text.size() - i) * sizeof(char16_t));
        return Fold(words[0] ^ keys_.word[1], words[1] ^ hash ^ keys_.word[2]);
    }
    // The same for a text of at most eight units, in one step.
    std::uint64_t OfShort(const char16_t* units, std::size_t length) const {
        std::uint64_t words[2] = {0, 0};
        if (length == 8) {
            std::memcpy(words, units, sizeof words);
        } else {
            std::memcpy(words, units, length * sizeof(char16_t));
        }
        return Fold(words[0] ^ keys_.word[1], words[1] ^ keys_.word[2]) + length;
    }
    // The hash of a text of `length` units from the hashes of its front and
    // its back of n units each, for n < length <= 2n: the two cover the text,
    // so they determine it. The windows of a text of every such length share
    // the hashes of its n-unit windows, one per position.
    std::uint64_t OfCover(std::uint64_t front, std::uint64_t back, std::size_t length) const {
        return Fold(front ^ keys_.word[1], back ^ keys_.word[2] ^ length);
    }

private:
    Keys keys_;
};

// Spreads a hash over all 64 bits.
inline std::uint64_t Scatter(std::uint64_t hash) {
    hash ^= hash >> 31;
    hash *= 0x9E3779B97F4A7C15;
    return hash ^ (hash >> 29);
}

// A Bloom filter of hashes: "maybe present" or "surely absent". It is blocked:
// each hash sets three bits of one 64-bit word, so a test loads one word; with
// a word for every kHashesPerFilterWord hashes or fewer (the words are a power
// of two, so that a mask picks one), 16 to 32 bits per hash, it is small
// enough to stay in cache and wrong about one absent hash in 120 at most.
class HashFilter {
public:
    // Where a hash lives in the filter.
    struct Place {
        std::size_t word;
        std::uint64_t bits;
    };

    explicit HashFilter(std::size_t expectedCount) {
        std::size_t words = 1;
        while (words * internal::kHashesPerFilterWord < expectedCount &&
               words < internal::kMostFilterWords) {
            words <<= 1;
        }
        words_.assign(words, 0);
    }
    void Add(std::uint64_t hash) { Add(PlaceOf(hash)); }
    void Add(Place place) { words_[place.word] |= place.bits; }
    bool MayContain(std::uint64_t hash) const { return Has(PlaceOf(hash)); }
    std::size_t Words() const { return words_.size(); }

    // The same in two steps, for testing many hashes at once: Locate also
    // starts loading the word into the cache, and Has tests it.
    Place Locate(std::uint64_t hash) const {
        const Place place = PlaceOf(hash);
        __builtin_prefetch(&words_[place.word]);
        return place;
    }
    bool Has(Place place) const { return (words_[place.word] & place.bits) == place.bits; }

private:
    // The word from the high half of the scattered hash, the three bits from
    // the low half.
    Place PlaceOf(std::uint64_t hash) const {
        const std::uint64_t scattered = Scatter(hash & filterBits);
        return {static_cast<std::size_t>(scattered >> 32) & (words_.size() - 1),
                (std::uint64_t{1} << (scattered & 63)) |
                    (std::uint64_t{1} << (scattered >> 6 & 63)) |
                    (std::uint64_t{1} << (scattered >> 12 & 63))};
    }
    internal::BigVector<std::uint64_t> words_;
};

// Open-addressing table from hashes to 32-bit values, for at most `capacity`
// values other than kNone. A slot keeps 32 bits of its hash, so values under
// different hashes can collide: FindEach visits every value that may belong
// to a hash, and the caller tells which one does.
class HashTable {
public:
    explicit HashTable(std::size_t capacity)
        : capacity_(capacity), slots_(capacity + capacity / 2 + 1) {}

    std::size_t Capacity() const { return capacity_; }

    void Insert(std::uint64_t hash, std::uint32_t value) {
        const std::uint64_t scattered = Scatter(hash & tableBits);
        std::size_t slot = Home(scattered);
        while (slots_[slot].value != kNone) slot = Next(slot);
        slots_[slot] = {Fingerprint(scattered), value};
    }
    // Calls visit(value) for each value that may be stored under `hash` until
    // it returns true; returns whether one did.
    template <typename Visit>
    bool FindEach(std::uint64_t hash, Visit visit) const {
        const std::uint64_t scattered = Scatter(hash & tableBits);
        const std::uint32_t fingerprint = Fingerprint(scattered);
        for (std::size_t slot = Home(scattered); slots_[slot].value != kNone; slot = Next(slot)) {
            if (slots_[slot].fingerprint == fingerprint && visit(slots_[slot].value)) return true;
        }
        return false;
    }
    // The first value FindEach would visit for `hash`, or kNone: the one it
    // most likely finds, so that what that value names can start loading.
    std::uint32_t FirstValue(std::uint64_t hash) const {
        std::uint32_t first = kNone;
        FindEach(hash, [&](std::uint32_t value) { return first = value, true; });
        return first;
    }
    // Starts loading the slot of `hash` into the cache, ahead of a FindEach.
    void Prefetch(std::uint64_t hash) const {
        __builtin_prefetch(&slots_[Home(Scatter(hash & tableBits))]);
    }

private:
    struct Slot {
        std::uint32_t fingerprint = 0;
        std::uint32_t value = kNone;  // empty
    };
    std::size_t Home(std::uint64_t scattered) const {
        return static_cast<std::size_t>((static_cast<Wide>(scattered) * slots_.size()) >> 64);
    }
    std::size_t Next(std::size_t slot) const { return slot + 1 == slots_.size() ? 0 : slot + 1; }
    static std::uint32_t Fingerprint(std::uint64_t scattered) {
        return static_cast<std::uint32_t>(scattered);
    }
    std::size_t capacity_;
    internal::BigVector<Slot> slots_;
};

}  // namespace vorlane::text_hash
