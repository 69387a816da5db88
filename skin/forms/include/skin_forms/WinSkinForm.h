#pragma once
// The form skinner's unit: the skinner of one top-level window, and the window-text helpers the
// engine shares.

#include <windows.h>

#include <string>

class TWinSkinForm;

// A window's text: on NT platforms through GetWindowTextW, otherwise WM_GETTEXT (up to 1000
// bytes) in the ANSI code page.
std::wstring GetWindowTextString(HWND window);
// A window's text through WM_GETTEXT, at most 1000 characters, in the ANSI code page.
std::string GetWindowTextByMessage(HWND window);
// A window's class name (GetClassNameA, at most 100 characters).
std::string GetWindowClassString(HWND window);
// Invalidates the whole window (erasing) and updates it at once.
void RepaintWindow(HWND window);
