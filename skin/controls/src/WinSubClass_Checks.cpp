// Check boxes and radio buttons: the control paints box and caption, then the box area is wiped
// with the parent's colour and a cell of the skin's strip drawn in its place.
#include <algorithm>

#include "WinSubClass_Internal.h"
#include "skin_controls/WinSubClass.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"

namespace {

using namespace skin_controls_detail;

bool RepaintsCheck(UINT msg) {
    switch (msg) {
    case BM_SETCHECK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case CM_EXIT:
    case SKM_CHECKREPAINT:
        return true;
    default:
        return false;
    }
}

bool Contains(const String& text, const wchar_t* part) {
    return text.find(part) != String::npos;
}

// Where the cell goes and what is wiped first.
struct TCellPlace {
    RECT Cell;
    RECT Wipe;
};

// The cell's vertical place, then the box side of the control: left, or right with BS_LEFTTEXT.
// A narrow cell is centred in the native box; a wide one keeps `inset` from the edge.
TCellPlace PlaceCell(const RECT& r, int cw, int ch, bool leftText, int leftInset, int leftCentreShift,
                     int rightLimit) {
    TCellPlace p;
    p.Cell.top = r.top + (r.bottom - r.top - ch) / 2;
    p.Cell.bottom = p.Cell.top + ch;
    if (!leftText) {
        p.Cell.left = cw > 14 ? r.left + leftInset : r.left + (14 - cw) / 2 + leftCentreShift;
        p.Cell.right = p.Cell.left + cw;
        p.Wipe = RECT{r.left, r.top, r.left + 16, r.bottom};
    } else {
        p.Cell.right = cw > rightLimit ? r.right - 1 : r.right - (rightLimit - cw) / 2;
        p.Cell.left = p.Cell.right - cw;
        p.Wipe = RECT{r.right - 18, r.top, r.right, r.bottom};
    }
    return p;
}

} // namespace

void TSkinCheckBox::AfterMessage(TMessage& Message) {
    if (RepaintsCheck(Message.Msg))
        Redraw();
    else
        TSkinControl::AfterMessage(Message);
}

void TSkinRadioButton::AfterMessage(TMessage& Message) {
    if (RepaintsCheck(Message.Msg))
        Redraw();
    else
        TSkinControl::AfterMessage(Message);
}

void TSkinCheckBox::DrawSkin(HDC dc, const RECT& rect) {
    TDataSkinButton& buttons = *SkinData->Buttons;
    TBitmap& strip = buttons.CheckButton;
    const int count = buttons.CheckButtonFrame;
    if (strip.Empty() || count <= 0) return;
    const LRESULT st = SendMessageW(Handle, BM_GETSTATE, 0, 0);
    int s = (st & BST_CHECKED) ? 2 : 1;
    const bool grey = st & BST_INDETERMINATE;
    if (Control) {
        const String state = Lower(GetEnumPropName(Control, L"State"));
        if (!state.empty()) {
            if (Contains(state, L"uncheck"))
                s = 1;
            else if (Contains(state, L"check"))
                s = 2;
            else if (Contains(state, L"gray"))
                s = 4;
        } else if (IsPublishedProp(Control, L"Checked")) {
            s = Lower(GetEnumPropName(Control, L"Checked")) == L"true" ? 2 : 1;
        }
    }
    const DWORD style = WindowStyle();
    const bool disabled = style & WS_DISABLED;
    // A grey box is state 4 already; disabling it does not lead past the basic states.
    if (disabled) s = std::min(s + 2, 4);
    if (grey) s = 4;
    if (count == 12) {
        if (s == 2)
            s = 5;
        else if (s == 3)
            s = 4;
        else if (s == 4)
            s = 8;
        if (grey) s = disabled ? 12 : 9;
    }
    const int cw = strip.Width() / count, ch = strip.Height();
    const TCellPlace place = PlaceCell(rect, cw, ch, style & BS_LEFTTEXT, 2, 1, 15);
    FillParentColor(dc, place.Wipe);
    DrawStripFrameMasked(dc, place.Cell, strip, s, count);
}

void TSkinRadioButton::DrawSkin(HDC dc, const RECT& rect) {
    TDataSkinButton& buttons = *SkinData->Buttons;
    TBitmap& strip = buttons.RadioButton;
    const int count = buttons.RadioButtonFrame;
    if (strip.Empty() || count <= 0) return;
    int s = (SendMessageW(Handle, BM_GETCHECK, 0, 0) & BST_CHECKED) ? 2 : 1;
    if (Control && IsPublishedProp(Control, L"Checked"))
        s = Lower(GetEnumPropName(Control, L"Checked")) == L"true" ? 2 : 1;
    const DWORD style = WindowStyle();
    if (style & WS_DISABLED) s += 2;
    if (count == 8) {
        if (s == 2)
            s = 5;
        else if (s == 3)
            s = 4;
        else if (s == 4)
            s = 8;
    }
    const int cw = strip.Width() / count, ch = strip.Height();
    const TCellPlace place = PlaceCell(rect, cw, ch, style & BS_LEFTTEXT, 0, 0, 14);
    FillParentColor(dc, place.Wipe);
    DrawStripFrameMasked(dc, place.Cell, strip, s, count);
}
