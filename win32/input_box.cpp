// SPDX-License-Identifier: MIT

#include "win32/input_box.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "win32/wide_text.h"
#include "window/form1_design.h"

namespace vorlane {
namespace {

constexpr WORD kFieldId = 100;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

// A dialog template built in memory, in the layout DialogBoxIndirectParamW
// reads: WORDs, with each control's part starting on a DWORD.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short width, short height, const std::wstring& title,
                   const LOGFONTW& font) {
        AddDword(style);
        AddDword(0);  // extended style
        count_ = words_.size();
        words_.push_back(0);  // number of controls, counted as they come
        AddBox(0, 0, width, height);
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        AddText(title);
        words_.push_back(PointSize(font));
        AddText(font.lfFaceName);
    }

    void AddControl(WORD windowClass, DWORD style, short x, short y, short width, short height,
                    WORD id, const std::wstring& text) {
        if (words_.size() % 2 != 0) words_.push_back(0);
        AddDword(style | WS_CHILD | WS_VISIBLE);
        AddDword(0);
        AddBox(x, y, width, height);
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(windowClass);
        AddText(text);
        words_.push_back(0);  // no creation data
        ++words_[count_];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    // The font's size in points at 96 dots per inch, where the template's
    // dialog units are defined; the system scales the box by the screen's DPI.
    static WORD PointSize(const LOGFONTW& font) {
        const LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        return static_cast<WORD>(height > 0 ? MulDiv(height, 72, 96) : 9);
    }

    void AddDword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void AddBox(short x, short y, short width, short height) {
        for (short value : {x, y, width, height}) words_.push_back(static_cast<WORD>(value));
    }
    void AddText(std::wstring_view text) {
        words_.insert(words_.end(), text.begin(), text.end());
        words_.push_back(0);
    }

    std::vector<WORD> words_;
    std::size_t count_ = 0;
};

// The system's message font at 96 DPI, the font of every box.
LOGFONTW MessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, 96);
    return metrics.lfMessageFont;
}

struct Answer {
    std::wstring initialText;
    std::wstring text;
};

// Puts `box` in the middle of `owner`, or leaves it where it is without one.
void CenterOnOwner(HWND box) {
    const HWND owner = GetWindow(box, GW_OWNER);
    RECT ownerRect, boxRect;
    if (owner == nullptr || !GetWindowRect(owner, &ownerRect) || !GetWindowRect(box, &boxRect)) {
        return;
    }
    const int x = (ownerRect.left + ownerRect.right - (boxRect.right - boxRect.left)) / 2;
    const int y = (ownerRect.top + ownerRect.bottom - (boxRect.bottom - boxRect.top)) / 2;
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK InputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(box, DWLP_USER, lParam);
            const auto* answer = reinterpret_cast<const Answer*>(lParam);
            const HWND field = GetDlgItem(box, kFieldId);
            SendMessageW(field, EM_SETLIMITTEXT, 0, 0);
            SetWindowTextW(field, answer->initialText.c_str());
            SendMessageW(field, EM_SETSEL, 0, -1);
            CenterOnOwner(box);
            SetFocus(field);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND: {
            const WORD id = LOWORD(wParam);
            if (id == IDOK) {
                auto* answer = reinterpret_cast<Answer*>(GetWindowLongPtrW(box, DWLP_USER));
                const HWND field = GetDlgItem(box, kFieldId);
                std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)), L'\0');
                text.resize(static_cast<std::size_t>(
                    GetWindowTextW(field, text.data(), static_cast<int>(text.size()) + 1)));
                answer->text = std::move(text);
                EndDialog(box, IDOK);
                return TRUE;
            }
            if (id == IDCANCEL) {  // also Esc and the close button
                EndDialog(box, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

std::u16string AskTextInBox(HWND owner, std::u16string_view prompt, std::u16string_view title,
                            std::u16string_view initialText) {
    DialogTemplate box(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 240, 74,
                       ToWide(title), MessageFont());
    box.AddControl(kStaticClass, SS_LEFT | SS_NOPREFIX, 7, 7, 226, 18, 0xFFFF, ToWide(prompt));
    box.AddControl(kEditClass, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 28, 226, 14, kFieldId,
                   L"");
    box.AddControl(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 129, 52, 50, 14, IDOK,
                   ToWide(form1_design::kOk));
    box.AddControl(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 183, 52, 50, 14, IDCANCEL,
                   ToWide(form1_design::kCancel));
    Answer answer{ToWide(initialText), {}};
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), box.get(), owner, &InputBoxProc,
                                reinterpret_cast<LPARAM>(&answer));
    if (result == -1) throw std::runtime_error("the input box could not be shown");
    if (result != IDOK) return {};
    return FromWide(answer.text);
}

}  // namespace vorlane
