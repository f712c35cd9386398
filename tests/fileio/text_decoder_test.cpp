// SPDX-License-Identifier: MIT

#include "fileio/text_decoder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fileio/file_error.h"
#include "fileio/utf8_bytes.h"
#include "removal/remove_duplicate_lines.h"

namespace vorlane {
namespace {

// Decodes `bytes` handed over `step` bytes at a time, as a read loop does:
// what a call leaves unused comes again first in the next.
InputText DecodeInSteps(std::string_view bytes, std::size_t step,
                        const std::optional<TextEncoding>& named = std::nullopt,
                        std::uint64_t expectedBytes = 0) {
    TextDecoder decoder(named, "input", expectedBytes);
    std::string held;
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        held += bytes.substr(at, step);
        held.erase(0, decoder.Decode(held, false));
    }
    EXPECT_EQ(decoder.Decode(held, true), held.size());
    return std::move(decoder).Finish();
}

std::optional<TextEncoding> Named(const char* name) { return TextEncoding::Find(name); }

std::string Repeated(std::string_view part, std::size_t times) {
    std::string whole;
    for (std::size_t i = 0; i < times; ++i) whole += part;
    return whole;
}

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::optional<TextEncoding> named;
    std::u16string text;  // with CR LF line breaks, the last one left off
    bool endsWithLineBreak;
};

TEST(TextDecoder, DecodesTheSameInPiecesOfEverySize) {
    using namespace std::string_literals;
    const DecodeCase cases[] = {
        {"UTF-8", "a\r\n\xF0\x9F\x98\x80\n\xE4\xB8\xAD\r", std::nullopt,
         u"a\r\n\U0001F600\r\n\u4E2D", true},
        {"UTF-8, invalid bytes", "\xC1\n\xE4\xB8", std::nullopt,
         u"\xDC7F\xDCC1\r\n\xDC7F\xDCE4\xDC7F\xDCB8", false},
        {"UTF-8 BOM", "\xEF\xBB\xBFx\ny", std::nullopt, u"x\r\ny", false},
        {"UTF-16 LE",
         "\xFF\xFE"
         "a\0\r\0\n\0\x3D\xD8\x00\xDE"s,
         std::nullopt, u"a\r\n\U0001F600", false},
        {"UTF-16 BE", "\xFE\xFF\0a\0\r\xD8\x3D\xDE\x00\0\n"s, std::nullopt, u"a\r\n\U0001F600",
         true},
        {"UTF-32 LE", "\xFF\xFE\0\0a\0\0\0\n\0\0\0\x00\xF6\x01\x00"s, std::nullopt,
         u"a\r\n\U0001F600", false},
        {"UTF-32 BE", "\0\0\xFE\xFF\0\0\0a\0\0\0\n"s, std::nullopt, u"a", true},
        {"GB18030", "\xD6\xD0\r\n\x95\x32\x82\x36\n", Named("GB18030"), u"\u4E2D\r\n\U00020000",
         true},
        {"named UTF-8 takes a BOM as text", "\xEF\xBB\xBFx", Named("UTF-8"), u"\uFEFFx", false},
    };
    for (const DecodeCase& c : cases) {
        for (std::size_t step = 1; step <= c.bytes.size(); ++step) {
            const InputText input = DecodeInSteps(c.bytes, step, c.named);
            EXPECT_EQ(input.text(), c.text) << c.what << ", step " << step;
            EXPECT_EQ(input.endsWithLineBreak(), c.endsWithLineBreak) << c.what;
        }
    }
}

TEST(TextDecoder, DecodesTheSameWhateverSizeTheInputWasExpectedToHave) {
    // Two units per byte, the most any byte gives, past the room taken at first.
    const std::string bytes = Repeated("\n\xC1", 600000);
    const InputText unexpected = DecodeInSteps(bytes, 65536);
    ASSERT_EQ(unexpected.text().size(), 2 * bytes.size());
    for (const std::uint64_t expected :
         {std::uint64_t{1}, std::uint64_t{600000}, std::uint64_t{bytes.size()},
          10 * std::uint64_t{bytes.size()}}) {
        const InputText input = DecodeInSteps(bytes, 65536, std::nullopt, expected);
        EXPECT_TRUE(input.text() == unexpected.text()) << expected;
        EXPECT_EQ(input.endsWithLineBreak(), unexpected.endsWithLineBreak()) << expected;
    }
}

TEST(TextDecoder, RecognisesEncodingsByTheirByteOrderMarks) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        const char* name;
        std::string byteOrderMark;
    } cases[] = {
        {"\xFF\xFE\0\0"s, "UTF-32LE", "\xFF\xFE\0\0"s},
        {"\0\0\xFE\xFF"s, "UTF-32BE", "\0\0\xFE\xFF"s},
        {"\xFF\xFE"
         "a\0"s,
         "UTF-16LE", "\xFF\xFE"},
        {"\xFE\xFF\0a"s, "UTF-16BE", "\xFE\xFF"},
        {"\xEF\xBB\xBF", "UTF-8", "\xEF\xBB\xBF"},
        {"a", "UTF-8", ""},
        {"\xFF\xFE\0"s, "UTF-16LE", "\xFF\xFE"},
    };
    for (const auto& c : cases) {
        const TextEncoding encoding = TextEncoding::Recognise(c.bytes);
        EXPECT_EQ(encoding.name(), c.name) << ::testing::PrintToString(c.bytes);
        EXPECT_EQ(encoding.byteOrderMark(), c.byteOrderMark) << c.name;
    }
}

