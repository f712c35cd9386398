// SPDX-License-Identifier: MIT

#pragma once

class QApplication;
class QIcon;

namespace vorlane {

// Names the application and installs Qt's Simplified Chinese translation, so
// standard buttons and the text box's context menu read in Chinese whatever
// the system locale.
void SetUpApplication(QApplication& app);

// The application's icon, in every size it was rendered at, so that Qt picks
// a sharp one at any screen scale.
QIcon ApplicationIcon();

}  // namespace vorlane
