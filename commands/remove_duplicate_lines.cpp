// SPDX-License-Identifier: MIT

// Deciding each line in turn by searching the kept text would take time
// quadratic in the length of the list. Instead:
//  1. Repeats of an earlier line are present: the earlier copy is in the kept
//     text, kept or found there. A hash table of the lines finds them.
//  2. Every earlier line occurs in the kept text, so a line occurring inside an
//     earlier one is present. This depends only on the input and is answered
//     for all first occurrences at once (OccursInEarlierLine).
//  3. Any other occurrence runs into a CR LF joint of the kept text, which only
//     lines starting with LF or ending with CR can do; those are decided in
//     order as the kept text grows (JointMatches).
// A line that none of these finds is absent from the kept text, and is kept.

#include "remove_duplicate_lines.h"

#include <algorithm>
#include <string>
#include <vector>

#include "earlier_occurrence.h"
#include "joint_matches.h"
#include "split_text.h"
#include "text_hash.h"

namespace vorlane {
namespace {

using internal::LineSelection;
using internal::SplitText;

constexpr std::u16string_view kLineBreak = u"\r\n";
constexpr std::uint32_t kRepeat = 0xFFFFFFFF;
constexpr std::size_t kLookAhead = 16;  // table lookups started ahead of use

std::u16string ToDecimal(std::int64_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

// For each line: its number among the distinct non-empty lines if it is the
// first with its text, else kRepeat. Fills `distinct` with the line numbers
// of those first lines.
std::vector<std::uint32_t> NumberFirstOccurrences(const SplitText& lines,
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
    std::vector<std::uint32_t> numbers(lines.size(), kRepeat);
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

bool MayMatchAcrossJoint(std::u16string_view line) {
    return line.front() == u'\n' || line.back() == u'\r';
}

// Which lines to keep, deciding the joint cases in order.
std::vector<bool> DecideKeptLines(const SplitText& lines) {
    std::vector<std::uint32_t> firstLines;
    const std::vector<std::uint32_t> numbers = NumberFirstOccurrences(lines, firstLines);
    const LineSelection distinct(lines, std::move(firstLines));
    const std::vector<bool> inEarlier = internal::OccursInEarlierLine(distinct);
    std::vector<std::u16string_view> jointCandidates;
    for (std::size_t d = 0; d < distinct.size(); ++d) {
        if (!inEarlier[d] && MayMatchAcrossJoint(distinct[d])) {
            jointCandidates.push_back(distinct[d]);
        }
    }
    internal::JointMatches joints(jointCandidates);
    std::vector<bool> kept(lines.size(), false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::uint32_t number = numbers[i];
        if (number == kRepeat || inEarlier[number]) continue;
        if (MayMatchAcrossJoint(lines[i]) && joints.Occurs(lines[i])) continue;
        kept[i] = true;
        joints.Keep(lines[i]);
    }
    return kept;
}

}  // namespace

std::vector<bool> FindKeptLines(std::u16string_view text) {
    return DecideKeptLines(SplitText(text));
}

DuplicateRemovalResult CountKeptLines(const std::vector<bool>& kept) {
    DuplicateRemovalResult result;
    result.pieceCount = static_cast<std::int64_t>(kept.size());
    result.addedCount = std::count(kept.begin(), kept.end(), true);
    result.duplicateCount = result.pieceCount - result.addedCount;
    return result;
}

DuplicateRemovalResult RemoveDuplicateLines(std::u16string_view text) {
    const SplitText lines(text);
    const std::vector<bool> kept = DecideKeptLines(lines);
    DuplicateRemovalResult result = CountKeptLines(kept);
    std::size_t size = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (kept[i]) size += lines[i].size() + (size > 0 ? kLineBreak.size() : 0);
    }
    result.text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!kept[i]) continue;
        if (!result.text.empty()) result.text += kLineBreak;
        result.text += lines[i];
    }
    return result;
}

std::u16string FormatRemovalSummary(const DuplicateRemovalResult& result) {
    return u"执行完成，原总数:" + ToDecimal(result.pieceCount) + u"，处理后数:" +
           ToDecimal(result.addedCount) + u"，清出重复数:" + ToDecimal(result.duplicateCount);
}

}  // namespace vorlane
