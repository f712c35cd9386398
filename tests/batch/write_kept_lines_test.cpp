// SPDX-License-Identifier: MIT

#include "batch/write_kept_lines.h"

#include <gtest/gtest.h>

#include "fileio/output_file.h"
#include "removal/remove_duplicate_lines.h"
#include "tests/fileio/temporary_folder.h"

namespace vorlane {
namespace {

using testing::ReadFile;
using testing::TemporaryFolder;
using testing::WriteFile;

enum class Command { kDedupe, kJoin };

// Runs one command over `bytes` as the batch commands do, and returns what it wrote.
std::string RunCommand(Command command, const std::string& bytes, const char* encoding = nullptr) {
    TemporaryFolder folder;
    WriteFile(folder / "in", bytes);
    std::optional<TextEncoding> named;
    if (encoding != nullptr) named = TextEncoding::Find(encoding);
    const InputText input = ReadInputText(folder / "in", named);
    {
        OutputFile output(folder / "out");
        TextWriter writer(output, input.encoding());
        if (command == Command::kDedupe) {
            const std::vector<bool> kept =
                input.hasLines() ? FindKeptLines(input.text()) : std::vector<bool>();
            WriteKeptLines(input, kept, writer);
        } else {
            WriteJoinedLines(input, u"、", writer);
        }
        writer.Finish();
        output.Commit();
    }
    return ReadFile(folder / "out");
}

// Kept lines go back with their own bytes; only line breaks, separators and
// byte order marks are written by the program, in the input's encoding.
TEST(WriteKeptLines, WritesEveryKeptLineWithItsOwnBytes) {
    using namespace std::string_literals;
    const struct {
        const char* what;
        std::string input;
        const char* encoding;
        std::string deduped;
        std::string joined;
    } cases[] = {
        {"BIG5, a character with two byte sequences", "x \xA2\xCC y\r\nx \xA4\x51 y\r\n", "BIG5",
         "x \xA2\xCC y\r\n", "x \xA2\xCC y\xA1\x42x \xA4\x51 y\r\n"},
        {"CP932", "\x87\x90\n\x81\xE0\n", "CP932", "\x87\x90\n", "\x87\x90\x81\x41\x81\xE0\n"},
        {"GB18030, lone CRs", "\xD6\xD0\r\xD6\xD0\ra", "GB18030", "\xD6\xD0\ra",
         "\xD6\xD0\xA1\xA2\xD6\xD0\xA1\xA2"
         "a"},
        {"UTF-32 BE by its BOM", "\0\0\xFE\xFF\0\0\0a\0\0\0\n\0\0\0a\0\0\0\n"s, nullptr,
         "\0\0\xFE\xFF\0\0\0a\0\0\0\n"s, "\0\0\xFE\xFF\0\0\0a\0\0\x30\x01\0\0\0a\0\0\0\n"s},
        {"UTF-16 BE", "\xFE\xFF\0a\0\r\0\n\0b"s, nullptr, "\xFE\xFF\0a\0\r\0\n\0b"s,
         "\xFE\xFF\0a\x30\x01\0b"s},
        {"invalid UTF-8", "\xC1\n\xF0\x90\x83\x81\n\xC1\n", nullptr, "\xC1\n\xF0\x90\x83\x81\n",
         "\xC1\xE3\x80\x81\xF0\x90\x83\x81\xE3\x80\x81\xC1\n"},
        {"empty lines", "\n\n", nullptr, "", "\xE3\x80\x81\n"},
        {"nothing", "", nullptr, "", ""},
        {"nothing, named", "", "GB18030", "", ""},
        {"one empty line, named", "\n", "GB18030", "", "\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunCommand(Command::kDedupe, c.input, c.encoding), c.deduped) << c.what;
        EXPECT_EQ(RunCommand(Command::kJoin, c.input, c.encoding), c.joined) << c.what;
    }
}

}  // namespace
}  // namespace vorlane
