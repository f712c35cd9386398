#pragma once

#include "command_window.h"

namespace vorlane {

// Runs duplicate-line removal on the window's text: writes the kept lines back
// and shows the summary. Does nothing when the text is empty.
void RunDuplicateLineRemoval(CommandWindow& window);

}  // namespace vorlane
