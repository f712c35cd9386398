// SPDX-License-Identifier: MIT

#include "fileio/text_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "fileio/file_error.h"
#include "fileio/output_file.h"
#include "fileio/utf8_bytes.h"
#include "tests/fileio/temporary_folder.h"

namespace vorlane {
namespace {

using testing::ReadFile;
using testing::TemporaryFolder;

std::string Written(const TemporaryFolder& folder, const TextEncoding& encoding,
                    std::u16string_view text) {
    const std::string path = folder / "out";
    {
        OutputFile output(path);
        TextWriter writer(output, encoding);
        writer.Write(text);
        writer.Finish();
        output.Commit();
    }
    return ReadFile(path);
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes;
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// The writer fills a buffer of 1 MiB, at most three bytes a unit: a
// character of two units that reaches past a fill is not cut.
TEST(TextWriter, NeverCutsACharacterAtTheEndOfItsBuffer) {
    constexpr std::size_t kUnitsPerFill = (std::size_t{1} << 20) / 3;
    const std::u16string pair = u"\U0001F600";
    const std::u16string escaped = DecodeUtf8("\xC1");
    const TextEncoding utf8 = TextEncoding::Recognise("");
    const TextEncoding utf16le = TextEncoding::Recognise(
        "\xFF\xFE"
        "a");
    const TextEncoding utf16be = TextEncoding::Recognise(
        "\xFE\xFF"
        "a");
    TemporaryFolder folder;
    for (const std::size_t before : {kUnitsPerFill - 2, kUnitsPerFill - 1, kUnitsPerFill - 0}) {
        for (const std::u16string& two : {pair, escaped}) {
            const std::u16string text = std::u16string(before, u'a') + two + u"b";
            EXPECT_EQ(Written(folder, utf8, text), std::string(before, 'a') + EncodeUtf8(two) + "b")
                << before;
        }
        const std::u16string text = std::u16string(before, u'a') + pair + u"b";
        EXPECT_EQ(Written(folder, utf16le, text), "\xFF\xFE" + Utf16(text, false)) << before;
        EXPECT_EQ(Written(folder, utf16be, text), "\xFE\xFF" + Utf16(text, true)) << before;
    }
    // Units of three bytes each fill the buffer to its last byte.
    const std::u16string wide(2 * kUnitsPerFill + 1, u'中');
    EXPECT_EQ(Written(folder, utf8, wide), EncodeUtf8(wide));
}

TEST(TextWriter, WritesBytesAsTheyAreAndNamedEncodingsThroughIconv) {
    TemporaryFolder folder;
    const TextEncoding gb18030 = *TextEncoding::Find("GB18030");
    const std::string path = folder / "out";
    {
        OutputFile output(path);
        TextWriter writer(output, gb18030);
        writer.WriteBytes("\xA2\xCC");
        writer.Write(u"\u4E2D\U00020000");
        writer.WriteBytes(std::string(3 << 20, 'x'));  // more than the buffer holds
        writer.Finish();
        output.Commit();
    }
    EXPECT_EQ(ReadFile(path), "\xA2\xCC\xD6\xD0\x95\x32\x82\x36" + std::string(3 << 20, 'x'));
}

TEST(TextWriter, ThrowsForACharacterTheEncodingLacks) {
    TemporaryFolder folder;
    OutputFile output(folder / "out");
    TextWriter writer(output, *TextEncoding::Find("ASCII"));
    EXPECT_THROW(writer.Write(u"a\u4E2D"), FileError);
}

TEST(TextEncoding, CanEncodeEscapedBytesOnlyInUtf8AndLoneHalvesNowhere) {
    const TextEncoding utf8 = TextEncoding::Recognise("");
    const TextEncoding utf16 = TextEncoding::Recognise(
        "\xFF\xFE"
        "a");
    const TextEncoding ascii = *TextEncoding::Find("ASCII");
    const std::u16string escaped = DecodeUtf8("\xFF");
    const struct {
        std::u16string text;
        bool utf8;
        bool utf16;
        bool ascii;
    } cases[] = {
        {u"abc", true, true, true},
        {u"\U0001F600", true, true, false},
        {escaped, true, false, false},
        {u"a" + escaped + u"b", true, false, false},
        {u"\xDC7F", false, false, false},        // an escape's first half alone
        {u"\xDCC1", false, false, false},        // its second half alone
        {u"\xDCC1\xDC7F", false, false, false},  // the halves reversed
        {u"\xD83D", false, false, false},        // a lone high half
        {u"\xD83Dx", false, false, false},
        {u"\xDE00", false, false, false},  // a lone low half
        {u"\xD83D\xD83D\xDE00", false, false, false},
        {u"\u4E2D", true, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8.CanEncode(c.text), c.utf8) << ::testing::PrintToString(c.text);
        EXPECT_EQ(utf16.CanEncode(c.text), c.utf16) << ::testing::PrintToString(c.text);
        EXPECT_EQ(ascii.CanEncode(c.text), c.ascii) << ::testing::PrintToString(c.text);
    }
}

}  // namespace
}  // namespace vorlane
