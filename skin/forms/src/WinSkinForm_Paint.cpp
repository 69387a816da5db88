// The skinned non-client area: borders, the caption with its text and buttons, the menu bar, and
// the window region cut from the transparent pixels of the border elements.
#include <algorithm>

#include "WinSkinForm_Internal.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"
#include "skin_forms/WinSkinForm.h"

void TWinSkinForm::PaintNonClient(HDC given) {
    if ((State != fsSkinned && State != fsReskinning) || BorderKind == bkNone) return;
    if (WindowKind == wkMDIChild && ShowState != ssNormal) return;
    if (!SkinData || !IsWindow(Window)) return;
    TWindowDC dc(Window, given);
    if (!dc.Get()) return;
    try {
        if (GetWindowRect(Window, &WindowRectangle)) {
            const int w = RectWidth(WindowRectangle), h = RectHeight(WindowRectangle);
            WindowWidth = w;
            WindowHeight = h;
            DrawBorderPart(1, RECT{0, 0, BorderLeft, h}, dc.Get());
            DrawBorderPart(2, RECT{w - BorderRight, 0, w, h}, dc.Get());
            DrawBorderPart(4, RECT{BorderLeft, h - BorderBottom, w - BorderRight, h}, dc.Get());
            PaintCaption(dc.Get());
            if (MenuBar)
                MenuBar->DrawBar(dc.Get(),
                                 RECT{BorderLeft, BorderTop, w - BorderRight, BorderTop + MenuBarHeight});
        }
    } catch (...) {
        // A paint that fails leaves the frame as it is; the next one tries again.
    }
    HotObject = nullptr;
}

