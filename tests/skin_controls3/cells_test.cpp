// Check-box and radio cells: where the cell goes on either side of the text, the wipe of the native
// box around it, and the cell of a grey box whose window does not say so.
#include "controls3.h"

namespace {

class CellsTest : public LookTest {};

TEST_F(CellsTest, CellsSitBesideTheTextOnEitherSideAndTheBoxAreaIsWiped) {
    // A 100 x 20 control; the cell is 13 high, rows 3 to 15.
    const struct Case {
        bool radio, textLeft;
        int cellWidth, left, right; // the cell's columns: left .. right - 1
    } cases[] = {
        {false, false, 13, 1, 14}, {false, false, 18, 2, 20}, {false, true, 13, 86, 99},
        {false, true, 18, 81, 99}, {true, false, 13, 0, 13},  {true, false, 18, 0, 18},
        {true, true, 13, 87, 100}, {true, true, 18, 81, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.radio ? "radio" : "check") << (c.textLeft ? " text left" : "")
                                        << " cell " << c.cellWidth);
        TTestSkinParts parts;
        parts.CellWidth = c.cellWidth;
        skin = MakeTestSkin(parts);
        TSkinControl* s = nullptr;
        if (c.radio) {
            auto* radio = Add<TRadioButton>(8, 8, 100, 20);
            radio->SetAlignment(c.textLeft ? taLeftJustify : taRightJustify);
            radio->SetCaption(L"Radio");
            s = Skin<TSkinRadioButton>(radio);
        } else {
            auto* check = Add<TCheckBox>(8, 8, 100, 20);
            check->SetAlignment(c.textLeft ? taLeftJustify : taRightJustify);
            check->SetCaption(L"Check");
            s = Skin<TSkinCheckBox>(check);
        }
        const TColor frame = c.radio ? RadioFrame(1) : CheckFrame(1);
        auto p = PaintPicture(s->Handle);
        EXPECT_EQ(PixelAt(*p, c.left, 9), frame);
        EXPECT_EQ(PixelAt(*p, c.right - 1, 9), frame);
        EXPECT_EQ(PixelAt(*p, c.left + 2, 3), frame);
        EXPECT_EQ(PixelAt(*p, c.left + 2, 15), frame);
        // Above and below the cell, and beside it within the 16 (18) columns of the box area: the
        // parent's colour.
        EXPECT_EQ(PixelAt(*p, c.left + 2, 1), FormColour);
        EXPECT_EQ(PixelAt(*p, c.left + 2, 17), FormColour);
        const int wipeLeft = c.textLeft ? 100 - 18 : 0, wipeRight = c.textLeft ? 100 : 16;
        if (c.left - 1 >= wipeLeft) {
            EXPECT_EQ(PixelAt(*p, c.left - 1, 9), FormColour);
        }
        if (c.right < wipeRight) {
            EXPECT_EQ(PixelAt(*p, c.right, 9), FormColour);
        }
        delete s->Owner();
    }
}

// A control of its own colour shows where the wipe ends: the wipe is in the parent's colour.
TEST_F(CellsTest, TheWipeTakesTheBoxAreaOnTheBoxSideAndNoMore) {
    constexpr TColor BoxColour = 0x0C0B0A;
    const struct Case {
        bool radio, textLeft;
    } cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.radio ? "radio" : "check") << (c.textLeft ? " text left" : ""));
        TButtonControl* box = nullptr;
        if (c.radio) {
            auto* radio = Add<TRadioButton>(8, 8, 100, 20);
            radio->SetAlignment(c.textLeft ? taLeftJustify : taRightJustify);
            box = radio;
        } else {
            auto* check = Add<TCheckBox>(8, 8, 100, 20);
            check->SetAlignment(c.textLeft ? taLeftJustify : taRightJustify);
            box = check;
        }
        box->SetColor(BoxColour);
        auto* s = c.radio ? static_cast<TSkinControl*>(Skin<TSkinRadioButton>(box))
                          : static_cast<TSkinControl*>(Skin<TSkinCheckBox>(box));
        auto p = PaintPicture(s->Handle);
        // Row 1: above the cell and the text.
        const int wipeLeft = c.textLeft ? 100 - 18 : 0, wipeRight = c.textLeft ? 100 : 16;
        for (int x = wipeLeft; x < wipeRight; ++x) EXPECT_EQ(PixelAt(*p, x, 1), FormColour) << "column " << x;
        EXPECT_EQ(PixelAt(*p, c.textLeft ? wipeLeft - 1 : wipeRight, 1), BoxColour);
        EXPECT_EQ(PixelAt(*p, 50, 1), BoxColour);
        delete box;
    }
}

// A framework box whose State reads grey while its window is a two-state box (AllowGrayed off)
// takes state 4, which a disabled box does not leave.
TEST_F(CellsTest, AGreyStateTheWindowDoesNotKnowIsState4) {
    const struct Case {
        int frames;
        bool enabled;
        int frame;
    } cases[] = {{12, true, 8}, {12, false, 8}, {4, true, 4}, {4, false, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames, enabled " << c.enabled);
        TTestSkinParts parts;
        parts.CheckFrames = c.frames;
        skin = MakeTestSkin(parts);
        auto* box = Add<TCheckBox>(8, 8, 100, 20);
        box->HandleNeeded();
        box->SetState(cbGrayed);
        ASSERT_EQ(SendMessageW(box->Handle(), BM_GETSTATE, 0, 0) & BST_INDETERMINATE, 0);
        box->SetEnabled(c.enabled);
        auto* s = Skin<TSkinCheckBox>(box);
        auto p = PaintPicture(s->Handle);
        EXPECT_EQ(PixelAt(*p, 7, 9), CheckFrame(c.frame));
        delete box;
    }
}

} // namespace
