// SPDX-License-Identifier: MIT

#pragma once

#include <string_view>

// The main window's fixed design, the same for every front end: its texts, and
// the places of its controls in pixels at 96 dots per inch (front ends scale
// them by the screen's DPI).
namespace vorlane::form1_design {

struct Rect {
    int left, top, width, height;
};

inline constexpr int kClientWidth = 657;
inline constexpr int kClientHeight = 259;
inline constexpr Rect kText1 = {16, 8, 633, 193};
inline constexpr Rect kCommand1 = {16, 208, 329, 41};
inline constexpr Rect kCommand2 = {352, 208, 289, 41};

// The window's title, also the title of every box it shows.
inline constexpr std::u16string_view kTitle = u"Vorlane";
inline constexpr std::u16string_view kCommand1Caption = u"Vorlane";
inline constexpr std::u16string_view kCommand2Caption = u"分隔符替换";

// Names and descriptions for screen readers.
inline constexpr std::u16string_view kText1Name = u"文本列表";
inline constexpr std::u16string_view kText1Description =
    u"每行一项的文本列表。在此输入或粘贴列表，两个按钮的处理结果也写回这里。";
inline constexpr std::u16string_view kCommand1Description =
    u"删除列表中重复的行：已在前面保留的内容中出现过的行被清出，"
    u"其余各行按原顺序保留，并报告处理前后的行数。";
inline constexpr std::u16string_view kCommand2Description =
    u"把列表中的每个换行替换为输入的分隔符，使各行合并成一行。";

// Shown while a long command works.
inline constexpr std::u16string_view kBusy = u"正在处理，请稍候……";

// The box that asks Command2 for its separator.
inline constexpr std::u16string_view kSeparatorPrompt = u"请输入要把回车分隔符替换为什么符号?";
inline constexpr std::u16string_view kSeparatorTitle = u"输入替换成的符号";
inline constexpr std::u16string_view kDefaultSeparator = u",";

// What a failed command says; the text box keeps its content.
inline constexpr std::u16string_view kOutOfMemory = u"内存不足，无法完成操作。";
inline constexpr std::u16string_view kFailed = u"操作失败。";
inline constexpr std::u16string_view kTextKept = u"文本框中的内容保持不变。";

}  // namespace vorlane::form1_design
