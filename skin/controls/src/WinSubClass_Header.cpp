#include "skin_controls/WinSubClass_Header.h"

#include <commctrl.h>

#include <algorithm>

#include "skin_controls/SkinFactories.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"

#include "WinSubClass_Internal.h"

namespace {

using skin_controls_detail::TakeFont;

bool HasBitmap(const std::unique_ptr<TDataSkinObject>& element) {
    return element && !element->Bitmap.Empty();
}

// Frame 1 of the Headerbar strip built at rect's size and copied there.
void DrawHeaderFrame(HDC dc, const RECT& rect, TDataSkinObject& bar) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    const RECT size{0, 0, rect.right - rect.left, rect.bottom - rect.top};
    auto frame = BuildSkinBitmap(size, bar.Bitmap, bar.Margins(), 1, bar.FrameCount, bar.Tile == 1, false);
    BitBlt(dc, rect.left, rect.top, size.right, size.bottom, frame->Canvas()->Handle(), 0, 0, SRCCOPY);
}

} // namespace

bool TSkinHeader::BeforeMessage(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND && HasBitmap(SkinData->Headerbar)) {
        Message.Result = 1;
        return false;
    }
    return TSkinControl::BeforeMessage(Message);
}

void TSkinHeader::DrawSkin(HDC dc, const RECT& rect) {
    if (!HasBitmap(SkinData->Headerbar)) return;
    TDataSkinObject& bar = *SkinData->Headerbar;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    TBitmap picture(width, height, pf24bit);
    TCanvas& canvas = *picture.Canvas();
    TakeFont(canvas, reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0)));
    canvas.Font()->SetColor(SkinData->Colours.ButtonText);
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Handle, HDM_GETIMAGELIST, 0, 0));
    const int count = static_cast<int>(SendMessageW(Handle, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int i = 0; i < count; ++i) {
        RECT item;
        if (!SendMessageW(Handle, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) continue;
        DrawHeaderItem(images, canvas, i, item);
        right = std::max<int>(right, item.right);
    }
    if (right < width) DrawHeaderFrame(canvas.Handle(), RECT{right, 0, width, height}, bar);
    BitBlt(dc, rect.left, rect.top, width, height, canvas.Handle(), 0, 0, SRCCOPY);
}

void TSkinHeader::DrawHeaderItem(HIMAGELIST images, TCanvas& canvas, int index, const RECT& itemRect) {
    wchar_t text[201] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 201;
    SendMessageW(Handle, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    DrawHeaderFrame(canvas.Handle(), itemRect, *SkinData->Headerbar);
    // The control may hand back its own buffer instead of filling ours.
    const std::wstring caption = WideFromBuffer(item.pszText ? item.pszText : text, -1).substr(0, 200);
    if (caption.empty()) return;
    const int image = (item.fmt & (HDF_IMAGE | HDF_OWNERDRAW)) ? item.iImage : -1;
    const int justify = item.fmt & HDF_JUSTIFYMASK;
    DrawIconAndText(canvas, itemRect, images, image, caption,
                    justify == HDF_RIGHT    ? 2
                    : justify == HDF_CENTER ? 1
                                            : 0);
}

void TSkinSizer::DrawSkin(HDC dc, const RECT& rect) {
    FillSkinColor(dc, rect);
}

bool TSkinBoxH::BeforeMessage(TMessage& Message) {
    if (Message.Msg != WM_ERASEBKGND) return TSkinControl::BeforeMessage(Message);
    RECT r;
    if (GetWindowRect(Handle, &r)) {
        OffsetRect(&r, -r.left, -r.top);
        FillSkinColor(reinterpret_cast<HDC>(Message.WParam), r);
    }
    Message.Result = 0;
    return false;
}

void TSkinObjImage::AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas,
                                  bool setColor) {
    if (Attached || !TakeControl(skinData, formCanvas, setColor)) return;
    Register(form);
    PushGlyphs();
    Attached = true;
    State = 1;
}

void TSkinObjImage::Unskin() {
    if (Mode == 1) SetPropFromText(Owner(), L"UseCustomGlyphs", L"false");
}

void TSkinObjImage::SkinChanged() {
    PushGlyphs();
}

void TSkinObjImage::PushGlyphs() {
    if (Mode != 1) return;
    auto glyphs = BuildGlyphs();
    if (!glyphs) return;
    auto* target = GetObjectPropByName<TBitmap>(Owner(), L"CustomGlyphs");
    if (!target) return;
    target->Assign(glyphs.get());
    SetPropFromText(Owner(), L"transparentcolor", std::to_wstring(SkinKeyColour));
    SetPropFromText(Owner(), L"UseCustomGlyphs", L"false");
    SetPropFromText(Owner(), L"UseCustomGlyphs", L"true");
}

std::unique_ptr<TBitmap> TSkinObjImage::BuildGlyphs() const {
    if (!SkinData || !SkinData->Buttons) return nullptr;
    TDataSkinButton& buttons = *SkinData->Buttons;
    TBitmap& strip = buttons.CheckButton;
    const int n = buttons.CheckButtonFrame;
    if (strip.Empty() || n <= 0) return nullptr;
    const int w = strip.Width() / n, h = strip.Height();
    if (w <= 0) return nullptr;
    auto glyphs = std::make_unique<TBitmap>(9 * w, h, pf24bit);
    HDC to = glyphs->Canvas()->Handle();
    HDC from = strip.Canvas()->Handle();
    auto copy = [&](int frame, int cell) {
        BitBlt(to, (cell - 1) * w, 0, w, h, from, (frame - 1) * w, 0, SRCCOPY);
    };
    // Cells: unchecked, checked, greyed; the same pressed; then disabled unchecked, checked, greyed.
    copy(1, 1);
    copy(1, 4);
    copy(2, 2);
    copy(2, 5);
    copy(3, 7);
    copy(4, 8);
    if (n == 5) {
        copy(5, 3);
        copy(5, 6);
        copy(5, 9);
    }
    return glyphs;
}

TSkinControl* NewSizerSkinner(TComponent* owner) {
    return new TSkinSizer(owner);
}

TSkinControl* NewDialogBackgroundSkinner(TComponent* owner) {
    return new TSkinBoxH(owner);
}

TSkinControl* NewObjImageSkinner(TComponent* owner, int mode) {
    auto* skinner = new TSkinObjImage(owner);
    skinner->Mode = mode;
    return skinner;
}
