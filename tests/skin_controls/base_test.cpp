#include "fixture.h"

#include <framework/sysutils.h>

#include <vector>

#include "skin_forms/WinSkinDlg.h"

namespace {

const char* const kForm = R"(object ProbeForm: TForm
  Caption = 'Probe'
  ClientWidth = 300
  ClientHeight = 200
  object Button1: TButton
    Left = 8
    Top = 8
    Width = 90
    Height = 30
    Caption = 'Go'
  end
end
)";

constexpr TColor Painted = 0x123456;

// Records what reaches the skinner and paints one colour over the whole window.
class TProbeSkinner : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    std::vector<UINT> Before, After;
    bool Pass = true;
    bool BeforeMessage(TMessage& m) override {
        Before.push_back(m.Msg);
        return TSkinControl::BeforeMessage(m) && Pass;
    }
    void AfterMessage(TMessage& m) override {
        After.push_back(m.Msg);
        TSkinControl::AfterMessage(m);
    }
    void DrawSkin(HDC dc, const RECT& r) override {
        TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(Painted)));
        FillRect(dc, &r, brush.Get());
    }
    bool Saw(const std::vector<UINT>& list, UINT msg) const {
        return std::find(list.begin(), list.end(), msg) != list.end();
    }
};

// Messages the control's own procedure received (a WindowProc set before the skinner came).
struct TSeen {
    std::vector<UINT> Messages;
    bool Has(UINT msg) const { return std::find(Messages.begin(), Messages.end(), msg) != Messages.end(); }
};

class BaseTest : public SkinControlTest {
protected:
    void SetUp() override {
        SkinControlTest::SetUp();
        skin = MakeTestSkin();
        form = LoadForm(kForm);
        button = dynamic_cast<TButton*>(form->FindComponent(L"Button1"));
        ASSERT_NE(button, nullptr);
        TWndMethod own = button->WindowProc;
        button->WindowProc = [this, own](TMessage& m) {
            seen.Messages.push_back(m.Msg);
            if (m.Msg == WM_NCDESTROY) colourAtDestruction = button->Color();
            own(m);
        };
    }
    void TearDown() override {
        form.reset(); // while what the hooks record into still exists
        SkinControlTest::TearDown();
    }
    std::unique_ptr<TSkinData> skin;
    std::unique_ptr<TForm> form;
    TButton* button = nullptr;
    TSeen seen;
    TColor colourAtDestruction = clNone;
};

TEST_F(BaseTest, AttachHooksTheControlAndFreeingGivesItsWindowProcBack) {
    TWinSkinForm skinForm(nullptr);
    auto* probe = new TProbeSkinner(button);
    probe->AttachControl(&skinForm, skin.get(), skinForm.ControlCanvas(), true);
    EXPECT_EQ(probe->State, 1);
    EXPECT_EQ(probe->Control, button);
    EXPECT_EQ(probe->Handle, button->Handle());
    EXPECT_EQ(probe->Caption, L"Go");
    EXPECT_TRUE(probe->Enabled);
    EXPECT_EQ(button->Color(), TestFace);
    EXPECT_EQ(skinForm.SkinControlList, std::vector<TSkinControl*>{probe});

    // A second attach changes nothing.
    probe->AttachControl(&skinForm, skin.get(), skinForm.ControlCanvas(), false);
    EXPECT_EQ(skinForm.SkinControlList.size(), 1u);
    EXPECT_TRUE(probe->SetColor);

    button->Perform(WM_USER + 5);
    EXPECT_TRUE(probe->Saw(probe->Before, WM_USER + 5));
    EXPECT_TRUE(probe->Saw(probe->After, WM_USER + 5));
    EXPECT_TRUE(seen.Has(WM_USER + 5));

    SetWindowTextW(button->Handle(), L"Again");
    EXPECT_EQ(probe->Caption, L"Again");

    // The skin is painted over what the button painted.
    auto picture = PaintPicture(button->Handle());
    EXPECT_EQ(PixelAt(*picture, 45, 15), Painted);

    probe->Unskin();
    EXPECT_EQ(button->Color(), clBtnFace);
    delete probe;
    EXPECT_TRUE(skinForm.SkinControlList.empty());
    seen.Messages.clear();
    button->Perform(WM_USER + 6);
    EXPECT_TRUE(seen.Has(WM_USER + 6));
    picture = PaintPicture(button->Handle());
    EXPECT_NE(PixelAt(*picture, 45, 15), Painted);
}

