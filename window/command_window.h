// SPDX-License-Identifier: MIT

#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// What a text command needs of the window it runs in. Texts are UTF-16 with
// every line break as CR LF.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;

    // The whole content of the text box.
    virtual std::u16string ReadText() const = 0;
    // Replaces the whole content of the text box as one undoable edit.
    virtual void WriteText(std::u16string_view text) = 0;
    // Keeps only the lines of the text (split at every line break) whose flag
    // in `kept` is set, joined by single line breaks, as one undoable edit:
    // the text becomes what joining the kept lines of ReadText() with CR LF
    // gives. Throws std::invalid_argument, changing nothing, when `kept` does
    // not have one flag per line.
    virtual void KeepLines(const std::vector<bool>& kept) = 0;
    // Runs `work`, which must not use the window, while the window shows that
    // it is busy and its text cannot be edited; rethrows what `work` throws.
    virtual void RunWhileBusy(const std::function<void()>& work) = 0;
    // A modal box with the application title, `text` and one OK button.
    virtual void ShowMessage(std::u16string_view text) = 0;
    // Like ShowMessage, marked as an error.
    virtual void ShowError(std::u16string_view text) = 0;
    // A modal box asking for one line of text; returns it as typed, or an empty
    // text when the user cancels or closes the box.
    virtual std::u16string AskText(std::u16string_view prompt, std::u16string_view title,
                                   std::u16string_view initialText) = 0;
};

}  // namespace vorlane
