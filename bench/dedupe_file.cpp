// SPDX-License-Identifier: MIT

// vorlane_dedupe_file FILE [-o OUT]: runs duplicate-line removal on a UTF-8
// file, prints the three counts and the time taken, and with -o writes the
// kept lines to OUT. Lines end at CR LF; the result has no final line break.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "remove_duplicate_lines.h"
#include "utf8_bytes.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int Usage() {
    std::cerr << "usage: vorlane_dedupe_file FILE [-o OUT]\n";
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "-o")) return Usage();
    const Clock::time_point start = Clock::now();
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::u16string text;
    {
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        text = vorlane::bench::DecodeUtf8(bytes);
    }
    const double readMs = MillisecondsSince(start);

    const Clock::time_point removalStart = Clock::now();
    const vorlane::DuplicateRemovalResult result = vorlane::RemoveDuplicateLines(text);
    const double removalMs = MillisecondsSince(removalStart);

    const Clock::time_point writeStart = Clock::now();
    if (argc == 4) {
        std::ofstream out(argv[3], std::ios::binary);
        const std::string bytes = vorlane::bench::EncodeUtf8(result.text);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::cerr << "cannot write " << argv[3] << "\n";
            return 1;
        }
    }
    const double writeMs = MillisecondsSince(writeStart);

    std::printf(
        "pieces %lld\nadded %lld\nduplicates %lld\n", static_cast<long long>(result.pieceCount),
        static_cast<long long>(result.addedCount), static_cast<long long>(result.duplicateCount));
    std::printf("milliseconds %.1f (read %.1f, write %.1f, total %.1f)\n", removalMs, readMs,
                writeMs, MillisecondsSince(start));
    return 0;
}
