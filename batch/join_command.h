// SPDX-License-Identifier: MIT

#pragma once

#include <optional>

#include "batch/batch_options.h"
#include "fileio/output_file.h"
#include "fileio/text_encoding.h"

namespace vorlane {

// `vorlane join`: writes the lines of the input joined by the separator to
// `output`. It joins them as they are read, piece by piece, when no error can
// come after output has begun: the output is a new file, or the input is
// UTF-8 as recognised by default, which nothing is invalid in, and the output
// is not the input file itself. Otherwise, and
// for a named encoding, whose lines are written back as their own bytes, the
// whole input is read first. Throws FileError, or UsageError for a separator
// the encoding cannot write.
void Join(const BatchOptions& options, const std::optional<TextEncoding>& named,
          OutputFile& output);

}  // namespace vorlane
