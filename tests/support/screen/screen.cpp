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

std::vector<COLORREF> VerticalBarColumn(HWND window) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    GetScrollBarInfo(window, OBJID_VSCROLL, &info);
    const HWND top = GetAncestor(window, GA_ROOT);
    RECT r;
    GetWindowRect(top, &r);
    HDC dc = GetWindowDC(top);
    std::vector<COLORREF> column;
    const int x = (info.rcScrollBar.left + info.rcScrollBar.right) / 2 - r.left;
    for (int y = info.rcScrollBar.top; y < info.rcScrollBar.bottom; ++y)
        column.push_back(GetPixel(dc, x, y - r.top));
    ReleaseDC(top, dc);
    return column;
}
