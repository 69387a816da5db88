#include "screen.h"

bool Unobscured(HWND window) {
    RECT mine;
    if (!IsWindowVisible(window) || !GetWindowRect(window, &mine)) return false;
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        RECT theirs, overlap;
        if (IsWindowVisible(above) && GetWindowRect(above, &theirs) &&
            IntersectRect(&overlap, &mine, &theirs))
            return false;
    }
    return true;
}

bool RaiseUnobscured(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return Unobscured(window);
}
