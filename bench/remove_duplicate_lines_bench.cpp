// SPDX-License-Identifier: MIT

// Time and memory of RemoveDuplicateLines on the typical list and on the
// hostile shapes. Each case reports time_per_unit (seconds per input code unit)
// and peak_bytes_per_unit: the most memory the call held at once beyond its
// input, less the result it returns, per input code unit.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "plain_remove_duplicate_lines.h"
#include "remove_duplicate_lines.h"
#include "sample_texts.h"

namespace {

std::atomic<std::size_t> heldBytes{0};
std::atomic<std::size_t> peakBytes{0};

void* Allocate(std::size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) throw std::bad_alloc();
    const std::size_t held = heldBytes += malloc_usable_size(memory);
    std::size_t peak = peakBytes.load();
    while (held > peak && !peakBytes.compare_exchange_weak(peak, held)) {
    }
    return memory;
}

void Release(void* memory) {
    if (memory == nullptr) return;
    heldBytes -= malloc_usable_size(memory);
    std::free(memory);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete[](void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete[](void* memory, std::size_t) noexcept { Release(memory); }

namespace vorlane::bench {
namespace {

template <typename Remove>
void Measure(benchmark::State& state, const std::u16string& text, Remove remove) {
    double peakBeyondResult = 0;
    for (auto _ : state) {
        const std::size_t before = heldBytes.load();
        peakBytes = before;
        const DuplicateRemovalResult result = remove(text);
        const double resultBytes = static_cast<double>(result.text.capacity() * sizeof(char16_t));
        peakBeyondResult = static_cast<double>(peakBytes.load() - before) - resultBytes;
        benchmark::DoNotOptimize(result.addedCount);
        state.counters["kept_lines"] = static_cast<double>(result.addedCount);
    }
    const auto units = static_cast<double>(text.size());
    state.counters["units"] = units;
    state.counters["time_per_unit"] = benchmark::Counter(
        units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_bytes_per_unit"] = peakBeyondResult / units;
}

void Fast(benchmark::State& state, const std::u16string& text) {
    Measure(state, text, [](std::u16string_view t) { return RemoveDuplicateLines(t); });
}

void Typical(benchmark::State& state) {
    Fast(state, TypicalList(static_cast<std::size_t>(state.range(0))));
}
void TypicalPlain(benchmark::State& state) {
    Measure(state, TypicalList(static_cast<std::size_t>(state.range(0))),
            [](std::u16string_view t) { return testing::PlainRemoveDuplicateLines(t); });
}
void LongLineThenItsPieces(benchmark::State& state) {
    Fast(state, LongLineThenPieces(5'000'000, 1'000'000));
}
void LinesEndingInCrCrLf(benchmark::State& state) {
    Fast(state, TypicalList(1'000'000, u"\r\r\n"));
}
void LinesSeparatedByCrLfLf(benchmark::State& state) {
    Fast(state, TypicalList(1'000'000, u"\r\n\n"));
}
void MillionIdenticalLines(benchmark::State& state) { Fast(state, IdenticalLines(1'000'000)); }
void RunsOfAInRandomOrder(benchmark::State& state) { Fast(state, RunsOfA(200'000, 200)); }
void NoLineBreak(benchmark::State& state) { Fast(state, OneLongLine(20'000'000)); }

BENCHMARK(Typical)->Arg(32'767)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(TypicalPlain)->Arg(32'767)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LongLineThenItsPieces)->Unit(benchmark::kMillisecond);
BENCHMARK(LinesEndingInCrCrLf)->Unit(benchmark::kMillisecond);
BENCHMARK(LinesSeparatedByCrLfLf)->Unit(benchmark::kMillisecond);
BENCHMARK(MillionIdenticalLines)->Unit(benchmark::kMillisecond);
BENCHMARK(RunsOfAInRandomOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(NoLineBreak)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane::bench

BENCHMARK_MAIN();
