#include "skin_fixtures.h"

#include "skin_data/SkinDraw.h"
#include "skin_data/SkinElements.h"

namespace {

// A skin component with the archive of ini and bitmaps parsed into it.
std::unique_ptr<TSkinData> Parsed(const std::string& ini, std::vector<TArchiveEntry> bitmaps = {}) {
    auto data = std::make_unique<TSkinData>(nullptr);
    EXPECT_TRUE(LoadArchive(*data, SkinArchive(ini, std::move(bitmaps))));
    return data;
}

TEST(SkinElements, ASkinWithoutIniTakesEveryDefault) {
    auto data = std::make_unique<TSkinData>(nullptr);
    ASSERT_TRUE(LoadArchive(*data, PackArchive({{"lone.bmp", BmpFile(2, 2, 0)}})));
    EXPECT_FALSE(data->SkinNotLoaded());
    for (const auto& border : data->Borders) {
        SCOPED_TRACE(border->Name);
        EXPECT_TRUE(border->Bitmap.Empty());
        EXPECT_EQ(border->FrameCount, 1);
        EXPECT_EQ(border->Tile, 1);
        EXPECT_EQ(border->Trans, 1);
    }
    EXPECT_EQ(data->Title->FontHeight, 14);
    EXPECT_EQ(data->Title->FrameCount, 2);
    EXPECT_EQ(data->Title->ActiveText, clNone);
    EXPECT_EQ(data->Buttons->FrameCount, 5);
    EXPECT_EQ(data->Buttons->RadioButtonFrame, 4);
    EXPECT_EQ(data->Buttons->CheckButtonFrame, 4);
    EXPECT_EQ(data->Buttons->NormalColour, -1);
    EXPECT_EQ(data->Buttons->NormalColour2, clBtnText);
    EXPECT_FALSE(data->Buttons->HasNormalColour2);
    const TDataSkinObject* optional[] = {
        data->Progress.get(), data->MenuBar.get(),   data->Tabs.get(),     data->ComboButton.get(),
        data->SunkEdge.get(), data->Scrollbar.get(), data->MenuItem.get(), data->UpDownVert.get()};
    for (const TDataSkinObject* slot : optional) EXPECT_EQ(slot, nullptr);
    const TSkinColours defaults;
    EXPECT_EQ(data->Colours.ButtonFace, clBtnFace);
    EXPECT_EQ(data->Colours.Menubar, data->Colours.ButtonFace);
    EXPECT_EQ(data->Colours.TitleTextNoActive, defaults.TitleTextNoActive);
    EXPECT_EQ(data->Colours.ButtonDkShadow, cl3DDkShadow);
    // Only the three buttons of a maximized MDI child.
    ASSERT_EQ(data->SysButtons.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const auto& b = *data->SysButtons[static_cast<std::size_t>(i)];
        EXPECT_EQ(b.Action, 7 + i);
        EXPECT_EQ(b.Align, 100);
        EXPECT_EQ(b.Visibility, 100);
        EXPECT_EQ(b.Visibility1, 100);
        EXPECT_EQ(b.FrameCount, 4);
        EXPECT_TRUE(b.Bitmap.Empty());
    }
    EXPECT_NE(data->FaceBrush(), nullptr);
}

struct TColourCase {
    const char* text;
    TColor colour;
};

class ColourTexts : public testing::TestWithParam<TColourCase> {};

TEST_P(ColourTexts, GiveRedGreenBlue) {
    EXPECT_EQ(ParseColourText(GetParam().text), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(SkinElements, ColourTexts,
                         testing::Values(TColourCase{"255,0,255", 0xFF00FF},
                                         TColourCase{"128 64 32", 0x204080}, TColourCase{"200", 0},
                                         TColourCase{"10,20", 0x00000A}, TColourCase{"", 0},
                                         TColourCase{"none", 0}, TColourCase{"  1, 2, 3  ", 0x030201},
                                         TColourCase{"1,2,3,4", 0x030201}, TColourCase{"1,2,3,", 0x030201},
                                         TColourCase{"300;0;0", 0x00002C},
                                         TColourCase{"(16)(32)(48)", 0x302010},
                                         // A group too long for an integer is no component.
                                         TColourCase{"99999999999,5,6", 0x000005}));

TEST(SkinElements, ColourOrDefaultKeepsTheDefaultForAnEmptyText) {
    EXPECT_EQ(ColourOrDefault("", clBtnFace), clBtnFace);
    EXPECT_EQ(ColourOrDefault("x", clBtnFace), 0);
}

TEST(SkinElements, ColoursTakeTheSkinsValuesAndTheMenubarFollowsTheFace) {
    auto data = Parsed(
        "[Colours]\r\nButtonFace=1,2,3\r\nMenu=\r\nWindowText=10 20 30\r\nTitleTextActive=0,0,255\r\n");
    EXPECT_EQ(data->Colours.ButtonFace, 0x030201);
    EXPECT_EQ(data->Colours.Menubar, 0x030201);
    EXPECT_EQ(data->Colours.Menu, clMenu);
    EXPECT_EQ(data->Colours.WindowText, 0x1E140A);
    EXPECT_EQ(data->Colours.TitleTextActive, 0xFF0000);
    // Text colours that the skin leaves out follow its ButtonText.
    EXPECT_EQ(data->Buttons->PressedColour2, clBtnText);
}

TEST(SkinElements, PersonalityFillsBordersTitleAndMenuBar) {
    auto data = Parsed(
        "[Personality]\r\n"
        "Left=l.bmp\r\nLeftTopHeight=20\r\nLeftBotHeight=4\r\nLeftFrame=2\r\nLeftStretch=0\r\nLeftTrans=0\r\n"
        "Top=skins\\t.bmp\r\nTopTopHeight=7\r\nTopBotHeight=9\r\nTopFrame=0\r\n"
        "Bottom=b.BMP\r\n"
        "TextBack=back.bmp\r\nTextShift=5\r\nTextShiftVert=3\r\nTextRightClip=40\r\nTextAlignment=1\r\n"
        "Textbackground=2\r\nTXTBackleft=6\r\nTXTBackRight=7\r\n"
        "ActiveTextR=1\r\nActiveTextG=2\r\nActiveTextB=3\r\nInActiveTextR=1\r\nInActiveTextG=2\r\n"
        "menuBar=menu.bmp\r\nTileMenu=1\r\n"
        "[Fonts]\r\nFontHeight=12\r\n",
        {{"l.bmp", BmpFile(8, 30, 0x111111)},
         {"t.bmp", BmpFile(40, 24, 0x222222)},
         {"b.bmp", BmpFile(40, 4, 0x333333)},
         {"back.bmp", BmpFile(20, 24, 0x444444)},
         {"menu.bmp", BmpFile(20, 18, 0x555555)}});
    const TDataSkinBorder& left = data->Border(bpLeft);
    EXPECT_EQ(left.Margins().top, 20);
    EXPECT_EQ(left.Margins().bottom, 4);
    EXPECT_EQ(left.Margins().left, 0);
    EXPECT_EQ(left.FrameCount, 2);
    EXPECT_EQ(left.Tile, 0);
    EXPECT_EQ(left.Trans, 0);
    EXPECT_EQ(left.Bitmap.Width(), 8);
    const TDataSkinBorder& top = data->Border(bpTop);
    EXPECT_EQ(top.LeftWidth, 7);
    EXPECT_EQ(top.RightWidth, 9);
    EXPECT_EQ(top.TopHeight, 0);
    EXPECT_EQ(top.FrameCount, 1);                       // the painters divide by it
    EXPECT_EQ(top.Bitmap.Height(), 24);                 // found by its file name
    EXPECT_TRUE(data->Border(bpBottom).Bitmap.Empty()); // ".BMP" is not ".bmp"
    const TDataSkinTitle& title = *data->Title;
    EXPECT_EQ(title.TextShift(), 5);
    EXPECT_EQ(title.TextShiftVert(), 3);
    EXPECT_EQ(title.TextRightClip(), 40);
    EXPECT_EQ(title.BottomHeight, 0);
    EXPECT_EQ(title.TextAlignment, 1);
    EXPECT_EQ(title.Textbackground, 2);
    EXPECT_EQ(title.TXTBackleft, 6);
    EXPECT_EQ(title.TXTBackRight, 7);
    EXPECT_EQ(title.FontHeight, 12);
    EXPECT_EQ(title.Bitmap.Width(), 20);
    EXPECT_EQ(title.ActiveText, 0x030201);
    EXPECT_EQ(title.InActiveText, clNone); // an incomplete triple is no colour
    ASSERT_NE(data->MenuBar, nullptr);
    EXPECT_EQ(data->MenuBar->Name, "Personality");
    EXPECT_EQ(data->MenuBar->Tile, 1);
    EXPECT_EQ(data->MenuBar->LeftWidth, 1);
    EXPECT_EQ(data->MenuBar->RightWidth, 1);
    EXPECT_EQ(data->MenuBar->FrameCount, 2);
}

TEST(SkinElements, CaptionButtonSections) {
    const std::string ini =
        "[Button]\r\nAction=0\r\n"
        "[Buttons]\r\nBitmap=x.bmp\r\n"
        "[Button.Radio]\r\nAction=0\r\n"
        "[BUTTON.CHECKBOX]\r\nAction=0\r\n"
        "[ButtonClose]\r\nAction=0\r\nAlign=1\r\nXcoord=30\r\nYcoord=4\r\nButtonImage=w60.bmp\r\n"
        "[ButtonSix]\r\nAction=1\r\nButtonImage=w120.bmp\r\n"
        "[ButtonEdge]\r\nAction=1\r\nButtonImage=w76.bmp\r\n"
        "[ButtonOver]\r\nAction=1\r\nButtonImage=w77.bmp\r\n"
        "[ButtonNegative]\r\nAction=-2\r\nVisibility=0\r\nButtonImage=w60.bmp\r\n"
        "[ButtonSysMenu]\r\nAction=3\r\nButtonImage=w60.bmp\r\n"
        "[ButtonGiven]\r\nAction=11\r\nframe=4\r\nCombineOp=2\r\nButtonImage=w60.bmp\r\n"
        "[ButtonNoAction]\r\nAction=-1\r\n"
        "[ButtonShown]\r\nAction=-1\r\nVisibility=0\r\n"
        "[ButtonNoImage]\r\nAction=5\r\nVisibility1=7\r\n";
    auto data = Parsed(ini, {{"w60.bmp", BmpFile(60, 20, 1)},
                             {"w120.bmp", BmpFile(120, 20, 1)},
                             {"w76.bmp", BmpFile(76, 20, 1)},
                             {"w77.bmp", BmpFile(77, 20, 1)}});
    const struct {
        const char* name;
        int action, frames, visibility1;
        bool image;
    } expected[] = {
        {"BUTTONCLOSE", 0, 3, 0, true},     // 3.0 times as wide as high: three frames
        {"BUTTONSIX", 1, 6, 0, true},       // 6.0
        {"BUTTONEDGE", 1, 3, 0, true},      // exactly 3.8
        {"BUTTONOVER", 1, 6, 0, true},      // above 3.8
        {"BUTTONNEGATIVE", -2, 6, 0, true}, // a negative action always has six
        {"BUTTONSYSMENU", 3, 3, 0, false},  // shows the window icon instead of its strip
        {"BUTTONGIVEN", 11, 4, 0, true},    // a given frame count keeps the strip
        {"BUTTONSHOWN", -1, 6, -1, false},  // kept: it is shown by Visibility 0
        {"BUTTONNOIMAGE", 5, 6, 7, false},
    };
    ASSERT_EQ(data->SysButtons.size(), std::size(expected) + 3);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& b = *data->SysButtons[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(b.Name, expected[i].name);
        EXPECT_EQ(b.Action, expected[i].action);
        EXPECT_EQ(b.FrameCount, expected[i].frames);
        EXPECT_EQ(b.Visibility1, expected[i].visibility1);
        EXPECT_EQ(!b.Bitmap.Empty(), expected[i].image);
    }
    const auto& close = *data->SysButtons[0];
    EXPECT_EQ(close.Align, 1);
    EXPECT_EQ(close.Xcoord, 30);
    EXPECT_EQ(close.Ycoord, 4);
    EXPECT_EQ(close.Visibility, 0);
    EXPECT_EQ(close.CombineOp, -1);
    EXPECT_EQ(data->SysButtons[6]->CombineOp, 2);
    EXPECT_EQ(data->SysButtons[std::size(expected)]->Action, 7);
}

TEST(SkinElements, MdiControlsAreCutIntoThreeStrips) {
    // 12 cells of 5 pixels, each cell its own colour.
    auto image = MakeBitmap(60, 7, [](int x, int) { return static_cast<TColor>(0x10 * (x / 5 + 1)); });
    auto data = Parsed("[MDICONTROLS]\r\nImage=mdi.bmp\r\n", {{"mdi.bmp", BmpFile(*image)}});
    ASSERT_EQ(data->SysButtons.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        auto& b = *data->SysButtons[static_cast<std::size_t>(i)];
        EXPECT_EQ(b.Bitmap.Width(), 20);
        EXPECT_EQ(b.Bitmap.Height(), 7);
        EXPECT_EQ(b.Xcoord, 9 * (3 - i));
        EXPECT_EQ(PixelOf(b.Bitmap, 0, 0), 0x10 * (4 * i + 1));
        EXPECT_EQ(PixelOf(b.Bitmap, 19, 6), 0x10 * (4 * i + 4));
    }
}

TEST(SkinElements, CheckAndRadioFrameCountsFromTheStrips) {
    auto data = Parsed("[Buttons]\r\nRadioButton=r.bmp\r\nCheckButton=c.bmp\r\n",
                       {{"r.bmp", BmpFile(104, 13, 0)}, {"c.bmp", BmpFile(48, 16, 0)}});
    EXPECT_EQ(data->Buttons->RadioButtonFrame, 8);
    EXPECT_EQ(data->Buttons->CheckButtonFrame, 4); // 3 cells of 16, raised to 4
    auto given = Parsed("[Buttons]\r\nCheckButton=c.bmp\r\nCheckButtonFrame=12\r\nNormalColour2=1,2,3\r\n",
                        {{"c.bmp", BmpFile(156, 13, 0)}});
    EXPECT_EQ(given->Buttons->CheckButtonFrame, 12);
    EXPECT_TRUE(given->Buttons->HasNormalColour2);
    EXPECT_EQ(given->Buttons->NormalColour2, 0x030201);
    EXPECT_FALSE(given->Buttons->HasMouseOverColour2);
}

TEST(SkinElements, ElementSectionsAndTheirKeys) {
    const std::string ini =
        "[Tabs]\r\nImage=tabs.bmp\r\nBorder=border.bmp\r\nStyle=3\r\nLeftWidth=1\r\nTopHeight=2\r\n"
        "RightWidth=3\r\nBottomHeight=4\r\nTrans=1\r\nTile=2\r\nNormalColour=5\r\nNormalColour2=9,8,7\r\n"
        "[Headerbar]\r\nImage=header.BMP\r\n"
        "[MenuItem]\r\nImage=c:\\skins\\item.bmp\r\nStyle=3\r\nTile=1\r\n"
        "[Toolbars]\r\nStyle=2\r\n"
        "[Progress]\r\nBitmap=p.bmp\r\nChunk=chunk.bmp\r\nTile=2\r\nStyle=1\r\n"
        "[HorzScrollThumb]\r\nImage=t.bmp\r\nFrameCount=4\r\n"
        "[VertScrollThumb]\r\nImage=t.bmp\r\n"
        "[UpDown.Vert]\r\nImage=u.bmp\r\nGlyphImage=g.bmp\r\n"
        "[GroupBox]\r\nImage=u.bmp\r\nBackgroundAlignment=2\r\nBackgroundLeftShift=3\r\n"
        "[Trackbar.ThumbDown]\r\nImage=u.bmp\r\n";
    auto data = Parsed(ini, {{"tabs.bmp", BmpFile(50, 20, 0)},
                             {"border.bmp", BmpFile(16, 16, 0)},
                             {"header.bmp", BmpFile(50, 20, 0)},
                             {"item.bmp", BmpFile(50, 20, 0)},
                             {"p.bmp", BmpFile(20, 10, 0)},
                             {"chunk.bmp", BmpFile(8, 10, 0)},
                             {"t.bmp", BmpFile(30, 17, 0)},
                             {"u.bmp", BmpFile(64, 10, 0)},
                             {"g.bmp", BmpFile(56, 4, 0)}});
    ASSERT_NE(data->Tabs, nullptr);
    EXPECT_EQ(data->Tabs->Style, 0); // the border key set has no Style
    EXPECT_EQ(data->Tabs->Tile, 0);  // above 1
    EXPECT_EQ(data->Tabs->Margins().right, 3);
    EXPECT_EQ(data->Tabs->BottomHeight, 4);
    EXPECT_EQ(data->Tabs->Trans, 1);
    EXPECT_EQ(data->Tabs->NormalColour, 5);
    EXPECT_EQ(data->Tabs->MouseOverColour, -1);
    EXPECT_EQ(data->Tabs->NormalColour2, 0x070809);
    EXPECT_EQ(data->Tabs->MouseOverColour2, clBtnText);
    EXPECT_EQ(data->Tabs->Bitmap2.Width(), 16);
    EXPECT_EQ(data->Tabs->FrameCount, 5);
    ASSERT_NE(data->Headerbar, nullptr); // named, but not a ".bmp": an empty strip
    EXPECT_TRUE(data->Headerbar->Bitmap.Empty());
    ASSERT_NE(data->MenuItem, nullptr);
    EXPECT_EQ(data->MenuItem->Bitmap.Width(), 50);
    EXPECT_EQ(data->MenuItem->Style, 3);
    EXPECT_EQ(data->MenuItem->Tile, 1);
    EXPECT_EQ(data->Toolbars, nullptr); // no Image key
    ASSERT_NE(data->Progress, nullptr);
    EXPECT_EQ(data->Progress->Tile, 2);
    EXPECT_EQ(data->Progress->Style, 1);
    EXPECT_EQ(data->Progress->Bitmap2.Width(), 8);
    EXPECT_EQ(data->Progress->FrameCount, 2);
    EXPECT_EQ(data->HorzScrollThumb->FrameCount, 4);
    EXPECT_EQ(data->VertScrollThumb->FrameCount, 3);
    EXPECT_EQ(data->UpDownVert->Bitmap2.Width(), 56);
    EXPECT_EQ(data->UpDownVert->FrameCount, 8);
    EXPECT_EQ(data->UpDownHorz, nullptr);
    EXPECT_EQ(data->GroupBox->BackgroundAlignment, 2);
    EXPECT_EQ(data->GroupBox->BackgroundLeftShift, 3);
    EXPECT_EQ(data->GroupBox->FrameCount, 1);
    EXPECT_EQ(data->TrackbarThumbDown->FrameCount, 5);
    EXPECT_EQ(data->TrackbarThumbDown->Name, "Trackbar.ThumbDown");
}

TEST(SkinElements, ComboStripComposesEdgeButtonAndGlyph) {
    const int b = GetSystemMetrics(SM_CXHSCROLL) + 2;
    // The edge's four frames differ in colour; the button is green, the glyph blue.
    auto edge = MakeBitmap(40, 21, [](int x, int) { return static_cast<TColor>(0x000010 * (x / 10 + 1)); });
    auto glyph = MakeBitmap(25, 5, [](int, int) { return TColor(0xFF0000); });
    auto data = Parsed(
        "[SunkEdge]\r\nImage=edge.bmp\r\nLeftWidth=1\r\nTopHeight=1\r\nRightWidth=1\r\nBottomHeight=1\r\n"
        "[ComboButton]\r\nImage=button.bmp\r\nStyle=0\r\n"
        "[ExtraImages]\r\nImage=glyph.bmp\r\n",
        {{"edge.bmp", BmpFile(*edge)},
         {"button.bmp", BmpFile(76, 21, 0x00AA00)},
         {"glyph.bmp", BmpFile(*glyph)}});
    TDataSkinBorder& combo = *data->ComboButton;
    EXPECT_EQ(combo.Style, 2);
    ASSERT_EQ(combo.Bitmap.Width(), 200);
    ASSERT_EQ(combo.Bitmap.Height(), 21);
    EXPECT_EQ(combo.Margins().left, 2);
    EXPECT_EQ(combo.Margins().top, 1);
    EXPECT_EQ(combo.Margins().right, b + 2);
    EXPECT_EQ(combo.Margins().bottom, 1);
    for (int f = 0; f < 4; ++f) {
        SCOPED_TRACE(f);
        const int x0 = 50 * f;
        EXPECT_EQ(PixelOf(combo.Bitmap, x0, 0), 0x000010 * (f + 1));         // the edge
        EXPECT_EQ(PixelOf(combo.Bitmap, x0 + 10, 10), Magenta);              // the cleared inside
        EXPECT_EQ(PixelOf(combo.Bitmap, x0 + 50 - b + 1, 1), 0x00AA00);      // the button
        EXPECT_EQ(PixelOf(combo.Bitmap, x0 + 50 - b / 2 - 1, 10), 0xFF0000); // the glyph, centred
    }
    TDataSkinObject& sunk = *data->SunkEdge;
    EXPECT_EQ(sunk.LeftWidth, b + 2);
    EXPECT_EQ(sunk.RightWidth, 2);
    ASSERT_EQ(sunk.Bitmap.Width(), 200);
    for (int x = 0; x < 200; x += 7)
        EXPECT_EQ(PixelOf(sunk.Bitmap, x, 3), PixelOf(combo.Bitmap, 199 - x, 3)) << x;
}

TEST(SkinElements, ComboStripCellsAreWhatTheDrawingRoutinesPaint) {
    // Key-coloured pixels in every bitmap, a transparent tiled edge and a glyph taller than a cell:
    // each cell must be the edge, button and glyph drawn transparent onto the key colour, as
    // DrawSkinFrame and DrawCenteredFrame paint them, with the inside cleared.
    const int b = GetSystemMetrics(SM_CXHSCROLL) + 2;
    auto pattern = [](int seed) {
        return [seed](int x, int y) {
            return (x * 7 + y * 3 + seed) % 5 == 0
                       ? Magenta
                       : static_cast<TColor>(0x0A0B0C * (x + seed) + 0x030201 * y);
        };
    };
    auto edge = MakeBitmap(96, 21, pattern(1));
    auto button = MakeBitmap(80, 19, pattern(2));
    auto glyph = MakeBitmap(60, 27, pattern(3));
    const RECT edgeMargins{3, 2, 4, 1}, buttonMargins{2, 3, 2, 2};
    auto data = Parsed(
        "[SunkEdge]\r\nImage=edge.bmp\r\nLeftWidth=3\r\nTopHeight=2\r\nRightWidth=4\r\n"
        "BottomHeight=1\r\nTrans=1\r\nTile=1\r\n"
        "[ComboButton]\r\nImage=button.bmp\r\nLeftWidth=2\r\nTopHeight=3\r\nRightWidth=2\r\n"
        "BottomHeight=2\r\n"
        "[ExtraImages]\r\nImage=glyph.bmp\r\n",
        {{"edge.bmp", BmpFile(*edge)}, {"button.bmp", BmpFile(*button)}, {"glyph.bmp", BmpFile(*glyph)}});
    TBitmap& strip = data->ComboButton->Bitmap;
    ASSERT_EQ(strip.Width(), 200);
    for (int f = 1; f <= 4; ++f) {
        SCOPED_TRACE(f);
        auto cell = SolidBitmap(50, 21, Magenta);
        HDC dc = cell->Canvas()->Handle();
        DrawSkinFrame(dc, RECT{0, 0, 50, 21}, *edge, edgeMargins, f, 4, true, true, false);
        DrawSkinFrame(dc, RECT{50 - b, 0, 50, 21}, *button, buttonMargins, f, 4, true, false, false);
        DrawCenteredFrame(dc, RECT{50 - b, 0, 50, 21}, *glyph, f, 5, true);
        cell->Canvas()->Brush()->SetColor(Magenta);
        cell->Canvas()->FillRect(RECT{2, 2, 50 - 1 - b, 18});
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 50; ++x)
                ASSERT_EQ(PixelOf(strip, 50 * (f - 1) + x, y), PixelOf(*cell, x, y)) << x << "," << y;
    }
}

TEST(SkinElements, NoComboStripWithoutTheSunkEdge) {
    auto button = MakeBitmap(76, 21, [](int x, int) { return x < 38 ? TColor(0x0000AA) : TColor(0x00AA00); });
    auto data =
        Parsed("[ComboButton]\r\nImage=button.bmp\r\nLeftWidth=3\r\n", {{"button.bmp", BmpFile(*button)}});
    TDataSkinBorder& combo = *data->ComboButton;
    EXPECT_EQ(combo.Style, 0);
    EXPECT_EQ(combo.LeftWidth, 3);
    EXPECT_EQ(combo.Bitmap.Width(), 76);
    ASSERT_EQ(combo.Bitmap2.Width(), 76);
    EXPECT_EQ(combo.Bitmap2.PixelFormat(), pf24bit);
    EXPECT_EQ(PixelOf(combo.Bitmap2, 0, 0), 0x00AA00); // mirrored
    EXPECT_EQ(PixelOf(combo.Bitmap2, 75, 0), 0x0000AA);
}

TEST(SkinElements, AnUnreadableBitmapEndsTheBuild) {
    auto data = std::make_unique<TSkinData>(nullptr);
    const std::string text = "not a bitmap";
    const Bytes archive =
        SkinArchive("[Tabs]\r\nImage=bad.bmp\r\n", {{"bad.bmp", Bytes(text.begin(), text.end())}});
    data->SkinStream()->WriteBuffer(archive.data(), static_cast<std::int64_t>(archive.size()));
    EXPECT_THROW(data->ParseSkin(), EInvalidGraphic);
    EXPECT_TRUE(data->SkinNotLoaded());
}

// A run-length coded 8-bit bitmap file of the given size whose data ends the picture at once: a few
// bytes however large the picture it claims.
Bytes Rle8Bitmap(int width, int height) {
    Bytes file(14 + 40 + 8 + 2, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 14 + 40 + 8);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    file[26] = 1;     // planes
    file[28] = 8;     // bits
    put32(30, 1);     // RLE8
    put32(34, 2);     // data size
    put32(46, 2);     // colours
    file[62 + 1] = 1; // end of bitmap
    return file;
}

TEST(SkinElements, PicturesLargerThanASkinCanNeedAreRefused) {
    // Sections whose Image each loads one bitmap, in the order they are read.
    const char* sections[] = {"GroupBoxEdge", "Toolbars", "StatusBarEdges", "ExtraImages",
                              "Headerbar",    "MenuItem", "MenuBackground", "Scrollbar"};
    struct Case {
        const char* what;
        int count, width, height;
        const char* refused; // nullptr: loads
    } cases[] = {
        {"one picture of 16000 x 8000", 1, 16000, 8000, "p0.bmp"},
        {"one picture of just over 8 MB", 1, 1700, 1700, "p0.bmp"},
        {"seven pictures of 4.3 MB", 7, 1200, 1200, nullptr},
        {"eight pictures of 4.3 MB", 8, 1200, 1200, "p7.bmp"},
    };
    for (const auto& c : cases) {
        std::string ini;
        std::vector<TArchiveEntry> bitmaps;
        for (int i = 0; i < c.count; ++i) {
            const std::string name = "p" + std::to_string(i) + ".bmp";
            ini += std::string("[") + sections[i] + "]\r\nImage=" + name + "\r\n";
            bitmaps.push_back({name, Rle8Bitmap(c.width, c.height)});
        }
        auto data = std::make_unique<TSkinData>(nullptr);
        const Bytes archive = SkinArchive(ini, std::move(bitmaps));
        data->SkinStream()->WriteBuffer(archive.data(), static_cast<std::int64_t>(archive.size()));
        if (!c.refused) {
            EXPECT_TRUE(data->ParseSkin()) << c.what;
            ASSERT_TRUE(data->Scrollbar == nullptr && data->MenuBackground != nullptr) << c.what;
            EXPECT_EQ(data->MenuBackground->Bitmap.Width(), c.width) << c.what;
            continue;
        }
        try {
            data->ParseSkin();
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), L"Skin bitmap " + AnsiToWide(c.refused) + L" is too large") << c.what;
        }
        EXPECT_TRUE(data->SkinNotLoaded()) << c.what;
    }
}

} // namespace
