// SPDX-License-Identifier: MIT

#include "removal/internal/joint_matches.h"

#include <algorithm>

namespace vorlane::internal {
namespace {

bool StartsWithLf(std::u16string_view line) { return !line.empty() && line.front() == u'\n'; }
bool EndsWithCr(std::u16string_view line) { return !line.empty() && line.back() == u'\r'; }
bool IsBetweenJoints(std::u16string_view line) {
    return line.size() >= 3 && StartsWithLf(line) && EndsWithCr(line);
}

std::size_t CountIf(const std::vector<std::u16string_view>& lines,
                    bool (*predicate)(std::u16string_view)) {
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), predicate));
}

}  // namespace

void JointMatches::TextSet::Add(std::u16string_view text, std::uint64_t hash) {
    const bool known =
        table_.FindEach(hash, [&](std::uint32_t entry) { return texts_[entry].text == text; });
    if (known) return;
    table_.Insert(hash, static_cast<std::uint32_t>(texts_.size()));
    filter_.Add(hash);
    texts_.push_back({text, false});
    if (lengths_.size() <= text.size()) lengths_.resize(text.size() + 1);
    lengths_[text.size()] = true;
}

void JointMatches::TextSet::Mark(std::u16string_view text, std::uint64_t hash) {
    if (!filter_.MayContain(hash)) return;
    table_.FindEach(hash, [&](std::uint32_t entry) {
        Entry& registered = texts_[entry];
        if (registered.marked || registered.text != text) return false;
        registered.marked = true;
        return true;
    });
}

bool JointMatches::TextSet::IsMarked(std::u16string_view text, std::uint64_t hash) const {
    return table_.FindEach(hash, [&](std::uint32_t entry) {
        return texts_[entry].marked && texts_[entry].text == text;
    });
}

JointMatches::JointMatches(const std::vector<std::u16string_view>& lines)
    : suffixesBeforeCr_(CountIf(lines, EndsWithCr)),
      prefixesAfterLf_(CountIf(lines, StartsWithLf)),
      linesBetween_(CountIf(lines, IsBetweenJoints)) {
    for (const std::u16string_view line : lines) {
        if (EndsWithCr(line)) {
            const std::u16string_view u = line.substr(0, line.size() - 1);
            suffixesBeforeCr_.Add(u, polynomial_.OfReversed(u));
        }
        if (StartsWithLf(line)) {
            const std::u16string_view v = line.substr(1);
            prefixesAfterLf_.Add(v, polynomial_.Of(v));
        }
        if (IsBetweenJoints(line)) {
            const std::u16string_view y = line.substr(1, line.size() - 2);
            linesBetween_.Add(y, polynomial_.Of(y));
        }
    }
}

bool JointMatches::Occurs(std::u16string_view line) const {
    if (EndsWithCr(line)) {
        const std::u16string_view u = line.substr(0, line.size() - 1);
        if (suffixesBeforeCr_.IsMarked(u, polynomial_.OfReversed(u))) return true;
    }
    if (StartsWithLf(line)) {
        const std::u16string_view v = line.substr(1);
        if (prefixesAfterLf_.IsMarked(v, polynomial_.Of(v))) return true;
    }
    if (IsBetweenJoints(line)) {
        const std::u16string_view y = line.substr(1, line.size() - 2);
        if (linesBetween_.IsMarked(y, polynomial_.Of(y))) return true;
    }
    return false;
}

void JointMatches::Keep(std::u16string_view line) {
    ++keptCount_;
    if (keptCount_ >= 2) {
        // A joint now follows lastKept_ and precedes line.
        MarkSuffixes(lastKept_);
        if (keptCount_ >= 3 && linesBetween_.HasLength(lastKept_.size())) {
            linesBetween_.Mark(lastKept_, polynomial_.Of(lastKept_));
        }
        MarkPrefixes(line);
    }
    lastKept_ = line;
}

void JointMatches::MarkSuffixes(std::u16string_view line) {
    const std::size_t bound = std::min(line.size() + 1, suffixesBeforeCr_.LengthBound());
    std::uint64_t hash = 0;
    for (std::size_t length = 0; length < bound; ++length) {
        if (length > 0) hash = polynomial_.Append(hash, line[line.size() - length]);
        if (suffixesBeforeCr_.HasLength(length)) {
            suffixesBeforeCr_.Mark(line.substr(line.size() - length), hash);
        }
    }
}

void JointMatches::MarkPrefixes(std::u16string_view line) {
    const std::size_t bound = std::min(line.size() + 1, prefixesAfterLf_.LengthBound());
    std::uint64_t hash = 0;
    for (std::size_t length = 0; length < bound; ++length) {
        if (length > 0) hash = polynomial_.Append(hash, line[length - 1]);
        if (prefixesAfterLf_.HasLength(length)) prefixesAfterLf_.Mark(line.substr(0, length), hash);
    }
}

}  // namespace vorlane::internal
