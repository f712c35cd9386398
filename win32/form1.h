// SPDX-License-Identifier: MIT

#pragma once

#include <windows.h>

#include <memory>

#include "win32/screen_reader_texts.h"
#include "win32/win32_command_window.h"

namespace vorlane {

// The main window: the list in the multi-line EDIT control `Text1`,
// duplicate-line removal on `Command1`, line-break replacement on `Command2`.
// The controls have fixed places, scaled by the screen's DPI; resizing the
// window moves nothing.
class Form1 {
public:
    Form1() = default;
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Creates the window and its controls and shows it; false if that failed.
    bool Create(HINSTANCE instance, int show);
    // Runs the window's message loop until it is closed; returns the exit code.
    int RunMessageLoop();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance);
    // Places the controls and sets their font for `dpi` dots per inch.
    void LayOut(UINT dpi);
    void OnCommand(WORD id, WORD notification);

    HWND form_ = nullptr;
    HWND Text1 = nullptr;
    HWND Command1 = nullptr;
    HWND Command2 = nullptr;
    HFONT font_ = nullptr;
    HWND lastFocus_ = nullptr;  // given back when the window is active again
    std::unique_ptr<Win32CommandWindow> window_;
    std::unique_ptr<ScreenReaderTexts> screenReaderTexts_;
};

}  // namespace vorlane
