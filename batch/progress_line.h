// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "fileio/input_text.h"

namespace vorlane {

// A line on standard error that tells, while a long command runs, what it is
// doing. It is shown only where it cannot mix with the output nor with what
// the user types: standard error is a terminal, and neither standard output
// nor, when it is read, standard input is that terminal. It appears once the
// command has run for more than a second, is redrawn a few times a second from
// a thread of its own, and is erased when the object goes, if it was drawn.
// Without a thread for it (a process limit), there is simply no progress.
class ProgressLine {
public:
    explicit ProgressLine(bool readsStandardInput);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Starts a stage of the work, e.g. "正在读取", with `total` steps, or 0
    // when the amount is unknown.
    void Stage(const char* label, std::uint64_t total = 0);
    // Steps of the current stage done so far.
    void Advance(std::uint64_t done) { done_.store(done, std::memory_order_relaxed); }

    // A stage `label` that follows the bytes of a read as they arrive.
    ReadProgress Reading(const char* label);

    // The line as it reads after `elapsed`, e.g. "vorlane：正在写出… 40%（已用 3 秒）".
    std::string Describe(std::chrono::seconds elapsed) const;

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

// Whether the progress line may be shown (see ProgressLine).
bool ProgressCanBeShown(bool readsStandardInput);

}  // namespace vorlane
