// SPDX-License-Identifier: MIT

#include "window_commands.h"

#include <algorithm>
#include <exception>
#include <new>

#include "remove_duplicate_lines.h"
#include "replace_line_breaks.h"

namespace vorlane {
namespace {

constexpr std::u16string_view kTextKept = u"文本框中的内容保持不变。";

// Runs `command`; if it fails, tells the user why and that the text box was
// left as it was. Commands edit the text box only as their last step, after
// everything that can fail, so a failure leaves the text untouched.
template <typename Command>
void RunKeepingTextOnFailure(CommandWindow& window, Command command) {
    try {
        command();
    } catch (const std::bad_alloc&) {
        window.ShowError(std::u16string(u"内存不足，无法完成操作。") + std::u16string(kTextKept));
    } catch (const std::exception&) {
        window.ShowError(std::u16string(u"操作失败。") + std::u16string(kTextKept));
    }
}

// The counts of a removal that kept the flagged lines (the summary needs no text).
DuplicateRemovalResult CountsOf(const std::vector<bool>& kept) {
    DuplicateRemovalResult counts;
    counts.pieceCount = static_cast<std::int64_t>(kept.size());
    counts.addedCount = std::count(kept.begin(), kept.end(), true);
    counts.duplicateCount = counts.pieceCount - counts.addedCount;
    return counts;
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
        window.ShowMessage(FormatRemovalSummary(CountsOf(kept)));
    });
}

void RunLineBreakReplacement(CommandWindow& window) {
    RunKeepingTextOnFailure(window, [&window] {
        const std::u16string separator =
            window.AskText(u"请输入要把回车分隔符替换为什么符号?", u"输入替换成的符号", u",");
        if (separator.empty()) return;
        std::u16string text = window.ReadText();
        window.RunWhileBusy([&] { text = ReplaceLineBreaks(text, separator); });
        window.WriteText(text);
    });
}

}  // namespace vorlane
