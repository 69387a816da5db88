// The painted caption as pixels, and which caption buttons show where.
#include "form_fixture.h"

#include "skin_data/SkinDraw.h"

namespace {

// Pixels of one colour inside a rectangle of a bitmap.
int CountColour(TBitmap& bitmap, const RECT& r, TColor colour) {
    const COLORREF want = ColorToRGB(colour);
    int n = 0;
    for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, bitmap.Height()); ++y)
        for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, bitmap.Width()); ++x)
            if (GetPixel(bitmap.Canvas()->Handle(), x, y) == want) ++n;
    return n;
}

TEST_F(SkinnedFormTest, ALongTitleIsCutWithAnEllipsis) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    form_->SetCaption(std::wstring(200, L'W'));
    RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT t = skinner->CaptionTextRect;
    const int clip = data_->Title->TextRightClip();
    EXPECT_LE(t.right, skinner->WindowWidth - skinner->BorderRight - clip) << "the text stops at the clip";
    // The ellipsis: the last few columns before the limit hold a gap between dots, not a W's strokes.
    TCanvas* c = skinner->CaptionBitmap.Canvas();
    c->SetFont(skinner->CaptionFont.get());
    const int dots = c->TextWidth(L"...");
    const TColor ink = data_->Colours.TitleTextActive;
    const RECT tail{t.right - data_->Title->TXTBackRight - dots, t.top, t.right - data_->Title->TXTBackRight,
                    t.bottom};
    EXPECT_GT(CountColour(skinner->CaptionBitmap, tail, ink), 0) << "dots are drawn";
    // Every column of the tail that has ink has it on few rows only: dots, not letters.
    int tallest = 0;
    for (int x = tail.left; x < tail.right; ++x) {
        int n = 0;
        for (int y = tail.top; y < tail.bottom; ++y)
            if (GetPixel(c->Handle(), x, y) == ColorToRGB(ink)) ++n;
        tallest = std::max(tallest, n);
    }
    EXPECT_LE(tallest, 3);
}

// The close button needs a system menu; the icon button is not shown on a dialog frame.
TEST_F(SkinnedFormTest, CaptionButtonsThatNeedABoxOrAFrame) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    auto visibleWith = [&](int action) {
        for (int i = 0; i < static_cast<int>(skinner->SysButtons.size()); ++i)
            if (skinner->SysButtons[i]->Entry() && skinner->SysButtons[i]->Entry()->Action == action &&
                skinner->IsSysButtonVisible(i))
                return true;
        return false;
    };
    const auto flags = skinner->BoxFlags;
    const auto border = skinner->BorderKind;
    const auto systemMenu = skinner->SystemMenu;
    EXPECT_TRUE(visibleWith(0));
    EXPECT_TRUE(visibleWith(3));
    skinner->BoxFlags = static_cast<std::uint8_t>(flags & ~bfSystemMenu);
    EXPECT_FALSE(visibleWith(0)) << "close without a system menu";
    skinner->BoxFlags = flags;
    skinner->BorderKind = bkDialog;
    EXPECT_FALSE(visibleWith(3)) << "the icon on a dialog frame";
    EXPECT_TRUE(visibleWith(0));
    skinner->BorderKind = border;
    skinner->SystemMenu = systemMenu;
}

// Align 0 to 3 place a button from the left, from the right edge, and before or after the title.
TEST_F(SkinnedFormTest, CaptionButtonsArePlacedByTheirAlign) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    TWinSysButton* close = ButtonWithAction(0);
    ASSERT_NE(close, nullptr);
    TDataSkinSysButton& entry = *close->Entry();
    const int bw = entry.Bitmap.Width() / std::max(entry.FrameCount, 1);
    const RECT text = skinner->CaptionTextRect;
    const struct {
        int align;
        POINT wanted;
    } cases[] = {
        {0, {7, 3}},
        {1, {skinner->WindowWidth - 7, 3}},
        {2, {text.left - bw - 7, 3}},
        {3, {text.right + 7, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.align);
        entry.Align = c.align;
        entry.Xcoord = 7;
        entry.Ycoord = 3;
        skinner->LayoutSysButtons();
        EXPECT_EQ(close->Rect.left, c.wanted.x);
        EXPECT_EQ(close->Rect.top, c.wanted.y);
        EXPECT_EQ(close->Rect.right - close->Rect.left, bw);
    }
}

} // namespace
