// SPDX-License-Identifier: MIT

#include <objbase.h>
#include <windows.h>

#include "win32/form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // COM, for the texts screen readers read; the window works without it.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    int status = 1;
    {
        vorlane::Form1 window;
        if (window.Create(instance, show)) status = window.RunMessageLoop();
    }
    if (com) CoUninitialize();
    return status;
}
