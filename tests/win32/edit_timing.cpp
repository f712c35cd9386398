// SPDX-License-Identifier: MIT

// Times what a click on Command1 costs, step by step, on a list of N lines in
// an EDIT control like Text1 (same styles, size and font, on screen): the
// paste (EM_REPLACESEL of the whole list), the window's ReadText, the core's
// FindKeptLines and the window's KeepLines; then the whole click in the
// program's own Form1, from BM_CLICK on Command1 to the summary box's
// activation. Under wine this tells wine's EDIT control apart from the core;
// it says nothing of Windows' own EDIT control.
//
// Usage: edit_timing N...   Prints two lines per N, the times in ms.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>

#include "removal/remove_duplicate_lines.h"
#include "win32/form1.h"
#include "win32/win32_command_window.h"
#include "window/form1_design.h"
#include "window/window_commands.h"

namespace {

// N lines of 11 units, each line present twice (the list the window test pastes).
std::wstring MakeList(int lines) {
    std::wstring list;
    wchar_t line[32];
    for (int i = 1; i <= lines; ++i) {
        std::swprintf(line, 32, L"line %06d\r\n", i % (lines / 2));
        list += line;
    }
    return list;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

template <typename Step>
double Time(Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return MillisecondsSince(start);
}

// Lets the control paint what it changed, as the window's message loop would.
void Paint(HWND window) {
    UpdateWindow(window);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

HWND MakeText1(HWND* owner) {
    namespace design = vorlane::form1_design;
    *owner = CreateWindowExW(0, L"STATIC", L"edit_timing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             design::kClientWidth + 20, design::kClientHeight + 40, nullptr,
                             nullptr, nullptr, nullptr);
    const auto& place = design::kText1;
    HWND text1 = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
        place.left, place.top, place.width, place.height, *owner, nullptr, nullptr, nullptr);
    SendMessageW(text1, EM_SETLIMITTEXT, 0, 0);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    SendMessageW(text1, WM_SETFONT,
                 reinterpret_cast<WPARAM>(CreateFontIndirectW(&metrics.lfMessageFont)), FALSE);
    return text1;
}

// The window without its boxes.
class QuietWindow : public vorlane::Win32CommandWindow {
public:
    using Win32CommandWindow::Win32CommandWindow;
    void ShowMessage(std::u16string_view) override {}
};

void TimeOneList(int lines) {
    HWND owner = nullptr;
    HWND text1 = MakeText1(&owner);
    vorlane::Win32CommandWindow window(text1, owner);
    const std::wstring list = MakeList(lines);
    const double paste = Time([&] {
        SendMessageW(text1, EM_SETSEL, 0, -1);
        SendMessageW(text1, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(list.c_str()));
        Paint(owner);
    });
    std::u16string text;
    const double read = Time([&] { text = window.ReadText(); });
    std::vector<bool> kept;
    const double find = Time([&] { kept = vorlane::FindKeptLines(text); });
    const double keep = Time([&] {
        window.KeepLines(kept);
        Paint(owner);
    });
    // The whole command as a click runs it, up to the summary box, on the
    // list again (the control's undo brings it back).
    SendMessageW(text1, EM_UNDO, 0, 0);
    QuietWindow quiet(text1, owner);
    const double command = Time([&] {
        vorlane::RunDuplicateLineRemoval(quiet);
        Paint(owner);
    });
    std::printf(
        "%d lines: paste %.0f ms, ReadText %.0f ms, FindKeptLines %.0f ms, KeepLines %.0f ms, "
        "whole command %.0f ms\n",
        lines, paste, read, find, keep, command);
    std::fflush(stdout);
    DestroyWindow(owner);
}

// The summary box's activation, seen by a CBT hook on the window's thread.
std::chrono::steady_clock::time_point clickStart;
double clickToSummary = -1;

LRESULT CALLBACK CloseSummaryBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && clickToSummary < 0) {
        clickToSummary = MillisecondsSince(clickStart);
        PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Pastes the list into the program's Text1 (control 101) and clicks Command1
// (control 102); the click returns once the summary box has been closed.
void TimeClick(HWND form, int lines) {
    const HWND text1 = GetDlgItem(form, 101);
    const std::wstring list = MakeList(lines);
    SendMessageW(text1, EM_SETSEL, 0, -1);
    SendMessageW(text1, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(list.c_str()));
    Paint(form);
    const HHOOK hook = SetWindowsHookExW(WH_CBT, &CloseSummaryBox, nullptr, GetCurrentThreadId());
    clickToSummary = -1;
    clickStart = std::chrono::steady_clock::now();
    SendMessageW(GetDlgItem(form, 102), BM_CLICK, 0, 0);
    UnhookWindowsHookEx(hook);
    std::printf("%d lines: click to summary in Form1 %.0f ms\n", lines, clickToSummary);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) TimeOneList(_wtoi(argv[i]));
    vorlane::Form1 form;
    if (!form.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL)) return 1;
    const HWND window = FindWindowW(L"VorlaneForm1", nullptr);
    for (int i = 1; i < argc; ++i) TimeClick(window, _wtoi(argv[i]));
    return 0;
}
