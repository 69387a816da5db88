#include "skin_forms/WinSkinMenu.h"

#include "WinSkinForm_Internal.h"

#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"

TWinSkinPopMenu* PendingPopupMenu = nullptr;

namespace {

constexpr int kBorder = 3;

// The window rectangle moved to (0, 0).
bool ZeroBasedWindowRect(HWND window, RECT& r) {
    if (!GetWindowRect(window, &r)) return false;
    OffsetRect(&r, -r.left, -r.top);
    return true;
}

} // namespace

TWinSkinPopMenu::~TWinSkinPopMenu() {
    Detach();
    if (PendingPopupMenu == this) PendingPopupMenu = nullptr;
}

void TWinSkinPopMenu::Attach(HWND window, TSkinData* skinData, HMENU menu) {
    Window = window;
    SkinData = skinData;
    Menu = menu;
    Thunk = TWndProcThunk::Make<&TWinSkinPopMenu::PopupWndProc>(this);
    OldWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Thunk->Proc()));
}

void TWinSkinPopMenu::Detach() {
    if (!Thunk) return;
    if (IsWindow(Window)) SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldWndProc));
    Thunk.reset();
    Background.FreeImage();
}

void TWinSkinPopMenu::CallDefault(TMessage& m) {
    m.Result = OldWndProc ? CallWindowProcW(OldWndProc, Window, m.Msg, m.WParam, m.LParam)
                          : DefWindowProcW(Window, m.Msg, m.WParam, m.LParam);
}

void TWinSkinPopMenu::PopupWndProc(TMessage& m) {
    if (m.Msg == SKM_ISSKINNED) {
        m.Result = 1;
        return;
    }
    if (!SkinManager || !SkinManager->Active) {
        CallDefault(m);
        return;
    }
    switch (m.Msg) {
    case WM_DESTROY: {
        const WNDPROC old = OldWndProc;
        Detach();
        m.Result = CallWindowProcW(old, Window, m.Msg, m.WParam, m.LParam);
        return;
    }
    case WM_NCPAINT:
        if (IsWinNT() || (WinVersion & 0x80000000u)) WMNCPaint(m);
        return;
    case WM_PRINT:
        WMPrint(m);
        return;
    case WM_PAINT:
        WMPaint(m);
        return;
    default:
        CallDefault(m);
        return;
    }
}

bool TWinSkinPopMenu::BuildBackground(const RECT& r) {
    TDataSkinObject* element =
        SkinData && !SkinData->SkinNotLoaded() ? SkinData->MenuBackground.get() : nullptr;
    if (!element || element->Bitmap.Empty()) return false;
    std::unique_ptr<TBitmap> built =
        BuildSkinBitmap(r, element->Bitmap, element->Margins(), 1, 1, element->Tile == 1, false);
    Background.Assign(built.get());
    if (!Menu) PendingPopupMenu = this;
    return true;
}

void TWinSkinPopMenu::WMNCPaint(TMessage& m) {
    RECT r;
    if (!ZeroBasedWindowRect(Window, r) || !BuildBackground(r)) {
        CallDefault(m);
        return;
    }
    HDC dc = GetWindowDC(Window);
    if (!dc) return;
    HDC from = Background.Canvas()->Handle();
    const int w = r.right, h = r.bottom;
    BitBlt(dc, 0, 0, w, kBorder, from, 0, 0, SRCCOPY);
    BitBlt(dc, 0, h - kBorder, w, kBorder, from, 0, h - kBorder, SRCCOPY);
    BitBlt(dc, 0, kBorder, kBorder, h - 2 * kBorder, from, 0, kBorder, SRCCOPY);
    BitBlt(dc, w - kBorder, kBorder, kBorder, h - 2 * kBorder, from, w - kBorder, kBorder, SRCCOPY);
    ReleaseDC(Window, dc);
    m.Result = 0;
}

bool TWinSkinPopMenu::HasNonClientArea() const {
    RECT w, c;
    if (!GetWindowRect(Window, &w) || !GetClientRect(Window, &c)) return true;
    return RectWidth(w) != c.right || RectHeight(w) != c.bottom;
}

POINT TWinSkinPopMenu::ClientOrigin() const {
    POINT p{0, 0};
    RECT w;
    if (!ClientToScreen(Window, &p) || !GetWindowRect(Window, &w)) return POINT{kBorder, kBorder};
    return POINT{p.x - w.left, p.y - w.top};
}

// Where the popup has no non-client area (Wine) the system paints its own border inside the
// client area, over whatever WM_NCPAINT drew: the skin's frame and the space around the items are
// painted again once the system is done. The background is built first, so that owner-drawn items
// find it.
void TWinSkinPopMenu::WMPaint(TMessage& m) {
    RECT r;
    if (HasNonClientArea() || !ZeroBasedWindowRect(Window, r) || !BuildBackground(r)) {
        CallDefault(m);
        return;
    }
    CallDefault(m);
    if (Background.Width() != r.right || Background.Height() != r.bottom) return;
    TRegionHandle outside(CreateRectRgn(0, 0, r.right, r.bottom));
    RECT w;
    GetWindowRect(Window, &w);
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(Window, MN_GETHMENU, 0, 0));
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        RECT item;
        if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &item)) continue;
        OffsetRect(&item, -w.left, -w.top);
        TRegionHandle inside(CreateRectRgnIndirect(&item));
        CombineRgn(outside.Get(), outside.Get(), inside.Get(), RGN_DIFF);
    }
    HDC dc = GetWindowDC(Window);
    if (!dc) return;
    SelectClipRgn(dc, outside.Get());
    BitBlt(dc, 0, 0, r.right, r.bottom, Background.Canvas()->Handle(), 0, 0, SRCCOPY);
    SelectClipRgn(dc, nullptr);
    ReleaseDC(Window, dc);
}

void TWinSkinPopMenu::WMPrint(TMessage& m) {
    RECT r;
    if (!ZeroBasedWindowRect(Window, r) || !BuildBackground(r)) {
        CallDefault(m);
        return;
    }
    const auto dc = reinterpret_cast<HDC>(m.WParam);
    BitBlt(dc, 0, 0, r.right, r.bottom, Background.Canvas()->Handle(), 0, 0, SRCCOPY);
    TRegionHandle inner(CreateRectRgn(kBorder, kBorder, r.right - kBorder, r.bottom - kBorder));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    SelectClipRgn(dc, inner.Get());
    CallDefault(m);
    SelectClipRgn(dc, nullptr);
    SetBkMode(dc, oldMode);
}
