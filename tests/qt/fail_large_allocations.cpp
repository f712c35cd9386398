// SPDX-License-Identifier: MIT

#include "tests/qt/fail_large_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace vorlane::testing {
namespace {

std::size_t SizeFromEnvironment() {
    const char* value = std::getenv("VORLANE_FAIL_ALLOCATIONS_FROM");
    return value == nullptr ? 0 : std::strtoull(value, nullptr, 10);
}

std::atomic<std::size_t>& FailFrom() {
    static std::atomic<std::size_t> bytes{SizeFromEnvironment()};
    return bytes;
}

// True once for the first request of at least the set size.
bool ShouldFail(std::size_t size) {
    std::size_t limit = FailFrom().load();
    return limit != 0 && size >= limit && FailFrom().compare_exchange_strong(limit, 0);
}

void* Allocate(std::size_t size) {
    if (ShouldFail(size)) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void FailNextAllocationFrom(std::size_t bytes) { FailFrom() = bytes; }

}  // namespace vorlane::testing

// Every ordinary form of new and delete goes through malloc and free, so that
// memory from one form is never released by another allocator's delete.
void* operator new(std::size_t size) {
    if (void* memory = vorlane::testing::Allocate(size)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return vorlane::testing::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return vorlane::testing::Allocate(size);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
