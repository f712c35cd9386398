// Preloaded into the real program by the real-window test: the first request
// to operator new of at least VORLANE_FAIL_ALLOCATIONS_FROM bytes fails, so a
// command runs out of memory on a large text; later requests succeed again.

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::size_t FailFrom() {
    static const std::size_t limit = [] {
        const char* value = std::getenv("VORLANE_FAIL_ALLOCATIONS_FROM");
        return value == nullptr ? std::size_t{0} : std::strtoull(value, nullptr, 10);
    }();
    return limit;
}

std::atomic<bool> failed{false};

}  // namespace

void* operator new(std::size_t size) {
    if (FailFrom() != 0 && size >= FailFrom() && !failed.exchange(true)) throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
