// SPDX-License-Identifier: MIT

#pragma once

#include "command_window.h"

class QPlainTextEdit;
class QWidget;

namespace vorlane {

// The text commands' view of a Qt window: the text of one QPlainTextEdit and
// modal boxes owned by `dialogParent`.
class QtCommandWindow : public CommandWindow {
public:
    QtCommandWindow(QPlainTextEdit* textBox, QWidget* dialogParent);

    std::u16string ReadText() const override;
    void WriteText(std::u16string_view text) override;
    void KeepLines(const std::vector<bool>& kept) override;
    void ShowMessage(std::u16string_view text) override;
    void ShowError(std::u16string_view text) override;
    std::u16string AskText(std::u16string_view prompt, std::u16string_view title,
                           std::u16string_view initialText) override;

private:
    QPlainTextEdit* textBox_;
    QWidget* dialogParent_;
};

}  // namespace vorlane
