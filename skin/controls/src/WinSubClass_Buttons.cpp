// Push, glyph and speed buttons from the skin's Buttons element. The skinners keep their own hot
// and pressed state, compose the button off-screen and copy it in one go.
#include <framework/imglist.h>

#include <algorithm>

#include "WinSubClass_Internal.h"
#include "skin_controls/WinSubClass.h"
#include "skin_data/ImgUtil.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinForm.h"

namespace {

using namespace skin_controls_detail;

// "||" in a caption is a line break.
std::wstring WithLineBreaks(std::wstring text) {
    for (std::size_t at = text.find(L"||"); at != std::wstring::npos; at = text.find(L"||", at + 2))
        text.replace(at, 2, L"\r\n");
    return text;
}

bool HasButtons(TSkinData* data) {
    return data && data->Buttons && !data->Buttons->Bitmap.Empty();
}

// Glyph cell by button frame: pressed 3, disabled 2, anything else 1.
int GlyphState(int frame) {
    return frame == 2 ? 3 : frame == 3 ? 2 : 1;
}

enum TGlyphLayout { glLeft, glRight, glTop, glBottom };

TGlyphLayout ReadLayout(TObject* control) {
    const String layout = Lower(GetEnumPropName(control, L"Layout"));
    if (layout == L"blglyphright") return glRight;
    if (layout == L"blglyphtop") return glTop;
    if (layout == L"blglyphbottom") return glBottom;
    return glLeft; // a missing or unknown layout reads as the glyph on the left
}

// Where glyph and text go, given the client size, the glyph and text sizes and the control's
// Margin and Spacing (-1 for "work it out"). Speed buttons know no "tacenter" and shift an
// automatic margin by one.
struct TGlyphPlacement {
    POINT Glyph{};
    POINT Text{};
    UINT Flags = 0;
};

TGlyphPlacement PlaceGlyph(SIZE cs, SIZE g, SIZE t, TGlyphLayout layout, int margin, int spacing,
                           bool centred, bool speed) {
    TGlyphPlacement p;
    const bool horizontal = layout == glLeft || layout == glRight;
    if (horizontal) {
        p.Glyph.y = (cs.cy - g.cy + 1) / 2;
        p.Text.y = (cs.cy - t.cy + 1) / 2;
    } else {
        p.Glyph.x = (cs.cx - g.cx + 1) / 2;
        p.Text.x = (cs.cx - t.cx + 1) / 2;
    }
    if (t.cx == 0 || g.cx == 0) spacing = 0;
    const int csAxis = horizontal ? cs.cx : cs.cy;
    const int gAxis = horizontal ? g.cx : g.cy;
    const int tAxis = horizontal ? t.cx : t.cy;
    if (margin == -1 || (centred && !speed)) {
        if (spacing == -1) {
            margin = (csAxis - (gAxis + tAxis)) / 3;
            spacing = margin;
        } else {
            margin = (csAxis - (gAxis + spacing + tAxis)) / 2 + (speed ? 1 : 0);
        }
    } else if (spacing == -1) {
        spacing = (csAxis - (margin + gAxis) - tAxis) / 2;
    }
    switch (layout) {
    case glLeft:
        p.Glyph.x = margin;
        p.Text.x = p.Glyph.x + g.cx + spacing;
        break;
    case glRight:
        p.Glyph.x = cs.cx - margin - g.cx;
        p.Text.x = p.Glyph.x - spacing - t.cx;
        p.Flags = DT_RIGHT;
        break;
    case glTop:
        p.Glyph.y = margin;
        p.Text.y = p.Glyph.y + g.cy + spacing;
        p.Flags = DT_CENTER;
        break;
    case glBottom:
        p.Glyph.y = cs.cy - margin - g.cy;
        p.Text.y = p.Glyph.y - spacing - t.cy;
        p.Flags = DT_CENTER;
        break;
    }
    return p;
}

SIZE TextSize(TCanvas& canvas, const std::wstring& text, const RECT& within, UINT flags) {
    if (text.empty()) return SIZE{0, 0};
    RECT box = within;
    canvas.DrawText(text, box, flags | DT_CALCRECT);
    return SIZE{Width(box), Height(box)};
}

// The published glyph of a glyph button: bitmap "Glyph", or image list "Images" at "ImageIndex".
struct TGlyphSource {
    TBitmap* Glyph = nullptr;
    TCustomImageList* Images = nullptr;
    int NumGlyphs = 1, ImageIndex = -1, DisabledIndex = -1;

