// SPDX-License-Identifier: MIT

#pragma once

// Conversions between Qt's strings and the UTF-16 texts of the core, unit for
// unit.

#include <QString>
#include <string>
#include <string_view>

namespace vorlane {

inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16String(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace vorlane
