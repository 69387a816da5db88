// The range widgets of the common controls: a track bar's thumb, the two buttons of an up-down
// control, and a progress bar as a stretched bar or a row of blocks.
#include <framework/comctrls.h>

#include <windowsx.h>

#include "WinSubClass_Internal.h"
#include "skin_controls/WinSubClass.h"
#include "skin_data/ImgUtil.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"

namespace {

using namespace skin_controls_detail;

bool HasStrip(const TDataSkinObject* e) {
    return e && !e->Bitmap.Empty() && e->FrameCount > 0;
}

} // namespace

// --- track bar ---

bool TSkinTrackBar::BeforeMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    case WM_NOTIFY:
    case CN_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
        if (!header || header->code != static_cast<UINT>(NM_CUSTOMDRAW)) return true;
        Message.Result = TrackBarCustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(Message.LParam));
        return false;
    }
    default:
        return TSkinControl::BeforeMessage(Message);
    }
}

LRESULT TSkinTrackBar::TrackBarCustomDraw(NMCUSTOMDRAW& draw) {
    if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.dwDrawStage == CDDS_ITEMPREPAINT && draw.dwItemSpec == TBCD_THUMB) {
        DrawThumb(draw);
        return CDRF_SKIPDEFAULT;
    }
    return CDRF_DODEFAULT;
}

void TSkinTrackBar::DrawThumb(NMCUSTOMDRAW& draw) {
    if (!IsWindow(Handle)) return;
    RECT thumb{};
    SendMessageW(Handle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    TDataSkinObject* strip = nullptr;
    if ((WindowStyle() & TBS_VERT) && HasStrip(SkinData->TrackbarThumbVert.get()))
        strip = SkinData->TrackbarThumbVert.get();
    else if (HasStrip(SkinData->TrackbarThumbHorz.get()))
        strip = SkinData->TrackbarThumbHorz.get();
    if (strip) {
        DrawStripFrameDC(draw.hdc, thumb, strip->Bitmap, 2, 5);
        return;
    }
    TCanvas canvas;
    canvas.SetHandle(draw.hdc);
    canvas.Pen()->SetColor(SkinData->Colours.ButtonShadow);
    canvas.Rectangle(thumb);
    canvas.SetHandle(nullptr);
}

void TSkinTrackBar::SkinChanged() {
    if (Control && IsWindowVisible(Control->Handle())) Control->SetFocus();
}

// --- up-down ---

bool TSkinUpDown::BeforeMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        PaintOnBeginPaint(Message);
        return false;
    case WM_ERASEBKGND:
        if (!Control) {
            RECT client;
            GetClientRect(Handle, &client);
            FillRect(reinterpret_cast<HDC>(Message.WParam), &client,
                     static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        Message.Result = 1;
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!CallOriginalProcAndLive(Message)) return false;
        ButtonState.Include(sbPressed);
        PaintSkin(nullptr);
        return false;
    case WM_LBUTTONUP:
        ButtonState.Exclude(sbPressed);
        if (!CallOriginalProcAndLive(Message)) return false;
        PaintSkin(nullptr);
        return false;
    default:
        return TSkinControl::BeforeMessage(Message);
    }
}

void TSkinUpDown::DrawSkin(HDC dc, const RECT& rect) {
    RECT cr;
    GetClientRect(Handle, &cr);
    if (cr.right <= 0 || cr.bottom <= 0) return;
    TBitmap bitmap(cr.right, cr.bottom, pf24bit);
    TCanvas& canvas = *bitmap.Canvas();
    FillSkinColor(canvas.Handle(), cr);
    if (Inset) InflateRect(&cr, -1, -1);
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(Handle, &pt);
    const DWORD style = WindowStyle();
    Enabled = !(style & WS_DISABLED);
    const bool pressed = ButtonState.Contains(sbPressed);
    const bool vertical = !(style & UDS_HORZ) && ForceHorizontal != 1;
    RECT first = cr, second = cr;
    bool firstPressed, secondPressed;
    if (vertical) {
        const int half = Height(cr) / 2;
        first.bottom = second.top = cr.top + half;
        firstPressed = pressed && pt.y < half;
        secondPressed = pressed && pt.y >= half;
    } else {
        const int half = Width(cr) / 2;
        first.right = second.left = cr.left + half;
        firstPressed = pressed && pt.x < half;
        secondPressed = pressed && pt.x >= half;
    }
    const int firstState = !Enabled ? 3 : firstPressed ? 2 : 1;
    const int secondState = !Enabled ? 3 : secondPressed ? 2 : 1;
    const int firstDirection = vertical ? 0 : 2, secondDirection = vertical ? 1 : 3;
    TDataSkinBorder* element = vertical ? SkinData->UpDownVert.get() : SkinData->UpDownHorz.get();
    if (element && HasStrip(element)) {
        DrawUpDownPart(canvas.Handle(), first, firstState, firstDirection, *element);
        DrawUpDownPart(canvas.Handle(), second, secondState, secondDirection, *element);
    } else {
        DrawUpDownPartPlain(canvas, first, firstState, firstDirection);
        DrawUpDownPartPlain(canvas, second, secondState, secondDirection);
    }
    RECT full;
    GetClientRect(Handle, &full);
    BitBlt(dc, rect.left, rect.top, full.right, full.bottom, canvas.Handle(), 0, 0, SRCCOPY);
}

