// SPDX-License-Identifier: MIT

#include "window/window_commands.h"

#include <gtest/gtest.h>

#include "testing/fake_window.h"

namespace vorlane {
namespace {

using testing::FakeWindow;

TEST(WindowCommands, ReportAFailureAndKeepTheText) {
    for (void (*command)(CommandWindow&) : {RunDuplicateLineRemoval, RunLineBreakReplacement}) {
        for (const bool whileReading : {true, false}) {
            FakeWindow window(u"a\r\na");
            window.answer = u",";
            window.failReading = whileReading;
            window.failWorking = !whileReading;
            command(window);
            EXPECT_EQ(window.text, u"a\r\na");
            EXPECT_EQ(window.writes, 0);
            EXPECT_TRUE(window.messages.empty());
            ASSERT_EQ(window.errors.size(), 1U);
            EXPECT_NE(window.errors[0].find(u"内存不足"), std::u16string::npos);
            EXPECT_NE(window.errors[0].find(u"保持不变"), std::u16string::npos);
        }
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

}  // namespace
}  // namespace vorlane
