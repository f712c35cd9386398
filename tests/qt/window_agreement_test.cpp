// SPDX-License-Identifier: MIT

// The window's button and `vorlane dedupe` keep the same lines of the same
// list and report the same counts.

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <random>

#include "qt/form1.h"
#include "testing/qt/window_test_support.h"

namespace vorlane {
namespace {

struct Outcome {
    QString text;
    QString summary;
};

Outcome ClickCommand1(const QString& list) {
    Form1 form;
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* text1 = form.findChild<QPlainTextEdit*>("Text1");
    testing::WriteTextOf(text1, list.toStdU16String());
    const testing::BoxSeen box =
        testing::AnswerMessageBox([&] { form.findChild<QPushButton*>("Command1")->click(); });
    return {QString::fromStdU16String(testing::ReadTextOf(text1)), box.text};
}

Outcome RunDedupe(const QString& input) {
    QProcess process;
    process.start(VORLANE_EXECUTABLE, {"dedupe"});
    process.write(input.toUtf8());
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished());
    EXPECT_EQ(process.exitCode(), 0);
    return {QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()).chopped(1)};
}

// Many short lines over two letters: most are parts of earlier ones.
QString ShortLinesOfTwoLetters() {
    std::mt19937 random(7);
    QStringList lines;
    for (int i = 0; i < 3000; ++i) {
        lines << QString(std::uniform_int_distribution<int>(0, 6)(random), 'a');
        for (QChar& c : lines.back()) c = std::bernoulli_distribution(0.5)(random) ? 'a' : 'b';
    }
    return lines.join("\r\n");
}

TEST(WindowAgreement, DedupeKeepsWhatTheWindowKeeps) {
    const QString lists[] = {
        "x\r\ny\r\nx\r\ny",
        "\r\n\r\nabc\r\nb\r\n\r\nB\r\nabcd\r\nb\r\n\r\n",
        QString::fromUtf16(u"中文\r\n中\r\n文中\r\n\U0001F600\r\n\U0001F600 \r\n\U0001F600"),
        ShortLinesOfTwoLetters(),
    };
    for (const QString& list : lists) {
        const Outcome window = ClickCommand1(list);
        for (const QString lineBreak : {"\r\n", "\n"}) {
            // The same list in a file: its lines ended by line breaks.
            QString expected = QString(window.text).replace("\r\n", lineBreak);
            if (!expected.isEmpty()) expected += lineBreak;
            const Outcome batch = RunDedupe(QString(list).replace("\r\n", lineBreak) + lineBreak);
            EXPECT_EQ(batch.text, expected) << list.left(40).toStdString();
            EXPECT_EQ(batch.summary, window.summary) << list.left(40).toStdString();
        }
    }
}

}  // namespace
}  // namespace vorlane
