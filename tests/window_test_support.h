#pragma once

// Helpers for driving the real window: find its controls, read its text the
// way the commands do, and answer the modal boxes that a click opens.

#include <QApplication>
#include <QCursor>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
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
    bool waitCursor = false;  // the pointer showed busy over the box
};

inline bool WaitCursorShown() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

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
        seen.waitCursor = WaitCursorShown();
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        box->button(QMessageBox::Ok)->click();
    });
    timer.start(5);
    action();
    return seen;
}

struct InputBoxSeen {
    bool shown = false;
    QString title;
    QString prompt;
    QString initialText;
    QStringList buttons;
    bool waitCursor = false;
};

// Runs `action`; when an input box opens meanwhile, records it and lets
// `respond` answer it (type into its field, press a button).
inline InputBoxSeen AnswerInputBox(const std::function<void()>& action,
                                   const std::function<void(QInputDialog*)>& respond) {
    InputBoxSeen seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || seen.shown) return;
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.prompt = box->labelText();
        seen.initialText = box->textValue();
        seen.waitCursor = WaitCursorShown();
        for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons()) {
            seen.buttons << button->text();
        }
        respond(box);
    });
    timer.start(5);
    action();
    return seen;
}

// Presses the input box's button with the given role.
inline void Press(QInputDialog* box, QDialogButtonBox::ButtonRole role) {
    for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons()) {
        if (box->findChild<QDialogButtonBox*>()->buttonRole(button) == role) button->click();
    }
}

inline std::u16string ReadTextOf(QPlainTextEdit* textBox) {
    return QtCommandWindow(textBox, nullptr).ReadText();
}

inline void WriteTextOf(QPlainTextEdit* textBox, std::u16string_view text) {
    QtCommandWindow(textBox, nullptr).WriteText(text);
}

}  // namespace vorlane::testing
