// SPDX-License-Identifier: MIT

#include "fileio/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vorlane {
namespace {

bool closedAtStart[3] = {false, false, false};

}  // namespace

void SecureStandardStreams() {
    for (int fd = 0; fd < 3; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() returns the lowest free descriptor, which is `fd`.
        const int opened = open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd) close(opened);
        closedAtStart[fd] = true;
    }
}

bool WasClosedAtStart(int fd) { return fd >= 0 && fd < 3 && closedAtStart[fd]; }

}  // namespace vorlane
