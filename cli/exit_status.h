// SPDX-License-Identifier: MIT

#pragma once

namespace vorlane {

// Exit statuses of a command-line run, as Unix tools use them.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailure = 1,  // the work could not be done: a read, write or data error
    kExitUsage = 2,    // the arguments were wrong; nothing was done
};

}  // namespace vorlane