void TSkinUpDown::DrawUpDownPart(HDC dc, const RECT& box, int state, int direction,
                                 TDataSkinBorder& element) {
    const int index = direction == 0 || direction == 2 ? state : state + 4;
    DrawStripFrame(dc, box, element.Bitmap, index, element.FrameCount, true);
    if (!element.Bitmap2.Empty())
        DrawCenteredFrame(dc, box, element.Bitmap2, index, element.FrameCount, true);
}

void TSkinUpDown::DrawUpDownPartPlain(TCanvas& canvas, const RECT& box, int state, int direction) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(state == 2 || state == 4 ? SkinData->Colours.ButtonShadow
                                                      : SkinData->Colours.ButtonFace);
    canvas.Pen()->SetColor(SkinData->Colours.ButtonDkShadow);
    canvas.Rectangle(box);
    const int x = (box.left + box.right) / 2, y = (box.top + box.bottom) / 2;
    DrawArrowGlyph(canvas, x, direction < 2 ? y - 2 : y, direction);
}

// --- progress bar ---

bool TSkinProgress::BeforeMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    case WM_PAINT:
        if (!SkinData->Progress || SkinData->Progress->Bitmap.Empty()) return true;
        PaintOnBeginPaint(Message);
        Message.Result = 0;
        return false;
    default:
        return TSkinControl::BeforeMessage(Message);
    }
}

void TSkinProgress::DrawSkin(HDC dc, const RECT& rect) {
    TDataSkinBorder* progress = SkinData->Progress.get();
    if (!progress || progress->Bitmap.Empty()) return;
    if (progress->Style == 1) {
        DrawProgressBlocks(dc, rect);
        return;
    }
    const bool vertical = WindowStyle() & PBS_VERTICAL;
    const int w = vertical ? Height(rect) : Width(rect), h = vertical ? Width(rect) : Height(rect);
    if (w <= 0 || h <= 0) return;
    TBitmap bar(w, h, pf24bit);
    HDC barDC = bar.Canvas()->Handle();
    FillSkinColor(barDC, RECT{0, 0, w, h});
    const bool tile = progress->Tile == 1;
    DrawSkinFrame(barDC, RECT{0, 0, w, h}, progress->Bitmap, progress->Margins(), 1, 2, true, tile, false);
    const int pos = static_cast<int>(SendMessageW(Handle, PBM_GETPOS, 0, 0));
    const int max = static_cast<int>(SendMessageW(Handle, PBM_GETRANGE, FALSE, 0));
    if (max > 0 && pos > 0) {
        const int filled = MulDiv(w, pos, max);
        if (filled > 0)
            DrawSkinFrame(barDC, RECT{0, 0, filled, h}, progress->Bitmap, progress->Margins(), 2, 2, true,
                          tile, false);
    }
    if (vertical) RotateBitmapLeft(bar);
    BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect) - 1, bar.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TSkinProgress::DrawProgressBlocks(HDC dc, const RECT& rect) {
    TDataSkinBorder& progress = *SkinData->Progress;
    if (progress.Bitmap2.Empty()) return;
    const int w = Width(rect), h = Height(rect);
    if (w <= 0 || h <= 0) return;
    TBitmap& surface = *SkinScratchBitmap();
    surface.SetPixelFormat(pf24bit);
    surface.SetSize(w, h);
    HDC surfaceDC = surface.Canvas()->Handle();
    FillSkinColor(surfaceDC, RECT{0, 0, w, h});
    DrawStripFrame(surfaceDC, RECT{0, 0, w, h}, progress.Bitmap, 1, 1, true);
    const int pos = static_cast<int>(SendMessageW(Handle, PBM_GETPOS, 0, 0));
    const int max = static_cast<int>(SendMessageW(Handle, PBM_GETRANGE, FALSE, 0));
    TBitmap& block = progress.Bitmap2;
    if (max > 0 && pos > 0) {
        const int length = MulDiv(w, pos, max);
        if (length > 0) {
            TBitmap row(length, block.Height(), pf24bit);
            for (int i = 0, x = 0; i < length / block.Width() + 1; ++i, x += block.Width())
                BitBlt(row.Canvas()->Handle(), x, 0, block.Width(), block.Height(), block.Canvas()->Handle(),
                       0, 0, SRCCOPY);
            const int top = (h - block.Height()) / 2;
            DrawTransparentBitmap(
                surfaceDC, RECT{progress.LeftWidth, top, progress.LeftWidth + length, top + block.Height()},
                row, SkinKeyColour);
        }
    }
    BitBlt(dc, rect.left, rect.top, w, h, surfaceDC, 0, 0, SRCCOPY);
}
