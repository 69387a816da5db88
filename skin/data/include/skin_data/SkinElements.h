#pragma once
// The skin element model: what a skin ini and its bitmaps become. Every painter of the engine reads
// these objects from its TSkinData each time it paints; none keeps one of its own.

#include <framework/graphics.h>

#include <string>

#include "skin_data/SkinIniValues.h"

// One element: a bitmap strip of FrameCount frames and how to draw it.
class TDataSkinObject {
public:
    explicit TDataSkinObject(std::string name) : Name(std::move(name)) {}
    virtual ~TDataSkinObject() = default;
    TDataSkinObject(const TDataSkinObject&) = delete;
    TDataSkinObject& operator=(const TDataSkinObject&) = delete;

    // The parts of each frame copied unscaled when the frame is drawn at another size.
    int LeftWidth = 0, TopHeight = 0, RightWidth = 0, BottomHeight = 0;
    // Frames side by side (the Top and Bottom borders stack theirs).
    TBitmap Bitmap;
    // 1: magenta is transparent.
    int Trans = 0;
    // 0 stretches the middle of a frame, 1 tiles it (borders read it the other way round).
    int Tile = 0;
    // The ini section the element came from (caption buttons: upper-cased).
    std::string Name;
    int FrameCount = 0;
    // A drawing variant; its meaning belongs to the painter of the element.
    int Style = 0;
    // -1 when the skin gives none.
    TColor NormalColour = -1, MouseOverColour = -1, PressedColour = -1;
    // Text colours; the skin's ButtonText colour when the skin gives none.
    TColor NormalColour2 = 0, MouseOverColour2 = 0, PressedColour2 = 0;

    RECT Margins() const { return RECT{LeftWidth, TopHeight, RightWidth, BottomHeight}; }
    void SetMargins(const RECT& m) {
        LeftWidth = m.left;
        TopHeight = m.top;
        RightWidth = m.right;
        BottomHeight = m.bottom;
    }
};

// An element with a second bitmap: a progress chunk, a tab page border, an up-down glyph strip or
// the mirrored combo button.
class TDataSkinBorder : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    TBitmap Bitmap2;
};

// The caption text. Its Bitmap is the TextBack strip; the margins hold TextShift (LeftWidth),
// TextShiftVert (TopHeight) and TextRightClip (RightWidth).
class TDataSkinTitle : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int TextShift() const { return LeftWidth; }
    int TextShiftVert() const { return TopHeight; }
    int TextRightClip() const { return RightWidth; }

    int TextAlignment = 0;
    int Textbackground = 0;
    int FontHeight = 14;
    int TXTBackleft = 0, TXTBackRight = 0;
    // clNone when the skin gives none.
    TColor ActiveText = clNone, InActiveText = clNone;
};

// Push buttons, with the check-box and radio-button strips.
class TDataSkinButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    TBitmap CheckButton;
    TBitmap RadioButton;
    int RadioButtonFrame = 0, CheckButtonFrame = 0;
    // The skin gives the ...Colour2 text colour itself.
    bool HasNormalColour2 = false, HasMouseOverColour2 = false, HasPressedColour2 = false;
};

// One caption button: Action is the caption command, Align/Xcoord/Ycoord its place, Visibility and
// Visibility1 when it shows. Bitmap is its ButtonImage strip.
class TDataSkinSysButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int Action = 0, Align = 0, Xcoord = 0, Ycoord = 0, CombineOp = -1, Visibility = 0, Visibility1 = 0;
};

// The group-box caption background.
class TDataSkinBoxLabel : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int BackgroundLeftShift = 0, BackgroundRightShift = 0, BackgroundAlignment = 0;
};

// The Colours section: RGB colours, or system colours (clSystemColor + index) where the skin gives
// none; painters resolve those with ColorToRGB when they draw.
struct TSkinColours {
    TColor WindowText = clWindowText;
    TColor ButtonFace = clBtnFace;
    TColor Scrollbar = clScrollBar;
    TColor HilightText = clHighlightText;
    TColor Hilight = clHighlight;
    TColor Menubar = clBtnFace;
    TColor Menu = clMenu;
    TColor MenuText = clMenuText;
    TColor ButtonText = clBtnText;
    TColor ButtonHilight = clBtnHighlight;
    TColor Buttonlight = clBtnHighlight;
    TColor ButtonShadow = clBtnShadow;
    TColor ButtonDkShadow = cl3DDkShadow;
    TColor MenuBarText = clMenuText;
    TColor TitleTextActive = clCaptionText;
    TColor TitleTextNoActive = clInactiveCaptionText;
};

// ParseColourText and ColourOrDefault read the skin's colour texts.
