#include "form1.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>

#include "window_commands.h"

namespace vorlane {
namespace {

QPushButton* MakeButton(const QString& caption, const QString& name, const QRect& geometry,
                        QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);  // Enter in the window clicks nothing
    return button;
}

// Shows the wait cursor while a command computes; the commands report their
// own failures and do not throw.
template <typename Command>
void RunWithWaitCursor(Command command) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    command();
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent),
      Text1(new QPlainTextEdit(this)),
      Command1(MakeButton(QStringLiteral("Vorlane"), QStringLiteral("Command1"),
                          QRect(16, 208, 329, 41), this)),
      Command2(MakeButton(QStringLiteral("分隔符替换"), QStringLiteral("Command2"),
                          QRect(352, 208, 289, 41), this)),
      window_(Text1, this) {
    setWindowTitle(QStringLiteral("Vorlane"));
    setWindowIcon(QIcon(QStringLiteral(":/vorlane.png")));
    resize(657, 259);

    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(16, 8, 633, 193);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTabChangesFocus(true);

    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this,
            [this] { RunWithWaitCursor([this] { RunDuplicateLineRemoval(window_); }); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { RunWithWaitCursor([this] { RunLineBreakReplacement(window_); }); });
}

}  // namespace vorlane
