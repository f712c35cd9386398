// SPDX-License-Identifier: MIT

#include "batch/write_kept_lines.h"

#include <algorithm>

namespace vorlane {

void WriteKeptLines(const InputText& input, const std::vector<bool>& kept, TextWriter& writer,
                    ProgressLine* progress) {
    const std::u16string_view text = input.text();
    const std::u16string_view lineBreak = LineBreakText(input.firstLineBreak());
    if (progress != nullptr) progress->Stage("正在写出", kept.size());
    bool anyWritten = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        // Every CR in the text starts a CR LF line break.
        const std::size_t end = std::min(text.find(u'\r', start), text.size());
        if (kept[i]) {
            if (anyWritten) writer.Write(lineBreak);
            writer.Write(text.substr(start, end - start));
            anyWritten = true;
        }
        start = end + 2;
        if (progress != nullptr && i % 65536 == 0) progress->Advance(i);
    }
    if (anyWritten && input.endsWithLineBreak()) writer.Write(lineBreak);
}

}  // namespace vorlane
