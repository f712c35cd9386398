// SPDX-License-Identifier: MIT

#include "batch/write_kept_lines.h"

#include <cstddef>
#include <cstdint>

#include "text/line_breaks.h"

namespace vorlane {
namespace {

constexpr std::size_t kLinesPerProgressStep = 65536;

// The lines of an input one after the other, from the first, as bytes where
// the input keeps them (LineBytes) and as text otherwise: a UTF-8 or UTF-16
// text turns back into exactly its bytes.
class InputLines {
public:
    explicit InputLines(const InputText& input) : input_(input), text_(input.text()) {}

    void WriteNext(TextWriter& writer) {
        if (const LineBytes* bytes = input_.lineBytes()) {
            writer.WriteBytes(bytes->Line(line_++));
            return;
        }
        const std::size_t end = FindCr(text_, start_);
        writer.Write(text_.substr(start_, end - start_));
        start_ = end + 2;  // every CR in the text starts a CR LF
    }

    void SkipNext() {
        if (input_.lineBytes() != nullptr) {
            ++line_;
        } else {
            start_ = FindCr(text_, start_) + 2;
        }
    }

    void WriteLineBreak(TextWriter& writer) const {
        if (const LineBytes* bytes = input_.lineBytes()) {
            writer.WriteBytes(bytes->FirstLineBreak());
        } else {
            writer.Write(LineBreakText(input_.firstLineBreak()));
        }
    }

    // The number of lines of the input.
    std::size_t Count() const {
        if (!input_.hasLines()) return 0;
        if (const LineBytes* bytes = input_.lineBytes()) {
            return bytes->breaks.size() + (input_.endsWithLineBreak() ? 0 : 1);
        }
        return CountLineBreaks(text_) + 1;
    }

private:
    const InputText& input_;
    const std::u16string_view text_;
    std::size_t start_ = 0;  // of the next line in text_
    std::size_t line_ = 0;   // the next line's number, with LineBytes
};

}  // namespace

void WriteKeptLines(const InputText& input, const std::vector<bool>& kept, TextWriter& writer,
                    ProgressLine* progress) {
    InputLines lines(input);
    if (progress != nullptr) progress->Stage("正在写出", kept.size());
    bool anyWritten = false;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i]) {
            if (anyWritten) lines.WriteLineBreak(writer);
            lines.WriteNext(writer);
            anyWritten = true;
        } else {
            lines.SkipNext();
        }
        if (progress != nullptr && i % kLinesPerProgressStep == 0) progress->Advance(i);
    }
    if (anyWritten && input.endsWithLineBreak()) lines.WriteLineBreak(writer);
}

void WriteJoinedLines(const InputText& input, std::u16string_view separator, TextWriter& writer) {
    InputLines lines(input);
    const std::size_t count = lines.Count();
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) writer.Write(separator);
        lines.WriteNext(writer);
    }
    if (input.endsWithLineBreak()) lines.WriteLineBreak(writer);
}

void WriteJoined(std::u16string_view text, std::u16string_view separator, TextWriter& writer) {
    for (std::size_t start = 0;;) {
        const std::size_t end = FindCr(text, start);
        writer.Write(text.substr(start, end - start));
        if (end == text.size()) return;
        writer.Write(separator);
        start = end + 2;
    }
}

}  // namespace vorlane
