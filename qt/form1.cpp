// SPDX-License-Identifier: MIT

#include "form1.h"

#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>

#include "application.h"
#include "window_commands.h"

namespace vorlane {
namespace {

QPushButton* MakeButton(const QString& caption, const QString& name, const QRect& geometry,
                        const QString& description, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleDescription(description);  // its name is its caption
    button->setGeometry(geometry);
    button->setAutoDefault(false);  // Enter in the window clicks nothing
    return button;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent),
      Text1(new QPlainTextEdit(this)),
      Command1(
          MakeButton(QStringLiteral("Vorlane"), QStringLiteral("Command1"), QRect(16, 208, 329, 41),
                     QStringLiteral("删除列表中重复的行：已在前面保留的内容中出现过的行被清出，"
                                    "其余各行按原顺序保留，并报告处理前后的行数。"),
                     this)),
      Command2(MakeButton(
          QStringLiteral("分隔符替换"), QStringLiteral("Command2"), QRect(352, 208, 289, 41),
          QStringLiteral("把列表中的每个换行替换为输入的分隔符，使各行合并成一行。"), this)),
      window_(Text1, this) {
    setWindowTitle(QStringLiteral("Vorlane"));
    setWindowIcon(ApplicationIcon());
    resize(657, 259);

    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(16, 8, 633, 193);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTabChangesFocus(true);
    Text1->setAccessibleName(QStringLiteral("文本列表"));
    Text1->setAccessibleDescription(
        QStringLiteral("每行一项的文本列表。在此输入或粘贴列表，两个按钮的处理结果也写回这里。"));

    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();

    // The commands report their own failures and do not throw.
    connect(Command1, &QPushButton::clicked, this,
            [this] { window_.Run(RunDuplicateLineRemoval); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { window_.Run(RunLineBreakReplacement); });
}

}  // namespace vorlane
