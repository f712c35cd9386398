// SPDX-License-Identifier: MIT

#pragma once

#include <functional>
#include <memory>

#include "window/command_window.h"

class QPlainTextEdit;
class QWidget;

namespace vorlane {

// The text commands' view of a Qt window: the text of one QPlainTextEdit and
// modal boxes owned by `dialogParent`.
class QtCommandWindow : public CommandWindow {
public:
    QtCommandWindow(QPlainTextEdit* textBox, QWidget* dialogParent);
    ~QtCommandWindow() override;

    // Runs a text command on this window. While it works, the pointer shows
    // busy, the text box is read-only, user input waits, and once it has
    // worked for half a second a busy box says so; the window keeps painting
    // while the command computes or edits the text.
    void Run(const std::function<void(CommandWindow&)>& command);

    std::u16string ReadText() const override;
    void WriteText(std::u16string_view text) override;
    void KeepLines(const std::vector<bool>& kept) override;
    // Runs `work` on a worker thread while the window paints but takes no input.
    void RunWhileBusy(const std::function<void()>& work) override;
    void ShowMessage(std::u16string_view text) override;
    void ShowError(std::u16string_view text) override;
    std::u16string AskText(std::u16string_view prompt, std::u16string_view title,
                           std::u16string_view initialText) override;

private:
    class Busy;
    class ModalPause;

    QPlainTextEdit* textBox_;
    QWidget* dialogParent_;
    std::unique_ptr<Busy> busy_;  // while Run() runs a command
};

}  // namespace vorlane
