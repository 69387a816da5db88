// Tool buttons painted by the form skinner: the frame of the Buttons element for each state and the
// text colour that goes with it.
#include "form_fixture.h"

#include <framework/comctrls.h>

#include "skin_data/SkinDraw.h"

namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr TColor kNormalText = 0x000011, kOverText = 0x002200, kPressedText = 0x330000;

class ToolButtonTest : public SkinnedFormTest {
protected:
    void SetUp() override {
        SkinnedFormTest::SetUp();
        TDataSkinButton& b = *data_->Buttons;
        b.NormalColour2 = kNormalText;
        b.MouseOverColour2 = kOverText;
        b.PressedColour2 = kPressedText;
        b.HasNormalColour2 = b.HasMouseOverColour2 = b.HasPressedColour2 = true;
        bar_ = new TToolBar(form_.get());
        bar_->SetParent(form_.get());
        bar_->SetBounds(0, 0, 300, 30);
        button_ = bar_->AddButton(L"Tool");
        bar_->AddButton(L"Other");
        skinner_ = ShowSkinned();
    }

    // The picture of frame n of the Buttons element over the button, on kUntouched.
    std::unique_ptr<TBitmap> Picture(int frame) {
        auto bitmap = std::make_unique<TBitmap>(bar_->Width(), bar_->Height(), pf24bit);
        bitmap->Canvas()->Brush()->SetColor(static_cast<TColor>(kUntouched));
        bitmap->Canvas()->FillRect(RECT{0, 0, bitmap->Width(), bitmap->Height()});
        if (frame) {
            RECT r = button_->BoundsRect();
            InflateRect(&r, -1, -1);
            TDataSkinButton& b = *data_->Buttons;
            DrawSkinFrame(bitmap->Canvas()->Handle(), r, b.Bitmap, b.Margins(), frame, b.FrameCount,
                          b.Trans != 0, false, false);
        }
        return bitmap;
    }

    // Points of the button: the middle, the middle of the top and left margins.
    std::vector<POINT> Probes() const {
        const RECT r = button_->BoundsRect();
        const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        return {POINT{cx, cy}, POINT{cx, r.top + 2}, POINT{r.left + 2, cy}, POINT{cx, r.bottom - 3}};
    }

    TToolBar* bar_ = nullptr;
    TToolButton* button_ = nullptr;
    TWinSkinForm* skinner_ = nullptr;
};

TEST_F(ToolButtonTest, EachStateDrawsItsFrameAndTextColour) {
    ASSERT_NE(skinner_, nullptr);
    ASSERT_FALSE(data_->Buttons->Bitmap.Empty());
    const struct {
        const char* name;
        TCustomDrawState state;
        int frame;
        TColor text;
    } cases[] = {
        {"pressed", {cdsSelected}, 2, kPressedText},
        {"pressed and hot", {cdsSelected, cdsHot}, 2, kPressedText},
        {"hot", {cdsHot}, 4, kOverText},
        {"focused", {cdsFocused}, 4, kOverText},
        {"default", {cdsDefault}, 1, kNormalText},
        {"default, disabled", {cdsDefault, cdsDisabled}, 0, clNone},
        {"default, grayed", {cdsDefault, cdsGrayed}, 0, clNone},
        {"checked only", {cdsChecked}, 0, clNone},
        {"no state", {}, 0, clNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto target = Picture(0);
        const auto wanted = Picture(c.frame);
        bar_->Canvas()->SetHandle(target->Canvas()->Handle());
        bar_->Canvas()->Font()->SetColor(clNone);
        bool defaultDraw = true;
        skinner_->DrawToolButton(bar_, button_, c.state, defaultDraw);
        const TColor text = bar_->Canvas()->Font()->Color();
        bar_->Canvas()->SetHandle(nullptr);
        EXPECT_TRUE(defaultDraw) << "the bar draws the text";
        EXPECT_EQ(text, c.text);
        for (POINT p : Probes())
            EXPECT_EQ(GetPixel(target->Canvas()->Handle(), p.x, p.y),
                      GetPixel(wanted->Canvas()->Handle(), p.x, p.y))
                << "at " << p.x << "," << p.y;
    }
    // The frames differ where the probes look, or the table would prove nothing.
    auto normal = Picture(1), hot = Picture(4), pressed = Picture(2);
    const POINT mid = Probes()[0];
    EXPECT_NE(GetPixel(normal->Canvas()->Handle(), mid.x, mid.y),
              GetPixel(hot->Canvas()->Handle(), mid.x, mid.y));
    EXPECT_NE(GetPixel(hot->Canvas()->Handle(), mid.x, mid.y),
              GetPixel(pressed->Canvas()->Handle(), mid.x, mid.y));
}

TEST_F(ToolButtonTest, WithoutItsUseFlagTheTextKeepsItsColour) {
    ASSERT_NE(skinner_, nullptr);
    data_->Buttons->HasMouseOverColour2 = false;
    auto target = Picture(0);
    bar_->Canvas()->SetHandle(target->Canvas()->Handle());
    bar_->Canvas()->Font()->SetColor(clWindowText);
    bool defaultDraw = true;
    skinner_->DrawToolButton(bar_, button_, TCustomDrawState{cdsHot}, defaultDraw);
    EXPECT_EQ(bar_->Canvas()->Font()->Color(), clWindowText);
    bar_->Canvas()->SetHandle(nullptr);
}

TEST_F(ToolButtonTest, TheBarsCustomDrawPaintsTheHotButtonFromTheSkin) {
    ASSERT_NE(skinner_, nullptr);
    TWinSkinForm* skinner = skinner_;
    int calls = 0;
    bar_->OnCustomDrawButton = [skinner, &calls](TToolBar* bar, TToolButton* b, TCustomDrawState s, bool& d) {
        ++calls;
        skinner->DrawToolButton(bar, b, s, d);
    };
    SendMessageW(bar_->Handle(), TB_SETHOTITEM, 0, 0);
    TBitmap shot(bar_->Width(), bar_->Height(), pf24bit);
    SendMessageW(bar_->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.Canvas()->Handle()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_GT(calls, 0);
    const auto wanted = Picture(4);
    const POINT top = Probes()[1];
    EXPECT_EQ(GetPixel(shot.Canvas()->Handle(), top.x, top.y),
              GetPixel(wanted->Canvas()->Handle(), top.x, top.y))
        << "the hot frame of the Buttons element";
    bar_->OnCustomDrawButton = nullptr;
}

} // namespace
