// SPDX-License-Identifier: MIT

#pragma once

// A pass that finds where open lines first occur by reading the text after
// every occurrence of their start keys.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "removal/internal/private.h"
#include "text/split_text.h"

namespace vorlane::internal {

// Looks for the open lines by walking from the occurrences of their keys,
// within `steps` steps. Settles those it reaches; returns the others.
std::vector<std::uint32_t> SettleByWalking(const LineSelection& lines,
                                           const std::vector<std::uint32_t>& open,
                                           std::size_t steps, std::vector<bool>& found);

}  // namespace vorlane::internal
