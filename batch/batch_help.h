// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// What the two commands do, in Simplified Chinese as UTF-8, as their help lists
// them: an indented entry per command, ending with a line break. The program's
// own help lists them the same way.
std::string_view BatchCommandList();

// The help of `vorlane dedupe` and `vorlane join`.
std::string BatchHelp();

}  // namespace vorlane
