#include <framework/extctrls.h>

#include "stdctrls_internal.h"

#include <algorithm>

const TIdentMap PanelBevelIdents{{L"bvNone", bvNone}, {L"bvLowered", bvLowered}, {L"bvRaised", bvRaised}, {L"bvSpace", bvSpace}};
const TIdentMap BevelShapeIdents{{L"bsBox", bsBox},           {L"bsFrame", bsFrame},         {L"bsTopLine", bsTopLine},
                                 {L"bsBottomLine", bsBottomLine}, {L"bsLeftLine", bsLeftLine}, {L"bsRightLine", bsRightLine},
                                 {L"bsSpacer", bsSpacer}};
const TIdentMap BevelStyleIdents{{L"bsLowered", bsLowered}, {L"bsRaised", bsRaised}};

namespace {

// Lines of `width` pixels round r: top and left in `top`, bottom and right in `bottom`; r shrinks.
void Frame3D(HDC dc, RECT& r, TColor top, TColor bottom, int width) {
    HBRUSH topBrush = ColorBrush(top), bottomBrush = ColorBrush(bottom);
    for (int i = 0; i < width && r.right - r.left > 0 && r.bottom - r.top > 0; ++i) {
        RECT t{r.left, r.top, r.right - 1, r.top + 1};
        RECT l{r.left, r.top, r.left + 1, r.bottom - 1};
        RECT b{r.left, r.bottom - 1, r.right, r.bottom};
        RECT rt{r.right - 1, r.top, r.right, r.bottom};
        FillRect(dc, &t, topBrush);
        FillRect(dc, &l, topBrush);
        FillRect(dc, &b, bottomBrush);
        FillRect(dc, &rt, bottomBrush);
        InflateRect(&r, -1, -1);
    }
}

void BevelColors(TPanelBevel bevel, TColor face, TColor& top, TColor& bottom) {
    top = bevel == bvLowered ? clBtnShadow : bevel == bvRaised ? clBtnHighlight : face;
    bottom = bevel == bvLowered ? clBtnHighlight : bevel == bvRaised ? clBtnShadow : face;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TCustomPanel

const TClassInfo* TCustomPanel::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomPanel", TWinControl::StaticClassInfo(),
        {
            StrProp<TCustomPanel>(L"Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption),
            EnumProp<TCustomPanel>(L"Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, AlignmentIdents),
            EnumProp<TCustomPanel>(L"BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, PanelBevelIdents),
            EnumProp<TCustomPanel>(L"BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, PanelBevelIdents),
            IntProp<TCustomPanel>(L"BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth),
            IntProp<TCustomPanel>(L"BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth),
            EnumProp<TCustomPanel>(L"BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
                                   ControlBorderStyleIdents),
            EventProp<TCustomPanel>(L"OnClick", &TCustomPanel::OnClick),
            EventProp<TCustomPanel>(L"OnDblClick", &TCustomPanel::OnDblClick),
            EventProp<TCustomPanel>(L"OnResize", &TCustomPanel::OnResize),
        });
    return &info;
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csClickEvents, csOpaque});
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ExStyle |= WS_EX_CONTROLPARENT;
    if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
    p.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TCustomPanel::Changed() {
    Invalidate();
    Realign();
}

void TCustomPanel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}
void TCustomPanel::SetBevelInner(TPanelBevel value) {
    if (value == bevelInner_) return;
    bevelInner_ = value;
    Changed();
}
void TCustomPanel::SetBevelOuter(TPanelBevel value) {
    if (value == bevelOuter_) return;
    bevelOuter_ = value;
    Changed();
}
void TCustomPanel::SetBevelWidth(int value) {
    value = std::max(value, 1);
    if (value == bevelWidth_) return;
    bevelWidth_ = value;
    Changed();
}
void TCustomPanel::SetBorderWidth(int value) {
    value = std::max(value, 0);
    if (value == borderWidth_) return;
    borderWidth_ = value;
    Changed();
}
void TCustomPanel::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomPanel::AlignControls(RECT& r) {
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(&r, -inset, -inset);
    TWinControl::AlignControls(r);
}

void TCustomPanel::Paint(HDC dc) {
    RECT r{};
    GetClientRect(Handle(), &r);
    TColor top, bottom;
    if (bevelOuter_ != bvNone) {
        BevelColors(bevelOuter_, Color(), top, bottom);
        Frame3D(dc, r, top, bottom, bevelWidth_);
    }
    Frame3D(dc, r, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone) {
        BevelColors(bevelInner_, Color(), top, bottom);
        Frame3D(dc, r, top, bottom, bevelWidth_);
    }
    FillRect(dc, &r, ColorBrush(Color()));
    const String caption = Caption();
    if (caption.empty()) return;
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    UINT align = alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, align | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
}

void TCustomPanel::ApplyState(UINT change) {
    TWinControl::ApplyState(change);
    if (change == CM_TEXTCHANGED || change == CM_FONTCHANGED || change == CM_ENABLEDCHANGED) Invalidate();
}

void TCustomPanel::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: // Paint covers the whole face
        m.Result = 1;
        return;
    case WM_PAINT:
        ctl_detail::PaintOwnWindow(Handle(), m, [this](HDC dc) {
            Paint(dc);
            PaintControls(dc);
        });
        return;
    default: TWinControl::WndProc(m);
    }
}

// ---------------------------------------------------------------------------------------------------
// TImage

const TClassInfo* TImage::StaticClassInfo() {
    static const TClassInfo info(L"TImage", TControl::StaticClassInfo(),
                                 {
                                     ObjProp<TImage>(L"Picture", &TImage::Picture),
                                     BoolProp<TImage>(L"Stretch", &TImage::Stretch, &TImage::SetStretch),
                                     BoolProp<TImage>(L"Proportional", &TImage::Proportional, &TImage::SetProportional),
                                     BoolProp<TImage>(L"Center", &TImage::Center, &TImage::SetCenter),
                                     BoolProp<TImage>(L"AutoSize", &TImage::AutoSize, &TImage::SetAutoSize),
                                     BoolProp<TImage>(L"Transparent", &TImage::Transparent, &TImage::SetTransparent),
                                     EventProp<TImage>(L"OnClick", &TImage::OnClick),
                                     EventProp<TImage>(L"OnDblClick", &TImage::OnDblClick),
                                 });
    return &info;
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

void TImage::PictureChanged() {
    if (autoSize_ && !picture_->Empty()) SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    if (TGraphic* g = picture_->Graphic()) g->SetTransparent(transparent_);
    Invalidate();
}

void TImage::SetStretch(bool value) {
    if (value == stretch_) return;
    stretch_ = value;
    Invalidate();
}
void TImage::SetProportional(bool value) {
    if (value == proportional_) return;
    proportional_ = value;
    Invalidate();
}
void TImage::SetCenter(bool value) {
    if (value == center_) return;
    center_ = value;
    Invalidate();
}
void TImage::SetAutoSize(bool value) {
    autoSize_ = value;
    if (value) PictureChanged();
}
void TImage::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    PictureChanged();
}

RECT TImage::DestRect() const {
    int w = picture_->Width(), h = picture_->Height();
    const int cw = Width(), ch = Height();
    if (stretch_ && w > 0 && h > 0) {
        if (!proportional_) return RECT{0, 0, cw, ch};
        // Fit inside the control, keeping the proportions.
        double scale = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
        w = static_cast<int>(w * scale);
        h = static_cast<int>(h * scale);
    }
    int x = 0, y = 0;
    if (center_ || (stretch_ && proportional_)) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return RECT{x, y, x + w, y + h};
}

void TImage::Paint(HDC dc) {
    TGraphic* graphic = picture_->Graphic();
    if (!graphic || graphic->Empty()) return;
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.StretchDraw(DestRect(), graphic);
    canvas.SetHandle(nullptr);
}

// ---------------------------------------------------------------------------------------------------
// TBevel

const TClassInfo* TBevel::StaticClassInfo() {
    static const TClassInfo info(L"TBevel", TControl::StaticClassInfo(),
                                 {
                                     EnumProp<TBevel>(L"Shape", &TBevel::Shape, &TBevel::SetShape, BevelShapeIdents),
                                     EnumProp<TBevel>(L"Style", &TBevel::Style, &TBevel::SetStyle, BevelStyleIdents),
                                 });
    return &info;
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() - TControlStyle{csClickEvents});
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape value) {
    if (value == shape_) return;
    shape_ = value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
    if (value == style_) return;
    style_ = value;
    Invalidate();
}

void TBevel::Paint(HDC dc) {
    const int w = Width(), h = Height();
    TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    auto line = [dc](int x1, int y1, int x2, int y2, TColor c) {
        RECT r{x1, y1, x2, y2};
        FillRect(dc, &r, ColorBrush(c));
    };
    switch (shape_) {
    case bsBox: {
        RECT r{0, 0, w, h};
        Frame3D(dc, r, first, second, 1);
        break;
    }
    case bsFrame: {
        RECT outer{0, 0, w - 1, h - 1};
        Frame3D(dc, outer, first, first, 1);
        RECT inner{1, 1, w, h};
        Frame3D(dc, inner, second, second, 1);
        break;
    }
    case bsTopLine:
        line(0, 0, w, 1, first);
        line(0, 1, w, 2, second);
        break;
    case bsBottomLine:
        line(0, h - 2, w, h - 1, first);
        line(0, h - 1, w, h, second);
        break;
    case bsLeftLine:
        line(0, 0, 1, h, first);
        line(1, 0, 2, h, second);
        break;
    case bsRightLine:
        line(w - 2, 0, w - 1, h, first);
        line(w - 1, 0, w, h, second);
        break;
    case bsSpacer: break;
    }
}