void TWinSkinForm::PaintCaption(HDC dc) {
    if (WindowWidth <= 0 || BorderTop <= 0) return;
    ComposeCaption(dc);
    BitBlt(dc, 0, 0, WindowWidth, BorderTop, CaptionBitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
    SetBkMode(dc, OPAQUE);
}

void TWinSkinForm::ComposeCaption(HDC dc) {
    const int w = WindowWidth;
    if (w <= 0 || BorderTop <= 0) return;
    CaptionBitmap.SetPixelFormat(pf24bit);
    CaptionBitmap.SetSize(w, BorderTop);
    HDC caption = CaptionBitmap.Canvas()->Handle();
    if (SkinDrawShortcuts()) {
        // The side borders just painted on the window are drawn here again: reading the window's
        // pixels back waits on the display.
        DrawBorderPart(1, RECT{0, 0, BorderLeft, WindowHeight}, caption);
        DrawBorderPart(2, RECT{w - BorderRight, 0, w, WindowHeight}, caption);
    } else {
        BitBlt(caption, 0, 0, w, BorderTop, dc, 0, 0, SRCCOPY);
    }
    const RECT c{BorderLeft, 0, w - BorderRight, BorderTop};
    DrawBorderPart(3, c, caption);
    DrawCaptionText(*CaptionBitmap.Canvas(), c);
    LayoutSysButtons();
    DrawSysButtons(*CaptionBitmap.Canvas());
}

void TWinSkinForm::DrawBorderPart(int part, const RECT& rect, HDC dc) {
    if (RectWidth(rect) < 0 || RectHeight(rect) < 0 || part < 1 || part > 4 || !SkinData) return;
    static constexpr TBorderPart parts[] = {bpLeft, bpRight, bpTop, bpBottom};
    TDataSkinBorder& element = SkinData->Border(parts[part - 1]);
    const int frame = (Active || element.FrameCount <= 1) ? 1 : 2;
    const bool vertical = part >= 3;
    // Borders read their Tile the other way round: 1 stretches.
    const bool tile = element.Tile != 1;
    DrawSkinFrame(dc, rect, element.Bitmap, element.Margins(), frame, element.FrameCount, false, tile,
                  vertical);
}

void TWinSkinForm::DrawCaptionText(TCanvas& canvas, const RECT& c) {
    TDataSkinTitle& title = *SkinData->Title;
    CaptionPrefix = L" ";
    const std::wstring windowText =
        UnicodeWindow ? GetWindowTextString(Window) : AnsiToWide(GetWindowTextByMessage(Window));
    const std::wstring text = CaptionSuffix + windowText + CaptionPrefix;
    canvas.SetFont(CaptionFont.get());
    canvas.Font()->SetColor(Active ? SkinData->Colours.TitleTextActive : SkinData->Colours.TitleTextNoActive);
    // A clear brush draws the text transparent.
    canvas.Brush()->SetStyle(bsClear);

    RECT t = c;
    canvas.DrawText(text, t, DT_CALCRECT | DT_NOCLIP);
    t.right += title.TXTBackleft + title.TXTBackRight;
    const int cw = RectWidth(c), tw = RectWidth(t);
    int dx = 0;
    switch (title.TextAlignment) {
    case 0:
        dx = title.TextShift();
        break;
    case 1:
        dx = (cw - tw) / 2;
        break;
    case 2:
        dx = cw - title.TextRightClip() - tw;
        break;
    default:
        break;
    }
    if (RightToLeft) dx = cw - title.TextRightClip() - tw;
    // A title wider than the room it is centred or right-aligned in would start left of the
    // caption, over the border, and lose its beginning instead of ending in an ellipsis.
    if ((title.TextAlignment == 1 || title.TextAlignment == 2 || RightToLeft) && dx < 0) dx = 0;
    const int dy = (RectHeight(c) - RectHeight(t)) / 2 + title.TextShiftVert() / 2;
    OffsetRect(&t, dx, dy);
    if (HookedStyle & WS_POPUP) {
        if (CaptionTextLimit > 5 && CaptionTextLimit - 5 < t.right) t.right = CaptionTextLimit - 5;
    } else {
        t.right = std::min<LONG>(t.right, c.right - title.TextRightClip());
    }
    if (BorderKind == bkDialog && title.TextAlignment == 0) t.left -= 16;
    CaptionTextRect = t;
    if (!title.Bitmap.Empty()) {
        const RECT back{t.left, c.top, t.right, c.bottom};
        DrawSkinFrameCanvas(canvas, back, title.Bitmap, RECT{title.TXTBackleft, 0, title.TXTBackRight, 0},
                            Active ? 1 : 2, 2, false, false);
    }
    t.left += title.TXTBackleft;
    t.right -= title.TXTBackRight;
    canvas.DrawText(text, t,
                    RightToLeft ? (DT_SINGLELINE | DT_END_ELLIPSIS | DT_RIGHT)
                                : (DT_SINGLELINE | DT_END_ELLIPSIS));
}

bool TWinSkinForm::IsSysButtonVisible(int index) {
    if (index < 0 || index >= static_cast<int>(SysButtons.size())) return false;
    TWinSysButton& button = *SysButtons[static_cast<std::size_t>(index)];
    const TDataSkinSysButton* entry = button.Entry();
    if (!entry) return button.Visible = false;
    const int action = entry->Action;
    const bool maximized = ShowState == ssMaximized;
    const bool systemBox = (BoxFlags & bfSystemMenu) != 0;
    const bool maxBox = (BoxFlags & bfMaximize) != 0, minBox = (BoxFlags & bfMinimize) != 0;
    // V answers first, V1 answers second.
    auto answer = [&](int v, bool first, bool firstAnswer) -> bool {
        if (v < 0 || v > 2000) return false;
        if (v >= 1000)
            return first && SendMessageW(Window, SKM_BUTTONVISIBLE, static_cast<WPARAM>(index), 0) > 0;
        if (v >= 201) return first;
        if (v == 200) return first && !DialogClass && BorderKind == bkDialog;
        if (v >= 101) return false;
        if (v == 100) return first ? (IsMDIChildMaximized() && MenuBarHeight > 0) : firstAnswer;
        switch (v) {
        case 0:
            return first ? !(action == 0 && !systemBox) : true;
        case 1:
            return maximized;
        case 2:
            return !maximized;
        case 3:
            return Active;
        case 4:
            return !Active;
        case 6:
            return first ? (maxBox && systemBox) : maxBox;
        case 7:
            return !maxBox;
        case 8:
            return first ? (minBox && systemBox) : minBox;
        case 9:
            return !minBox;
        default: // 5 and 10 to 99
            return false;
        }
    };
    const bool v = answer(entry->Visibility, true, false);
    bool visible = v && answer(entry->Visibility1, false, v);
    if ((action == 1 && !maxBox) || (action == 2 && !minBox) ||
        ((action == 3 || action == 11 || action == 12) && BorderKind == bkDialog))
        visible = false;
    button.Visible = visible;
    button.Shown = visible;
    return visible;
}

void TWinSkinForm::LayoutSysButtons() {
    int rightmost = 0;
    for (int i = 0; i < static_cast<int>(SysButtons.size()); ++i) {
        if (!IsSysButtonVisible(i)) continue;
        TWinSysButton& button = *SysButtons[static_cast<std::size_t>(i)];
        const TDataSkinSysButton* entry = button.Entry();
        if (!entry || entry->Bitmap.Empty()) continue;
        const int bw = entry->Bitmap.Width() / std::max(entry->FrameCount, 1), bh = entry->Bitmap.Height();
        POINT at{0, 0};
        switch (entry->Align) {
        case 0:
            at = POINT{entry->Xcoord, entry->Ycoord};
            break;
        case 1:
            at = POINT{WindowWidth - entry->Xcoord, entry->Ycoord};
            rightmost = std::max<int>(rightmost, at.x);
            break;
        case 2:
        case 8:
            at = POINT{CaptionTextRect.left - bw - entry->Xcoord, entry->Ycoord};
            break;
        case 3:
        case 9:
            at = POINT{CaptionTextRect.right + entry->Xcoord, entry->Ycoord};
            break;
        case 100: {
            const int margin = SkinData->MenuBar ? SkinData->MenuBar->LeftWidth : 0;
            at.y = (MenuBarHeight - bh) / 2 + BorderTop;
            at.x = RightToLeft ? entry->Xcoord + margin + BorderLeft
                               : WindowWidth - entry->Xcoord - BorderRight - margin;
            break;
        }
        default:
            break;
        }
        button.Rect = RECT{at.x, at.y, at.x + bw, at.y + bh};
    }
    if (rightmost > 0) CaptionTextLimit = rightmost;
}

void TWinSkinForm::DrawSysButtons(TCanvas& canvas) {
    HDC dc = canvas.Handle();
    for (int i = 0; i < static_cast<int>(SysButtons.size()); ++i) {
        if (!IsSysButtonVisible(i)) continue;
        TWinSysButton& button = *SysButtons[static_cast<std::size_t>(i)];
        TDataSkinSysButton* entry = button.Entry();
        if (!entry || entry->Bitmap.Empty() || entry->Visibility == 100) continue;
        const int frame = (Active || entry->FrameCount < 4) ? 1 : 4;
        if (entry->Action == 3 || entry->Action == 11)
            DrawWindowIcon(dc, button.Rect.left, button.Rect.top);
        else
            DrawStripFrame(dc, button.Rect, entry->Bitmap, frame, entry->FrameCount, true);
    }
}

void TWinSkinForm::DrawSysButton(TWinSysButton& button, int state) {
    TDataSkinSysButton* entry = button.Entry();
    if (!entry || entry->Bitmap.Empty()) return;
    TWindowDC dc(Window);
    if (!dc.Get()) return;
    const int frame = (entry->Visibility == 100 && state == nsHot) ? 4 : state;
    if (entry->Action == 3 || entry->Action == 11)
        DrawWindowIcon(dc.Get(), button.Rect.left, button.Rect.top);
    else
        DrawStripFrame(dc.Get(), button.Rect, entry->Bitmap, std::min(frame, std::max(entry->FrameCount, 1)),
                       entry->FrameCount, true);
}

void TWinSkinForm::DrawWindowIcon(HDC dc, int x, int y) {
    if (!WindowIcon) return;
    const int size = SmallIconSize;
    if (CaptionIconOf != WindowIcon || CaptionIconSize != size || !CaptionIcon) {
        CaptionIcon.Reset(
            static_cast<HICON>(CopyImage(WindowIcon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE)));
        CaptionIconOf = WindowIcon;
        CaptionIconSize = size;
    }
    if (CaptionIcon) DrawIconEx(dc, x, y, CaptionIcon.Get(), size, size, 0, nullptr, DI_NORMAL);
}

void TWinSkinForm::UpdateRegion(bool redraw) {
    if (State == fsGone || !SkinData) return;
    RECT r{};
    GetWindowRect(Window, &r);
    const int w = RectWidth(r), h = RectHeight(r);
    if (w * h == 0 || (WindowKind == wkMDIChild && ShowState != ssNormal)) return;
    if (w == RegionWidth && h == RegionHeight && WindowKind != wkMDIChild && State != fsReskinning) return;
    RegionSet = false;
    TDataSkinBorder& left = SkinData->Border(bpLeft);
    TDataSkinBorder& right = SkinData->Border(bpRight);
    TDataSkinBorder& top = SkinData->Border(bpTop);
    TDataSkinBorder& bottom = SkinData->Border(bpBottom);
    TRegionHandle region;
    if (left.Trans != 1 && right.Trans != 1 && top.Trans != 1 && bottom.Trans != 1) {
        region.Reset(CreateRectRgn(0, 0, w, h));
    } else {
        RegionWidth = w;
        RegionHeight = h;
        region.Reset(CreateRectRgn(BorderLeft, BorderTop, w - BorderRight, h - BorderBottom));
        if (BorderKind != bkNone) {
            // One border part turned into a region: from its picture when it is transparent.
            auto fromPart = [&](int part, const RECT& at, bool transparent) {
                if (!transparent) return TRegionHandle(CreateRectRgn(at.left, at.top, at.right, at.bottom));
                TBitmap bitmap(RectWidth(at), RectHeight(at), pf24bit);
                DrawBorderPart(part, RECT{0, 0, RectWidth(at), RectHeight(at)}, bitmap.Canvas()->Handle());
                return RegionFromBitmap(bitmap, at.left, at.top, SkinKeyColour, 0, 0, 0);
            };
            TRegionHandle leftPart = fromPart(1, RECT{0, 0, BorderLeft, h}, left.Trans == 1 && h > 1);
            TRegionHandle rightPart = fromPart(2, RECT{w - BorderRight, 0, w, h}, right.Trans == 1 && h > 1);
            TRegionHandle bottomPart = fromPart(4, RECT{BorderLeft, h - BorderBottom, w - BorderRight, h},
                                                bottom.Trans == 1 && BorderBottom >= 2);
            const int partWidth = w - BorderLeft - BorderRight;
            TRegionHandle topPart;
            if (top.Trans == 1 && BorderTop > 1 && partWidth > 0) {
                TBitmap bitmap(partWidth, BorderTop, pf24bit);
                if (!CaptionBitmap.Empty())
                    BitBlt(bitmap.Canvas()->Handle(), 0, 0, partWidth, BorderTop,
                           CaptionBitmap.Canvas()->Handle(), BorderLeft, 0, SRCCOPY);
                else
                    DrawBorderPart(3, RECT{0, 0, partWidth, BorderTop}, bitmap.Canvas()->Handle());
                topPart = RegionFromBitmap(bitmap, BorderLeft, 0, SkinKeyColour, 0, 0, 0);
            } else {
                topPart.Reset(CreateRectRgn(BorderLeft, 0, w - BorderRight, BorderTop));
            }
            CombineRgn(leftPart.Get(), leftPart.Get(), rightPart.Get(), RGN_OR);
            CombineRgn(topPart.Get(), topPart.Get(), bottomPart.Get(), RGN_OR);
            CombineRgn(topPart.Get(), topPart.Get(), leftPart.Get(), RGN_OR);
            CombineRgn(region.Get(), region.Get(), topPart.Get(), RGN_OR);
        }
    }
    // From here on the region belongs to the window.
    Region = region.Release();
    SetWindowRgn(Window, Region, redraw);
    RegionSet = true;
}

void TWinSkinForm::ClearRegion() {
    if (!RegionSet) return;
    CaptionBitmap.FreeImage();
    SetWindowRgn(Window, nullptr, WindowKind == wkMDIChild);
    RegionSet = false;
    Region = nullptr;
}
