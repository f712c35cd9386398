// SPDX-License-Identifier: MIT

#include "joint_matches.h"

namespace vorlane::internal {
namespace {

bool StartsWithLf(std::u16string_view line) { return !line.empty() && line.front() == u'\n'; }
bool EndsWithCr(std::u16string_view line) { return !line.empty() && line.back() == u'\r'; }

std::size_t CountIf(const std::vector<std::u16string_view>& lines,
                    bool (*predicate)(std::u16string_view)) {
    std::size_t count = 0;
    for (const std::u16string_view line : lines) count += predicate(line) ? 1 : 0;
    return count;
}

}  // namespace

void JointMatches::TextSet::Add(std::u16string_view text, std::uint64_t hash) {
    const bool known =
        table_.FindEach(hash, [&](std::uint32_t entry) { return texts_[entry].text == text; });
    if (known) return;
    table_.Insert(hash, static_cast<std::uint32_t>(texts_.size()));
    filter_.Add(hash);
    texts_.push_back({text, false});
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
      linesBetween_(CountIf(lines, StartsWithLf)) {
    for (const std::u16string_view line : lines) {
        if (EndsWithCr(line)) {
            const std::u16string_view u = line.substr(0, line.size() - 1);
            suffixesBeforeCr_.Add(u, text_hash::BackwardHash(u));
        }
        if (StartsWithLf(line)) {
            const std::u16string_view v = line.substr(1);
            prefixesAfterLf_.Add(v, text_hash::ForwardHash(v));
        }
        if (StartsWithLf(line) && EndsWithCr(line) && line.size() >= 3) {
            const std::u16string_view y = line.substr(1, line.size() - 2);
            linesBetween_.Add(y, text_hash::ForwardHash(y));
        }
    }
}

bool JointMatches::Occurs(std::u16string_view line) const {
    if (EndsWithCr(line)) {
        const std::u16string_view u = line.substr(0, line.size() - 1);
        if (suffixesBeforeCr_.IsMarked(u, text_hash::BackwardHash(u))) return true;
    }
    if (StartsWithLf(line)) {
        const std::u16string_view v = line.substr(1);
        if (prefixesAfterLf_.IsMarked(v, text_hash::ForwardHash(v))) return true;
    }
    if (StartsWithLf(line) && EndsWithCr(line) && line.size() >= 3) {
        const std::u16string_view y = line.substr(1, line.size() - 2);
        if (linesBetween_.IsMarked(y, text_hash::ForwardHash(y))) return true;
    }
    return false;
}

void JointMatches::Keep(std::u16string_view line) {
    ++keptCount_;
    if (keptCount_ >= 2) {
        // A joint now follows lastKept_ and precedes line.
        if (!suffixesBeforeCr_.Empty()) {
            std::uint64_t hash = 0;
            suffixesBeforeCr_.Mark({}, hash);
            for (std::size_t start = lastKept_.size(); start-- > 0;) {
                hash = text_hash::PrependUnit(hash, lastKept_[start]);
                suffixesBeforeCr_.Mark(lastKept_.substr(start), hash);
            }
        }
        if (!linesBetween_.Empty() && keptCount_ >= 3) {
            linesBetween_.Mark(lastKept_, text_hash::ForwardHash(lastKept_));
        }
        if (!prefixesAfterLf_.Empty()) {
            std::uint64_t hash = 0;
            prefixesAfterLf_.Mark({}, hash);
            for (std::size_t end = 1; end <= line.size(); ++end) {
                hash = text_hash::AppendUnit(hash, line[end - 1]);
                prefixesAfterLf_.Mark(line.substr(0, end), hash);
            }
        }
    }
    lastKept_ = line;
}

}  // namespace vorlane::internal
