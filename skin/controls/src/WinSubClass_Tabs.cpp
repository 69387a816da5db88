// Native tab controls (the consoles' page controls): the header with its tab buttons drawn lying
// down for vertical tabs and turned afterwards, the page border, and the scroll arrows. Tab sets:
// their string tabs hanging from the top edge.
#include <framework/comctrls.h>

#include <algorithm>

#include "WinSubClass_Internal.h"
#include "skin_controls/WinSubClass.h"
#include "skin_data/ImgUtil.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinForm.h"

namespace {

using namespace skin_controls_detail;

bool HasTabs(TSkinData* data) {
    return data && data->Tabs && !data->Tabs->Bitmap.Empty() && data->Tabs->FrameCount > 0;
}

// A 24-bit copy of a bitmap.
void CopyBitmap(TBitmap& to, TBitmap& from) {
    to.Assign(&from);
    to.SetPixelFormat(pf24bit);
}

// The Tabs strip upside down, for tabs that hang from an edge; empty without one.
void TakeTurnedStrip(TBitmap& strip, TSkinData* data) {
    strip.FreeImage();
    if (!HasTabs(data)) return;
    CopyBitmap(strip, data->Tabs->Bitmap);
    FlipBitmap(strip);
}

} // namespace

TSkinTab::TSkinTab(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinTab::AttachWindow(HWND window, TSkinData* skinData, TCanvas* formCanvas, TWinSkinForm* form) {
    TSkinControl::AttachWindow(window, skinData, formCanvas, form);
    RefreshFocusAndEnabled();
    Caption = GetWindowTextString(window);
    PrepareTabBitmaps();
    FindUpDown();
}

bool TSkinTab::BeforeMessage(TMessage& Message) {
    if (Message.Msg != SKM_SKINPAGES) return TSkinControl::BeforeMessage(Message);
    if (SkinForm && SkinForm->Form) SkinForm->SkinComponents(SkinForm->Form);
    return false;
}

void TSkinTab::AfterMessage(TMessage& Message) {
    switch (Message.Msg) {
    case TCM_SETCURSEL:
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN:
        // Posted: the page is shown only once the change has gone round the form.
        if (Handle) PostMessageW(Handle, SKM_SKINPAGES, 0, 0);
        break;
    default:
        break;
    }
    TSkinControl::AfterMessage(Message);
}

void TSkinTab::SkinChanged() {
    TSkinControl::SkinChanged();
    PrepareTabBitmaps();
}

void TSkinTab::ReadTabPosition() {
    const DWORD style = WindowStyle();
    const bool bottom = style & TCS_BOTTOM, vertical = style & TCS_VERTICAL;
    TabPosition = bottom && vertical ? 3 : bottom ? 1 : vertical ? 2 : 0;
}

void TSkinTab::PrepareTabBitmaps() {
    ReadTabPosition();
    if (!HasTabs(SkinData)) return;
    // The tabs are drawn also when the skin has no page border.
    CopyBitmap(TabStrip, SkinData->Tabs->Bitmap);
    if (SkinData->Tabs->Bitmap2.Empty())
        TabBorder.FreeImage();
    else
        CopyBitmap(TabBorder, SkinData->Tabs->Bitmap2);
    if (TabPosition == 1) {
        FlipBitmap(TabStrip);
        if (!TabBorder.Empty()) FlipBitmap(TabBorder);
    } else if (TabPosition == 2 && !TabBorder.Empty()) {
        RotateBitmapLeft(TabBorder);
    } else if (TabPosition == 3 && !TabBorder.Empty()) {
        RotateBitmapRight(TabBorder);
    }
}

bool TSkinTab::FindUpDown() {
    HWND child = FindWindowExW(Handle, nullptr, UPDOWN_CLASSW, nullptr);
    if (!child) return false;
    if (!UpDownSkinner) {
        UpDownSkinner = new TSkinUpDown(Owner());
        UpDownSkinner->FreeNotification(this);
        UpDownSkinner->AttachWindow(child, SkinData, FormCanvas, SkinForm);
    }
    return GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE;
}

void TSkinTab::Notification(TComponent* AComponent, TOperation Operation) {
    TSkinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == UpDownSkinner) UpDownSkinner = nullptr;
}

void TSkinTab::DrawTabItem(HDC dc, const RECT& rect, int frame) {
    TDataSkinBorder& tabs = *SkinData->Tabs;
    TBitmap& strip = TabStrip.Empty() ? tabs.Bitmap : TabStrip;
    DrawSkinFrame(dc, rect, strip, tabs.Margins(), frame, tabs.FrameCount, tabs.Trans == 1, tabs.Tile == 1,
                  false);
}

