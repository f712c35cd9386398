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
        {"\xF0\x9F\x98\x80", u"\U0001F600"},                // a pair
        {"\xFF", u"\xDCFF"},                                // never valid
        {"\xC0\xAF", u"\xDCC0\xDCAF"},                      // overlong
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},            // a surrogate
        {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // past U+10FFFF
        {"\xE4\xB8", u"\xDCE4\xDCB8"},                      // cut short
        {"\xE4\xB8\r\n", u"\xDCE4\xDCB8\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << ::testing::PrintToString(c.bytes);
        EXPECT_EQ(EncodeUtf8(c.text), c.bytes) << ::testing::PrintToString(c.bytes);
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
