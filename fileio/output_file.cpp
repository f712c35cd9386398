// SPDX-License-Identifier: MIT

#include "fileio/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

#include "fileio/file_error.h"
#include "fileio/standard_streams.h"

namespace vorlane {
namespace {

// The named temporary file that a fatal signal removes before the program
// ends, where O_TMPFILE is not available. Set and cleared outside the
// handler, read inside it.
char temporaryToRemove[PATH_MAX + 1];
volatile std::sig_atomic_t haveTemporary = 0;

extern "C" void RemoveTemporaryAndEnd(int signal) {
    if (haveTemporary) unlink(temporaryToRemove);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void RemoveOnSignal(const std::string& path) {
    if (path.size() >= sizeof temporaryToRemove) return;
    std::memcpy(temporaryToRemove, path.c_str(), path.size() + 1);
    haveTemporary = 1;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM,
                             SIGPROF, SIGXCPU}) {
        struct sigaction current {};
        // A signal that the caller ignores (nohup) stays ignored.
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        std::signal(signal, RemoveTemporaryAndEnd);
    }
}

// Blocks every signal that can be blocked while it lives, so that nothing ends
// the program between giving the new file a name and renaming it.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &old_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t old_;
};

// The descriptor that `path` names without naming a file of its own.
std::optional<int> DescriptorNamed(const std::string& path) {
    if (path == "-") return STDOUT_FILENO;
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

// Standard output or standard error, when it has the file `status` open.
std::optional<int> StandardStreamOpening(const struct stat& status) {
    for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat stream {};
        if (!WasClosedAtStart(fd) && fstat(fd, &stream) == 0 && stream.st_dev == status.st_dev &&
            stream.st_ino == status.st_ino) {
            return fd;
        }
    }
    return std::nullopt;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, std::max<std::size_t>(slash, 1));
}

// The file that the dangling symbolic link `link` leads to, through any links
// on the way, as many as Linux follows (40); throws FileError for more, which
// is what a loop gives.
std::string FollowDanglingLink(const std::string& link, const std::string& name) {
    constexpr int kMostLinks = 40;
    std::string path = link;
    for (int followed = 0;; ++followed) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        if (followed == kMostLinks) {
            throw FileError("无法打开" + name + "：" + DescribeSystemError(ELOOP));
        }
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t size = readlink(path.c_str(), target.data(), PATH_MAX);
        if (size <= 0) return path;
        const std::string next(target.data(), static_cast<std::size_t>(size));
        path = next.starts_with('/') ? next : FolderOf(path) + "/" + next;
    }
}

// A name for a new file beside `target`, hidden, with a random part.
std::string TemporaryNameBeside(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    unsigned char random[6] = {};
    if (getrandom(random, sizeof random, 0) != sizeof random) {
        const auto seed =
            static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(std::time(nullptr));
        std::memcpy(random, &seed, sizeof seed);
    }
    std::string suffix;
    for (const unsigned char byte : random) {
        suffix += "0123456789abcdef"[byte >> 4];
        suffix += "0123456789abcdef"[byte & 15];
    }
    return FolderOf(target) + "/." + base.substr(0, 200) + ".vorlane-" + suffix;
}

void AddNote(std::string& notes, const char* note) {
    if (!notes.empty()) notes += "、";
    notes += note;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : name_(path == "-" ? "标准输出" : Quoted(path)) {
    if (const std::optional<int> fd = DescriptorNamed(path)) {
        fd_ = *fd;
        if (WasClosedAtStart(fd_)) {
            throw FileError("无法写入" + name_ + "：" + DescribeSystemError(EBADF));
        }
        return;
    }
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            throw FileError("无法打开" + name_ + "：" + DescribeSystemError(errno));
        }
        // A name not taken yet, or a symbolic link to one: make that file.
        target_ = FollowDanglingLink(path, name_);
        OpenNewFile(false);
        return;
    }
    if (const std::optional<int> fd = StandardStreamOpening(status)) {
        fd_ = *fd;
        return;
    }
    if (S_ISDIR(status.st_mode)) throw FileError(name_ + "是一个目录");
    if (!S_ISREG(status.st_mode)) {
        fd_ = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) throw FileError("无法打开" + name_ + "：" + DescribeSystemError(errno));
        ownsFd_ = true;
        return;
    }
    target_ = path;
    if (char* resolved = realpath(path.c_str(), nullptr)) {
        target_ = resolved;
        std::free(resolved);
    }
    OpenNewFile(true);
    KeepAttributesOf(target_);
}

