// SPDX-License-Identifier: MIT

#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vorlane {

// A modal box owned by `owner` that shows `prompt` above a one-line field
// holding `initialText`, selected, with OK and Cancel. Returns the field's
// text on OK, and an empty text on Cancel, Esc or closing the box. Throws
// std::runtime_error when the box cannot be shown.
std::u16string AskTextInBox(HWND owner, std::u16string_view prompt, std::u16string_view title,
                            std::u16string_view initialText);

}  // namespace vorlane
