// SPDX-License-Identifier: MIT

#include <windows.h>

#include "form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    vorlane::Form1 window;
    if (!window.Create(instance, show)) return 1;
    return window.RunMessageLoop();
}
