// SPDX-License-Identifier: MIT

#include "win32/form1.h"

#include "win32/wide_text.h"
#include "window/form1_design.h"
#include "window/window_commands.h"

namespace vorlane {
namespace {

constexpr wchar_t kWindowClass[] = L"VorlaneForm1";
constexpr int kText1Id = 101;
constexpr int kCommand1Id = 102;
constexpr int kCommand2Id = 103;
// The program's icon in its resources.
constexpr int kIconId = 1;

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kText1Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                              ES_AUTOVSCROLL | ES_WANTRETURN;  // no horizontal scroll: word wrap
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

int Scale(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

void Place(HWND control, const form1_design::Rect& place, UINT dpi) {
    SetWindowPos(control, nullptr, Scale(place.left, dpi), Scale(place.top, dpi),
                 Scale(place.width, dpi), Scale(place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system's message font at `dpi`: the default GUI font, which has the
// CJK fallback Chinese text needs.
HFONT CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

WNDPROC text1DefaultProc = nullptr;

// Text1 on top of the EDIT control's own behaviour: Tab and Esc go to the
// dialog navigation (Tab moves the focus on, Esc does nothing; the control
// would insert a tab or close the window), and Ctrl+A selects everything,
// which the control does not do on every Windows.
LRESULT CALLBACK Text1Proc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE) {
        LRESULT code = CallWindowProcW(text1DefaultProc, control, message, wParam, lParam);
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg != nullptr && msg->message == WM_KEYDOWN &&
            (msg->wParam == VK_TAB || msg->wParam == VK_ESCAPE)) {
            code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        }
        return code;
    }
    if (message == WM_CHAR && wParam == 1) {  // Ctrl+A
        SendMessageW(control, EM_SETSEL, 0, -1);
        return 0;
    }
    return CallWindowProcW(text1DefaultProc, control, message, wParam, lParam);
}

WNDPROC buttonDefaultProc = nullptr;

// Command1 and Command2 on top of the BUTTON control: neither becomes the
// default button when it gets the focus, as the dialog navigation would make
// it, so Enter clicks neither of them (Space does).
LRESULT CALLBACK CommandButtonProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(buttonDefaultProc, control, message, wParam, lParam);
    if (message == WM_GETDLGCODE) {
        return result & ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
    }
    return result;
}

HWND CreateControl(HWND parent, HINSTANCE instance, const wchar_t* windowClass, DWORD style,
                   DWORD extendedStyle, std::u16string_view text, int id) {
    return CreateWindowExW(extendedStyle, windowClass, ToWide(text).c_str(), style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                           nullptr);
}

bool RegisterFormClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    // The title bar's icon from its own size in the icon, not scaled down.
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

// The window's size for a client area of the design's size at `dpi`.
SIZE FormSize(UINT dpi) {
    RECT rect{0, 0, Scale(form1_design::kClientWidth, dpi),
              Scale(form1_design::kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&rect, kFormStyle, FALSE, 0, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

Form1::~Form1() {
    if (form_ != nullptr) DestroyWindow(form_);
    if (font_ != nullptr) DeleteObject(font_);
}

bool Form1::Create(HINSTANCE instance, int show) {
    if (!RegisterFormClass(instance, &WindowProc)) return false;
    // The window is made at its size for 96 DPI, then sized for the DPI of
    // the screen it landed on.
    const SIZE size = FormSize(96);
    CreateWindowExW(0, kWindowClass, ToWide(form1_design::kTitle).c_str(), kFormStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance,
                    this);
    if (form_ == nullptr) return false;
    CreateControls(instance);
    const UINT dpi = GetDpiForWindow(form_);
    const SIZE scaled = FormSize(dpi);
    SetWindowPos(form_, nullptr, 0, 0, scaled.cx, scaled.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut(dpi);
    ShowWindow(form_, show);
    UpdateWindow(form_);
    SetFocus(Text1);
    return true;
}

void Form1::CreateControls(HINSTANCE instance) {
    Text1 = CreateControl(form_, instance, L"EDIT", kText1Style, WS_EX_CLIENTEDGE, u"", kText1Id);
    SendMessageW(Text1, EM_SETLIMITTEXT, 0, 0);  // as much text as the control can hold
    text1DefaultProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Text1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Text1Proc)));
    Command1 = CreateControl(form_, instance, L"BUTTON", kButtonStyle, 0,
                             form1_design::kCommand1Caption, kCommand1Id);
    Command2 = CreateControl(form_, instance, L"BUTTON", kButtonStyle, 0,
                             form1_design::kCommand2Caption, kCommand2Id);
    for (HWND button : {Command1, Command2}) {
        buttonDefaultProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CommandButtonProc)));
    }
    window_ = std::make_unique<Win32CommandWindow>(Text1, form_);
    screenReaderTexts_ = std::make_unique<ScreenReaderTexts>();
    screenReaderTexts_->Describe(Text1, form1_design::kText1Name, form1_design::kText1Description);
    screenReaderTexts_->Describe(Command1, u"", form1_design::kCommand1Description);
    screenReaderTexts_->Describe(Command2, u"", form1_design::kCommand2Description);
}

void Form1::LayOut(UINT dpi) {
    Place(Text1, form1_design::kText1, dpi);
    Place(Command1, form1_design::kCommand1, dpi);
    Place(Command2, form1_design::kCommand2, dpi);
    HFONT font = CreateMessageFont(dpi);
    if (font == nullptr) return;
    for (HWND control : {Text1, Command1, Command2}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font_ != nullptr) DeleteObject(font_);
    font_ = font;
}

int Form1::RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // The dialog navigation: Tab and Shift+Tab move between the controls.
        if (form_ != nullptr && IsDialogMessageW(form_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->form_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return form->HandleMessage(window, message, wParam, lParam);
}

LRESULT Form1::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_SETCURSOR:
            if (window_ != nullptr && window_->IsBusy()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            // A plain window forgets which control had the focus; give it back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(form_, focus)) lastFocus_ = focus;
            } else if (IsWindowEnabled(form_)) {
                SetFocus(lastFocus_ != nullptr ? lastFocus_ : Text1);
            }
            return 0;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(form_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            LayOut(HIWORD(wParam));
            return 0;
        }
        case WM_DESTROY:  // before the controls are destroyed
            screenReaderTexts_.reset();
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            form_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Form1::OnCommand(WORD id, WORD notification) {
    if (notification != BN_CLICKED) return;
    // The commands report their own failures and do not throw.
    if (id == kCommand1Id) RunDuplicateLineRemoval(*window_);
    if (id == kCommand2Id) RunLineBreakReplacement(*window_);
}

}  // namespace vorlane
