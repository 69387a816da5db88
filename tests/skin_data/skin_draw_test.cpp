#include "skin_fixtures.h"

#include "skin_data/SkinDraw.h"

namespace {

constexpr TColor Background = 0x123456;

// A frame of 9 x 9 cut into the nine-slice regions of margins 2 (columns 0-1, 2-6, 7-8 and the same
// rows); each region has its own colour, and frame 2 differs from frame 1.
TColor RegionColour(int frame, int column, int row) {
    return static_cast<TColor>(0x200000 * frame + 0x40 * column + 0x4000 * row + 0x10);
}
int RegionOf(int v, int size) {
    return v < 2 ? 0 : (v >= size - 2 ? 2 : 1);
}

std::unique_ptr<TBitmap> NineRegionStrip(bool vertical) {
    return MakeBitmap(vertical ? 9 : 18, vertical ? 18 : 9, [vertical](int x, int y) {
        const int frame = vertical ? y / 9 + 1 : x / 9 + 1;
        return RegionColour(frame, RegionOf(x % 9, 9), RegionOf(y % 9, 9));
    });
}

constexpr RECT kMargins2{2, 2, 2, 2};

struct TNineSliceCase {
    const char* name;
    bool vertical;
};

class NineSlice : public testing::TestWithParam<TNineSliceCase> {};

TEST_P(NineSlice, CornersKeepTheirSizeEdgesAndMiddleStretch) {
    auto strip = NineRegionStrip(GetParam().vertical);
    auto b = BuildSkinBitmap(RECT{5, 5, 35, 25}, *strip, kMargins2, 2, 2, false, GetParam().vertical);
    ASSERT_EQ(b->Width(), 30);
    ASSERT_EQ(b->Height(), 20);
    const struct {
        int x, y, column, row;
    } probes[] = {{0, 0, 0, 0},   {1, 1, 0, 0},   {28, 1, 2, 0}, {1, 18, 0, 2},
                  {29, 19, 2, 2}, {15, 0, 1, 0},  {0, 10, 0, 1}, {29, 10, 2, 1},
                  {15, 19, 1, 2}, {15, 10, 1, 1}, {2, 2, 1, 1},  {27, 17, 1, 1}};
    for (const auto& p : probes)
        EXPECT_EQ(PixelOf(*b, p.x, p.y), RegionColour(2, p.column, p.row)) << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(SkinDraw, NineSlice,
                         testing::Values(TNineSliceCase{"horizontal", false},
                                         TNineSliceCase{"vertical", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SkinDraw, MarginsThatDoNotFitAreDropped) {
    // 3 wide with side margins of 2 + 2: the whole frame is stretched in x, so the middle
    // column shows the frame's middle, not an edge.
    auto strip = NineRegionStrip(false);
    auto narrow = BuildSkinBitmap(RECT{0, 0, 3, 20}, *strip, kMargins2, 1, 2, false, false);
    EXPECT_EQ(PixelOf(*narrow, 1, 10), RegionColour(1, 1, 1));
    // The top margin still holds: the height fits.
    EXPECT_EQ(PixelOf(*narrow, 1, 0), RegionColour(1, 1, 0));
    auto low = BuildSkinBitmap(RECT{0, 0, 20, 3}, *strip, kMargins2, 1, 2, false, false);
    EXPECT_EQ(PixelOf(*low, 10, 1), RegionColour(1, 1, 1));
}

TEST(SkinDraw, PictureRedrawnIntoAUsedBitmapIsTheNewOnes) {
    // Whatever the bitmap held is gone, white included where no piece lands (a frame count that
    // leaves frames 0 wide, an empty strip).
    auto strip = NineRegionStrip(false);
    TBitmap empty;
    const struct {
        const char* name;
        TBitmap* strip;
        RECT margins;
        int frame, count;
        bool tile;
    } cases[] = {{"nine-slice", strip.get(), kMargins2, 2, 2, false},
                 {"tiled", strip.get(), kMargins2, 1, 2, true},
                 {"margins dropped", strip.get(), RECT{9, 2, 9, 2}, 1, 2, false},
                 {"frames 0 wide", strip.get(), kMargins2, 1, 40, false},
                 {"empty strip", &empty, kMargins2, 1, 2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto fresh =
            BuildSkinBitmap(RECT{0, 0, 13, 11}, *c.strip, c.margins, c.frame, c.count, c.tile, false);
        auto used = SolidBitmap(13, 11, Background);
        BuildSkinBitmapInto(*used, *c.strip, c.margins, c.frame, c.count, c.tile, false);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(PixelOf(*used, x, y), PixelOf(*fresh, x, y)) << x << "," << y;
    }
}

// A 12 x 3 frame with margins 2 left and right and a middle of 8 columns of distinct colours.
TColor Column(int x) {
    return static_cast<TColor>(0x010101 * (10 + 20 * x));
}
std::unique_ptr<TBitmap> ColumnFrame() {
    return MakeBitmap(12, 3, [](int x, int) { return Column(x); });
}

TEST(SkinDraw, TiledMiddleRepeatsAtItsOwnSize) {
    auto frame = ColumnFrame();
    const RECT sides{2, 0, 2, 0};
    auto tiled = BuildSkinBitmap(RECT{0, 0, 24, 3}, *frame, sides, 1, 1, true, false);
    for (int k = 0; k < 20; ++k) EXPECT_EQ(PixelOf(*tiled, 2 + k, 1), Column(2 + k % 8)) << k;
    EXPECT_EQ(PixelOf(*tiled, 23, 1), Column(11));
    auto stretched = BuildSkinBitmap(RECT{0, 0, 24, 3}, *frame, sides, 1, 1, false, false);
    EXPECT_EQ(PixelOf(*stretched, 2 + 8, 1), Column(2 + 8 * 8 / 20));
}

TEST(SkinDraw, TiledMiddleLargerThanTheTargetIsCutByTheEdges) {
    auto frame = ColumnFrame();
    auto b = BuildSkinBitmap(RECT{0, 0, 8, 3}, *frame, RECT{2, 0, 2, 0}, 1, 1, true, false);
    const TColor expected[] = {Column(0), Column(1), Column(2),  Column(3),
                               Column(4), Column(5), Column(10), Column(11)};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelOf(*b, x, 1), expected[x]) << x;
}

TEST(SkinDraw, TileBitmapRepeatsFromTheTargetsCorner) {
    auto target = SolidBitmap(10, 4, Background);
    auto source =
        MakeBitmap(4, 2, [](int x, int y) { return static_cast<TColor>(0x100000 * y + 0x20 * x + 1); });
    TileBitmap(*target->Canvas(), RECT{1, 1, 8, 4}, *source, RECT{1, 0, 4, 2});
    EXPECT_EQ(PixelOf(*target, 0, 1), Background);
    EXPECT_EQ(PixelOf(*target, 1, 1), 0x21);
    EXPECT_EQ(PixelOf(*target, 4, 1), 0x21);            // the second tile
    EXPECT_EQ(PixelOf(*target, 9, 1), 0x61);            // the last tile is drawn whole
    EXPECT_EQ(PixelOf(*target, 2, 2), 0x100000 + 0x41); // its second row
    EXPECT_EQ(PixelOf(*target, 1, 0), Background);
}

TEST(SkinDraw, SkinFrameLeavesTheKeyColourOutWhenTransparent) {
    auto strip = MakeBitmap(
        6, 6, [](int x, int y) { return x >= 2 && x < 4 && y >= 2 && y < 4 ? Magenta : TColor(0x00AA00); });
    for (bool transparent : {true, false}) {
        SCOPED_TRACE(transparent);
        auto target = SolidBitmap(10, 10, Background);
        DrawSkinFrame(target->Canvas()->Handle(), RECT{2, 2, 8, 8}, *strip, RECT{0, 0, 0, 0}, 1, 1,
                      transparent, false, false);
        EXPECT_EQ(PixelOf(*target, 2, 2), 0x00AA00);
        EXPECT_EQ(PixelOf(*target, 5, 5), transparent ? Background : Magenta);
        EXPECT_EQ(PixelOf(*target, 8, 8), Background);
    }
}

TEST(SkinDraw, InvertedRectanglesDrawNothing) {
    auto strip = SolidBitmap(4, 4, 0x00AA00);
    auto target = SolidBitmap(10, 10, Background);
    HDC dc = target->Canvas()->Handle();
    const RECT inverted{6, 6, 2, 8};
    DrawSkinFrame(dc, inverted, *strip, RECT{}, 1, 1, false, false, false);
    DrawSkinFrameCanvas(*target->Canvas(), inverted, *strip, RECT{}, 1, 1, false, false);
    DrawStripFrame(dc, inverted, *strip, 1, 1, false);
    DrawCenteredFrame(dc, inverted, *strip, 1, 1, false);
    DrawTransparentBitmap(dc, inverted, *strip, Magenta);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(PixelOf(*target, x, y), Background);
}

TEST(SkinDraw, StripFrameIsStretchedWhole) {
    auto strip = MakeBitmap(4, 2, [](int x, int) { return x < 2 ? TColor(0x0000AA) : TColor(0x00AA00); });
    auto target = SolidBitmap(10, 10, Background);
    DrawStripFrame(target->Canvas()->Handle(), RECT{1, 1, 9, 9}, *strip, 2, 2, false);
    EXPECT_EQ(PixelOf(*target, 1, 1), 0x00AA00);
    EXPECT_EQ(PixelOf(*target, 8, 8), 0x00AA00);
    EXPECT_EQ(PixelOf(*target, 9, 9), Background);
}

TEST(SkinDraw, CentredFrameOverhangsALargerRectangleEvenly) {
    auto strip = MakeBitmap(16, 8, [](int x, int) { return x < 8 ? TColor(0x0000AA) : TColor(0x00AA00); });
    auto target = SolidBitmap(24, 24, Background);
    // 8 x 8 in a 4 x 4 rectangle at (10, 10): it starts 2 pixels left of and above it.
    DrawCenteredFrame(target->Canvas()->Handle(), RECT{10, 10, 14, 14}, *strip, 2, 2, false);
    EXPECT_EQ(PixelOf(*target, 7, 7), Background);
    EXPECT_EQ(PixelOf(*target, 8, 8), 0x00AA00);
    EXPECT_EQ(PixelOf(*target, 15, 15), 0x00AA00);
    EXPECT_EQ(PixelOf(*target, 16, 16), Background);
    // In a larger rectangle it keeps its size, centred.
    auto large = SolidBitmap(24, 24, Background);
    DrawCenteredFrame(large->Canvas()->Handle(), RECT{0, 0, 12, 10}, *strip, 1, 2, false);
    EXPECT_EQ(PixelOf(*large, 1, 0), Background);
    EXPECT_EQ(PixelOf(*large, 2, 1), 0x0000AA);
    EXPECT_EQ(PixelOf(*large, 9, 8), 0x0000AA);
    EXPECT_EQ(PixelOf(*large, 10, 9), Background);
}

TEST(SkinDraw, ThreeSliceRepeatsTheMiddleByItsWidth) {
    // 10 wide, margins 3: the middle is columns 3-6.
    auto frame = MakeBitmap(10, 2, [](int x, int) { return Column(x); });
    auto target = SolidBitmap(20, 6, Background);
    DrawSkinFrameCanvas(*target->Canvas(), RECT{0, 0, 20, 6}, *frame, RECT{3, 0, 3, 0}, 1, 1, false, false);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(*target, x, 5), Column(x));
    for (int x = 3; x < 17; ++x) EXPECT_EQ(PixelOf(*target, x, 5), Column(3 + (x - 3) % 4)) << x;
    for (int x = 17; x < 20; ++x) EXPECT_EQ(PixelOf(*target, x, 0), Column(x - 10));
}

TEST(SkinDraw, ThreeSliceWithoutMiddleLeavesItUnpainted) {
    auto frame = MakeBitmap(6, 2, [](int x, int) { return Column(x); });
    auto target = SolidBitmap(20, 4, Background);
    DrawSkinFrameCanvas(*target->Canvas(), RECT{0, 0, 20, 4}, *frame, RECT{3, 0, 3, 0}, 1, 1, false, false);
    EXPECT_EQ(PixelOf(*target, 0, 0), Column(0));
    EXPECT_EQ(PixelOf(*target, 10, 0), Background);
    EXPECT_EQ(PixelOf(*target, 19, 0), Column(5));
}

TEST(SkinDraw, EdgesLeaveTheMiddleAlone) {
    auto strip = NineRegionStrip(false);
    auto target = SolidBitmap(30, 20, Background);
    DrawSkinEdges(target->Canvas()->Handle(), RECT{5, 5, 25, 15}, *strip, kMargins2, 1, 2, false);
    EXPECT_EQ(PixelOf(*target, 5, 5), RegionColour(1, 0, 0));
    EXPECT_EQ(PixelOf(*target, 15, 5), RegionColour(1, 1, 0));
    EXPECT_EQ(PixelOf(*target, 24, 14), RegionColour(1, 2, 2));
    EXPECT_EQ(PixelOf(*target, 15, 10), Background);
    EXPECT_EQ(PixelOf(*target, 4, 4), Background);
}

TEST(SkinDraw, TransparentBitmapCopiesAtMostItsOwnTopLeftPart) {
    auto bitmap =
        MakeBitmap(4, 4, [](int x, int y) { return x == 1 && y == 1 ? Magenta : TColor(0x0000AA + x); });
    auto target = SolidBitmap(12, 12, Background);
    DrawTransparentBitmap(target->Canvas()->Handle(), RECT{2, 2, 12, 12}, *bitmap, Magenta);
    EXPECT_EQ(PixelOf(*target, 2, 2), 0x0000AA);
    EXPECT_EQ(PixelOf(*target, 3, 3), Background);
    EXPECT_EQ(PixelOf(*target, 5, 5), 0x0000AA + 3);
    EXPECT_EQ(PixelOf(*target, 6, 6), Background);
    auto small = SolidBitmap(12, 12, Background);
    DrawTransparentBitmap(small->Canvas()->Handle(), RECT{2, 2, 4, 4}, *bitmap, Magenta);
    EXPECT_EQ(PixelOf(*small, 2, 3), 0x0000AA);
    EXPECT_EQ(PixelOf(*small, 4, 4), Background);
}

// The region holds exactly the pixels that pass keep(x, y).
void ExpectRegion(HRGN region, TBitmap& b, int dx, int dy, const std::function<bool(int, int)>& keep) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            ASSERT_EQ(PtInRegion(region, x + dx, y + dy) != 0, keep(x, y)) << x << "," << y;
    EXPECT_FALSE(PtInRegion(region, dx - 1, dy));
}

TEST(SkinDraw, RegionOfAnAllKeyBitmapIsEmpty) {
    auto b = SolidBitmap(20, 10, Magenta);
    TRegionHandle region = RegionFromBitmap(*b, 0, 0, Magenta, 0, 0, 0);
    ASSERT_TRUE(region);
    RECT box{};
    EXPECT_EQ(GetRgnBox(region.Get(), &box), NULLREGION);
}

TEST(SkinDraw, RegionCoversTheNonKeyPixelsMoved) {
    // A near-magenta pixel counts as key only within the tolerance.
    const TColor nearKey = 0xFF05FF;
    auto b = MakeBitmap(6, 3, [&](int x, int y) {
        if (y == 1 && x == 2) return nearKey;
        return x == 0 || x == 5 || y == 2 ? Magenta : TColor(0x00AA00);
    });
    TRegionHandle strict = RegionFromBitmap(*b, 10, 20, Magenta, 0, 0, 0);
    EXPECT_EQ(b->PixelFormat(), pf32bit);
    ExpectRegion(strict.Get(), *b, 10, 20, [](int x, int y) { return x > 0 && x < 5 && y < 2; });
    TRegionHandle tolerant = RegionFromBitmap(*b, 10, 20, Magenta, 0, 8, 0);
    ExpectRegion(tolerant.Get(), *b, 10, 20,
                 [](int x, int y) { return x > 0 && x < 5 && y < 2 && !(x == 2 && y == 1); });
}

TEST(SkinDraw, RegionOfManyRunsIsBuiltInBatches) {
    // 15 rows of 300 single-pixel runs: 4500 rectangles, more than two batches.
    auto checker = [](int x, int y) { return (x + y) % 2 == 0; };
    auto b = MakeBitmap(600, 15, [&](int x, int y) { return checker(x, y) ? TColor(0x00AA00) : Magenta; });
    TRegionHandle region = RegionFromBitmap(*b, 3, 4, Magenta, 0, 0, 0);
    ExpectRegion(region.Get(), *b, 3, 4, checker);
}

TEST(SkinDraw, RegionOfAOnePixelHighBitmap) {
    auto b = MakeBitmap(8, 1, [](int x, int) { return x < 3 ? Magenta : TColor(0x00AA00); });
    TRegionHandle region = RegionFromBitmap(*b, 0, 0, Magenta, 0, 0, 0);
    ExpectRegion(region.Get(), *b, 0, 0, [](int x, int) { return x >= 3; });
}

TEST(SkinDraw, AnsiAndWideText) {
    EXPECT_EQ(AnsiToWide(WideToAnsi(L"Skin 1")), L"Skin 1");
    EXPECT_EQ(AnsiToWide(""), L"");
    if (GetACP() == 936) {
        EXPECT_EQ(WideToAnsi(L"中文"), "\xD6\xD0\xCE\xC4");
        EXPECT_EQ(AnsiToWide("\xD6\xD0\xCE\xC4"), L"中文");
    }
    const wchar_t buffer[] = L"abc\0def";
    EXPECT_EQ(WideFromBuffer(buffer, -1), L"abc");
    EXPECT_EQ(WideFromBuffer(buffer, 2), L"ab");
    EXPECT_EQ(WideFromBuffer(buffer, 7), std::wstring(L"abc\0def", 7));
}

TEST(SkinDraw, DrawTextMeasuresWideText) {
    TMemoryDC dc;
    RECT r{0, 0, 200, 0};
    const int height = DrawTextAW(dc.Get(), L"Stype 中文", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(height, 0);
    EXPECT_GT(r.right, 0);
    EXPECT_EQ(r.bottom, height);
}

TEST(SkinDraw, ScratchBitmapIsShared) {
    TBitmap* scratch = SkinScratchBitmap();
    ASSERT_NE(scratch, nullptr);
    EXPECT_EQ(SkinScratchBitmap(), scratch);
}

} // namespace
