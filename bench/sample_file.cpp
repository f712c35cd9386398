// SPDX-License-Identifier: MIT

// vorlane_sample_file LINES OUT [lf]: writes the typical list of LINES lines
// (the one the benchmarks use) to OUT as UTF-8, each line ended by CR LF, or
// by LF when asked, for timing other tools on it.

#include <fstream>
#include <iostream>
#include <string>

#include "fileio/utf8_bytes.h"
#include "testing/sample_texts.h"

int main(int argc, char* argv[]) {
    const bool lf = argc == 4 && std::string(argv[3]) == "lf";
    if (argc != 3 && !lf) {
        std::cerr << "usage: vorlane_sample_file LINES OUT [lf]\n";
        return 2;
    }
    const std::string bytes = vorlane::EncodeUtf8(
        vorlane::testing::TypicalList(std::stoul(argv[1]), lf ? u"\n" : u"\r\n"));
    std::ofstream out(argv[2], std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.flush() ? 0 : 1;
}