TEST(TextDecoder, RejectsInvalidBytesAtTheirOffset) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::optional<TextEncoding> named;
        const char* offset;
    } cases[] = {
        {"\xFF\xFE"
         "a\0\x00\xDC"s,
         std::nullopt, "”在字节偏移 4 处不是有效的"},  // a lone low half
        {"\xFF\xFE"
         "a\0\x3D\xD8"
         "b\0"s,
         std::nullopt, "”在字节偏移 4 处不是有效的"},  // a high half, no low
        {"\xFF\xFE"
         "a\0\x3D\xD8"s,
         std::nullopt, "”在字节偏移 4 处不是有效的"},  // a high half at the end
        {"\xFE\xFF\xD8\x3D\xD8\x3D"s, std::nullopt,
         "”在字节偏移 2 处不是有效的"},  // two high halves
        {"\xFF\xFE"
         "ab\0"s,
         std::nullopt, "”在字节偏移 4 处不是有效的"},  // an odd byte
        {"\xD6\xD0\n\xFF\n", Named("GB18030"), "”在字节偏移 3 处不是有效的"},
        {"ab\xD6", Named("GB18030"), "”在字节偏移 2 处不是有效的"},  // cut short at the end
    };
    for (const auto& c : cases) {
        for (const std::size_t step : {std::size_t{1}, std::size_t{3}, c.bytes.size()}) {
            try {
                DecodeInSteps(c.bytes, step, c.named);
                ADD_FAILURE() << "no error for " << ::testing::PrintToString(c.bytes);
            } catch (const FileError& error) {
                EXPECT_NE(std::string(error.what()).find(c.offset), std::string::npos)
                    << error.what() << " for " << ::testing::PrintToString(c.bytes);
            }
        }
    }
}

// Named encodings keep every line's own bytes: iconv gives some characters
// two byte sequences (BIG5 A2CC and A451 are both U+5341), and writes back one.
TEST(TextDecoder, KeepsTheBytesOfEveryLineOfANamedEncoding) {
    const struct {
        const char* encoding;
        std::string bytes;
        std::vector<std::string> lines;
        std::string firstLineBreak;
    } cases[] = {
        {"BIG5", "x \xA2\xCC y\r\n\xA4\x51\n", {"x \xA2\xCC y", "\xA4\x51"}, "\r\n"},
        {"CP932", "\x87\x90\r\x81\xE0", {"\x87\x90", "\x81\xE0"}, "\r"},
        {"GB18030", "a\n\r\n\x95\x32\x82\x36", {"a", "", "\x95\x32\x82\x36"}, "\n"},
        {"GB18030", "one line", {"one line"}, ""},
        // Shift sequences that make no character, more than fit the bytes
        // offered to the converter at once.
        {"ISO-2022-JP",
         Repeated("\x1B(B", 20) + "a\n\x1B$B\x30\x21\x1B(B",
         {Repeated("\x1B(B", 20) + "a", "\x1B$B\x30\x21\x1B(B"},
         "\n"},
    };
    for (const auto& c : cases) {
        for (const std::size_t step : {std::size_t{1}, std::size_t{2}, c.bytes.size()}) {
            const InputText input = DecodeInSteps(c.bytes, step, Named(c.encoding));
            ASSERT_NE(input.lineBytes(), nullptr);
            const LineBytes& bytes = *input.lineBytes();
            EXPECT_EQ(bytes.bytes, c.bytes);
            for (std::size_t i = 0; i < c.lines.size(); ++i) {
                EXPECT_EQ(bytes.Line(i), c.lines[i]) << c.encoding << " line " << i;
            }
            EXPECT_EQ(bytes.FirstLineBreak(), c.firstLineBreak) << c.encoding;
        }
    }
    EXPECT_EQ(DecodeInSteps("a\nb", 1).lineBytes(), nullptr);
}

// No escaped byte matches any part of a valid character, and no valid
// character matches part of an escaped byte: with every pair whose second half
// was once an escaped byte's unit, before and after every invalid byte.
TEST(TextDecoder, EscapedBytesAndValidCharactersNeverMatch) {
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string invalid(1, static_cast<char>(byte));
        for (const char32_t point :
             {0x10000 + 0x80, 0x10000 + byte, 0x10000 + 0x3FF, 0x10FFFF - 0x7F, 0x10000 + 0x7F}) {
            std::u16string valid = {static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)),
                                    static_cast<char16_t>(0xDC00 + (point & 0x3FF))};
            const std::u16string escaped = DecodeUtf8(invalid);
            EXPECT_EQ(valid.find(escaped), std::u16string::npos)
                << byte << " " << static_cast<unsigned>(point);
            EXPECT_EQ(escaped.find(valid), std::u16string::npos)
                << byte << " " << static_cast<unsigned>(point);
            const std::vector<bool> kept{true, true};
            EXPECT_EQ(FindKeptLines(valid + u"\r\n" + escaped), kept)
                << byte << " " << static_cast<unsigned>(point);
            EXPECT_EQ(FindKeptLines(escaped + u"\r\n" + valid), kept)
                << byte << " " << static_cast<unsigned>(point);
        }
    }
}

}  // namespace
}  // namespace vorlane
