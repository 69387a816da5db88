#include "fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "skin_fixtures.h"

namespace {

enum TStripKind {
    kButton = 1,
    kCheck,
    kRadio,
    kTab,
    kStatus,
    kThumb,
    kUpDown,
    kProgress,
    kGrip,
    kUpDownGlyph
};

TColor FrameColour(TStripKind kind, int f) {
    const int r = 0x11 * kind, g = 0x14 * f, b = 0xE0 - 8 * kind;
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}

// A strip of `frames` solid cells of w x h.
Bytes Strip(TStripKind kind, int frames, int w, int h) {
    return BmpFile(*MakeBitmap(w * frames, h, [&](int x, int) { return FrameColour(kind, x / w + 1); }));
}

std::string Rgb(TColor c) {
    return std::to_string(c & 0xFF) + "," + std::to_string((c >> 8) & 0xFF) + "," +
           std::to_string((c >> 16) & 0xFF);
}

} // namespace

TColor ButtonFrame(int f) {
    return FrameColour(kButton, f);
}
TColor CheckFrame(int f) {
    return FrameColour(kCheck, f);
}
TColor RadioFrame(int f) {
    return FrameColour(kRadio, f);
}
TColor TabFrame(int f) {
    return FrameColour(kTab, f);
}
TColor StatusFrame(int f) {
    return FrameColour(kStatus, f);
}
TColor ThumbFrame(int f) {
    return FrameColour(kThumb, f);
}
TColor UpDownFrame(int f) {
    return FrameColour(kUpDown, f);
}
TColor ProgressFrame(int f) {
    return FrameColour(kProgress, f);
}
TColor GripFrame(int f) {
    return FrameColour(kGrip, f);
}
TColor UpDownGlyphFrame(int f) {
    return FrameColour(kUpDownGlyph, f);
}

std::unique_ptr<TSkinData> MakeTestSkin(const TTestSkinParts& parts) {
    std::string ini = "[Colours]\r\nButtonFace=" + Rgb(TestFace) + "\r\nButtonShadow=" + Rgb(TestShadow) +
                      "\r\nButtonText=0,0,0\r\n"
                      "[Buttons]\r\nBitmap=buttons.bmp\r\nLeftWidth=3\r\nRightWidth=3\r\nTopHeight=3\r\n"
                      "BottomHeight=3\r\nCheckButton=check.bmp\r\nRadioButton=radio.bmp\r\n"
                      "CheckButtonFrame=" +
                      std::to_string(parts.CheckFrames) +
                      "\r\nRadioButtonFrame=" + std::to_string(parts.RadioFrames) +
                      "\r\nNormalColour2=1,2,3\r\nMouseOverColour2=4,5,6\r\nPressedColour2=7,8,9\r\n"
                      "[ExtraImages]\r\nImage=extra.bmp\r\n";
    std::vector<TArchiveEntry> bitmaps{{"buttons.bmp", Strip(kButton, 5, 20, 20)},
                                       {"check.bmp", Strip(kCheck, parts.CheckFrames, parts.CellWidth, 13)},
                                       {"radio.bmp", Strip(kRadio, parts.RadioFrames, parts.CellWidth, 13)},
                                       {"extra.bmp", Strip(kGrip, 5, 12, 12)}};
    if (parts.Tabs) {
        ini += "[Tabs]\r\nImage=tabs.bmp\r\nLeftWidth=3\r\nRightWidth=3\r\nTopHeight=3\r\nBottomHeight=3\r\n"
               "NormalColour2=10,20,30\r\nMouseOverColour2=40,50,60\r\n";
        if (parts.TabEdge)
            bitmaps.push_back({"tabs.bmp", BmpFile(*MakeBitmap(150, 20, [](int x, int y) {
                                   return y < 3 ? TabEdgeColour : FrameColour(kTab, x / 30 + 1);
                               }))});
        else
            bitmaps.push_back({"tabs.bmp", Strip(kTab, 5, 30, 20)});
        if (parts.TabBorder) {
            ini += "Border=tabborder.bmp\r\n";
            bitmaps.push_back({"tabborder.bmp", BmpFile(20, 20, TabBorderColour)});
        }
    }
    if (parts.StatusBarEdges) {
        ini += "[StatusBarEdges]\r\nImage=status.bmp\r\nNormalColour2=0,0,0\r\n";
        bitmaps.push_back({"status.bmp", Strip(kStatus, 3, 10, 10)});
    }
    if (parts.Thumbs) {
        ini += "[Trackbar.ThumbHorz]\r\nImage=thumbh.bmp\r\n[Trackbar.ThumbVert]\r\nImage=thumbv.bmp\r\n";
        bitmaps.push_back({"thumbh.bmp", Strip(kThumb, 5, 11, 20)});
        bitmaps.push_back({"thumbv.bmp", Strip(kThumb, 5, 20, 11)});
    }
    if (parts.UpDown) {
        const std::string glyphs = parts.UpDownGlyphs ? "GlyphImage=arrows.bmp\r\n" : "";
        ini += "[UpDown.Vert]\r\nImage=updown.bmp\r\n" + glyphs + "[UpDown.Horz]\r\nImage=updown.bmp\r\n" +
               glyphs;
        bitmaps.push_back({"updown.bmp", Strip(kUpDown, 8, 16, 10)});
        if (parts.UpDownGlyphs) bitmaps.push_back({"arrows.bmp", Strip(kUpDownGlyph, 8, 6, 4)});
    }
    if (parts.Progress) {
        ini += "[Progress]\r\nBitmap=progress.bmp\r\nChunk=chunk.bmp\r\nStyle=" +
               std::to_string(parts.ProgressStyle) + "\r\n";
        bitmaps.push_back({"progress.bmp", Strip(kProgress, 2, 20, 10)});
        bitmaps.push_back({"chunk.bmp", BmpFile(6, 8, ChunkColour)});
    }
    auto data = std::make_unique<TSkinData>(nullptr);
    EXPECT_TRUE(LoadArchive(*data, SkinArchive(ini, std::move(bitmaps))));
    return data;
}

std::unique_ptr<TSkinData> LoadShippedSkin(const char* file) {
    std::ifstream in(std::filesystem::path(SKINS_DIR) / file, std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto data = std::make_unique<TSkinData>(nullptr);
    EXPECT_TRUE(LoadArchive(*data, bytes)) << file;
    return data;
}

std::unique_ptr<TForm> LoadForm(const std::string& description) {
    return std::unique_ptr<TForm>(NewFormFromText<TForm>(nullptr, description));
}

std::unique_ptr<TBitmap> PaintPicture(HWND window, TColor background) {
    RECT r;
    GetWindowRect(window, &r);
    auto picture = SolidBitmap(r.right - r.left, r.bottom - r.top, background);
    SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(picture->Canvas()->Handle()), 0);
    return picture;
}

TColor PixelAt(TBitmap& bitmap, int x, int y) {
    return PixelOf(bitmap, x, y);
}

TColor ScreenPixel(HWND window, int x, int y) {
    UpdateWindow(window);
    HDC dc = GetWindowDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return static_cast<TColor>(c);
}

void SkinControlTest::SetUp() {
    FreeSkinManager();
    Application->Initialize();
    Application->ClearTerminated();
}

void SkinControlTest::TearDown() {
    Application->ProcessMessages();
    Application->ClearTerminated();
    FreeSkinManager();
}
