#pragma once
// Scroll bars. A window's own scroll bars live in its non-client area, where subclassing cannot
// paint them; a small window of ours, TWScrollbar, lies exactly over each one, paints it from the
// skin and hands presses on to the window as the system's own non-client presses, so scrolling
// stays the system's work.

#include <memory>

#include "skin_controls/WinSubClass.h"

class TWndProcThunk;
class TSkinHeader;

// Scroll codes of the part being pressed (WM_HSCROLL / WM_VSCROLL low words).
enum TScrollPart : int { spFirstArrow = 0, spLastArrow = 1, spPageBefore = 2, spPageAfter = 3, spThumb = 5 };

// The overlay over one scroll bar.
class TWScrollbar {
public:
    // Kinds: the target's horizontal window scroll bar, its vertical one, a scroll-bar control.
    enum TKind : int { kHorizontal = 0, kVertical = 1, kControl = 2 };

    explicit TWScrollbar(TSkinControl* skinner);
    ~TWScrollbar();
    TWScrollbar(const TWScrollbar&) = delete;
    TWScrollbar& operator=(const TWScrollbar&) = delete;

    // Covers a scroll bar of a framework control; a control of kind 2 is vertical unless its
    // "Kind" property reads sbHorizontal.
    void AttachToControl(TSkinControl* skinner, TWinControl* control, int kind);
    // Covers a scroll bar of a bare window.
    void AttachToWindow(TSkinControl* skinner, HWND window, int kind);
    void HideOverlay();
    // Lays the overlay over the target's bar, or hides it when the bar is not shown.
    void PlaceOverlay(HWND target);
    // The part under a point of the overlay (a TScrollPart).
    int HitTest(POINT point) const;
    // Paints the overlay now.
    void Repaint();
    // Paint the overlay now, or mark it for the next paint, only when what it would show differs
    // from what it last painted on the screen. A pressed bar counts as changed: its thumb may follow
    // the cursor.
    void RepaintIfChanged();
    void InvalidateIfChanged();
    HWND Handle() const { return Window; }
    // Drops the pictures kept between paints (the skin changed).
    void ForgetPictures() {
        Backdrop.reset();
        PaintedValid = false;
    }
    // Expires with the overlay.
    std::weak_ptr<int> Lifetime() const { return Alive; }

    // --- state ---
    int TrackLength = 0;
    int ThumbStart = 0, ThumbEnd = 0; // along the axis, from the bar's start
    POINT BarOrigin{};                // screen position of the bar at the last placement
    POINT PressCursor{};
    int PressThumbStart = 0;
    bool Pressed = false;
    int Orientation = 0; // 0 horizontal, 1 vertical
    int ArrowSize = 0;
    HWND Target = nullptr;
    TWinControl* Control = nullptr;
    TSkinControl* Skinner = nullptr;
    int Kind = kHorizontal;
    RECT BarRect{}; // in the target's window coordinates (kind 2: its client rectangle)
    int PressedPart = -1;
    bool Placed = false;

private:
    void Attach(TSkinControl* skinner, HWND target, int kind);
    void CreateOverlayWindow(HWND parent);
    void WndProc(TMessage& Message);
    void Paint(HDC dc);
    void MouseDown(TMessage& Message);
    void MouseUp(TMessage& Message);
    // The bar as the system sees it (kind 2: computed from the control's position and range).
    bool ReadBarInfo(SCROLLBARINFO& info);
    // Screen point of a mouse message's overlay point.
    POINT PressPoint(const TMessage& Message) const;
    // What a paint shows, from the bar's state; false when it shows nothing.
    struct TLook {
        int Left = 0, Top = 0, Right = 0, Bottom = 0; // the bar on the screen
        int ThumbTop = 0, ThumbBottom = 0;
        DWORD State = 0;
        int PressedPart = -1;
        bool operator==(const TLook&) const = default;
    };
    bool ReadLook(TLook& look);
    bool ChangedSincePaint();

    HWND Window = nullptr;
    std::unique_ptr<TWndProcThunk> Thunk;
    // The face, track and arrows as last drawn, and what they were drawn for.
    struct TBackdropKey {
        int Width = 0, Height = 0;
        bool Enabled = false, FirstPressed = false, LastPressed = false;
        const TSkinData* Skin = nullptr;
        bool operator==(const TBackdropKey&) const = default;
    };
    std::unique_ptr<TBitmap> Backdrop, Picture;
    TBackdropKey BackdropKey;
    TLook Painted;
    bool PaintedValid = false; // Painted is what the screen shows
    // Expires with the object: a press runs the system's tracking loop, in which the skinner (and
    // this overlay with it) may be freed.
    std::shared_ptr<int> Alive = std::make_shared<int>();
};

// What the skinners of a window's own two scroll bars share: the overlays, placed, hidden, marked
// pressed by scroll messages and repainted, and the size box between them.
class TSkinWindowScrollbars : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    ~TSkinWindowScrollbars() override;
    // A window that is gone leaves its overlays hidden until the skinner goes; otherwise they go.
    void Unskin() override;
    // Repaints the placed overlays, vertical first, those of a window that clips its siblings only
    // when their look changed, and the size box.
    void DrawSkin(HDC dc, const RECT& rect) override;
    void SkinChanged() override;
    void PlaceOverlays();
    // The placed overlay over a window's bar (SB_HORZ or SB_VERT) among those of every skinner of
    // window scroll bars, or nullptr.
    static TWScrollbar* CoveringOverlay(HWND window, int bar);

    std::unique_ptr<TWScrollbar> HorzScrollbar, VertScrollbar;

protected:
    void CreateOverlays(TWinControl* control, HWND window);
    void HideOverlays();
    void FreeOverlays();
    // WM_HSCROLL / WM_VSCROLL: the code marks the part the overlay shows pressed. False for other
    // messages.
    bool ScrollMessage(const TMessage& Message);
    // The size box between two shown bars, in the face colour, on dc (the window DC when null).
    void FillSizeBox(HDC dc = nullptr);
};

// The two overlays of a framework control's window scroll bars (memos, rich edits, lists).
class TSkinScrollbar : public TSkinWindowScrollbars {
public:
    using TSkinWindowScrollbars::TSkinWindowScrollbars;
    virtual void AttachScrollControl(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                                     TCanvas* formCanvas);
    void AfterMessage(TMessage& Message) override;
};

// The same two overlays for a bare window.
class TSkinScrollbarH : public TSkinWindowScrollbars {
public:
    using TSkinWindowScrollbars::TSkinWindowScrollbars;
    void AttachWindow(HWND window, TSkinData* skinData, TCanvas* formCanvas, TWinSkinForm* form) override;
    void AfterMessage(TMessage& Message) override;
};

// The single overlay of a scroll-bar control.
class TSkinScControl : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    ~TSkinScControl() override;
    void AttachScrollBarControl(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                                TCanvas* formCanvas);
    void Unskin() override;
    void AfterMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    std::unique_ptr<TWScrollbar> Scrollbar;
};

// A list view: its scroll bars, and a header skinner for its header.
class TSkinListView : public TSkinScrollbar {
public:
    using TSkinScrollbar::TSkinScrollbar;
    void AttachScrollControl(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                             TCanvas* formCanvas) override;
    // Owned by the list view skinner's owner.
    TSkinHeader* Header = nullptr;
};
