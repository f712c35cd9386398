// SPDX-License-Identifier: MIT

#pragma once

// A thin owner of an iconv conversion descriptor, for the named encodings.

#include <iconv.h>

#include <bit>
#include <cstddef>

namespace vorlane {

// UTF-16 in this machine's byte order, without a BOM: the text's own form.
inline constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

class IconvConverter {
public:
    // Converts from the encoding `from` to `to`; valid() tells whether iconv
    // knows both names.
    IconvConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvConverter() {
        if (valid()) iconv_close(handle_);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // As iconv(3): converts what it can, advancing the four arguments, and
    // returns false with errno set (E2BIG, EILSEQ, EINVAL) when it stops early.
    // With in == nullptr it writes the sequence that ends a shift state.
    bool Convert(const char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
        return iconv(handle_, const_cast<char**>(in), inLeft, out, outLeft) !=
               static_cast<std::size_t>(-1);
    }

private:
    iconv_t handle_;
};

}  // namespace vorlane
