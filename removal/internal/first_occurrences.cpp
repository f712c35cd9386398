// SPDX-License-Identifier: MIT

// A list of millions of lines outgrows the caches, and one table of its lines
// would then cost a cache miss for every line. Long lists are instead split by
// the bits of each line's hash into parts whose tables stay in cache:
//  1. Hash every line; count and then copy 32 more bits of each hash, with its
//     line, into its part, keeping the order of the lines within each part.
//  2. In each part, take for each line the first line with the same bits
//     (equal lines have equal hashes, so they land in one part).
//  3. Compare each line with that first line. The first lines of groups whose
//     lines all equal it are exactly first occurrences; the few groups where
//     hashes met for unequal lines are sorted out by a table of their texts.
// Steps 1 to 3 split over threads by lines or by parts; each writes only its
// own lines' answers, so the result does not depend on the threads.

#include "removal/internal/first_occurrences.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <unordered_map>

#include "removal/internal/big_buffer.h"
#include "removal/internal/parallel.h"
#include "removal/internal/text_hash.h"
#include "text/huge_pages.h"

namespace vorlane::internal {
namespace {

using text_hash::kNone;

// One table of all lines, which compares texts whenever hashes meet.
std::vector<std::uint32_t> NumberWithOneTable(const SplitText& lines,
                                              std::vector<std::uint32_t>& distinct) {
    const text_hash::WordHash wordHash;
    std::vector<std::uint64_t> hashes(lines.size());
    std::size_t nonEmpty = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        hashes[i] = wordHash.Of(lines[i]);
        ++nonEmpty;
    }
    text_hash::HashTable seen(nonEmpty);
    std::vector<std::uint32_t> numbers(lines.size(), kNone);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i + kLookAhead < lines.size()) seen.Prefetch(hashes[i + kLookAhead]);
        if (lines[i].empty()) continue;
        const bool repeat = seen.FindEach(
            hashes[i], [&](std::uint32_t earlier) { return lines[distinct[earlier]] == lines[i]; });
        if (repeat) continue;
        numbers[i] = static_cast<std::uint32_t>(distinct.size());
        seen.Insert(hashes[i], numbers[i]);
        distinct.push_back(static_cast<std::uint32_t>(i));
    }
    return numbers;
}

struct Entry {
    std::uint32_t bits;  // of the hash, below those that chose the part
    std::uint32_t line;
};

// The non-empty lines of a long list, split into parts by hash.
class PartitionedLines {
public:
    PartitionedLines(const SplitText& lines, const Partitioning& partitioning)
        : lines_(lines), threads_(partitioning.threads), hashes_(lines.size()) {
        std::vector<std::size_t> counts(threads_, 0);
        OnThreads(threads_, [&](unsigned t) { counts[t] = HashShare(t); });
        std::size_t nonEmpty = 0;
        for (const std::size_t count : counts) nonEmpty += count;
        const std::size_t parts =
            std::bit_ceil(std::max<std::size_t>(1, nonEmpty / partitioning.linesPerPart));
        partBits_ = std::countr_zero(parts);
        // Where each thread's lines of each part go: parts in order, and
        // within a part, the threads' lines in order.
        std::vector<std::size_t> next(threads_ * parts, 0);
        OnThreads(threads_, [&](unsigned t) { CountShare(t, &next[t * parts]); });
        partStarts_.assign(parts + 1, 0);
        for (std::size_t part = 0, at = 0; part < parts; ++part) {
            partStarts_[part] = at;
            for (unsigned t = 0; t < threads_; ++t) {
                const std::size_t count = next[t * parts + part];
                next[t * parts + part] = at;
                at += count;
            }
        }
        partStarts_[parts] = nonEmpty;
        entries_.emplace(nonEmpty);
        OnThreads(threads_, [&](unsigned t) { CopyShare(t, &next[t * parts]); });
    }

