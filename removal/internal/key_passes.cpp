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

// Hashes of keys, and of the windows of a text that may be keys: word hashes
// up to kKeyLength units; up to twice that, the hashes of the front and the
// back kKeyLength units combined; up to kLongestKey, the same from the hashes
// of the front and back 2 kKeyLength units. So the windows of all lengths at
// a position share the hashes of its windows of kKeyLength and 2 kKeyLength
// units (Blocks), and each takes one step more, whatever its length.
class KeyHasher {
public:
    static_assert(kLongestKey <= 4 * kKeyLength, "two blocks of 2 kKeyLength units cover a key");

    std::uint64_t Of(std::u16string_view key) const {
        if (key.size() <= kKeyLength) return words_.OfShort(key.data(), key.size());
        const std::size_t half = key.size() <= 2 * kKeyLength ? kKeyLength : 2 * kKeyLength;
        return words_.OfCover(OfBlock(key.data(), half),
                              OfBlock(key.data() + key.size() - half, half), key.size());
    }

    // The hashes of the windows of kKeyLength and 2 kKeyLength units at the
    // first positions of a text, as far as windows of up to `longest` units
    // at kBatch positions need.
    struct Blocks {
        std::array<std::uint64_t, kBatch + kLongestKey - kKeyLength> single;
        std::array<std::uint64_t, kBatch + kLongestKey - 2 * kKeyLength> twice;
    };
    void OfBlocks(std::u16string_view text, std::size_t longest, Blocks& blocks) const {
        // Blocks start only where kKeyLength units remain; a text shorter
        // than that has none (no window over kKeyLength units fits in it).
        const std::size_t reach = std::min(kBatch + longest, text.size() + 1);
        const std::size_t singles = reach > kKeyLength ? reach - kKeyLength : 0;
        for (std::size_t at = 0; at < singles; ++at) {
            blocks.single[at] = words_.OfShort(text.data() + at, kKeyLength);
        }
        if (longest <= 2 * kKeyLength) return;
        for (std::size_t at = 0; at + kKeyLength < singles; ++at) {
            blocks.twice[at] =
                words_.OfCover(blocks.single[at], blocks.single[at + kKeyLength], 2 * kKeyLength);
        }
    }
    // The hashes of the windows of `length` units at the first positions of
    // the text `blocks` were taken from, as many as `hashes` holds.
    void OfWindows(std::u16string_view text, const Blocks& blocks, std::size_t length,
                   std::span<std::uint64_t> hashes) const {
        if (length <= kKeyLength) {
            for (std::size_t i = 0; i < hashes.size(); ++i) {
                hashes[i] = words_.OfShort(text.data() + i, length);
            }
            return;
        }
        for (std::size_t i = 0; i < hashes.size(); ++i) hashes[i] = OfLongWindow(blocks, length, i);
    }
    // The hash of the window of `length` units at the i-th position of the
    // same text.
    std::uint64_t OfWindow(std::u16string_view text, const Blocks& blocks, std::size_t length,
                           std::size_t i) const {
        return length <= kKeyLength ? words_.OfShort(text.data() + i, length)
                                    : OfLongWindow(blocks, length, i);
    }

private:
    std::uint64_t OfLongWindow(const Blocks& blocks, std::size_t length, std::size_t i) const {
        const bool single = length <= 2 * kKeyLength;
        const std::uint64_t* halves = single ? blocks.single.data() : blocks.twice.data();
        const std::size_t back = length - (single ? kKeyLength : 2 * kKeyLength);
        return words_.OfCover(halves[i], halves[i + back], length);
    }
    std::uint64_t OfBlock(const char16_t* units, std::size_t length) const {
        if (length == kKeyLength) return words_.OfShort(units, kKeyLength);
        return words_.OfCover(words_.OfShort(units, kKeyLength),
                              words_.OfShort(units + kKeyLength, kKeyLength), length);
    }

    text_hash::WordHash words_;
};

