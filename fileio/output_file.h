// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// Where a command's result goes, chosen by what `path` is, not how it is
// spelled:
//  - "-", or the file that standard output or standard error has open (by
//    device and inode, e.g. /dev/stdout, or log.txt under `>> log.txt`): that
//    descriptor, keeping its append mode and position; "/dev/fd/N" and
//    "/proc/self/fd/N": descriptor N.
//  - a regular file, or a name not taken yet: a new file beside it that
//    Commit() puts in its place, so that it is either the old file or the whole
//    new one, even when it is also the input. It has no name until then (an
//    O_TMPFILE file) so that nothing can leave it behind; where the file system
//    lacks those, it is a hidden temporary file that interrupting signals
//    remove. A symbolic link is followed, and the file it names is replaced,
//    with its mode, owner and group where the user may set them, and its
//    extended attributes (ACLs, security labels); a link to no file yet makes
//    the file it names, and keeps the link.
//  - anything else that exists (a device, a named pipe): written directly,
//    never replaced.
// A standard stream that was closed when the program started is an error.
// Every failure throws FileError; an output that is not committed leaves no
// new file behind.
class OutputFile {
public:
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Whether the output goes to a new file first, so that a failure leaves
    // nothing of it behind.
    bool isTemporary() const { return replaces_; }

    // Whether the output is written directly to the file that `path` names
    // ("-": standard input), so that reading it while writing would read what
    // was written.
    bool WritesDirectlyTo(const std::string& path) const;

    void Write(std::string_view bytes);
    // Finishes the output: puts the new file in place, if any.
    void Commit();

    // What the new file could not keep of the one it replaces, in Chinese,
    // e.g. "所有者、扩展属性"; empty when it kept everything.
    const std::string& notKept() const { return notKept_; }

private:
    [[noreturn]] void ThrowWriteError() const;
    void OpenNewFile(bool replacing);
    void KeepAttributesOf(const std::string& old);
    void NameNewFile();

    std::string name_;           // the path as given, quoted, for messages
    std::string target_;         // the file the new file becomes
    std::string temporaryPath_;  // the new file's name until Commit, if it has one
    std::string notKept_;
    int fd_ = -1;
    bool ownsFd_ = false;
    bool replaces_ = false;      // the output is a new file put in place by Commit
    bool unnamed_ = false;       // the new file is an O_TMPFILE file
    bool replacesFile_ = false;  // an old file is replaced
};

}  // namespace vorlane
