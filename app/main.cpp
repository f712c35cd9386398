// SPDX-License-Identifier: MIT

#include <QApplication>

#include "application.h"
#include "form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    vorlane::SetUpApplication(app);
    vorlane::Form1 window;
    window.show();
    return QApplication::exec();
}
