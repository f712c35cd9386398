// SPDX-License-Identifier: MIT

#include "qt_command_window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace vorlane {
namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string ToU16String(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// The document keeps each line break as a block boundary, which its raw text
// shows as U+2029; Shift+Enter puts U+2028 inside a block, which also shows as
// a new line. Both are the user's line breaks.
bool IsLineBreak(char16_t c) { return (c | 1) == u'\u2029'; }  // U+2028 or U+2029

// While a modal box is up, the wait cursor of a running command must not hide
// the ordinary pointer.
class ArrowCursorWhileModal {
public:
    ArrowCursorWhileModal() : active_(QGuiApplication::overrideCursor() != nullptr) {
        if (active_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowCursorWhileModal() {
        if (active_) QGuiApplication::restoreOverrideCursor();
    }
    ArrowCursorWhileModal(const ArrowCursorWhileModal&) = delete;
    ArrowCursorWhileModal& operator=(const ArrowCursorWhileModal&) = delete;

private:
    bool active_;
};

void ShowBox(QWidget* parent, QMessageBox::Icon icon, std::u16string_view text) {
    ArrowCursorWhileModal arrow;
    QMessageBox box(icon, QStringLiteral("Vorlane"), ToQString(text), QMessageBox::Ok, parent);
    // Ctrl+C copies the message, so the counts can be pasted elsewhere.
    const QShortcut copy(QKeySequence::Copy, &box,
                         [&box] { QGuiApplication::clipboard()->setText(box.text()); });
    box.exec();
}

}  // namespace

QtCommandWindow::QtCommandWindow(QPlainTextEdit* textBox, QWidget* dialogParent)
    : textBox_(textBox), dialogParent_(dialogParent) {}

std::u16string QtCommandWindow::ReadText() const {
    // toPlainText() would turn U+00A0 into a space; the raw text is exact.
    const QString raw = textBox_->document()->toRawText();
    const auto* in = reinterpret_cast<const char16_t*>(raw.utf16());
    const auto* const end = in + raw.size();
    std::size_t breaks = 0;
    for (const char16_t* c = in; c != end; ++c) breaks += IsLineBreak(*c) ? 1 : 0;
    // Copied line by line into a text of the final size, each break as CR LF.
    std::u16string text(static_cast<std::size_t>(raw.size()) + breaks, u'\0');
    char16_t* out = text.data();
    const char16_t* line = in;
    for (; in != end; ++in) {
        if (!IsLineBreak(*in)) continue;
        out = std::copy(line, in, out);
        *out++ = u'\r';
        *out++ = u'\n';
        line = in + 1;
    }
    std::copy(line, end, out);
    return text;
}

void QtCommandWindow::WriteText(std::u16string_view text) {
    // Editing through a cursor, unlike setPlainText(), keeps the undo history:
    // Ctrl+Z brings back the text from before the command.
    QTextCursor cursor(textBox_->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(ToQString(text));  // each CR LF becomes a block boundary
    cursor.endEditBlock();
}

void QtCommandWindow::ShowMessage(std::u16string_view text) {
    ShowBox(dialogParent_, QMessageBox::NoIcon, text);
}

void QtCommandWindow::ShowError(std::u16string_view text) {
    ShowBox(dialogParent_, QMessageBox::Warning, text);
}

std::u16string QtCommandWindow::AskText(std::u16string_view prompt, std::u16string_view title,
                                        std::u16string_view initialText) {
    ArrowCursorWhileModal arrow;
    QInputDialog dialog(dialogParent_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(ToQString(title));
    dialog.setLabelText(ToQString(prompt));
    dialog.setTextValue(ToQString(initialText));
    if (dialog.exec() != QDialog::Accepted) return {};
    return ToU16String(dialog.textValue());
}

}  // namespace vorlane
