// SPDX-License-Identifier: MIT

#pragma once

namespace vorlane {

// Opens /dev/null onto whichever of descriptors 0, 1 and 2 are closed, so that
// no file the program opens later takes their place and is mistaken for a
// standard stream, and remembers which were closed. Call it first, once.
void SecureStandardStreams();

// Whether descriptor `fd` (0, 1 or 2) was closed when the program started:
// reading or writing it is then an error (EBADF), not /dev/null's silence.
bool WasClosedAtStart(int fd);

}  // namespace vorlane
