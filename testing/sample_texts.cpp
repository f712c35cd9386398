// SPDX-License-Identifier: MIT

#include "testing/sample_texts.h"

#include <random>
#include <vector>

namespace vorlane::testing {
namespace {

constexpr std::u16string_view kAlphabet = u"abcdefghijklmnopqrstuvwxyz0123456789";

char16_t RandomCharacter(std::mt19937_64& random) {
    return kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(random)];
}

char16_t RandomIdeograph(std::mt19937_64& random) {
    return static_cast<char16_t>(std::uniform_int_distribution<int>(0x4E00, 0x9FA5)(random));
}

std::u16string RandomLine(std::mt19937_64& random) {
    std::u16string line(std::uniform_int_distribution<std::size_t>(8, 40)(random), u' ');
    for (char16_t& unit : line) unit = RandomCharacter(random);
    if (std::uniform_int_distribution<int>(0, 4)(random) == 0) {
        line = RandomIdeograph(random) + line + RandomIdeograph(random);
    }
    return line;
}

}  // namespace

std::u16string TypicalList(std::size_t lines, std::u16string_view lineEnd) {
    std::mt19937_64 random(lines);
    std::vector<std::u16string> written;
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        const bool repeat = !written.empty() && std::bernoulli_distribution(0.3)(random);
        if (repeat) {
            text +=
                written[std::uniform_int_distribution<std::size_t>(0, written.size() - 1)(random)];
        } else {
            written.push_back(RandomLine(random));
            text += written.back();
        }
        text += lineEnd;
    }
    return text;
}

std::u16string LongLineThenPieces(std::size_t longLength, std::size_t lines) {
    std::mt19937_64 random(longLength + lines);
    const std::u16string longLine = OneLongLine(longLength);
    std::u16string text = longLine;
    for (std::size_t i = 0; i < lines; ++i) {
        const std::size_t length = std::uniform_int_distribution<std::size_t>(8, 40)(random);
        const std::size_t start =
            std::uniform_int_distribution<std::size_t>(0, longLength - length)(random);
        text += u"\r\n";
        text.append(longLine, start, length);
    }
    return text;
}

std::u16string IdenticalLines(std::size_t lines) {
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) text += u"the same line of a list\r\n";
    return text;
}

std::u16string RunsOfA(std::size_t lines, std::size_t longest) {
    std::mt19937_64 random(lines + longest);
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i) {
        if (i > 0) text += u"\r\n";
        text.append(std::uniform_int_distribution<std::size_t>(1, longest)(random), u'a');
    }
    return text;
}

std::u16string OneLongLine(std::size_t units) {
    std::mt19937_64 random(units);
    std::u16string text(units, u' ');
    for (char16_t& unit : text) unit = RandomCharacter(random);
    return text;
}

}  // namespace vorlane::testing
