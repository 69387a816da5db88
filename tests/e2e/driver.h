// Drives a running program from outside, as a user would: finds its windows by class and caption,
// clicks, types, chooses menu items with the keyboard and reads texts back.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// A program started by the driver; ended (if still running) when this goes.
class Program {
public:
    explicit Program(const std::wstring& exePath);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }
    // Why the start failed (the system's error code); 0 when it did not.
    DWORD StartError() const { return startError_; }
    DWORD Id() const { return process_.dwProcessId; }
    // True once the program has ended within ms; exitCode then holds its code.
    bool WaitForExit(DWORD ms, DWORD* exitCode = nullptr) const;

private:
    DWORD startError_ = 0;
    PROCESS_INFORMATION process_{};
};

// A visible top-level window of the process with this caption (and class, when given), waiting up to
// ms for it; nullptr when none came.
HWND WaitForTopWindow(DWORD processId, const std::wstring& caption, DWORD ms,
                      const wchar_t* className = nullptr, HWND other_than = nullptr);
// Every descendant window of parent with this class (and text, when given).
std::vector<HWND> FindChildren(HWND parent, const std::wstring& className, const wchar_t* text = nullptr);
std::wstring ClassOf(HWND window);
// The window's text through WM_GETTEXT.
std::wstring TextOf(HWND window);

// Tab captions of a tab control in another process.
std::vector<std::wstring> TabCaptions(HWND tabControl);
// Texts of the parts of a status bar in another process.
std::vector<std::wstring> StatusTexts(HWND statusBar);

// How long the menu helpers wait for the program to be ready for the keys and for the menu to open.
constexpr DWORD kMenuWaitMs = 15000;

// The keys go to the window's thread as posted key messages, which its menu loop reads in order.
void PostKey(HWND window, UINT virtualKey);
// The visible popup menu of the window's process, waiting up to ms; nullptr when none.
HWND WaitForPopupMenu(HWND window, DWORD ms);
// The program's skin engine has taken the window over (it draws the menu bar and takes its keys).
bool IsSkinned(HWND window);
// Once the window is skinned and enabled, opens the menu bar with the keyboard, moves right
// `menuIndex` times, opens that menu, moves down to its item `itemIndex` and chooses it. False when
// the window never became ready or the menu did not open.
bool ChooseMenuItem(HWND window, int menuIndex, int itemIndex);
// Chooses the item as ChooseMenuItem does and waits up to ms for done() (what the item does). Another
// program's window coming up on the shared display can close the menu before the item is taken, as
// it would for a user, who chooses again: up to three times. True once done() holds.
bool ChooseMenuItemUntil(HWND window, int menuIndex, int itemIndex, DWORD ms,
                         const std::function<bool()>& done);
// Right-clicks the control where its popup menu opens, moves down to item `itemIndex` (separators
// are skipped by the menu) and chooses it. False when no menu opened.
bool ChooseContextMenuItem(HWND control, int itemIndex);
// Types the text into the control, character by character.
void Type(HWND control, const std::wstring& text);

// Polls condition every few milliseconds until it holds or ms have passed.
bool WaitUntil(DWORD ms, const std::function<bool()>& condition);

// The window shows a menu bar right above its client area: the system's, or one a skin draws in the
// non-client area (a skinned window has no Windows menu of its own).
bool HasMenuBar(HWND window);

// The colours on the screen at points of a window's client area, read with the window on top of all
// others and nothing over it before or after; nullopt when something covered it.
std::optional<std::vector<COLORREF>> OwnedScreenPixels(HWND window, const std::vector<POINT>& points);

// A Unix path of the build tree as Wine shows it (drive Z:).
std::wstring WindowsPath(const char* unixPath);

} // namespace e2e