    explicit TGlyphSource(TObject* control) {
        Glyph = GetObjectPropByName<TBitmap>(control, L"Glyph");
        if (Glyph && Glyph->Empty()) Glyph = nullptr;
        Images = GetObjectPropByName<TCustomImageList>(control, L"Images");
        NumGlyphs = static_cast<int>(GetOrdPropByName(control, L"NumGlyphs"));
        if (NumGlyphs <= 0) NumGlyphs = 1;
        ImageIndex = IsPublishedProp(control, L"ImageIndex")
                         ? static_cast<int>(GetOrdPropByName(control, L"ImageIndex"))
                         : -1;
        DisabledIndex = IsPublishedProp(control, L"DisabledIndex")
                            ? static_cast<int>(GetOrdPropByName(control, L"DisabledIndex"))
                            : -1;
    }
    SIZE Size() const {
        if (Glyph) return SIZE{Glyph->Width() / NumGlyphs, Glyph->Height()};
        if (Images && ImageIndex != -1) return SIZE{Images->Width(), Images->Height()};
        return SIZE{0, 0};
    }
    void Draw(TCanvas& canvas, POINT at, int glyphState, bool enabled) const {
        const SIZE size = Size();
        if (Glyph) {
            TSkinButton::DrawGlyphFrame(canvas, RECT{at.x, at.y, at.x + size.cx, at.y + size.cy}, NumGlyphs,
                                        glyphState, *Glyph);
        } else if (Images && ImageIndex != -1) {
            if (enabled)
                Images->Draw(canvas, at.x, at.y, ImageIndex, true);
            else if (DisabledIndex != -1)
                Images->Draw(canvas, at.x, at.y, DisabledIndex, true);
            else
                Images->Draw(canvas, at.x, at.y, ImageIndex, false);
        }
    }
};

int IntProp(TObject* control, const wchar_t* name, int missing) {
    return IsPublishedProp(control, name) ? static_cast<int>(GetOrdPropByName(control, name)) : missing;
}

} // namespace

TSkinButton::TSkinButton(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinButton::BeforeMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        PaintOnBeginPaint(Message);
        return false;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!Focused && Handle) SetFocus(Handle);
        ButtonState.Include(sbPressed);
        PaintSkin(nullptr);
        return false;
    default:
        return TSkinControl::BeforeMessage(Message);
    }
}

void TSkinButton::AfterMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (Message.WParam == VK_SPACE) {
            if (Message.Msg == WM_KEYDOWN)
                ButtonState.Include(sbPressed);
            else
                ButtonState.Exclude(sbPressed);
            Redraw();
        }
        break;
    case WM_MOUSEMOVE:
        if (!ButtonState.Contains(sbHot)) {
            ButtonState.Include(sbHot);
            if (SkinForm) {
                if (SkinForm->HotControlSkinner && SkinForm->HotControlSkinner != this)
                    SkinForm->HotControlSkinner->SendMouseLeave();
                if (SkinForm->HotControlSkinner != this) {
                    Redraw();
                    SkinForm->HotControlSkinner = this;
                }
            } else {
                Redraw();
            }
        }
        break;
    case WM_LBUTTONUP:
        if (ButtonState.Contains(sbPressed)) {
            ButtonState.Exclude(sbPressed);
            Redraw();
            // The click is the skinner's: the control never saw the press. Nothing of this
            // skinner is touched afterwards, as the click may free it.
            if (Control)
                Control->Click();
            else if (Handle)
                PostMessageW(GetParent(Handle), WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(Handle)),
                             reinterpret_cast<LPARAM>(Handle));
        }
        break;
    case CM_MOUSEENTER:
        if (Enabled) {
            ButtonState.Include(sbHot);
            Redraw();
            if (SkinForm) SkinForm->HotControlSkinner = this;
        }
        break;
    case CM_MOUSELEAVE:
        if (Enabled) {
            ButtonState.Exclude(sbHot);
            ButtonState.Exclude(sbPressed);
            Redraw();
            if (SkinForm && SkinForm->HotControlSkinner == this) SkinForm->HotControlSkinner = nullptr;
        }
        break;
    default:
        TSkinControl::AfterMessage(Message);
        break;
    }
}

