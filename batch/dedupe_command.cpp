// SPDX-License-Identifier: MIT

#include "batch/dedupe_command.h"

#include <vector>

#include "batch/read_input.h"
#include "batch/write_kept_lines.h"
#include "fileio/text_writer.h"

namespace vorlane {

DuplicateRemovalResult Dedupe(const BatchOptions& options, const std::optional<TextEncoding>& named,
                              OutputFile& output) {
    ProgressLine progress(options.input == "-");
    const InputText input = ReadInput(options, named, progress, "正在读取");
    progress.Stage("正在去除重复行");
    const std::vector<bool> kept =
        input.hasLines() ? FindKeptLines(input.text()) : std::vector<bool>();
    TextWriter writer(output, input.encoding());
    WriteKeptLines(input, kept, writer, &progress);
    writer.Finish();
    output.Commit();
    return CountKeptLines(kept);
}

}  // namespace vorlane
