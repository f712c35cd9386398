// SPDX-License-Identifier: MIT

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "cli/command_line.h"
#include "qt/application.h"
#include "qt/form1.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

int main(int argc, char* argv[]) {
    // Any argument makes this a command-line run, which must work without a
    // display, so it is decided before a QApplication exists.
    if (argc > 1) return vorlane::RunCommandLine(argc, argv);
    // Without a display Qt would abort; say so, and where the command line is.
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        std::fputs("vorlane：找不到显示器，无法打开窗口；命令行用法见“vorlane --help”\n", stderr);
        return vorlane::kExitFailure;
    }

    QApplication app(argc, argv);
    vorlane::SetUpApplication(app);
    vorlane::Form1 window;
    window.show();
    return QApplication::exec();
}
