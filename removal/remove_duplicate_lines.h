// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// What one run of duplicate-line removal produced. Always
// pieceCount == addedCount + duplicateCount, and addedCount is the number of
// lines in `text`.
struct DuplicateRemovalResult {
    std::u16string text;              // the kept lines, joined by CR LF, no trailing break
    std::int64_t pieceCount = 0;      // lines examined: line breaks in the input + 1
    std::int64_t addedCount = 0;      // lines kept
    std::int64_t duplicateCount = 0;  // lines dropped: already present, or empty
};

// Splits `text` at every CR LF (a lone CR or LF is ordinary text) and keeps,
// in order, each line that does not yet occur anywhere in the lines kept before
// it, joined by CR LF. "Occur" is an exact code-unit substring search over the
// kept text including its CR LF joints, so a part of a kept line counts as
// present. Empty lines are never kept.
DuplicateRemovalResult RemoveDuplicateLines(std::u16string_view text);

// The decision behind RemoveDuplicateLines: for each line of `text` split at
// every CR LF, in order, whether it is kept. Its size is the number of lines.
std::vector<bool> FindKeptLines(std::u16string_view text);

// The counts of a run that kept the lines flagged in `kept`, one flag per
// line, without the text: all that FormatRemovalSummary needs.
DuplicateRemovalResult CountKeptLines(const std::vector<bool>& kept);

// The summary shown after a run, e.g. u"执行完成，原总数:3，处理后数:2，清出重复数:1".
std::u16string FormatRemovalSummary(const DuplicateRemovalResult& result);

}  // namespace vorlane
