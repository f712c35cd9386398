// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// Where a command's result goes, chosen by `path`:
//  - "-": standard output; "/dev/stdout", "/dev/stderr", "/dev/fd/N" and
//    "/proc/self/fd/N": that open descriptor.
//  - a regular file, or a name not taken yet: a temporary file beside it that
//    Commit() renames onto it, so that it is either the old file or the whole
//    new one, even when it is also the input. A symbolic link is followed, and
//    the file it names is replaced, with its permissions.
//  - anything else that exists (a device, a named pipe): written directly,
//    never replaced.
// Every failure throws FileError; an output that is not committed leaves no
// temporary file behind, even when the program is interrupted.
class OutputFile {
public:
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Whether the output goes to a temporary file first, so that a failure
    // leaves nothing of it behind.
    bool isTemporary() const { return !temporaryPath_.empty(); }

    void Write(std::string_view bytes);
    // Finishes the output: renames the temporary file onto the path, if any.
    void Commit();

private:
    [[noreturn]] void ThrowWriteError() const;
    void OpenTemporaryFile();

    std::string name_;           // the path as given, for messages
    std::string target_;         // the file the temporary file replaces
    std::string temporaryPath_;  // empty when writing directly
    int fd_ = -1;
    bool ownsFd_ = false;
    bool replacesFile_ = false;
};

}  // namespace vorlane
