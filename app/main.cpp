// SPDX-License-Identifier: MIT

#include <QApplication>

#include "application.h"
#include "batch_command.h"
#include "form1.h"

int main(int argc, char* argv[]) {
    if (argc > 1 && vorlane::IsBatchCommand(argv[1])) {
        return vorlane::RunBatchCommand({argv + 1, argv + argc});
    }
    QApplication app(argc, argv);
    vorlane::SetUpApplication(app);
    vorlane::Form1 window;
    window.show();
    return QApplication::exec();
}
