// SPDX-License-Identifier: MIT

#include "removal/internal/line_walks.h"

#include <span>

#include "removal/internal/key_set.h"

namespace vorlane::internal {
namespace {

// For each hash of a prefix, the last of some lines that has a prefix with
// that hash. Prefixes whose hashes collide share one answer, the larger.
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
    BigVector<std::uint32_t> lastLines_;
};

// The lengths at which a walk asks whether any open line still starts with
// what it has read: kFirstCheckpoint (12), 16, 24, 32, 48, 64, 96, ...
std::size_t NextCheckpoint(std::size_t length) {
    return length % 3 == 0 ? length / 3 * 4 : length / 2 * 3;
}

// The shortest period of `key` shorter than it, or 0 if it has none.
std::uint32_t PeriodOf(std::u16string_view key) {
    for (std::size_t period = 1; period < key.size(); ++period) {
        if (std::equal(key.begin() + period, key.end(), key.begin())) {
            return static_cast<std::uint32_t>(period);
        }
    }
    return 0;
}

// Where `text`, which has period `period` up to `from`, first breaks it.
std::size_t PeriodEnd(std::u16string_view text, std::size_t period, std::size_t from) {
    while (from < text.size() && text[from] == text[from - period]) ++from;
    return from;
}

// A stretch text[start, end) of a line with period `period`.
struct Run {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t period = 0;
};

// Search structures over some open lines: their start keys, the lines
// themselves and their prefixes at the checkpoints, all by hash.
class OpenLineIndex {
public:
    struct Key {
        std::array<char16_t, kKeyLength> units;  // kept here, to compare without a detour
        std::uint32_t shortest;                  // the lengths of the lines with it
        std::uint32_t longest;
        std::uint32_t lastLine;  // the last line with it
        std::uint32_t period;    // its shortest period, or 0 (PeriodOf)
    };

