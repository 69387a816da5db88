#pragma once
// The looks of the generated skins: one theme per skin, from which every element is drawn.

#include <string>
#include <vector>

#include "Raster.h"

enum TPlateShape {
    psSquare,   // a square plate with a bevelled edge
    psRounded,  // a rounded plate with a gradient
    psRound,    // a disc
    psGlyphOnly // only the glyph; a plate shows under the mouse and when pressed
};

struct TTheme {
    std::string Name;    // the skin's name (the store item's name)
    std::string IniName; // the ini entry of the archive
    unsigned Seed = 1;   // for the textures

    // Window frame.
    int Border = 4;   // left, right and bottom border width
    int Caption = 24; // caption height (the top border)
    int Corner = 0;   // radius of the rounded top corners
    int BottomCorner = 0;
    TRgb CaptionTop, CaptionBottom;   // active caption gradient
    TRgb InactiveTop, InactiveBottom; // inactive caption gradient
    TRgb FrameOuter;                  // the outline of the window
    TRgb FrameFill;                   // the side and bottom borders
    TRgb CaptionText, CaptionTextInactive;
    int Gloss = 0;          // strength of a light band over the caption's upper half
    int Grain = 0;          // strength of a wood-like grain in the caption
    int PlankWidth = 0;     // > 0: the caption is tiled from planks of this width
    int TitleAlign = 0;     // 0 left, 1 centred
    bool TextPlate = false; // a band behind the caption text

    // Caption buttons.
    int CapButtonWidth = 19, CapButtonHeight = 17;
    TPlateShape CapButtonShape = psRounded;
    TRgb CapButtonFace, CloseFace, CapGlyph;

    // Controls and menus.
    TRgb Face, Light, Shadow, Dark, Text, Window;
    TRgb Accent, AccentText; // selection
    TRgb Menu, MenuText, MenuBarTop, MenuBarBottom, MenuBarText;
    TRgb ButtonTop, ButtonBottom, ButtonBorder, ButtonText;
    int ButtonRadius = 3;
    bool ButtonGloss = false;
    int ProgressStyle = 0; // 0 a stretched bar, 1 blocks
    int MenuBarTile = 1;   // 1 nine-slice, 0 three-slice
};

// The seven skins: the one stored in the skin component first, then the six of the store.
const std::vector<TTheme>& Themes();
