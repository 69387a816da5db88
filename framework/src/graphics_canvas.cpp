#include <framework/graphics.h>

#include <algorithm>

// ---------------------------------------------------------------------------------------------------
// TMemoryDC

TMemoryDC::TMemoryDC() : dc_(CreateCompatibleDC(nullptr)) {
    if (!dc_) throw EOutOfResources(L"Out of system resources");
}

TMemoryDC::~TMemoryDC() {
    for (HGDIOBJ original : original_)
        if (original) SelectObject(dc_, original);
    DeleteDC(dc_);
}

void TMemoryDC::Select(HGDIOBJ object) {
    int slot = 0;
    switch (GetObjectType(object)) {
    case OBJ_BITMAP: slot = 0; break;
    case OBJ_BRUSH: slot = 1; break;
    case OBJ_PEN: slot = 2; break;
    case OBJ_FONT: slot = 3; break;
    default: return;
    }
    HGDIOBJ previous = SelectObject(dc_, object);
    if (!original_[slot]) original_[slot] = previous;
}

// ---------------------------------------------------------------------------------------------------
// Brushes and pens

const TIdentMap BrushStyleIdents{{L"bsSolid", bsSolid},         {L"bsClear", bsClear},
                                 {L"bsHorizontal", bsHorizontal}, {L"bsVertical", bsVertical},
                                 {L"bsFDiagonal", bsFDiagonal},   {L"bsBDiagonal", bsBDiagonal},
                                 {L"bsCross", bsCross},           {L"bsDiagCross", bsDiagCross}};
const TIdentMap PenStyleIdents{{L"psSolid", psSolid},           {L"psDash", psDash},
                               {L"psDot", psDot},               {L"psDashDot", psDashDot},
                               {L"psDashDotDot", psDashDotDot}, {L"psClear", psClear},
                               {L"psInsideFrame", psInsideFrame}};
const TIdentMap PenModeIdents{{L"pmBlack", pmBlack},
                              {L"pmWhite", pmWhite},
                              {L"pmNop", pmNop},
                              {L"pmNot", pmNot},
                              {L"pmCopy", pmCopy},
                              {L"pmNotCopy", pmNotCopy},
                              {L"pmMergePenNot", pmMergePenNot},
                              {L"pmMaskPenNot", pmMaskPenNot},
                              {L"pmMergeNotPen", pmMergeNotPen},
                              {L"pmMaskNotPen", pmMaskNotPen},
                              {L"pmMerge", pmMerge},
                              {L"pmNotMerge", pmNotMerge},
                              {L"pmMask", pmMask},
                              {L"pmNotMask", pmNotMask},
                              {L"pmXor", pmXor},
                              {L"pmNotXor", pmNotXor}};

const TClassInfo* TBrush::StaticClassInfo() {
    static const TClassInfo info(L"TBrush", TPersistent::StaticClassInfo(),
                                 {
                                     IntProp<TBrush>(L"Color", &TBrush::Color, &TBrush::SetColor, &ColorIdents),
                                     EnumProp<TBrush>(L"Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleIdents),
                                 });
    return &info;
}

void TBrush::SetColor(TColor color) {
    if (color == color_ && !borrowed_) return;
    color_ = color;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_ && !borrowed_) return;
    style_ = style;
    Changed();
}

void TBrush::Changed() {
    borrowed_ = nullptr;
    owned_.Reset();
    if (OnChange) OnChange(this);
}

HBRUSH TBrush::Handle() const {
    if (borrowed_) return borrowed_;
    if (style_ == bsClear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!owned_) {
        static const int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
        COLORREF rgb = ColorToRGB(color_);
        owned_.Reset(style_ == bsSolid ? CreateSolidBrush(rgb) : CreateHatchBrush(hatches[style_], rgb));
        if (!owned_) throw EOutOfResources(L"Out of system resources");
    }
    return owned_.Get();
}

void TBrush::SetHandle(HBRUSH brush) {
    owned_.Reset();
    borrowed_ = brush;
    LOGBRUSH lb{};
    if (brush && GetObjectW(brush, sizeof lb, &lb) == sizeof lb) {
        if (lb.lbStyle == BS_NULL) style_ = bsClear;
        else if (lb.lbStyle == BS_SOLID) style_ = bsSolid;
        color_ = static_cast<TColor>(lb.lbColor);
    }
    if (OnChange) OnChange(this);
}

void TBrush::Assign(const TPersistent* Source) {
    if (auto* other = dynamic_cast<const TBrush*>(Source)) {
        color_ = other->color_;
        style_ = other->style_;
        Changed();
        borrowed_ = other->borrowed_;
        return;
    }
    TPersistent::Assign(Source);
}

const TClassInfo* TPen::StaticClassInfo() {
    static const TClassInfo info(L"TPen", TPersistent::StaticClassInfo(),
                                 {
                                     IntProp<TPen>(L"Color", &TPen::Color, &TPen::SetColor, &ColorIdents),
                                     IntProp<TPen>(L"Width", &TPen::Width, &TPen::SetWidth),
                                     EnumProp<TPen>(L"Style", &TPen::Style, &TPen::SetStyle, PenStyleIdents),
                                     EnumProp<TPen>(L"Mode", &TPen::Mode, &TPen::SetMode, PenModeIdents),
                                 });
    return &info;
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}
void TPen::SetWidth(int width) {
    width = std::max(width, 0);
    if (width == width_) return;
    width_ = width;
    Changed();
}
void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}
void TPen::SetMode(TPenMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    Changed();
}

