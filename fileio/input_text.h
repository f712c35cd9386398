// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fileio/text_encoding.h"

namespace vorlane {

// The kinds of line break a file may use.
enum class LineBreak { kCrLf, kLf, kCr };

std::u16string_view LineBreakText(LineBreak lineBreak);

// A file's text as the text commands take it: UTF-16 with every line break
// (CR LF, a lone LF, a lone CR) written as CR LF, like the window's text box,
// and without the line break that ends the last line, so that a file of N
// lines, as `wc -l` counts them, has N lines here.
class InputText {
public:
    struct FreeUnits {
        void operator()(char16_t* units) const { std::free(units); }
    };
    using Units = std::unique_ptr<char16_t[], FreeUnits>;

    InputText(Units units, std::size_t size, bool endsWithLineBreak, LineBreak firstLineBreak,
              TextEncoding encoding)
        : units_(std::move(units)),
          size_(size),
          endsWithLineBreak_(endsWithLineBreak),
          firstLineBreak_(firstLineBreak),
          encoding_(std::move(encoding)) {}

    std::u16string_view text() const { return {units_.get(), size_}; }
    // False only for an input of no bytes (after its BOM): it has no line at
    // all, where the input "\n" has one empty line.
    bool hasLines() const { return size_ > 0 || endsWithLineBreak_; }
    // Whether a line break ended the last line.
    bool endsWithLineBreak() const { return endsWithLineBreak_; }
    // The first line break's kind; LF when the input has none.
    LineBreak firstLineBreak() const { return firstLineBreak_; }
    // The input's encoding, to write the result in.
    const TextEncoding& encoding() const { return encoding_; }

private:
    Units units_;
    std::size_t size_;
    bool endsWithLineBreak_;
    LineBreak firstLineBreak_;
    TextEncoding encoding_;
};

// Called as bytes arrive: how many so far, and how many in all (0 when unknown).
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Offered each piece of the text as soon as it is decoded, in order, with the
// encoding; returns whether it took the piece. A piece taken is dropped; once
// one is declined, no more are offered and the rest of the text is kept.
using TextPieces = std::function<bool(std::u16string_view piece, const TextEncoding& encoding)>;

// Reads the file `path`, or standard input when `path` is "-", and decodes it
// from the encoding `named`, or else from the one its byte order mark shows
// (UTF-8 when it has none). Throws FileError when the input cannot be opened
// or read, is a directory, or holds bytes that are not valid in the encoding,
// naming the byte offset of the first of them. Bytes that are not valid UTF-8
// are no error when the encoding was not named: they pass through.
// With `pieces`, the text may be handed over in pieces as it is read: what is
// returned is then the text after the last piece taken. Pieces never end
// inside a CR LF or between the two units of a pair.
InputText ReadInputText(const std::string& path, const std::optional<TextEncoding>& named,
                        const ReadProgress& progress = {}, const TextPieces& pieces = {});

// How messages name `path`: "标准输入" for "-".
std::string InputName(const std::string& path);

}  // namespace vorlane
