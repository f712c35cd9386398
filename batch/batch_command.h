// SPDX-License-Identifier: MIT

#pragma once

// The two text commands on files and pipelines:
//   vorlane dedupe [FILE] [-o OUT] [--encoding NAME]
//   vorlane join   [FILE] [-s SEP | --separator SEP] [-o OUT] [--encoding NAME]

#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// Runs the batch command named by arguments[0] with the arguments after it,
// taken as the bytes they are (file names need not be UTF-8). Returns the exit
// status: 0 when done, 1 for an input, output or data error, 2 for a usage
// error; every error is one line in Chinese on standard error.
int RunBatchCommand(const std::vector<std::string>& arguments);

// What the two commands do, in Simplified Chinese as UTF-8, as their help lists
// them: an indented entry per command, ending with a line break. The program's
// own help lists them the same way.
std::string_view BatchCommandList();

}  // namespace vorlane