TEST_F(BaseTest, SwitchedOffTheControlGetsEveryMessageAndSwitchingOnRepaints) {
    auto* probe = new TProbeSkinner(button);
    probe->AttachControl(nullptr, skin.get(), nullptr, false);
    button->Perform(SKM_SKINENABLE, 0);
    EXPECT_FALSE(probe->SkinEnabled);
    EXPECT_TRUE(seen.Has(SKM_SKINENABLE)); // the "off" passes through the control

    probe->Before.clear();
    seen.Messages.clear();
    auto picture = PaintPicture(button->Handle());
    EXPECT_NE(PixelAt(*picture, 45, 15), Painted);
    EXPECT_TRUE(probe->Before.empty());
    EXPECT_TRUE(seen.Has(WM_PAINT));

    seen.Messages.clear();
    form->Show();
    UpdateWindow(form->Handle());
    ValidateRect(button->Handle(), nullptr);
    button->Perform(SKM_SKINENABLE, 1);
    EXPECT_TRUE(probe->SkinEnabled);
    EXPECT_FALSE(seen.Has(SKM_SKINENABLE));
    RECT update;
    EXPECT_TRUE(GetUpdateRect(button->Handle(), &update, FALSE)); // Redraw invalidated it
    picture = PaintPicture(button->Handle());
    EXPECT_EQ(PixelAt(*picture, 45, 15), Painted);
}

TEST_F(BaseTest, TheControlSeesItsDestructionBeforeTheSkinnerUnskins) {
    auto* probe = new TProbeSkinner(button);
    probe->AttachControl(nullptr, skin.get(), nullptr, true);
    seen.Messages.clear();
    button->DestroyHandle();
    EXPECT_TRUE(seen.Has(WM_NCDESTROY));
    EXPECT_EQ(colourAtDestruction, TestFace); // not unskinned yet
    EXPECT_EQ(probe->State, 6);
    EXPECT_TRUE(probe->Saw(probe->Before, WM_NCDESTROY));
    EXPECT_FALSE(probe->Saw(probe->After, WM_NCDESTROY));
    EXPECT_EQ(button->Color(), clBtnFace);
}

TEST_F(BaseTest, AFilterThatSaysNoKeepsTheMessageFromTheControl) {
    auto* probe = new TProbeSkinner(button);
    probe->AttachControl(nullptr, skin.get(), nullptr, false);
    probe->Pass = false;
    seen.Messages.clear();
    button->Perform(WM_USER + 7);
    EXPECT_FALSE(seen.Has(WM_USER + 7));
    EXPECT_FALSE(probe->Saw(probe->After, WM_USER + 7));
}

TEST_F(BaseTest, FreeingTheControlFreesItsSkinnerAndTheFormSkinnerForgetsIt) {
    TWinSkinForm skinForm(nullptr);
    auto* probe = new TProbeSkinner(button);
    probe->AttachControl(&skinForm, skin.get(), skinForm.ControlCanvas(), true);
    delete button;
    EXPECT_TRUE(skinForm.SkinControlList.empty());
    form.reset();
}

TEST_F(BaseTest, AControlFreedBeforeASkinnerItDoesNotOwnLeavesNothingDangling) {
    TWinSkinForm skinForm(nullptr);
    // A skinner owned elsewhere (as OnSkinControl may hand one), hooked onto the button.
    struct THooker : TProbeSkinner {
        using TProbeSkinner::TProbeSkinner;
        void HookOnto(TWinControl* c) {
            Control = c;
            Handle = c->Handle();
            HookControlProc(c);
        }
    };
    auto* hooker = new THooker(&skinForm);
    hooker->HookOnto(button);
    delete button;
    EXPECT_EQ(hooker->Control, nullptr);
    delete hooker; // must not write into the freed control
}

