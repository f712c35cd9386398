// SPDX-License-Identifier: MIT

#include "fileio/input_text.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "fileio/file_error.h"
#include "fileio/utf8_bytes.h"
#include "tests/fileio/temporary_folder.h"

namespace vorlane {
namespace {

extern "C" void IgnoreAlarm(int) {}

// A read that a signal interrupts (a handler without SA_RESTART) is tried again.
TEST(InputText, ReadsOnWhenASignalInterruptsARead) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    struct sigaction action {};
    action.sa_handler = IgnoreAlarm;
    struct sigaction old {};
    sigaction(SIGALRM, &action, &old);
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_EQ(write(fds[1], "a\nb\n", 4), 4);
        close(fds[1]);
    });
    itimerval timer{};
    timer.it_value.tv_usec = 50000;  // well before the writer writes
    setitimer(ITIMER_REAL, &timer, nullptr);
    std::string text;
    try {
        const InputText input = ReadInputText("/dev/fd/" + std::to_string(fds[0]), std::nullopt);
        text.assign(input.text().begin(), input.text().end());
    } catch (const FileError& error) {
        ADD_FAILURE() << error.what();
    }
    writer.join();
    sigaction(SIGALRM, &old, nullptr);
    close(fds[0]);
    EXPECT_EQ(text, "a\r\nb");
}

TEST(InputText, OffersPiecesThatJoinToTheWholeText) {
    testing::TemporaryFolder folder;
    // Each shift puts the end of every read of 1 MiB at another byte of a
    // CR LF, of a four-byte character or of an invalid byte: what is cut
    // short stays for the next read.
    const std::string pattern = "ab\r\n\xF0\x9F\x98\x80\xC1";
    for (std::size_t shift = 0; shift < pattern.size(); ++shift) {
        std::string bytes(shift, 'x');
        while (bytes.size() < (std::size_t{3} << 20)) bytes += pattern;
        testing::WriteFile(folder / "in", bytes);
        std::u16string pieces;
        const InputText rest = ReadInputText(folder / "in", std::nullopt, {},
                                             [&](std::u16string_view piece, const TextEncoding&) {
                                                 EXPECT_FALSE(piece.ends_with(u'\r'));
                                                 EXPECT_FALSE(StartsTwoUnits(piece.back()));
                                                 pieces += piece;
                                                 return true;
                                             });
        // All but what the last read left is offered as it is read.
        EXPECT_LT(rest.text().size(), std::size_t{1} << 20) << "shift " << shift;
        pieces += rest.text();
        const InputText whole = ReadInputText(folder / "in", std::nullopt);
        EXPECT_EQ(pieces, whole.text()) << "shift " << shift;
        EXPECT_EQ(EncodeUtf8(whole.text()), bytes) << "shift " << shift;
    }
}

}  // namespace
}  // namespace vorlane