void TSkinButton::ApplyFrameTextColour(TCanvas& canvas, int frame, bool withControl) {
    const TDataSkinButton& b = *SkinData->Buttons;
    if (frame == 3) {
        canvas.Font()->SetColor(withControl ? clBtnShadow : static_cast<TColor>(0x808080));
        return;
    }
    const bool given = !withControl || (frame == 1 && b.HasNormalColour2) ||
                       (frame == 4 && b.HasMouseOverColour2) || (frame == 2 && b.HasPressedColour2);
    if (!given) return;
    if (frame == 1)
        canvas.Font()->SetColor(b.NormalColour2);
    else if (frame == 4)
        canvas.Font()->SetColor(b.MouseOverColour2);
    else if (frame == 2)
        canvas.Font()->SetColor(b.PressedColour2);
}

void TSkinButton::DrawSkin(HDC dc, const RECT& rect) {
    if (!HasButtons(SkinData)) return;
    const bool isDefault = WindowStyle() & BS_DEFPUSHBUTTON;
    RefreshFocusAndEnabled();
    Caption = Control ? GetPropAsWideString(Control, L"Caption") : GetWindowTextString(Handle);
    const int frame = StateFrame(isDefault, true);
    const RECT r{0, 0, Width(rect), Height(rect)};
    TCanvas* surface = StartButtonBitmap(r, frame, 5);
    if (!surface) return;
    TCanvas& canvas = *surface;
    if (Control) {
        if (auto* font = GetObjectPropByName<TFont>(Control, L"Font")) canvas.SetFont(font);
        canvas.Font()->SetColor(Control->Font()->Color());
    } else {
        TakeFont(canvas, reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0)));
        canvas.Font()->SetColor(SkinData->Colours.ButtonText);
    }
    ApplyFrameTextColour(canvas, frame, Control != nullptr);
    DrawButtonCaption(canvas, r, DT_CENTER);
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom, canvas.Handle(), 0, 0, SRCCOPY);
}

int TSkinButton::StateFrame(bool isDefault, bool defaultBeatsFocus) const {
    int frame = 1;
    if (defaultBeatsFocus) {
        if (Focused) frame = 4;
        if (isDefault) frame = 5;
    } else {
        if (isDefault) frame = 5;
        if (Focused) frame = 4;
    }
    if (ButtonState.Contains(sbPressed))
        frame = 2;
    else if (ButtonState.Contains(sbHot))
        frame = 4;
    return Enabled ? frame : 3;
}

TCanvas* TSkinButton::StartButtonBitmap(const RECT& r, int frame, int count) {
    if (r.right <= 0 || r.bottom <= 0) return nullptr;
    ButtonBitmap.SetPixelFormat(pf24bit);
    ButtonBitmap.SetSize(r.right, r.bottom);
    TCanvas* canvas = ButtonBitmap.Canvas();
    FillSkinColor(canvas->Handle(), r);
    if (count > 0) DrawElementFrame(canvas->Handle(), r, SkinData->Buttons.get(), frame, count);
    return canvas;
}

