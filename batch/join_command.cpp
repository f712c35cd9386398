// SPDX-License-Identifier: MIT

#include "batch/join_command.h"

#include <string>

#include "batch/read_input.h"
#include "batch/write_kept_lines.h"
#include "fileio/text_writer.h"
#include "fileio/utf8_bytes.h"

namespace vorlane {

void Join(const BatchOptions& options, const std::optional<TextEncoding>& named,
          OutputFile& output) {
    ProgressLine progress(options.input == "-");
    const std::u16string separator = DecodeUtf8(options.separator.value_or(","));
    // Output that goes to the input file itself (`-o log >> log`) must not be
    // read back: then the whole input is read first.
    const bool streams = !output.WritesDirectlyTo(options.input);
    std::optional<TextWriter> writer;
    const auto startWriting = [&](const TextEncoding& encoding) {
        if (!encoding.CanEncode(separator)) {
            throw UsageError("分隔符中有无法用 " + encoding.name() + " 编码写出的字符");
        }
        writer.emplace(output, encoding);
    };
    // Pieces never end inside a CR LF, so joining them one by one joins the whole.
    const auto joinPiece = [&](std::u16string_view piece, const TextEncoding& encoding) {
        if (!writer) {
            if (!streams) return false;
            if (!output.isTemporary() && encoding.form() != TextEncoding::Form::kUtf8) return false;
            startWriting(encoding);
        }
        WriteJoined(piece, separator, *writer);
        return true;
    };
    const InputText rest = ReadInput(options, named, progress, "正在连接", joinPiece);
    if (!writer) startWriting(rest.encoding());
    WriteJoinedLines(rest, separator, *writer);
    writer->Finish();
    output.Commit();
}

}  // namespace vorlane
