// SPDX-License-Identifier: MIT

#pragma once

#include <optional>

#include "batch/batch_options.h"
#include "fileio/output_file.h"
#include "fileio/text_encoding.h"
#include "removal/remove_duplicate_lines.h"

namespace vorlane {

// `vorlane dedupe`: writes the kept lines of the input to `output` and returns
// the counts (the result's text stays empty). Throws FileError.
DuplicateRemovalResult Dedupe(const BatchOptions& options, const std::optional<TextEncoding>& named,
                              OutputFile& output);

}  // namespace vorlane
