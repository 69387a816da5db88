// Flat containers (status bar, group box, panel) and the text and glyph helpers other skinners
// share.
#include <framework/comctrls.h>

#include "WinSubClass_Internal.h"
#include "skin_controls/WinSubClass.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinForm.h"

namespace {

using namespace skin_controls_detail;

// Transparent background, clear brush, plain style, grey when disabled.
void PrepareText(TCanvas& canvas, bool enabled) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetStyle({});
    if (!enabled) canvas.Font()->SetColor(clBtnShadow);
}

RECT MeasureText(TCanvas& canvas, const RECT& rect, const std::wstring& text, UINT flags) {
    RECT box = rect;
    canvas.DrawText(text, box, flags | DT_CALCRECT | DT_NOCLIP);
    return box;
}

UINT AlignFlag(TAlignment a) {
    return a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT;
}

} // namespace

void DrawControlText(TCanvas& canvas, const RECT& rect, const std::wstring& text, bool enabled, UINT align) {
    const UINT flags = align | DT_EXPANDTABS;
    PrepareText(canvas, true);
    RECT box = MeasureText(canvas, rect, text, flags);
    const int dy = (Height(rect) - Height(box)) / 2 - 1;
    if (align == DT_CENTER) {
        OffsetRect(&box, (Width(rect) - Width(box)) / 2, dy);
    } else {
        OffsetRect(&box, 0, dy);
        box.left = rect.left;
        box.right = rect.right;
    }
    if (!enabled) canvas.Font()->SetColor(clBtnShadow);
    canvas.DrawText(text, box, flags);
}

void DrawCenteredText(TCanvas& canvas, const RECT& rect, const std::wstring& text, bool enabled, UINT align) {
    const UINT flags = align | DT_SINGLELINE | DT_EXPANDTABS;
    PrepareText(canvas, enabled);
    RECT box = MeasureText(canvas, rect, text, flags);
    OffsetRect(&box, rect.left - box.left + (Width(rect) - Width(box)) / 2,
               rect.top - box.top + (Height(rect) - Height(box)) / 2);
    canvas.DrawText(text, box, flags);
}

void DrawArrowGlyph(TCanvas& canvas, int x, int y, int direction) {
    auto line = [&](int x1, int y1, int x2, int y2) {
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    switch (direction) {
    case 0:
        line(x, y, x, y - 1);
        line(x + 1, y + 1, x + 4, y + 4);
        line(x, y + 1, x + 3, y + 4);
        line(x, y + 2, x + 2, y + 4);
        line(x - 1, y + 1, x - 4, y + 4);
        line(x, y + 2, x - 3, y + 4);
        line(x, y + 1, x - 2, y + 4);
        break;
    case 1:
        line(x, y + 3, x, y + 4);
        line(x + 1, y + 2, x + 4, y - 1);
        line(x, y + 2, x + 3, y - 1);
        line(x, y + 1, x + 2, y);
        line(x - 1, y + 2, x - 4, y - 1);
        line(x, y + 2, x - 3, y - 1);
        line(x, y + 1, x - 2, y);
        break;
    case 2:
    case 3: {
        const int s = direction == 2 ? 1 : -1;
        const POINT outline[] = {{x, y}, {x + s, y + 2}, {x + s, y - 2}, {x - s, y}, {x + s, y + 2}};
        canvas.Polyline(outline, 5);
        break;
    }
    default:
        break;
    }
}

// --- status bar ---

void TSkinStatusBar::DrawPanelBackground(TCanvas& canvas, const RECT& rect, int bevel) {
    TDataSkinObject* edges = SkinData->StatusBarEdges.get();
    if (edges && !edges->Bitmap.Empty() && edges->FrameCount > 0) {
        if (rect.right <= rect.left || rect.bottom <= rect.top) return;
        auto piece = BuildSkinBitmap(RECT{0, 0, Width(rect), Height(rect)}, edges->Bitmap, edges->Margins(),
                                     bevel, 3, edges->Tile == 1, false);
        BitBlt(canvas.Handle(), rect.left, rect.top, Width(rect), Height(rect), piece->Canvas()->Handle(), 0,
               0, SRCCOPY);
        return;
    }
    if (bevel == 3) return;
    RECT r = rect;
    DrawEdge(canvas.Handle(), &r, bevel == 1 ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void TSkinStatusBar::DrawSkin(HDC dc, const RECT& rect) {
    TBitmap& surface = *SkinScratchBitmap();
    surface.SetPixelFormat(pf24bit);
    surface.SetSize(Width(rect), Height(rect));
    if (surface.Empty()) return;
    TCanvas& canvas = *surface.Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(SkinData->Colours.ButtonFace);
    canvas.FillRect(RECT{0, 0, Width(rect), Height(rect)});
    if (Control) canvas.SetFont(Control->Font());
    canvas.Font()->SetStyle({});
    if (SkinData->StatusBarEdges) canvas.Font()->SetColor(SkinData->StatusBarEdges->NormalColour2);
    const TColor textColour = canvas.Font()->Color();

    auto* bar = dynamic_cast<TCustomStatusBar*>(Control);
    const int panelCount =
        bar ? bar->Panels()->Count() : static_cast<int>(SendMessageW(Handle, SB_GETPARTS, 0, 0));
    const bool simple = bar ? bar->SimplePanel() || panelCount == 0
                            : SendMessageW(Handle, SB_ISSIMPLE, 0, 0) != 0 || panelCount == 0;
    const RECT whole{0, 0, Width(rect), Height(rect)};
    auto drawText = [&](RECT box, std::wstring text, UINT align) {
        if (text.empty()) text = L" ";
        box.left += 2;
        box.right -= 2;
        canvas.Font()->SetColor(textColour);
        DrawControlText(canvas, box, text, true, align);
    };
    if (simple) {
        DrawPanelBackground(canvas, whole, 1);
        std::wstring text = bar ? GetPropAsWideString(Control, L"simpletext") : GetWindowTextString(Handle);
        drawText(whole, text, DT_LEFT);
    } else {
        for (int i = 0; i < panelCount; ++i) {
            RECT box;
            if (!SendMessageW(Handle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&box)))
                continue;
            box.right += 2;
            if (i == panelCount - 1) box.right = whole.right;
            TStatusPanel* panel = bar ? bar->Panels()->Items(i) : nullptr;
            const int bevel = !panel                        ? 1
                              : panel->Bevel() == pbLowered ? 1
                              : panel->Bevel() == pbRaised  ? 2
                                                            : 3;
            DrawPanelBackground(canvas, box, bevel);
            if (panel && panel->Style() != psText) continue; // OnDrawPanel paints it, below
            std::wstring text;
            if (panel) {
                text = GetPropAsWideString(panel, L"Text");
            } else {
                const auto length =
                    LOWORD(SendMessageW(Handle, SB_GETTEXTLENGTHW, static_cast<WPARAM>(i), 0));
                text.assign(length + 1u, L'\0');
                SendMessageW(Handle, SB_GETTEXTW, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(text.data()));
                text.resize(length);
            }
            drawText(box, text, panel ? AlignFlag(panel->ShownAlignment()) : DT_LEFT);
        }
    }
    TDataSkinObject* extra = SkinData->ExtraImages.get();
    if ((WindowStyle() & SBARS_SIZEGRIP) && extra && !extra->Bitmap.Empty() && extra->FrameCount > 0) {
        const int cw = extra->Bitmap.Width() / extra->FrameCount, ch = extra->Bitmap.Height();
        const RECT cell{whole.right - 1 - cw, whole.bottom - 1 - ch, whole.right - 1, whole.bottom - 1};
        DrawStripFrameDC(canvas.Handle(), cell, extra->Bitmap, 5, extra->FrameCount);
    }
    BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), canvas.Handle(), 0, 0, SRCCOPY);
    if (bar && bar->OnDrawPanel && !simple) DrawPanels(*bar, dc);
}

