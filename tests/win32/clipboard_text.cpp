// SPDX-License-Identifier: MIT

// Puts its standard input, UTF-8, on the Windows clipboard as Unicode text,
// unit for unit. Pasting it then gives a program exactly these characters: a
// lone CR or LF stays one, which text that comes in from the X clipboard does
// not (wine turns each lone LF into CR LF on the way in). Exits 1 on failure.

#include <windows.h>

#include <cstring>
#include <string>

namespace {

std::string ReadAll(HANDLE input) {
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

bool PutOnClipboard(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) return false;
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!put) GlobalFree(memory);  // the clipboard owns it otherwise
    CloseClipboard();
    return put;
}

}  // namespace

int wmain() { return PutOnClipboard(FromUtf8(ReadAll(GetStdHandle(STD_INPUT_HANDLE)))) ? 0 : 1; }
