// SPDX-License-Identifier: MIT

// A line occurs inside an earlier line only if every part of it does, in
// particular its keys: its first units and its last units, a few of them (all
// of it, if shorter). The search settles each line as cheaply as it can:
//  1. A pass over the lines finds where the start key of each line (its first
//     8 units) first occurs, probing at each position only the key lengths
//     whose keys are not all found yet. A line whose key first occurs in the
//     line itself is in no earlier line; one whose key occurs earlier is
//     compared with the text there. A short line is its own key, so that
//     settles it; a long one may occur at a later occurrence of its key, and
//     stays open.
//  2. The same pass with the end keys of the open lines settles those whose
//     last 8 units first occur in the line itself, or right where the line
//     would end at that first occurrence.
//  3. The same pass with start keys of 16 and then 32 units settles open lines
//     over few letters, whose 8-unit keys occur nearly everywhere.
//  4. A pass up to the last open line visits every occurrence of an open
//     line's start key and hashes the text from there on, unit by unit, to
//     find where each open line first occurs. At a few lengths it stops unless
//     some open line after the current one starts with what it has read.
//  5. If that pass would step through more than kStepsPerUnit units per unit
//     of text (keys that occur nearly everywhere, as in long runs of one
//     letter), a suffix array answers the lines still open.
// Hashes only propose: every key and line they find is compared unit by unit.

#include "earlier_occurrence.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <stdexcept>

#include "text_hash.h"

namespace vorlane::internal {
namespace {

constexpr std::size_t kKeyLength = 8;    // of the keys found first
constexpr std::size_t kLongestKey = 32;  // of the keys found last
constexpr std::uint32_t kNowhere = 0xFFFFFFFF;
constexpr std::size_t kLookAhead = 16;  // table lookups started ahead of use
constexpr std::size_t kBatch = 32;      // positions whose filter bits load together
constexpr std::size_t kManyOpen = 16;   // open lines are many when a 16th of all

enum class KeyEnd { kStart, kEnd };

// The key of `line` of at most `length` units at `end`, and where it starts.
std::size_t KeyOffset(std::u16string_view line, KeyEnd end, std::size_t length) {
    return end == KeyEnd::kStart || line.size() <= length ? 0 : line.size() - length;
}
std::u16string_view KeyOf(std::u16string_view line, KeyEnd end, std::size_t length) {
    return line.substr(KeyOffset(line, end, length), length);
}

struct Occurrence {
    std::uint32_t line = kNowhere;
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
    // The hashes of the `count` windows of `length` units from `units` on.
    void OfWindows(const char16_t* units, std::size_t length, std::size_t count,
                   std::uint64_t* hashes) const {
        if (length <= kKeyLength) {
            for (std::size_t i = 0; i < count; ++i) hashes[i] = words_.OfShort(units + i, length);
            return;
        }
        hashes[0] = polynomial_.Of({units, length});
        for (std::size_t i = 1; i < count; ++i) {
            hashes[i] = polynomial_.Roll(hashes[i - 1], units[i - 1], units[i - 1 + length],
                                         powers_[length]);
        }
    }

private:
    text_hash::WordHash words_;
    text_hash::Polynomial polynomial_;
    std::array<std::uint64_t, kLongestKey + 1> powers_{};
};

// Distinct keys of one length, numbered in the order they were added, found
// by hash. Each is kept as where it starts in the text, so that telling keys
// apart reads the text directly.
class KeySet {
public:
    // Room for `capacity` additions of keys of `length` units.
    KeySet(std::size_t capacity, std::size_t length) : table_(capacity), length_(length) {}

    // The number of the key equal to `key`, whose hash is `hash`, adding it
    // if it is new.
    std::uint32_t Add(std::u16string_view key, std::uint64_t hash) {
        std::uint32_t number = kNowhere;
        table_.FindEach(hash,
                        [&](std::uint32_t n) { return Text(n) == key && (number = n, true); });
        return number != kNowhere ? number : AddNew(key, hash);
    }
    // The same for a key known to differ from all added so far.
    std::uint32_t AddNew(std::u16string_view key, std::uint64_t hash) {
        const auto number = static_cast<std::uint32_t>(starts_.size());
        table_.Insert(hash, number);
        starts_.push_back(key.data());
        return number;
    }
    void Prefetch(std::uint64_t hash) const { table_.Prefetch(hash); }