    // Writes, for each non-empty line, the first line whose hash has the same
    // bits.
    void FindFirstWithSameBits(std::vector<std::uint32_t>& first) const {
        const std::size_t parts = partStarts_.size() - 1;
        std::size_t largest = 0;
        for (std::size_t part = 0; part < parts; ++part) {
            largest = std::max(largest, partStarts_[part + 1] - partStarts_[part]);
        }
        std::vector<std::vector<std::uint32_t>> tables(threads_);
        for (auto& table : tables) table.resize(std::bit_ceil(2 * largest + 2));
        const std::size_t total = std::max<std::size_t>(1, partStarts_[parts]);
        OnThreads(threads_, [&](unsigned t) {
            // Each part goes to the thread whose share of all lines holds its middle.
            for (std::size_t part = 0; part < parts; ++part) {
                const std::size_t middle = (partStarts_[part] + partStarts_[part + 1]) / 2;
                if (middle * threads_ / total == t) FirstInPart(part, tables[t], first);
            }
        });
    }

    // Sets, in each group of lines whose hashes share bits that holds one of
    // the lines `unequal` to the group's first line, each line's first to the
    // first line with its text. Scans only the part of each such group.
    void SortOutMetHashes(std::vector<std::uint32_t> unequal,
                          std::vector<std::uint32_t>& first) const {
        for (std::uint32_t& line : unequal) line = first[line];
        std::sort(unequal.begin(), unequal.end());
        unequal.erase(std::unique(unequal.begin(), unequal.end()), unequal.end());
        for (const std::uint32_t group : unequal) {
            const std::size_t part = PartOf(hashes_[group]);
            const std::uint32_t bits = BitsOf(hashes_[group]);
            std::unordered_map<std::u16string_view, std::uint32_t> firstWithText;
            for (std::size_t e = partStarts_[part]; e < partStarts_[part + 1]; ++e) {
                const Entry entry = (*entries_)[e];
                if (entry.bits != bits) continue;
                first[entry.line] =
                    firstWithText.try_emplace(lines_[entry.line], entry.line).first->second;
            }
        }
    }

private:
    std::size_t PartOf(std::uint64_t hash) const {
        return partBits_ == 0 ? 0 : static_cast<std::size_t>(hash >> (64 - partBits_));
    }
    std::uint32_t BitsOf(std::uint64_t hash) const {
        return static_cast<std::uint32_t>((hash << partBits_) >> 32);
    }
    std::size_t ShareBegin(unsigned t) const { return ShareStart(lines_.size(), t, threads_); }

    std::size_t HashShare(unsigned t) {
        const text_hash::WordHash wordHash;
        std::size_t nonEmpty = 0;
        for (std::size_t i = ShareBegin(t); i < ShareBegin(t + 1); ++i) {
            if (lines_[i].empty()) continue;
            hashes_[i] = text_hash::Scatter(wordHash.Of(lines_[i]) & text_hash::tableBits);
            ++nonEmpty;
        }
        return nonEmpty;
    }
    void CountShare(unsigned t, std::size_t* counts) const {
        for (std::size_t i = ShareBegin(t); i < ShareBegin(t + 1); ++i) {
            if (!lines_[i].empty()) ++counts[PartOf(hashes_[i])];
        }
    }
    void CopyShare(unsigned t, std::size_t* next) {
        for (std::size_t i = ShareBegin(t); i < ShareBegin(t + 1); ++i) {
            if (lines_[i].empty()) continue;
            (*entries_)[next[PartOf(hashes_[i])]++] = {BitsOf(hashes_[i]),
                                                       static_cast<std::uint32_t>(i)};
        }
    }

    // Fills `first` for the lines of one part, with `table` as room for its
    // table of indexes into entries_.
    void FirstInPart(std::size_t part, std::vector<std::uint32_t>& table,
                     std::vector<std::uint32_t>& first) const {
        const BigBuffer<Entry>& entries = *entries_;
        const std::size_t begin = partStarts_[part];
        const std::size_t count = partStarts_[part + 1] - begin;
        if (count == 0) return;
        const std::size_t size = std::bit_ceil(2 * count);
        const int sizeBits = std::countr_zero(size);
        std::fill_n(table.begin(), size, kNone);
        for (std::size_t e = begin; e < begin + count; ++e) {
            const Entry entry = entries[e];
            std::size_t slot = sizeBits == 0 ? 0 : entry.bits >> (32 - sizeBits);
            while (table[slot] != kNone && entries[table[slot]].bits != entry.bits) {
                slot = (slot + 1) & (size - 1);
            }
            if (table[slot] == kNone) table[slot] = static_cast<std::uint32_t>(e);
            first[entry.line] = entries[table[slot]].line;
        }
    }

