#include "driver.h"

#include <commctrl.h>

#include "screen.h"

namespace e2e {

namespace {

// Memory in another process, for control messages whose pointers the system does not carry over.
class RemoteBlock {
public:
    RemoteBlock(HWND window, std::size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Valid() const { return address_ != nullptr; }
    char* Address() const { return static_cast<char*>(address_); }
    bool Write(std::size_t offset, const void* data, std::size_t n) {
        SIZE_T done = 0;
        return offset + n <= size_ && WriteProcessMemory(process_, Address() + offset, data, n, &done) &&
               done == n;
    }
    bool Read(std::size_t offset, void* data, std::size_t n) const {
        SIZE_T done = 0;
        return offset + n <= size_ && ReadProcessMemory(process_, Address() + offset, data, n, &done) &&
               done == n;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t size_;
};

struct TopSearch {
    DWORD processId;
    const std::wstring* caption;
    const wchar_t* className;
    HWND otherThan;
    HWND found;
};

BOOL CALLBACK FindTop(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<TopSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s->processId || window == s->otherThan || !IsWindowVisible(window)) return TRUE;
    if (TextOf(window) != *s->caption) return TRUE;
    if (s->className && ClassOf(window) != s->className) return TRUE;
    s->found = window;
    return FALSE;
}

struct ChildSearch {
    const std::wstring* className;
    const wchar_t* text;
    std::vector<HWND>* found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<ChildSearch*>(param);
    if (_wcsicmp(ClassOf(window).c_str(), s->className->c_str()) == 0 &&
        (!s->text || TextOf(window) == s->text))
        s->found->push_back(window);
    return TRUE;
}

} // namespace

Program::Program(const std::wstring& exePath) {
    const std::wstring directory = exePath.substr(0, exePath.find_last_of(L'\\'));
    std::wstring commandLine = L"\"" + exePath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process_)) {
        startError_ = GetLastError();
        process_ = {};
    }
}

Program::~Program() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool Program::WaitForExit(DWORD ms, DWORD* exitCode) const {
    if (!process_.hProcess || WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_.hProcess, exitCode);
    return true;
}

HWND WaitForTopWindow(DWORD processId, const std::wstring& caption, DWORD ms, const wchar_t* className,
                      HWND otherThan) {
    TopSearch search{processId, &caption, className, otherThan, nullptr};
    WaitUntil(ms, [&] {
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

std::vector<HWND> FindChildren(HWND parent, const std::wstring& className, const wchar_t* text) {
    std::vector<HWND> found;
    ChildSearch search{&className, text, &found};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
    return found;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

std::vector<std::wstring> TabCaptions(HWND tabControl) {
    std::vector<std::wstring> captions;
    const int count = static_cast<int>(SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
    constexpr std::size_t textChars = 256;
    RemoteBlock block(tabControl, sizeof(TCITEMW) + textChars * sizeof(wchar_t));
    if (!block.Valid()) return captions;
    for (int i = 0; i < count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(block.Address() + sizeof(TCITEMW));
        item.cchTextMax = textChars;
        wchar_t text[textChars] = {};
        block.Write(0, &item, sizeof item);
        block.Write(sizeof item, text, sizeof text);
        SendMessageW(tabControl, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(block.Address()));
        block.Read(sizeof item, text, sizeof text);
        text[textChars - 1] = 0;
        captions.emplace_back(text);
    }
    return captions;
}

std::vector<std::wstring> StatusTexts(HWND statusBar) {
    std::vector<std::wstring> texts;
    const int parts = static_cast<int>(SendMessageW(statusBar, SB_GETPARTS, 0, 0));
    for (int i = 0; i < parts; ++i) {
        const std::size_t length = LOWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, i, 0));
        RemoteBlock block(statusBar, (length + 1) * sizeof(wchar_t));
        std::wstring text(length + 1, L'\0');
        if (block.Valid()) {
            SendMessageW(statusBar, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(block.Address()));
            block.Read(0, text.data(), text.size() * sizeof(wchar_t));
        }
        text.resize(length);
        texts.push_back(text);
    }
    return texts;
}

void PostKey(HWND window, UINT virtualKey) {
    // Posted messages keep their order: no pause is needed between keys.
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
}

HWND WaitForPopupMenu(HWND window, DWORD ms) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const std::wstring noCaption;
    return WaitForTopWindow(processId, noCaption, ms, L"#32768");
}

bool IsSkinned(HWND window) {
    constexpr UINT isSkinned = 0x3504; // the skin engine's own query
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, isSkinned, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) && answer == 1;
}

bool ChooseMenuItem(HWND window, int menuIndex, int itemIndex) {
    // The bar takes keys only once the program has skinned the window and nothing else holds it.
    if (!WaitUntil(kMenuWaitMs, [&] { return IsSkinned(window) && IsWindowEnabled(window); })) return false;
    if (WaitForPopupMenu(window, 0)) return false; // a menu left open would take the keys
    // Another program's window coming up on the shared display ends a menu loop, as it does for a
    // user: the bar is tried again, a few times. Once Down reached the bar its keyboard mode is over,
    // so nothing is left to cancel before the next try.
    for (int attempt = 0; attempt < 3; ++attempt) {
        PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        for (int i = 0; i < menuIndex; ++i) PostKey(window, VK_RIGHT);
        PostKey(window, VK_DOWN);
        if (WaitForPopupMenu(window, kMenuWaitMs / 3)) {
            for (int i = 0; i < itemIndex; ++i) PostKey(window, VK_DOWN);
            PostKey(window, VK_RETURN);
            return true;
        }
    }
    return false;
}

bool ChooseMenuItemUntil(HWND window, int menuIndex, int itemIndex, DWORD ms,
                         const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (done()) return true;
        if (ChooseMenuItem(window, menuIndex, itemIndex) && WaitUntil(ms, done)) return true;
    }
    return done();
}

bool ChooseContextMenuItem(HWND control, int itemIndex) {
    RECT r;
    GetWindowRect(control, &r);
    PostMessageW(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control),
                 MAKELPARAM(r.left + 20, r.top + 20));
    if (!WaitForPopupMenu(control, kMenuWaitMs)) return false;
    for (int i = 0; i <= itemIndex; ++i) PostKey(control, VK_DOWN);
    PostKey(control, VK_RETURN);
    return true;
}

void Type(HWND control, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(control, WM_CHAR, c, 1);
}

bool WaitUntil(DWORD ms, const std::function<bool()>& condition) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

bool HasMenuBar(HWND window) {
    POINT p{10, 0};
    ClientToScreen(window, &p);
    return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y - 5)) == HTMENU;
}

std::optional<std::vector<COLORREF>> OwnedScreenPixels(HWND window, const std::vector<POINT>& points) {
    // Other programs on the display must not cover the window while it is read.
    if (!RaiseUnobscured(window)) return std::nullopt;
    std::vector<COLORREF> colours;
    HDC screen = GetDC(nullptr);
    for (POINT p : points) {
        ClientToScreen(window, &p);
        colours.push_back(GetPixel(screen, p.x, p.y));
    }
    ReleaseDC(nullptr, screen);
    // A window that came and went meanwhile may have been read instead.
    if (!Unobscured(window)) return std::nullopt;
    return colours;
}

std::wstring WindowsPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p) path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

} // namespace e2e
