// SPDX-License-Identifier: MIT

#pragma once

#include <vector>

#include "batch/progress_line.h"
#include "fileio/input_text.h"
#include "fileio/text_writer.h"

namespace vorlane {

// Writes the lines of `input` that `kept` (from FindKeptLines) marks, straight
// from the input's text, each ended by the input's first kind of line break but
// the last, which has one only when the input's last line had. Tells
// `progress`, when given, how many lines it has gone through.
void WriteKeptLines(const InputText& input, const std::vector<bool>& kept, TextWriter& writer,
                    ProgressLine* progress = nullptr);

}  // namespace vorlane
