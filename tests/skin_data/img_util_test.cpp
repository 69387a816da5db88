#include "skin_fixtures.h"

#include "skin_data/ImgUtil.h"

namespace {

// A distinct colour per pixel, so that every move shows.
TColor Tag(int x, int y) {
    return static_cast<TColor>(0x102030 + x * 0x000011 + y * 0x001100);
}

struct TTransformCase {
    const char* name;
    void (*apply)(TBitmap&);
    bool swapsSize;
    // The old pixel that lands on new (x, y), for an old picture of w x h.
    void (*source)(int w, int h, int x, int y, int& ox, int& oy);
};

const TTransformCase kTransforms[] = {
    {"mirror", MirrorBitmap, false,
     [](int w, int, int x, int y, int& ox, int& oy) { ox = w - 1 - x, oy = y; }},
    {"flip", FlipBitmap, false, [](int, int h, int x, int y, int& ox, int& oy) { ox = x, oy = h - 1 - y; }},
    // Left: old (x, y) goes to (y, w - 1 - x).
    {"left", RotateBitmapLeft, true,
     [](int w, int, int x, int y, int& ox, int& oy) { ox = w - 1 - y, oy = x; }},
    // Right: old (x, y) goes to (h - 1 - y, x).
    {"right", RotateBitmapRight, true,
     [](int, int h, int x, int y, int& ox, int& oy) { ox = y, oy = h - 1 - x; }},
};

class Transforms : public testing::TestWithParam<TTransformCase> {};

TEST_P(Transforms, MoveEveryPixelWhereTheyBelong) {
    const auto& c = GetParam();
    for (auto [w, h] : {std::pair{3, 2}, std::pair{5, 7}, std::pair{1, 1}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        auto b = MakeBitmap(w, h, Tag);
        c.apply(*b);
        ASSERT_EQ(b->Width(), c.swapsSize ? h : w);
        ASSERT_EQ(b->Height(), c.swapsSize ? w : h);
        EXPECT_EQ(b->PixelFormat(), pf24bit);
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) {
                int ox = 0, oy = 0;
                c.source(w, h, x, y, ox, oy);
                ASSERT_EQ(PixelOf(*b, x, y), Tag(ox, oy)) << x << "," << y;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(ImgUtil, Transforms, testing::ValuesIn(kTransforms),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImgUtil, TurnsOfAThreeByTwoBitmap) {
    // Turned left, the old top-right pixel is at the top left; turned right, the old top-left
    // pixel is at the top right.
    auto left = MakeBitmap(3, 2, Tag);
    RotateBitmapLeft(*left);
    EXPECT_EQ(left->Width(), 2);
    EXPECT_EQ(left->Height(), 3);
    EXPECT_EQ(PixelOf(*left, 0, 0), Tag(2, 0));
    auto right = MakeBitmap(3, 2, Tag);
    RotateBitmapRight(*right);
    EXPECT_EQ(PixelOf(*right, 1, 0), Tag(0, 0));
    // And back again.
    RotateBitmapLeft(*right);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(*right, x, y), Tag(x, y));
}

TEST(ImgUtil, GreyingTakesTheMeanOfTheChannels) {
    auto b = MakeBitmap(2, 1, [](int x, int) { return x == 0 ? TColor(0x0000FF) : TColor(0x102030); });
    GrayscaleBitmap(*b);
    EXPECT_EQ(PixelOf(*b, 0, 0), 0x555555); // pure red: 255 / 3 = 85
    EXPECT_EQ(PixelOf(*b, 1, 0), 0x202020); // (0x30 + 0x20 + 0x10) / 3
}

TEST(ImgUtil, OtherPixelFormatsAreConvertedFirst) {
    // A 32-bit bitmap mirrored as a 24-bit one must not lose or shift pixels.
    TBitmap b(4, 2, pf32bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) b.Canvas()->SetPixel(x, y, Tag(x, y));
    MirrorBitmap(b);
    ASSERT_EQ(b.PixelFormat(), pf24bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelOf(b, x, y), Tag(3 - x, y));
    TBitmap grey(1, 1, pf32bit);
    GrayscaleBitmap(grey);
    EXPECT_EQ(grey.PixelFormat(), pf24bit);
}

TEST(ImgUtil, EmptyBitmapsStayEmpty) {
    for (auto transform : {MirrorBitmap, FlipBitmap, RotateBitmapLeft, RotateBitmapRight, GrayscaleBitmap}) {
        TBitmap b;
        transform(b);
        EXPECT_TRUE(b.Empty());
    }
}

} // namespace
