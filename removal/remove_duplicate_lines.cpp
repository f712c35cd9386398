// SPDX-License-Identifier: MIT

// Decides every line in about linear time, in three steps that
// removal/README.md explains: repeats by a hash table of lines, lines inside
// earlier lines all at once (OccursInEarlierLine), and matches across the
// joints of the kept text in order (JointMatches).

#include "removal/remove_duplicate_lines.h"

#include <algorithm>
#include <string>
#include <vector>

#include "removal/internal/big_buffer.h"
#include "removal/internal/earlier_occurrence.h"
#include "removal/internal/first_occurrences.h"
#include "removal/internal/joint_matches.h"
#include "removal/internal/text_hash.h"
#include "text/huge_pages.h"
#include "text/split_text.h"

namespace vorlane {
namespace {

using text_hash::kNone;

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
    const std::vector<bool> inEarlier =
        internal::OccursInEarlierLine(distinct, {.scan = {.threads = parts.threads}});
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
        if (number == kNone || inEarlier[number]) continue;
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

DuplicateRemovalResult CountKeptLines(const std::vector<bool>& kept) {
    DuplicateRemovalResult counts;
    counts.pieceCount = static_cast<std::int64_t>(kept.size());
    counts.addedCount = std::count(kept.begin(), kept.end(), true);
    counts.duplicateCount = counts.pieceCount - counts.addedCount;
    return counts;
}

DuplicateRemovalResult RemoveDuplicateLines(std::u16string_view text) {
    const SplitText lines(text);
    const std::vector<bool> kept = DecideKeptLines(lines, internal::DefaultPartitioning());
    DuplicateRemovalResult result = CountKeptLines(kept);
    std::size_t size = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (kept[i]) size += kLineBreak.size() + lines[i].size();
    }
    result.text.reserve(size > 0 ? size - kLineBreak.size() : 0);
    // The text of a long list is tens of megabytes written once, in order.
    AdviseHugePages(result.text.data(), result.text.capacity() * sizeof(char16_t));
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
