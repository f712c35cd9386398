#pragma once

// A CommandWindow that keeps its text in memory, answers input boxes from a
// script and records every box it was asked to show.

#include <new>
#include <string>
#include <vector>

#include "command_window.h"

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
    void ShowMessage(std::u16string_view message) override { messages.emplace_back(message); }
    void ShowError(std::u16string_view message) override { errors.emplace_back(message); }
    std::u16string AskText(std::u16string_view prompt, std::u16string_view title,
                           std::u16string_view initialText) override {
        questions.push_back(
            {std::u16string(prompt), std::u16string(title), std::u16string(initialText)});
        return answer;
    }

    struct Question {
        std::u16string prompt;
        std::u16string title;
        std::u16string initialText;
    };

    std::u16string text;
    std::u16string answer;
    bool failReading = false;
    int writes = 0;
    std::vector<std::u16string> messages;
    std::vector<std::u16string> errors;
    std::vector<Question> questions;
};

}  // namespace vorlane::testing
