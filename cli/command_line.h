// SPDX-License-Identifier: MIT

#pragma once

namespace vorlane {

// Exit statuses of a command-line run, as Unix tools use them.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailure = 1,  // the work could not be done, e.g. output could not be written
    kExitUsage = 2,    // the arguments were wrong; nothing was done
};

// Runs Vorlane without a window for the arguments of `main` (argc > 1) and
// returns the exit status. A command's name as the first argument (dedupe,
// join) runs that command on the rest. Otherwise --help and --version answer on
// standard output; an unknown option or a stray argument prints a one-line
// error and the usage on standard error and returns kExitUsage. Needs no display.
int RunCommandLine(int argc, char* argv[]);

}  // namespace vorlane
