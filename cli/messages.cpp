// SPDX-License-Identifier: MIT

#include "cli/messages.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "fileio/file_error.h"
#include "fileio/standard_streams.h"

namespace vorlane {

ExitStatus PrintAnswer(std::string_view text) {
    errno = EBADF;
    if (!WasClosedAtStart(STDOUT_FILENO) &&
        std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
        std::fflush(stdout) == 0) {
        return kExitSuccess;
    }
    PrintErrorLine("无法写入标准输出：" + DescribeSystemError(errno));
    return kExitFailure;
}

bool PrintLine(std::string_view line) {
    const std::string text = std::string(line) + "\n";
    return !WasClosedAtStart(STDERR_FILENO) &&
           std::fwrite(text.data(), 1, text.size(), stderr) == text.size() &&
           std::fflush(stderr) == 0;
}

bool PrintErrorLine(std::string_view message) {
    return PrintLine("vorlane：" + std::string(message));
}

}  // namespace vorlane
