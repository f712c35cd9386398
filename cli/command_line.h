// SPDX-License-Identifier: MIT

#pragma once

#include "cli/exit_status.h"

namespace vorlane {

// Runs Vorlane without a window for the arguments of `main` (argc > 1) and
// returns the exit status. A command's name as the first argument (dedupe,
// join) runs that command on the rest. Otherwise --help and --version answer on
// standard output; an unknown option or a stray argument prints a one-line
// error and the usage on standard error and returns kExitUsage. Needs no
// display and no toolkit. First opens /dev/null onto closed standard streams
// (SecureStandardStreams).
int RunCommandLine(int argc, char* argv[]);

}  // namespace vorlane