void TSkinStatusBar::DrawPanels(TCustomStatusBar& bar, HDC dc) {
    // The handler draws on the bar's canvas, bound to the DC the skin went to.
    const int saved = SaveDC(dc);
    TCanvas& canvas = *bar.Canvas();
    canvas.SetFont(bar.Font());
    canvas.SetHandle(dc);
    try {
        for (int i = 0; i < bar.Panels()->Count(); ++i) {
            RECT box;
            if (!SendMessageW(Handle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&box)))
                continue;
            InflateRect(&box, -1, -1);
            bar.OnDrawPanel(&bar, bar.Panels()->Items(i), box);
        }
    } catch (...) {
        canvas.SetHandle(nullptr);
        RestoreDC(dc, saved);
        throw;
    }
    canvas.SetHandle(nullptr);
    RestoreDC(dc, saved);
}

// --- group box ---

void TSkinGroupBox::DrawSkin(HDC dc, const RECT& rect) {
    Caption = GetWindowTextString(Handle);
    if (Caption.empty() && Control) Caption = GetPropAsWideString(Control, L"Caption");
    HFONT font =
        Control ? Control->Font()->Handle() : reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0));
    const int saved = SaveDC(dc);
    if (font) SelectObject(dc, font);
    SIZE zero{};
    GetTextExtentPoint32W(dc, L"0", 1, &zero);
    const int h = zero.cy;

    RECT frame{0, h / 2 - 1, rect.right, rect.bottom};
    FrameRect(dc, &frame, SkinData->FaceBrush());
    InflateRect(&frame, -1, -1);
    FrameRect(dc, &frame, SkinData->FaceBrush());

    TPenHandle pen(CreatePen(PS_SOLID, 1, SkinColour(SkinData->Colours.ButtonShadow)));
    SelectObject(dc, pen.Get());
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, 1, h / 2 - 1, rect.right - 1, rect.bottom - 1, 5, 5);

    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, SkinColour(SkinData->Colours.ButtonFace));
    if (Control) SetTextColor(dc, SkinColour(Control->Font()->Color()));
    RECT text{rect.left + 9, rect.top, rect.right, rect.bottom};
    DrawTextAW(dc, Caption, text, DT_EXPANDTABS);
    RestoreDC(dc, saved); // font, pen, brush and colours as they were; the pen is freed after
}

// --- panel ---

void TSkinBox::AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas, bool setColor) {
    if (!TakeControl(skinData, formCanvas, setColor)) return;
    Register(form);
    TakeSkinColour();
}

void TSkinBox::Unskin() {
    if (SetColor && Control) Control->SetColor(SavedColor);
    State = 2;
}
