// SPDX-License-Identifier: MIT

#pragma once

#include <memory>
#include <string_view>

#include "fileio/output_file.h"
#include "fileio/text_encoding.h"

namespace vorlane {

class IconvConverter;

// Writes UTF-16 text to an output in an encoding, through a buffer, starting
// with the encoding's byte order mark.
class TextWriter {
public:
    TextWriter(OutputFile& output, const TextEncoding& encoding);
    ~TextWriter();

    // Writes `text`. A text may be written in several pieces, but no piece may
    // end between the two units of a pair. Throws FileError for a character
    // the encoding cannot write.
    void Write(std::u16string_view text);
    // Writes out what is buffered; call it once, after the last Write.
    void Finish();

private:
    void Flush();
    void WriteNamed(std::u16string_view text);

    OutputFile& output_;
    const TextEncoding encoding_;
    std::unique_ptr<IconvConverter> converter_;  // for a named encoding
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace vorlane
