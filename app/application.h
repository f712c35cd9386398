// SPDX-License-Identifier: MIT

#pragma once

class QApplication;

namespace vorlane {

// Names the application and installs Qt's Simplified Chinese translation, so
// standard buttons and the text box's context menu read in Chinese whatever
// the system locale.
void SetUpApplication(QApplication& app);

}  // namespace vorlane