void OutputFile::OpenNewFile(bool replacing) {
    replaces_ = true;
    replacesFile_ = replacing;
    const std::string folder = FolderOf(target_);
    // Linking an O_TMPFILE file goes through /proc/self/fd.
    if (access("/proc/self/fd", X_OK) == 0) {
        fd_ = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            ownsFd_ = true;
            unnamed_ = true;
        } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            throw FileError("无法在" + Quoted(folder) + "中创建临时文件：" +
                            DescribeSystemError(errno));
        }
    }
    if (!unnamed_) {
        std::string temporary = folder + "/." +
                                target_.substr(target_.rfind('/') + 1).substr(0, 200) +
                                ".vorlane-XXXXXX";
        fd_ = mkostemp(temporary.data(), O_CLOEXEC);
        if (fd_ < 0) {
            throw FileError("无法在" + Quoted(folder) + "中创建临时文件：" +
                            DescribeSystemError(errno));
        }
        ownsFd_ = true;
        temporaryPath_ = temporary;
        RemoveOnSignal(temporaryPath_);
    }
    if (!replacing) {
        // The permissions of a newly created file.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd_, 0666 & ~mask);
    }
}

// The new file gets the owner and group of the old one where the user may give
// them (a member of the file's group may keep the group, not the owner), then
// its mode, then its extended attributes, which hold its ACLs.
void OutputFile::KeepAttributesOf(const std::string& old) {
    struct stat status {};
    if (stat(old.c_str(), &status) != 0) return;
    if (fchown(fd_, status.st_uid, status.st_gid) != 0 &&
        fchown(fd_, static_cast<uid_t>(-1), status.st_gid) != 0) {
        // What was not kept shows below.
    }
    struct stat now {};
    fstat(fd_, &now);
    if (now.st_uid != status.st_uid) AddNote(notKept_, "所有者");
    if (now.st_gid != status.st_gid) AddNote(notKept_, "组");
    if (fchmod(fd_, status.st_mode & 07777) != 0) AddNote(notKept_, "权限");
    const ssize_t size = listxattr(old.c_str(), nullptr, 0);
    if (size <= 0) return;
    std::vector<char> names(static_cast<std::size_t>(size));
    const ssize_t listed = listxattr(old.c_str(), names.data(), names.size());
    bool allKept = listed >= 0;
    for (std::size_t at = 0; listed > 0 && at < static_cast<std::size_t>(listed);) {
        const char* name = names.data() + at;
        at += std::strlen(name) + 1;
        const ssize_t valueSize = getxattr(old.c_str(), name, nullptr, 0);
        std::vector<char> value(static_cast<std::size_t>(std::max<ssize_t>(valueSize, 0)));
        const ssize_t got =
            valueSize < 0 ? -1 : getxattr(old.c_str(), name, value.data(), value.size());
        if (got < 0 || fsetxattr(fd_, name, value.data(), static_cast<std::size_t>(got), 0) != 0) {
            allKept = false;
        }
    }
    if (!allKept) AddNote(notKept_, "扩展属性");
}

OutputFile::~OutputFile() {
    if (ownsFd_) close(fd_);
    if (!temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
        haveTemporary = 0;
    }
}

bool OutputFile::WritesDirectlyTo(const std::string& path) const {
    if (replaces_) return false;
    struct stat output {};
    struct stat input {};
    const int found = path == "-" ? fstat(STDIN_FILENO, &input) : stat(path.c_str(), &input);
    return found == 0 && fstat(fd_, &output) == 0 && S_ISREG(input.st_mode) &&
           input.st_dev == output.st_dev && input.st_ino == output.st_ino;
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

// Gives the unnamed new file a name: the target's own when it is not taken,
// else a temporary one that Commit renames onto the target.
void OutputFile::NameNewFile() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (!replacesFile_ &&
        linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = TemporaryNameBeside(target_);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporaryPath_ = std::move(temporary);
            return;
        }
        if (errno != EEXIST) break;
    }
    throw FileError("无法替换" + name_ + "：" + DescribeSystemError(errno));
}

void OutputFile::Commit() {
    if (!ownsFd_) return;
    // Replacing a file: its new content reaches the disk before the rename, so
    // that a crash cannot leave an empty file where the old one was.
    if (replacesFile_ && fsync(fd_) != 0) ThrowWriteError();
    const SignalsHeld held;
    if (unnamed_) NameNewFile();
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
