// SPDX-License-Identifier: MIT

#include "win32/win32_command_window.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <thread>

#include "win32/input_box.h"
#include "win32/wide_text.h"
#include "window/form1_design.h"

namespace vorlane {
namespace {

// Whether `message` comes from the mouse or the keyboard.
bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// Drops the clicks and keys that queued up while the window could not take
// them, so that none of them acts on the window once it can again.
void DropQueuedInput() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
    }
}

// Replaces the whole text of `textBox` as one step of its undo: Ctrl+Z brings
// back the text from before. The caret ends after the new text. A long text
// keeps the control busy for seconds, with the wait cursor and no input.
void ReplaceAllText(HWND textBox, const wchar_t* text) {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SendMessageW(textBox, EM_SETSEL, 0, -1);
    SendMessageW(textBox, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    SendMessageW(textBox, EM_SCROLLCARET, 0, 0);
    DropQueuedInput();
    SetCursor(previous);
}

// The lines of `text` split at every CR LF whose flag is set, joined by CR LF.
std::wstring JoinKeptLines(std::u16string_view text, const std::vector<bool>& kept) {
    std::wstring joined;
    joined.reserve(text.size());
    std::size_t line = 0;
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        const std::size_t end = text.find(u"\r\n", start);
        const std::size_t lineEnd = end == std::u16string_view::npos ? text.size() : end;
        if (line == kept.size()) throw std::invalid_argument("KeepLines: more lines than flags");
        if (kept[line]) {
            if (!first) joined += L"\r\n";
            joined.append(text.begin() + static_cast<std::ptrdiff_t>(start),
                          text.begin() + static_cast<std::ptrdiff_t>(lineEnd));
            first = false;
        }
        ++line;
        if (end == std::u16string_view::npos) break;
        start = end + 2;
    }
    if (line != kept.size()) throw std::invalid_argument("KeepLines: fewer lines than flags");
    return joined;
}

// Handles every waiting message but input, which is dropped. Returns false
// once WM_QUIT arrives, which the caller must post again.
bool HandleMessagesButInput() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return false;
        if (IsInput(msg.message)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

// Disables `window` for as long as it lives, and gives the focus back after.
class DisabledWindow {
public:
    explicit DisabledWindow(HWND window) : window_(window), focus_(GetFocus()) {
        EnableWindow(window_, FALSE);
    }
    ~DisabledWindow() {
        EnableWindow(window_, TRUE);
        if (focus_ != nullptr) SetFocus(focus_);
    }
    DisabledWindow(const DisabledWindow&) = delete;
    DisabledWindow& operator=(const DisabledWindow&) = delete;

private:
    HWND window_;
    HWND focus_;
};

// Sets a flag for as long as it lives.
class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyFlag() { flag_ = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

std::u16string Win32CommandWindow::ReadText() const {
    const int length = GetWindowTextLengthW(textBox_);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    // The buffer holds the final null too.
    const int copied = GetWindowTextW(textBox_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied));
    return FromWide(text);
}

void Win32CommandWindow::WriteText(std::u16string_view text) {
    ReplaceAllText(textBox_, ToWide(text).c_str());
}

void Win32CommandWindow::KeepLines(const std::vector<bool>& kept) {
    const std::wstring joined = JoinKeptLines(ReadText(), kept);
    ReplaceAllText(textBox_, joined.c_str());
}

void Win32CommandWindow::RunWhileBusy(const std::function<void()>& work) {
    const std::unique_ptr<void, decltype(&CloseHandle)> done(
        CreateEventW(nullptr, TRUE, FALSE, nullptr), &CloseHandle);
    if (!done) throw std::runtime_error("CreateEventW failed");
    std::exception_ptr failure;
    bool quit = false;
    {
        const BusyFlag busy(busy_);
        const DisabledWindow disabled(owner_);
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        std::thread worker([&] {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            SetEvent(done.get());
        });
        const HANDLE handles[] = {done.get()};
        while (MsgWaitForMultipleObjectsEx(1, handles, INFINITE, QS_ALLINPUT,
                                           MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
            if (!quit && !HandleMessagesButInput()) quit = true;
        }
        worker.join();
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    if (quit) PostQuitMessage(0);
    if (failure) std::rethrow_exception(failure);
}

void Win32CommandWindow::ShowMessage(std::u16string_view text) {
    MessageBoxW(owner_, ToWide(text).c_str(), ToWide(form1_design::kTitle).c_str(), MB_OK);
}

void Win32CommandWindow::ShowError(std::u16string_view text) {
    MessageBoxW(owner_, ToWide(text).c_str(), ToWide(form1_design::kTitle).c_str(),
                MB_OK | MB_ICONERROR);
}

std::u16string Win32CommandWindow::AskText(std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view initialText) {
    return AskTextInBox(owner_, prompt, title, initialText);
}

}  // namespace vorlane
