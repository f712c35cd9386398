// SPDX-License-Identifier: MIT

// The commands' view of the Win32 window, on a real EDIT control styled as
// Text1: the text unit for unit, the kept lines, undo, and the busy state.

#include "win32/win32_command_window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace vorlane {
namespace {

std::u16string TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)), L'\0');
    GetWindowTextW(control, text.data(), static_cast<int>(text.size()) + 1);
    return {text.begin(), text.end()};
}

void SetText(HWND control, std::u16string_view text) {
    const std::wstring wide(text.begin(), text.end());
    SetWindowTextW(control, wide.c_str());
}

class Win32CommandWindowTest : public testing::Test {
protected:
    void SetUp() override {
        owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 700, 300,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        text1_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                     ES_AUTOVSCROLL | ES_WANTRETURN,
                                 16, 8, 633, 193, owner_, nullptr, nullptr, nullptr);
        ASSERT_NE(text1_, nullptr);
        SendMessageW(text1_, EM_SETLIMITTEXT, 0, 0);
    }
    void TearDown() override { DestroyWindow(owner_); }

    bool CanUndo() const { return SendMessageW(text1_, EM_CANUNDO, 0, 0) != 0; }
    void Undo() { SendMessageW(text1_, EM_UNDO, 0, 0); }

    HWND owner_ = nullptr;
    HWND text1_ = nullptr;
};

TEST_F(Win32CommandWindowTest, ReadsTheTextUnitForUnit) {
    // Lone CR and LF, a surrogate pair, CJK, a trailing break: all as they are.
    const std::u16string text = u"a\nb\r\n苹果\rc\r\n\U0001F600 x\r\n";
    SetText(text1_, text);
    EXPECT_EQ(Win32CommandWindow(text1_, owner_).ReadText(), text);
}

struct KeepCase {
    const char* name;
    std::u16string text;
    std::vector<bool> kept;
    std::u16string expected;
};

TEST_F(Win32CommandWindowTest, KeepsTheFlaggedLinesSplitAtCrLfOnly) {
    const KeepCase cases[] = {
        {"one line kept", u"abc", {true}, u"abc"},
        {"one line dropped", u"abc", {false}, u""},
        {"the middle dropped", u"a\r\nb\r\nc", {true, false, true}, u"a\r\nc"},
        {"the first dropped", u"a\r\nb\r\nc", {false, true, true}, u"b\r\nc"},
        {"the last dropped", u"a\r\nb\r\nc", {true, true, false}, u"a\r\nb"},
        {"a trailing break is an empty last line", u"a\r\na\r\n", {true, false, false}, u"a"},
        {"a lone LF and CR stay inside their lines",
         u"a\nb\r\na\nb\r\nc\rd",
         {true, false, true},
         u"a\nb\r\nc\rd"},
        {"CR CR LF: the first CR ends its line", u"a\r\r\nb", {true, true}, u"a\r\r\nb"},
        {"all dropped", u"a\r\nb", {false, false}, u""},
        {"empty lines kept as they are flagged", u"\r\n\r\nx", {true, false, true}, u"\r\nx"},
    };
    for (const KeepCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetText(text1_, c.text);
        Win32CommandWindow(text1_, owner_).KeepLines(c.kept);
        EXPECT_EQ(TextOf(text1_), c.expected);
    }
}

TEST_F(Win32CommandWindowTest, KeepLinesWithTheWrongNumberOfFlagsChangesNothing) {
    const std::u16string text = u"a\r\nb\nc\r\nd";  // three lines
    for (const std::vector<bool>& kept :
         {std::vector<bool>{}, std::vector<bool>{true, false}, std::vector<bool>(4, true)}) {
        SCOPED_TRACE(kept.size());
        SetText(text1_, text);
        SendMessageW(text1_, EM_EMPTYUNDOBUFFER, 0, 0);
        EXPECT_THROW(Win32CommandWindow(text1_, owner_).KeepLines(kept), std::invalid_argument);
        EXPECT_EQ(TextOf(text1_), text);
        EXPECT_FALSE(CanUndo());
    }
}

TEST_F(Win32CommandWindowTest, KeepingEveryLineIsStillAnEditThatUndoTakesBack) {
    // Ctrl+Z after the command must give back the text from before it, not
    // undo the edit before the command.
    const std::u16string text = u"a\r\nb\nc\r\n";
    SetText(text1_, u"pasted over");
    SendMessageW(text1_, EM_SETSEL, 0, -1);
    const std::wstring wide(text.begin(), text.end());
    SendMessageW(text1_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
    Win32CommandWindow(text1_, owner_).KeepLines({true, true, true});
    ASSERT_EQ(TextOf(text1_), text);
    Undo();
    EXPECT_EQ(TextOf(text1_), text);
}

TEST_F(Win32CommandWindowTest, UndoBringsBackTheTextFromBeforeAnEdit) {
    const std::u16string before = u"x\r\ny\r\nx\r\n";
    Win32CommandWindow window(text1_, owner_);
    SetText(text1_, before);
    window.KeepLines({true, true, false, false});
    ASSERT_EQ(TextOf(text1_), u"x\r\ny");
    Undo();
    EXPECT_EQ(TextOf(text1_), before);

    window.WriteText(u"x,y,x,");
    ASSERT_EQ(TextOf(text1_), u"x,y,x,");
    Undo();
    EXPECT_EQ(TextOf(text1_), before);
    // The edit was one step: undoing the undo gives its result back whole.
    Undo();
    EXPECT_EQ(TextOf(text1_), u"x,y,x,");
}

TEST_F(Win32CommandWindowTest, RunsBusyWorkOnAnotherThreadWithTheWindowDisabled) {
    Win32CommandWindow window(text1_, owner_);
    std::thread::id worker;
    bool enabledWhileBusy = true;
    bool busyFlag = false;
    window.RunWhileBusy([&] {
        worker = std::this_thread::get_id();
        enabledWhileBusy = IsWindowEnabled(owner_) != FALSE;
        busyFlag = window.IsBusy();
    });
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_FALSE(enabledWhileBusy);
    EXPECT_TRUE(busyFlag);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_FALSE(window.IsBusy());
}

TEST_F(Win32CommandWindowTest, RethrowsWhatBusyWorkThrowsAndEnablesTheWindowAgain) {
    Win32CommandWindow window(text1_, owner_);
    EXPECT_THROW(window.RunWhileBusy([] { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_FALSE(window.IsBusy());
}

}  // namespace
}  // namespace vorlane
