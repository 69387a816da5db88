#define OEMRESOURCE // OBM_CHECK
// Owner-drawn menu items: each item is painted off-screen over its popup's skin background, then a
// frame of the skin's MenuItem strip, then its glyph, caption and short cut. Also the skinned
// background of a tool button.
#include <framework/imglist.h>

#include <algorithm>

#include "WinSkinForm_Internal.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"
#include "skin_forms/WinSkinForm.h"
#include "skin_forms/WinSkinMenu.h"

namespace {

constexpr UINT kMeasureText = DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE; // 0x560
constexpr UINT kDrawText = DT_EXPANDTABS | DT_SINGLELINE;                              // 0x60
constexpr int kMenuItemFrames = 5;

TCustomImageList* ImagesOf(TMenuItem* item) {
    TMenu* menu = item ? item->GetParentMenu() : nullptr;
    return menu ? menu->Images() : nullptr;
}

// An off-screen picture of an item, with the screen's menu font on its canvas.
std::unique_ptr<TBitmap> ItemBitmap(const RECT& r) {
    auto bitmap =
        std::make_unique<TBitmap>(std::max<int>(RectWidth(r), 1), std::max<int>(RectHeight(r), 1), pf24bit);
    AssignMenuFont(*bitmap->Canvas()->Font());
    return bitmap;
}

void Present(TCanvas* canvas, const RECT& r, TBitmap& bitmap) {
    BitBlt(canvas->Handle(), r.left, r.top, bitmap.Width(), bitmap.Height(), bitmap.Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

// The popup's skin background under the item, or the Menu colour. The item's rectangle is in the
// popup's client coordinates; the background covers the whole window.
void FillItemBackground(TBitmap& bitmap, HMENU menu, const RECT& r, TSkinData& skin, bool always) {
    TWinSkinPopMenu* popup = SkinManager && menu ? SkinManager->FindPopupMenu(menu) : nullptr;
    TBitmap* back = popup ? &popup->Background : nullptr;
    if (back && (always || !back->Empty())) {
        const POINT origin = popup->ClientOrigin();
        BitBlt(bitmap.Canvas()->Handle(), 0, 0, bitmap.Width(), bitmap.Height(), back->Canvas()->Handle(),
               r.left + origin.x, r.top + origin.y, SRCCOPY);
        return;
    }
    bitmap.Canvas()->Brush()->SetStyle(bsSolid);
    bitmap.Canvas()->Brush()->SetColor(skin.Colours.Menu);
    bitmap.Canvas()->FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
}

// A checked item's image sits on the checker pattern of clBtnFace and clBtnHighlight.
void FillChecker(HDC dc, const RECT& box) {
    TBitmap pattern(8, 8, pf24bit);
    const COLORREF face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.Canvas()->SetPixel(x, y, static_cast<TColor>((x + y) % 2 ? face : light));
    TBrushHandle brush(CreatePatternBrush(pattern.Handle()));
    FillRect(dc, &box, brush.Get());
}

// The system's check mark in clBtnText, its white left out, centred in box and moved by (1, 1).
void DrawCheckMark(HDC dc, const RECT& box) {
    TBitmapHandle check(LoadBitmapW(nullptr, MAKEINTRESOURCEW(OBM_CHECK)));
    if (!check) return;
    BITMAP info{};
    GetObjectW(check.Get(), sizeof info, &info);
    TMemoryDC source;
    source.Select(check.Get());
    const int x = box.left + (RectWidth(box) - info.bmWidth) / 2 + 1;
    const int y = box.top + (RectHeight(box) - info.bmHeight) / 2 + 1;
    TBrushHandle ink(CreateSolidBrush(ColorToRGB(clBtnText)));
    const HGDIOBJ oldBrush = SelectObject(dc, ink.Get());
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBack = SetBkColor(dc, RGB(255, 255, 255));
    // Where the mark is black the brush is painted, where it is white the target stays.
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, 0x00B8074A);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    SelectObject(dc, oldBrush);
}

void DrawGlyph(TMenuItem* item, TCanvas* canvas, const RECT& box) {
    TCustomImageList* images = ImagesOf(item);
    const int index = item->ImageIndex();
    if (images && index >= 0 && index < images->Count()) {
        if (item->Checked()) {
            FillChecker(canvas->Handle(), box);
            RECT edge = box;
            DrawEdge(canvas->Handle(), &edge, BDR_SUNKENOUTER, BF_RECT);
        }
        images->Draw(*canvas, box.left, box.top, index, item->Enabled());
    } else if (item->Checked()) {
        DrawCheckMark(canvas->Handle(), box);
    }
}

// The item's frame of the MenuItem strip over the whole picture, then its glyph and texts.
void DrawSkinnedItem(TWinSkinForm* skinForm, TDataSkinObject& element, TMenuItem* item, TBitmap& bitmap,
                     bool selected) {
    const RECT whole{0, 0, bitmap.Width(), bitmap.Height()};
    DrawSkinFrame(bitmap.Canvas()->Handle(), whole, element.Bitmap, element.Margins(), selected ? 4 : 1,
                  kMenuItemFrames, element.Trans != 0, element.Tile == 1, false);
    DrawMenuItemContent(skinForm, item, bitmap.Canvas(), selected, whole);
}

int GlyphSize(TMenuItem* item) {
    TCustomImageList* images = ImagesOf(item);
    int size = images ? images->Width() : 16;
    if (item->Checked()) size = std::max(size, 16);
    return size;
}

} // namespace

// --- measuring ---------------------------------------------------------------------------------------

void TWinSkinForm::MeasureMenuItem(TMenuItem* item, TCanvas*, int& width, int& height) {
    if (!item) return;
    TMenuMeasureItemEvent own = std::move(item->OnMeasureItem);
    item->OnMeasureItem = nullptr;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    try {
        item->MeasureItem(measure);
    } catch (...) {
        item->OnMeasureItem = std::move(own);
        throw;
    }
    item->OnMeasureItem = std::move(own);
    width = static_cast<int>(measure.itemWidth);
    height = static_cast<int>(measure.itemHeight);
    if (SkinData && SkinData->MenuItem) width += SkinData->MenuItem->LeftWidth;
    width += ImagesOf(item) ? 10 : 35;
}

void TWinSkinForm::MeasureMenuItemWidth(TObject* Sender, TCanvas*, int& width, int&) {
    if (!SkinData) return;
    if (SkinData->MenuItem) width += SkinData->MenuItem->LeftWidth;
    width += ImagesOf(dynamic_cast<TMenuItem*>(Sender)) ? 12 : 35;
}

// --- painting ----------------------------------------------------------------------------------------

void TWinSkinForm::DrawMenuItem(TObject* Sender, TCanvas* canvas, RECT r, bool selected) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item || !canvas || !SkinData) return;
    TDataSkinObject* element = SkinData->MenuItem.get();
    if (!element) {
        DrawMenuItemPlain(item, canvas, selected, r);
        return;
    }
    TMenuItem* parent = item->Parent();
    HMENU parentMenu = parent && parent->HasHandle() ? parent->Handle() : nullptr;
    if (PendingPopupMenu && parent) {
        PendingPopupMenu->Menu = parentMenu;
        PendingPopupMenu = nullptr;
    }
    if (SkinManager) SkinManager->MarkPopupMenus();
    std::unique_ptr<TBitmap> bitmap = ItemBitmap(r);
    FillItemBackground(*bitmap, parentMenu, r, *SkinData, false);
    if (!item->IsLine()) {
        DrawSkinnedItem(this, *element, item, *bitmap, selected);
        Present(canvas, r, *bitmap);
    } else {
        Present(canvas, r, *bitmap);
        DrawMenuSeparator(this, canvas, r);
    }
}

