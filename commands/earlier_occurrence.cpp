// A line can occur inside an earlier line only if its key, its first
// kKeyLength units (or all of it, if shorter), occurs there too. One pass of
// hashes over the lines finds where keys occur; only the lines whose key
// occurs earlier are asked, and only the lines holding a later line's key are
// searched. On ordinary lists both sets are small, so the suffix array, the
// costly part, covers little or nothing.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "earlier_occurrence.h"
#include "text_hash.h"

namespace vorlane::internal {
namespace {

constexpr std::size_t kKeyLength = 8;
constexpr std::uint32_t kNowhere = 0xFFFFFFFF;

struct Key {
    std::uint32_t firstLineHoldingIt = kNowhere;
    std::uint32_t lastOwner = 0;  // the last line that starts with this key
};

// The hash of the `length` units (at most kKeyLength) at `units`. Keys of
// different lengths differ in the final term.
std::uint64_t KeyHash(const char16_t* units, std::size_t length) {
    std::uint64_t words[2] = {0, 0};
    if (length == kKeyLength) {
        std::memcpy(words, units, kKeyLength * sizeof(char16_t));
    } else {
        std::memcpy(words, units, length * sizeof(char16_t));
    }
    return words[0] * 0x9E3779B97F4A7C15 + words[1] * 0xC2B2AE3D27D4EB4F + length;
}

class KeyIndex {
public:
    explicit KeyIndex(const std::vector<std::u16string_view>& lines)
        : table_(lines.size()), filter_(lines.size()), keyOfLine_(lines.size()) {
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const std::u16string_view key = lines[line].substr(0, kKeyLength);
            const std::uint64_t hash = KeyHash(key.data(), key.size());
            std::uint32_t found = kNowhere;
            table_.FindEach(hash, [&](std::uint32_t k) { return found = k, true; });
            if (found == kNowhere) {
                found = static_cast<std::uint32_t>(keys_.size());
                keys_.emplace_back();
                table_.Insert(hash, found);
                filter_.Add(hash);
            }
            keys_[found].lastOwner = static_cast<std::uint32_t>(line);
            keyOfLine_[line] = found;
            lengths_ |= 1U << key.size();
        }
    }

    bool HasKeysOfLength(std::size_t length) const { return (lengths_ >> length) & 1; }

    Key* Find(std::uint64_t hash) {
        if (!filter_.MayContain(hash)) return nullptr;
        Key* key = nullptr;
        table_.FindEach(hash, [&](std::uint32_t k) { return key = &keys_[k], true; });
        return key;
    }

    const Key& KeyOf(std::size_t line) const { return keys_[keyOfLine_[line]]; }

private:
    text_hash::HashTable table_;
    text_hash::HashFilter filter_;
    std::vector<Key> keys_;
    std::vector<std::uint32_t> keyOfLine_;
    unsigned lengths_ = 0;
};

// Calls visit(hash) with the key hash of every run of `length` units in `text`.
template <typename Visit>
void ForEachRun(std::u16string_view text, std::size_t length, Visit visit) {
    for (std::size_t start = 0; start + length <= text.size(); ++start) {
        visit(KeyHash(text.data() + start, length));
    }
}

}  // namespace

std::vector<bool> OccursInEarlierLine(const std::vector<std::u16string_view>& lines) {
    KeyIndex keys(lines);
    std::vector<bool> searched(lines.size(), false);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        const auto here = static_cast<std::uint32_t>(line);
        for (std::size_t length = 1; length <= kKeyLength; ++length) {
            if (!keys.HasKeysOfLength(length)) continue;
            ForEachRun(lines[line], length, [&](std::uint64_t hash) {
                Key* key = keys.Find(hash);
                if (key == nullptr) return;
                key->firstLineHoldingIt = std::min(key->firstLineHoldingIt, here);
                if (key->lastOwner > here) searched[line] = true;
            });
        }
    }
    std::vector<bool> asked(lines.size(), false);
    bool anyAsked = false;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        asked[line] = keys.KeyOf(line).firstLineHoldingIt < line;
        anyAsked = anyAsked || asked[line];
    }
    if (!anyAsked) return asked;
    return SearchEarlierLines(lines, searched, asked);
}

}  // namespace vorlane::internal
