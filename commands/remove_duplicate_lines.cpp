#include "remove_duplicate_lines.h"

#include <string>

namespace vorlane {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";

std::u16string ToDecimal(std::int64_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

}  // namespace

DuplicateRemovalResult RemoveDuplicateLines(std::u16string_view text) {
    DuplicateRemovalResult result;
    std::u16string& kept = result.text;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(kLineBreak, start);
        const std::u16string_view line =
            text.substr(start, end == std::u16string_view::npos ? end : end - start);
        ++result.pieceCount;
        if (line.empty() || kept.find(line) != std::u16string::npos) {
            ++result.duplicateCount;
        } else {
            if (!kept.empty()) kept += kLineBreak;
            kept += line;
            ++result.addedCount;
        }
        if (end == std::u16string_view::npos) break;
        start = end + kLineBreak.size();
    }
    return result;
}

std::u16string FormatRemovalSummary(const DuplicateRemovalResult& result) {
    return u"执行完成，原总数:" + ToDecimal(result.pieceCount) + u"，处理后数:" +
           ToDecimal(result.addedCount) + u"，清出重复数:" + ToDecimal(result.duplicateCount);
}

}  // namespace vorlane
