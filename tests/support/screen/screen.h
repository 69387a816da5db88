// The display is shared with other test programs: a test that reads a window's pixels off it must
// first own the window's area, and check afterwards that it still did.
#pragma once

#include <windows.h>

#include <vector>

// No other visible window lies above `window` over any part of it.
bool Unobscured(HWND window);

// Puts `window` above every other window without activating it; true when nothing covers it.
bool RaiseUnobscured(HWND window);

// The pixels down the middle of a window's vertical scroll bar, as its top-level window shows them
// (handle the window's pending paints first).
std::vector<COLORREF> VerticalBarColumn(HWND window);
