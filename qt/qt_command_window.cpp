// SPDX-License-Identifier: MIT

#include "qt/qt_command_window.h"

#include <QAbstractUndoItem>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>

#include "qt/qt_strings.h"
#include "window/form1_design.h"

namespace vorlane {
namespace {

// The document keeps each line break as a block boundary, which its raw text
// shows as U+2029; Shift+Enter puts U+2028 inside a block, which also shows as
// a new line. Both are the user's line breaks.
bool IsLineBreak(char16_t c) { return (c | 1) == u'\u2029'; }  // U+2028 or U+2029

// Where each line of `document` starts, as a document position, and one
// position past the end of the last line. A line break takes one position, so
// a line that is not the last ends one position before the next one starts.
// `lines` is how many lines the caller expects; when the document has as many
// blocks, no block holds a U+2028 and the blocks' lengths tell the starts.
std::vector<int> LineStarts(const QTextDocument& document, std::size_t lines) {
    std::vector<int> starts{0};
    starts.reserve(lines + 1);
    if (lines == static_cast<std::size_t>(document.blockCount())) {
        int position = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            position += block.length();
            starts.push_back(position);
        }
        return starts;
    }
    // The raw text has one unit per document position, without the final one.
    const QString raw = document.toRawText();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (IsLineBreak(raw[i].unicode())) starts.push_back(static_cast<int>(i) + 1);
    }
    starts.push_back(static_cast<int>(raw.size()) + 1);
    return starts;
}

struct Range {
    int from;
    int to;
};

// The document ranges to delete so that only the kept lines remain, joined by
// single line breaks, in ascending order. A run of dropped lines goes with the
// line break after each of them; a run that ends the text goes with the line
// break before it instead, so that the text does not end in a break.
std::vector<Range> DroppedRanges(const std::vector<int>& starts, const std::vector<bool>& kept) {
    const std::size_t lines = kept.size();
    const int end = starts[lines] - 1;  // the document's final position, after the text
    std::vector<Range> ranges;
    for (std::size_t first = 0; first < lines;) {
        if (kept[first]) {
            ++first;
            continue;
        }
        std::size_t next = first;
        while (next < lines && !kept[next]) ++next;
        if (next < lines) {
            ranges.push_back({starts[first], starts[next]});
        } else {
            ranges.push_back({first > 0 ? starts[first] - 1 : 0, end});
        }
        first = next;
    }
    return ranges;
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, std::u16string_view text) {
    QMessageBox box(icon, ToQString(form1_design::kTitle), ToQString(text), QMessageBox::Ok,
                    parent);
    // Ctrl+C copies the message, so the counts can be pasted elsewhere.
    const QShortcut copy(QKeySequence::Copy, &box,
                         [&box] { QGuiApplication::clipboard()->setText(box.text()); });
    box.exec();
}

// Paints what needs painting, and lets timers run, while clicks and keys wait.
void LetTheWindowPaint() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

constexpr int kBusyBoxDelayMs = 500;
// Deletions per slice of an edit, a few hundredths of a second of the text box's work.
constexpr std::size_t kDeletionsPerSlice = 8192;
// From about this many code units, replacing the text takes the text box half
// a second or more, during which it lets no events through.
constexpr std::size_t kLongRewriteUnits = std::size_t{1} << 20;

// Ends a command's edit block so that what the user types next is an undo
// step of its own: Qt merges typing that continues the block's last insertion
// into the block, unless something else ends it.
void EndCommandEdit(QTextCursor& cursor) {
    struct Boundary : QAbstractUndoItem {
        void undo() override {}
        void redo() override {}
    };
    cursor.document()->appendUndoItem(new Boundary);
    cursor.endEditBlock();
}

}  // namespace

