// SPDX-License-Identifier: MIT

#include "batch/read_input.h"

#include <unistd.h>

#include "cli/messages.h"
#include "fileio/file_error.h"

namespace vorlane {

std::optional<TextEncoding> NamedEncoding(const BatchOptions& options) {
    if (!options.encoding) return std::nullopt;
    std::optional<TextEncoding> named = TextEncoding::Find(*options.encoding);
    if (!named) throw UsageError("未知的编码" + Quoted(*options.encoding));
    return named;
}

InputText ReadInput(const BatchOptions& options, const std::optional<TextEncoding>& named,
                    ProgressLine& progress, const char* label, const TextPieces& pieces) {
    if (options.input == "-" && isatty(STDIN_FILENO) != 0 && isatty(STDERR_FILENO) != 0) {
        PrintErrorLine("正在从终端读取输入，输入完毕后在新的一行按 Ctrl+D 结束");
    }
    return ReadInputText(options.input, named, progress.Reading(label), pieces);
}

}  // namespace vorlane
