// SPDX-License-Identifier: MIT

#pragma once

// Large temporary arrays, left uninitialized and, on Linux, backed by huge
// pages: a list of millions of lines otherwise spends much of its time on
// zeroing its tables and on the page faults of touching them.

#include "removal/internal/private.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace vorlane::internal {

template <typename T>
class BigBuffer {
    static_assert(std::is_trivially_default_constructible_v<T> &&
                  std::is_trivially_destructible_v<T>);

public:
    explicit BigBuffer(std::size_t count) : size_(count) {
        constexpr std::size_t kHugePage = std::size_t{2} << 20;
        const std::size_t bytes = count * sizeof(T);
        if (bytes < 2 * kHugePage) {
            memory_.reset(static_cast<std::byte*>(::operator new(bytes == 0 ? 1 : bytes)));
            data_ = reinterpret_cast<T*>(memory_.get());
            return;
        }
        // Through the ordinary operator new, so that whoever counts the
        // memory in use counts this too; the spare huge page aligns the start.
        memory_.reset(static_cast<std::byte*>(::operator new(bytes + kHugePage)));
        const auto address = reinterpret_cast<std::uintptr_t>(memory_.get());
        const std::uintptr_t aligned = (address + kHugePage - 1) & ~(kHugePage - 1);
        data_ = reinterpret_cast<T*>(aligned);
#ifdef __linux__
        madvise(data_, bytes, MADV_HUGEPAGE);
#endif
    }

    std::size_t size() const { return size_; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

private:
    struct Release {
        void operator()(std::byte* memory) const { ::operator delete(memory); }
    };
    std::unique_ptr<std::byte, Release> memory_;
    T* data_ = nullptr;
    std::size_t size_;
};

}  // namespace vorlane::internal
