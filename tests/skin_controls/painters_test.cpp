#include "fixture.h"

#include <commctrl.h>

namespace {

const char* const kForm = R"(object PaintForm: TForm
  Caption = 'Paint'
  ClientWidth = 420
  ClientHeight = 300
  object Button1: TButton
    Left = 8
    Top = 8
    Width = 90
    Height = 30
    Caption = 'Go'
  end
  object Button2: TButton
    Left = 110
    Top = 8
    Width = 90
    Height = 30
    Caption = 'Default'
    Default = True
  end
  object CheckBox1: TCheckBox
    Left = 8
    Top = 50
    Width = 100
    Height = 20
    Caption = 'Check'
    AllowGrayed = True
  end
  object Radio1: TRadioButton
    Left = 8
    Top = 80
    Width = 100
    Height = 20
    Caption = 'Radio'
  end
  object GroupBox1: TGroupBox
    Left = 220
    Top = 8
    Width = 180
    Height = 80
    Caption = 'Mode'
  end
  object Progress1: TProgressBar
    Left = 8
    Top = 110
    Width = 200
    Height = 16
  end
  object UpDown1: TUpDown
    Left = 220
    Top = 100
    Width = 20
    Height = 40
  end
  object StatusBar1: TStatusBar
    Panels = <
      item
        Width = 80
        Text = 'one'
      end
      item
        Width = 80
        Bevel = pbNone
      end
      item
        Width = 80
        Text = 'three'
      end>
  end
end
)";

class PaintersTest : public SkinControlTest {
protected:
    void SetUp() override {
        SkinControlTest::SetUp();
        skin = MakeTestSkin();
        form = LoadForm(kForm);
        skinForm = std::make_unique<TWinSkinForm>(nullptr);
    }
    void TearDown() override {
        skinForm.reset();
        form.reset();
        SkinControlTest::TearDown();
    }
    template <class S> S* Skin(const wchar_t* name, bool setColor = false) {
        auto* control = dynamic_cast<TWinControl*>(form->FindComponent(name));
        EXPECT_NE(control, nullptr) << "no control";
        auto* s = new S(control);
        s->AttachControl(skinForm.get(), skin.get(), skinForm->ControlCanvas(), setColor);
        return s;
    }
    TWinControl* Get(const wchar_t* name) { return dynamic_cast<TWinControl*>(form->FindComponent(name)); }
    std::unique_ptr<TSkinData> skin;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TWinSkinForm> skinForm;
};

TColor Middle(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    auto p = PaintPicture(window);
    return PixelAt(*p, (r.right - r.left) / 2, 5);
}

TEST_F(PaintersTest, PushButtonFramesFollowTheButtonsState) {
    auto* s = Skin<TSkinButton>(L"Button1");
    HWND h = s->Handle;
    EXPECT_EQ(Middle(h), ButtonFrame(1));
    EXPECT_EQ(Middle(Skin<TSkinButton>(L"Button2")->Handle), ButtonFrame(5)); // default
    Get(L"Button1")->Perform(CM_MOUSEENTER);
    EXPECT_EQ(Middle(h), ButtonFrame(4));
    EXPECT_EQ(skinForm->HotControlSkinner, s);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Middle(h), ButtonFrame(2));
    EXPECT_EQ(GetFocus(), h);
    s->SendMouseLeave(); // a leave before the release cancels the click
    EXPECT_EQ(skinForm->HotControlSkinner, nullptr);
    EXPECT_EQ(Middle(h), ButtonFrame(4)); // focused
    Get(L"Button1")->SetEnabled(false);
    EXPECT_EQ(Middle(h), ButtonFrame(3));
}

