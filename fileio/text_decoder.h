// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fileio/input_text.h"
#include "fileio/text_encoding.h"

namespace vorlane {

class IconvConverter;

// Decodes an input's bytes into an InputText piece by piece, as they are read,
// so that the whole input is never held as bytes too.
class TextDecoder {
public:
    // `named` is the encoding the user named, or none to recognise it from the
    // first bytes. `source` names the input in messages. `expectedBytes`, when
    // not 0, is how many bytes the input will have: room for their text is
    // then taken at once.
    TextDecoder(const std::optional<TextEncoding>& named, std::string source,
                std::uint64_t expectedBytes = 0);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // Decodes what it can of `bytes`, which follow those used before, and
    // returns how many it used; the rest (the start of a character cut short,
    // a few bytes) must come again, first, in the next call. With `last`, the
    // input ends with `bytes`: it uses them all, or throws FileError for bytes
    // that are not valid in the encoding.
    std::size_t Decode(std::string_view bytes, bool last);

    // The text decoded so far and not dropped, less a CR LF at its end, which
    // may turn out to end the input; and the encoding it was decoded from.
    std::u16string_view Ready() const;
    const TextEncoding& encoding() const { return *encoding_; }
    // Whether the input's bytes are kept by line (InputText::lineBytes), so
    // that nothing may be dropped.
    bool keepsLineBytes() const { return lineBytes_ != nullptr; }
    // Drops what Ready() shows, to take no more memory for it.
    void DropReady();

    InputText Finish() &&;

    class Builder;

private:
    std::size_t DecodeUtf16(std::string_view bytes, bool last);
    std::size_t DecodeNamed(std::string_view bytes, bool last);
    // Keeps the bytes of one character and appends its units.
    void KeepBytes(std::string_view bytes, std::u16string_view units);
    [[noreturn]] void ThrowInvalid(std::size_t at) const;

    std::optional<TextEncoding> encoding_;
    std::string source_;
    std::uint64_t expectedBytes_;
    std::uint64_t usedBefore_ = 0;  // bytes used by earlier calls
    std::uint64_t restOffset_ = 0;  // where the bytes being decoded start in the input
    std::unique_ptr<Builder> text_;
    std::unique_ptr<IconvConverter> converter_;
    std::unique_ptr<LineBytes> lineBytes_;  // for a named encoding
    char16_t previousUnit_ = 0;
};

}  // namespace vorlane
