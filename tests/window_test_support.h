#pragma once

// Helpers for driving the real window: find its controls, read its text the
// way the commands do, and answer the modal boxes that a click opens.

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>

#include "qt_command_window.h"

namespace vorlane::testing {

struct BoxSeen {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Runs `action`; when a message box opens meanwhile, records it and presses OK.
inline BoxSeen AnswerMessageBox(const std::function<void()>& action) {
    BoxSeen seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        box->button(QMessageBox::Ok)->click();
    });
    timer.start(5);
    action();
    return seen;
}

inline std::u16string ReadTextOf(QPlainTextEdit* textBox) {
    return QtCommandWindow(textBox, nullptr).ReadText();
}

inline void WriteTextOf(QPlainTextEdit* textBox, std::u16string_view text) {
    QtCommandWindow(textBox, nullptr).WriteText(text);
}

}  // namespace vorlane::testing