TEST_F(PaintersTest, ReleasingAPressedButtonClicksItWhereverTheMouseIs) {
    auto* button = dynamic_cast<TButton*>(Get(L"Button1"));
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    auto* s = Skin<TSkinButton>(L"Button1");
    SendMessageW(s->Handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(s->Handle, WM_LBUTTONUP, 0, MAKELPARAM(500, 500));
    EXPECT_EQ(clicks, 1);
    SendMessageW(s->Handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Get(L"Button1")->Perform(CM_MOUSELEAVE);
    SendMessageW(s->Handle, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
}

TEST_F(PaintersTest, ACaptionWithTwoBarsIsDrawnOnTwoLines) {
    auto* s = Skin<TSkinButton>(L"Button1");
    TBitmap b(100, 60, pf24bit);
    s->Caption = L"One||Two";
    s->DrawButtonCaption(*b.Canvas(), RECT{0, 0, 100, 60}, DT_CENTER);
    EXPECT_EQ(s->Caption, L"One\r\nTwo");
}

// Frame mapping of the check and radio strips: the cell's centre shows which frame was drawn.
TEST_F(PaintersTest, CheckAndRadioCellsMapTheirStates) {
    auto* check = Skin<TSkinCheckBox>(L"CheckBox1");
    auto* radio = Skin<TSkinRadioButton>(L"Radio1");
    auto* box = dynamic_cast<TCheckBox*>(Get(L"CheckBox1"));
    auto* rb = dynamic_cast<TRadioButton*>(Get(L"Radio1"));
    auto cell = [](TSkinControl* s) {
        auto p = PaintPicture(s->Handle);
        return PixelAt(*p, 2 + 6, 10); // a 13-pixel cell at left + 2 (check) or + 0 (radio)
    };
    const struct {
        TCheckBoxState state;
        bool enabled;
        int frame;
    } checks[] = {{cbUnchecked, true, 1}, {cbChecked, true, 5}, {cbUnchecked, false, 4},
                  {cbChecked, false, 8},  {cbGrayed, true, 9},  {cbGrayed, false, 12}};
    box->SetAllowGrayed(true);
    for (const auto& c : checks) {
        SCOPED_TRACE(c.frame);
        box->SetState(c.state);
        box->SetEnabled(c.enabled);
        EXPECT_EQ(cell(check), CheckFrame(c.frame));
    }
    const struct {
        bool checked, enabled;
        int frame;
    } radios[] = {{false, true, 1}, {true, true, 5}, {false, false, 4}, {true, false, 8}};
    for (const auto& c : radios) {
        SCOPED_TRACE(c.frame);
        rb->SetChecked(c.checked);
        rb->SetEnabled(c.enabled);
        EXPECT_EQ(cell(radio), RadioFrame(c.frame));
    }
}

TEST_F(PaintersTest, FourFrameStripsUseTheBasicStates) {
    TTestSkinParts parts;
    parts.CheckFrames = 4;
    parts.RadioFrames = 4;
    skin = MakeTestSkin(parts);
    auto* check = Skin<TSkinCheckBox>(L"CheckBox1");
    auto* radio = Skin<TSkinRadioButton>(L"Radio1");
    auto* box = dynamic_cast<TCheckBox*>(Get(L"CheckBox1"));
    box->SetAllowGrayed(true);
    box->SetState(cbGrayed);
    auto p = PaintPicture(check->Handle);
    EXPECT_EQ(PixelAt(*p, 8, 10), CheckFrame(4));
    auto* rb = dynamic_cast<TRadioButton*>(Get(L"Radio1"));
    rb->SetChecked(true);
    rb->SetEnabled(false);
    p = PaintPicture(radio->Handle);
    EXPECT_EQ(PixelAt(*p, 6, 10), RadioFrame(4));
}

TEST_F(PaintersTest, GroupBoxFrameIsRoundedInTheShadowColour) {
    auto* s = Skin<TSkinGroupBox>(L"GroupBox1", true);
    EXPECT_EQ(Get(L"GroupBox1")->Color(), TestFace);
    auto p = PaintPicture(s->Handle);
    // The left line in the shadow colour, the wiped native edge beside it in the face colour.
    EXPECT_EQ(PixelAt(*p, 1, 50), TestShadow);
    EXPECT_EQ(PixelAt(*p, 0, 50), TestFace);
    EXPECT_EQ(PixelAt(*p, 178, 50), TestShadow);
    EXPECT_EQ(PixelAt(*p, 90, 78), TestShadow);
    // The top line runs at half the height of "0"; the caption cuts it.
    int top = 0;
    while (top < 20 && PixelAt(*p, 90, top) != TestShadow) ++top;
    ASSERT_LT(top, 20);
    EXPECT_NE(PixelAt(*p, 20, top), TestShadow);
    SetWindowTextW(s->Handle, L"");
    p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 20, top), TestShadow);
}

TEST_F(PaintersTest, StatusBarPanelsGetTheirBevelsAndTheLastReachesTheEdge) {
    auto* s = Skin<TSkinStatusBar>(L"StatusBar1");
    RECT r;
    GetWindowRect(s->Handle, &r);
    const int w = r.right - r.left;
    auto p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 3, 3), StatusFrame(1));
    EXPECT_EQ(PixelAt(*p, 83, 3), StatusFrame(3)); // no bevel
    EXPECT_EQ(PixelAt(*p, w - 3, 3), StatusFrame(1));

    TTestSkinParts parts;
    parts.StatusBarEdges = false;
    skin = MakeTestSkin(parts);
    s->SkinData = skin.get();
    p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 83, 1), TestFace); // a panel without bevel gets no frame
    EXPECT_NE(PixelAt(*p, 0, 3), TestFace);  // the first one a plain 3D frame
}

