// SPDX-License-Identifier: MIT

// Answers "does this line occur inside an earlier line?" with a suffix array
// of the lines, each ended by a byte no line contains. An asked line occurs
// earlier exactly when its longest previous factor, the longest common prefix
// with any earlier suffix, covers the whole line: the match cannot run over a
// line end, and cannot reach the line itself, since a line end precedes it.
// The earlier suffix with the longest common prefix is one of the two nearest
// to it in suffix order among the earlier positions, which one pass over the
// suffix array with a stack finds.

#include "removal/internal/suffix_array_search.h"

#include <divsufsort.h>
#include <divsufsort64.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace vorlane::internal {
namespace {

constexpr std::uint8_t kLineEnd = 0xFF;

// Byte codes for code units, shortest for the most frequent: 128 units take one
// byte (0x00-0x7F), the next 2048 two bytes (lead 0xC0-0xDF), the rest three
// (lead 0xE0-0xFE); later bytes are 0x80-0xBF. No code holds 0xFF, and no code
// starts with a later byte, so an encoded line matches only at a unit boundary.
class UnitCodes {
public:
    UnitCodes(const LineSelection& lines, const std::vector<bool>& indexed) {
        std::size_t total = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) total += indexed[i] ? lines[i].size() : 0;
        std::vector<UnitCount> counts = CountUnits(lines, indexed, total);
        std::vector<std::uint32_t> byFrequency(counts.size());
        for (std::uint32_t i = 0; i < counts.size(); ++i) byFrequency[i] = i;
        std::stable_sort(
            byFrequency.begin(), byFrequency.end(),
            [&](std::uint32_t a, std::uint32_t b) { return counts[a].count > counts[b].count; });
        for (std::uint32_t rank = 0; rank < counts.size(); ++rank)
            counts[byFrequency[rank]].rank = rank;
        for (const UnitCount& c : counts) encodedSize_ += c.count * CodeLength(c.rank);
        // A table over all units pays off only for long texts.
        if (total >= kAllUnits) {
            rankByUnit_.resize(kAllUnits);
            for (const UnitCount& c : counts) rankByUnit_[c.unit] = c.rank;
        } else {
            sorted_ = std::move(counts);
        }
    }

    std::size_t EncodedSize() const { return encodedSize_; }

    std::uint8_t* Encode(char16_t unit, std::uint8_t* out) const {
        std::uint32_t rank = RankOf(unit);
        if (rank < 128) {
            *out++ = static_cast<std::uint8_t>(rank);
        } else if ((rank -= 128) < 2048) {
            *out++ = static_cast<std::uint8_t>(0xC0 + (rank >> 6));
            *out++ = static_cast<std::uint8_t>(0x80 + (rank & 63));
        } else {
            rank -= 2048;
            *out++ = static_cast<std::uint8_t>(0xE0 + (rank >> 12));
            *out++ = static_cast<std::uint8_t>(0x80 + ((rank >> 6) & 63));
            *out++ = static_cast<std::uint8_t>(0x80 + (rank & 63));
        }
        return out;
    }

private:
    static constexpr std::size_t kAllUnits = 0x10000;
    struct UnitCount {
        char16_t unit;
        std::uint64_t count;
        std::uint32_t rank = 0;
    };

    static std::size_t CodeLength(std::uint32_t rank) {
        return rank < 128 ? 1 : rank < 128 + 2048 ? 2 : 3;
    }

    // The units of the indexed lines with their counts, in ascending order.
    static std::vector<UnitCount> CountUnits(const LineSelection& lines,
                                             const std::vector<bool>& indexed, std::size_t total) {
        if (total >= kAllUnits) {
            std::vector<std::uint64_t> perUnit(kAllUnits, 0);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (indexed[i])
                    for (const char16_t unit : lines[i]) ++perUnit[unit];
            }
            std::vector<UnitCount> counts;
            for (std::size_t unit = 0; unit < kAllUnits; ++unit) {
                if (perUnit[unit] != 0)
                    counts.push_back({static_cast<char16_t>(unit), perUnit[unit]});
            }
            return counts;
        }
        std::vector<char16_t> units;
        units.reserve(total);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (indexed[i]) units.insert(units.end(), lines[i].begin(), lines[i].end());
        }
        std::sort(units.begin(), units.end());
        std::vector<UnitCount> counts;
        for (const char16_t unit : units) {
            if (counts.empty() || counts.back().unit != unit) counts.push_back({unit, 0});
            ++counts.back().count;
        }
        return counts;
    }

    std::uint32_t RankOf(char16_t unit) const {
        if (!rankByUnit_.empty()) return rankByUnit_[unit];
        return std::lower_bound(sorted_.begin(), sorted_.end(), unit,
                                [](const UnitCount& c, char16_t u) { return c.unit < u; })
            ->rank;
    }

    std::vector<std::uint32_t> rankByUnit_;  // for long texts
    std::vector<UnitCount> sorted_;          // for short texts, by unit
    std::size_t encodedSize_ = 0;
};

