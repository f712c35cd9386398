// SPDX-License-Identifier: MIT

#include "fileio/text_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "fileio/file_error.h"
#include "fileio/iconv_converter.h"
#include "fileio/utf8_bytes.h"

namespace vorlane {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;
constexpr std::size_t kMostBytesPerUnit = 3;  // UTF-8 and UTF-16

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

char* EncodeUtf16(std::u16string_view text, bool bigEndian, char* out) {
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        *out++ = bigEndian ? high : low;
        *out++ = bigEndian ? low : high;
    }
    return out;
}

}  // namespace

TextWriter::TextWriter(OutputFile& output, const TextEncoding& encoding)
    : output_(output),
      encoding_(encoding),
      buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {
    if (encoding.form() == TextEncoding::Form::kNamed) {
        converter_ = std::make_unique<IconvConverter>(encoding.name().c_str(), kNativeUtf16);
    }
    const std::string_view bom = encoding.byteOrderMark();
    used_ =
        static_cast<std::size_t>(std::copy(bom.begin(), bom.end(), buffer_.get()) - buffer_.get());
}

TextWriter::~TextWriter() = default;

void TextWriter::Write(std::u16string_view text) {
    if (text.empty()) return;
    if (converter_) return WriteNamed(text);
    while (!text.empty()) {
        std::size_t count = std::min(text.size(), (kBufferSize - used_) / kMostBytesPerUnit);
        if (count < text.size() && count > 0 && IsHighSurrogate(text[count - 1])) --count;
        if (count == 0) {
            Flush();
            continue;
        }
        char* out = buffer_.get() + used_;
        const std::u16string_view piece = text.substr(0, count);
        out = encoding_.form() == TextEncoding::Form::kUtf8
                  ? EncodeUtf8(piece, out)
                  : EncodeUtf16(piece, encoding_.form() == TextEncoding::Form::kUtf16Be, out);
        used_ = static_cast<std::size_t>(out - buffer_.get());
        text.remove_prefix(count);
    }
}

void TextWriter::WriteNamed(std::u16string_view text) {
    const char* in = reinterpret_cast<const char*>(text.data());
    std::size_t inLeft = text.size() * sizeof(char16_t);
    // With no text, ends the shift state of an encoding that has one.
    const bool ending = text.empty();
    for (;;) {
        char* out = buffer_.get() + used_;
        std::size_t outLeft = kBufferSize - used_;
        const bool done = converter_->Convert(ending ? nullptr : &in, &inLeft, &out, &outLeft);
        const int error = errno;
        used_ = kBufferSize - outLeft;
        if (done) return;
        if (error != E2BIG) {
            const auto* unit = reinterpret_cast<const char16_t*>(in);
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(*unit));
            throw FileError(std::string("字符 ") + code + " 无法用 " + encoding_.name() +
                            " 编码写出");
        }
        Flush();
    }
}

void TextWriter::Flush() {
    output_.Write({buffer_.get(), used_});
    used_ = 0;
}

void TextWriter::Finish() {
    if (converter_) WriteNamed({});
    Flush();
}

}  // namespace vorlane
