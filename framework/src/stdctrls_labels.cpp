#include <framework/stdctrls.h>

#include <algorithm>

#include "stdctrls_internal.h"

using ctl_detail::LineHeight;
using ctl_detail::MeasureText;
using ctl_detail::PaintOwnWindow;

namespace {

// Every measurement uses one memory DC: a DC compatible with the screen measures text as the screen
// does, and taking the screen's own DC for each of a form's labels costs a round trip to the system.
class MeasuringDC {
public:
    MeasuringDC() : dc_(CreateCompatibleDC(nullptr)) {}
    ~MeasuringDC() {
        if (dc_) DeleteDC(dc_);
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

SIZE MeasureOn(HDC dc, const TFont* font, const String& text, int wrapWidth, UINT flags) {
    HGDIOBJ old = SelectObject(dc, font->Handle());
    RECT r{0, 0, wrapWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
    SelectObject(dc, old);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

SIZE ctl_detail::MeasureText(const TFont* font, const String& text, int wrapWidth, UINT flags) {
    thread_local MeasuringDC measuring;
    if (measuring.Get()) return MeasureOn(measuring.Get(), font, text, wrapWidth, flags);
    TScreenDC screen;
    return MeasureOn(screen.Get(), font, text, wrapWidth, flags);
}

int ctl_detail::LineHeight(const TFont* font) {
    return MeasureText(font, L"W", 0, DT_SINGLELINE).cy;
}

// ---------------------------------------------------------------------------------------------------
// TCustomLabel

const TClassInfo* TCustomLabel::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomLabel", TWinControl::StaticClassInfo(),
        {
            StrProp<TCustomLabel>(L"Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption),
            EnumProp<TCustomLabel>(L"Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment,
                                   AlignmentIdents),
            BoolProp<TCustomLabel>(L"AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize),
            BoolProp<TCustomLabel>(L"WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap),
            BoolProp<TCustomLabel>(L"ShowAccelChar", &TCustomLabel::ShowAccelChar,
                                   &TCustomLabel::SetShowAccelChar),
            EnumProp<TCustomLabel>(L"Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout,
                                   TextLayoutIdents),
            BoolProp<TCustomLabel>(L"Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent),
            RefProp<TCustomLabel, TWinControl>(L"FocusControl", &TCustomLabel::FocusControl,
                                               &TCustomLabel::SetFocusControl),
            EventProp<TCustomLabel>(L"OnClick", &TCustomLabel::OnClick),
            EventProp<TCustomLabel>(L"OnDblClick", &TCustomLabel::OnDblClick),
        });
    return &info;
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csClickEvents});
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = L"STATIC";
    p.OwnClass = false;
    p.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    p.Style |= SS_NOTIFY; // so that the label itself takes mouse clicks
    switch (alignment_) {
    case taLeftJustify:
        p.Style |= wordWrap_ ? SS_LEFT : SS_LEFTNOWORDWRAP;
        break;
    case taCenter:
        p.Style |= SS_CENTER;
        break;
    case taRightJustify:
        p.Style |= SS_RIGHT;
        break;
    }
    if (!showAccelChar_) p.Style |= SS_NOPREFIX;
    if (layout_ == tlCenter && !wordWrap_) p.Style |= SS_CENTERIMAGE;
}

void TCustomLabel::ApplyStyle() {
    if (!HandleAllocated()) return;
    TCreateParams p;
    CreateParams(p);
    const DWORD mask = SS_TYPEMASK | SS_NOPREFIX | SS_CENTERIMAGE;
    LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(mask)) | (p.Style & mask);
    SetWindowLongPtrW(Handle(), GWL_STYLE, style);
    Invalidate();
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    ApplyStyle();
}

void TCustomLabel::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    ApplyStyle();
    AdjustBounds();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    ApplyStyle();
    AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
    if (control == focusControl_) return;
    if (focusControl_) RemoveFreeNotification(focusControl_);
    focusControl_ = control;
    if (control) FreeNotification(control);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
    TWinControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || IsLoading() || IsDestroying()) return;
    String text = Caption();
    // An empty caption (or a lone accelerator mark) still takes one line.
    if (text.empty() || (showAccelChar_ && text == L"&")) text += L' ';
    UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | (showAccelChar_ ? 0 : DT_NOPREFIX);
    SIZE size = MeasureText(Font(), text, wordWrap_ ? Width() : 0, flags);
    int width = wordWrap_ ? Width() : static_cast<int>(size.cx);
    int left = Left();
    if (alignment_ == taRightJustify)
        left += Width() - width;
    else if (alignment_ == taCenter)
        left += (Width() - width) / 2;
    SetBounds(left, Top(), width, size.cy);
}

void TCustomLabel::ApplyState(UINT change) {
    TWinControl::ApplyState(change);
    if (change == CM_TEXTCHANGED || change == CM_FONTCHANGED) AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& m) {
    // A label shows its focus control's accelerator: a click on it moves the focus there.
    if (m.Msg == WM_LBUTTONDOWN && focusControl_ && focusControl_->CanFocus()) focusControl_->SetFocus();
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------------
// TCustomGroupBox

const TClassInfo* TCustomGroupBox::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomGroupBox", TWinControl::StaticClassInfo(),
        {
            StrProp<TCustomGroupBox>(L"Caption", &TCustomGroupBox::Caption, &TCustomGroupBox::SetCaption),
            EventProp<TCustomGroupBox>(L"OnClick", &TCustomGroupBox::OnClick),
            EventProp<TCustomGroupBox>(L"OnDblClick", &TCustomGroupBox::OnDblClick),
        });
    return &info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csClickEvents});
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ExStyle |= WS_EX_CONTROLPARENT;
    p.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

RECT TCustomGroupBox::InnerRect() {
    RECT r = ClientRect();
    int h = LineHeight(Font());
    r.top += h;
    InflateRect(&r, -2, -2);
    return r;
}

void TCustomGroupBox::Paint(HDC dc) {
    RECT client{};
    GetClientRect(Handle(), &client);
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    const String caption = Caption();
    SIZE text{};
    GetTextExtentPoint32W(dc, L"W", 1, &text);
    RECT frame = client;
    frame.top += text.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
        RECT box{8, 0, 8, text.cy};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box, DT_CALCRECT | DT_SINGLELINE);
        box.left -= 2;
        box.right += 2;
        box.bottom = text.cy;
        FillRect(dc, &box, ColorBrush(Color()));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
        box.left += 2;
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box,
                  DT_SINGLELINE | DT_LEFT | DT_TOP);
    }
    SelectObject(dc, oldFont);
}

void TCustomGroupBox::ApplyState(UINT change) {
    TWinControl::ApplyState(change);
    if (change == CM_TEXTCHANGED || change == CM_FONTCHANGED || change == CM_ENABLEDCHANGED) Invalidate();
}

void TCustomGroupBox::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT) {
        PaintOwnWindow(Handle(), m, [this](HDC dc) {
            Paint(dc);
            PaintControls(dc);
        });
        return;
    }
    TWinControl::WndProc(m);
}
