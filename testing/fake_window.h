// SPDX-License-Identifier: MIT

#pragma once

// A CommandWindow that keeps its text in memory, answers every input box the
// same, can fail to read or to work, and records the boxes it was asked to show.

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "testing/plain_remove_duplicate_lines.h"
#include "window/command_window.h"

namespace vorlane::testing {

class FakeWindow : public CommandWindow {
public:
    explicit FakeWindow(std::u16string text) : text(std::move(text)) {}

    std::u16string ReadText() const override {
        if (failReading) throw std::bad_alloc();
        return text;
    }
    void WriteText(std::u16string_view newText) override {
        text = newText;
        ++writes;
    }
    void KeepLines(const std::vector<bool>& kept) override {
        const std::vector<std::u16string_view> lines = SplitAtCrLf(text);
        if (lines.size() != kept.size()) throw std::invalid_argument("one flag per line");
        std::u16string newText;
        std::u16string_view lineBreak;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!kept[i]) continue;
            newText.append(lineBreak).append(lines[i]);
            lineBreak = u"\r\n";
        }
        WriteText(newText);
    }
    void RunWhileBusy(const std::function<void()>& work) override {
        if (failWorking) throw std::bad_alloc();
        work();
    }
    void ShowMessage(std::u16string_view message) override { messages.emplace_back(message); }
    void ShowError(std::u16string_view message) override { errors.emplace_back(message); }
    std::u16string AskText(std::u16string_view, std::u16string_view, std::u16string_view) override {
        return answer;
    }

    std::u16string text;
    std::u16string answer;
    bool failReading = false;
    bool failWorking = false;
    int writes = 0;
    std::vector<std::u16string> messages;
    std::vector<std::u16string> errors;
};

}  // namespace vorlane::testing
