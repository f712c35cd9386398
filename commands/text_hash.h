// SPDX-License-Identifier: MIT

#pragma once

// Polynomial hashes of UTF-16 text modulo the prime 2^61 - 1, and a compact
// hash table keyed by them. Equal texts always hash equal; unequal texts
// collide rarely, so every user of these hashes either confirms a match by
// comparing the texts or only uses a match as a hint.

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace vorlane::text_hash {

inline constexpr std::uint64_t kModulus = (std::uint64_t{1} << 61) - 1;
inline constexpr std::uint64_t kBase = 0x1F3D5B79A2C4E6F1 % kModulus;

__extension__ using Wide = unsigned __int128;

inline std::uint64_t MultiplyMod(std::uint64_t a, std::uint64_t b) {
    const Wide product = static_cast<Wide>(a) * b;
    const std::uint64_t sum =
        static_cast<std::uint64_t>(product & kModulus) + static_cast<std::uint64_t>(product >> 61);
    return sum >= kModulus ? sum - kModulus : sum;
}

inline std::uint64_t AddMod(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t sum = a + b;
    return sum >= kModulus ? sum - kModulus : sum;
}

// Hash of `text` read left to right: extending it by one unit at the end is
// AppendUnit(hash, unit).
inline std::uint64_t AppendUnit(std::uint64_t hash, char16_t unit) {
    return AddMod(MultiplyMod(hash, kBase), std::uint64_t{unit} + 1);
}

inline std::uint64_t ForwardHash(std::u16string_view text) {
    std::uint64_t hash = 0;
    for (const char16_t unit : text) hash = AppendUnit(hash, unit);
    return hash;
}

// Hash of `text` read right to left: extending it by one unit at the front is
// PrependUnit(hash, unit).
inline std::uint64_t PrependUnit(std::uint64_t hash, char16_t unit) {
    return AppendUnit(hash, unit);
}

inline std::uint64_t BackwardHash(std::u16string_view text) {
    std::uint64_t hash = 0;
    for (auto unit = text.rbegin(); unit != text.rend(); ++unit) hash = PrependUnit(hash, *unit);
    return hash;
}

// A quick hash of a whole text, for tables whose matches are confirmed by
// comparing the texts.
inline std::uint64_t QuickHash(std::u16string_view text) {
    std::uint64_t hash = text.size() * 0x9E3779B97F4A7C15;
    std::size_t i = 0;
    for (; i + 4 <= text.size(); i += 4) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        hash = (hash ^ word) * 0xD6E8FEB86659FD93;
        hash ^= hash >> 32;
    }
    for (; i < text.size(); ++i) hash = (hash ^ text[i]) * 0xD6E8FEB86659FD93;
    return hash ^ (hash >> 29);
}

// Spreads a hash over all 64 bits, for table slots and filter bits.
inline std::uint64_t Scatter(std::uint64_t hash) {
    hash ^= hash >> 31;
    hash *= 0x9E3779B97F4A7C15;
    return hash ^ (hash >> 29);
}

// A set of hashes as bits: "maybe present" or "surely absent". Sized for about
// 1/16 of its bits set, small enough to stay in cache for quick rejections.
class HashFilter {
public:
    explicit HashFilter(std::size_t expectedCount) {
        std::size_t bits = 1 << 12;
        while (bits < expectedCount * 16 && bits < (std::size_t{1} << 28)) bits <<= 1;
        words_.assign(bits / 64, 0);
        mask_ = bits - 1;
    }
    void Add(std::uint64_t hash) {
        const std::uint64_t bit = Scatter(hash) & mask_;
        words_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
    bool MayContain(std::uint64_t hash) const {
        const std::uint64_t bit = Scatter(hash) & mask_;
        return (words_[bit / 64] >> (bit % 64)) & 1;
    }

private:
    std::vector<std::uint64_t> words_;
    std::uint64_t mask_ = 0;
};

// Open-addressing table from hash to a 32-bit value. Slots keep 32 bits of
// the hash, so values under different hashes can meet: FindEach visits every
// value that may belong to a hash, and the caller tells which one does.
class HashTable {
public:
    explicit HashTable(std::size_t expectedCount) {
        std::size_t slots = 16;
        while (slots < expectedCount * 2) slots <<= 1;
        slots_.assign(slots, Slot{});
        mask_ = slots - 1;
    }
    void Insert(std::uint64_t hash, std::uint32_t value) {
        const std::uint64_t scattered = Scatter(hash);
        std::size_t slot = scattered & mask_;
        while (slots_[slot].value != kEmpty) slot = (slot + 1) & mask_;
        slots_[slot] = {Fingerprint(scattered), value};
    }
    // Calls visit(value) for each value that may be stored under `hash` until it
    // returns true; returns whether one did.
    template <typename Visit>
    bool FindEach(std::uint64_t hash, Visit visit) const {
        const std::uint64_t scattered = Scatter(hash);
        const std::uint32_t fingerprint = Fingerprint(scattered);
        for (std::size_t slot = scattered & mask_; slots_[slot].value != kEmpty;
             slot = (slot + 1) & mask_) {
            if (slots_[slot].fingerprint == fingerprint && visit(slots_[slot].value)) return true;
        }
        return false;
    }
    // Starts loading the slot of `hash` into the cache, ahead of a FindEach.
    void Prefetch(std::uint64_t hash) const { __builtin_prefetch(&slots_[Scatter(hash) & mask_]); }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    struct Slot {
        std::uint32_t fingerprint = 0;
        std::uint32_t value = kEmpty;
    };
    static std::uint32_t Fingerprint(std::uint64_t scattered) {
        return static_cast<std::uint32_t>(scattered >> 32);
    }
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

}  // namespace vorlane::text_hash
