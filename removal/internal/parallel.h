// SPDX-License-Identifier: MIT

#pragma once

// Work split over a few threads.

#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

#include "removal/internal/private.h"

namespace vorlane::internal {

// Calls work(t) for each t in [0, threads), each on its own thread, the first
// on the caller's, and returns when all are done. If some work throws, throws
// the first such exception once all are done.
template <typename Work>
void OnThreads(unsigned threads, Work work) {
    std::vector<std::exception_ptr> failures(threads);
    const auto guarded = [&](unsigned t) {
        try {
            work(t);
        } catch (...) {
            failures[t] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> others;
        others.reserve(threads);
        for (unsigned t = 1; t < threads; ++t) others.emplace_back(guarded, t);
        guarded(0U);
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

// The t-th of `parts` nearly equal shares of [0, count): its first element.
inline std::size_t ShareStart(std::size_t count, std::size_t t, std::size_t parts) {
    return count * t / parts;
}

}  // namespace vorlane::internal
