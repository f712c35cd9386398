// SPDX-License-Identifier: MIT

#pragma once

// Makes a command run out of memory on purpose. Linked into the window tests,
// and preloaded into the real program by the real-window test, the operator
// new of fail_large_allocations.cpp fails the next request of at least a set
// size, then works normally again.

#include <cstddef>

namespace vorlane::testing {

// The next operator new of at least `bytes` bytes throws std::bad_alloc.
// The environment variable VORLANE_FAIL_ALLOCATIONS_FROM sets it at start.
void FailNextAllocationFrom(std::size_t bytes);

}  // namespace vorlane::testing
