#include "skin_controls/WinSubClass_Scroll.h"

#include <commctrl.h>
#include <windowsx.h>

#include <framework/sysutils.h>
#include <framework/wndthunk.h>

#include <algorithm>

#include "skin_controls/SkinFactories.h"
#include "skin_controls/WinSubClass_Header.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"

namespace {

const wchar_t* const OverlayClass = L"TWScrollbar";

void RegisterOverlayClass() {
    static const bool done = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = OverlayClass;
        return RegisterClassW(&wc) != 0;
    }();
    (void)done;
}

bool HasBitmap(const std::unique_ptr<TDataSkinObject>& element) {
    return element && !element->Bitmap.Empty();
}

// Arrow frames of the 23-frame Scrollbar strip: first and last arrow, horizontal and vertical.
int ArrowFrame(int orientation, bool last, bool pressed) {
    const int normal = orientation == 1 ? (last ? 13 : 9) : (last ? 5 : 1);
    return normal + (pressed ? 1 : 0);
}

void FillColour(HDC dc, const RECT& r, TColor colour) {
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(colour)));
    FillRect(dc, &r, brush.Get());
}

} // namespace

// --- TWScrollbar -----------------------------------------------------------------------------------

TWScrollbar::TWScrollbar(TSkinControl* skinner)
    : ArrowSize(GetSystemMetrics(SM_CXHSCROLL)), Skinner(skinner) {}

TWScrollbar::~TWScrollbar() {
    Alive.reset();
    if (Window && IsWindow(Window)) DestroyWindow(Window);
    Window = nullptr;
}

void TWScrollbar::AttachToControl(TSkinControl* skinner, TWinControl* control, int kind) {
    Control = control;
    Attach(skinner, control->Handle(), kind);
}

void TWScrollbar::AttachToWindow(TSkinControl* skinner, HWND window, int kind) {
    Control = nullptr;
    Attach(skinner, window, kind);
}

void TWScrollbar::Attach(TSkinControl* skinner, HWND target, int kind) {
    Skinner = skinner;
    Target = target;
    Kind = kind;
    Orientation = kind;
    if (kind == kControl) {
        Orientation = LowerCase(GetEnumPropName(Control, L"Kind")) == L"sbhorizontal" ? 0 : 1;
    }
    CreateOverlayWindow(GetParent(target));
    PlaceOverlay(target);
}

void TWScrollbar::CreateOverlayWindow(HWND parent) {
    if (Window && IsWindow(Window)) DestroyWindow(Window);
    Window = nullptr;
    if (!parent) return;
    RegisterOverlayClass();
    Window = CreateWindowExW(0, OverlayClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!Window) return;
    if (!Thunk) Thunk = TWndProcThunk::Make<&TWScrollbar::WndProc>(this);
    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Thunk->Proc()));
}

void TWScrollbar::HideOverlay() {
    if (Window) ShowWindow(Window, SW_HIDE);
    Placed = false;
}

bool TWScrollbar::ReadBarInfo(SCROLLBARINFO& info) {
    info = SCROLLBARINFO{};
    info.cbSize = sizeof(info);
    if (!Target || !IsWindow(Target)) return false;
    if (Kind != kControl)
        return GetScrollBarInfo(Target, Kind == kVertical ? OBJID_VSCROLL : OBJID_HSCROLL, &info);
    // A scroll-bar control: its client rectangle, and the thumb from its position and range.
    RECT client;
    if (!GetClientRect(Target, &client)) return false;
    MapWindowPoints(Target, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    info.rcScrollBar = client;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(Target, SB_CTL, &si);
    const int length = Orientation == 1 ? client.bottom - client.top : client.right - client.left;
    const int s = ArrowSize, position = si.nPos - si.nMin, range = si.nMax - si.nMin;
    const int page = static_cast<int>(si.nPage);
    int start = s, size = length - 2 * s;
    if (range > 0) {
        if (page != 0) {
            size = MulDiv(length - 2 * s, page - 1, range);
            start = position ? MulDiv(length - 2 * s, position, range) + s : s;
        } else {
            size = s;
            start = position ? MulDiv(length - 3 * s, position, range) + s : s;
        }
    }
    info.xyThumbTop = start;
    info.xyThumbBottom = start + std::max(size, 0);
    if (!IsWindowVisible(Target)) info.rgstate[0] |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(Target)) info.rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
    return true;
}

