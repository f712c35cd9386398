// SPDX-License-Identifier: MIT

#include "testing/hostile_texts.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "removal/internal/text_hash.h"
#include "testing/sample_texts.h"

namespace vorlane::testing {
using namespace std::string_view_literals;
namespace {

constexpr std::u16string_view kLetters =
    u"abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::size_t Uniform(std::mt19937_64& random, std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
}

std::u16string RandomLetters(std::mt19937_64& random, std::size_t length, std::size_t letters) {
    std::u16string text(length, u' ');
    for (char16_t& unit : text) unit = kLetters[Uniform(random, 0, letters - 1)];
    return text;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const std::u16string& line : lines) text.append(line).append(u"\r\n");
    return text;
}

}  // namespace

std::u16string PiecesOfOneLine(std::size_t letters, std::size_t longLength, std::size_t pieces) {
    std::mt19937_64 random(letters * 7919 + pieces);
    const std::u16string longLine = RandomLetters(random, longLength, letters);
    std::u16string text = longLine + u"\r\n";
    for (std::size_t i = 0; i < pieces; ++i) {
        const std::size_t length = Uniform(random, 1, 40);
        text.append(longLine, Uniform(random, 0, longLength - length), length).append(u"\r\n");
    }
    return text;
}

std::u16string KeysThatOccurEverywhere(std::size_t lines) {
    std::mt19937_64 random(lines + 11);
    std::vector<std::u16string> words(4096);
    for (std::u16string& word : words) word = RandomLetters(random, 8, 26);
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        if (i < lines / 2) {
            for (std::size_t n = Uniform(random, 2, 5); n > 0; --n) {
                text += words[Uniform(random, 0, words.size() - 1)];
            }
        } else {
            text += words[Uniform(random, 0, words.size() - 1)];
            text += RandomLetters(random, Uniform(random, 8, 24), 26);
        }
        text += u"\r\n";
    }
    return text;
}

std::u16string SharedKeyManyCharacters(std::size_t lines, std::size_t characters) {
    std::mt19937_64 random(lines + characters);
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text += u"共同的开头八个字";
        for (std::size_t n = Uniform(random, 8, 32); n > 0; --n) {
            text += static_cast<char16_t>(0x4E00 + Uniform(random, 0, characters - 1));
        }
        text += u"\r\n";
    }
    return text;
}

std::u16string DenseShortLines(std::size_t shortLines, std::size_t typicalLines) {
    std::mt19937_64 random(shortLines + typicalLines);
    std::vector<std::u16string> lines;
    std::vector<std::u16string> level = {u""};
    for (int length = 1; length <= 5; ++length) {
        std::vector<std::u16string> longer;
        for (const std::u16string& prefix : level) {
            for (const char16_t letter : u"abcd"sv) longer.push_back(prefix + letter);
        }
        lines.insert(lines.end(), longer.begin(), longer.end());
        level = std::move(longer);
    }
    for (std::size_t i = 0; i < shortLines; ++i) {
        lines.push_back(RandomLetters(random, Uniform(random, 6, 7), 4));
    }
    const std::u16string typical = TypicalList(typicalLines);
    for (std::size_t start = 0, end; start < typical.size(); start = end + 2) {
        end = typical.find(u"\r\n", start);
        lines.emplace_back(typical, start, end - start);
    }
    std::shuffle(lines.begin(), lines.end(), random);
    return JoinLines(lines);
}

std::u16string AllUnitsThenAlteredPieces(std::size_t pieces) {
    std::mt19937_64 random(pieces);
    std::u16string all(0x10000, u' ');
    std::iota(all.begin(), all.end(), char16_t{0});
    do {
        std::shuffle(all.begin(), all.end(), random);
    } while (all.find(u"\r\n") != std::u16string::npos);
    std::u16string text = all + u"\r\n";
    for (std::size_t i = 0; i < pieces; ++i) {
        const std::size_t length = Uniform(random, 8, 40);
        std::u16string piece = all.substr(Uniform(random, 0, all.size() - length), length);
        piece.back() = static_cast<char16_t>(0x4E00 + Uniform(random, 0, 20000));
        if (piece[piece.size() - 2] == u'\r') piece[piece.size() - 2] = u'x';
        text.append(piece).append(u"\r\n");
    }
    return text;
}

std::u16string EmptyLines(std::size_t lines) {
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) text += u"\r\n";
    return text;
}

std::u16string DistinctTinyLines(std::size_t lines) {
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        const auto first = static_cast<char16_t>(0x4E00 + i % 20000);
        text += first;
        if (i >= 20000) text += static_cast<char16_t>(0x4E00 + i / 20000);
        text += u"\r\n";
    }
    return text;
}

std::u16string TypicalAfterAJointLine(std::size_t lines) {
    return u"\nthe line that reaches into both joints\r\r\n" + TypicalList(lines);
}

std::u16string TypicalThenPiecesOfOneLine(std::size_t typicalLines, std::size_t pieces) {
    return TypicalList(typicalLines) + PiecesOfOneLine(3, 4 * pieces, pieces);
}

std::u16string SharedKeyRandomTails(std::size_t lines) {
    std::mt19937_64 random(lines + 3);
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text.append(u"aaaaaaaa").append(RandomLetters(random, Uniform(random, 8, 32), 36));
        text += u"\r\n";
    }
    return text;
}

std::u16string RunsEndingInB(std::size_t units) {
    std::mt19937_64 random(units);
    std::vector<std::u16string> lines;
    std::size_t total = 0;
    for (std::size_t n = 8; total < units; ++n) {
        lines.push_back(std::u16string(n, u'a') + u'b');
        total += n + 3;
    }
    std::shuffle(lines.begin(), lines.end(), random);
    return JoinLines(lines);
}

std::u16string BuiltAgainstKnownKeys(std::size_t lines, std::uint64_t seed) {
    // A word hash folds the product of (first four units ^ key) and the rest:
    // when the first four units are the key, the product is 0 whatever
    // follows, so the next four units may differ and the hash stays the same.
    const std::uint64_t key = text_hash::KeysFrom(seed).word[1];
    std::u16string start;
    for (int shift = 0; shift < 64; shift += 16) start += static_cast<char16_t>(key >> shift);
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text += start;
        for (std::size_t n = i, digit = 0; digit < 4; ++digit, n /= 26) {
            text += static_cast<char16_t>(u'a' + n % 26);
        }
        text += u"tail\r\n";
    }
    return text;
}

}  // namespace vorlane::testing