    // Lines that start with a key of period p keep that period up to a point,
    // where they break it: `at` units in. Inside a run of that period, such a
    // line can only start `at` units before the run breaks.
    struct Break {
        std::uint32_t key;
        std::uint32_t at;
        std::uint64_t hash;      // of the lines' first `at` units, all alike
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
          lineFilter_(members_.size()),
          breakTable_(members_.size()) {
        std::vector<std::uint32_t> keyNumbers(members_.size());
        for (std::uint32_t m = 0; m < members_.size(); ++m) {
            if (m + kLookAhead < members_.size()) {
                keySet_.Prefetch(KeyHash(MemberLine(m + kLookAhead)));
            }
            keyNumbers[m] = AddKey(m);
        }
        // Its keys are copies, which lie together: nothing to load ahead.
        keySet_.Seal(
            [this](std::u16string_view key) { return wordHash_.OfShort(key.data(), key.size()); },
            false);
        BigVector<std::uint64_t> lineHashes(members_.size());
        BigVector<std::pair<std::uint64_t, std::uint32_t>> prefixHashes;
        for (std::uint32_t m = 0; m < members_.size(); ++m) {
            lineHashes[m] = HashWithPrefixes(m, keyNumbers[m], prefixHashes);
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

    // The hashes of the windows of kKeyLength units at the first positions of
    // `text`, as many as `hashes` holds, and where they would be in the key
    // filter, which starts loading them.
    void LocateKeys(std::u16string_view text, std::span<std::uint64_t> hashes,
                    std::span<text_hash::HashFilter::Place> places) const {
        for (std::size_t i = 0; i < hashes.size(); ++i) {
            hashes[i] = wordHash_.OfShort(text.substr(i, kKeyLength).data(), kKeyLength);
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

    // The break of lines after `line` that start with `key` and break its
    // period `at` units in, if there are any.
    const Break* BreakAt(const Key& key, std::size_t at, std::size_t line) const {
        const std::uint32_t found = FindBreak(static_cast<std::uint32_t>(&key - keys_.data()), at);
        return found != kNone && breaks_[found].lastLine > line ? &breaks_[found] : nullptr;
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

    // Adds member m's start key; returns its number.
    std::uint32_t AddKey(std::uint32_t m) {
        const std::u16string_view line = MemberLine(m);
        const std::u16string_view key = KeyOf(line, KeyEnd::kStart, kKeyLength);
        const auto length = static_cast<std::uint32_t>(line.size());
        const std::uint32_t number = keySet_.Add(key, KeyHash(line));
        if (number == keys_.size()) {
            keys_.push_back({{}, length, length, 0, PeriodOf(key)});
            std::copy(key.begin(), key.end(), keys_.back().units.begin());
        }
        Key& known = keys_[number];
        known.shortest = std::min(known.shortest, length);
        known.longest = std::max(known.longest, length);
        known.lastLine = open_[members_[m]];
        return number;
    }

    static std::uint64_t BreakHash(std::uint32_t key, std::size_t at) {
        return std::uint64_t{key} << 32 | at;
    }

    // The number of the break of `key` `at` units in, or kNone.
    std::uint32_t FindBreak(std::uint32_t key, std::size_t at) const {
        std::uint32_t found = kNone;
        breakTable_.FindEach(BreakHash(key, at), [&](std::uint32_t b) {
            if (breaks_[b].key != key || breaks_[b].at != at) return false;
            found = b;
            return true;
        });
        return found;
    }

    void AddBreak(std::uint32_t key, std::size_t at, std::uint64_t hash, std::uint32_t line) {
        const std::uint32_t known = FindBreak(key, at);
        if (known != kNone) {
            breaks_[known].lastLine = std::max(breaks_[known].lastLine, line);
            return;
        }
        breakTable_.Insert(BreakHash(key, at), static_cast<std::uint32_t>(breaks_.size()));
        breaks_.push_back({key, static_cast<std::uint32_t>(at), hash, line});
    }

    // The hash of member m's line, whose start key is `key`; adds those of
    // its prefixes at the checkpoints, and where it breaks the key's period.
    std::uint64_t HashWithPrefixes(std::uint32_t m, std::uint32_t key,
                                   BigVector<std::pair<std::uint64_t, std::uint32_t>>& prefixes) {
        const std::u16string_view line = MemberLine(m);
        const std::size_t period = keys_[key].period;
        const std::size_t breaksAt =
            period == 0 ? line.size() : PeriodEnd(line, period, kKeyLength);
        std::uint64_t hash = 0;
        for (std::size_t length = 1, check = kFirstCheckpoint; length <= line.size(); ++length) {
            if (length - 1 == breaksAt) AddBreak(key, breaksAt, hash, open_[members_[m]]);
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
    BigVector<Key> keys_;
    text_hash::HashTable lineTable_;  // the members by hash
    text_hash::HashFilter lineFilter_;
    std::optional<LastLineWithPrefix> prefixes_;
    text_hash::HashTable breakTable_;  // the breaks by key and place
    BigVector<Break> breaks_;
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
        : lines_(lines), open_(open), first_(open.size(), kNone), unfound_(open.size()) {
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
            Run run;
            for (std::size_t from = 0; from + kKeyLength <= text.size(); from += kBatch) {
                if (unfound_ * 2 < index_->size()) Reindex(line);
                const std::size_t count = std::min(kBatch, text.size() - kKeyLength + 1 - from);
                index_->LocateKeys(text.substr(from), std::span(hashes).first(count),
                                   std::span(places).first(count));
                for (std::size_t i = 0; i < count; ++i) {
                    const std::size_t start = from + i;
                    const OpenLineIndex::Key* key =
                        index_->KeyAt(places[i], hashes[i], text.substr(start, kKeyLength), line);
                    if (key != nullptr && !WalkFrom(text, start, line, *key, run, steps)) {
                        return false;
                    }
                }
            }
            // An open line not found before its own line is reached is found there.
            for (; next < open_.size() && open_[next] <= line; ++next) {
                if (first_[next] == kNone) Found(next, open_[next]);
            }
        }
        return true;
    }

    // The line where open line i first occurs, or kNone if the scan
    // stopped before reaching it.
    std::uint32_t FirstOf(std::size_t i) const { return first_[i]; }

private:
    // Indexes the open lines not found yet; none of them is before `line`.
    void Reindex(std::size_t line) {
        std::vector<std::uint32_t> members;
        members.reserve(unfound_);
        for (std::uint32_t i = 0; i < open_.size(); ++i) {
            if (first_[i] == kNone && open_[i] >= line) members.push_back(i);
        }
        index_.reset();
        index_.emplace(lines_, open_, std::move(members));
    }

    // Walks from the key at text[start], in `line`, within `steps`, which it
    // lowers; returns false if they ran out. Inside a run of the key's period
    // `run`, a line that lies in the run was found a period or more before, so
    // from there on a walk reads on only where lines break the period as the
    // run does, from where it breaks.
    bool WalkFrom(std::u16string_view text, std::size_t start, std::size_t line,
                  const OpenLineIndex::Key& key, Run& run, std::size_t& steps) {
        const std::size_t length = std::min<std::size_t>(text.size() - start, key.longest);
        std::size_t read = 0;
        std::uint64_t hash = 0;
        if (key.period != 0) {
            if (!Enter(run, text, start, key.period, steps)) return false;
            if (start >= run.start + run.period) {
                read = run.end - start;
                const OpenLineIndex::Break* broken = index_->BreakAt(key, read, line);
                if (broken == nullptr || length <= read) return true;
                hash = broken->hash;
            }
        }
        if (length - read > steps) return false;
        steps -= Walk(text.substr(start, length), line, key.shortest, read, hash);
        return true;
    }

    // Makes `run` the stretch of `text` with period `period` around the key
    // at `start`, unless it is already, reading on to where the period
    // breaks within `steps`, which it lowers. Returns false if it ran out.
    static bool Enter(Run& run, std::u16string_view text, std::size_t start, std::size_t period,
                      std::size_t& steps) {
        if (run.period == period && start + kKeyLength <= run.end) return true;
        run = {start, PeriodEnd(text, period, start + kKeyLength), period};
        if (run.end - start > steps) return false;
        steps -= run.end - start;
        return true;
    }

    // Records the open lines that `text`, in `line`, starts with, reading it
    // from `read` units on (whose hash is `hash`) while some open line after
    // `line` may still start so. Returns the units read. Reads up to kBatch
    // units at a time, loading what they need first.
    std::size_t Walk(std::u16string_view text, std::size_t line, std::size_t shortest,
                     std::size_t read, std::uint64_t hash) {
        std::size_t check = kFirstCheckpoint;
        while (check <= read) check = NextCheckpoint(check);
        std::array<std::uint64_t, kBatch> hashes;
        std::array<text_hash::HashFilter::Place, kBatch> places;
        for (std::size_t done = read; done < text.size();) {
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
                                              if (first_[i] == kNone) Found(i, line);
                                          });
            }
            done = end;
            if (done == check) {
                if (index_->LastWithPrefix(hash) <= line) return done - read;
                check = NextCheckpoint(check);
            }
        }
        return text.size() - read;
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

}  // namespace

std::vector<std::uint32_t> SettleByWalking(const LineSelection& lines,
                                           const std::vector<std::uint32_t>& open,
                                           std::size_t steps, std::vector<bool>& found) {
    FirstLineOccurrences occurrences(lines, open);
    occurrences.Scan(steps);
    std::vector<std::uint32_t> unreached;
    for (std::size_t i = 0; i < open.size(); ++i) {
        const std::uint32_t first = occurrences.FirstOf(i);
        found[open[i]] = first < open[i];
        if (first == kNone) unreached.push_back(open[i]);
    }
    return unreached;
}

}  // namespace vorlane::internal
