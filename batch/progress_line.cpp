// SPDX-License-Identifier: MIT

#include "batch/progress_line.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <system_error>

namespace vorlane {
namespace {

using namespace std::chrono_literals;

constexpr auto kQuietTime = 1s;  // work shorter than this shows nothing
constexpr auto kRedrawEvery = 250ms;

}  // namespace

namespace {

// Whether descriptor `fd` is the terminal `terminal` is.
bool IsTerminal(int fd, const struct stat& terminal) {
    struct stat status {};
    return isatty(fd) != 0 && fstat(fd, &status) == 0 && status.st_rdev == terminal.st_rdev;
}

}  // namespace

bool ProgressCanBeShown(bool readsStandardInput) {
    struct stat error {};
    if (isatty(STDERR_FILENO) == 0 || fstat(STDERR_FILENO, &error) != 0) return false;
    return !IsTerminal(STDOUT_FILENO, error) &&
           !(readsStandardInput && IsTerminal(STDIN_FILENO, error));
}

ProgressLine::ProgressLine(bool readsStandardInput) {
    if (!ProgressCanBeShown(readsStandardInput)) return;
    // The thread takes no signals: they stay with the work, which may hold
    // them back while it puts a file in place.
    sigset_t all;
    sigset_t old;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &old);
    try {
        thread_ = std::thread([this] { Show(); });
    } catch (const std::system_error&) {
        // No thread, no progress line; the work goes on.
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

ProgressLine::~ProgressLine() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ProgressLine::Stage(const char* label, std::uint64_t total) {
    total_.store(total, std::memory_order_relaxed);
    done_.store(0, std::memory_order_relaxed);
    label_.store(label, std::memory_order_relaxed);
}

ReadProgress ProgressLine::Reading(const char* label) {
    Stage(label);
    return [this, label](std::uint64_t done, std::uint64_t total) {
        if (total > 0 && total_.load(std::memory_order_relaxed) != total) Stage(label, total);
        Advance(done);
    };
}

std::string ProgressLine::Describe(std::chrono::seconds elapsed) const {
    std::string line = "vorlane：";
    line += label_.load(std::memory_order_relaxed);
    line += "…";
    const std::uint64_t total = total_.load(std::memory_order_relaxed);
    if (total > 0) {
        const std::uint64_t done = std::min(done_.load(std::memory_order_relaxed), total);
        line.append(" ").append(std::to_string(done * 100 / total)).append("%");
    }
    return line.append("（已用 ").append(std::to_string(elapsed.count())).append(" 秒）");
}

void ProgressLine::Show() {
    bool shown = false;
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, kRedrawEvery, [this] { return stopping_; })) {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        if (elapsed < kQuietTime) continue;
        std::string line = "\r";
        line += Describe(std::chrono::duration_cast<std::chrono::seconds>(elapsed));
        line += "\033[K";
        std::fputs(line.c_str(), stderr);
        shown = true;
    }
    if (shown) std::fputs("\r\033[K", stderr);
}

}  // namespace vorlane
