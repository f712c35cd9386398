// SPDX-License-Identifier: MIT

#pragma once

#include "window/command_window.h"

namespace vorlane {

// Runs duplicate-line removal on the window's text: writes the kept lines back
// and shows the summary. Does nothing when the text is empty.
void RunDuplicateLineRemoval(CommandWindow& window);

// Asks for a separator and replaces every line break in the window's text with
// it. An empty answer (cancel, or OK on an empty field) leaves the text alone.
void RunLineBreakReplacement(CommandWindow& window);

}  // namespace vorlane
