// SPDX-License-Identifier: MIT

#include "window/window_commands.h"

#include <exception>
#include <new>
#include <string>

#include "removal/remove_duplicate_lines.h"
#include "text/replace_line_breaks.h"
#include "window/form1_design.h"

namespace vorlane {
namespace {

// Runs `command`; if it fails, tells the user why and that the text box was
// left as it was. Commands edit the text box only as their last step, after
// everything that can fail, so a failure leaves the text untouched.
template <typename Command>
void RunKeepingTextOnFailure(CommandWindow& window, Command command) {
    try {
        command();
    } catch (const std::bad_alloc&) {
        window.ShowError(
            std::u16string(form1_design::kOutOfMemory).append(form1_design::kTextKept));
    } catch (const std::exception&) {
        window.ShowError(std::u16string(form1_design::kFailed).append(form1_design::kTextKept));
    }
}

}  // namespace

void RunDuplicateLineRemoval(CommandWindow& window) {
    RunKeepingTextOnFailure(window, [&window] {
        std::u16string text = window.ReadText();
        if (text.empty()) return;
        std::vector<bool> kept;
        window.RunWhileBusy([&] { kept = FindKeptLines(text); });
        std::u16string().swap(text);  // the edit needs only the flags
        window.KeepLines(kept);
        window.ShowMessage(FormatRemovalSummary(CountKeptLines(kept)));
    });
}

void RunLineBreakReplacement(CommandWindow& window) {
    RunKeepingTextOnFailure(window, [&window] {
        const std::u16string separator =
            window.AskText(form1_design::kSeparatorPrompt, form1_design::kSeparatorTitle,
                           form1_design::kDefaultSeparator);
        if (separator.empty()) return;
        std::u16string text = window.ReadText();
        window.RunWhileBusy([&] { text = ReplaceLineBreaks(text, separator); });
        window.WriteText(text);
    });
}

}  // namespace vorlane
