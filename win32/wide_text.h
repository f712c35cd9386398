// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

// Windows' wide characters are UTF-16 code units, the units of every text the
// core works on: these turn one into the other, unit for unit.
namespace vorlane {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is one UTF-16 unit");

// A null-terminated copy for the Win32 API.
inline std::wstring ToWide(std::u16string_view text) { return {text.begin(), text.end()}; }

inline std::u16string FromWide(std::wstring_view text) { return {text.begin(), text.end()}; }

}  // namespace vorlane
