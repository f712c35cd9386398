// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// Returns `text` with every CR LF replaced by `separator`, in one left-to-right
// pass: a lone CR or LF stays, and the separator is never searched again, so
// one that itself holds a line break is emitted as it is.
std::u16string ReplaceLineBreaks(std::u16string_view text, std::u16string_view separator);

}  // namespace vorlane
