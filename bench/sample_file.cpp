// SPDX-License-Identifier: MIT

// vorlane_sample_file LINES OUT: writes the typical list of LINES lines (the
// one the benchmarks use) to OUT as UTF-8, for timing other tools on it.

#include <fstream>
#include <iostream>
#include <string>

#include "sample_texts.h"
#include "utf8_bytes.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "usage: vorlane_sample_file LINES OUT\n";
        return 2;
    }
    const std::string bytes =
        vorlane::bench::EncodeUtf8(vorlane::bench::TypicalList(std::stoul(argv[1])));
    std::ofstream out(argv[2], std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.flush() ? 0 : 1;
}
