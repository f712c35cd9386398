// SPDX-License-Identifier: MIT

#include "batch/progress_line.h"

#include <gtest/gtest.h>

#include <functional>

#include "batch/write_kept_lines.h"
#include "fileio/output_file.h"
#include "tests/fileio/temporary_folder.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;

// What the line says after each way of driving it: the stage's label, and the
// share done only where the stage's amount is known.
TEST(ProgressLine, SaysTheStageAndTheShareDoneWhereItIsKnown) {
    const struct {
        const char* what;
        std::function<void(ProgressLine&)> drive;
        const char* says;
    } cases[] = {
        {"a stage of unknown amount", [](ProgressLine& p) { p.Stage("正在去除重复行"); },
         "vorlane：正在去除重复行…（已用 7 秒）"},
        {"a quarter done",
         [](ProgressLine& p) {
             p.Stage("正在写出", 200);
             p.Advance(50);
         },
         "vorlane：正在写出… 25%（已用 7 秒）"},
        {"more done than the total",
         [](ProgressLine& p) {
             p.Stage("正在写出", 10);
             p.Advance(20);
         },
         "vorlane：正在写出… 100%（已用 7 秒）"},
        {"a new stage starts from nothing",
         [](ProgressLine& p) {
             p.Stage("正在读取", 10);
             p.Advance(5);
             p.Stage("正在写出", 10);
         },
         "vorlane：正在写出… 0%（已用 7 秒）"},
        {"reading a pipe, of unknown size", [](ProgressLine& p) { p.Reading("正在读取")(300, 0); },
         "vorlane：正在读取…（已用 7 秒）"},
        {"reading a file",
         [](ProgressLine& p) {
             const ReadProgress read = p.Reading("正在读取");
             read(300, 1200);
         },
         "vorlane：正在读取… 25%（已用 7 秒）"},
        {"reading a file to its end",
         [](ProgressLine& p) {
             const ReadProgress read = p.Reading("正在连接");
             read(300, 1200);
             read(1200, 1200);
         },
         "vorlane：正在连接… 100%（已用 7 秒）"},
        {"reading a file that grew",
         [](ProgressLine& p) {
             const ReadProgress read = p.Reading("正在读取");
             read(300, 1200);
             read(600, 2400);
         },
         "vorlane：正在读取… 25%（已用 7 秒）"},
    };
    for (const auto& c : cases) {
        ProgressLine progress(false);
        c.drive(progress);
        EXPECT_EQ(progress.Describe(7s), c.says) << c.what;
    }
}

TEST(ProgressLine, FollowsTheWritingOfKeptLines) {
    testing::TemporaryFolder folder;
    testing::WriteFile(folder / "in", "a\nb\na\n");
    const InputText input = ReadInputText(folder / "in", std::nullopt);
    OutputFile output(folder / "out");
    TextWriter writer(output, input.encoding());
    ProgressLine progress(false);
    progress.Stage("正在去除重复行");
    WriteKeptLines(input, {true, true, false, false}, writer, &progress);
    EXPECT_EQ(progress.Describe(0s), "vorlane：正在写出… 0%（已用 0 秒）");
}

}  // namespace
}  // namespace vorlane
