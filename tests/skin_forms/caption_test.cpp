// Which caption buttons show, and where.
#include "form_fixture.h"

#include <algorithm>

#include "skin_data/SkinDraw.h"

namespace {

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
        {8, {text.left - bw - 7, 3}},
        {9, {text.right + 7, 3}},
        {5, {0, 0}},
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

    // From the right edge: the same distance after a resize; the left edge of the rightmost such
    // button is the title's limit.
    entry.Align = 1;
    SetWindowPos(form_->Handle(), nullptr, 0, 0, 500, 340, SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(skinner->WindowWidth, 500);
    EXPECT_EQ(close->Rect.left, 500 - 7);
    int rightmost = 0;
    for (const auto& button : skinner->SysButtons)
        if (button->Visible && button->Entry()->Align == 1 && !button->Entry()->Bitmap.Empty())
            rightmost = std::max<int>(rightmost, button->Rect.left);
    EXPECT_EQ(skinner->CaptionTextLimit, rightmost);
}

} // namespace
