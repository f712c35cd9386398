// SPDX-License-Identifier: MIT

#include "fileio/text_decoder.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "fileio/file_error.h"
#include "fileio/iconv_converter.h"
#include "fileio/utf8_bytes.h"
#include "text/huge_pages.h"
#include "text/utf16.h"

namespace vorlane {
namespace {

// Bytes offered to iconv at a time for a named encoding: more than its longest
// character in the usual encodings; a longer one gets more.
constexpr std::size_t kNamedWindow = 16;

}  // namespace

// Collects the decoded units of a text, writing every line break as CR LF.
// Every CR or LF of the input is a line break, so every CR LF of the result is
// one.
class TextDecoder::Builder {
public:
    // Starts with room for `expectedUnits`, backed by huge pages, which a
    // large text fills several times faster than pages of 4 KiB; else small
    // (a text used in pieces stays small, a large one grows).
    explicit Builder(std::size_t expectedUnits) {
        if (expectedUnits > kFirstCapacity) {
            units_.reset(static_cast<char16_t*>(std::malloc(expectedUnits * sizeof(char16_t))));
        }
        if (units_ == nullptr) {
            Reserve(kFirstCapacity);
            return;
        }
        capacity_ = expectedUnits;
        AdviseHugePages(units_.get(), capacity_ * sizeof(char16_t));
    }

    void Append(char16_t unit) {
        char16_t* const room = Room(2);
        size_ += static_cast<std::size_t>(Put(unit, room) - room);
    }

    // Appends the characters of UTF-8 `bytes` but a last one that may be cut
    // short, unless `last`; returns how many bytes it used.
    std::size_t AppendUtf8(std::string_view bytes, bool last) {
        // Two units per byte at most: an escaped byte, or a line break.
        char16_t* out = Room(2 * bytes.size());
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        std::size_t at = 0;
        while (at < bytes.size()) {
            if (bytes.size() - at >= 16) {
                // Room for 16 units is left: at least two per byte still to come.
                const std::size_t plain = WidenPlainAscii(data + at, out);
                out += plain;
                at += plain;
                if (plain > 0) previous_ = 0;
                if (plain == 16) continue;
            }
            if (data[at] < 0x80) {
                out = Put(data[at++], out);
            } else if (!last && bytes.size() - at < kLongestSequence) {
                break;  // the rest of the character may follow
            } else {
                const Utf8Character character = DecodeUtf8Character(bytes, at);
                for (std::size_t k = 0; k < character.unitCount; ++k) {
                    out = Put(character.units[k], out);
                }
                at += character.byteCount;
            }
        }
        size_ = static_cast<std::size_t>(out - units_.get());
        return at;
    }

    // The units so far, less a final CR LF.
    std::u16string_view Ready() const {
        const std::u16string_view text(units_.get(), size_);
        return text.substr(0, text.ends_with(u"\r\n") ? size_ - 2 : size_);
    }

    void DropReady() {
        const std::size_t ready = Ready().size();
        std::copy(units_.get() + ready, units_.get() + size_, units_.get());
        size_ -= ready;
    }

    InputText Finish(TextEncoding encoding, std::unique_ptr<LineBytes> lineBytes) && {
        const bool endsWithLineBreak = std::u16string_view(units_.get(), size_).ends_with(u"\r\n");
        return {std::move(units_),   endsWithLineBreak ? size_ - 2 : size_,
                endsWithLineBreak,   firstLineBreak_,
                std::move(encoding), std::move(lineBytes)};
    }

private:
    static constexpr std::size_t kLongestSequence = 4;  // bytes of one UTF-8 character
    static constexpr std::size_t kFirstCapacity = std::size_t{1} << 20;