void TPen::Changed() {
    owned_.Reset();
    if (OnChange) OnChange(this);
}

HPEN TPen::Handle() const {
    if (!owned_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        owned_.Reset(CreatePen(styles[style_], width_, ColorToRGB(color_)));
        if (!owned_) throw EOutOfResources(L"Out of system resources");
    }
    return owned_.Get();
}

void TPen::Assign(const TPersistent* Source) {
    if (auto* other = dynamic_cast<const TPen*>(Source)) {
        color_ = other->color_;
        width_ = other->width_;
        style_ = other->style_;
        mode_ = other->mode_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas() {
    font_.OnChange = [this](TObject*) {
        valid_ &= ~kFont;
        Changed();
    };
    pen_.OnChange = [this](TObject*) {
        valid_ &= ~kPen;
        Changed();
    };
    brush_.OnChange = [this](TObject*) {
        valid_ &= ~kBrush;
        Changed();
    };
}

TCanvas::~TCanvas() { Deselect(); }

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

HDC TCanvas::Handle() {
    if (!dc_) CreateHandle();
    if (!dc_) throw EInvalidOperation(L"Canvas does not allow drawing");
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    Deselect();
    dc_ = dc;
}

void TCanvas::ReleaseContext() {
    Deselect();
    dc_ = nullptr;
}

void TCanvas::Deselect() {
    if (dc_) {
        if (oldFont_) SelectObject(dc_, oldFont_);
        if (oldPen_) SelectObject(dc_, oldPen_);
        if (oldBrush_) SelectObject(dc_, oldBrush_);
    }
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
    selectedFont_.reset();
    valid_ = 0;
}

void TCanvas::Refresh() { Deselect(); }

void TCanvas::Require(unsigned parts) {
    HDC dc = Handle();
    unsigned missing = parts & ~valid_;
    if (missing & kFont) {
        selectedFont_ = font_.SharedHandle();
        HGDIOBJ previous = SelectObject(dc, font_.Handle());
        if (!oldFont_) oldFont_ = previous;
        SetTextColor(dc, ColorToRGB(font_.Color()));
    }
    if (missing & kPen) {
        HGDIOBJ previous = SelectObject(dc, pen_.Handle());
        if (!oldPen_) oldPen_ = previous;
        SetROP2(dc, static_cast<int>(pen_.Mode()) + R2_BLACK);
    }
    if (missing & kBrush) {
        HGDIOBJ previous = SelectObject(dc, brush_.Handle());
        if (!oldBrush_) oldBrush_ = previous;
        SetBkColor(dc, ColorToRGB(brush_.Color()));
        SetBkMode(dc, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
    }
    valid_ |= parts;
}

POINT TCanvas::PenPos() {
    POINT p{};
    GetCurrentPositionEx(Handle(), &p);
    return p;
}

RECT TCanvas::ClipRect() {
    RECT r{};
    GetClipBox(Handle(), &r);
    return r;
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    Require(kPen | kBrush);
    ::LineTo(dc_, x, y);
    Changed();
}

void TCanvas::Polyline(const POINT* points, int count) {
    Require(kPen | kBrush);
    ::Polyline(dc_, points, count);
    Changed();
}

void TCanvas::Polygon(const POINT* points, int count) {
    Require(kPen | kBrush);
    ::Polygon(dc_, points, count);
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Require(kPen | kBrush);
    ::Rectangle(dc_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
    Require(kPen | kBrush);
    ::RoundRect(dc_, x1, y1, x2, y2, w, h);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Require(kPen | kBrush);
    ::Ellipse(dc_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::FillRect(const RECT& r) {
    Require(kBrush);
    ::FillRect(dc_, &r, brush_.Handle());
    Changed();
}

void TCanvas::FrameRect(const RECT& r) {
    Require(kBrush);
    ::FrameRect(dc_, &r, brush_.Handle());
    Changed();
}

void TCanvas::TextOut(int x, int y, const String& text) {
    Require(kFont | kBrush);
    ExtTextOutW(dc_, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    MoveToEx(dc_, x + size.cx, y, nullptr);
    Changed();
}

void TCanvas::TextRect(const RECT& r, int x, int y, const String& text) {
    Require(kFont | kBrush);
    UINT options = ETO_CLIPPED | (brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutW(dc_, x, y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

SIZE TCanvas::TextExtent(const String& text) {
    Require(kFont);
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int TCanvas::DrawText(const String& text, RECT& r, UINT format) {
    Require(kFont | kBrush);
    int result = ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
    if (!(format & DT_CALCRECT)) Changed();
    return result;
}

TColor TCanvas::Pixels(int x, int y) {
    COLORREF c = GetPixel(Handle(), x, y);
    return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    ::SetPixel(Handle(), x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(*this, RECT{x, y, x + graphic->Width(), y + graphic->Height()});
    Changed();
}

void TCanvas::StretchDraw(const RECT& r, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(*this, r);
    Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect) {
    if (!source) return;
    Require(kBrush);
    HDC from = source->Handle();
    ::StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, from, sourceRect.left,
                 sourceRect.top, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top, copyMode_);
    Changed();
}