void TWScrollbar::PlaceOverlay(HWND target) {
    Target = target;
    SCROLLBARINFO info;
    if (!ReadBarInfo(info)) {
        Placed = false;
        return;
    }
    if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) {
        HideOverlay();
        return;
    }
    if (!Window || GetParent(Window) != GetParent(target)) CreateOverlayWindow(GetParent(target));
    if (!Window) return;
    const RECT bar = info.rcScrollBar;
    RECT window;
    GetWindowRect(target, &window);
    BarRect =
        RECT{bar.left - window.left, bar.top - window.top, bar.right - window.left, bar.bottom - window.top};
    BarOrigin = POINT{bar.left, bar.top};
    TrackLength = Orientation == 1 ? bar.bottom - bar.top : bar.right - bar.left;
    ThumbStart = info.xyThumbTop;
    ThumbEnd = info.xyThumbBottom;
    POINT at{bar.left, bar.top};
    ScreenToClient(GetParent(Window), &at);
    const int w = bar.right - bar.left, h = bar.bottom - bar.top;
    Placed = true;
    if (Kind == kControl) {
        SetWindowPos(Window, HWND_TOP, at.x, at.y, w, h, SWP_NOREDRAW | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        InvalidateRect(Window, nullptr, FALSE);
    } else {
        // Just above the target, below whatever lay above it.
        HWND above = GetWindow(target, GW_HWNDPREV);
        if (above == Window) above = GetWindow(Window, GW_HWNDPREV);
        SetWindowPos(Window, above ? above : HWND_TOP, at.x, at.y, w, h,
                     SWP_NOREDRAW | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        MoveWindow(Window, at.x, at.y, w, h, TRUE);
        // A bar shown or placed where it was is not repainted by the move.
        InvalidateRect(Window, nullptr, FALSE);
    }
}

int TWScrollbar::HitTest(POINT point) const {
    const int along = Orientation == 1 ? point.y : point.x;
    const int s = ArrowSize;
    if (along < s) return spFirstArrow;
    if (along < ThumbStart) return spPageBefore;
    if (along < ThumbEnd) return spThumb;
    if (along < TrackLength - s) return spPageAfter;
    return spLastArrow;
}

void TWScrollbar::Repaint() {
    if (Window && Placed) RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TWScrollbar::WndProc(TMessage& m) {
    const HWND window = Window;
    switch (m.Msg) {
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(window, &ps);
        try {
            Paint(dc);
        } catch (...) {
            // a paint that fails leaves the bar as it was
        }
        if (!m.WParam) EndPaint(window, &ps);
        m.Result = 0;
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        MouseDown(m);
        return;
    case WM_LBUTTONUP:
        MouseUp(m);
        return;
    case WM_NCDESTROY:
        Window = nullptr;
        Placed = false;
        break;
    default:
        break;
    }
    m.Result = DefWindowProcW(window, m.Msg, m.WParam, m.LParam);
}

POINT TWScrollbar::PressPoint(const TMessage& m) const {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    if (Kind != kControl) {
        p.x += BarOrigin.x;
        p.y += BarOrigin.y;
    }
    return p;
}

void TWScrollbar::MouseDown(TMessage& m) {
    const POINT overlayPoint{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    const POINT p = PressPoint(m);
    GetCursorPos(&PressCursor);
    SCROLLBARINFO info;
    if (ReadBarInfo(info)) {
        PressThumbStart = info.xyThumbTop;
        ThumbStart = info.xyThumbTop;
        ThumbEnd = info.xyThumbBottom;
    }
    if (Kind == kControl) PressedPart = HitTest(overlayPoint);
    Pressed = true;
    if (Kind == kControl) Repaint();
    ReleaseCapture();
    const std::weak_ptr<int> alive = Alive;
    const HWND target = Target;
    // The system's tracking loop runs inside this call, until the button is released.
    if (Kind == kControl)
        SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    else
        SendMessageW(target, WM_NCLBUTTONDOWN, Kind == kVertical ? HTVSCROLL : HTHSCROLL,
                     MAKELPARAM(p.x, p.y));
    if (alive.expired()) return;
    Pressed = false;
    ReleaseCapture();
    Repaint();
    m.Result = 0;
}

void TWScrollbar::MouseUp(TMessage& m) {
    const POINT p = PressPoint(m);
    Pressed = false;
    ReleaseCapture();
    if (Kind == kControl)
        PostMessageW(Target, WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    else
        PostMessageW(Target, WM_NCLBUTTONUP, Kind == kVertical ? HTVSCROLL : HTHSCROLL, MAKELPARAM(p.x, p.y));
    if (Kind == kControl) Repaint();
    m.Result = 0;
}

void TWScrollbar::Paint(HDC dc) {
    TSkinData* skin = Skinner ? Skinner->SkinData : nullptr;
    if (!skin || !HasBitmap(skin->Scrollbar)) return;
    SCROLLBARINFO info;
    if (!ReadBarInfo(info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) return;
    const bool enabled = !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
    const bool vertical = Orientation == 1;
    const RECT bar = info.rcScrollBar;
    const int w = bar.right - bar.left, h = bar.bottom - bar.top;
    if (w <= 0 || h <= 0) return;
    TrackLength = vertical ? h : w;
    TBitmap& arrows = skin->Scrollbar->Bitmap;
    const int thickness = arrows.Height() < ArrowSize - 3 ? ArrowSize : arrows.Height();

    TBitmap picture(w, h, pf24bit);
    TCanvas& canvas = *picture.Canvas();
    HDC pdc = canvas.Handle();
    SetStretchBltMode(pdc, COLORONCOLOR);
    FillColour(pdc, RECT{0, 0, w, h}, skin->Colours.ButtonFace);
    // Every part lies in a band of `thickness` along the bar's top or left edge.
    auto box = [&](int from, int to) {
        return vertical ? RECT{0, from, thickness, to} : RECT{from, 0, to, thickness};
    };
    const int length = TrackLength;
    const int arrow = length < 2 * ArrowSize ? length / 2 : ArrowSize;

    // Track.
    const auto& track = vertical ? skin->VertScroll : skin->HorzScroll;
    if (HasBitmap(track) && length > 2 * arrow) {
        const bool tile = skin->HorzScroll ? skin->HorzScroll->Tile == 1 : track->Tile == 1;
        DrawSkinFrame(pdc, box(arrow, length - arrow), track->Bitmap, track->Margins(), enabled ? 1 : 3, 4,
                      track->Trans == 1, tile, false);
    }

    // Arrows.
    const bool firstPressed = Pressed && PressedPart == spFirstArrow;
    const bool lastPressed = Pressed && PressedPart == spLastArrow;
    Skinner->DrawStripFrameCanvas(canvas, box(0, arrow), arrows, ArrowFrame(Orientation, false, firstPressed),
                                  23);
    Skinner->DrawStripFrameCanvas(canvas, box(length - arrow, length), arrows,
                                  ArrowFrame(Orientation, true, lastPressed), 23);

    // Thumb: where the system has it, or under the cursor while it is dragged.
    int start = info.xyThumbTop, end = info.xyThumbBottom;
    if (PressedPart == spThumb && Kind != kControl && Pressed) {
        const int size = ThumbEnd - ThumbStart;
        POINT cursor;
        GetCursorPos(&cursor);
        const int moved = vertical ? cursor.y - PressCursor.y : cursor.x - PressCursor.x;
        start = std::max(ArrowSize, std::min(PressThumbStart + moved, length - ArrowSize - size));
        end = start + size;
    } else {
        ThumbStart = start;
        ThumbEnd = end;
    }
    const auto& thumb = vertical ? skin->VertScrollThumb : skin->HorzScrollThumb;
    if (enabled && HasBitmap(thumb) && end > start) {
        const auto& look = HasBitmap(skin->HorzScrollThumb) ? skin->HorzScrollThumb : thumb;
        const int frame = Pressed && PressedPart == spThumb ? 2 : 1;
        DrawSkinFrame(pdc, box(start, end), thumb->Bitmap, thumb->Margins(), frame, look->FrameCount,
                      look->Trans == 1, false, false);
    }
    BitBlt(dc, 0, 0, w, h, pdc, 0, 0, SRCCOPY);
}

// --- TSkinWindowScrollbars --------------------------------------------------------------------------

TSkinWindowScrollbars::~TSkinWindowScrollbars() {
    FreeOverlays();
}

void TSkinWindowScrollbars::CreateOverlays(TWinControl* control, HWND window) {
    HorzScrollbar = std::make_unique<TWScrollbar>(this);
    VertScrollbar = std::make_unique<TWScrollbar>(this);
    if (control) {
        HorzScrollbar->AttachToControl(this, control, TWScrollbar::kHorizontal);
        VertScrollbar->AttachToControl(this, control, TWScrollbar::kVertical);
    } else {
        HorzScrollbar->AttachToWindow(this, window, TWScrollbar::kHorizontal);
        VertScrollbar->AttachToWindow(this, window, TWScrollbar::kVertical);
    }
}

void TSkinWindowScrollbars::FreeOverlays() {
    HorzScrollbar.reset();
    VertScrollbar.reset();
}

void TSkinWindowScrollbars::HideOverlays() {
    if (HorzScrollbar) HorzScrollbar->HideOverlay();
    if (VertScrollbar) VertScrollbar->HideOverlay();
}

void TSkinWindowScrollbars::Unskin() {
    TSkinControl::Unskin();
    if (State == 6)
        HideOverlays();
    else
        FreeOverlays();
}

void TSkinWindowScrollbars::PlaceOverlays() {
    if (HorzScrollbar) HorzScrollbar->PlaceOverlay(Handle);
    if (VertScrollbar) VertScrollbar->PlaceOverlay(Handle);
}

bool TSkinWindowScrollbars::ScrollMessage(const TMessage& m) {
    if (m.Msg != WM_HSCROLL && m.Msg != WM_VSCROLL) return false;
    if (TWScrollbar* bar = (m.Msg == WM_HSCROLL ? HorzScrollbar : VertScrollbar).get()) {
        bar->PressedPart = LOWORD(m.WParam);
        bar->Repaint();
    }
    return true;
}

void TSkinWindowScrollbars::FillSizeBox(HDC dc) {
    TWScrollbar *horz = HorzScrollbar.get(), *vert = VertScrollbar.get();
    if (!horz || !vert || !horz->Placed || !vert->Placed || !Handle) return;
    HDC target = dc ? dc : GetWindowDC(Handle);
    if (!target) return;
    FillSkinColor(target,
                  RECT{vert->BarRect.left, horz->BarRect.top, vert->BarRect.right, horz->BarRect.bottom});
    if (!dc) ReleaseDC(Handle, target);
}

void TSkinWindowScrollbars::DrawSkin(HDC dc, const RECT&) {
    if (VertScrollbar) VertScrollbar->Repaint();
    if (HorzScrollbar) HorzScrollbar->Repaint();
    FillSizeBox(dc);
}

// --- TSkinScrollbar ----------------------------------------------------------------------------------

void TSkinScrollbar::AttachScrollControl(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                                         TCanvas* formCanvas) {
    // The control is the skinner's owner.
    if (Attached || TakeControl(skinData, formCanvas, false) != control) return;
    Register(form);
    CreateOverlays(control, nullptr);
    if (!control->Visible()) HideOverlays();
    HookControlProc(control);
    RefreshFocusAndEnabled();
    Attached = true;
    State = 1;
    // The frame is painted again through the hook: the size box gets the skin's colour.
    RedrawWindow(Handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TSkinScrollbar::AfterMessage(TMessage& m) {
    if (ScrollMessage(m)) return;
    switch (m.Msg) {
    case WM_SIZE:
        Redraw();
        break;
    case WM_NCPAINT:
        if (Control) Handle = Control->Handle();
        PlaceOverlays();
        FillSizeBox();
        break;
    case WM_MOUSEWHEEL:
        if (HorzScrollbar) HorzScrollbar->Repaint();
        if (VertScrollbar) VertScrollbar->Repaint();
        break;
    case CM_VISIBLECHANGED:
        if (m.WParam == 0) HideOverlays();
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

// --- TSkinScrollbarH ---------------------------------------------------------------------------------

void TSkinScrollbarH::AttachWindow(HWND window, TSkinData* skinData, TCanvas* formCanvas,
                                   TWinSkinForm* form) {
    TSkinControl::AttachWindow(window, skinData, formCanvas, form);
    if (!window) return;
    CreateOverlays(nullptr, window);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TSkinScrollbarH::AfterMessage(TMessage& m) {
    // A hidden window hides both overlays (not only the vertical one).
    if (Handle && !IsWindowVisible(Handle)) HideOverlays();
    if (ScrollMessage(m)) return;
    switch (m.Msg) {
    case WM_SIZE:
    case WM_NCPAINT:
        PlaceOverlays();
        FillSizeBox();
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

// --- TSkinScControl --------------------------------------------------------------------------------

TSkinScControl::~TSkinScControl() {
    Scrollbar.reset();
}

void TSkinScControl::AttachScrollBarControl(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                                            TCanvas* formCanvas) {
    // The control is the skinner's owner.
    if (Attached || TakeControl(skinData, formCanvas, false) != control) return;
    Register(form);
    Scrollbar = std::make_unique<TWScrollbar>(this);
    Scrollbar->AttachToControl(this, control, TWScrollbar::kControl);
    HookControlProc(control);
    RefreshFocusAndEnabled();
    Attached = true;
    State = 1;
}

void TSkinScControl::Unskin() {
    TSkinControl::Unskin();
    if (State == 6) {
        if (Scrollbar) Scrollbar->HideOverlay();
    } else {
        Scrollbar.reset();
    }
}

void TSkinScControl::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_NCPAINT:
        if (Control) Handle = Control->Handle();
        if (Scrollbar) Scrollbar->PlaceOverlay(Handle);
        break;
    case SBM_SETSCROLLINFO:
    case SBM_SETPOS:
    case SBM_SETRANGE:
        if (Scrollbar) Scrollbar->Repaint();
        break;
    case CM_VISIBLECHANGED:
        if (m.WParam == 0 && Scrollbar) Scrollbar->HideOverlay();
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinScControl::DrawSkin(HDC, const RECT&) {
    if (Scrollbar) Scrollbar->Repaint();
}

// --- TSkinListView ---------------------------------------------------------------------------------

void TSkinListView::AttachScrollControl(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                                        TCanvas* formCanvas) {
    if (Attached) return;
    TSkinScrollbar::AttachScrollControl(control, skinData, form, formCanvas);
    const auto header = reinterpret_cast<HWND>(SendMessageW(Handle, LVM_GETHEADER, 0, 0));
    if (!header) return;
    Header = new TSkinHeader(Owner());
    Header->AttachWindow(header, SkinData, FormCanvas, SkinForm);
}

// --- factories -------------------------------------------------------------------------------------

TSkinControl* NewScrollSkinner(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                               TCanvas* formCanvas) {
    auto* skinner = new TSkinScrollbar(control);
    skinner->AttachScrollControl(control, skinData, form, formCanvas);
    return skinner;
}
