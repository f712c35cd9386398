// SPDX-License-Identifier: MIT

#include "fileio/file_error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace vorlane {
namespace {

TEST(FileError, QuotesNamesWithControlCharactersEscaped) {
    const struct {
        std::string name;
        std::string quoted;
    } cases[] = {
        {"list.txt", "“list.txt”"},
        {"名单.txt", "“名单.txt”"},
        {"a\nb", "“a\\nb”"},
        {"a\rb\tc", "“a\\rb\\tc”"},
        {"\x1B[31mred", "“\\x1B[31mred”"},
        {std::string("a\0b", 3), "“a\\x00b”"},
        {"del\x7F", "“del\\x7F”"},
        {"\xC2\x9B"
         "2J",
         "“\\u009B2J”"},            // C1 CSI
        {"\xC2\x80", "“\\u0080”"},  // the first and the last of C1, ending the name
        {"\xC2\x9F", "“\\u009F”"},
        {"\xC2\xA0", "“\xC2\xA0”"},  // no-break space: printable
        {"\xC2", "“\xC2”"},          // a stray byte stays as it is
        {"\xC2"
         "A",
         "“\xC2"
         "A”"},  // and so does a lead byte before ASCII
        {"\xFF\xFE", "“\xFF\xFE”"},
    };
    for (const auto& c : cases) EXPECT_EQ(Quoted(c.name), c.quoted);
}

TEST(FileError, DescribesEverySystemErrorInChinese) {
    for (int error = 1; error < 134; ++error) {
        const std::string words = DescribeSystemError(error);
        EXPECT_FALSE(words.empty()) << error;
        EXPECT_TRUE(
            std::none_of(words.begin(), words.end(),
                         [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
            << error << ": " << words;
    }
}

}  // namespace
}  // namespace vorlane
