// SPDX-License-Identifier: MIT

#include "fileio/utf8_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

TEST(Utf8Bytes, DecodesValidTextAndEscapesEveryOtherByte) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"a\r\nb", u"a\r\nb"},
        {"\xE4\xB8\xAD\xC2\xA0", u"\u4E2D\u00A0"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},                        // a pair
        {"\xFF", u"\xDC7F\xDCFF"},                                  // never valid
        {"\xC0\xAF", u"\xDC7F\xDCC0\xDC7F\xDCAF"},                  // overlong
        {"\xED\xA0\x80", u"\xDC7F\xDCED\xDC7F\xDCA0\xDC7F\xDC80"},  // a surrogate
        {"\xF4\x90\x80\x80", u"\xDC7F\xDCF4\xDC7F\xDC90\xDC7F\xDC80\xDC7F\xDC80"},
        {"\xE4\xB8", u"\xDC7F\xDCE4\xDC7F\xDCB8"},  // cut short
        {"\xE4\xB8\r\n", u"\xDC7F\xDCE4\xDC7F\xDCB8\r\n"},
        // The first and last valid sequence of each length and bound.
        {"\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
        {"\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF", u"\u0800\uD7FF\uE000\uFFFF"},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0010FFFF"},
        {"\xE0\x9F\xBF", u"\xDC7F\xDCE0\xDC7F\xDC9F\xDC7F\xDCBF"},  // overlong
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << ::testing::PrintToString(c.bytes);
        EXPECT_EQ(EncodeUtf8(c.text), c.bytes) << ::testing::PrintToString(c.bytes);
    }
}

// Bytes that are cut short where the view ends are escaped, whatever follows
// the view in memory: a read buffer holds older bytes past the new ones.
TEST(Utf8Bytes, NeverReadsPastTheBytesGiven) {
    for (const std::string whole : {"a\xC2\xA0", "a\xE4\xB8\xAD", "a\xF0\x9F\x98\x80"}) {
        for (std::size_t size = 2; size < whole.size(); ++size) {
            const std::u16string decoded = DecodeUtf8(std::string_view(whole).substr(0, size));
            EXPECT_EQ(decoded.size(), 1 + 2 * (size - 1))
                << ::testing::PrintToString(whole) << size;
        }
    }
}

TEST(Utf8Bytes, EveryByteSequenceSurvivesTheRoundTrip) {
    std::string bytes;
    for (int first = 0; first < 256; ++first) {
        for (int second : {0x00, 0x7F, 0x80, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF}) {
            bytes = {static_cast<char>(first), static_cast<char>(second), '\x80', '\xBF'};
            EXPECT_EQ(EncodeUtf8(DecodeUtf8(bytes)), bytes) << first << " " << second;
        }
    }
}

}  // namespace
}  // namespace vorlane
