// SPDX-License-Identifier: MIT

#pragma once

// Large buffers backed on Linux by huge pages: a list of millions of lines
// otherwise spends much of its time on the page faults of touching fresh
// memory, one for every 4 KiB.

#include <cstddef>
#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace vorlane {

inline constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Asks Linux to back the whole huge pages within [memory, memory + bytes)
// with huge pages, so that the first writes there fault once per 2 MiB, not
// once per 4 KiB: for large memory that another allocator hands out.
inline void AdviseHugePages(void* memory, std::size_t bytes) {
#ifdef __linux__
    const auto begin = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)memory;
    (void)bytes;
#endif
}

}  // namespace vorlane
