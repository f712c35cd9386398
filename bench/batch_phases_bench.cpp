// SPDX-License-Identifier: MIT

// The stages of `vorlane dedupe FILE -o OUT` one by one, on the typical list
// with LF line breaks: reading and decoding the file, FindKeptLines, writing
// the kept lines to a new file. Each reports bytes_per_second, per byte of the
// input file. The list has VORLANE_BENCH_LINES lines (default 1,000,000) and
// is written to a temporary folder first.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "batch/write_kept_lines.h"
#include "fileio/input_text.h"
#include "fileio/output_file.h"
#include "fileio/text_writer.h"
#include "fileio/utf8_bytes.h"
#include "removal/remove_duplicate_lines.h"
#include "testing/sample_texts.h"

namespace vorlane::bench {

using testing::TypicalList;
namespace {

struct Stages {
    std::filesystem::path folder;
    std::int64_t fileBytes = 0;
    std::optional<InputText> input;
    std::vector<bool> kept;

    Stages() {
        const char* lines = std::getenv("VORLANE_BENCH_LINES");
        char pattern[] = "/tmp/vorlane-batch-bench.XXXXXX";
        folder = mkdtemp(pattern);
        const std::string bytes =
            EncodeUtf8(TypicalList(lines != nullptr ? std::stoul(lines) : 1000000, u"\n"));
        std::ofstream(folder / "list.txt", std::ios::binary) << bytes;
        fileBytes = static_cast<std::int64_t>(bytes.size());
    }
    ~Stages() { std::filesystem::remove_all(folder); }
};

Stages& TheStages() {
    static Stages stages;
    return stages;
}

void BM_ReadAndDecode(benchmark::State& state) {
    Stages& stages = TheStages();
    for (auto _ : state) {
        stages.input.reset();
        stages.input.emplace(ReadInputText(stages.folder / "list.txt", std::nullopt));
    }
    state.SetBytesProcessed(state.iterations() * stages.fileBytes);
}

void BM_FindKeptLines(benchmark::State& state) {
    Stages& stages = TheStages();
    for (auto _ : state) stages.kept = FindKeptLines(stages.input->text());
    state.SetBytesProcessed(state.iterations() * stages.fileBytes);
}

void BM_WriteKeptLines(benchmark::State& state) {
    Stages& stages = TheStages();
    for (auto _ : state) {
        std::filesystem::remove(stages.folder / "out.txt");
        OutputFile output(stages.folder / "out.txt");
        TextWriter writer(output, stages.input->encoding());
        WriteKeptLines(*stages.input, stages.kept, writer);
        writer.Finish();
        output.Commit();
    }
    state.SetBytesProcessed(state.iterations() * stages.fileBytes);
}

// In this order: each stage takes what the one before it made.
BENCHMARK(BM_ReadAndDecode)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FindKeptLines)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WriteKeptLines)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace vorlane::bench

BENCHMARK_MAIN();
