#include "fixture2.h"

#include "skin_fixtures.h"

TColor PartFrame(TPartKind kind, int f) {
    const int r = 0x20 + 0x0D * kind, g = 0x30 + 0x09 * f, b = 0x10 + 0x0B * kind;
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}

namespace {

Bytes Strip(TPartKind kind, int frames, int w, int h) {
    return BmpFile(*MakeBitmap(w * frames, h, [&](int x, int) { return PartFrame(kind, x / w + 1); }));
}

std::string Rgb(TColor c) {
    return std::to_string(c & 0xFF) + "," + std::to_string((c >> 8) & 0xFF) + "," +
           std::to_string((c >> 16) & 0xFF);
}

} // namespace

std::unique_ptr<TSkinData> MakePartSkin(const TPartSkin& parts) {
    std::string ini = "[Colours]\r\nButtonFace=" + Rgb(TestFace) + "\r\nButtonShadow=" + Rgb(TestShadow) +
                      "\r\nButtonText=0,0,0\r\n";
    std::vector<TArchiveEntry> bitmaps;
    if (parts.Header) {
        ini += "[Headerbar]\r\nImage=header.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\n";
        bitmaps.push_back({"header.bmp", Strip(pkHeader, 5, 20, 16)});
    }
    if (parts.Scroll) {
        ini += "[Scrollbar]\r\nImage=arrows.bmp\r\n"
               "[HorzScroll]\r\nImage=htrack.bmp\r\n[VertScroll]\r\nImage=vtrack.bmp\r\n"
               "[HorzScrollThumb]\r\nImage=hthumb.bmp\r\nFrameCount=3\r\n"
               "[VertScrollThumb]\r\nImage=vthumb.bmp\r\nFrameCount=3\r\n";
        const int s = GetSystemMetrics(SM_CXHSCROLL);
        bitmaps.push_back({"arrows.bmp", Strip(pkArrow, 23, s, s)});
        bitmaps.push_back({"htrack.bmp", Strip(pkHorzTrack, 4, 20, s)});
        bitmaps.push_back({"vtrack.bmp", Strip(pkVertTrack, 4, s, 20)});
        bitmaps.push_back({"hthumb.bmp", Strip(pkHorzThumb, 3, 20, s)});
        bitmaps.push_back({"vthumb.bmp", Strip(pkVertThumb, 3, s, 20)});
    }
    if (parts.Combo) {
        ini += "[ComboButton]\r\nImage=combo.bmp\r\nTrans=1\r\nStyle=" + std::to_string(parts.ComboStyle) +
               "\r\n";
        bitmaps.push_back({"combo.bmp", Strip(pkCombo, 4, 18, 21)});
    }
    if (parts.Sunk) {
        ini += "[SunkEdge]\r\nImage=sunk.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nTopHeight=2\r\nBottomHeight="
               "2\r\n";
        bitmaps.push_back({"sunk.bmp", Strip(pkSunk, 4, 30, 21)});
    }
    if (parts.Extra) {
        ini += "[ExtraImages]\r\nImage=glyph.bmp\r\n";
        bitmaps.push_back({"glyph.bmp", Strip(pkGlyph, 5, 7, 5)});
    }
    auto data = std::make_unique<TSkinData>(nullptr);
    EXPECT_TRUE(LoadArchive(*data, SkinArchive(ini, std::move(bitmaps))));
    return data;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void ShowQuietly(TForm& form) {
    const HWND window = form.Handle();
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
}

TColor FormPixel(HWND window, POINT screen) {
    Pump();
    const HWND top = GetAncestor(window, GA_ROOT);
    RECT r;
    GetWindowRect(top, &r);
    HDC dc = GetWindowDC(top);
    const COLORREF c = GetPixel(dc, screen.x - r.left, screen.y - r.top);
    ReleaseDC(top, dc);
    return static_cast<TColor>(c);
}
