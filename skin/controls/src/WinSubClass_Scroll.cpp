#include "skin_controls/WinSubClass_Scroll.h"

#include <commctrl.h>
#include <windowsx.h>

#include <framework/sysutils.h>
#include <framework/wndthunk.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

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

// Every skinner of window scroll bars, for the redirected bar calls below. Kept for the life of the
// process: rich edits set their bars while they are destroyed, after static objects are gone.
struct TRegistry {
    std::mutex Lock;
    std::vector<TSkinWindowScrollbars*> Skinners;
};
TRegistry& Registry() {
    static auto* registry = new TRegistry;
    return *registry;
}

// The rich edit class sets its own scroll bars and asks every time for them to be drawn: for each
// line that a full log box gains, the range and the position (twice) are set, and each drawing of
// the themed bar costs about as much as a paint of the whole box. Under a placed overlay none of
// that is seen, so for such a window the class's calls set the bar without drawing it and the
// overlay repaints if what it shows changed. Other windows' calls pass through unchanged.
decltype(&SetScrollInfo) systemSetScrollInfo = nullptr;
decltype(&SetScrollPos) systemSetScrollPos = nullptr;
decltype(&SetScrollRange) systemSetScrollRange = nullptr;

// The overlay that hides the bar, and its lifetime, when a drawing of it would be unseen.
std::pair<TWScrollbar*, std::weak_ptr<int>> Unseen(HWND window, int bar, BOOL redraw) {
    TWScrollbar* overlay = redraw ? TSkinWindowScrollbars::CoveringOverlay(window, bar) : nullptr;
    return {overlay, overlay ? overlay->Lifetime() : std::weak_ptr<int>()};
}

void ShowChange(const std::pair<TWScrollbar*, std::weak_ptr<int>>& unseen) {
    if (unseen.first && !unseen.second.expired()) unseen.first->InvalidateIfChanged();
}

int WINAPI RedirectedSetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw) {
    const auto unseen = Unseen(window, bar, redraw);
    const int result = systemSetScrollInfo(window, bar, info, unseen.first ? FALSE : redraw);
    ShowChange(unseen);
    return result;
}

int WINAPI RedirectedSetScrollPos(HWND window, int bar, int pos, BOOL redraw) {
    const auto unseen = Unseen(window, bar, redraw);
    const int result = systemSetScrollPos(window, bar, pos, unseen.first ? FALSE : redraw);
    ShowChange(unseen);
    return result;
}

BOOL WINAPI RedirectedSetScrollRange(HWND window, int bar, int low, int high, BOOL redraw) {
    const auto unseen = Unseen(window, bar, redraw);
    const BOOL result = systemSetScrollRange(window, bar, low, high, unseen.first ? FALSE : redraw);
    ShowChange(unseen);
    return result;
}

// Points the module's imports of the three bar calls at the redirections, once per module.
void RedirectImports(HMODULE module) {
    static auto* lock = new std::mutex;
    static auto* done = new std::set<HMODULE>;
    const std::lock_guard<std::mutex> hold(*lock);
    if (!module || !done->insert(module).second) return;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name; ++library) {
        if (_stricmp(reinterpret_cast<const char*>(base + library->Name), "user32.dll") != 0) continue;
        if (!library->OriginalFirstThunk) continue; // names unknown
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            const auto system = slots->u1.Function;
            ULONG_PTR redirected = 0;
            if (std::strcmp(name, "SetScrollInfo") == 0) {
                if (!systemSetScrollInfo)
                    systemSetScrollInfo = reinterpret_cast<decltype(&SetScrollInfo)>(system);
                redirected = reinterpret_cast<ULONG_PTR>(&RedirectedSetScrollInfo);
            } else if (std::strcmp(name, "SetScrollPos") == 0) {
                if (!systemSetScrollPos)
                    systemSetScrollPos = reinterpret_cast<decltype(&SetScrollPos)>(system);
                redirected = reinterpret_cast<ULONG_PTR>(&RedirectedSetScrollPos);
            } else if (std::strcmp(name, "SetScrollRange") == 0) {
                if (!systemSetScrollRange)
                    systemSetScrollRange = reinterpret_cast<decltype(&SetScrollRange)>(system);
                redirected = reinterpret_cast<ULONG_PTR>(&RedirectedSetScrollRange);
            }
            if (!redirected || system == redirected) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection))
                continue;
            slots->u1.Function = redirected;
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
        }
    }
}

// Rich edits only: the other classes with scroll bars set them from inside the system.
void RedirectBarDrawing(HWND window) {
    wchar_t name[16] = L"";
    if (!window || !GetClassNameW(window, name, 16) || _wcsnicmp(name, L"RichEdit", 8) != 0) return;
    // The module of the class's own procedure: the class may be registered without one.
    HMODULE module = nullptr;
    const auto procedure = reinterpret_cast<LPCWSTR>(GetClassLongPtrW(window, GCLP_WNDPROC));
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           procedure, &module))
        RedirectImports(module);
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
    PaintedValid = false;
    if (!Window) return;
    if (!Thunk) Thunk = TWndProcThunk::Make<&TWScrollbar::WndProc>(this);
    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Thunk->Proc()));
}

