// SPDX-License-Identifier: MIT

#pragma once

#include <QWidget>

#include "qt/qt_command_window.h"

class QPlainTextEdit;
class QPushButton;

namespace vorlane {

// The main window: the list in the text box `Text1`, duplicate-line removal on
// `Command1`, line-break replacement on `Command2`. The controls have fixed
// places; resizing the window moves nothing.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

private:
    QPlainTextEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    QtCommandWindow window_;
};

}  // namespace vorlane