void TWinSkinForm::DrawMenuItemForHandle(HMENU menu, TMenuItem* item, bool selected, RECT r,
                                         TCanvas* canvas) {
    if (!item || !canvas || !SkinData) return;
    TDataSkinObject* element = SkinData->MenuItem.get();
    if (!element) {
        DrawMenuItemPlain(item, canvas, selected, r);
        return;
    }
    std::unique_ptr<TBitmap> bitmap = ItemBitmap(r);
    FillItemBackground(*bitmap, menu, r, *SkinData, true);
    DrawSkinnedItem(this, *element, item, *bitmap, selected);
    Present(canvas, r, *bitmap);
}

void TWinSkinForm::DrawMenuItemPlain(TMenuItem* item, TCanvas* canvas, bool selected, RECT r) {
    if (!item || !canvas || !SkinData) return;
    std::unique_ptr<TBitmap> bitmap = ItemBitmap(r);
    const RECT whole{0, 0, bitmap->Width(), bitmap->Height()};
    bitmap->Canvas()->Brush()->SetStyle(bsSolid);
    bitmap->Canvas()->Brush()->SetColor(selected ? SkinData->Colours.Hilight : SkinData->Colours.Menu);
    bitmap->Canvas()->FillRect(whole);
    DrawMenuItemContent(this, item, bitmap->Canvas(), selected, whole);
    Present(canvas, r, *bitmap);
}