    // Writes the 16 bytes at `bytes` as 16 units at `out` and returns how many
    // of them, from the first, are ASCII other than CR and LF: those units are
    // right, the others are to be written again.
    static std::size_t WidenPlainAscii(const unsigned char* bytes, char16_t* out) {
#ifdef __SSE2__
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(sixteen, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(sixteen, zero));
        const int special = _mm_movemask_epi8(sixteen) |
                            _mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, _mm_set1_epi8('\n'))) |
                            _mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, _mm_set1_epi8('\r')));
        return special == 0
                   ? 16
                   : static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(special)));
#else
        for (std::size_t i = 0; i < 16; ++i) {
            if (bytes[i] >= 0x80 || bytes[i] == '\n' || bytes[i] == '\r') return i;
            out[i] = bytes[i];
        }
        return 16;
#endif
    }

    // Where `count` more units can go.
    char16_t* Room(std::size_t count) {
        if (capacity_ - size_ < count) Reserve(std::max(capacity_ + capacity_ / 2, size_ + count));
        return units_.get() + size_;
    }

    // Writes `unit` at `out`, a line break as CR LF, and returns the end of
    // what it wrote.
    char16_t* Put(char16_t unit, char16_t* out) {
        const char16_t previous = previous_;
        previous_ = unit;
        if (unit != u'\r' && unit != u'\n') {
            *out = unit;
            return out + 1;
        }
        if (unit == u'\n' && previous == u'\r') {  // the LF of a CR LF, written with its CR
            if (breaks_ == 1) firstLineBreak_ = LineBreak::kCrLf;
            return out;
        }
        if (++breaks_ == 1) firstLineBreak_ = unit == u'\r' ? LineBreak::kCr : LineBreak::kLf;
        out[0] = u'\r';
        out[1] = u'\n';
        return out + 2;
    }

    // Grows in place where the system can (a large block is remapped, not
    // copied; one advised for huge pages is copied).
    void Reserve(std::size_t capacity) {
        void* units = std::realloc(units_.get(), capacity * sizeof(char16_t));
        if (units == nullptr) throw std::bad_alloc();
        static_cast<void>(units_.release());
        units_.reset(static_cast<char16_t*>(units));
        capacity_ = capacity;
    }

    InputText::Units units_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t breaks_ = 0;
    char16_t previous_ = 0;
    LineBreak firstLineBreak_ = LineBreak::kLf;
};

TextDecoder::TextDecoder(const std::optional<TextEncoding>& named, std::string source,
                         std::uint64_t expectedBytes)
    : encoding_(named), source_(std::move(source)), expectedBytes_(expectedBytes) {}

TextDecoder::~TextDecoder() = default;

std::size_t TextDecoder::Decode(std::string_view bytes, bool last) {
    std::size_t used = 0;
    if (!encoding_) {
        if (bytes.size() < TextEncoding::kLongestByteOrderMark && !last) return 0;
        encoding_ = TextEncoding::Recognise(bytes);
        used = encoding_->byteOrderMark().size();
    }
    if (!text_) {
        // No byte gives more than two units: a lone LF or CR gives CR LF, a
        // byte that is not valid UTF-8 an escaped byte.
        text_ = std::make_unique<Builder>(
            static_cast<std::size_t>(std::min<std::uint64_t>(expectedBytes_, SIZE_MAX / 4) * 2));
        if (encoding_->form() == TextEncoding::Form::kNamed) {
            converter_ = std::make_unique<IconvConverter>(kNativeUtf16, encoding_->name().c_str());
            lineBytes_ = std::make_unique<LineBytes>();
        }
    }
    const std::string_view rest = bytes.substr(used);
    restOffset_ = usedBefore_ + used;
    switch (encoding_->form()) {
        case TextEncoding::Form::kUtf8:
            used += text_->AppendUtf8(rest, last);
            break;
        case TextEncoding::Form::kUtf16Le:
        case TextEncoding::Form::kUtf16Be:
            used += DecodeUtf16(rest, last);
            break;
        case TextEncoding::Form::kNamed:
            used += DecodeNamed(rest, last);
            break;
    }
    usedBefore_ += used;
    return used;
}

