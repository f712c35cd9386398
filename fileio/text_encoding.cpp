// SPDX-License-Identifier: MIT

#include "fileio/text_encoding.h"

#include <cerrno>

#include "fileio/iconv_converter.h"
#include "fileio/utf8_bytes.h"
#include "text/utf16.h"

namespace vorlane {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kUtf32LeBom{"\xFF\xFE\0\0", 4};
constexpr std::string_view kUtf32BeBom{"\0\0\xFE\xFF", 4};

bool HasLoneSurrogate(std::u16string_view text, bool escapedBytesAllowed) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pairs =
            i + 1 < text.size() &&
            (IsHighSurrogate(text[i])
                 ? IsLowSurrogate(text[i + 1])
                 : escapedBytesAllowed && text[i] == kEscapeLead && IsEscapedByte(text[i + 1]));
        if (pairs) {
            ++i;
        } else if (IsSurrogate(text[i])) {
            return true;
        }
    }
    return false;
}

}  // namespace

TextEncoding TextEncoding::Recognise(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return {Form::kUtf8, "UTF-8", kUtf8Bom};
    // Before UTF-16 LE, whose BOM starts UTF-32 LE's.
    if (bytes.starts_with(kUtf32LeBom)) return {Form::kNamed, "UTF-32LE", kUtf32LeBom};
    if (bytes.starts_with(kUtf32BeBom)) return {Form::kNamed, "UTF-32BE", kUtf32BeBom};
    if (bytes.starts_with(kUtf16LeBom)) return {Form::kUtf16Le, "UTF-16LE", kUtf16LeBom};
    if (bytes.starts_with(kUtf16BeBom)) return {Form::kUtf16Be, "UTF-16BE", kUtf16BeBom};
    return {Form::kUtf8, "UTF-8", {}};
}

std::optional<TextEncoding> TextEncoding::Find(std::string_view name) {
    const std::string copy(name);
    if (copy.empty() || !IconvConverter(kNativeUtf16, copy.c_str()).valid() ||
        !IconvConverter(copy.c_str(), kNativeUtf16).valid()) {
        return std::nullopt;
    }
    return TextEncoding(Form::kNamed, copy, {});
}

bool TextEncoding::CanEncode(std::u16string_view text) const {
    if (HasLoneSurrogate(text, form_ == Form::kUtf8)) return false;
    if (form_ != Form::kNamed) return true;
    IconvConverter converter(name_.c_str(), kNativeUtf16);
    const char* in = reinterpret_cast<const char*>(text.data());
    std::size_t inLeft = text.size() * sizeof(char16_t);
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (!converter.Convert(&in, &inLeft, &out, &outLeft) && errno != E2BIG) return false;
    }
    return true;
}

}  // namespace vorlane