void TWScrollbar::HideOverlay() {
    if (Window) ShowWindow(Window, SW_HIDE);
    Placed = false;
    PaintedValid = false;
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
    PaintedValid = false;
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

bool TWScrollbar::ReadLook(TLook& look) {
    SCROLLBARINFO info;
    if (!ReadBarInfo(info)) return false;
    look.Left = info.rcScrollBar.left;
    look.Top = info.rcScrollBar.top;
    look.Right = info.rcScrollBar.right;
    look.Bottom = info.rcScrollBar.bottom;
    look.ThumbTop = info.xyThumbTop;
    look.ThumbBottom = info.xyThumbBottom;
    look.State = info.rgstate[0];
    look.PressedPart = Pressed ? PressedPart : -1;
    return true;
}

bool TWScrollbar::ChangedSincePaint() {
    if (!PaintedValid || Pressed) return true;
    TLook now;
    return !ReadLook(now) || !(now == Painted);
}

void TWScrollbar::RepaintIfChanged() {
    if (Window && Placed && ChangedSincePaint()) Repaint();
}

void TWScrollbar::InvalidateIfChanged() {
    if (Window && Placed && ChangedSincePaint()) InvalidateRect(Window, nullptr, FALSE);
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
        bool painted = false;
        try {
            Paint(dc);
            painted = true;
        } catch (...) {
            // a paint that fails leaves the bar as it was
        }
        if (!m.WParam) {
            // Only a paint of the whole overlay on the screen shows the look it was painted from.
            RECT client{};
            GetClientRect(window, &client);
            PaintedValid = painted && EqualRect(&ps.rcPaint, &client) && ReadLook(Painted);
            EndPaint(window, &ps);
        }
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

    // Face, track and arrows change seldom: they are kept, and each paint starts from a copy.
    const bool firstPressed = Pressed && PressedPart == spFirstArrow;
    const bool lastPressed = Pressed && PressedPart == spLastArrow;
    const TBackdropKey key{w, h, enabled, firstPressed, lastPressed, skin};
    if (!Backdrop || !(key == BackdropKey)) {
        Backdrop.reset();
        auto backdrop = std::make_unique<TBitmap>(w, h, pf24bit);
        TCanvas& canvas = *backdrop->Canvas();
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
            DrawSkinFrame(pdc, box(arrow, length - arrow), track->Bitmap, track->Margins(), enabled ? 1 : 3,
                          4, track->Trans == 1, tile, false);
        }

        // Arrows.
        Skinner->DrawStripFrameCanvas(canvas, box(0, arrow), arrows,
                                      ArrowFrame(Orientation, false, firstPressed), 23);
        Skinner->DrawStripFrameCanvas(canvas, box(length - arrow, length), arrows,
                                      ArrowFrame(Orientation, true, lastPressed), 23);
        Backdrop = std::move(backdrop);
        BackdropKey = key;
    }
    if (!Picture || Picture->Width() != w || Picture->Height() != h)
        Picture = std::make_unique<TBitmap>(w, h, pf24bit);
    HDC pdc = Picture->Canvas()->Handle();
    BitBlt(pdc, 0, 0, w, h, Backdrop->Canvas()->Handle(), 0, 0, SRCCOPY);
    SetStretchBltMode(pdc, COLORONCOLOR);
    auto box = [&](int from, int to) {
        return vertical ? RECT{0, from, thickness, to} : RECT{from, 0, to, thickness};
    };
    const int length = TrackLength;

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
    {
        TRegistry& registry = Registry();
        const std::lock_guard<std::mutex> hold(registry.Lock);
        auto& skinners = registry.Skinners;
        if (std::find(skinners.begin(), skinners.end(), this) == skinners.end()) skinners.push_back(this);
    }
    RedirectBarDrawing(control ? control->Handle() : window);
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
    {
        TRegistry& registry = Registry();
        const std::lock_guard<std::mutex> hold(registry.Lock);
        auto& skinners = registry.Skinners;
        skinners.erase(std::remove(skinners.begin(), skinners.end(), this), skinners.end());
    }
    HorzScrollbar.reset();
    VertScrollbar.reset();
}

TWScrollbar* TSkinWindowScrollbars::CoveringOverlay(HWND window, int bar) {
    if (bar != SB_HORZ && bar != SB_VERT) return nullptr;
    TRegistry& registry = Registry();
    const std::lock_guard<std::mutex> hold(registry.Lock);
    for (TSkinWindowScrollbars* skinner : registry.Skinners) {
        TWScrollbar* overlay = (bar == SB_VERT ? skinner->VertScrollbar : skinner->HorzScrollbar).get();
        if (overlay && overlay->Placed && overlay->Target == window && overlay->Handle()) return overlay;
    }
    return nullptr;
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
    // A window that does not clip its siblings may have drawn its own bars over the overlays.
    const bool clips = Handle && (GetWindowLongPtrW(Handle, GWL_STYLE) & WS_CLIPSIBLINGS);
    for (TWScrollbar* bar : {VertScrollbar.get(), HorzScrollbar.get()}) {
        if (!bar) continue;
        if (clips)
            bar->RepaintIfChanged();
        else
            bar->Repaint();
    }
    FillSizeBox(dc);
}

void TSkinWindowScrollbars::SkinChanged() {
    TSkinControl::SkinChanged();
    // The bar may show what it showed, from pictures that are new.
    for (TWScrollbar* bar : {VertScrollbar.get(), HorzScrollbar.get()}) {
        if (!bar) continue;
        bar->ForgetPictures();
        bar->Repaint();
    }
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
