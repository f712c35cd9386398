// SPDX-License-Identifier: MIT

// Deciding each line in turn by searching the kept text would take time
// quadratic in the length of the list. Instead:
//  1. Repeats of an earlier line are present: the earlier copy is in the kept
//     text, kept or found there. A hash table of the lines finds them; for a
//     long list, one small table per part of the lines split by hash
//     (NumberFirstOccurrences).
//  2. Every earlier line occurs in the kept text, so a line occurring inside an
//     earlier one is present. This depends only on the input and is answered
//     for all first occurrences at once (OccursInEarlierLine).
//  3. Any other occurrence runs into a CR LF joint of the kept text, which only
//     lines starting with LF or ending with CR can do; those are decided in
//     order as the kept text grows (JointMatches).
// A line that none of these finds is absent from the kept text, and is kept.

#include "remove_duplicate_lines.h"

#include <string>
#include <vector>

#include "earlier_occurrence.h"
#include "first_occurrences.h"
#include "joint_matches.h"
#include "split_text.h"

namespace vorlane {
namespace {

using internal::kRepeat;
using internal::LineSelection;
using internal::SplitText;

constexpr std::u16string_view kLineBreak = u"\r\n";

std::u16string ToDecimal(std::int64_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

bool MayMatchAcrossJoint(std::u16string_view line) {
    return line.front() == u'\n' || line.back() == u'\r';
}

// Which lines to keep, deciding the joint cases in order.
std::vector<bool> DecideKeptLines(const SplitText& lines, const internal::Partitioning& parts) {
    std::vector<std::uint32_t> firstLines;
    const std::vector<std::uint32_t> numbers =
        internal::NumberFirstOccurrences(lines, firstLines, parts);
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

namespace internal {

std::vector<bool> FindKeptLines(std::u16string_view text, const Partitioning& partitioning) {
    return DecideKeptLines(SplitText(text), partitioning);
}

}  // namespace internal

std::vector<bool> FindKeptLines(std::u16string_view text) {
    return internal::FindKeptLines(text, internal::DefaultPartitioning());
}

DuplicateRemovalResult RemoveDuplicateLines(std::u16string_view text) {
    const SplitText lines(text);
    const std::vector<bool> kept = DecideKeptLines(lines, internal::DefaultPartitioning());
    DuplicateRemovalResult result;
    std::size_t size = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (kept[i]) size += lines[i].size() + (result.addedCount++ > 0 ? kLineBreak.size() : 0);
    }
    result.text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!kept[i]) continue;
        if (!result.text.empty()) result.text += kLineBreak;
        result.text += lines[i];
    }
    result.pieceCount = static_cast<std::int64_t>(lines.size());
    result.duplicateCount = result.pieceCount - result.addedCount;
    return result;
}

std::u16string FormatRemovalSummary(const DuplicateRemovalResult& result) {
    return u"执行完成，原总数:" + ToDecimal(result.pieceCount) + u"，处理后数:" +
           ToDecimal(result.addedCount) + u"，清出重复数:" + ToDecimal(result.duplicateCount);
}

}  // namespace vorlane
