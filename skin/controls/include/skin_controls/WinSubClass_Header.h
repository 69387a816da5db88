#pragma once
// Small skinners: a header control painted from the skin's Headerbar strip, a size box and a
// native dialog child filled with the face colour, and a check box that takes custom glyphs given
// the skin's check-box cells.

#include "skin_controls/WinSubClass.h"

#include <commctrl.h>

// A header control (a list view's column header, attached by window). Every item is frame 1 of the
// Headerbar strip: there is no hot or pressed look.
class TSkinHeader : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    // With a Headerbar bitmap the header's own erase is skipped (the paint covers everything).
    bool BeforeMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    // One item: its frame, then its image and at most 200 characters of its text.
    void DrawHeaderItem(HIMAGELIST images, TCanvas& canvas, int index, const RECT& itemRect);
};

// A native "scrollbar"-class child that is a size box.
class TSkinSizer : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void DrawSkin(HDC dc, const RECT& rect) override;
};

// A native dialog child ("#32770"): its background in the skin's face colour.
class TSkinBoxH : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& Message) override;
};

// A check box that takes custom glyphs through published properties ("CustomGlyphs",
// "transparentcolor", "UseCustomGlyphs"): it is handed a 9-cell glyph bitmap cut from the skin's
// check-box strip. It does not hook the control.
class TSkinObjImage : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    // 1: push the glyph bitmap into the control.
    int Mode = 0;
    void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas, bool setColor) override;
    void Unskin() override;
    void SkinChanged() override;
    void PushGlyphs();
    // The 9-cell bitmap (nullptr when the skin has no check-box strip).
    std::unique_ptr<TBitmap> BuildGlyphs() const;
};