std::size_t TextDecoder::DecodeUtf16(std::string_view bytes, bool last) {
    const bool bigEndian = encoding_->form() == TextEncoding::Form::kUtf16Be;
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    std::size_t at = 0;
    for (; at + 2 <= bytes.size(); at += 2) {
        const char16_t unit = unitAt(at);
        if (IsHighSurrogate(unit)) {
            if (at + 4 > bytes.size() && !last) break;  // its pair may follow
            if (at + 4 > bytes.size() || !IsLowSurrogate(unitAt(at + 2))) ThrowInvalid(at);
            text_->Append(unit);
            text_->Append(unitAt(at + 2));
            at += 2;
        } else if (IsLowSurrogate(unit)) {
            ThrowInvalid(at);
        } else {
            text_->Append(unit);
        }
    }
    if (last && at < bytes.size()) ThrowInvalid(at);  // an odd byte at the end
    return at;
}

// One character at a time, so that the bytes of every line break are known:
// the converter gets room for one unit, or for two when a character needs
// them, and a few bytes at a time, as iconv's cost per call grows with the
// bytes it is offered.
std::size_t TextDecoder::DecodeNamed(std::string_view bytes, bool last) {
    const char* in = bytes.data();
    const char* const end = bytes.data() + bytes.size();
    std::size_t window = kNamedWindow;
    while (in != end) {
        const char* const start = in;
        const std::size_t offered = std::min(window, static_cast<std::size_t>(end - in));
        std::size_t inLeft = offered;
        char16_t units[2];
        char* out = reinterpret_cast<char*>(units);
        std::size_t outLeft = sizeof(char16_t);
        bool done = converter_->Convert(&in, &inLeft, &out, &outLeft);
        int error = errno;
        if (!done && error == E2BIG && in == start) {
            outLeft += sizeof(char16_t);
            done = converter_->Convert(&in, &inLeft, &out, &outLeft);
            error = errno;
        }
        KeepBytes(std::string_view(start, static_cast<std::size_t>(in - start)),
                  std::u16string_view(
                      units, static_cast<std::size_t>(reinterpret_cast<char16_t*>(out) - units)));
        if (done || error == E2BIG) {
            window = kNamedWindow;
            continue;
        }
        // EINVAL: a character cut short, which more bytes may complete.
        if (error == EINVAL && offered < static_cast<std::size_t>(end - start)) {
            window *= 2;
            continue;
        }
        if (error == EINVAL && !last) break;
        ThrowInvalid(static_cast<std::size_t>(in - bytes.data()));
    }
    return static_cast<std::size_t>(in - bytes.data());
}

void TextDecoder::KeepBytes(std::string_view bytes, std::u16string_view units) {
    const std::uint64_t start = lineBytes_->bytes.size();
    lineBytes_->bytes.append(bytes);
    for (const char16_t unit : units) {
        text_->Append(unit);
        if (unit == u'\n' && previousUnit_ == u'\r') {
            lineBytes_->breaks.back().end = lineBytes_->bytes.size();
        } else if (unit == u'\r' || unit == u'\n') {
            lineBytes_->breaks.push_back({start, lineBytes_->bytes.size()});
        }
        previousUnit_ = unit;
    }
}

void TextDecoder::ThrowInvalid(std::size_t at) const {
    throw FileError(Quoted(source_) + "在字节偏移 " + std::to_string(restOffset_ + at) +
                    " 处不是有效的 " + encoding_->name() + " 编码");
}

std::u16string_view TextDecoder::Ready() const { return text_ ? text_->Ready() : u""; }

void TextDecoder::DropReady() {
    if (text_) text_->DropReady();
}

InputText TextDecoder::Finish() && {
    if (!text_) Decode({}, true);
    return std::move(*text_).Finish(*encoding_, std::move(lineBytes_));
}

}  // namespace vorlane
