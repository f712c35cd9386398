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
#include <vector>

#include "fileio/text_encoding.h"

namespace vorlane {

// The kinds of line break a file may use.
enum class LineBreak { kCrLf, kLf, kCr };

std::u16string_view LineBreakText(LineBreak lineBreak);

// The bytes of an input whose text cannot give them back exactly (one in a
// named encoding: iconv maps some characters from two byte sequences), to
// write its lines back as they came. Line i (from 0) is
// bytes[LineStart(i), LineEnd(i)); breaks[i] is where the i-th line break's
// bytes start and end.
struct LineBytes {
    struct Span {
        std::uint64_t start;
        std::uint64_t end;
    };
    std::string bytes;  // after the byte order mark
    std::vector<Span> breaks;

    std::size_t LineStart(std::size_t i) const {
        return i == 0 ? 0 : static_cast<std::size_t>(breaks[i - 1].end);
    }
    std::size_t LineEnd(std::size_t i) const {
        return i < breaks.size() ? static_cast<std::size_t>(breaks[i].start) : bytes.size();
    }
    std::string_view Line(std::size_t i) const {
        return std::string_view(bytes).substr(LineStart(i), LineEnd(i) - LineStart(i));
    }
    // The first line break as the input wrote it; empty when it has none.
    std::string_view FirstLineBreak() const {
        if (breaks.empty()) return {};
        return std::string_view(bytes).substr(breaks[0].start, breaks[0].end - breaks[0].start);
    }
};

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
              TextEncoding encoding, std::unique_ptr<LineBytes> lineBytes = {})
        : units_(std::move(units)),
          size_(size),
          endsWithLineBreak_(endsWithLineBreak),
          firstLineBreak_(firstLineBreak),
          encoding_(std::move(encoding)),
          lineBytes_(std::move(lineBytes)) {}

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
    // The input's own bytes by line, for a named encoding; nullptr for UTF-8
    // and UTF-16, whose text turns back into exactly the bytes it came from.
    const LineBytes* lineBytes() const { return lineBytes_.get(); }

private:
    Units units_;
    std::size_t size_;
    bool endsWithLineBreak_;
    LineBreak firstLineBreak_;
    TextEncoding encoding_;
    std::unique_ptr<LineBytes> lineBytes_;
};

// Called as bytes arrive: how many so far, and how many in all (0 when unknown).
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Offered each piece of the text as soon as it is decoded, in order, with the
// encoding; returns whether it took the piece. A piece taken is dropped; once
// one is declined, no more are offered and the rest of the text is kept.
// Pieces are offered only for UTF-8 and UTF-16 inputs, which keep no LineBytes.
using TextPieces = std::function<bool(std::u16string_view piece, const TextEncoding& encoding)>;

// Reads the file `path`, or standard input when `path` is "-", and decodes it
// from the encoding `named`, or else from the one its byte order mark shows
// (UTF-8 when it has none). Throws FileError when the input cannot be opened
// or read, is a directory, or holds bytes that are not valid in the encoding,
// naming the byte offset of the first of them. Bytes that are not valid UTF-8
// are no error when the encoding was not named: they pass through.
// With `pieces`, the text may be handed over in pieces as it is read: what is
// returned is then the text after the last piece taken. Pieces never end
// inside a CR LF or between the two units of a character (StartsTwoUnits).
// Standard input that was closed when the program started is an error.
InputText ReadInputText(const std::string& path, const std::optional<TextEncoding>& named,
                        const ReadProgress& progress = {}, const TextPieces& pieces = {});

// How messages name `path`: "标准输入" for "-".
std::string InputName(const std::string& path);

}  // namespace vorlane
