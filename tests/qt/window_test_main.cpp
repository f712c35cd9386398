// SPDX-License-Identifier: MIT

// Runs the window tests in one QApplication, on the offscreen platform unless
// another one is asked for.

#include <gtest/gtest.h>

#include <QApplication>

#include "qt/application.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    vorlane::SetUpApplication(app);
    return RUN_ALL_TESTS();
}
