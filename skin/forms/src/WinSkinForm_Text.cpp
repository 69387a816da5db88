#include "skin_forms/WinSkinForm.h"

#include <vector>

#include "skin_data/SkinDraw.h"

std::wstring GetWindowTextString(HWND window) {
    if (IsWinNT()) {
        const int length = GetWindowTextLengthW(window) + 1;
        std::wstring text(static_cast<std::size_t>(length), L'\0');
        const int got = GetWindowTextW(window, text.data(), length);
        text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
        return text;
    }
    return AnsiToWide(GetWindowTextByMessage(window));
}

std::string GetWindowTextByMessage(HWND window) {
    std::vector<char> buffer(1001, '\0');
    SendMessageA(window, WM_GETTEXT, 1000, reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data());
}

std::string GetWindowClassString(HWND window) {
    char name[101] = {};
    const int got = GetClassNameA(window, name, 101);
    return std::string(name, static_cast<std::size_t>(got > 0 ? got : 0));
}

void RepaintWindow(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}