void TSkinTab::DrawHeaderClipped(HDC dc, const RECT& headerRect) {
    RECT own, arrows;
    GetWindowRect(Handle, &own);
    HWND child = FindWindowExW(Handle, nullptr, UPDOWN_CLASSW, nullptr);
    TRegionHandle clip(CreateRectRgn(0, 0, Width(own), Height(own)));
    if (child && GetWindowRect(child, &arrows)) {
        OffsetRect(&arrows, -own.left, -own.top);
        TRegionHandle hole(CreateRectRgnIndirect(&arrows));
        CombineRgn(clip.Get(), clip.Get(), hole.Get(), RGN_DIFF);
    }
    SelectClipRgn(dc, clip.Get());
    BitBlt(dc, headerRect.left, headerRect.top, Width(headerRect), Height(headerRect),
           HeaderBitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
    SelectClipRgn(dc, nullptr);
}

void TSkinControl::DrawIconAndText(TCanvas& canvas, const RECT& rect, HIMAGELIST images, int imageIndex,
                                   const std::wstring& text, int align) {
    int cx = 0, cy = 0;
    if (images) ImageList_GetIconSize(images, &cx, &cy);
    const bool icon = images && imageIndex != -1 && cx < Width(rect);
    if (!icon) cx = 0;
    const UINT flags = DT_END_ELLIPSIS | DT_SINGLELINE | DT_EXPANDTABS;
    RECT textBox = rect;
    if (images && imageIndex != -1) textBox.right += cx + 2;
    if (text.empty()) {
        textBox.right = textBox.left;
    } else {
        canvas.DrawText(text, textBox, flags | DT_CALCRECT | DT_NOCLIP);
    }
    const int textWidth = Width(textBox), textHeight = Height(textBox);
    int dx = align == 0   ? 2
             : align == 1 ? (Width(rect) - cx - textWidth) / 2
                          : Width(rect) - cx - textWidth - 2;
    dx = std::max(dx, 2);
    const POINT iconAt{rect.left + dx, rect.top + (Height(rect) - cy) / 2};
    textBox = RECT{rect.left + dx + cx + 1, rect.top + (Height(rect) - textHeight) / 2, 0, 0};
    textBox.right = textBox.left + textWidth;
    textBox.bottom = textBox.top + textHeight;
    if (icon) ImageList_Draw(images, imageIndex, canvas.Handle(), iconAt.x, iconAt.y, ILD_TRANSPARENT);
    if (text.empty()) return;
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetStyle({});
    if (!Enabled) canvas.Font()->SetColor(clBtnShadow);
    textBox.left = std::max(textBox.left, rect.left);
    textBox.right = std::min(textBox.right, rect.right);
    canvas.DrawText(text, textBox, flags);
}

void TSkinTab::DrawSkin(HDC dc, const RECT& rect) {
    if (!HasTabs(SkinData)) return;
    ReadTabPosition();
    RECT page = rect;
    SendMessageW(Handle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    InflateRect(&page, 4, 4);
    const int count = static_cast<int>(SendMessageW(Handle, TCM_GETITEMCOUNT, 0, 0));
    const int current = static_cast<int>(SendMessageW(Handle, TCM_GETCURFOCUS, 0, 0));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Handle, TCM_GETIMAGELIST, 0, 0));
    RECT header = rect;
    switch (TabPosition) {
    case 0:
        page.top += 1;
        header.bottom = page.top;
        break;
    case 1:
        page.bottom -= 1;
        header.top = page.bottom;
        break;
    case 2:
        page.left += 1;
        header.right = page.left;
        break;
    default:
        page.right -= 1;
        header.left = page.right;
        break;
    }
    const bool vertical = TabPosition >= 2;
    const int w = vertical ? Height(header) : Width(header), h = vertical ? Width(header) : Height(header);
    if (w <= 0 || h <= 0) return;
    HeaderBitmap.SetPixelFormat(pf24bit);
    HeaderBitmap.SetSize(w, h);
    TCanvas& canvas = *HeaderBitmap.Canvas();
    FillParentColor(canvas.Handle(), RECT{0, 0, w, h});
    TakeFont(canvas, reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0)));
    TDataSkinBorder& tabs = *SkinData->Tabs;
    for (int i = 0; i < count; ++i) {
        wchar_t text[80] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
        item.pszText = text;
        item.cchTextMax = 80;
        SendMessageW(Handle, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        RECT box;
        if (!SendMessageW(Handle, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&box)))
            continue;
        switch (TabPosition) {
        case 0:
            OffsetRect(&box, 0, 1);
            break;
        case 1:
            OffsetRect(&box, 0, -(page.bottom + 1));
            break;
        case 2:
            box = RECT{w - box.bottom, box.left, w - box.top, box.right};
            break;
        default:
            box = RECT{box.top - 1, rect.right - box.right, box.bottom - 1, rect.right - box.left};
            break;
        }
        const int frame = i == current ? 2 : 1;
        DrawTabItem(canvas.Handle(), box, frame);
        canvas.Font()->SetColor(frame == 1 ? tabs.NormalColour2 : tabs.MouseOverColour2);
        DrawIconAndText(canvas, box, images, item.iImage, text, 1);
    }
    if (TabPosition == 3)
        RotateBitmapRight(HeaderBitmap);
    else if (TabPosition == 2)
        RotateBitmapLeft(HeaderBitmap);
    if (FindUpDown())
        DrawHeaderClipped(dc, header);
    else
        BitBlt(dc, header.left, header.top, Width(header), Height(header), HeaderBitmap.Canvas()->Handle(), 0,
               0, SRCCOPY);
    if (!tabs.Bitmap2.Empty() && !TabBorder.Empty())
        DrawSkinEdges(dc, page, TabBorder, RECT{4, 5, 4, 4}, 1, 1, false);
}

