// SPDX-License-Identifier: MIT

#pragma once

#include <string_view>
#include <vector>

#include "batch/progress_line.h"
#include "fileio/input_text.h"
#include "fileio/text_writer.h"

namespace vorlane {

// Writes the lines of `input` that `kept` (from FindKeptLines) marks, each with
// the bytes it had in the input, each ended by the input's first kind of line
// break but the last, which has one only when the input's last line had. Tells
// `progress`, when given, how many lines it has gone through.
void WriteKeptLines(const InputText& input, const std::vector<bool>& kept, TextWriter& writer,
                    ProgressLine* progress = nullptr);

// Writes the lines of `input` joined by `separator`, each with the bytes it had
// in the input, and the input's first kind of line break at the end when its
// last line had one. Memory stays bounded whatever the separator.
void WriteJoinedLines(const InputText& input, std::u16string_view separator, TextWriter& writer);

// Writes `text` with every CR LF written as `separator`, line by line.
void WriteJoined(std::u16string_view text, std::u16string_view separator, TextWriter& writer);

}  // namespace vorlane