void DrawMenuSeparator(TWinSkinForm* skinForm, TCanvas* canvas, const RECT& r) {
    TDataSkinObject* element = skinForm && skinForm->SkinData ? skinForm->SkinData->MenuItem.get() : nullptr;
    if (!element || element->Bitmap.Empty() || RectWidth(r) <= 0 || RectHeight(r) <= 0) return;
    TBitmap& strip = element->Bitmap;
    const int fw = strip.Width() / kMenuItemFrames, H = strip.Height(), h = RectHeight(r), w = RectWidth(r);
    const int sy = h < H ? H - h : 0;
    const int L = element->LeftWidth, R = element->RightWidth;
    TBitmap line(w, h, pf24bit);
    HDC to = line.Canvas()->Handle();
    HDC from = strip.Canvas()->Handle();
    SetStretchBltMode(to, COLORONCOLOR);
    const int sh = H - sy;
    if (L > 0) StretchBlt(to, 0, 0, L, h, from, fw, sy, L, sh, SRCCOPY);
    if (R > 0) StretchBlt(to, w - R, 0, R, h, from, 2 * fw - R, sy, R, sh, SRCCOPY);
    if (w - L - R > 0 && fw - L - R > 0)
        StretchBlt(to, L, 0, w - L - R, h, from, fw + L, sy, fw - L - R, sh, SRCCOPY);
    DrawTransparentBitmap(canvas->Handle(), r, line, SkinKeyColour);
}

void DrawMenuItemContent(TWinSkinForm* skinForm, TMenuItem* item, TCanvas* canvas, bool selected, RECT r) {
    TMenu* menu = item->GetParentMenu();
    if (!menu && skinForm->MenuBar) menu = skinForm->MenuBar->MainMenu;
    if (menu && menu->IsRightToLeft()) {
        DrawMenuItemContentRTL(skinForm, item, canvas, selected, r);
        return;
    }
    const String caption = item->Caption();
    TDataSkinObject* element = skinForm->SkinData->MenuItem.get();
    const int size = GlyphSize(item);
    RECT box{r.left + 1 + (element ? element->LeftWidth : 0), r.top + 1, 0, 0};
    box.right = box.left + size;
    box.bottom = box.top + size;
    if (item->IsLine())
        box.left = box.right = 0;
    else
        DrawGlyph(item, canvas, box);

    RECT textRect{box.right + 3, r.top, r.right - 1, r.bottom};
    RECT measured = textRect;
    DrawMenuItemText(skinForm, item, canvas, kMeasureText, selected, measured, caption);
    OffsetRect(&measured, 0, (RectHeight(textRect) - RectHeight(measured)) / 2);
    RECT drawn = measured;
    DrawMenuItemText(skinForm, item, canvas, kDrawText, selected, drawn, caption);
    const String shortcut = ShortCutToText(item->ShortCut());
    if (!shortcut.empty()) {
        RECT at{measured.right, measured.top, textRect.right - 10, measured.bottom};
        DrawMenuItemText(skinForm, item, canvas, DT_RIGHT | DT_SINGLELINE, selected, at, shortcut);
    }
}