void TSkinButton::DrawButtonCaption(TCanvas& canvas, const RECT& rect, UINT align) {
    Caption = WithLineBreaks(Caption);
    const UINT flags = align | DT_EXPANDTABS | DT_WORDBREAK;
    canvas.Brush()->SetStyle(bsClear);
    RECT box = rect;
    canvas.DrawText(Caption, box, flags | DT_CALCRECT | DT_NOCLIP);
    const int dy = (Height(rect) - Height(box)) / 2 - 1;
    if (align == DT_CENTER) {
        OffsetRect(&box, (Width(rect) - Width(box)) / 2, dy);
    } else {
        OffsetRect(&box, 0, dy);
        box.left = rect.left;
        box.right = rect.right;
    }
    canvas.DrawText(Caption, box, flags);
}

void TSkinButton::DrawGlyphFrame(TCanvas& canvas, const RECT& rect, int numGlyphs, int state,
                                 TBitmap& glyph) {
    if (glyph.Empty() || numGlyphs <= 0) return;
    const int w = glyph.Width() / numGlyphs, h = glyph.Height();
    const int cell = numGlyphs == 4 ? state - 1 : 0;
    TBitmap copy(w, h, pf24bit);
    copy.Canvas()->CopyRect(RECT{0, 0, w, h}, glyph.Canvas(), RECT{cell * w, 0, cell * w + w, h});
    if (state == 2) GrayscaleBitmap(copy);
    copy.SetTransparentMode(tmAuto);
    copy.SetTransparent(true);
    canvas.Draw(rect.left, rect.top, &copy);
}

// --- glyph buttons ---

void TSkinBitButton::DrawSkin(HDC dc, const RECT& rect) {
    if (!HasButtons(SkinData)) return;
    RefreshFocusAndEnabled();
    TObject* source = Control ? static_cast<TObject*>(Control) : nullptr;
    Caption = source ? GetPropAsWideString(source, L"Caption") : GetWindowTextString(Handle);
    const bool isDefault = Lower(GetEnumPropName(source, L"Default")) == L"true";
    const int frame = StateFrame(isDefault, false);
    const RECT r{0, 0, Width(rect), Height(rect)};
    TCanvas* surface = StartButtonBitmap(r, frame, SkinData->Buttons->FrameCount);
    if (!surface) return;
    TCanvas& canvas = *surface;

    const TGlyphSource glyph(source);
    if (auto* font = GetObjectPropByName<TFont>(source, L"Font")) canvas.SetFont(font);
    UINT flags = DT_WORDBREAK;
    Caption = WithLineBreaks(Caption);
    const SIZE g = glyph.Size();
    const SIZE t = TextSize(canvas, Caption, r, flags);
    const bool centred = Lower(GetEnumPropName(source, L"Alignment")) == L"tacenter";
    const TGlyphPlacement place =
        PlaceGlyph(SIZE{r.right, r.bottom}, g, t, ReadLayout(source), IntProp(source, L"Margin", -1),
                   IntProp(source, L"Spacing", -1), centred, false);
    flags |= place.Flags;
    glyph.Draw(canvas, place.Glyph, GlyphState(frame), Enabled);

    canvas.Brush()->SetStyle(bsClear);
    ApplyFrameTextColour(canvas, frame, Control != nullptr);
    RECT textBox{place.Text.x, place.Text.y, place.Text.x + t.cx, place.Text.y + t.cy};
    canvas.DrawText(Caption, textBox, flags);
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom, canvas.Handle(), 0, 0, SRCCOPY);
}

// --- speed buttons ---

void TSkinSpeedButton::AttachGraphicControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas) {
    auto* control = dynamic_cast<TControl*>(Owner());
    if (!control || Hooked()) return;
    SkinData = skinData;
    FormCanvas = formCanvas;
    GraphicControl = control;
    HookControlProc(control);
    Register(form);
    State = 1;
}

bool TSkinSpeedButton::BeforeMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        if (GraphicControl) {
            TCanvas canvas;
            canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
            DrawSpeedButton(canvas, GraphicControl->ClientRect());
            canvas.SetHandle(nullptr);
        }
        Message.Result = 1;
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!CallOriginalProcAndLive(Message)) return false;
        ButtonState.Include(sbPressed);
        PaintSkin(nullptr);
        return false;
    default:
        return TSkinButton::BeforeMessage(Message);
    }
}

