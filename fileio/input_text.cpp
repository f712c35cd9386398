// SPDX-License-Identifier: MIT

#include "fileio/input_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "fileio/file_error.h"
#include "fileio/standard_streams.h"
#include "fileio/text_decoder.h"

namespace vorlane {
namespace {

constexpr std::size_t kReadSize = std::size_t{1} << 20;

[[noreturn]] void ThrowSystemError(std::string_view what, const std::string& path) {
    throw FileError(std::string(what) + Quoted(InputName(path)) + "：" +
                    DescribeSystemError(errno));
}

class InputDescriptor {
public:
    explicit InputDescriptor(const std::string& path)
        : fd_(path == "-" ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC)),
          owned_(path != "-") {
        if (fd_ < 0) ThrowSystemError("无法打开", path);
        if (!owned_ && WasClosedAtStart(fd_)) {
            errno = EBADF;
            ThrowSystemError("无法读取", path);
        }
    }
    ~InputDescriptor() {
        if (owned_) close(fd_);
    }
    InputDescriptor(const InputDescriptor&) = delete;
    InputDescriptor& operator=(const InputDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
    bool owned_;
};

}  // namespace

std::u16string_view LineBreakText(LineBreak lineBreak) {
    switch (lineBreak) {
        case LineBreak::kCrLf:
            return u"\r\n";
        case LineBreak::kCr:
            return u"\r";
        case LineBreak::kLf:
            break;
    }
    return u"\n";
}

std::string InputName(const std::string& path) { return path == "-" ? "标准输入" : path; }

InputText ReadInputText(const std::string& path, const std::optional<TextEncoding>& named,
                        const ReadProgress& progress, const TextPieces& pieces) {
    const InputDescriptor input(path);
    struct stat status {};
    if (fstat(input.get(), &status) != 0) ThrowSystemError("无法读取", path);
    if (S_ISDIR(status.st_mode)) throw FileError(Quoted(InputName(path)) + "是一个目录");
    const std::uint64_t total =
        S_ISREG(status.st_mode) ? static_cast<std::uint64_t>(status.st_size) : 0;
    bool offering = static_cast<bool>(pieces);
    // A text handed over in pieces is dropped as it goes and needs no room for all of it.
    TextDecoder decoder(named, InputName(path), offering ? 0 : total);
    // Bytes read and not decoded yet: a character cut short stays for the next read.
    auto buffer = std::make_unique_for_overwrite<char[]>(kReadSize);
    std::size_t held = 0;
    std::uint64_t done = 0;
    for (bool last = false; !last;) {
        const ssize_t count = read(input.get(), buffer.get() + held, kReadSize - held);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) ThrowSystemError("无法读取", path);
        held += static_cast<std::size_t>(count);
        last = count == 0;
        const std::size_t used = decoder.Decode({buffer.get(), held}, last);
        std::memmove(buffer.get(), buffer.get() + used, held - used);
        held -= used;
        if (offering && !decoder.Ready().empty() && decoder.keepsLineBytes()) offering = false;
        if (offering && !decoder.Ready().empty()) {
            offering = pieces(decoder.Ready(), decoder.encoding());
            if (offering) decoder.DropReady();
        }
        done += static_cast<std::uint64_t>(count);
        if (progress) progress(done, total);
    }
    return std::move(decoder).Finish();
}

}  // namespace vorlane
