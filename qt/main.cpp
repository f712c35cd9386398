// SPDX-License-Identifier: MIT

#include <QApplication>

#include "cli/command_line.h"
#include "qt/application.h"
#include "qt/form1.h"

int main(int argc, char* argv[]) {
    // Any argument makes this a command-line run, which must work without a
    // display, so it is decided before a QApplication exists.
    if (argc > 1) return vorlane::RunCommandLine(argc, argv);

    QApplication app(argc, argv);
    vorlane::SetUpApplication(app);
    vorlane::Form1 window;
    window.show();
    return QApplication::exec();
}