    // After the last Add: builds the filter, and a table no larger than the
    // keys need, so that looking keys up stays in cache. `hashOf` hashes a
    // key's text as Add was given it.
    template <typename HashOf>
    void Seal(HashOf hashOf) {
        const bool compact = starts_.size() * 2 < table_.Capacity();
        if (compact) table_ = text_hash::HashTable(starts_.size());
        filter_.emplace(starts_.size());
        for (std::uint32_t key = 0; key < starts_.size(); ++key) {
            const std::uint64_t hash = hashOf(Text(key));
            if (compact) table_.Insert(hash, key);
            filter_->Add(hash);
        }
    }

    // Builds the filter anew over only the keys that `wanted(key)` still
    // wants, `count` of them, so that finding the others again costs no table
    // lookups. `hashOf` hashes a key's text.
    template <typename Wanted, typename HashOf>
    void Refilter(std::size_t count, Wanted wanted, HashOf hashOf) {
        filter_.emplace(count);
        for (std::uint32_t key = 0; key < starts_.size(); ++key) {
            if (wanted(key)) filter_->Add(hashOf(Text(key)));
        }
    }

    std::size_t size() const { return starts_.size(); }
    std::u16string_view Text(std::uint32_t key) const { return {starts_[key], length_}; }
    const text_hash::HashTable& Table() const { return table_; }
    const text_hash::HashFilter& Filter() const { return *filter_; }

private:
    text_hash::HashTable table_;
    std::optional<text_hash::HashFilter> filter_;
    std::vector<const char16_t*> starts_;
    std::size_t length_;
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
        for (std::size_t i = 0; i < keyOfOwner_.size(); ++i) {
            if (i + kLookAhead < keyOfOwner_.size()) {
                const std::u16string_view ahead = Key(i + kLookAhead);
                keys_[ahead.size()]->Prefetch(hasher_.Of(ahead));
            }
            const std::u16string_view key = Key(i);
            // A key shorter than the longest is a whole line, and lines differ.
            keyOfOwner_[i] = key.size() < longest_ ? keys_[key.size()]->AddNew(key, hasher_.Of(key))
                                                   : keys_[key.size()]->Add(key, hasher_.Of(key));
        }
        for (std::size_t length = 1; length <= longest_; ++length) {
            keys_[length]->Seal([this](std::u16string_view key) { return hasher_.Of(key); });
            first_[length].resize(keys_[length]->size());
            unfoundCounts_[length] = filteredCounts_[length] = keys_[length]->size();
            if (unfoundCounts_[length] != 0) unfound_ |= std::uint64_t{1} << length;
        }
    }