void TSkinSpeedButton::AfterMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCDESTROY:
    case CM_RELEASE:
        Unhook();
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (Message.WParam == VK_SPACE) {
            if (Message.Msg == WM_KEYDOWN)
                ButtonState.Include(sbPressed);
            else
                ButtonState.Exclude(sbPressed);
            PaintSkin(nullptr);
        }
        break;
    case WM_LBUTTONUP:
        ButtonState.Exclude(sbPressed);
        PaintSkin(nullptr);
        break;
    case CM_MOUSEENTER:
        ButtonState.Include(sbHot);
        PaintSkin(nullptr);
        break;
    case CM_MOUSELEAVE:
        ButtonState.Exclude(sbHot);
        ButtonState.Exclude(sbPressed);
        if (GraphicControl && GraphicControl->Visible()) PaintSkin(nullptr);
        break;
    default:
        TSkinButton::AfterMessage(Message);
        break;
    }
}

void TSkinSpeedButton::PaintSkin(HDC) {
    try {
        if (!GraphicControl || !GraphicControl->Parent() || !GraphicControl->Parent()->HandleAllocated())
            return;
        // A windowless control draws on its parent's window, at its own place.
        HWND parent = GraphicControl->Parent()->Handle();
        HDC dc = GetDC(parent);
        if (!dc) return;
        const int saved = SaveDC(dc);
        SetViewportOrgEx(dc, GraphicControl->Left(), GraphicControl->Top(), nullptr);
        TCanvas canvas;
        canvas.SetHandle(dc);
        DrawSpeedButton(canvas, GraphicControl->ClientRect());
        canvas.SetHandle(nullptr);
        RestoreDC(dc, saved);
        ReleaseDC(parent, dc);
    } catch (...) {
        // as every paint: the control keeps what it showed
    }
}

void TSkinSpeedButton::DrawSpeedButton(TCanvas& target, const RECT& rect) {
    if (!HasButtons(SkinData) || !GraphicControl) return;
    TObject* source = GraphicControl;
    int frame = ButtonState.Contains(sbPressed) ? 2 : ButtonState.Contains(sbHot) ? 4 : 1;
    const bool enabled = Lower(GetEnumPropName(source, L"Enabled")) == L"true";
    if (!enabled) frame = 3;
    if (Lower(GetEnumPropName(source, L"Down")) == L"true") frame = 2;
    Caption = GetPropAsWideString(source, L"Caption");
    const TGlyphSource glyph(source);
    const bool flat = Lower(GetEnumPropName(source, L"Flat")) == L"true";

    const RECT r{0, 0, Width(rect), Height(rect)};
    // A flat idle button shows only the face colour.
    TCanvas* surface = StartButtonBitmap(r, frame, flat && frame == 1 ? 0 : SkinData->Buttons->FrameCount);
    if (!surface) return;
    TCanvas& canvas = *surface;
    if (auto* font = GetObjectPropByName<TFont>(source, L"Font")) canvas.SetFont(font);
    if (glyph.Size().cx == 0) {
        ApplyFrameTextColour(canvas, frame, true);
        DrawButtonCaption(canvas, r, DT_CENTER);
        target.Draw(rect.left, rect.top, &ButtonBitmap);
        return;
    }
    Caption = WithLineBreaks(Caption);
    const SIZE g = glyph.Size();
    const SIZE t = TextSize(canvas, Caption, r, 0);
    const TGlyphPlacement place =
        PlaceGlyph(SIZE{r.right, r.bottom}, g, t, ReadLayout(source), IntProp(source, L"Margin", -1),
                   IntProp(source, L"Spacing", -1), false, true);
    glyph.Draw(canvas, place.Glyph, GlyphState(frame), enabled);
    ApplyFrameTextColour(canvas, frame, true);
    canvas.Brush()->SetStyle(bsClear);
    RECT textBox{place.Text.x, place.Text.y, place.Text.x + t.cx, place.Text.y + t.cy};
    canvas.DrawText(Caption, textBox, place.Flags);
    target.Draw(rect.left, rect.top, &ButtonBitmap);
}
