// SPDX-License-Identifier: MIT

#include "qt/form1.h"

#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>

#include "qt/application.h"
#include "qt/qt_strings.h"
#include "window/form1_design.h"
#include "window/window_commands.h"

namespace vorlane {
namespace {

QRect ToQRect(const form1_design::Rect& r) { return {r.left, r.top, r.width, r.height}; }

QPushButton* MakeButton(std::u16string_view caption, const QString& name,
                        const form1_design::Rect& place, std::u16string_view description,
                        QWidget* parent) {
    auto* button = new QPushButton(ToQString(caption), parent);
    button->setObjectName(name);
    button->setAccessibleDescription(ToQString(description));  // its name is its caption
    button->setGeometry(ToQRect(place));
    button->setAutoDefault(false);  // Enter in the window clicks nothing
    return button;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent),
      Text1(new QPlainTextEdit(this)),
      Command1(MakeButton(form1_design::kCommand1Caption, QStringLiteral("Command1"),
                          form1_design::kCommand1, form1_design::kCommand1Description, this)),
      Command2(MakeButton(form1_design::kCommand2Caption, QStringLiteral("Command2"),
                          form1_design::kCommand2, form1_design::kCommand2Description, this)),
      window_(Text1, this) {
    setWindowTitle(ToQString(form1_design::kTitle));
    setWindowIcon(ApplicationIcon());
    resize(form1_design::kClientWidth, form1_design::kClientHeight);

    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(ToQRect(form1_design::kText1));
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTabChangesFocus(true);
    Text1->setAccessibleName(ToQString(form1_design::kText1Name));
    Text1->setAccessibleDescription(ToQString(form1_design::kText1Description));

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
