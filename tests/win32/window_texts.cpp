// SPDX-License-Identifier: MIT

// Prints, as UTF-8, the text of every visible top-level window on the desktop
// and of each of its child windows, through the Win32 API alone, so that a
// test can read a program's boxes from outside it. One line per window:
//   window <TAB> class <TAB> text                        a top-level window
//   control <TAB> class <TAB> id <TAB> place <TAB> text  one of its child windows
// where a control's place is "left,top,width,height" in pixels of its parent's
// client area. In texts, backslash, tab, CR and LF are written \\, \t, \r and \n.

#include <windows.h>

#include <string>
#include <string_view>

namespace {

// A window that does not answer within a minute prints an empty text; a busy
// program answers once it is idle again, so a reading also waits for that.
constexpr UINT kTimeoutMs = 60000;

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kTimeoutMs, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, kTimeoutMs, &copied)) {
        return {};
    }
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring Escaped(std::wstring_view text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
            case L'\\':
                escaped += L"\\\\";
                break;
            case L'\t':
                escaped += L"\\t";
                break;
            case L'\r':
                escaped += L"\\r";
                break;
            case L'\n':
                escaped += L"\\n";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// Writes `line` and a LF to standard output as UTF-8 bytes, untranslated.
void WriteLine(const std::wstring& line) {
    const std::wstring withEnd = line + L"\n";
    const int size = WideCharToMultiByte(
        CP_UTF8, 0, withEnd.data(), static_cast<int>(withEnd.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, withEnd.data(), static_cast<int>(withEnd.size()), bytes.data(),
                        size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

// Where `control` is in its parent's client area: "left,top,width,height".
std::wstring PlaceOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
           std::to_wstring(rect.right - rect.left) + L"," + std::to_wstring(rect.bottom - rect.top);
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    WriteLine(L"control\t" + ClassOf(control) + L"\t" + std::to_wstring(GetDlgCtrlID(control)) +
              L"\t" + PlaceOf(control) + L"\t" + Escaped(TextOf(control)));
    return TRUE;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    WriteLine(L"window\t" + ClassOf(window) + L"\t" + Escaped(TextOf(window)));
    EnumChildWindows(window, &PrintControl, 0);
    return TRUE;
}

}  // namespace

int wmain() {
    // Places in the pixels of the screen, as a DPI-aware program sees them.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    EnumWindows(&PrintWindow, 0);
    return 0;
}
