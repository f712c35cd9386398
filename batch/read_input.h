// SPDX-License-Identifier: MIT

#pragma once

#include <optional>

#include "batch/batch_options.h"
#include "batch/progress_line.h"
#include "fileio/input_text.h"
#include "fileio/text_encoding.h"

namespace vorlane {

// The encoding that --encoding names, if any; throws UsageError for a name
// that iconv does not know.
std::optional<TextEncoding> NamedEncoding(const BatchOptions& options);

// Reads the command's input as ReadInputText does, showing `label` on
// `progress`. When the input is a terminal, first says on standard error how
// to end it.
InputText ReadInput(const BatchOptions& options, const std::optional<TextEncoding>& named,
                    ProgressLine& progress, const char* label, const TextPieces& pieces = {});

}  // namespace vorlane
