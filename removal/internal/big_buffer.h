// SPDX-License-Identifier: MIT

#pragma once

// Memory for large tables, backed on Linux by huge pages.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "removal/internal/private.h"
#include "text/huge_pages.h"

namespace vorlane::internal {

// Room for `bytes`, aligned to a huge page if it spans several. Taken through
// the ordinary operator new, so that whoever counts the memory in use counts
// this too; the spare huge page aligns the start, the word before which keeps
// where the memory begins.
inline void* AllocateLarge(std::size_t bytes) {
    if (bytes < 2 * kHugePage) return ::operator new(bytes == 0 ? 1 : bytes);
    auto* memory = static_cast<std::byte*>(::operator new(bytes + kHugePage + sizeof(void*)));
    const auto first = reinterpret_cast<std::uintptr_t>(memory + sizeof(void*));
    auto* aligned = reinterpret_cast<std::byte*>((first + kHugePage - 1) & ~(kHugePage - 1));
    std::memcpy(aligned - sizeof(void*), &memory, sizeof(void*));
#ifdef __linux__
    madvise(aligned, bytes, MADV_HUGEPAGE);
#endif
    return aligned;
}

// Gives back what AllocateLarge(bytes) returned.
inline void FreeLarge(void* memory, std::size_t bytes) {
    if (bytes < 2 * kHugePage) {
        ::operator delete(memory);
        return;
    }
    void* start = nullptr;
    std::memcpy(&start, static_cast<std::byte*>(memory) - sizeof(void*), sizeof(void*));
    ::operator delete(start);
}

// An allocator for vectors that may grow large.
template <typename T>
struct HugePageAllocator {
    using value_type = T;
    HugePageAllocator() = default;
    template <typename U>
    explicit HugePageAllocator(const HugePageAllocator<U>&) {}
    T* allocate(std::size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) { FreeLarge(memory, count * sizeof(T)); }
    bool operator==(const HugePageAllocator&) const = default;
};

template <typename T>
using BigVector = std::vector<T, HugePageAllocator<T>>;

// Room for `count` values of T, left uninitialized: for large temporary arrays
// that are written before they are read.
template <typename T>
class BigBuffer {
    static_assert(std::is_trivially_default_constructible_v<T> &&
                  std::is_trivially_destructible_v<T>);

public:
    explicit BigBuffer(std::size_t count)
        : data_(static_cast<T*>(AllocateLarge(count * sizeof(T))), Release{count * sizeof(T)}),
          size_(count) {}

    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) { return data_.get()[i]; }
    const T& operator[](std::size_t i) const { return data_.get()[i]; }

private:
    struct Release {
        std::size_t bytes;
        void operator()(T* memory) const { FreeLarge(memory, bytes); }
    };
    std::unique_ptr<T, Release> data_;
    std::size_t size_;
};

}  // namespace vorlane::internal
