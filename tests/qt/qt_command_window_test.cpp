// SPDX-License-Identifier: MIT

#include "qt/qt_command_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <atomic>
#include <random>

#include "removal/remove_duplicate_lines.h"
#include "testing/qt/window_test_support.h"

namespace vorlane {
namespace {

using testing::BusyBoxWatch;
using testing::ReadTextOf;
using testing::WriteTextOf;

// A shown window with one text box, as Form1 has.
class QtCommandWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(400, 300);
        textBox->setGeometry(0, 0, 400, 300);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
        parent.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    }

    QPlainTextEdit* Text1() { return textBox; }

    QWidget parent;
    QPlainTextEdit* textBox = new QPlainTextEdit(&parent);
};

TEST_F(QtCommandWindowTest, ReadsTheTextExactly) {
    struct Case {
        QString inserted;
        std::u16string read;
    };
    const Case cases[] = {
        {"a\r\nb", u"a\r\nb"},  // pasted line breaks of every kind become CR LF
        {"a\nb", u"a\r\nb"},
        {"a\rb", u"a\r\nb"},
        {"a\r\n", u"a\r\n"},
        {QString::fromUtf16(u"a\u2028\u2028b\n"), u"a\r\n\r\nb\r\n"},  // Shift+Enter
        {QString::fromUtf16(u"a\u00A0b \U0001F600\t"), u"a\u00A0b \U0001F600\t"},
    };
    for (const Case& c : cases) {
        Text1()->clear();
        Text1()->insertPlainText(c.inserted);
        EXPECT_EQ(ReadTextOf(Text1()), c.read) << c.inserted.toStdString();
    }
}

// The edit deletes only the dropped lines; the text after it must be exactly
// what the removal keeps, and undo and redo must give back exact texts.
TEST_F(QtCommandWindowTest, KeepLinesLeavesExactlyTheKeptLinesInOneUndoStep) {
    QtCommandWindow window(Text1(), &parent);
    const auto check = [&](const QString& text) {
        Text1()->setPlainText(text);
        const std::u16string before = ReadTextOf(Text1());
        const std::u16string after = RemoveDuplicateLines(before).text;
        window.KeepLines(FindKeptLines(before));
        EXPECT_EQ(ReadTextOf(Text1()), after) << text.toStdString();
        Text1()->undo();
        EXPECT_EQ(ReadTextOf(Text1()), before) << text.toStdString();
        Text1()->redo();
        EXPECT_EQ(ReadTextOf(Text1()), after) << text.toStdString();
    };
    // "\n" starts a block; U+2028 (Shift+Enter) starts a line inside one.
    for (const char16_t* text : {
             u"\na\nb",                        // an empty first line
             u"a\nb\na",                       // the last line
             u"a\nb\n",                        // an empty last line, after a line break
             u"a\na\nb\nb\nb\nc\na\na",        // runs of dropped lines
             u"a\na\na\na", u"\n\n\n",         // all but one, all
             u"a\nb\nc",                       // none
             u"a\u2028b\na\u2028c",            // a dropped line between U+2028 and a block
             u"a\u2028a", u"a\nb\u2028b",      // the last line, after U+2028
             u"\u2028a\u2028\u2028a\n\u2028",  // empty lines around U+2028
             u"ab\n\nb\nxab\n\na",             // parts of kept lines
         }) {
        check(QString::fromUtf16(text));
    }
    QString repeats;  // so many dropped lines that the edit goes in several slices
    for (int i = 0; i < 10000; ++i) repeats += QString("%1\n%1\n").arg(i);
    check(repeats);
    std::mt19937 random(9);
    const QString tokens[] = {"a", "b", "ab", "\n", "\n", QString(QChar::LineSeparator)};
    for (int i = 0; i < 300; ++i) {
        QString text;
        for (int n = std::uniform_int_distribution(0, 12)(random); n > 0; --n) {
            text += tokens[std::uniform_int_distribution(0, 5)(random)];
        }
        check(text);
    }
    Text1()->setPlainText("a\na");  // one flag per line, or nothing changes
    EXPECT_THROW(window.KeepLines({true}), std::invalid_argument);
    EXPECT_EQ(ReadTextOf(Text1()), u"a\r\na");
}

TEST_F(QtCommandWindowTest, AWorkingCommandShowsABusyBoxAndTheTextCannotBeEdited) {
    WriteTextOf(Text1(), u"a");
    QtCommandWindow window(Text1(), &parent);
    std::atomic<bool> seen = false;
    testing::BoxSeen busy;
    bool spinning = false;
    QTimer probe;  // runs only if the window's event loop runs
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || seen) return;
        busy = testing::Describe(box, box->labelText(), {});
        spinning = box->minimum() == 0 && box->maximum() == 0;  // no end to count towards
        QTest::keyClicks(Text1(), "x");                         // the text box is read-only
        seen = true;
    });
    probe.start(10);
    window.Run([&seen](CommandWindow& w) {
        w.RunWhileBusy([&seen] {
            for (int i = 0; i < 1000 && !seen; ++i) QThread::msleep(5);
        });
    });
    EXPECT_EQ(busy.title, "Vorlane");
    EXPECT_EQ(busy.text, "正在处理，请稍候……");
    EXPECT_TRUE(spinning);
    EXPECT_TRUE(busy.waitCursor);
    EXPECT_EQ(ReadTextOf(Text1()), u"a");
    EXPECT_FALSE(Text1()->isReadOnly());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_THROW(window.RunWhileBusy([] { throw std::bad_alloc(); }), std::bad_alloc);
}

TEST_F(QtCommandWindowTest, ALongRewriteShowsTheBusyBoxBeforeTheTextBoxStalls) {
    std::u16string text;
    while (text.size() <= (std::size_t{1} << 20)) text += u"ab\r\n";
    QtCommandWindow window(Text1(), &parent);
    BusyBoxWatch busyBox;
    window.Run([&](CommandWindow& w) { w.WriteText(text); });
    EXPECT_TRUE(busyBox.shown);
    EXPECT_EQ(ReadTextOf(Text1()), text);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace vorlane
