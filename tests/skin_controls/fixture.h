// A skin whose every frame is one solid colour, so that a pixel tells which frame a skinner drew;
// forms read from text; and pictures of what a control paints.
#pragma once

#include <framework/comctrls.h>
#include <framework/extctrls.h>
#include <framework/forms.h>
#include <framework/stdctrls.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin_controls/WinSubClass.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinForm.h"
#include "skin_fixtures.h"

// Frame f (1-based) of a strip of the test skin; no frame colour is magenta or the face colour.
TColor ButtonFrame(int f);
TColor CheckFrame(int f);
TColor RadioFrame(int f);
TColor TabFrame(int f);
TColor StatusFrame(int f);
TColor ThumbFrame(int f);
TColor UpDownFrame(int f);
TColor ProgressFrame(int f);
TColor GripFrame(int f);
constexpr TColor TestFace = 0x405060;   // ButtonFace
constexpr TColor TestShadow = 0x102030; // ButtonShadow
constexpr TColor TabBorderColour = 0x00A0F0;
constexpr TColor ChunkColour = 0x30C030;
// The top rows of every tab frame with TabEdge: a flipped strip shows them at the bottom.
constexpr TColor TabEdgeColour = 0xC02090;
// Frame f of the up-down arrow strip (UpDownGlyphs).
TColor UpDownGlyphFrame(int f);

// Which optional parts the test skin carries.
struct TTestSkinParts {
    bool Tabs = true, TabBorder = true, StatusBarEdges = true, Thumbs = true, UpDown = true, Progress = true;
    int ProgressStyle = 0;
    int CheckFrames = 12, RadioFrames = 8;
    int CellWidth = 13; // of the check and radio cells
    bool TabEdge = false, UpDownGlyphs = false;
};
// A loaded skin built from solid-colour strips.
std::unique_ptr<TSkinData> MakeTestSkin(const TTestSkinParts& parts = {});
// One of the skins the programs carry (file name under forms/skins).
std::unique_ptr<TSkinData> LoadShippedSkin(const char* file);

// A form read from a description (not shown).
std::unique_ptr<TForm> LoadForm(const std::string& description);

// What the window paints on WM_PAINT into a bitmap of the window's size first filled with
// `background` (the DC goes in wParam, as PrintWindow-style paints do).
std::unique_ptr<TBitmap> PaintPicture(HWND window, TColor background = 0x00FF00);
// Pixel (x, y) of a 24-bit bitmap as 0x00BBGGRR.
TColor PixelAt(TBitmap& bitmap, int x, int y);
// A pixel of the window as it is on the screen (after pending paints are done).
TColor ScreenPixel(HWND window, int x, int y);

class SkinControlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