// The indexed lines encoded one after another, each followed by kLineEnd.
struct EncodedLines {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> starts;     // byte offset of each indexed line, ascending
    std::vector<std::size_t> lineIndex;  // which of the given lines each one is
    std::vector<bool> askedStart;        // per byte offset: an asked line starts here
};

EncodedLines EncodeLines(const LineSelection& lines, const std::vector<bool>& indexed,
                         const std::vector<bool>& asked) {
    const UnitCodes codes(lines, indexed);
    const std::size_t size = codes.EncodedSize();
    EncodedLines encoded;
    encoded.bytes.resize(
        size + static_cast<std::size_t>(std::count(indexed.begin(), indexed.end(), true)));
    encoded.askedStart.assign(encoded.bytes.size(), false);
    std::uint8_t* out = encoded.bytes.data();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!indexed[i]) continue;
        const auto start = static_cast<std::size_t>(out - encoded.bytes.data());
        encoded.starts.push_back(start);
        encoded.lineIndex.push_back(i);
        encoded.askedStart[start] = asked[i];
        for (const char16_t unit : lines[i]) out = codes.Encode(unit, out);
        *out++ = kLineEnd;
    }
    return encoded;
}

template <typename Index>
std::vector<Index> SuffixArray(const std::vector<std::uint8_t>& bytes) {
    std::vector<Index> suffixes(bytes.size());
    int status = 0;
    if constexpr (sizeof(Index) == sizeof(saidx_t)) {
        status = divsufsort(bytes.data(), suffixes.data(), static_cast<saidx_t>(bytes.size()));
    } else {
        status = divsufsort64(bytes.data(), suffixes.data(), static_cast<saidx64_t>(bytes.size()));
    }
    if (status != 0) throw std::runtime_error("suffix sorting failed");
    return suffixes;
}

// Marks the asked line starting at `later` if it also starts at `earlier`.
void CompareWithEarlier(const EncodedLines& encoded, std::size_t later, std::size_t earlier,
                        std::vector<bool>& found) {
    if (!encoded.askedStart[later]) return;
    const auto next = std::upper_bound(encoded.starts.begin(), encoded.starts.end(), later);
    const std::size_t line =
        encoded.lineIndex[static_cast<std::size_t>(next - encoded.starts.begin()) - 1];
    if (found[line]) return;
    const std::size_t length =
        (next == encoded.starts.end() ? encoded.bytes.size() : *next) - later - 1;
    found[line] = std::memcmp(&encoded.bytes[later], &encoded.bytes[earlier], length) == 0;
}

template <typename Index>
std::vector<bool> MarkLinesFoundEarlier(const EncodedLines& encoded, std::size_t lineCount) {
    const std::vector<Index> suffixes = SuffixArray<Index>(encoded.bytes);
    std::vector<bool> found(lineCount, false);
    std::vector<Index> stack;  // positions, ascending: each one's nearest smaller lies below it
    for (const Index position : suffixes) {
        while (!stack.empty() && stack.back() > position) {
            CompareWithEarlier(encoded, static_cast<std::size_t>(stack.back()),
                               static_cast<std::size_t>(position), found);
            stack.pop_back();
        }
        if (!stack.empty()) {
            CompareWithEarlier(encoded, static_cast<std::size_t>(position),
                               static_cast<std::size_t>(stack.back()), found);
        }
        stack.push_back(position);
    }
    return found;
}

}  // namespace

std::vector<bool> SearchEarlierLines(const LineSelection& lines, const std::vector<bool>& asked) {
    const auto lastAsked = std::find(asked.rbegin(), asked.rend(), true);
    std::vector<bool> indexed(lines.size(), false);
    std::fill(indexed.begin(), indexed.begin() + (asked.rend() - lastAsked), true);
    const EncodedLines encoded = EncodeLines(lines, indexed, asked);
    if (encoded.bytes.empty()) return std::vector<bool>(lines.size(), false);
    if (encoded.bytes.size() < static_cast<std::size_t>(std::numeric_limits<saidx_t>::max())) {
        return MarkLinesFoundEarlier<saidx_t>(encoded, lines.size());
    }
    return MarkLinesFoundEarlier<saidx64_t>(encoded, lines.size());
}

}  // namespace vorlane::internal
