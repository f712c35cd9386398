// SPDX-License-Identifier: MIT

#include "fileio/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "fileio/file_error.h"

namespace vorlane {
namespace {

// The temporary file that an interrupting signal removes before the program
// ends. Set and cleared outside the handler, read inside it.
char temporaryToRemove[PATH_MAX + 1];
volatile std::sig_atomic_t haveTemporary = 0;

extern "C" void RemoveTemporaryAndEnd(int signal) {
    if (haveTemporary) unlink(temporaryToRemove);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void RemoveOnInterrupt(const std::string& path) {
    if (path.size() >= sizeof temporaryToRemove) return;
    std::memcpy(temporaryToRemove, path.c_str(), path.size() + 1);
    haveTemporary = 1;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        // A signal that the caller ignores (nohup) stays ignored.
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        std::signal(signal, RemoveTemporaryAndEnd);
    }
}

// The descriptor that `path` names without naming a file of its own.
std::optional<int> DescriptorNamed(const std::string& path) {
    if (path == "-" || path == "/dev/stdout") return STDOUT_FILENO;
    if (path == "/dev/stderr") return STDERR_FILENO;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        const std::string_view number =
            std::string_view(path).substr(path.starts_with(prefix) ? prefix.size() : path.size());
        if (!number.empty() && number.size() < 9 &&
            std::all_of(number.begin(), number.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            return std::atoi(std::string(number).c_str());
        }
    }
    return std::nullopt;
}

std::string Quoted(const std::string& name) { return "“" + name + "”"; }

}  // namespace

OutputFile::OutputFile(const std::string& path) : name_(path == "-" ? "标准输出" : Quoted(path)) {
    if (const std::optional<int> fd = DescriptorNamed(path)) {
        fd_ = *fd;
        return;
    }
    struct stat status {};
    const bool exists = stat(path.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) throw FileError(name_ + "是一个目录");
    if (exists && !S_ISREG(status.st_mode)) {
        fd_ = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) throw FileError("无法打开" + name_ + "：" + DescribeSystemError(errno));
        ownsFd_ = true;
        return;
    }
    target_ = path;
    if (exists) {
        if (char* resolved = realpath(path.c_str(), nullptr)) {
            target_ = resolved;
            std::free(resolved);
        }
        replacesFile_ = true;
    }
    OpenTemporaryFile();
    // The new file gets the permissions (and, where allowed, the owner) of the
    // one it replaces, or those of a newly created file.
    if (exists) {
        if (fchown(fd_, status.st_uid, status.st_gid) != 0) {
            // Only the owner is lost: an ordinary user cannot give files away.
        }
        fchmod(fd_, status.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd_, 0666 & ~mask);
    }
}

void OutputFile::OpenTemporaryFile() {
    const std::size_t slash = target_.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : target_.substr(0, std::max<std::size_t>(slash, 1));
    const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::string temporary = folder + "/." + base.substr(0, 200) + ".vorlane-XXXXXX";
    fd_ = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd_ < 0) {
        throw FileError("无法在" + Quoted(folder) + "中创建临时文件：" +
                        DescribeSystemError(errno));
    }
    ownsFd_ = true;
    temporaryPath_ = temporary;
    RemoveOnInterrupt(temporaryPath_);
}

OutputFile::~OutputFile() {
    if (ownsFd_) close(fd_);
    if (!temporaryPath_.empty()) {
        haveTemporary = 0;
        unlink(temporaryPath_.c_str());
    }
}

void OutputFile::ThrowWriteError() const {
    throw FileError("无法写入" + name_ + "：" + DescribeSystemError(errno));
}

void OutputFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) ThrowWriteError();
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void OutputFile::Commit() {
    if (!ownsFd_) return;
    // Replacing a file: its new content reaches the disk before the rename, so
    // that a crash cannot leave an empty file where the old one was.
    if (replacesFile_ && fsync(fd_) != 0) ThrowWriteError();
    ownsFd_ = false;
    if (close(fd_) != 0) ThrowWriteError();
    if (temporaryPath_.empty()) return;
    if (rename(temporaryPath_.c_str(), target_.c_str()) != 0) {
        throw FileError("无法替换" + name_ + "：" + DescribeSystemError(errno));
    }
    haveTemporary = 0;
    temporaryPath_.clear();
}

}  // namespace vorlane
