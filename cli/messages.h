// SPDX-License-Identifier: MIT

#pragma once

#include <string_view>

#include "cli/exit_status.h"

namespace vorlane {

// Prints `text` on standard output and flushes it. Failing to, e.g. on a full
// disk or a standard output closed at start, is an error with a one-line
// message, so that a script never takes a cut-off answer for a whole one.
ExitStatus PrintAnswer(std::string_view text);

// Prints `line` and a line break on standard error and flushes it; false when
// that failed or standard error was closed at start.
bool PrintLine(std::string_view line);

// Prints "vorlane：" and `message` as one line on standard error.
bool PrintErrorLine(std::string_view message);

}  // namespace vorlane
