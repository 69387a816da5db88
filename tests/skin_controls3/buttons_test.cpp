// Glyph buttons and speed buttons, read by the skinners through published properties only: the
// frame of every state, where the glyph goes, and which glyph cell is shown.
#include "controls3.h"

namespace {

enum TTestLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
const TIdentMap TestLayoutIdents{{L"blGlyphLeft", blGlyphLeft},
                                 {L"blGlyphRight", blGlyphRight},
                                 {L"blGlyphTop", blGlyphTop},
                                 {L"blGlyphBottom", blGlyphBottom}};

// What glyph buttons of other libraries publish.
struct TGlyphProps {
    TBitmap Glyph;
    int NumGlyphs = 1, Margin = -1, Spacing = -1;
    TTestLayout Layout = blGlyphLeft;
    TAlignment Alignment = taLeftJustify;
};

} // namespace

class TTestBitBtn : public TButton {
    DECLARE_PUBLISHED
public:
    using TButton::TButton;
    TGlyphProps Props;
};

class TTestSpeedButton : public TGraphicControl {
    DECLARE_PUBLISHED
public:
    using TGraphicControl::TGraphicControl;
    TGlyphProps Props;
    String CaptionText;
    bool Flat = false, Down = false;
};

namespace {

template <class C> std::vector<TPropInfo> GlyphPropInfos() {
    return {
        ObjProp<C>(L"Glyph", [](C* c) { return &c->Props.Glyph; }),
        IntProp<C>(
            L"NumGlyphs", [](C* c) { return c->Props.NumGlyphs; },
            [](C* c, int v) { c->Props.NumGlyphs = v; }),
        IntProp<C>(
            L"Margin", [](C* c) { return c->Props.Margin; }, [](C* c, int v) { c->Props.Margin = v; }),
        IntProp<C>(
            L"Spacing", [](C* c) { return c->Props.Spacing; }, [](C* c, int v) { c->Props.Spacing = v; }),
        EnumProp<C>(
            L"Layout", [](C* c) { return c->Props.Layout; }, [](C* c, TTestLayout v) { c->Props.Layout = v; },
            TestLayoutIdents),
        EnumProp<C>(
            L"Alignment", [](C* c) { return c->Props.Alignment; },
            [](C* c, TAlignment v) { c->Props.Alignment = v; }, AlignmentIdents),
    };
}

} // namespace

const TClassInfo* TTestBitBtn::StaticClassInfo() {
    static const TClassInfo info(L"TTestBitBtn", TButton::StaticClassInfo(), GlyphPropInfos<TTestBitBtn>());
    return &info;
}

const TClassInfo* TTestSpeedButton::StaticClassInfo() {
    auto props = GlyphPropInfos<TTestSpeedButton>();
    props.push_back(StrProp<TTestSpeedButton>(
        L"Caption", [](TTestSpeedButton* b) { return b->CaptionText; },
        [](TTestSpeedButton* b, const String& v) { b->CaptionText = v; }));
    props.push_back(BoolProp<TTestSpeedButton>(
        L"Flat", [](TTestSpeedButton* b) { return b->Flat; },
        [](TTestSpeedButton* b, bool v) { b->Flat = v; }));
    props.push_back(BoolProp<TTestSpeedButton>(
        L"Down", [](TTestSpeedButton* b) { return b->Down; },
        [](TTestSpeedButton* b, bool v) { b->Down = v; }));
    static const TClassInfo info(L"TTestSpeedButton", TGraphicControl::StaticClassInfo(), std::move(props));
    return &info;
}

