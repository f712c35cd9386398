// SPDX-License-Identifier: MIT

#include "qt/form1.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "testing/qt/window_test_support.h"
#include "tests/qt/fail_large_allocations.h"

namespace vorlane {
namespace {

using testing::AnswerInputBox;
using testing::AnswerMessageBox;
using testing::BusyBoxWatch;
using testing::Press;
using testing::ReadTextOf;
using testing::WriteTextOf;

// Where each control sits, in logical pixels, whatever the window's size.
const struct {
    const char* name;
    QRect geometry;
} kLayout[] = {{"Text1", {16, 8, 633, 193}},
               {"Command1", {16, 208, 329, 41}},
               {"Command2", {352, 208, 289, 41}}};

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    template <typename T>
    T* Child(const char* name) {
        T* child = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QPlainTextEdit* Text1() { return Child<QPlainTextEdit>("Text1"); }
    QPushButton* Command1() { return Child<QPushButton>("Command1"); }
    QPushButton* Command2() { return Child<QPushButton>("Command2"); }

    void ExpectLayout() {
        for (const auto& control : kLayout) {
            EXPECT_EQ(Child<QWidget>(control.name)->geometry(), control.geometry) << control.name;
        }
    }

    Form1 form;
};

TEST_F(Form1Test, StartsWithTheFixedLayoutAndCaptions) {
    EXPECT_EQ(form.windowTitle(), "Vorlane");
    EXPECT_EQ(form.size(), QSize(657, 259));
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {  // sharp at any scale
        EXPECT_TRUE(form.windowIcon().availableSizes().contains(QSize(size, size))) << size;
    }
    ExpectLayout();
    EXPECT_EQ(Command1()->text(), "Vorlane");
    EXPECT_EQ(Command2()->text(), "分隔符替换");
    EXPECT_TRUE(Text1()->toPlainText().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), Text1());
    EXPECT_EQ(Text1()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(Text1()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

// Run once as it is and once with QT_SCALE_FACTOR=2: the window keeps its
// proportions in device pixels.
TEST_F(Form1Test, ScalesEveryControlWithTheScreen) {
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    ASSERT_EQ(form.devicePixelRatio(), scale);
    EXPECT_EQ(form.grab().size(), QSize(657, 259) * scale);
    for (const auto& control : kLayout) {
        EXPECT_EQ(Child<QWidget>(control.name)->grab().size(), control.geometry.size() * scale)
            << control.name;
    }
    ExpectLayout();
}

TEST_F(Form1Test, ScreenReadersHearWhatTheEyeSees) {
    const struct {
        QWidget* widget;
        QString name;
    } cases[] = {{Text1(), "文本列表"}, {Command1(), "Vorlane"}, {Command2(), "分隔符替换"}};
    for (const auto& c : cases) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(c.widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), c.name);
        const QString description = accessible->text(QAccessible::Description);
        EXPECT_GE(description.size(), 10) << c.name.toStdString();
        EXPECT_TRUE(description.contains(QString::fromUtf16(u"列表"))) << c.name.toStdString();
    }
}

TEST_F(Form1Test, ResizingMovesNothing) {
    form.resize(1200, 800);
    form.showMaximized();
    QApplication::processEvents();
    ExpectLayout();
}

TEST_F(Form1Test, TabCyclesThroughTheControlsWithoutTypingATab) {
    QTest::keyClicks(Text1(), "a");
    for (QWidget* next : {static_cast<QWidget*>(Command1()), static_cast<QWidget*>(Command2()),
                          static_cast<QWidget*>(Text1())}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    EXPECT_EQ(ReadTextOf(Text1()), u"a");
}

TEST_F(Form1Test, EnterInTheTextBoxStartsANewLine) {
    QTest::keyClicks(Text1(), "a");
    QTest::keyClick(Text1(), Qt::Key_Return);
    QTest::keyClicks(Text1(), "b");
    QTest::keyClick(Text1(), Qt::Key_Escape);
    EXPECT_EQ(ReadTextOf(Text1()), u"a\r\nb");
    EXPECT_EQ(QApplication::focusWidget(), Text1());
}

TEST_F(Form1Test, Command1WritesTheKeptLinesAndShowsTheSummary) {
    WriteTextOf(Text1(), u"x\r\ny\r\nx\r\ny\r\n");
    const auto box = AnswerMessageBox([&] { QTest::mouseClick(Command1(), Qt::LeftButton); });
    EXPECT_EQ(ReadTextOf(Text1()), u"x\r\ny");
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "Vorlane");
    EXPECT_EQ(box.text, "执行完成，原总数:5，处理后数:2，清出重复数:3");
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QStringList{"确定"});
    EXPECT_FALSE(box.waitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // not left busy
}

TEST_F(Form1Test, Command1OnAnEmptyTextShowsNothing) {
    const auto box = AnswerMessageBox([&] { QTest::mouseClick(Command1(), Qt::LeftButton); });
    EXPECT_FALSE(box.shown);
    EXPECT_TRUE(ReadTextOf(Text1()).empty());
}

TEST_F(Form1Test, UndoTakesBackTheCommandAloneAndRedoDoesItAgain) {
    QTest::keyClicks(Text1(), "a");
    for (const char* line : {"b", "a", "c", "b", "d"}) {
        QTest::keyClick(Text1(), Qt::Key_Return);
        QTest::keyClicks(Text1(), line);
    }
    AnswerMessageBox([&] { Command1()->click(); });
    EXPECT_EQ(ReadTextOf(Text1()), u"a\r\nb\r\nc\r\nd");
    Text1()->setFocus();
    QTest::keyClicks(Text1(), "z");  // typing after the command is an undo step of its own
    QTest::keyClick(Text1(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadTextOf(Text1()), u"a\r\nb\r\nc\r\nd");
    QTest::keyClick(Text1(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadTextOf(Text1()), u"a\r\nb\r\na\r\nc\r\nb\r\nd");
    EXPECT_EQ(Text1()->textCursor().blockNumber(), 3);  // after the first dropped line
    QTest::keyClick(Text1(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ReadTextOf(Text1()), u"a\r\nb\r\nc\r\nd");
}

TEST_F(Form1Test, AFailedCommandKeepsTheTextAndTheProgramGoesOn) {
    std::u16string text;
    for (int i = 0; i < 20000; ++i) text += u"0123456789\r\n";
    WriteTextOf(Text1(), text);
    testing::FailNextAllocationFrom(400000);  // the command's copy of the text is larger
    const auto box = AnswerMessageBox([&] { Command1()->click(); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "Vorlane");
    EXPECT_TRUE(box.text.contains("内存不足")) << box.text.toStdString();
    EXPECT_EQ(ReadTextOf(Text1()), text);
    EXPECT_TRUE(form.isVisible());

    const auto summary = AnswerMessageBox([&] { Command1()->click(); });
    EXPECT_EQ(summary.text, "执行完成，原总数:20001，处理后数:1，清出重复数:20000");
}

TEST_F(Form1Test, Command2AsksForTheSeparatorInChinese) {
    const auto box = AnswerInputBox([&] { QTest::mouseClick(Command2(), Qt::LeftButton); },
                                    [](QInputDialog* b) { b->reject(); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "输入替换成的符号");
    EXPECT_EQ(box.text, "请输入要把回车分隔符替换为什么符号?");
    EXPECT_EQ(box.field, ",");
    EXPECT_TRUE(box.buttons.contains("确定")) << box.buttons.join(' ').toStdString();
    EXPECT_TRUE(box.buttons.contains("取消")) << box.buttons.join(' ').toStdString();
    EXPECT_FALSE(box.waitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Form1Test, Command2JoinsTheLinesOrLeavesThemOnAnEmptyAnswer) {
    struct Case {
        const char* name;
        std::function<void(QInputDialog*)> respond;
        std::u16string expected;
    };
    const auto typeAndPress = [](const QString& typed) {
        return [typed](QInputDialog* box) {
            QLineEdit* field = box->findChild<QLineEdit*>();
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Delete);
            field->insert(typed);  // as an input method would type it
            QTest::keyClick(field, Qt::Key_Return);
        };
    };
    const Case cases[] = {
        {"OK with the default", [](QInputDialog* b) { Press(b, QDialogButtonBox::AcceptRole); },
         u"a,b,,c,"},
        {"a typed answer", typeAndPress(QString::fromUtf16(u" 、 ")), u"a 、 b 、  、 c 、 "},
        {"Cancel", [](QInputDialog* b) { Press(b, QDialogButtonBox::RejectRole); },
         u"a\r\nb\r\n\r\nc\r\n"},
        {"OK on an emptied field", typeAndPress({}), u"a\r\nb\r\n\r\nc\r\n"},
        {"closing the box", [](QInputDialog* b) { b->close(); }, u"a\r\nb\r\n\r\nc\r\n"},
    };
    BusyBoxWatch busyBox;  // a quick command shows none
    for (const Case& c : cases) {
        Text1()->setPlainText("a\nb\n\nc\n");  // with nothing to undo
        AnswerInputBox([&] { Command2()->click(); }, c.respond);
        EXPECT_EQ(ReadTextOf(Text1()), c.expected) << c.name;
        Text1()->setFocus();
        QTest::keyClicks(Text1(), "z");  // typing after the command is an undo step of its own
        QTest::keyClick(Text1(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(ReadTextOf(Text1()), c.expected) << c.name;
        QTest::keyClick(Text1(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(ReadTextOf(Text1()), u"a\r\nb\r\n\r\nc\r\n") << c.name;
    }
    EXPECT_FALSE(busyBox.shown);
}

}  // namespace
}  // namespace vorlane