TEST_F(BaseTest, ASkinnerFreedByTheMessageItPassesOnIsNotTouchedAfterwards) {
    // The control's own handling frees the control, and with it the skinner, as a click that
    // closes a form does.
    bool killed = false;
    TButton* victim = button;
    TWndMethod own = victim->WindowProc;
    victim->WindowProc = [&killed, victim, own](TMessage& m) {
        if (m.Msg == WM_USER + 9) {
            killed = true;
            delete victim;
            return;
        }
        own(m);
    };
    auto* probe = new TProbeSkinner(victim);
    probe->AttachControl(nullptr, skin.get(), nullptr, false);
    victim->Perform(WM_USER + 9);
    EXPECT_TRUE(killed);
    button = nullptr;
}

// A native window, subclassed through its window procedure.
struct TNativeWindow {
    HWND Handle;
    explicit TNativeWindow(HWND parent)
        : Handle(CreateWindowExW(0, L"BUTTON", L"Native", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 120, 8, 80,
                                 30, parent, nullptr, nullptr, nullptr)) {}
    ~TNativeWindow() {
        if (IsWindow(Handle)) DestroyWindow(Handle);
    }
    WNDPROC Proc() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Handle, GWLP_WNDPROC)); }
};

TEST_F(BaseTest, AWindowSkinnerSubclassesAndGivesTheOldProcedureBack) {
    TWinSkinForm skinForm(nullptr);
    TNativeWindow native(form->Handle());
    const WNDPROC before = native.Proc();
    auto* probe = new TProbeSkinner(&skinForm);
    probe->AttachWindow(native.Handle, skin.get(), skinForm.ControlCanvas(), &skinForm);
    EXPECT_EQ(probe->State, 1);
    EXPECT_TRUE(probe->Attached);
    EXPECT_EQ(probe->Caption, L"Native");
    EXPECT_NE(native.Proc(), before);
    EXPECT_EQ(skinForm.FindSkinControl(native.Handle), probe);

    SendMessageW(native.Handle, WM_USER + 3, 0, 0);
    EXPECT_TRUE(probe->Saw(probe->After, WM_USER + 3));
    SendMessageW(native.Handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"读卡"));
    EXPECT_EQ(probe->Caption, L"读卡");
    auto picture = PaintPicture(native.Handle);
    EXPECT_EQ(PixelAt(*picture, 40, 15), Painted);

    delete probe;
    EXPECT_EQ(native.Proc(), before);
    EXPECT_EQ(skinForm.FindSkinControl(native.Handle), nullptr);
    picture = PaintPicture(native.Handle);
    EXPECT_NE(PixelAt(*picture, 40, 15), Painted);
}

TEST_F(BaseTest, AWindowDestroyedUnderItsSkinnerIsLeftAlone) {
    TWinSkinForm skinForm(nullptr);
    TNativeWindow native(form->Handle());
    auto* probe = new TProbeSkinner(&skinForm);
    probe->AttachWindow(native.Handle, skin.get(), nullptr, &skinForm);
    DestroyWindow(native.Handle);
    EXPECT_EQ(probe->State, 6);
    EXPECT_EQ(skinForm.FindSkinControl(native.Handle), nullptr);
    skinForm.PurgeSkinControls(); // frees it
    EXPECT_TRUE(skinForm.SkinControlList.empty());
}

TEST_F(BaseTest, ALaterSubclasserKeepsAWorkingChainWhenTheSkinnerGoes) {
    TNativeWindow native(form->Handle());
    auto* probe = new TProbeSkinner(form.get());
    probe->AttachWindow(native.Handle, skin.get(), nullptr, nullptr);
    static WNDPROC skinnerProc;
    static int laterCalls;
    laterCalls = 0;
    skinnerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(native.Handle, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                              ++laterCalls;
                              return CallWindowProcW(skinnerProc, h, m, w, l);
                          })));
    delete probe;
    // The later subclasser still calls what it replaced; that now passes straight on.
    EXPECT_EQ(SendMessageW(native.Handle, WM_GETTEXTLENGTH, 0, 0), 6);
    EXPECT_GT(laterCalls, 0);
    DestroyWindow(native.Handle);
}

