// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// How a file's text is encoded: recognised from its byte order mark, or named
// by the user. The result is written back the same way, BOM included.
class TextEncoding {
public:
    enum class Form {
        kUtf8,     // bytes that are not valid UTF-8 pass through unchanged
        kUtf16Le,  // recognised by its BOM only
        kUtf16Be,  // recognised by its BOM only
        kNamed,    // any encoding the system's converter (iconv) knows, strictly
    };

    // UTF-32 LE or BE, or UTF-16 LE or BE, when `bytes` start with its byte
    // order mark, else UTF-8 (with the BOM when they start with one). UTF-32 is
    // a named encoding with a BOM. A UTF-16 LE text that starts with U+0000
    // reads as UTF-32 LE: its first bytes are the same.
    static TextEncoding Recognise(std::string_view bytes);
    // The most bytes Recognise looks at.
    static constexpr std::size_t kLongestByteOrderMark = 4;

    // The encoding that iconv calls `name` (GB18030, GBK, BIG5, SHIFT_JIS,
    // UTF-8, …), or nothing when it knows no such name. Its bytes are taken as
    // they are: a BOM in them is a character of the text.
    static std::optional<TextEncoding> Find(std::string_view name);

    Form form() const { return form_; }
    // The name to show the user, e.g. "UTF-8" or the name as given.
    const std::string& name() const { return name_; }
    // What the input's bytes start with before the text; written back first.
    std::string_view byteOrderMark() const { return byteOrderMark_; }

    // Whether `text` can be written in this encoding. Lone surrogates cannot,
    // except in UTF-8, where escaped bytes (utf8_bytes.h) stand for bytes that
    // passed through.
    bool CanEncode(std::u16string_view text) const;

private:
    TextEncoding(Form form, std::string name, std::string_view byteOrderMark)
        : form_(form), name_(std::move(name)), byteOrderMark_(byteOrderMark) {}

    Form form_;
    std::string name_;
    std::string_view byteOrderMark_;
};

}  // namespace vorlane
