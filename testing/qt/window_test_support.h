// SPDX-License-Identifier: MIT

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
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>

#include "qt/qt_command_window.h"

namespace vorlane::testing {

// What a test saw of a modal box.
struct BoxSeen {
    bool shown = false;
    QString title;
    QString text;   // a message box's text, or an input box's prompt
    QString field;  // an input box's initial answer
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool waitCursor = false;  // the pointer showed busy over the box
};

inline BoxSeen Describe(QWidget* box, QString text, const QList<QAbstractButton*>& buttons) {
    BoxSeen seen{true, box->windowTitle(), std::move(text)};
    for (QAbstractButton* button : buttons) seen.buttons << button->text();
    const QCursor* cursor = QGuiApplication::overrideCursor();
    seen.waitCursor = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    return seen;
}

inline BoxSeen Describe(QMessageBox* box) {
    BoxSeen seen = Describe(box, box->text(), box->buttons());
    seen.icon = box->icon();
    return seen;
}

inline BoxSeen Describe(QInputDialog* box) {
    BoxSeen seen = Describe(box, box->labelText(), box->findChild<QDialogButtonBox*>()->buttons());
    seen.field = box->textValue();
    return seen;
}

// Runs `action`; the first time a modal `Box` opens meanwhile, records it and
// lets `respond` answer it (type into it, press a button).
template <typename Box>
BoxSeen AnswerBox(const std::function<void()>& action, const std::function<void(Box*)>& respond) {
    BoxSeen seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        if (box == nullptr || seen.shown) return;
        seen = Describe(box);
        respond(box);
    });
    timer.start(5);
    action();
    return seen;
}

// Runs `action`; when a message box opens meanwhile, records it and presses OK.
inline BoxSeen AnswerMessageBox(const std::function<void()>& action) {
    return AnswerBox<QMessageBox>(action,
                                  [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
}

inline BoxSeen AnswerInputBox(const std::function<void()>& action,
                              const std::function<void(QInputDialog*)>& respond) {
    return AnswerBox<QInputDialog>(action, respond);
}

// Presses the input box's button with the given role.
inline void Press(QInputDialog* box, QDialogButtonBox::ButtonRole role) {
    for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons()) {
        if (box->findChild<QDialogButtonBox*>()->buttonRole(button) == role) button->click();
    }
}

// Notes whether a busy box is shown while it lives.
struct BusyBoxWatch : QObject {
    BusyBoxWatch() { QApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override {
        shown = shown || (event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(object));
        return false;
    }
    bool shown = false;
};

inline std::u16string ReadTextOf(QPlainTextEdit* textBox) {
    return QtCommandWindow(textBox, nullptr).ReadText();
}

inline void WriteTextOf(QPlainTextEdit* textBox, std::u16string_view text) {
    QtCommandWindow(textBox, nullptr).WriteText(text);
}

}  // namespace vorlane::testing