    const SplitText& lines_;
    unsigned threads_;
    int partBits_ = 0;
    BigBuffer<std::uint64_t> hashes_;          // of each non-empty line, scattered
    std::optional<BigBuffer<Entry>> entries_;  // the non-empty lines, part by part
    std::vector<std::size_t> partStarts_;      // of each part in entries_, then the end
};

// The lines whose text differs from that of the first line with the same hash
// bits, comparing the lines in order while the texts of those first lines load
// ahead.
std::vector<std::uint32_t> UnequalToFirst(const SplitText& lines,
                                          const std::vector<std::uint32_t>& first,
                                          unsigned threads) {
    std::vector<std::vector<std::uint32_t>> unequal(threads);
    OnThreads(threads, [&](unsigned t) {
        const std::size_t begin = ShareStart(lines.size(), t, threads);
        const std::size_t end = ShareStart(lines.size(), t + 1, threads);
        for (std::size_t i = begin; i < end; ++i) {
            if (i + 2 * kTextAhead < end && first[i + 2 * kTextAhead] != kNone) {
                lines.Prefetch(first[i + 2 * kTextAhead]);
            }
            if (i + kTextAhead < end && first[i + kTextAhead] != kNone) {
                __builtin_prefetch(lines[first[i + kTextAhead]].data());
            }
            if (first[i] == kNone || first[i] == i || lines[first[i]] == lines[i]) continue;
            unequal[t].push_back(static_cast<std::uint32_t>(i));
        }
    });
    std::vector<std::uint32_t> all;
    for (const auto& share : unequal) all.insert(all.end(), share.begin(), share.end());
    return all;
}

// Room for `count` numbers, in huge pages: a long list's numbers are tens of
// megabytes, which would otherwise fault every 4 KiB as they are first written.
void ReserveInHugePages(std::vector<std::uint32_t>& numbers, std::size_t count) {
    numbers.reserve(count);
    AdviseHugePages(numbers.data(), numbers.capacity() * sizeof(std::uint32_t));
}

std::vector<std::uint32_t> NumberByParts(const SplitText& lines,
                                         std::vector<std::uint32_t>& distinct,
                                         const Partitioning& partitioning) {
    std::vector<std::uint32_t> numbers;
    ReserveInHugePages(numbers, lines.size());
    numbers.resize(lines.size(), kNone);
    {
        const PartitionedLines parts(lines, partitioning);
        parts.FindFirstWithSameBits(numbers);
        parts.SortOutMetHashes(UnequalToFirst(lines, numbers, partitioning.threads), numbers);
    }
    std::size_t firsts = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) firsts += numbers[i] == i ? 1 : 0;
    ReserveInHugePages(distinct, distinct.size() + firsts);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (numbers[i] != i) {
            numbers[i] = kNone;
            continue;
        }
        numbers[i] = static_cast<std::uint32_t>(distinct.size());
        distinct.push_back(static_cast<std::uint32_t>(i));
    }
    return numbers;
}

}  // namespace

Partitioning DefaultPartitioning() {
    Partitioning partitioning;
    partitioning.threads = std::clamp(std::thread::hardware_concurrency(), 1U, kMostThreads);
    return partitioning;
}

std::vector<std::uint32_t> NumberFirstOccurrences(const SplitText& lines,
                                                  std::vector<std::uint32_t>& distinct,
                                                  const Partitioning& partitioning) {
    if (lines.size() < partitioning.fromLines) return NumberWithOneTable(lines, distinct);
    return NumberByParts(lines, distinct, partitioning);
}

}  // namespace vorlane::internal
