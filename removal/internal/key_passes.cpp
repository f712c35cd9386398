// SPDX-License-Identifier: MIT

#include "removal/internal/key_passes.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "removal/internal/parallel.h"

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
// from one end, each numbered among the keys of its length. Read-only once
// built, so that several scans can share them.
class OwnerKeys {
public:
    // `owners` numbers lines of `lines` in ascending order; nullptr means all.
    OwnerKeys(const LineSelection& lines, const std::vector<std::uint32_t>* owners, KeyEnd end,
              std::size_t longest)
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
        }
    }

    const LineSelection& Lines() const { return lines_; }
    std::size_t Longest() const { return longest_; }
    std::size_t OwnerCount() const { return keyOfOwner_.size(); }
    std::size_t OwnerLine(std::size_t i) const {
        return owners_ == nullptr ? i : i < owners_->size() ? (*owners_)[i] : lines_.size();
    }
    // The first owner at or after `line`.
    std::size_t FirstOwnerFrom(std::size_t line) const {
        if (owners_ == nullptr) return std::min(line, lines_.size());
        return static_cast<std::size_t>(std::lower_bound(owners_->begin(), owners_->end(), line) -
                                        owners_->begin());
    }
    std::u16string_view Key(std::size_t i) const {
        return KeyOf(lines_[OwnerLine(i)], end_, longest_);
    }
    std::size_t KeyOffset(std::u16string_view text) const {
        return internal::KeyOffset(text, end_, longest_);
    }
    std::uint32_t KeyOfOwner(std::size_t i) const { return keyOfOwner_[i]; }
    const KeySet& Keys(std::size_t length) const { return *keys_[length]; }
    const KeyHasher& Hasher() const { return hasher_; }

private:
    const LineSelection& lines_;
    const std::vector<std::uint32_t>* owners_;
    KeyEnd end_;
    std::size_t longest_;
    KeyHasher hasher_;
    BigVector<std::uint32_t> keyOfOwner_;  // its number among keys of its length
    std::array<std::optional<KeySet>, kLongestKey + 1> keys_;  // per length
};

// For each key of OwnerKeys, the first of the shares of the lines scanned on
// several threads that has found it so far (kNoShare: none). Each share
// reads it to stop looking for keys that a share before it has found.
class FoundInShares {
public:
    static constexpr std::uint8_t kNoShare = 0xFF;

    explicit FoundInShares(const OwnerKeys& keys) {
        for (std::size_t length = 1; length <= keys.Longest(); ++length) {
            const std::size_t count = keys.Keys(length).size();
            marks_[length] = std::make_unique<std::atomic<std::uint8_t>[]>(count);
            for (std::size_t key = 0; key < count; ++key) marks_[length][key] = kNoShare;
        }
    }

    // A share marks a key only with its own number, and lowers a mark only:
    // a mark is never below the first share that found its key. Two shares
    // that mark a key at once may leave the higher number, which only keeps
    // the shares between them looking for it.
    void Mark(std::size_t length, std::uint32_t key, std::uint8_t share) {
        std::atomic<std::uint8_t>& mark = marks_[length][key];
        if (share < mark.load(std::memory_order_relaxed)) {
            mark.store(share, std::memory_order_relaxed);
        }
    }
    bool FoundBefore(std::size_t length, std::uint32_t key, std::uint8_t share) const {
        return marks_[length][key].load(std::memory_order_relaxed) < share;
    }

private:
    std::array<std::unique_ptr<std::atomic<std::uint8_t>[]>, kLongestKey + 1> marks_;
};

// Where the keys of OwnerKeys first occur in one share of the lines, found
// by scanning its lines in order: the share-th of the shares that `found`
// (nullptr if there is one) keeps track of.
class FirstKeyOccurrences {
public:
    FirstKeyOccurrences(const OwnerKeys& keys, FoundInShares* found, std::uint8_t share)
        : keys_(keys), lines_(keys.Lines()), found_(found), share_(share) {
        for (std::size_t length = 1; length <= keys_.Longest(); ++length) {
            const std::size_t count = keys_.Keys(length).size();
            first_[length].resize(count);
            unfoundCounts_[length] = filteredCounts_[length] = count;
            if (count != 0) unfound_ |= std::uint64_t{1} << length;
        }
    }

