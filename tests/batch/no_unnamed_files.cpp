// SPDX-License-Identifier: MIT
//
// Preloaded into the program, this makes every open() of an unnamed file
// (O_TMPFILE) fail with EOPNOTSUPP, as it does on filesystems that lack them,
// so that the named temporary file is used instead. Everything else passes on.

#include <dlfcn.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>

extern "C" {

int open(const char* path, int flags, ...) {
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    using Open = int (*)(const char*, int, ...);
    static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open"));
    return next(path, flags, mode);
}

// The same function on 64-bit Linux, where either name may be called.
int open64(const char* path, int flags, ...) __attribute__((alias("open")));

}  // extern "C"
