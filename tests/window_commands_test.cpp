#include "window_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "fake_window.h"

namespace vorlane {
namespace {

using testing::FakeWindow;

TEST(RunDuplicateLineRemoval, WritesTheKeptLinesThenShowsTheSummary) {
    FakeWindow window(u"x\r\ny\r\nx\r\ny");
    RunDuplicateLineRemoval(window);
    EXPECT_EQ(window.text, u"x\r\ny");
    ASSERT_EQ(window.messages.size(), 1U);
    EXPECT_EQ(window.messages[0], u"执行完成，原总数:4，处理后数:2，清出重复数:2");
    EXPECT_TRUE(window.errors.empty());
}

TEST(RunDuplicateLineRemoval, WritesEvenWhenNothingIsDropped) {
    FakeWindow window(u"a\r\nb");
    RunDuplicateLineRemoval(window);
    EXPECT_EQ(window.writes, 1);
    EXPECT_EQ(window.messages.size(), 1U);
}

TEST(RunDuplicateLineRemoval, DoesNothingOnAnEmptyText) {
    FakeWindow window(u"");
    RunDuplicateLineRemoval(window);
    EXPECT_EQ(window.writes, 0);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_TRUE(window.errors.empty());
}

TEST(RunDuplicateLineRemoval, ReportsAFailureAndKeepsTheText) {
    FakeWindow window(u"a\r\na");
    window.failReading = true;
    RunDuplicateLineRemoval(window);
    EXPECT_EQ(window.text, u"a\r\na");
    EXPECT_EQ(window.writes, 0);
    EXPECT_TRUE(window.messages.empty());
    ASSERT_EQ(window.errors.size(), 1U);
    EXPECT_NE(window.errors[0].find(u"内存不足"), std::u16string::npos);
    EXPECT_NE(window.errors[0].find(u"保持不变"), std::u16string::npos);
}

TEST(RunLineBreakReplacement, AsksForTheSeparatorWithACommaReady) {
    FakeWindow window(u"a\r\nb");
    RunLineBreakReplacement(window);
    ASSERT_EQ(window.questions.size(), 1U);
    EXPECT_EQ(window.questions[0].prompt, u"请输入要把回车分隔符替换为什么符号?");
    EXPECT_EQ(window.questions[0].title, u"输入替换成的符号");
    EXPECT_EQ(window.questions[0].initialText, u",");
}

TEST(RunLineBreakReplacement, WritesTheJoinedTextForAnyAnswer) {
    struct Case {
        std::u16string text;
        std::u16string answer;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {u"a\r\nb\r\nc", u",", u"a,b,c"},
        {u"a\r\nb", u" ; ", u"a ; b"},
        {u"abc", u",", u"abc"},  // written back even without a line break
        {u"", u",", u""},
    };
    for (const Case& c : cases) {
        FakeWindow window(c.text);
        window.answer = c.answer;
        RunLineBreakReplacement(window);
        EXPECT_EQ(window.text, c.expected);
        EXPECT_EQ(window.writes, 1);
        EXPECT_TRUE(window.messages.empty());
    }
}

TEST(RunLineBreakReplacement, TheJoinedLineIsOneLineForDuplicateRemoval) {
    FakeWindow window(u"a\r\nb\r\nc");
    window.answer = u",";
    RunLineBreakReplacement(window);
    RunLineBreakReplacement(window);  // nothing left to replace
    RunDuplicateLineRemoval(window);
    EXPECT_EQ(window.text, u"a,b,c");
    ASSERT_EQ(window.messages.size(), 1U);
    EXPECT_EQ(window.messages[0], u"执行完成，原总数:1，处理后数:1，清出重复数:0");
}

TEST(RunLineBreakReplacement, AnEmptyAnswerLeavesTheTextAlone) {
    FakeWindow window(u"a\r\nb");
    window.answer = u"";
    RunLineBreakReplacement(window);
    EXPECT_EQ(window.writes, 0);
    EXPECT_EQ(window.text, u"a\r\nb");
}

}  // namespace
}  // namespace vorlane
