// SPDX-License-Identifier: MIT
//
// Preloaded into the program, this makes every open() of an unnamed file
// (O_TMPFILE) fail with EOPNOTSUPP, as it does on filesystems that lack them,
// so that the named temporary file is used instead. Everything else passes on.

#include <dlfcn.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>

namespace {

using OpenFunction = int (*)(const char*, int, ...);

bool AsksForUnnamedFile(int flags) { return (flags & O_TMPFILE) == O_TMPFILE; }

mode_t ModeArgument(int flags, va_list arguments) {
    return (flags & O_CREAT) != 0 || AsksForUnnamedFile(flags) ? va_arg(arguments, mode_t) : 0;
}

OpenFunction Next(const char* name) {
    return reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, name));
}

int Open(OpenFunction next, const char* path, int flags, mode_t mode) {
    if (AsksForUnnamedFile(flags)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return next(path, flags, mode);
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    static const OpenFunction next = Next("open");
    return Open(next, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    static const OpenFunction next = Next("open64");
    return Open(next, path, flags, mode);
}

}  // extern "C"
