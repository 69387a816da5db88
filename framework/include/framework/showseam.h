#pragma once
// How a thread-wide window hook that acts on a window's activation may act before a form is shown.

#include <windows.h>

// Called just before a hidden top-level form's window is shown in its normal state, a showing that
// activates it: what a hook does to the window at that activation may be done here instead, while
// nothing of the window is on the screen, so that the window is painted once, in its final look.
struct TFormShowSeam {
    void (*BeforeShow)(HWND window) = nullptr;
};
TFormShowSeam& FormShowSeam();