TEST_F(BaseTest, FreeSkinControlsUnskinsLiveSkinnersOnly) {
    auto skinForm = std::make_unique<TWinSkinForm>(nullptr);
    auto* probe = new TProbeSkinner(button);
    probe->AttachControl(skinForm.get(), skin.get(), skinForm->ControlCanvas(), true);
    skinForm->FreeSkinControls();
    EXPECT_EQ(button->Color(), clBtnFace);
    EXPECT_EQ(button->ComponentCount(), 0);
    seen.Messages.clear();
    button->Perform(WM_USER + 4);
    EXPECT_TRUE(seen.Has(WM_USER + 4));
}

TEST_F(BaseTest, PaintHelpersDrawFramesAndSkipWhatIsMissing) {
    TSkinControl helper(nullptr);
    helper.SkinData = skin.get();
    auto target = std::make_unique<TBitmap>(60, 30, pf24bit);
    HDC dc = target->Canvas()->Handle();
    const RECT all{0, 0, 60, 30};
    helper.FillSkinColor(dc, all);
    EXPECT_EQ(PixelAt(*target, 5, 5), TestFace);
    helper.FillParentColor(dc, all); // no control: the face colour
    EXPECT_EQ(PixelAt(*target, 5, 5), TestFace);

    helper.DrawElementFrame(dc, RECT{0, 0, 40, 30}, skin->Buttons.get(), 4, 5);
    EXPECT_EQ(PixelAt(*target, 20, 15), ButtonFrame(4));
    EXPECT_EQ(PixelAt(*target, 50, 15), TestFace);
    helper.DrawStripFrameDC(dc, RECT{40, 0, 60, 30}, skin->Buttons->CheckButton, 2, 12);
    EXPECT_EQ(PixelAt(*target, 50, 15), CheckFrame(2));
    helper.DrawStripFrameMasked(dc, RECT{40, 0, 60, 30}, skin->Buttons->RadioButton, 3, 8);
    EXPECT_EQ(PixelAt(*target, 50, 15), RadioFrame(3));

    // Nothing for an inverted rectangle, a missing element or a strip without frames.
    helper.FillSkinColor(dc, all);
    helper.DrawElementFrame(dc, RECT{40, 0, 0, 30}, skin->Buttons.get(), 1, 5);
    helper.DrawElementFrame(dc, all, nullptr, 1, 5);
    helper.DrawElementFrame(dc, all, skin->Buttons.get(), 1, 0);
    helper.DrawStripFrameDC(dc, all, skin->Buttons->CheckButton, 1, 0);
    TBitmap empty;
    helper.DrawStripFrameMasked(dc, all, empty, 1, 4);
    EXPECT_EQ(PixelAt(*target, 20, 15), TestFace);
}

TEST_F(BaseTest, ATransparentElementLeavesWhatIsBelowWhereItIsMagenta) {
    TSkinControl helper(nullptr);
    helper.SkinData = skin.get();
    TDataSkinObject element("probe");
    element.Bitmap.Assign(SolidBitmap(10, 10, Magenta).get());
    element.Trans = 1;
    auto target = SolidBitmap(10, 10, 0x0000FF);
    helper.DrawElementFrame(target->Canvas()->Handle(), RECT{0, 0, 10, 10}, &element, 1, 1);
    EXPECT_EQ(PixelAt(*target, 5, 5), 0x0000FF);
    element.Trans = 0;
    helper.DrawElementFrame(target->Canvas()->Handle(), RECT{0, 0, 10, 10}, &element, 1, 1);
    EXPECT_EQ(PixelAt(*target, 5, 5), Magenta);
}

TEST_F(BaseTest, TopLevelTest) {
    EXPECT_FALSE(TSkinControl::IsTopLevelWindow(button->Handle()));
    HWND popup =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(TSkinControl::IsTopLevelWindow(popup));
    DestroyWindow(popup);
}

TEST_F(BaseTest, WholeWindowPaintReachesTheScreen) {
    auto* probe = new TProbeSkinner(button);
    probe->AttachControl(nullptr, skin.get(), nullptr, false);
    form->Show();
    button->Repaint();
    EXPECT_EQ(ScreenPixel(button->Handle(), 45, 15), Painted);
    RECT r;
    GetWindowRect(button->Handle(), &r);
    EXPECT_TRUE(EqualRect(&r, &probe->WindowRect));
}

} // namespace
