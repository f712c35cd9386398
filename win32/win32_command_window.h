// SPDX-License-Identifier: MIT

#pragma once

#include <windows.h>

#include "window/command_window.h"

namespace vorlane {

// The text commands' view of a Win32 window: the text of one multi-line EDIT
// control, and modal boxes owned by the top-level window `owner`. Text is as
// the control holds it: only CR LF breaks a line, a lone CR or LF is a
// character inside one. Every edit is one step of the control's own undo.
class Win32CommandWindow : public CommandWindow {
public:
    Win32CommandWindow(HWND textBox, HWND owner) : textBox_(textBox), owner_(owner) {}

    std::u16string ReadText() const override;
    void WriteText(std::u16string_view text) override;
    void KeepLines(const std::vector<bool>& kept) override;
    // Runs `work` on a worker thread; meanwhile the owner is disabled, shows
    // the wait cursor and keeps painting, and clicks and keys are dropped.
    void RunWhileBusy(const std::function<void()>& work) override;
    void ShowMessage(std::u16string_view text) override;
    void ShowError(std::u16string_view text) override;
    std::u16string AskText(std::u16string_view prompt, std::u16string_view title,
                           std::u16string_view initialText) override;

    // Whether RunWhileBusy is running: the owner's cursor is then the wait cursor.
    bool IsBusy() const { return busy_; }

private:
    HWND textBox_;
    HWND owner_;
    bool busy_ = false;
};

}  // namespace vorlane