namespace {

constexpr TColor KeyColour = 0x0000FE; // a glyph cell's bottom-left pixel: transparent
TColor GlyphCell(int cell) {
    return static_cast<TColor>(0x108020 + 0x30 * cell);
}

// cells glyph cells of 10 x 10, each its own colour but for its transparent bottom-left pixel.
void MakeGlyph(TGlyphProps& props, int cells) {
    auto glyph = MakeBitmap(10 * cells, 10, [](int x, int y) {
        return x % 10 == 0 && y == 9 ? KeyColour : GlyphCell(x / 10 + 1);
    });
    props.Glyph.Assign(glyph.get());
    props.NumGlyphs = cells;
}

// The caption's colour by frame: the skin's normal, hot and pressed text colours, grey when
// disabled. Only the expected one of them is in the picture.
constexpr TColor NormalText = 0x030201, HotText = 0x060504, PressedText = 0x090807;
TColor GreyText() {
    return static_cast<TColor>(ColorToRGB(clBtnShadow));
}
void ExpectOnlyTextColour(TBitmap& picture, TColor colour) {
    const RECT all{0, 0, picture.Width(), picture.Height()};
    for (TColor c : {NormalText, HotText, PressedText, GreyText()}) {
        if (c == colour)
            EXPECT_GT(FindColour(picture, all, c).Count, 0) << std::hex << c;
        else
            EXPECT_EQ(FindColour(picture, all, c).Count, 0) << std::hex << c;
    }
}

// The smallest rectangle round the pixels of one colour.
RECT InkBox(TBitmap& picture, TColor colour) {
    RECT box{picture.Width(), picture.Height(), 0, 0};
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (PixelAt(picture, x, y) == colour) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

class ButtonsTest : public LookTest {
protected:
    TTestBitBtn* NewBitBtn() {
        auto* b = Add<TTestBitBtn>(8, 8, 100, 40);
        b->HandleNeeded();
        return b;
    }
};

TEST_F(ButtonsTest, BitButtonFramesFollowItsState) {
    const struct Case {
        const char* name;
        std::function<void(TTestBitBtn*, TSkinBitButton*)> set;
        int frame;
    } cases[] = {
        {"idle", [](TTestBitBtn*, TSkinBitButton*) {}, 1},
        {"default", [](TTestBitBtn* b, TSkinBitButton*) { b->SetDefault(true); }, 5},
        {"default and focused: focus wins",
         [](TTestBitBtn* b, TSkinBitButton*) {
             b->SetDefault(true);
             SetFocus(b->Handle());
         },
         4},
        {"hot", [](TTestBitBtn* b, TSkinBitButton*) { b->Perform(CM_MOUSEENTER); }, 4},
        {"pressed",
         [](TTestBitBtn* b, TSkinBitButton*) {
             SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
         },
         2},
        {"hot and pressed: pressed wins",
         [](TTestBitBtn* b, TSkinBitButton*) {
             b->Perform(CM_MOUSEENTER);
             SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
         },
         2},
        {"disabled", [](TTestBitBtn* b, TSkinBitButton*) { b->SetEnabled(false); }, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* b = NewBitBtn();
        auto* s = Skin<TSkinBitButton>(b);
        c.set(b, s);
        auto p = PaintPicture(b->Handle());
        EXPECT_EQ(PixelAt(*p, 50, 1), ButtonFrame(c.frame));
        EXPECT_EQ(PixelAt(*p, 2, 38), ButtonFrame(c.frame));
        delete b;
    }
}

TEST_F(ButtonsTest, BitButtonCaptionTakesTheTextColourOfItsFrame) {
    const struct Case {
        const char* name;
        std::function<void(TTestBitBtn*)> set;
        TColor colour;
    } cases[] = {
        {"idle", [](TTestBitBtn*) {}, NormalText},
        {"hot", [](TTestBitBtn* b) { b->Perform(CM_MOUSEENTER); }, HotText},
        {"pressed",
         [](TTestBitBtn* b) { SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); },
         PressedText},
        {"disabled", [](TTestBitBtn* b) { b->SetEnabled(false); }, GreyText()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* b = NewBitBtn();
        b->SetCaption(L"MMMM");
        Skin<TSkinBitButton>(b);
        c.set(b);
        ExpectOnlyTextColour(*PaintPicture(b->Handle()), c.colour);
        delete b;
    }
}

TEST_F(ButtonsTest, BitButtonGlyphGoesWhereLayoutMarginAndSpacingSay) {
    TBitmap measure(10, 10, pf24bit);
    const struct Case {
        TTestLayout layout;
        int margin, spacing;
        const wchar_t* caption;
        int x, y; // the glyph's top-left; -1 x: the three-way split of the free width
        int width = 100, height = 40;
    } cases[] = {
        {blGlyphLeft, 4, -1, L"", 4, 15},
        {blGlyphRight, 4, -1, L"", 86, 15},
        {blGlyphTop, 4, -1, L"", 45, 4},
        {blGlyphBottom, 4, -1, L"", 45, 26},
        {blGlyphLeft, -1, -1, L"", 45, 15},
        {blGlyphLeft, -1, -1, L"Go", -1, 15},
        // An odd free height or width: the odd pixel goes above (left of) the glyph.
        {blGlyphLeft, 4, -1, L"", 4, 16, 100, 41},
        {blGlyphTop, 4, -1, L"", 46, 4, 101, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "layout " << c.layout << " margin " << c.margin << " caption "
                                        << std::wcslen(c.caption) << " size " << c.width << "x" << c.height);
        auto* b = NewBitBtn();
        b->SetBounds(8, 8, c.width, c.height);
        b->SetCaption(c.caption);
        MakeGlyph(b->Props, 1);
        b->Props.Layout = c.layout;
        b->Props.Margin = c.margin;
        b->Props.Spacing = c.spacing;
        Skin<TSkinBitButton>(b);
        int x = c.x;
        if (x < 0) { // margin, spacing and margin share what glyph and text leave
            measure.Canvas()->SetFont(b->Font());
            RECT t{0, 0, 100, 40};
            measure.Canvas()->DrawText(c.caption, t, DT_WORDBREAK | DT_CALCRECT);
            x = (100 - 10 - (t.right - t.left)) / 3;
        }
        auto p = PaintPicture(b->Handle());
        EXPECT_EQ(PixelAt(*p, x, c.y), GlyphCell(1));
        EXPECT_EQ(PixelAt(*p, x + 9, c.y + 9), GlyphCell(1));
        EXPECT_NE(PixelAt(*p, x - 1, c.y), GlyphCell(1));
        EXPECT_NE(PixelAt(*p, x + 10, c.y + 9), GlyphCell(1));
        EXPECT_NE(PixelAt(*p, x, c.y - 1), GlyphCell(1));
        EXPECT_NE(PixelAt(*p, x + 9, c.y + 10), GlyphCell(1));
        EXPECT_EQ(PixelAt(*p, x, c.y + 9), ButtonFrame(1)) << "the transparent corner";
        delete b;
    }
}

TEST_F(ButtonsTest, BitButtonCaptionStandsWhereLayoutMarginSpacingAndAlignmentPutIt) {
    // The caption's ink drawn at (0, 0) on the idle frame: where a text box at (x, y) shows it.
    const wchar_t* const caption = L"MMMM";
    auto* probe = NewBitBtn();
    TBitmap measure(100, 40, pf24bit);
    measure.Canvas()->SetFont(probe->Font());
    RECT t{0, 0, 100, 40};
    measure.Canvas()->DrawText(caption, t, DT_WORDBREAK | DT_CALCRECT);
    const int tw = t.right - t.left, th = t.bottom - t.top;
    auto reference = SolidBitmap(100, 40, ButtonFrame(1));
    reference->Canvas()->SetFont(probe->Font());
    reference->Canvas()->Font()->SetColor(NormalText);
    reference->Canvas()->Brush()->SetStyle(bsClear);
    reference->Canvas()->DrawText(caption, t, DT_WORDBREAK);
    const RECT ink = InkBox(*reference, NormalText);
    ASSERT_LT(ink.left, ink.right);
    delete probe;

    const int middle = (40 - th + 1) / 2, centre = (101 - tw) / 2;
    const struct Case {
        const char* name;
        TTestLayout layout;
        int margin, spacing;
        TAlignment alignment;
        POINT text; // the text box's top-left
    } cases[] = {
        {"left", blGlyphLeft, 4, 6, taLeftJustify, {4 + 10 + 6, middle}},
        {"right", blGlyphRight, 4, 6, taLeftJustify, {100 - 4 - 10 - 6 - tw, middle}},
        {"top", blGlyphTop, 4, 3, taLeftJustify, {centre, 4 + 10 + 3}},
        {"bottom", blGlyphBottom, 4, 3, taLeftJustify, {centre, 40 - 4 - 10 - 3 - th}},
        {"automatic spacing", blGlyphLeft, 4, -1, taLeftJustify, {14 + (100 - 14 - tw) / 2, middle}},
        {"automatic margin", blGlyphLeft, -1, 6, taLeftJustify, {(100 - 16 - tw) / 2 + 16, middle}},
        {"centred: the margin given gives way to the three-way split",
         blGlyphLeft,
         4,
         -1,
         taCenter,
         {(100 - 10 - tw) / 3 * 2 + 10, middle}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* b = NewBitBtn();
        b->SetCaption(caption);
        MakeGlyph(b->Props, 1);
        b->Props.Layout = c.layout;
        b->Props.Margin = c.margin;
        b->Props.Spacing = c.spacing;
        b->Props.Alignment = c.alignment;
        Skin<TSkinBitButton>(b);
        RECT wanted = ink;
        OffsetRect(&wanted, c.text.x, c.text.y);
        const RECT seen = InkBox(*PaintPicture(b->Handle()), NormalText);
        EXPECT_TRUE(EqualRect(&seen, &wanted))
            << "ink at " << seen.left << "," << seen.top << " - " << seen.right << "," << seen.bottom
            << ", wanted " << wanted.left << "," << wanted.top << " - " << wanted.right << ","
            << wanted.bottom;
        delete b;
    }
}

TEST_F(ButtonsTest, BitButtonShowsTheGlyphCellOfItsState) {
    // Four cells: normal, disabled (greyed), pressed.
    auto* b = NewBitBtn();
    MakeGlyph(b->Props, 4);
    b->Props.Margin = 4;
    auto* s = Skin<TSkinBitButton>(b);
    (void)s;
    auto glyphPixel = [&] {
        auto p = PaintPicture(b->Handle());
        return PixelAt(*p, 8, 20);
    };
    EXPECT_EQ(glyphPixel(), GlyphCell(1));
    SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(glyphPixel(), GlyphCell(3));
    b->Perform(CM_MOUSELEAVE);
    b->SetEnabled(false);
    const TColor c2 = GlyphCell(2);
    const int mean = ((c2 & 0xFF) + ((c2 >> 8) & 0xFF) + ((c2 >> 16) & 0xFF)) / 3;
    EXPECT_EQ(glyphPixel(), static_cast<TColor>(mean | (mean << 8) | (mean << 16))) << "cell 2 in grey";
    b->Props.NumGlyphs = 1; // one cell serves every state
    b->SetEnabled(true);
    SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(glyphPixel(), GlyphCell(1));
}

class SpeedButtonsTest : public LookTest {
protected:
    void SetUp() override {
        LookTest::SetUp();
        button = Add<TTestSpeedButton>(8, 8, 100, 40);
        skinner = new TSkinSpeedButton(button);
        skinner->AttachGraphicControl(skinForm.get(), skin.get(), skinForm->ControlCanvas());
    }
    // What the button paints through its WindowProc.
    std::unique_ptr<TBitmap> Picture() {
        auto p = SolidBitmap(100, 40, 0x00FF00);
        button->Perform(WM_PAINT, reinterpret_cast<WPARAM>(p->Canvas()->Handle()));
        return p;
    }
    TTestSpeedButton* button = nullptr;
    TSkinSpeedButton* skinner = nullptr;
};

TEST_F(SpeedButtonsTest, FramesFollowTheStateAndDownWinsEvenWhenDisabled) {
    const struct Case {
        const char* name;
        bool flat, down, enabled, hot, pressed;
        TColor colour;
    } cases[] = {
        {"idle", false, false, true, false, false, ButtonFrame(1)},
        {"hot", false, false, true, true, false, ButtonFrame(4)},
        {"pressed", false, false, true, true, true, ButtonFrame(2)},
        {"disabled", false, false, false, false, false, ButtonFrame(3)},
        {"down", false, true, true, false, false, ButtonFrame(2)},
        {"down and disabled", false, true, false, false, false, ButtonFrame(2)},
        {"flat and idle: only the face", true, false, true, false, false, TestFace},
        {"flat and hot", true, false, true, true, false, ButtonFrame(4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        button->Flat = c.flat;
        button->Down = c.down;
        button->SetEnabled(c.enabled);
        button->Perform(CM_MOUSELEAVE);
        if (c.hot) button->Perform(CM_MOUSEENTER);
        if (c.pressed) button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        auto p = Picture();
        EXPECT_EQ(PixelAt(*p, 50, 1), c.colour);
        EXPECT_EQ(PixelAt(*p, 98, 38), c.colour);
    }
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    button->Flat = false;
    button->Down = false;
    button->SetEnabled(true);
    EXPECT_EQ(PixelAt(*Picture(), 50, 1), ButtonFrame(4)) << "released: hot again";
}

TEST_F(SpeedButtonsTest, CaptionTakesTheTextColourOfItsFrameWithOrWithoutAGlyph) {
    button->CaptionText = L"MMMM";
    const struct Case {
        bool down, enabled, hot;
        TColor colour;
    } cases[] = {
        {false, true, false, NormalText},
        {false, true, true, HotText},
        {true, true, false, PressedText},
        {false, false, false, GreyText()},
    };
    for (int cells : {0, 1}) {
        if (cells) MakeGlyph(button->Props, cells);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << (cells ? "glyph" : "no glyph") << " down " << c.down
                                            << " enabled " << c.enabled << " hot " << c.hot);
            button->Down = c.down;
            button->SetEnabled(c.enabled);
            button->Perform(CM_MOUSELEAVE);
            if (c.hot) button->Perform(CM_MOUSEENTER);
            ExpectOnlyTextColour(*Picture(), c.colour);
        }
    }
}

TEST_F(SpeedButtonsTest, AButtonFreedByItsOwnPressIsNotTouchedAfterwards) {
    // The control's own handling of the press frees it, and the skinner it owns, as a handler
    // that closes the form does.
    delete skinner;
    skinner = nullptr;
    TTestSpeedButton* victim = button;
    button = nullptr;
    bool freed = false;
    const TWndMethod own = victim->WindowProc;
    victim->WindowProc = [&freed, victim, own](TMessage& m) {
        if (m.Msg != WM_LBUTTONDOWN) return own(m);
        freed = true;
        delete victim;
    };
    auto* s = new TSkinSpeedButton(victim);
    s->AttachGraphicControl(skinForm.get(), skin.get(), skinForm->ControlCanvas());
    victim->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(freed);
    EXPECT_TRUE(skinForm->SkinControlList.empty());
}

TEST_F(SpeedButtonsTest, GlyphPlacementAndCells) {
    MakeGlyph(button->Props, 4);
    const struct Case {
        TTestLayout layout;
        int margin, spacing, x, y;
    } cases[] = {
        {blGlyphLeft, 4, -1, 4, 15},
        {blGlyphBottom, 4, -1, 45, 26},
        {blGlyphLeft, -1, 0, 46, 15}, // an automatic margin is one further
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "layout " << c.layout << " margin " << c.margin);
        button->Props.Layout = c.layout;
        button->Props.Margin = c.margin;
        button->Props.Spacing = c.spacing;
        auto p = Picture();
        EXPECT_EQ(PixelAt(*p, c.x, c.y), GlyphCell(1));
        EXPECT_EQ(PixelAt(*p, c.x + 9, c.y + 9), GlyphCell(1));
        EXPECT_NE(PixelAt(*p, c.x - 1, c.y), GlyphCell(1));
        EXPECT_NE(PixelAt(*p, c.x, c.y - 1), GlyphCell(1));
    }
    button->Props.Layout = blGlyphLeft;
    button->Props.Margin = 4;
    button->Props.Alignment = taCenter;
    EXPECT_EQ(PixelAt(*Picture(), 4, 15), GlyphCell(1)) << "a speed button knows no centring";
    button->Down = true;
    EXPECT_EQ(PixelAt(*Picture(), 8, 20), GlyphCell(3)) << "down shows the pressed cell";
}

} // namespace