    void Scan() {
        const std::size_t last = OwnerLine(keyOfOwner_.size() - 1);
        for (std::size_t line = 0, owner = 0; line <= last && unfound_ != 0; ++line) {
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
        // Keys found leave the filter once half of those in it are found, if
        // finding them again has cost more lookups than building it anew.
        if (unfoundCounts_[length] * 2 < filteredCounts_[length] &&
            wastedLookups_[length] > filteredCounts_[length]) {
            filteredCounts_[length] = unfoundCounts_[length];
            wastedLookups_[length] = 0;
            keys_[length]->Refilter(
                unfoundCounts_[length],
                [&](std::uint32_t key) { return first_[length][key].line == kNowhere; },
                [&](std::u16string_view key) { return hasher_.Of(key); });
        }
        for (std::size_t start = from; start < to && (unfound_ >> length & 1) != 0;
             start += kBatch) {
            ProbeBatch(text, start, std::min(to, start + kBatch), length, line);
        }
    }

    // Looks for keys of `length` units at the positions [from, to), at most
    // kBatch of them, loading what each needs into the cache before it is used.
    void ProbeBatch(std::u16string_view text, std::size_t from, std::size_t to, std::size_t length,
                    std::size_t line) {
        const KeySet& keys = *keys_[length];
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        hasher_.OfWindows(text.data() + from, length, to - from, hashes.data());
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
                if (first_[length][key].line != kNowhere) {
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
        if (first.line != kNowhere) return;
        first = {static_cast<std::uint32_t>(line), static_cast<std::uint32_t>(offset)};
        if (--unfoundCounts_[length] == 0) unfound_ &= ~(std::uint64_t{1} << length);
    }

    const LineSelection& lines_;
    const std::vector<std::uint32_t>* owners_;
    KeyEnd end_;
    std::size_t longest_;
    KeyHasher hasher_;
    std::vector<std::uint32_t> keyOfOwner_;  // its number among keys of its length
    // Per key length: the keys, where each first occurs, and how many have
    // not been found yet.
    std::array<std::optional<KeySet>, kLongestKey + 1> keys_;
    std::array<std::vector<Occurrence>, kLongestKey + 1> first_;
    std::array<std::size_t, kLongestKey + 1> unfoundCounts_{};
    std::array<std::size_t, kLongestKey + 1> filteredCounts_{};  // keys in the filter
    std::array<std::size_t, kLongestKey + 1> wastedLookups_{};   // of keys found before
    std::uint64_t unfound_ = 0;  // bit n set: some key of n units has not been found
};

// For each hash of a prefix, the last of some lines that has a prefix with
// that hash. Prefixes whose hashes meet share one answer, the larger.
class LastLineWithPrefix {
public:
    explicit LastLineWithPrefix(std::size_t capacity) : table_(capacity) {}

    void Add(std::uint64_t hash, std::uint32_t line) {
        const bool known = table_.FindEach(hash, [&](std::uint32_t entry) {
            lastLines_[entry] = std::max(lastLines_[entry], line);
            return true;
        });
        if (known) return;
        table_.Insert(hash, static_cast<std::uint32_t>(lastLines_.size()));
        lastLines_.push_back(line);
    }
    void Prefetch(std::uint64_t hash) const { table_.Prefetch(hash); }

    // The last line with a prefix of this hash, or 0 if there is none.
    std::uint32_t Find(std::uint64_t hash) const {
        std::uint32_t last = 0;
        table_.FindEach(hash, [&](std::uint32_t entry) {
            last = std::max(last, lastLines_[entry]);
            return false;
        });
        return last;
    }

private:
    text_hash::HashTable table_;
    std::vector<std::uint32_t> lastLines_;
};

// The lengths at which a walk asks whether any open line still starts with
// what it has read: 12, 16, 24, 32, 48, 64, 96, ...
std::size_t NextCheckpoint(std::size_t length) {
    return length % 3 == 0 ? length / 3 * 4 : length / 2 * 3;
}
constexpr std::size_t kFirstCheckpoint = 12;

// Search structures over some open lines: their start keys, the lines
// themselves and their prefixes at the checkpoints, all by hash.
class OpenLineIndex {
public:
    struct Key {
        std::array<char16_t, kKeyLength> units;  // kept here, to compare without a detour
        std::uint32_t shortest;                  // the lengths of the lines with it
        std::uint32_t longest;
        std::uint32_t lastLine;  // the last line with it
    };

    // `members` index `open`, which numbers lines of `lines` longer than a key.
    OpenLineIndex(const LineSelection& lines, const std::vector<std::uint32_t>& open,
                  std::vector<std::uint32_t> members)
        : lines_(lines),
          open_(open),
          members_(std::move(members)),
          found_(members_.size(), false),
          keySet_(members_.size(), kKeyLength),
          lineTable_(members_.size()),
          lineFilter_(members_.size()) {
        for (std::uint32_t m = 0; m < members_.size(); ++m) {
            if (m + kLookAhead < members_.size()) {
                keySet_.Prefetch(KeyHash(MemberLine(m + kLookAhead)));
            }
            AddKey(m);
        }
        keySet_.Seal(
            [this](std::u16string_view key) { return wordHash_.OfShort(key.data(), key.size()); });
        std::vector<std::uint64_t> lineHashes(members_.size());
        std::vector<std::pair<std::uint64_t, std::uint32_t>> prefixHashes;
        for (std::uint32_t m = 0; m < members_.size(); ++m) {
            lineHashes[m] = HashWithPrefixes(m, prefixHashes);
        }
        for (std::uint32_t m = 0; m < members_.size(); ++m) {
            if (m + kLookAhead < members_.size()) lineTable_.Prefetch(lineHashes[m + kLookAhead]);
            lineTable_.Insert(lineHashes[m], m);
            lineFilter_.Add(lineHashes[m]);
        }
        prefixes_.emplace(prefixHashes.size());
        for (std::size_t i = 0; i < prefixHashes.size(); ++i) {
            if (i + kLookAhead < prefixHashes.size()) {
                prefixes_->Prefetch(prefixHashes[i + kLookAhead].first);
            }
            prefixes_->Add(prefixHashes[i].first, prefixHashes[i].second);
        }
    }

    std::size_t size() const { return members_.size(); }

    // The hashes of the `count` windows of kKeyLength units from `units` on,
    // and where they would be in the key filter, which starts loading them.
    void LocateKeys(const char16_t* units, std::size_t count, std::uint64_t* hashes,
                    text_hash::HashFilter::Place* places) const {
        for (std::size_t i = 0; i < count; ++i) {
            hashes[i] = wordHash_.OfShort(units + i, kKeyLength);
            places[i] = keySet_.Filter().Locate(hashes[i]);
        }
    }

    // The key that `window`, located by LocateKeys, is, if some line after
    // `line` starts with it.
    const Key* KeyAt(text_hash::HashFilter::Place place, std::uint64_t hash,
                     std::u16string_view window, std::size_t line) const {
        if (!keySet_.Filter().Has(place)) return nullptr;
        const Key* found = nullptr;
        keySet_.Table().FindEach(hash, [&](std::uint32_t k) {
            if (!std::equal(window.begin(), window.end(), keys_[k].units.begin())) return false;
            found = &keys_[k];
            return true;
        });
        return found != nullptr && found->lastLine > line ? found : nullptr;
    }

    // Whether some member may have the hash (from `Polynomial`) located by
    // LocateLine, which also starts loading what the test needs.
    text_hash::HashFilter::Place LocateLine(std::uint64_t hash) const {
        return lineFilter_.Locate(hash);
    }
    bool MayBeLine(text_hash::HashFilter::Place place) const { return lineFilter_.Has(place); }

    // Calls visit(i) for each member i, an index of `open`, whose line is
    // `text`, with hash `hash`, the first time it is so.
    template <typename Visit>
    void ForEachNewlyFound(std::u16string_view text, std::uint64_t hash, Visit visit) {
        lineTable_.FindEach(hash, [&](std::uint32_t m) {
            if (!found_[m] && MemberLine(m) == text) {
                found_[m] = true;
                visit(members_[m]);
            }
            return false;  // lines may repeat
        });
    }

    // The last member line with a prefix of this hash at a checkpoint, or 0.
    void PrefetchPrefix(std::uint64_t hash) const { prefixes_->Prefetch(hash); }
    std::uint32_t LastWithPrefix(std::uint64_t hash) const { return prefixes_->Find(hash); }

private:
    std::u16string_view MemberLine(std::uint32_t m) const { return lines_[open_[members_[m]]]; }

    std::uint64_t KeyHash(std::u16string_view line) const {
        const std::u16string_view key = KeyOf(line, KeyEnd::kStart, kKeyLength);
        return wordHash_.OfShort(key.data(), key.size());
    }

    void AddKey(std::uint32_t m) {
        const std::u16string_view line = MemberLine(m);
        const std::u16string_view key = KeyOf(line, KeyEnd::kStart, kKeyLength);
        const auto length = static_cast<std::uint32_t>(line.size());
        const std::uint32_t number = keySet_.Add(key, KeyHash(line));
        if (number == keys_.size()) {
            keys_.push_back({{}, length, length, 0});
            std::copy(key.begin(), key.end(), keys_.back().units.begin());
        }
        Key& known = keys_[number];
        known.shortest = std::min(known.shortest, length);
        known.longest = std::max(known.longest, length);
        known.lastLine = open_[members_[m]];
    }

    // The hash of member m's line; adds those of its prefixes at the checkpoints.
    std::uint64_t HashWithPrefixes(std::uint32_t m,
                                   std::vector<std::pair<std::uint64_t, std::uint32_t>>& prefixes) {
        const std::u16string_view line = MemberLine(m);
        std::uint64_t hash = 0;
        for (std::size_t length = 1, check = kFirstCheckpoint; length <= line.size(); ++length) {
            hash = polynomial_.Append(hash, line[length - 1]);
            if (length < check || length == line.size()) continue;
            prefixes.emplace_back(hash, open_[members_[m]]);
            check = NextCheckpoint(check);
        }
        return hash;
    }

    const LineSelection& lines_;
    const std::vector<std::uint32_t>& open_;
    std::vector<std::uint32_t> members_;
    std::vector<bool> found_;  // of each member, whether it has been found
    KeySet keySet_;
    std::vector<Key> keys_;
    text_hash::HashTable lineTable_;  // the members by hash
    text_hash::HashFilter lineFilter_;
    std::optional<LastLineWithPrefix> prefixes_;
    text_hash::WordHash wordHash_;
    text_hash::Polynomial polynomial_;
};

// Where each of some long lines first occurs, found by hashing the text after
// every occurrence of their start keys. The lines already found leave the
// search each time half of those in it have been found.
class FirstLineOccurrences {
public:
    // `open` numbers lines of `lines` longer than a key, in ascending order.
    FirstLineOccurrences(const LineSelection& lines, const std::vector<std::uint32_t>& open)
        : lines_(lines), open_(open), first_(open.size(), kNowhere), unfound_(open.size()) {
        Reindex(0);
    }

    // Scans the lines up to the last open one, unless that takes more than
    // `steps` steps. Returns whether it got there; if not, the open lines it
    // did not reach have no first occurrence yet.
    bool Scan(std::size_t steps) {
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        for (std::size_t line = 0, next = 0; unfound_ != 0; ++line) {
            const std::u16string_view text = lines_[line];
            for (std::size_t from = 0; from + kKeyLength <= text.size(); from += kBatch) {
                if (unfound_ * 2 < index_->size()) Reindex(line);
                const std::size_t count = std::min(kBatch, text.size() - kKeyLength + 1 - from);
                index_->LocateKeys(text.data() + from, count, hashes.data(), places.data());
                for (std::size_t i = 0; i < count; ++i) {
                    const std::size_t start = from + i;
                    const OpenLineIndex::Key* key =
                        index_->KeyAt(places[i], hashes[i], text.substr(start, kKeyLength), line);
                    if (key == nullptr) continue;
                    const std::size_t length =
                        std::min<std::size_t>(text.size() - start, key->longest);
                    if (length > steps) return false;
                    steps -= Walk(text.substr(start, length), line, key->shortest);
                }
            }
            // An open line not found before its own line is reached is found there.
            for (; next < open_.size() && open_[next] <= line; ++next) {
                if (first_[next] == kNowhere) Found(next, open_[next]);
            }
        }
        return true;
    }

    // The line where open line i first occurs, or kNowhere if the scan
    // stopped before reaching it.
    std::uint32_t FirstOf(std::size_t i) const { return first_[i]; }

private:
    // Indexes the open lines not found yet; none of them is before `line`.
    void Reindex(std::size_t line) {
        std::vector<std::uint32_t> members;
        members.reserve(unfound_);
        for (std::uint32_t i = 0; i < open_.size(); ++i) {
            if (first_[i] == kNowhere && open_[i] >= line) members.push_back(i);
        }
        index_.reset();
        index_.emplace(lines_, open_, std::move(members));
    }

    // Records the open lines that `text`, in `line`, starts with, reading it
    // while some open line after `line` may still do so. Returns the units
    // read. Reads up to kBatch units at a time, loading what they need first.
    std::size_t Walk(std::u16string_view text, std::size_t line, std::size_t shortest) {
        std::uint64_t hash = 0;
        std::size_t check = kFirstCheckpoint;
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        for (std::size_t done = 0; done < text.size();) {
            const std::size_t end = std::min({text.size(), check, done + kBatch});
            for (std::size_t length = done + 1; length <= end; ++length) {
                hash = polynomial_.Append(hash, text[length - 1]);
                hashes[length - done - 1] = hash;
                if (length >= shortest) places[length - done - 1] = index_->LocateLine(hash);
            }
            if (end == check) index_->PrefetchPrefix(hash);
            for (std::size_t length = std::max(done + 1, shortest); length <= end; ++length) {
                if (!index_->MayBeLine(places[length - done - 1])) continue;
                index_->ForEachNewlyFound(text.substr(0, length), hashes[length - done - 1],
                                          [&](std::uint32_t i) {
                                              if (first_[i] == kNowhere) Found(i, line);
                                          });
            }
            done = end;
            if (done == check) {
                if (index_->LastWithPrefix(hash) <= line) return done;
                check = NextCheckpoint(check);
            }
        }
        return text.size();
    }

    void Found(std::size_t i, std::size_t line) {
        first_[i] = static_cast<std::uint32_t>(line);
        --unfound_;
    }

    const LineSelection& lines_;
    const std::vector<std::uint32_t>& open_;
    std::vector<std::uint32_t> first_;  // of each open line
    std::size_t unfound_;               // open lines without a first occurrence yet
    std::optional<OpenLineIndex> index_;
    text_hash::Polynomial polynomial_;
};

// Settles what the keys of at most `longest` units at `end` of the lines
// `asked` (all lines if nullptr) can: the lines found at their key's first
// occurrence, and those whose key first occurs in the line itself. Returns
// the lines left open.
std::vector<std::uint32_t> SettleByKeys(const LineSelection& lines,
                                        const std::vector<std::uint32_t>* asked, KeyEnd end,
                                        std::size_t longest, std::vector<bool>& found) {
    FirstKeyOccurrences keys(lines, asked, end, longest);
    keys.Scan();
    std::vector<std::uint32_t> open;
    const std::size_t count = asked ? asked->size() : lines.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t line = asked ? (*asked)[i] : static_cast<std::uint32_t>(i);
        const Occurrence at = keys.FirstOf(i);
        if (at.line >= line) continue;
        const std::u16string_view x = lines[line];
        const std::size_t keyEnd = at.offset + KeyOf(x, end, longest).size();
        const std::u16string_view there = lines[at.line];
        found[line] = end == KeyEnd::kStart
                          ? there.substr(at.offset).starts_with(x)
                          : keyEnd >= x.size() && there.substr(0, keyEnd).ends_with(x);
        if (!found[line]) open.push_back(line);
    }
    return open;
}

// Looks for the open lines by walking from the occurrences of their keys,
// within `steps` steps. Settles those it reaches; returns the others.
std::vector<std::uint32_t> SettleByWalking(const LineSelection& lines,
                                           const std::vector<std::uint32_t>& open,
                                           std::size_t steps, std::vector<bool>& found) {
    FirstLineOccurrences occurrences(lines, open);
    occurrences.Scan(steps);
    std::vector<std::uint32_t> unreached;
    for (std::size_t i = 0; i < open.size(); ++i) {
        const std::uint32_t first = occurrences.FirstOf(i);
        found[open[i]] = first < open[i];
        if (first == kNowhere) unreached.push_back(open[i]);
    }
    return unreached;
}

}  // namespace

std::vector<bool> OccursInEarlierLine(const LineSelection& lines, SearchLimits limits) {
    std::size_t units = 0;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        units += lines[line].size();
        // Offsets within a line are kept in 32 bits.
        if (lines[line].size() >= kNowhere) throw std::length_error("line too long to search");
    }
    std::vector<bool> found(lines.size(), false);
    if (lines.size() == 0) return found;
    std::vector<std::uint32_t> open =
        SettleByKeys(lines, nullptr, KeyEnd::kStart, kKeyLength, found);
    // Each further pass settles open lines of one more kind, at the cost of a
    // probe per key length at every position. While few lines are open, as in
    // most lists, a brief walk first settles what it can.
    struct Pass {
        KeyEnd end;
        std::size_t longest;
    };
    constexpr Pass kPasses[] = {{KeyEnd::kEnd, kKeyLength},
                                {KeyEnd::kStart, 2 * kKeyLength},
                                {KeyEnd::kStart, kLongestKey}};
    for (const Pass& pass : kPasses) {
        if (open.empty() || (pass.longest > kKeyLength && !limits.longerKeys)) break;
        if (open.size() * kManyOpen < lines.size()) {
            open =
                SettleByWalking(lines, open, std::min(units, limits.stepsPerUnit * units), found);
        }
        if (!open.empty()) open = SettleByKeys(lines, &open, pass.end, pass.longest, found);
    }
    if (!open.empty()) open = SettleByWalking(lines, open, limits.stepsPerUnit * units, found);
    if (open.empty()) return found;
    std::vector<bool> asked(lines.size(), false);
    for (const std::uint32_t line : open) asked[line] = true;
    const std::vector<bool> searched = SearchEarlierLines(lines, asked);
    for (const std::uint32_t line : open) found[line] = searched[line];
    return found;
}

}  // namespace vorlane::internal
