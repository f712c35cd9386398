// SPDX-License-Identifier: MIT

#include "removal/internal/key_passes.h"

#include <bit>
#include <span>

namespace vorlane::internal {
namespace {

struct Occurrence {
    std::uint32_t line = kNone;
    std::uint32_t offset = 0;
};

// Hashes of keys, and of the windows of a text that may be keys: quick word
// hashes up to kKeyLength units, polynomial ones, which roll, beyond.
class KeyHasher {
public:
    KeyHasher() {
        for (std::size_t length = 1; length <= kLongestKey; ++length) {
            powers_[length] = polynomial_.Power(length - 1);
        }
    }

    std::uint64_t Of(std::u16string_view key) const {
        return key.size() <= kKeyLength ? words_.OfShort(key.data(), key.size())
                                        : polynomial_.Of(key);
    }
    // The hashes of the windows of `length` units at the first positions of
    // `text`, as many as `hashes` holds.
    void OfWindows(std::u16string_view text, std::size_t length,
                   std::span<std::uint64_t> hashes) const {
        if (length <= kKeyLength) {
            for (std::size_t i = 0; i < hashes.size(); ++i) {
                hashes[i] = words_.OfShort(text.data() + i, length);
            }
            return;
        }
        hashes[0] = polynomial_.Of(text.substr(0, length));
        for (std::size_t i = 1; i < hashes.size(); ++i) {
            hashes[i] =
                polynomial_.Roll(hashes[i - 1], text[i - 1], text[i - 1 + length], powers_[length]);
        }
    }

private:
    text_hash::WordHash words_;
    text_hash::Polynomial polynomial_;
    std::array<std::uint64_t, kLongestKey + 1> powers_{};
};

// The distinct keys of some lines (the owners), at most `longest` units taken
// from one end, and where each first occurs in the lines up to the last owner.
class FirstKeyOccurrences {
public:
    // `owners` numbers lines of `lines` in ascending order; nullptr means all.
    FirstKeyOccurrences(const LineSelection& lines, const std::vector<std::uint32_t>* owners,
                        KeyEnd end, std::size_t longest)
        : lines_(lines),
          owners_(owners),
          end_(end),
          longest_(longest),
          keyOfOwner_(owners ? owners->size() : lines.size()) {
        std::array<std::size_t, kLongestKey + 1> counts{};
        for (std::size_t i = 0; i < keyOfOwner_.size(); ++i) ++counts[Key(i).size()];
        for (std::size_t length = 1; length <= longest_; ++length) {
            keys_[length].emplace(counts[length], length);
        }
        // The hashes of the next keys, each kept from its table's prefetch
        // until it is added.
        std::array<std::uint64_t, kLookAhead> ahead{};
        const auto look = [&](std::size_t i) {
            const std::u16string_view key = Key(i);
            ahead[i % kLookAhead] = hasher_.Of(key);
            keys_[key.size()]->Prefetch(ahead[i % kLookAhead]);
        };
        for (std::size_t i = 0; i < std::min(kLookAhead, keyOfOwner_.size()); ++i) look(i);
        for (std::size_t i = 0; i < keyOfOwner_.size(); ++i) {
            const std::u16string_view key = Key(i);
            const std::uint64_t hash = ahead[i % kLookAhead];
            if (i + kLookAhead < keyOfOwner_.size()) look(i + kLookAhead);
            // A key shorter than the longest is a whole line, and lines differ.
            keyOfOwner_[i] = key.size() < longest_ ? keys_[key.size()]->AddNew(key, hash)
                                                   : keys_[key.size()]->Add(key, hash);
        }
        for (std::size_t length = 1; length <= longest_; ++length) {
            keys_[length]->Seal([this](std::u16string_view key) { return hasher_.Of(key); });
            first_[length].resize(keys_[length]->size());
            unfoundCounts_[length] = filteredCounts_[length] = keys_[length]->size();
            if (unfoundCounts_[length] != 0) unfound_ |= std::uint64_t{1} << length;
        }
    }

    void Scan() {
        // Every key is found by its owner's line at the latest.
        for (std::size_t line = 0, owner = 0; unfound_ != 0; ++line) {
            const std::u16string_view text = lines_[line];
            // An owner's own key occurs in it: no need to look that one up.
            std::size_t ownOffset = text.size();
            std::size_t ownLength = 0;
            if (OwnerLine(owner) == line) {
                ownOffset = KeyOffset(text, end_, longest_);
                ownLength = Key(owner).size();
                Found(ownLength, keyOfOwner_[owner++], line, ownOffset);
            }
            const std::uint64_t fitting = (std::uint64_t{2} << std::min(text.size(), longest_)) - 1;
            for (std::uint64_t lengths = unfound_ & fitting; lengths != 0; lengths &= lengths - 1) {
                const auto length = static_cast<std::size_t>(std::countr_zero(lengths));
                const std::size_t starts = text.size() - length + 1;
                if (length != ownLength) {
                    ProbeRange(text, 0, starts, length, line);
                } else {
                    ProbeRange(text, 0, ownOffset, length, line);
                    ProbeRange(text, ownOffset + 1, starts, length, line);
                }
            }
        }
    }