// --- tab sets ---

void TSkinTab31::AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas, bool) {
    auto* control = dynamic_cast<TWinControl*>(Owner());
    if (!control) return;
    Control = control;
    Handle = control->Handle();
    TSkinControl::AttachWindow(Handle, skinData, formCanvas, form);
    TakeTurnedStrip(TabStrip, SkinData);
}

bool TSkinTab31::BeforeMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        PaintOnBeginPaint(Message);
        return true; // the control paints as well, and AfterMessage paints the skin over it
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    default:
        return TSkinControl::BeforeMessage(Message);
    }
}

void TSkinTab31::SkinChanged() {
    // Another skin: the turned strip is taken from it again.
    TakeTurnedStrip(TabStrip, SkinData);
    TSkinControl::SkinChanged();
}

void TSkinTab31::DrawSkin(HDC dc, const RECT& rect) {
    if (!HasTabs(SkinData) || TabStrip.Empty() || !Control) return;
    const int width = Width(rect), height = Height(rect);
    if (width <= 0 || height <= 0) return;
    TBitmap picture(width, height, pf24bit);
    TCanvas& canvas = *picture.Canvas();
    FillSkinColor(canvas.Handle(), RECT{0, 0, width, height});
    auto* tabSet = dynamic_cast<TTabSet*>(Control);
    canvas.SetFont(tabSet ? tabSet->Canvas()->Font() : Control->Font());

    auto* tabs = GetObjectPropByName<TStrings>(Control, L"Tabs");
    const int selected = static_cast<int>(GetOrdPropByName(Control, L"TabIndex"));
    const int limit = width - static_cast<int>(GetOrdPropByName(Control, L"EndMargin"));
    const int first = static_cast<int>(GetOrdPropByName(Control, L"FirstIndex"));
    // A tab set without a scroller is measured as one whose scroller is hidden.
    auto* scroller =
        Control->ComponentCount() > 0 ? dynamic_cast<TControl*>(Control->Components(0)) : nullptr;
    const bool scrolling = scroller && scroller->Visible();
    TDataSkinBorder& element = *SkinData->Tabs;
    const bool enabled = !(WindowStyle() & WS_DISABLED);
    int x = static_cast<int>(GetOrdPropByName(Control, L"StartMargin"));
    for (int i = std::max(first, 0); tabs && i < tabs->Count(); ++i) {
        const String text = tabs->Strings(i);
        const int w = canvas.TextWidth(text) + 9;
        if (x + w + (scrolling ? 12 : 0) > limit) continue; // the next one may still fit
        const RECT box{x, 0, x + w, height};
        const int frame = i == selected ? 2 : 1;
        DrawSkinFrame(canvas.Handle(), box, TabStrip, element.Margins(), frame, element.FrameCount,
                      element.Trans == 1, element.Tile == 1, false);
        canvas.Font()->SetColor(frame == 1 ? element.NormalColour2 : element.MouseOverColour2);
        DrawControlText(canvas, box, text, enabled, DT_CENTER);
        x += w;
    }
    BitBlt(dc, rect.left, rect.top, width, height, canvas.Handle(), 0, 0, SRCCOPY);
}
