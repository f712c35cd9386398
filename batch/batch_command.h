// SPDX-License-Identifier: MIT

#pragma once

// The two text commands on files and pipelines:
//   vorlane dedupe [FILE] [-o OUT] [--encoding NAME]
//   vorlane join   [FILE] [-s SEP | --separator SEP] [-o OUT] [--encoding NAME]

#include <string>
#include <vector>

#include "batch/batch_help.h"
#include "cli/exit_status.h"

namespace vorlane {

// Runs the batch command named by arguments[0] with the arguments after it,
// taken as the bytes they are (file names need not be UTF-8). Every error is
// one line in Chinese on standard error. dedupe's summary that cannot be
// written makes the run a failure, though its output is complete.
ExitStatus RunBatchCommand(const std::vector<std::string>& arguments);

}  // namespace vorlane