    // Where the key of the i-th owner first occurs: at or before the owner.
    Occurrence FirstOf(std::size_t i) const { return first_[Key(i).size()][keyOfOwner_[i]]; }

private:
    std::size_t OwnerLine(std::size_t i) const {
        return owners_ == nullptr ? i : i < owners_->size() ? (*owners_)[i] : lines_.size();
    }
    std::u16string_view Key(std::size_t i) const {
        return KeyOf(lines_[OwnerLine(i)], end_, longest_);
    }

    void ProbeRange(std::u16string_view text, std::size_t from, std::size_t to, std::size_t length,
                    std::size_t line) {
        for (std::size_t start = from; start < to && (unfound_ >> length & 1) != 0;
             start += kBatch) {
            RefilterIfWasteful(length);
            ProbeBatch(text, start, std::min(to, start + kBatch), length, line);
        }
    }

    // Keys found leave the filter once half of those in it are found, if
    // finding them again has cost more lookups than building it anew. Asked
    // before every batch, so that a long line that holds most keys, each at
    // many places, gains too.
    void RefilterIfWasteful(std::size_t length) {
        if (unfoundCounts_[length] * 2 >= filteredCounts_[length] ||
            wastedLookups_[length] <= filteredCounts_[length]) {
            return;
        }
        filteredCounts_[length] = unfoundCounts_[length];
        wastedLookups_[length] = 0;
        keys_[length]->Refilter(
            unfoundCounts_[length],
            [&](std::uint32_t key) { return first_[length][key].line == kNone; },
            [&](std::u16string_view key) { return hasher_.Of(key); });
    }

    // Looks for keys of `length` units at the positions [from, to), at most
    // kBatch of them, loading what each needs into the cache before it is used.
    void ProbeBatch(std::u16string_view text, std::size_t from, std::size_t to, std::size_t length,
                    std::size_t line) {
        const KeySet& keys = *keys_[length];
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        hasher_.OfWindows(text.substr(from), length, std::span(hashes).first(to - from));
        for (std::size_t i = 0; i < to - from; ++i) places[i] = keys.Filter().Locate(hashes[i]);
        std::array<std::size_t, kBatch> passed;
        std::size_t passedCount = 0;
        for (std::size_t i = 0; i < to - from; ++i) {
            if (!keys.Filter().Has(places[i])) continue;
            keys.Table().Prefetch(hashes[i]);
            passed[passedCount++] = i;
        }
        for (std::size_t n = 0; n < passedCount; ++n) {
            const std::size_t at = from + passed[n];
            const std::u16string_view window = text.substr(at, length);
            keys.Table().FindEach(hashes[passed[n]], [&](std::uint32_t key) {
                if (first_[length][key].line != kNone) {
                    ++wastedLookups_[length];
                    return false;
                }
                if (keys.Text(key) != window) return false;
                Found(length, key, line, at);
                return true;
            });
        }
    }

    void Found(std::size_t length, std::uint32_t key, std::size_t line, std::size_t offset) {
        Occurrence& first = first_[length][key];
        if (first.line != kNone) return;
        first = {static_cast<std::uint32_t>(line), static_cast<std::uint32_t>(offset)};
        if (--unfoundCounts_[length] == 0) unfound_ &= ~(std::uint64_t{1} << length);
    }

    const LineSelection& lines_;
    const std::vector<std::uint32_t>* owners_;
    KeyEnd end_;
    std::size_t longest_;
    KeyHasher hasher_;
    BigVector<std::uint32_t> keyOfOwner_;  // its number among keys of its length
    // Per key length: the keys, where each first occurs, and how many have
    // not been found yet.
    std::array<std::optional<KeySet>, kLongestKey + 1> keys_;
    std::array<BigVector<Occurrence>, kLongestKey + 1> first_;
    std::array<std::size_t, kLongestKey + 1> unfoundCounts_{};
    std::array<std::size_t, kLongestKey + 1> filteredCounts_{};  // keys in the filter
    std::array<std::size_t, kLongestKey + 1> wastedLookups_{};   // of keys found before
    std::uint64_t unfound_ = 0;  // bit n set: some key of n units has not been found
};

}  // namespace

std::vector<std::uint32_t> SettleByKeys(const LineSelection& lines,
                                        const std::vector<std::uint32_t>* open, KeyEnd end,
                                        std::size_t longest, std::vector<bool>& found) {
    FirstKeyOccurrences keys(lines, open, end, longest);
    keys.Scan();
    std::vector<std::uint32_t> stillOpen;
    const std::size_t count = open ? open->size() : lines.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t line = open ? (*open)[i] : static_cast<std::uint32_t>(i);
        const Occurrence at = keys.FirstOf(i);
        if (at.line >= line) continue;
        const std::u16string_view x = lines[line];
        const std::size_t keyEnd = at.offset + KeyOf(x, end, longest).size();
        const std::u16string_view there = lines[at.line];
        found[line] = end == KeyEnd::kStart
                          ? there.substr(at.offset).starts_with(x)
                          : keyEnd >= x.size() && there.substr(0, keyEnd).ends_with(x);
        if (!found[line]) stillOpen.push_back(line);
    }
    return stillOpen;
}

}  // namespace vorlane::internal