    // Scans the lines [begin, end), after those scanned so far, until every
    // key is found or `before` becomes true. Sets `done` once every key is
    // found here or `before` is true: once every key occurs up to the end.
    void Scan(std::size_t begin, std::size_t end, const std::atomic<bool>* before,
              std::atomic<bool>& done) {
        std::size_t owner = keys_.FirstOwnerFrom(begin);
        for (std::size_t line = begin; unfound_ != 0 && line < end; ++line) {
            if (before != nullptr && before->load(std::memory_order_relaxed)) {
                done.store(true, std::memory_order_relaxed);
                return;
            }
            const std::u16string_view text = lines_[line];
            // An owner's own key occurs in it: no need to look that one up.
            std::size_t ownOffset = text.size();
            std::size_t ownLength = 0;
            if (keys_.OwnerLine(owner) == line) {
                ownOffset = keys_.KeyOffset(text);
                ownLength = keys_.Key(owner).size();
                Found(ownLength, keys_.KeyOfOwner(owner++), line, ownOffset);
            }
            const std::uint64_t fitting =
                (std::uint64_t{2} << std::min(text.size(), keys_.Longest())) - 1;
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
        if (unfound_ == 0) done.store(true, std::memory_order_relaxed);
    }

    // How many keys the lines scanned so far lack.
    std::size_t UnfoundCount() const {
        std::size_t count = 0;
        for (const std::size_t lengthCount : unfoundCounts_) count += lengthCount;
        return count;
    }

    // Where the key of `length` units numbered `key` first occurs in the
    // lines scanned, if it does.
    Occurrence FirstOf(std::size_t length, std::uint32_t key) const { return first_[length][key]; }

private:
    void ProbeRange(std::u16string_view text, std::size_t from, std::size_t to, std::size_t length,
                    std::size_t line) {
        for (std::size_t start = from; start < to && (unfound_ >> length & 1) != 0;
             start += kBatch) {
            RefilterIfWasteful(length);
            ProbeBatch(text, start, std::min(to, start + kBatch), length, line);
        }
    }

    const text_hash::HashFilter& Filter(std::size_t length) const {
        return filters_[length] ? *filters_[length] : keys_.Keys(length).Filter();
    }

    // Keys found leave this scan's filter once half of those in it are found,
    // if finding them again has cost more lookups than building it anew.
    // Asked before every batch, so that a long line that holds most keys,
    // each at many places, gains too. A later share also drops the keys that
    // shares before it have found, which it counts only when it rebuilds: it
    // rebuilds once its wasted lookups outnumber all keys of the length.
    void RefilterIfWasteful(std::size_t length) {
        if (share_ == 0 ? unfoundCounts_[length] * 2 >= filteredCounts_[length] ||
                              wastedLookups_[length] <= filteredCounts_[length]
                        : wastedLookups_[length] <= keys_.Keys(length).size()) {
            return;
        }
        if (share_ != 0) SettleFoundBefore(length);
        filteredCounts_[length] = unfoundCounts_[length];
        wastedLookups_[length] = 0;
        filters_[length].emplace(keys_.Keys(length).FilterOf(
            unfoundCounts_[length],
            [&](std::uint32_t key) { return first_[length][key].line == kNone; },
            [&](std::u16string_view key) { return keys_.Hasher().Of(key); }));
    }

    // Marks the keys of `length` units that shares before this one have
    // found as found here too, at kElsewhere: the earlier share answers for
    // them, so this share's record of them is never read.
    void SettleFoundBefore(std::size_t length) {
        for (std::uint32_t key = 0; key < keys_.Keys(length).size(); ++key) {
            Occurrence& first = first_[length][key];
            if (first.line != kNone || !found_->FoundBefore(length, key, share_)) continue;
            first = kElsewhere;
            --unfoundCounts_[length];
        }
        if (unfoundCounts_[length] == 0) unfound_ &= ~(std::uint64_t{1} << length);
    }

    // Looks for keys of `length` units at the positions [from, to), at most
    // kBatch of them, loading what each needs into the cache before it is used.
    void ProbeBatch(std::u16string_view text, std::size_t from, std::size_t to, std::size_t length,
                    std::size_t line) {
        const KeySet& keys = keys_.Keys(length);
        const text_hash::HashFilter& filter = Filter(length);
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        keys_.Hasher().OfWindows(text.substr(from), length, std::span(hashes).first(to - from));
        for (std::size_t i = 0; i < to - from; ++i) places[i] = filter.Locate(hashes[i]);
        std::array<std::size_t, kBatch> passed;
        std::size_t passedCount = 0;
        for (std::size_t i = 0; i < to - from; ++i) {
            if (!filter.Has(places[i])) continue;
            keys.Table().Prefetch(hashes[i]);
            passed[passedCount++] = i;
        }
        for (std::size_t n = 0; n < passedCount; ++n) {
            const std::size_t at = from + passed[n];
            const std::u16string_view window = text.substr(at, length);
            keys.Table().FindEach(hashes[passed[n]], [&](std::uint32_t key) {
                if (first_[length][key].line != kNone ||
                    (share_ != 0 && found_->FoundBefore(length, key, share_))) {
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
        if (found_ != nullptr) found_->Mark(length, key, share_);
        if (--unfoundCounts_[length] == 0) unfound_ &= ~(std::uint64_t{1} << length);
    }

    static constexpr Occurrence kElsewhere{.line = 0, .offset = kNone};

    const OwnerKeys& keys_;
    const LineSelection& lines_;
    FoundInShares* found_;
    std::uint8_t share_;
    // Per key length: where each key first occurs, how many have not been
    // found yet, and this scan's own filter once it has dropped found keys.
    std::array<BigVector<Occurrence>, kLongestKey + 1> first_;
    std::array<std::size_t, kLongestKey + 1> unfoundCounts_{};
    std::array<std::size_t, kLongestKey + 1> filteredCounts_{};  // keys in the filter
    std::array<std::size_t, kLongestKey + 1> wastedLookups_{};   // of keys found before
    std::array<std::optional<text_hash::HashFilter>, kLongestKey + 1> filters_;
    std::uint64_t unfound_ = 0;  // bit n set: some key of n units has not been found
};

// The line that starts the t-th of `threads` shares of the lines `from` to
// `last`, shares of about equal units; `last` + 1 for t = threads. The lines
// are views of one text in order, so their distances there measure the units
// between them.
std::size_t LineAtShare(const LineSelection& lines, std::size_t from, std::size_t last,
                        std::size_t t, std::size_t threads) {
    if (t == 0) return from;
    if (t == threads) return last + 1;
    const char16_t* first = lines[from].data();
    const auto span = static_cast<std::size_t>(lines[last].data() + lines[last].size() - first);
    const std::size_t wanted = ShareStart(span, t, threads);
    std::size_t low = from;
    std::size_t high = last + 1;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (static_cast<std::size_t>(lines[middle].data() - first) < wanted) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// How many threads the scan of the lines up to and including `last` for
// `keyCount` keys takes: each must have at least `fewestUnits` units to read,
// and the lines must hold `fewestUnitsPerKey` units per key, since every
// share after the first keeps 9 bytes per key.
unsigned ScanThreadsFor(const LineSelection& lines, std::size_t last, std::size_t keyCount,
                        const ScanThreads& limits) {
    if (limits.most <= 1) return 1;
    const auto span =
        static_cast<std::size_t>(lines[last].data() + lines[last].size() - lines[0].data());
    if (keyCount * limits.fewestUnitsPerKey > span) return 1;
    const std::size_t byUnits = limits.fewestUnits == 0 ? limits.most : span / limits.fewestUnits;
    // Shares are told apart by 8-bit numbers.
    const unsigned most = std::min<unsigned>(limits.most, FoundInShares::kNoShare);
    return static_cast<unsigned>(std::clamp<std::size_t>(byUnits, 1, most));
}

// Where each owner's key first occurs, at or before the owner. When the scan
// may split, a trial first scans one kTrialShare-th of the lines up to the
// last owner on one thread; if it has found keys at most
// ScanThreads::mostAheadOfOwners times as fast as it has passed their owners,
// as where keys are found at their owners, the rest is split into shares,
// each scanned on its own thread, the first continuing the trial's. Where keys
// are found far ahead of their owners, a share after the first would likely
// look for keys the first finds anyway, and the scan stays on one thread.
// Each key's first occurrence is its occurrence in the first share that has
// one. A share stops looking for a key once a share before it has found it,
// and stops once every key has occurred in a share before it.
class KeyOccurrences {
public:
    KeyOccurrences(const OwnerKeys& keys, const ScanThreads& limits) : keys_(keys) {
        if (keys.OwnerCount() == 0) return;
        const LineSelection& lines = keys.Lines();
        const std::size_t last = keys.OwnerLine(keys.OwnerCount() - 1);
        unsigned threads = ScanThreadsFor(lines, last, KeyCount(), limits);
        if (threads > 1) found_.emplace(keys);
        shares_.emplace_back();
        shares_[0].emplace(keys, found_ ? &*found_ : nullptr, std::uint8_t{0});
        std::atomic<bool> trialDone = false;
        std::size_t begin = 0;
        if (threads > 1) {
            begin = LineAtShare(lines, 0, last, 1, kTrialShare);
            shares_[0]->Scan(0, begin, nullptr, trialDone);
            if (!FoundAtOwnersPace(keys.FirstOwnerFrom(begin), limits.mostAheadOfOwners)) {
                threads = 1;
            }
        }
        std::vector<std::size_t> begins(threads + 1);
        for (unsigned t = 0; t <= threads; ++t) {
            begins[t] = begin > last ? begin : LineAtShare(lines, begin, last, t, threads);
        }
        // Each share's record is made on its own thread, which fills it.
        shares_.resize(threads);
        std::vector<std::atomic<bool>> done(threads);
        OnThreads(threads, [&](unsigned t) {
            if (t != 0) shares_[t].emplace(keys, &*found_, static_cast<std::uint8_t>(t));
            shares_[t]->Scan(begins[t], begins[t + 1], t == 0 ? nullptr : &done[t - 1], done[t]);
        });
    }

    // Where the key of the i-th owner first occurs: at or before the owner.
    Occurrence FirstOf(std::size_t i) const {
        const std::size_t length = keys_.Key(i).size();
        const std::uint32_t key = keys_.KeyOfOwner(i);
        for (const std::optional<FirstKeyOccurrences>& share : shares_) {
            const Occurrence at = share->FirstOf(length, key);
            if (at.line != kNone) return at;
        }
        return {};
    }

private:
    // Whether the trial has found at most `ahead` times the share of keys
    // that it has passed owners, `passed` of them.
    bool FoundAtOwnersPace(std::size_t passed, double ahead) const {
        const std::size_t keyCount = KeyCount();
        const std::size_t foundCount = keyCount - shares_[0]->UnfoundCount();
        return static_cast<double>(foundCount) / static_cast<double>(keyCount) <=
               ahead * static_cast<double>(passed) / static_cast<double>(keys_.OwnerCount());
    }

    std::size_t KeyCount() const {
        std::size_t count = 0;
        for (std::size_t length = 1; length <= keys_.Longest(); ++length) {
            count += keys_.Keys(length).size();
        }
        return count;
    }

    static constexpr std::size_t kTrialShare = 16;  // the trial's share: one in 16

    const OwnerKeys& keys_;
    std::optional<FoundInShares> found_;
    std::vector<std::optional<FirstKeyOccurrences>> shares_;
};

}  // namespace

std::vector<std::uint32_t> SettleByKeys(const LineSelection& lines,
                                        const std::vector<std::uint32_t>* open, KeyEnd end,
                                        std::size_t longest, const ScanThreads& threads,
                                        std::vector<bool>& found) {
    const OwnerKeys owners(lines, open, end, longest);
    const KeyOccurrences keys(owners, threads);
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
