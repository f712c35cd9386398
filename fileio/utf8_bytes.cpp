// SPDX-License-Identifier: MIT

#include "fileio/utf8_bytes.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vorlane {
namespace {

// The length of the valid UTF-8 sequence starting at bytes[at], or 0 if none does.
std::size_t ValidSequenceLength(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;   // bounds of the second byte, which rule out
    unsigned char high = 0xBF;  // overlong forms, surrogates and values past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() - at < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsEscapedByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

char* Put(char32_t byte, char* out) {
    *out = static_cast<char>(byte);
    return out + 1;
}

char* PutCodePoint(char32_t point, char* out) {
    if (point < 0x80) return Put(point, out);
    if (point < 0x800) return Put(0x80 | (point & 0x3F), Put(0xC0 | (point >> 6), out));
    if (point < 0x10000) {
        out = Put(0xE0 | (point >> 12), out);
        return Put(0x80 | (point & 0x3F), Put(0x80 | ((point >> 6) & 0x3F), out));
    }
    out = Put(0x80 | ((point >> 12) & 0x3F), Put(0xF0 | (point >> 18), out));
    return Put(0x80 | (point & 0x3F), Put(0x80 | ((point >> 6) & 0x3F), out));
}

// Writes the ASCII units that `text` starts with as bytes at `out`, eight at a
// time while they last, and returns how many it wrote.
std::size_t NarrowAscii(std::u16string_view text, char* out) {
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i high = _mm_and_si128(eight, nonAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(eight, eight));
    }
#endif
    for (; i < text.size() && text[i] < 0x80; ++i) out[i] = static_cast<char>(text[i]);
    return i;
}

}  // namespace

Utf8Character DecodeUtf8Character(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = ValidSequenceLength(bytes, at);
    if (length == 0) return {{static_cast<char16_t>(0xDC00 + lead)}, 1, 1};  // an escaped byte
    if (length == 1) return {{lead}, 1, 1};
    char32_t point = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        point = (point << 6) | (static_cast<unsigned char>(bytes[at + k]) & 0x3Fu);
    }
    if (point < 0x10000) return {{static_cast<char16_t>(point)}, 1, length};
    return {{static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)),
             static_cast<char16_t>(0xDC00 + (point & 0x3FF))},
            2,
            length};
}

std::u16string DecodeUtf8(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const Utf8Character character = DecodeUtf8Character(bytes, at);
        text.append(character.units, character.unitCount);
        at += character.byteCount;
    }
    return text;
}

char* EncodeUtf8(std::u16string_view text, char* out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t ascii = NarrowAscii(text.substr(i), out);
        out += ascii;
        i += ascii;
        if (i == text.size()) break;
        const char16_t unit = text[i];  // not ASCII
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out = PutCodePoint(
                0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00u), out);
            ++i;
        } else if (IsEscapedByte(unit)) {
            out = Put(unit - 0xDC00u, out);
        } else {
            out = PutCodePoint(unit, out);
        }
    }
    return out;
}

std::string EncodeUtf8(std::u16string_view text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(EncodeUtf8(text, bytes.data()) - bytes.data()));
    return bytes;
}

}  // namespace vorlane