TEST_F(PaintersTest, ProgressBarTroughAndFill) {
    auto* s = Skin<TSkinProgress>(L"Progress1");
    auto* bar = dynamic_cast<TProgressBar*>(Get(L"Progress1"));
    auto p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 190, 8), ProgressFrame(1));
    EXPECT_EQ(PixelAt(*p, 10, 8), ProgressFrame(1));
    bar->SetPosition(50);
    p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 10, 8), ProgressFrame(2));
    EXPECT_EQ(PixelAt(*p, 190, 8), ProgressFrame(1));
    bar->SetPosition(100);
    p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 199, 8), ProgressFrame(2));

    TTestSkinParts blocks;
    blocks.ProgressStyle = 1;
    skin = MakeTestSkin(blocks);
    s->SkinData = skin.get();
    bar->SetPosition(50);
    p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 20, 8), ChunkColour);
    EXPECT_NE(PixelAt(*p, 190, 8), ChunkColour); // the trough: the whole strip stretched
}

TEST_F(PaintersTest, UpDownPressesTheHalfUnderTheMouse) {
    auto* s = Skin<TSkinUpDown>(L"UpDown1");
    auto p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 10, 5), UpDownFrame(1));
    EXPECT_EQ(PixelAt(*p, 10, 35), UpDownFrame(5));
    RECT r;
    GetWindowRect(s->Handle, &r);
    SetCursorPos(r.left + 10, r.top + 35);
    s->ButtonState.Include(sbPressed);
    p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 10, 5), UpDownFrame(1));
    EXPECT_EQ(PixelAt(*p, 10, 35), UpDownFrame(6));
    s->ButtonState.Exclude(sbPressed);
    Get(L"UpDown1")->SetEnabled(false);
    p = PaintPicture(s->Handle);
    EXPECT_EQ(PixelAt(*p, 10, 5), UpDownFrame(3));
    EXPECT_EQ(PixelAt(*p, 10, 35), UpDownFrame(7));
}

TEST_F(PaintersTest, PanelSkinnerOnlyTakesTheFaceColour) {
    auto* control = Get(L"GroupBox1");
    auto* s = new TSkinBox(control);
    s->AttachControl(skinForm.get(), skin.get(), nullptr, true);
    EXPECT_EQ(control->Color(), TestFace);
    EXPECT_FALSE(s->Hooked());
    EXPECT_EQ(s->State, 0);
    s->Unskin();
    EXPECT_EQ(s->State, 2);
    EXPECT_NE(control->Color(), TestFace);
}

} // namespace