// The distinct keys of some lines (the owners), at most `longest` units taken
// from one end, each numbered among the keys of its length. Read-only once
// built, so that several scans can share them.
class OwnerKeys {
public:
    // `owners` numbers lines of `lines` in ascending order; nullptr means all.
    // From `loadAheadFromKeys` owners on, the texts of likely equal keys load
    // ahead of comparing (KeyScan).
    OwnerKeys(const LineSelection& lines, const std::vector<std::uint32_t>* owners, KeyEnd end,
              std::size_t longest, std::size_t loadAheadFromKeys)
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
        // The next keys, each kept from its table's prefetch until it is
        // added. Among many keys, halfway there its slot has loaded, and the
        // text of the key stored there starts loading too: a repeated key is
        // compared with an equal key whose text may lie anywhere.
        const bool loadAhead = keyOfOwner_.size() >= loadAheadFromKeys;
        std::array<std::u16string_view, kLookAhead> aheadKeys;
        std::array<std::uint64_t, kLookAhead> ahead{};
        std::array<std::uint32_t, kLookAhead> likely;
        likely.fill(kNone);
        const auto look = [&](std::size_t i) {
            aheadKeys[i % kLookAhead] = Key(i);
            ahead[i % kLookAhead] = hasher_.Of(aheadKeys[i % kLookAhead]);
            keys_[aheadKeys[i % kLookAhead].size()]->Prefetch(ahead[i % kLookAhead]);
        };
        const auto peek = [&](std::size_t i) {
            likely[i % kLookAhead] =
                keys_[aheadKeys[i % kLookAhead].size()]->Likely(ahead[i % kLookAhead]);
        };
        for (std::size_t i = 0; i < std::min(kLookAhead, keyOfOwner_.size()); ++i) look(i);
        for (std::size_t i = 0; i < keyOfOwner_.size(); ++i) {
            const std::u16string_view key = aheadKeys[i % kLookAhead];
            const std::uint64_t hash = ahead[i % kLookAhead];
            const std::uint32_t likelyKey = likely[i % kLookAhead];
            if (i + kLookAhead < keyOfOwner_.size()) look(i + kLookAhead);
            if (loadAhead && i + kLookAhead / 2 < keyOfOwner_.size()) peek(i + kLookAhead / 2);
            // A key shorter than the longest is a whole line, and lines differ.
            keyOfOwner_[i] = key.size() < longest_ ? keys_[key.size()]->AddNew(key, hash)
                                                   : keys_[key.size()]->Add(key, hash, likelyKey);
        }
        for (std::size_t length = 1; length <= longest_; ++length) {
            keys_[length]->Seal([this](std::u16string_view key) { return hasher_.Of(key); },
                                loadAhead);
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

// Where each key of OwnerKeys first occurs, one record for all the shares
// of the lines scanned on several threads. A share lowers a key's record
// only, and only to where it has found the key, so the record ends at the
// first occurrence in the first share that has one; a share reads it to stop
// looking for keys that it or a share before it has found.
class FirstOccurrenceRecord {
public:
    explicit FirstOccurrenceRecord(const OwnerKeys& keys) {
        for (std::size_t length = 1; length <= keys.Longest(); ++length) {
            first_[length].assign(keys.Keys(length).size(), kNowhere);
        }
    }

    // Where the key of `length` units numbered `key` first occurs so far.
    Occurrence Of(std::size_t length, std::uint32_t key) const {
        const std::uint64_t at = Read(length, key);
        return {static_cast<std::uint32_t>(at >> 32), static_cast<std::uint32_t>(at)};
    }
    // Starts loading the key's record into the cache.
    void Prefetch(std::size_t length, std::uint32_t key) const {
        __builtin_prefetch(&first_[length][key]);
    }
    // Whether the key has been found at `at` or before.
    bool FoundBy(std::size_t length, std::uint32_t key, Occurrence at) const {
        return Read(length, key) <= Pack(at);
    }
    // Whether the key has been found before the line `end`.
    bool FoundBefore(std::size_t length, std::uint32_t key, std::size_t end) const {
        return (Read(length, key) >> 32) < end;
    }
    // Records `at` if it comes before the key's record; returns whether the
    // key had not been found before the line `end`.
    bool Lower(std::size_t length, std::uint32_t key, Occurrence at, std::size_t end) {
        const std::uint64_t packed = Pack(at);
        std::atomic_ref<std::uint64_t> first(first_[length][key]);
        std::uint64_t old = first.load(std::memory_order_relaxed);
        while (packed < old &&
               !first.compare_exchange_weak(old, packed, std::memory_order_relaxed)) {
        }
        return (old >> 32) >= end;
    }

private:
    static constexpr std::uint64_t kNowhere = ~std::uint64_t{0};

    static std::uint64_t Pack(Occurrence at) { return std::uint64_t{at.line} << 32 | at.offset; }

    std::uint64_t Read(std::size_t length, std::uint32_t key) const {
        return std::atomic_ref<const std::uint64_t>(first_[length][key])
            .load(std::memory_order_relaxed);
    }

    std::array<BigVector<std::uint64_t>, kLongestKey + 1> first_;  // line << 32 | offset
};

// A window that a filter let through: it may be a key of its length.
struct Candidate {
    std::uint64_t hash;
    const char16_t* window;
    std::uint32_t line;
    std::uint32_t at;              // in the line
    std::uint32_t length;          // units
    std::uint32_t likely = kNone;  // the key it most likely is, once its slot has loaded
};

// A window whose filter bits are loading: the filter of its length tells next
// whether it is a candidate.
struct LocatedWindow {
    Candidate window;
    text_hash::HashFilter::Place place;
};

// One share's scan of the lines for the keys of OwnerKeys, kept in `record`.
// Shares are scanned in order of their lines when there is one thread, at
// once when there are several.
class ShareScan {
public:
    ShareScan(const OwnerKeys& keys, FirstOccurrenceRecord& record, const KeyScan& scan,
              bool isFirstShare)
        : keys_(keys),
          lines_(keys.Lines()),
          record_(record),
          scan_(scan),
          isFirstShare_(isFirstShare) {
        for (std::size_t length = 1; length <= keys_.Longest(); ++length) {
            const std::size_t count = keys_.Keys(length).size();
            unfoundCounts_[length] = filteredCounts_[length] = count;
            if (count != 0) unfound_ |= std::uint64_t{1} << length;
        }
        for (auto* stage : {&fresh_, &waiting_}) stage->reserve(kBatch * kLongestKey);
        for (auto* stage : {&locating_, &located_}) stage->reserve(kBatch * kLongestKey);
    }
    ~ShareScan() {
        if (scan_.probes != nullptr) *scan_.probes += probeCount_;
    }
    ShareScan(const ShareScan&) = delete;
    ShareScan& operator=(const ShareScan&) = delete;

    // Scans the lines [begin, end), after those scanned so far, until every
    // key is found or `before` becomes true. Sets `done` once every key is
    // found here or `before` is true: once every key occurs up to the end.
    void Scan(std::size_t begin, std::size_t end, const std::atomic<bool>* before,
              std::atomic<bool>& done) {
        end_ = end;
        std::size_t owner = keys_.FirstOwnerFrom(begin);
        for (std::size_t line = begin; unfound_ != 0 && line < end; ++line) {
            if (before != nullptr && before->load(std::memory_order_relaxed)) {
                FinishLookups();
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
                const std::uint32_t key = keys_.KeyOfOwner(owner++);
                if ((lengths_ >> ownLength & 1) != 0) Found(ownLength, key, line, ownOffset);
            }
            ScanLine(text, line, ownLength, ownOffset);
        }
        FinishLookups();
        if (unfound_ == 0) done.store(true, std::memory_order_relaxed);
    }

    // Looks for the keys of the lengths of `lengths` only, from the line
    // `begin` on, where the record holds every find before `begin`: other
    // scans look for the other lengths.
    void LookFor(std::uint64_t lengths, std::size_t begin) {
        lengths_ = lengths;
        end_ = begin;
        for (std::size_t length = 1; length <= keys_.Longest(); ++length) {
            if ((lengths >> length & 1) != 0) {
                CountUnfound(length);
                continue;
            }
            unfoundCounts_[length] = 0;
            unfound_ &= ~(std::uint64_t{1} << length);
            filters_[length].reset();
            filteredCounts_[length] = keys_.Keys(length).size();
            wastedLookups_[length] = 0;
        }
        prefix_.filter.reset();
        prefix_.tested = prefix_.passed = 0;
    }

    // The lengths of keys that the lines scanned so far lack: bit n for n units.
    std::uint64_t UnfoundLengths() const { return unfound_; }

    // How many keys the lines scanned so far lack.
    std::size_t UnfoundCount() const {
        std::size_t count = 0;
        for (const std::size_t lengthCount : unfoundCounts_) count += lengthCount;
        return count;
    }

private:
    // Looks for the keys not yet found in `text`, the line `line`, kBatch
    // positions at a time, all key lengths at each batch, so that they share
    // its hashes of blocks and the cache misses of their lookups overlap; but
    // not for the key of `ownLength` units at `ownOffset`, the line's own.
    void ScanLine(std::u16string_view text, std::size_t line, std::size_t ownLength,
                  std::size_t ownOffset) {
        line_ = static_cast<std::uint32_t>(line);
        const std::uint64_t fitting =
            (std::uint64_t{2} << std::min(text.size(), keys_.Longest())) - 1;
        KeyHasher::Blocks blocks;
        for (std::size_t from = 0;; from += kBatch) {
            const std::uint64_t lengths = unfound_ & fitting;
            const auto shortest = static_cast<std::size_t>(std::countr_zero(lengths));
            if (lengths == 0 || from + shortest > text.size()) return;
            if (lengths >> (kKeyLength + 1) != 0) {
                keys_.Hasher().OfBlocks(text.substr(from), keys_.Longest(), blocks);
            }
            ProbeBatch(text, blocks, from, lengths, ownLength, ownOffset);
            AdvanceLookups();
        }
    }

    // Probes the filters of `lengths` with the windows at the kBatch
    // positions from `from`, whose blocks are `blocks`; where there are
    // several lengths, those behind the prefix filter only where their start
    // passes it.
    void ProbeBatch(std::u16string_view text, const KeyHasher::Blocks& blocks, std::size_t from,
                    std::uint64_t lengths, std::size_t ownLength, std::size_t ownOffset) {
        std::uint64_t prefixed = 0;
        std::uint32_t passing = 0;
        if ((lengths & (lengths - 1)) != 0) {
            prefixed = PrefixedLengths(lengths);
            if (prefix_.filter) passing = PrefixBatch(text, blocks, from);
        }
        for (std::uint64_t rest = lengths; rest != 0; rest &= rest - 1) {
            const auto length = static_cast<std::size_t>(std::countr_zero(rest));
            const std::size_t starts = text.size() - length + 1;
            if (from >= starts) break;
            const bool behind = (prefixed >> length & 1) != 0;
            if (behind && passing == 0) continue;
            RefilterIfWasteful(length);
            const std::size_t to = std::min(starts, from + kBatch);
            const std::size_t skip = length == ownLength ? ownOffset : text.size();
            if (behind) {
                FilterPassing(text, blocks, from, to, length, skip, passing);
            } else {
                FilterBatch(text, blocks, from, to, length, skip);
            }
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
        if (isFirstShare_ ? unfoundCounts_[length] * 2 >= filteredCounts_[length] ||
                                wastedLookups_[length] <= filteredCounts_[length]
                          : wastedLookups_[length] <= keys_.Keys(length).size()) {
            return;
        }
        if (!isFirstShare_) CountUnfound(length);
        // The last batch's windows of this length were located in the filter
        // about to go; this batch's come after, and are located in the new one.
        TestLocated(located_);
        filteredCounts_[length] = unfoundCounts_[length];
        wastedLookups_[length] = 0;
        filters_[length].emplace(keys_.Keys(length).FilterOf(
            unfoundCounts_[length],
            [&](std::uint32_t key) { return !record_.FoundBefore(length, key, end_); },
            [&](std::u16string_view key) { return keys_.Hasher().Of(key); }));
    }

    // Counts anew the keys of `length` units not found up to this share's
    // end: shares before this one find keys without telling it.
    void CountUnfound(std::size_t length) {
        std::size_t count = 0;
        for (std::uint32_t key = 0; key < keys_.Keys(length).size(); ++key) {
            count += record_.FoundBefore(length, key, end_) ? 0 : 1;
        }
        unfoundCounts_[length] = count;
        const std::uint64_t bit = std::uint64_t{1} << length;
        unfound_ = count == 0 ? unfound_ & ~bit : unfound_ | bit;
    }

    // Tests the windows of `length` units at the positions [from, to) but
    // `skip` against the filter, at most kBatch of them, and makes those it
    // lets through candidates: at once where the filter is small enough to
    // stay in cache; else a batch later (AdvanceLookups), so that the next
    // batch's work covers the loads of its words. `blocks` are those of the
    // text from `from` on.
    void FilterBatch(std::u16string_view text, const KeyHasher::Blocks& blocks, std::size_t from,
                     std::size_t to, std::size_t length, std::size_t skip) {
        const text_hash::HashFilter& filter = Filter(length);
        std::array<std::uint64_t, kBatch> hashes;
        keys_.Hasher().OfWindows(text.substr(from), blocks, length,
                                 std::span(hashes).first(to - from));
        probeCount_ += to - from;
        if (TestsLater(filter)) {
            for (std::size_t i = 0; i < to - from; ++i) {
                if (from + i != skip) Locate(filter, hashes[i], text, from + i, length);
            }
            return;
        }
        std::array<text_hash::HashFilter::Place, kBatch> places;
        for (std::size_t i = 0; i < to - from; ++i) places[i] = filter.Locate(hashes[i]);
        for (std::size_t i = 0; i < to - from; ++i) {
            if (from + i != skip && filter.Has(places[i])) {
                AddCandidate(WindowAt(hashes[i], text, from + i, length));
            }
        }
    }
    // The same at only the positions from + i for the bits i of `passing`.
    void FilterPassing(std::u16string_view text, const KeyHasher::Blocks& blocks, std::size_t from,
                       std::size_t to, std::size_t length, std::size_t skip,
                       std::uint32_t passing) {
        const text_hash::HashFilter& filter = Filter(length);
        const bool later = TestsLater(filter);
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        std::array<std::uint32_t, kBatch> positions;
        std::size_t count = 0;
        for (std::uint32_t rest = passing; rest != 0; rest &= rest - 1) {
            const auto position = static_cast<std::size_t>(std::countr_zero(rest));
            if (from + position >= to) break;
            ++probeCount_;
            if (from + position == skip) continue;
            const std::uint64_t hash =
                keys_.Hasher().OfWindow(text.substr(from), blocks, length, position);
            if (later) {
                Locate(filter, hash, text, from + position, length);
                continue;
            }
            hashes[count] = hash;
            places[count] = filter.Locate(hash);
            positions[count++] = static_cast<std::uint32_t>(from + position);
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (filter.Has(places[i]))
                AddCandidate(WindowAt(hashes[i], text, positions[i], length));
        }
    }
    bool TestsLater(const text_hash::HashFilter& filter) const {
        return filter.Words() >= scan_.delayTestsFromWords;
    }
    // Starts loading the filter bits of the window of `length` units at `at`,
    // for a test a batch later.
    void Locate(const text_hash::HashFilter& filter, std::uint64_t hash, std::u16string_view text,
                std::size_t at, std::size_t length) {
        locating_.push_back({WindowAt(hash, text, at, length), filter.Locate(hash)});
    }
    Candidate WindowAt(std::uint64_t hash, std::u16string_view text, std::size_t at,
                       std::size_t length) const {
        return {hash, text.data() + at, line_, static_cast<std::uint32_t>(at),
                static_cast<std::uint32_t>(length)};
    }
    // Makes the windows of `stage` that their filters let through candidates.
    void TestLocated(std::vector<LocatedWindow>& stage) {
        for (const LocatedWindow& located : stage) {
            if (Filter(located.window.length).Has(located.place)) AddCandidate(located.window);
        }
        stage.clear();
    }
    // Starts loading the window's table slot, the next step of its lookup.
    void AddCandidate(const Candidate& window) {
        keys_.Keys(window.length).Table().Prefetch(window.hash);
        fresh_.push_back(window);
    }

    // The lengths of `lengths` that the prefix filter stands before, if any.
    // Over a few letters, a window of every length at every position starts
    // with the start of some key, and each length would cost a probe at each
    // position. A filter of the first prefix_.length units of the keys of
    // that length and longer, tested once at a position, spares the probes of
    // all those lengths where it says no key starts there. Building it hashes
    // every key it takes, and it spares little if most windows pass it, as
    // where the starts are too short to tell positions apart. So a filter of
    // every kPrefixSample-th key is tried first on KeyScan::prefixTrial
    // windows; if more than half would have passed the whole filter, a
    // longer start is tried instead. A filter is built only once the scan
    // has made KeyScan::probesPerPrefixKey probes for each key that it and
    // the filters before it take, so that building them costs a small share
    // of the scan where they spare nothing.
    std::uint64_t PrefixedLengths(std::uint64_t lengths) {
        if (prefix_.tested >= scan_.prefixTrial) JudgePrefixFilter();
        if (!prefix_.filter && !BuildPrefixFilter()) return 0;
        return prefix_.isTrial ? 0 : lengths & ~std::uint64_t{0} << prefix_.length;
    }

    // After a trial: has the whole filter built if few windows would pass
    // it, else tries a longer start; after a whole filter has tested as many
    // windows, drops it for a longer start if most passed.
    void JudgePrefixFilter() {
        const std::size_t share = prefix_.isTrial ? kPrefixSample : 1;
        const bool few = prefix_.passed * share * 2 <= prefix_.tested;
        prefix_.tested = prefix_.passed = 0;
        if (few && !prefix_.isTrial) return;
        if (few) {
            prefix_.wanted = true;
        } else {
            ++prefix_.length;
            prefix_.wanted = false;
        }
        prefix_.filter.reset();
    }

    // Builds a trial or, once one has passed, the whole prefix filter of the
    // keys not yet found whose lengths are prefix_.length or more, if two
    // lengths or more are such and the scan has made enough probes; returns
    // whether it did.
    bool BuildPrefixFilter() {
        const auto shortest = static_cast<std::size_t>(std::countr_zero(unfound_));
        if (shortest > prefix_.length) {
            prefix_.length = shortest;
            prefix_.wanted = false;
        }
        if (prefix_.length > keys_.Longest()) return false;
        const std::uint64_t behind = unfound_ & ~std::uint64_t{0} << prefix_.length;
        if (std::popcount(behind) < 2) return false;
        const std::size_t every = prefix_.wanted ? 1 : kPrefixSample;
        std::size_t count = 0;
        for (std::uint64_t rest = behind; rest != 0; rest &= rest - 1) {
            count += unfoundCounts_[static_cast<std::size_t>(std::countr_zero(rest))] / every;
        }
        if (scan_.probesPerPrefixKey != 0 &&
            (prefix_.keysTaken + count) * scan_.probesPerPrefixKey > probeCount_) {
            return false;
        }
        prefix_.keysTaken += count;
        prefix_.isTrial = !prefix_.wanted;
        text_hash::HashFilter& filter = prefix_.filter.emplace(count);
        for (std::uint64_t rest = behind; rest != 0; rest &= rest - 1) {
            const auto length = static_cast<std::size_t>(std::countr_zero(rest));
            const KeySet& keys = keys_.Keys(length);
            const auto ahead = static_cast<std::uint32_t>(every * kLookAhead);
            for (std::uint32_t key = 0; key < keys.size();
                 key += static_cast<std::uint32_t>(every)) {
                // The keys' texts lie in their lines, far apart.
                if (key + ahead < keys.size()) __builtin_prefetch(keys.Text(key + ahead).data());
                if (record_.FoundBefore(length, key, end_)) continue;
                filter.Add(keys_.Hasher().Of(keys.Text(key).substr(0, prefix_.length)));
            }
        }
        return true;
    }

    // Tests the windows of prefix_.length units at up to kBatch positions
    // from `from` against the prefix filter: bit i is set if the one at
    // from + i passes.
    std::uint32_t PrefixBatch(std::u16string_view text, const KeyHasher::Blocks& blocks,
                              std::size_t from) {
        if (from + prefix_.length > text.size()) return 0;
        const std::size_t count = std::min(kBatch, text.size() - prefix_.length + 1 - from);
        const text_hash::HashFilter& filter = *prefix_.filter;
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        keys_.Hasher().OfWindows(text.substr(from), blocks, prefix_.length,
                                 std::span(hashes).first(count));
        for (std::size_t i = 0; i < count; ++i) places[i] = filter.Locate(hashes[i]);
        std::uint32_t passing = 0;
        for (std::size_t i = 0; i < count; ++i) {
            passing |= static_cast<std::uint32_t>(filter.Has(places[i])) << i;
        }
        probeCount_ += count;
        prefix_.tested += count;
        prefix_.passed += static_cast<std::size_t>(std::popcount(passing));
        return passing;
    }

    // Windows are looked up in up to four steps, a batch apart, so that what
    // each step loads arrives while the scan goes on: a large filter's bits
    // start loading; after the batch, the filter tells whether the window may
    // be a key, and if so its table slot starts loading; after the next, the slot
    // names the key the window most likely is, whose record and text start
    // loading; after the next, the window is told apart from it and any
    // other key its hash may name.
    void AdvanceLookups() {
        for (const Candidate& c : waiting_) LookUp(c);
        waiting_.clear();
        for (Candidate& c : fresh_) {
            c.likely = keys_.Keys(c.length).Likely(c.hash);
            if (c.likely != kNone) record_.Prefetch(c.length, c.likely);
        }
        std::swap(waiting_, fresh_);
        TestLocated(located_);
        std::swap(located_, locating_);
    }
    // Looks up the windows still on their way, at the end of a scan.
    void FinishLookups() {
        while (!locating_.empty() || !located_.empty() || !fresh_.empty() || !waiting_.empty()) {
            AdvanceLookups();
        }
    }
    // Looks the window up, the key it most likely is first.
    void LookUp(const Candidate& c) {
        if (c.likely != kNone && Matches(c, c.likely)) return;
        keys_.Keys(c.length).Table().FindEach(
            c.hash, [&](std::uint32_t key) { return key != c.likely && Matches(c, key); });
    }
    // Whether the window is the key, which it records as found there if so.
    // Lines scanned after the window may have found the key since: only a
    // find up to the window makes it waste.
    bool Matches(const Candidate& c, std::uint32_t key) {
        if (record_.FoundBy(c.length, key, {c.line, c.at})) {
            ++wastedLookups_[c.length];
            return false;
        }
        if (keys_.Keys(c.length).Text(key) != std::u16string_view(c.window, c.length)) {
            return false;
        }
        Found(c.length, key, c.line, c.at);
        return true;
    }

    void Found(std::size_t length, std::uint32_t key, std::size_t line, std::size_t offset) {
        const Occurrence at{static_cast<std::uint32_t>(line), static_cast<std::uint32_t>(offset)};
        if (!record_.Lower(length, key, at, end_)) return;
        if (--unfoundCounts_[length] == 0) unfound_ &= ~(std::uint64_t{1} << length);
    }

    const OwnerKeys& keys_;
    const LineSelection& lines_;
    FirstOccurrenceRecord& record_;
    const KeyScan& scan_;
    bool isFirstShare_;    // no share's finds come before the first's
    std::size_t end_ = 0;  // the line after those this share scans
    // Per key length: how many keys have not been found up to end_, and this
    // scan's own filter once it has dropped found keys.
    std::array<std::size_t, kLongestKey + 1> unfoundCounts_{};
    std::array<std::size_t, kLongestKey + 1> filteredCounts_{};  // keys in the filter
    std::array<std::size_t, kLongestKey + 1> wastedLookups_{};   // of keys found before
    std::array<std::optional<text_hash::HashFilter>, kLongestKey + 1> filters_;
    std::uint64_t unfound_ = 0;  // bit n set: some key of n units has not been found
    std::uint64_t lengths_ = ~std::uint64_t{0};  // bit n set: keys of n units are looked for
    // Windows on their way to be looked up, by step.
    std::vector<LocatedWindow> locating_;  // of this batch: their filter bits are loading
    std::vector<LocatedWindow> located_;   // of the one before: their filter bits have loaded
    std::vector<Candidate> fresh_;         // that the filters let through: slots loading
    std::vector<Candidate> waiting_;       // of the step before: their keys are loading
    std::uint32_t line_ = 0;               // the line being scanned
    std::size_t probeCount_ = 0;           // filter probes made
    // The prefix filter of the keys' first `length` units: a trial of some
    // of them, or all; how many windows it has tested and let through.
    struct Prefix {
        std::size_t length = 0;
        std::optional<text_hash::HashFilter> filter;
        bool isTrial = false;
        bool wanted = false;  // a trial at `length` has passed
        std::size_t tested = 0;
        std::size_t passed = 0;
        std::size_t keysTaken = 0;  // by all filters built
    };
    Prefix prefix_;
};

// The units from the start of line `from` to the end of line `last`. The
// lines are views of one text in order, so their distances there measure the
// units between them.
std::size_t UnitsSpanned(const LineSelection& lines, std::size_t from, std::size_t last) {
    return static_cast<std::size_t>(lines[last].data() + lines[last].size() - lines[from].data());
}

// The line that starts the t-th of `threads` shares of the lines `from` to
// `last`, shares of about equal units; `last` + 1 for t = threads.
std::size_t LineAtShare(const LineSelection& lines, std::size_t from, std::size_t last,
                        std::size_t t, std::size_t threads) {
    if (t == 0) return from;
    if (t == threads) return last + 1;
    const char16_t* first = lines[from].data();
    const std::size_t wanted = ShareStart(UnitsSpanned(lines, from, last), t, threads);
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
// share after the first goes through all keys whenever it rebuilds a filter.
unsigned ScanThreadsFor(const LineSelection& lines, std::size_t last, std::size_t keyCount,
                        const KeyScan& scan) {
    if (scan.threads <= 1) return 1;
    const std::size_t span = UnitsSpanned(lines, 0, last);
    if (keyCount * scan.unitsPerKeyToSplit > span) return 1;
    const std::size_t byUnits =
        scan.unitsPerThread == 0 ? scan.threads : span / scan.unitsPerThread;
    return static_cast<unsigned>(std::clamp<std::size_t>(byUnits, 1, scan.threads));
}

// Where each owner's key first occurs, at or before the owner. When the scan
// may split, a trial first scans one kTrialShare-th of the lines up to the
// last owner, its key lengths split between the threads (LengthGroups); if
// it has found keys at most KeyScan::keysAheadOfOwners times as fast as it
// has passed their owners, as where keys are found at their owners, the rest
// is split into shares, each scanned on its own thread, the first continuing
// the trial's. Where keys are found far ahead of their owners, a share after
// the first would likely look for keys the first finds anyway, and the
// threads go on with their key lengths instead.
// Each key's first occurrence is its occurrence in the first share that has
// one. A share stops looking for a key once a share before it has found it,
// and stops once every key has occurred in a share before it.
class KeyOccurrences {
public:
    KeyOccurrences(const OwnerKeys& keys, const KeyScan& scan) : keys_(keys), record_(keys) {
        if (keys.OwnerCount() == 0) return;
        const LineSelection& lines = keys.Lines();
        const std::size_t last = keys.OwnerLine(keys.OwnerCount() - 1);
        unsigned threads = ScanThreadsFor(lines, last, KeyCount(), scan);
        ShareScan first(keys, record_, scan, true);
        std::size_t begin = 0;
        if (threads > 1) {
            begin = LineAtShare(lines, 0, last, 1, kTrialShare);
            LengthGroups groups(*this, scan, first, threads);
            const std::size_t unfound = groups.Scan(0, begin);
            if (!FoundAtOwnersPace(unfound, keys.FirstOwnerFrom(begin), scan.keysAheadOfOwners)) {
                groups.Scan(begin, last + 1);
                return;
            }
            first.LookFor(~std::uint64_t{0}, begin);
        }
        std::vector<std::size_t> begins(threads + 1);
        for (unsigned t = 0; t <= threads; ++t) {
            begins[t] = begin > last ? begin : LineAtShare(lines, begin, last, t, threads);
        }
        std::vector<std::atomic<bool>> done(threads);
        const auto scanShare = [&](unsigned t) {
            // A later share's scan is made on its own thread, which fills its filters.
            std::optional<ShareScan> later;
            ShareScan& share = t == 0 ? first : later.emplace(keys, record_, scan, false);
            share.Scan(begins[t], begins[t + 1], t == 0 ? nullptr : &done[t - 1], done[t]);
        };
        if (scan.lastShareFirst) {
            for (unsigned t = threads; t-- > 0;) scanShare(t);
        } else {
            OnThreads(threads, scanShare);
        }
    }

    // Where the key of the i-th owner first occurs: at or before the owner.
    Occurrence FirstOf(std::size_t i) const {
        return record_.Of(keys_.Key(i).size(), keys_.KeyOfOwner(i));
    }

private:
    // Scans of the lines, each on its own thread, for every n-th of the key
    // lengths that `first` still lacks (the first scan's lengths are left to
    // `first`), so that each length's record has one writer and each scan
    // stops once its lengths are found. Where keys are found far ahead of
    // their owners, as in a long line that holds them all, shares of the lines
    // would mostly look for keys that the first share finds anyway; the
    // trial, on the first lines, cannot tell yet, and is split so too.
    class LengthGroups {
    public:
        LengthGroups(KeyOccurrences& occurrences, const KeyScan& scan, ShareScan& first,
                     unsigned threads)
            : occurrences_(occurrences), scan_(scan), first_(first) {
            const std::uint64_t lengths = first.UnfoundLengths();
            masks_.resize(std::clamp<std::size_t>(static_cast<std::size_t>(std::popcount(lengths)),
                                                  1, threads));
            std::size_t next = 0;
            for (std::uint64_t rest = lengths; rest != 0; rest &= rest - 1) {
                masks_[next++ % masks_.size()] |= rest & ~(rest - 1);
            }
            first.LookFor(masks_[0], 0);
            others_ = std::vector<std::optional<ShareScan>>(masks_.size());
        }

        // Scans the lines [begin, end), after those scanned so far; returns
        // how many keys are still lacking. Each group takes a thread of its
        // own only where the lines hold kUnitsPerGroupThread units or more.
        std::size_t Scan(std::size_t begin, std::size_t end) {
            std::vector<std::atomic<bool>> done(masks_.size());
            const auto scanGroup = [&](unsigned t) {
                (t == 0 ? first_ : Other(t, begin)).Scan(begin, end, nullptr, done[t]);
            };
            const auto count = static_cast<unsigned>(masks_.size());
            const bool few = begin >= end || UnitsSpanned(occurrences_.keys_.Lines(), begin,
                                                          end - 1) < kUnitsPerGroupThread;
            if (scan_.lastShareFirst || few) {
                for (unsigned t = count; t-- > 0;) scanGroup(t);
            } else {
                OnThreads(count, scanGroup);
            }
            std::size_t unfound = first_.UnfoundCount();
            for (unsigned t = 1; t < count; ++t) unfound += others_[t]->UnfoundCount();
            return unfound;
        }

    private:
        // The scan of group t > 0, made on first use by its own thread, which
        // then fills its filters; it starts at the line `begin`.
        ShareScan& Other(unsigned t, std::size_t begin) {
            if (!others_[t]) {
                others_[t].emplace(occurrences_.keys_, occurrences_.record_, scan_, true);
                others_[t]->LookFor(masks_[t], begin);
            }
            return *others_[t];
        }

        KeyOccurrences& occurrences_;
        const KeyScan& scan_;
        ShareScan& first_;
        std::vector<std::uint64_t> masks_;              // the lengths of each group
        std::vector<std::optional<ShareScan>> others_;  // the scans of groups 1, 2, ...
    };

    // Whether the trial has found at most `ahead` times the share of keys
    // that it has passed owners, `passed` of them.
    bool FoundAtOwnersPace(std::size_t unfound, std::size_t passed, double ahead) const {
        const std::size_t keyCount = KeyCount();
        const std::size_t foundCount = keyCount - unfound;
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
    FirstOccurrenceRecord record_;
};

}  // namespace

std::vector<std::uint32_t> SettleByKeys(const LineSelection& lines,
                                        const std::vector<std::uint32_t>* open, KeyEnd end,
                                        std::size_t longest, const KeyScan& scan,
                                        std::vector<bool>& found) {
    const OwnerKeys owners(lines, open, end, longest, scan.loadAheadFromKeys);
    const KeyOccurrences keys(owners, scan);
    std::vector<std::uint32_t> stillOpen;
    const std::size_t count = open ? open->size() : lines.size();
    const auto lineOf = [&](std::size_t i) {
        return open ? (*open)[i] : static_cast<std::uint32_t>(i);
    };
    // The text where a key first occurs may lie anywhere: it loads kLookAhead
    // owners ahead of its comparison.
    const auto look = [&](std::size_t i) {
        const Occurrence at = keys.FirstOf(i);
        if (at.line < lineOf(i)) __builtin_prefetch(lines[at.line].data() + at.offset);
    };
    for (std::size_t i = 0; i < std::min(kLookAhead, count); ++i) look(i);
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kLookAhead < count) look(i + kLookAhead);
        const std::uint32_t line = lineOf(i);
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
