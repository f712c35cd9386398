// SPDX-License-Identifier: MIT

// Time and memory of RemoveDuplicateLines on the typical list and on the
// hostile shapes. Times are wall-clock, since the removal may use several
// threads. Each case reports time_per_unit (seconds per input code unit)
// and peak_bytes_per_unit: the most memory the call held at once beyond its
// input, less the result it returns, per input code unit; and memory_cap_use,
// that peak as a share of 8 bytes per unit plus 24 bytes per line.

#include <absl/container/flat_hash_set.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <new>
#include <string_view>

#include "removal/remove_duplicate_lines.h"
#include "testing/hostile_texts.h"
#include "testing/plain_remove_duplicate_lines.h"
#include "testing/sample_texts.h"
#include "text/split_text.h"

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

using namespace testing;  // the seeded texts
namespace {

std::size_t CountLines(std::u16string_view text) {
    std::size_t lines = 1;
    for (std::size_t at = text.find(u"\r\n"); at != std::u16string_view::npos;
         at = text.find(u"\r\n", at + 2)) {
        ++lines;
    }
    return lines;
}

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
    const auto lines = static_cast<double>(CountLines(text));
    state.counters["units"] = units;
    state.counters["memory_cap_use"] = peakBeyondResult / (8 * units + 24 * lines);
    state.counters["time_per_unit"] = benchmark::Counter(
        units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_bytes_per_unit"] = peakBeyondResult / units;
}

void Fast(benchmark::State& state, const std::u16string& text) {
    Measure(state, text, [](std::u16string_view t) { return RemoveDuplicateLines(t); });
}

// The reference the removal is measured against: exact-line dedupe, one
// insert per line into abseil's hash set of the lines as byte views, no
// substring search; it keeps and joins lines as the removal does.
DuplicateRemovalResult ExactLineDedupe(std::u16string_view text) {
    DuplicateRemovalResult result;
    absl::flat_hash_set<std::string_view> seen;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find(u"\r\n", start), text.size());
        const std::u16string_view line = text.substr(start, end - start);
        ++result.pieceCount;
        const std::string_view bytes(reinterpret_cast<const char*>(line.data()),
                                     line.size() * sizeof(char16_t));
        if (!line.empty() && seen.insert(bytes).second) {
            if (result.addedCount++ > 0) result.text += u"\r\n";
            result.text += line;
        }
        if (end == text.size()) break;
        start = end + 2;
    }
    result.duplicateCount = result.pieceCount - result.addedCount;
    return result;
}

// Typical lists of a million lines and more are made once per process.
const std::u16string& CachedTypicalList(std::size_t lines) {
    static std::map<std::size_t, std::u16string> lists;
    auto [at, added] = lists.try_emplace(lines);
    if (added) at->second = TypicalList(lines);
    return at->second;
}