void DrawMenuItemContentRTL(TWinSkinForm* skinForm, TMenuItem* item, TCanvas* canvas, bool selected, RECT r) {
    const String caption = item->Caption();
    TDataSkinObject* element = skinForm->SkinData->MenuItem.get();
    const int size = GlyphSize(item);
    RECT box{0, r.top + 1, r.right - 1 - (element ? element->LeftWidth : 0), r.top + 1 + size};
    box.left = box.right - size;
    if (item->IsLine())
        box.left = box.right = r.right;
    else
        DrawGlyph(item, canvas, box);

    RECT textRect{r.left + 1, r.top, box.left - 3, r.bottom};
    RECT measured = textRect;
    DrawMenuItemText(skinForm, item, canvas, kMeasureText | DT_RIGHT, selected, measured, caption);
    OffsetRect(&measured, 0, (RectHeight(textRect) - RectHeight(measured)) / 2);
    RECT drawn = measured;
    DrawMenuItemText(skinForm, item, canvas, kDrawText | DT_RIGHT, selected, drawn, caption);
    const String shortcut = ShortCutToText(item->ShortCut());
    if (!shortcut.empty()) {
        RECT at{r.left + 10, measured.top, measured.left, measured.bottom};
        DrawMenuItemText(skinForm, item, canvas, DT_LEFT | DT_SINGLELINE, selected, at, shortcut);
    }
}

void DrawMenuItemText(TWinSkinForm* skinForm, TMenuItem* item, TCanvas* canvas, UINT flags, bool selected,
                      RECT& r, std::wstring text) {
    if ((flags & DT_CALCRECT) && (text.empty() || text == L"&")) text += L" ";
    if (text == L"-") {
        if (!(flags & DT_CALCRECT)) {
            r.top += 4;
            DrawEdge(canvas->Handle(), &r, EDGE_ETCHED, BF_TOP);
        }
        return;
    }
    const TSkinColours& colours = skinForm->SkinData->Colours;
    canvas->Brush()->SetStyle(bsClear);
    TFontStyles style = canvas->Font()->Style();
    if (item->Default()) style.Include(fsBold);
    canvas->Font()->SetStyle(style);
    TColor colour = selected ? colours.HilightText : colours.MenuText;
    if (!item->Enabled())
        colour = colours.ButtonShadow == colours.MenuText ? clBtnShadow : colours.ButtonShadow;
    canvas->Font()->SetColor(colour);
    canvas->DrawText(text, r, flags);
}

// --- tool buttons ------------------------------------------------------------------------------------

void TWinSkinForm::DrawToolButton(TToolBar* toolBar, TToolButton* button, TCustomDrawState state, bool&) {
    TDataSkinButton* element = SkinData ? SkinData->Buttons.get() : nullptr;
    if (!toolBar || !button || !element || element->Bitmap.Empty() || State != fsSkinned) return;
    int frame = 0;
    TColor text = clNone;
    if (state.Contains(cdsSelected)) {
        frame = 2;
        if (element->HasPressedColour2) text = element->PressedColour2;
    } else if (state.Contains(cdsFocused) || state.Contains(cdsHot)) {
        frame = 4;
        if (element->HasMouseOverColour2) text = element->MouseOverColour2;
    } else if (state.Contains(cdsDefault) && !state.Contains(cdsGrayed) && !state.Contains(cdsDisabled)) {
        frame = 1;
        if (element->HasNormalColour2) text = element->NormalColour2;
    }
    if (!frame) return;
    TCanvas* canvas = toolBar->Canvas();
    if (text != clNone) canvas->Font()->SetColor(text);
    RECT r = button->BoundsRect();
    InflateRect(&r, -1, -1);
    if (RectWidth(r) <= 0 || RectHeight(r) <= 0) return;
    DrawSkinFrame(canvas->Handle(), r, element->Bitmap, element->Margins(), frame,
                  element->FrameCount > 0 ? element->FrameCount : 5, element->Trans != 0, false, false);
}
