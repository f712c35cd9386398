// SPDX-License-Identifier: MIT

#include "batch/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace vorlane {
namespace {

using namespace std::chrono_literals;

constexpr auto kQuietTime = 1s;  // work shorter than this shows nothing
constexpr auto kRedrawEvery = 250ms;

}  // namespace

ProgressLine::ProgressLine() {
    if (isatty(STDERR_FILENO) == 0) return;
    thread_ = std::thread([this] { Show(); });
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

void ProgressLine::Show() {
    bool shown = false;
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, kRedrawEvery, [this] { return stopping_; })) {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        if (elapsed < kQuietTime) continue;
        std::string line = "\rvorlane：";
        line += label_.load(std::memory_order_relaxed);
        line += "…";
        const std::uint64_t total = total_.load(std::memory_order_relaxed);
        if (total > 0) {
            const std::uint64_t done = std::min(done_.load(std::memory_order_relaxed), total);
            line.append(" ").append(std::to_string(done * 100 / total)).append("%");
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
        line.append("（已用 ").append(std::to_string(seconds)).append(" 秒）\033[K");
        std::fputs(line.c_str(), stderr);
        shown = true;
    }
    if (shown) std::fputs("\r\033[K", stderr);
}

}  // namespace vorlane