double SecondsOf(const auto& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The removal on typical lists of 1, 3 and 10 million lines beside the
// reference, each timed in turn in every iteration: reference_multiple is
// the removal's time over the reference's, per_unit_vs_1M its time per unit
// over that of the million lines measured earlier in the same process. The
// floor is one pass that reads every unit, splitting the text into lines:
// no removal can take less.
void TypicalAtScale(benchmark::State& state) {
    static double perUnitAtMillion = 0;
    const std::u16string& text = CachedTypicalList(static_cast<std::size_t>(state.range(0)));
    double removal = 0;
    double reference = 0;
    double floor = 0;
    for (auto _ : state) {
        const double seconds =
            SecondsOf([&] { benchmark::DoNotOptimize(RemoveDuplicateLines(text).addedCount); });
        reference += SecondsOf([&] { benchmark::DoNotOptimize(ExactLineDedupe(text).addedCount); });
        floor += SecondsOf([&] { benchmark::DoNotOptimize(SplitText(text).size()); });
        removal += seconds;
        state.SetIterationTime(seconds);
    }
    const auto units = static_cast<double>(text.size());
    const auto iterations = static_cast<double>(state.iterations());
    const double perUnit = removal / iterations / units;
    if (state.range(0) == 1'000'000) perUnitAtMillion = perUnit;
    state.counters["units"] = units;
    state.counters["time_per_unit"] = perUnit;
    state.counters["reference_time_per_unit"] = reference / iterations / units;
    state.counters["reference_multiple"] = removal / reference;
    state.counters["floor_time_per_unit"] = floor / iterations / units;
    if (perUnitAtMillion > 0) state.counters["per_unit_vs_1M"] = perUnit / perUnitAtMillion;
}

void Typical(benchmark::State& state) {
    Fast(state, TypicalList(static_cast<std::size_t>(state.range(0))));
}
void TypicalPlain(benchmark::State& state) {
    Measure(state, TypicalList(static_cast<std::size_t>(state.range(0))),
            [](std::u16string_view t) { return testing::PlainRemoveDuplicateLines(t); });
}

// Shapes that only stress the time taken.
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

// Shapes built against the removal's shortcuts (hostile_texts.h).
void HostilePiecesOfOneLine(benchmark::State& state) {
    Fast(state, PiecesOfOneLine(static_cast<std::size_t>(state.range(0)), 4'000'000, 1'000'000));
}
void HostileKeysThatOccurEverywhere(benchmark::State& state) {
    Fast(state, KeysThatOccurEverywhere(1'000'000));
}
void HostileSharedKeyManyCharacters(benchmark::State& state) {
    Fast(state, SharedKeyManyCharacters(1'000'000, 20'000));
}
void HostileDenseShortLines(benchmark::State& state) {
    Fast(state, DenseShortLines(200'000, 800'000));
}
void HostileAllUnitsThenAlteredPieces(benchmark::State& state) {
    Fast(state, AllUnitsThenAlteredPieces(1'000'000));
}
void HostileEmptyLines(benchmark::State& state) { Fast(state, EmptyLines(10'000'000)); }
void HostileDistinctTinyLines(benchmark::State& state) {
    Fast(state, DistinctTinyLines(5'000'000));
}
void HostileTypicalAfterAJointLine(benchmark::State& state) {
    Fast(state, TypicalAfterAJointLine(1'000'000));
}
void HostileTypicalThenPiecesOfOneLine(benchmark::State& state) {
    Fast(state, TypicalThenPiecesOfOneLine(100'000, 1'000'000));
}
void HostileSharedKeyRandomTails(benchmark::State& state) {
    Fast(state, SharedKeyRandomTails(1'000'000));
}
void HostileRunsEndingInB(benchmark::State& state) { Fast(state, RunsEndingInB(4'000'000)); }
void HostileBuiltAgainstKnownKeys(benchmark::State& state) {
    Fast(state, BuiltAgainstKnownKeys(static_cast<std::size_t>(state.range(0)), 1));
}

BENCHMARK(Typical)->Arg(32'767)->Arg(1'000'000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(TypicalAtScale)
    ->Arg(1'000'000)
    ->Arg(3'000'000)
    ->Arg(10'000'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(TypicalPlain)->Arg(32'767)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LongLineThenItsPieces)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LinesEndingInCrCrLf)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LinesSeparatedByCrLfLf)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(MillionIdenticalLines)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(RunsOfAInRandomOrder)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(NoLineBreak)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostilePiecesOfOneLine)
    ->DenseRange(2, 6)
    ->Arg(10)
    ->Arg(40)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(HostileKeysThatOccurEverywhere)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileSharedKeyManyCharacters)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileDenseShortLines)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileAllUnitsThenAlteredPieces)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileEmptyLines)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileDistinctTinyLines)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileTypicalAfterAJointLine)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileTypicalThenPiecesOfOneLine)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileSharedKeyRandomTails)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileRunsEndingInB)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HostileBuiltAgainstKnownKeys)
    ->Arg(20'000)
    ->Arg(80'000)
    ->Arg(320'000)
    ->Arg(1'280'000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane::bench

BENCHMARK_MAIN();