// What the window shows while a command works: the wait pointer, a read-only
// text box, and once the command has worked for half a second a busy box.
class QtCommandWindow::Busy {
public:
    Busy(QPlainTextEdit* textBox, QWidget* dialogParent)
        : textBox_(textBox), dialogParent_(dialogParent), wasReadOnly_(textBox->isReadOnly()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        textBox_->setReadOnly(true);
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] { ShowBox(); });
        timer_.start(kBusyBoxDelayMs);
    }
    ~Busy() {
        textBox_->setReadOnly(wasReadOnly_);
        QGuiApplication::restoreOverrideCursor();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

    // Shows the busy box now and lets it paint, before a step that lets no
    // events through for a while.
    void ShowBoxNow() {
        timer_.stop();
        ShowBox();
        QElapsedTimer waited;
        waited.start();
        while (!box_->windowHandle()->isExposed() && waited.elapsed() < 200) LetTheWindowPaint();
        LetTheWindowPaint();
    }

    // A modal box asks or tells the user something: the busy box and the wait
    // pointer make way for it, and the half second starts again after it.
    void Pause() {
        timer_.stop();
        box_.reset();
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    void Resume() {
        QGuiApplication::restoreOverrideCursor();
        timer_.start(kBusyBoxDelayMs);
    }

private:
    void ShowBox() {
        if (box_) return;
        // No cancel button: a command cannot stop halfway and keep the text whole.
        box_ = std::make_unique<QProgressDialog>(ToQString(form1_design::kBusy), QString(), 0, 0,
                                                 dialogParent_);
        box_->setWindowTitle(ToQString(form1_design::kTitle));
        box_->setWindowModality(Qt::WindowModal);
        box_->show();
    }

    QPlainTextEdit* textBox_;
    QWidget* dialogParent_;
    bool wasReadOnly_;
    QTimer timer_;
    std::unique_ptr<QProgressDialog> box_;
};

// Pauses the busy state, if a command runs, for as long as a modal box is up.
class QtCommandWindow::ModalPause {
public:
    explicit ModalPause(Busy* busy) : busy_(busy) {
        if (busy_ != nullptr) busy_->Pause();
    }
    ~ModalPause() {
        if (busy_ != nullptr) busy_->Resume();
    }
    ModalPause(const ModalPause&) = delete;
    ModalPause& operator=(const ModalPause&) = delete;

private:
    Busy* busy_;
};

QtCommandWindow::QtCommandWindow(QPlainTextEdit* textBox, QWidget* dialogParent)
    : textBox_(textBox), dialogParent_(dialogParent) {}

QtCommandWindow::~QtCommandWindow() = default;

void QtCommandWindow::Run(const std::function<void(CommandWindow&)>& command) {
    busy_ = std::make_unique<Busy>(textBox_, dialogParent_);
    const struct EndBusy {
        std::unique_ptr<Busy>& busy;
        ~EndBusy() { busy.reset(); }
    } endBusy{busy_};
    command(*this);
}

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
    // Replacing a long text, and laying out a long line, keeps the text box
    // busy for a while without a chance to paint: the busy box goes up first.
    if (busy_ &&
        text.size() + std::size_t(textBox_->document()->characterCount()) > kLongRewriteUnits) {
        busy_->ShowBoxNow();
    }
    // Editing through a cursor, unlike setPlainText(), keeps the undo history:
    // Ctrl+Z brings back the text from before the command.
    QTextCursor cursor(textBox_->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(ToQString(text));  // each CR LF becomes a block boundary
    EndCommandEdit(cursor);
}

void QtCommandWindow::KeepLines(const std::vector<bool>& kept) {
    // Deleting only the dropped lines leaves the kept ones, and their layout,
    // as they are; rewriting the whole text would rebuild every line.
    QTextDocument* document = textBox_->document();
    const std::vector<int> starts = LineStarts(*document, kept.size());
    if (starts.size() != kept.size() + 1) {
        throw std::invalid_argument("KeepLines: one flag per line of the text box expected");
    }
    const std::vector<Range> ranges = DroppedRanges(starts, kept);
    // The deletions go in ascending order, in slices: each slice is an edit
    // block joined to the first, so that undo takes them all back in one step,
    // and the window paints between slices. Undo puts the caret where the
    // edit block began, at the first dropped line, not at the end of the text.
    if (ranges.empty()) return;
    QTextCursor cursor(document);
    cursor.setPosition(ranges.front().from);
    int deleted = 0;
    for (std::size_t next = 0; next < ranges.size();) {
        if (next == 0) {
            cursor.beginEditBlock();
        } else {
            LetTheWindowPaint();
            cursor.joinPreviousEditBlock();
        }
        const std::size_t sliceEnd = std::min(ranges.size(), next + kDeletionsPerSlice);
        for (; next < sliceEnd; ++next) {
            cursor.setPosition(ranges[next].from - deleted);
            cursor.setPosition(ranges[next].to - deleted, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            deleted += ranges[next].to - ranges[next].from;
        }
        if (next < ranges.size()) {
            cursor.endEditBlock();
        } else {
            EndCommandEdit(cursor);
        }
    }
}

void QtCommandWindow::RunWhileBusy(const std::function<void()>& work) {
    std::exception_ptr failure;
    const std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);  // the window paints; clicks and keys wait
    worker->wait();
    if (failure) std::rethrow_exception(failure);
}

void QtCommandWindow::ShowMessage(std::u16string_view text) {
    const ModalPause pause(busy_.get());
    ShowBox(dialogParent_, QMessageBox::NoIcon, text);
}

void QtCommandWindow::ShowError(std::u16string_view text) {
    const ModalPause pause(busy_.get());
    ShowBox(dialogParent_, QMessageBox::Warning, text);
}

std::u16string QtCommandWindow::AskText(std::u16string_view prompt, std::u16string_view title,
                                        std::u16string_view initialText) {
    const ModalPause pause(busy_.get());
    QInputDialog dialog(dialogParent_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(ToQString(title));
    dialog.setLabelText(ToQString(prompt));
    dialog.setTextValue(ToQString(initialText));
    if (dialog.exec() != QDialog::Accepted) return {};
    return ToU16String(dialog.textValue());
}

}  // namespace vorlane
