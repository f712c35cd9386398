// SPDX-License-Identifier: MIT

// libFuzzer target: RemoveDuplicateLines, and the search for lines inside
// earlier lines under each of its limits, must agree with their plain
// versions on any text, with hashes as they are and with most of them
// colliding, and so must the removal split into tiny parts and over threads. The input is read as
// tokens that make the rare cases common: runs of a few letters, CR, LF and CR LF, surrogate halves
// and other odd units, and copies of earlier parts of the text and of earlier lines, so that lines
// occur inside one another and across joints often.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "removal/internal/earlier_occurrence.h"
#include "removal/internal/first_occurrences.h"
#include "removal/internal/text_hash.h"
#include "removal/remove_duplicate_lines.h"
#include "testing/plain_earlier_occurrence.h"
#include "testing/plain_remove_duplicate_lines.h"

namespace {

using vorlane::internal::SearchLimits;

// Copies make texts grow fast; the plain algorithms take quadratic time.
constexpr std::size_t kLongest = 2048;

constexpr char16_t kOddUnits[] = {0xD800, 0xDC00, 0xDBFF, 0xDFFF, 0xFFFF,
                                  0x0000, 0x00A0, 0x4E00, 0x0D0A, 0x0A0D};

// Reads the input as tokens, each a byte whose top three bits say what it is.
class TextBuilder {
public:
    TextBuilder(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::u16string Build() {
        while (at_ < size_ && text_.size() < kLongest) {
            const std::uint8_t token = data_[at_++];
            const unsigned value = token & 31U;
            switch (token >> 5) {
                case 0:
                    text_.append(value % 4 + 1, static_cast<char16_t>(u'a' + value / 4 % 3));
                    break;
                case 1:
                    text_ += u'\r';
                    break;
                case 2:
                    text_ += u'\n';
                    break;
                case 3:
                    text_ += u"\r\n";
                    break;
                case 4:
                    text_ += kOddUnits[value % std::size(kOddUnits)];
                    break;
                case 5:
                    CopyEarlierPart(value);
                    break;
                case 6:
                    CopyEarlierLine(value);
                    break;
                default:
                    text_ += static_cast<char16_t>(u'a' + value);
                    break;
            }
        }
        return text_;
    }

private:
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

    void CopyEarlierPart(unsigned length) {
        const std::size_t start = Next();
        if (text_.empty()) return;
        const std::u16string part = text_.substr(start % text_.size(), length + 1);
        text_ += part;
    }

    void CopyEarlierLine(unsigned which) {
        std::vector<std::size_t> starts = {0};
        for (std::size_t at = text_.find(u"\r\n"); at != std::u16string::npos;
             at = text_.find(u"\r\n", at + 2)) {
            starts.push_back(at + 2);
        }
        const std::size_t start = starts[which % starts.size()];
        const std::size_t end = text_.find(u"\r\n", start);
        const std::u16string line =
            text_.substr(start, end == std::u16string::npos ? end : end - start);
        text_ += line;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    std::u16string text_;
};

void Check(bool agrees) {
    if (!agrees) std::abort();
}

void CheckRemoval(std::u16string_view text) {
    const vorlane::DuplicateRemovalResult fast = vorlane::RemoveDuplicateLines(text);
    const vorlane::DuplicateRemovalResult plain = vorlane::testing::PlainRemoveDuplicateLines(text);
    Check(fast.text == plain.text && fast.pieceCount == plain.pieceCount &&
          fast.addedCount == plain.addedCount && fast.duplicateCount == plain.duplicateCount);
}

void CheckSearch(std::u16string_view text, const SearchLimits& limits) {
    const vorlane::SplitText split(text);
    const vorlane::LineSelection lines(split, vorlane::testing::DistinctLines(split));
    Check(vorlane::internal::OccursInEarlierLine(lines, limits) ==
          vorlane::testing::PlainOccursInEarlierLine(lines));
}

// Long lists are split into parts by hash and searched on threads; tiny parts
// send these short texts down that path. Starting a thread costs far more
// than a short text, so one input in eight uses two.
void CheckPartitioned(std::u16string_view text, std::uint8_t choice) {
    const vorlane::internal::Partitioning partitioning{
        .fromLines = 0,
        .linesPerPart = (choice >> 3 & 3U) + 1U,
        .threads = (choice & 0xE0) == 0xE0 ? 2U : 1U};
    Check(vorlane::internal::FindKeptLines(text, partitioning) == vorlane::FindKeptLines(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the limits of the search, each leaving lines to
    // one of its means, whether most hashes collide, the parts of the
    // partitioned search, and the threads of both.
    vorlane::text_hash::WeakenForTesting((data[0] & 4) != 0);
    const std::u16string text = TextBuilder(data + 1, size - 1).Build();
    CheckRemoval(text);
    const auto& limits = vorlane::testing::kEveryMeans;
    const auto& scans = vorlane::testing::kEveryKeyScan;
    // Inputs that split the scan over threads take one of the split scans by
    // their length, which no bit of the first byte decides, so that each
    // split scan meets every limit and both hash modes.
    const std::size_t splitScan = size % (std::size(scans) - 1);
    CheckSearch(text,
                vorlane::testing::WithScan(limits[data[0] % std::size(limits)],
                                           scans[(data[0] & 0xE0) == 0xE0 ? 1 + splitScan : 0]));
    CheckPartitioned(text, data[0]);
    return 0;
}
