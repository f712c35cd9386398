// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vorlane {

// A line on standard error that tells, while a long command runs, what it is
// doing: shown only when standard error is a terminal and the command has run
// for more than a second, redrawn a few times a second from a thread of its
// own, and erased when the object goes.
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Starts a stage of the work, e.g. "正在读取", with `total` steps, or 0
    // when the amount is unknown.
    void Stage(const char* label, std::uint64_t total = 0);
    // Steps of the current stage done so far.
    void Advance(std::uint64_t done) { done_.store(done, std::memory_order_relaxed); }

private:
    void Show();

    std::atomic<const char*> label_{""};
    std::atomic<std::uint64_t> total_{0};
    std::atomic<std::uint64_t> done_{0};
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vorlane
