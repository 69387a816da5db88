#include "fixture2.h"

#include <commctrl.h>

#include "skin_controls/SkinFactories.h"
#include "skin_controls/WinSubClass_Edit.h"
#include "skin_controls/WinSubClass_Scroll.h"

namespace {

const char* const kForm = R"(object EditForm: TForm
  Caption = 'Edits'
  ClientWidth = 420
  ClientHeight = 300
  object Edit1: TEdit
    Left = 10
    Top = 10
    Width = 150
    Height = 24
    Text = 'text'
  end
  object Edit2: TEdit
    Left = 10
    Top = 40
    Width = 150
    Height = 24
    BorderStyle = bsNone
  end
  object Combo1: TComboBox
    Left = 200
    Top = 10
    Width = 160
    Height = 24
    Style = csDropDown
  end
  object Combo2: TComboBox
    Left = 200
    Top = 50
    Width = 160
    Height = 24
    Style = csDropDownList
  end
  object Combo3: TComboBox
    Left = 200
    Top = 90
    Width = 160
    Height = 120
    Style = csSimple
  end
end
)";

class EditTest : public SkinControlTest {
protected:
    void SetUp() override {
        SkinControlTest::SetUp();
        form = LoadForm(kForm);
        ShowQuietly(*form);
        for (const wchar_t* name : {L"Combo1", L"Combo2", L"Combo3"}) {
            auto* combo = Find<TComboBox>(*form, name);
            for (int i = 0; i < 30; ++i) combo->Items()->Add(L"item " + std::to_wstring(i));
        }
        Pump();
    }
    void TearDown() override {
        form.reset();
        SkinControlTest::TearDown();
    }
    TSkinComBox* SkinCombo(const wchar_t* name) {
        auto* s = static_cast<TSkinComBox*>(NewComboSkinner(Find<TComboBox>(*form, name)));
        s->AttachControl(&skinForm, skin.get(), skinForm.ControlCanvas(), false);
        Pump();
        return s;
    }
    // Inside the drop-down button, away from its glyph.
    TColor ButtonPixel(HWND combo) {
        RECT r;
        GetWindowRect(combo, &r);
        return ScreenPixel(combo, r.right - r.left - 3, 4);
    }
    std::unique_ptr<TSkinData> skin = MakePartSkin();
    std::unique_ptr<TForm> form;
    TWinSkinForm skinForm{nullptr};
};

TEST_F(EditTest, AnEditWithABorderGetsTheTwoLineFrameAndOneWithoutNone) {
    for (const wchar_t* name : {L"Edit1", L"Edit2"}) {
        auto* edit = Find<TEdit>(*form, name);
        const bool border = edit->BorderStyle() != bsNone;
        auto before = PaintPicture(edit->Handle());
        TSkinControl* s = NewEditSkinner(edit);
        s->AttachWindow(edit->Handle(), skin.get(), skinForm.ControlCanvas(), &skinForm);
        Pump();
        if (border) {
            EXPECT_EQ(ScreenPixel(edit->Handle(), 0, 0), TestShadow);
            EXPECT_EQ(ScreenPixel(edit->Handle(), 149, 12), TestShadow);
            EXPECT_EQ(ScreenPixel(edit->Handle(), 1, 1), 0xFFFFFF);
            EXPECT_EQ(ScreenPixel(edit->Handle(), 148, 22), 0xFFFFFF);
        } else {
            auto after = PaintPicture(edit->Handle());
            EXPECT_EQ(PixelAt(*after, 0, 0), PixelAt(*before, 0, 0));
        }
        // The frame stays through typing and focus changes.
        if (border) {
            SendMessageW(edit->Handle(), WM_SETFOCUS, 0, 0);
            SendMessageW(edit->Handle(), WM_CHAR, L'x', 0);
            Pump();
            EXPECT_EQ(ScreenPixel(edit->Handle(), 0, 0), TestShadow);
            EXPECT_EQ(edit->Text(), L"xtext");
        }
    }
}

TEST_F(EditTest, APrintedEditGetsTheFrameOnThePrintersPictureWhenItsBorderIsThick) {
    for (DWORD ex : {DWORD(WS_EX_CLIENTEDGE), DWORD(0)}) {
        HWND edit = CreateWindowExW(ex, L"EDIT", L"5", WS_CHILD | WS_VISIBLE | (ex ? 0 : WS_BORDER), 10, 100,
                                    150, 24, form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        TSkinControl* s = NewEditSkinner(&skinForm);
        s->AttachWindow(edit, skin.get(), skinForm.ControlCanvas(), &skinForm);
        auto picture = SolidBitmap(150, 24, 0x00FF00);
        HDC dc = picture->Canvas()->Handle();
        SendMessageW(edit, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT);
        // A one-pixel border keeps the printed system frame.
        EXPECT_EQ(PixelAt(*picture, 0, 0) == TestShadow, ex != 0);
        EXPECT_EQ(PixelAt(*picture, 149, 23) == TestShadow, ex != 0);
        DestroyWindow(edit);
    }
}

// A window class whose name says spin in mixed case.
LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(w, m, wp, lp);
}

TEST_F(EditTest, ASpinChildOfAnEditGetsAnInsetUpDownSkinner) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MySpinBox";
    RegisterClassW(&wc);
    for (const wchar_t* cls : {UPDOWN_CLASSW, L"MySpinBox"}) {
        HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"5", WS_CHILD | WS_VISIBLE, 10, 100, 120, 24,
                                    form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND spin = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE, 96, 0, 18, 20, edit, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        auto* s = new TSkinEdit(&skinForm);
        s->AttachWindow(edit, skin.get(), skinForm.ControlCanvas(), &skinForm);
        EXPECT_EQ(s->UpDownSkinner, nullptr);
        s->PaintSkin(nullptr);
        ASSERT_NE(s->UpDownSkinner, nullptr) << cls;
        EXPECT_EQ(s->UpDownSkinner->Handle, spin);
        EXPECT_TRUE(s->UpDownSkinner->Inset);
        EXPECT_EQ(s->UpDownSkinner->Owner(), &skinForm);
        DestroyWindow(edit);
        skinForm.PurgeSkinControls();
        EXPECT_TRUE(skinForm.SkinControlList.empty());
    }
    UnregisterClassW(L"MySpinBox", GetModuleHandleW(nullptr));
}

TEST_F(EditTest, ADropDownComboShowsItsFourStatesAndItsEditChildPassesPressesOn) {
    auto* combo = Find<TComboBox>(*form, L"Combo1");
    const HWND edit = GetTopWindow(combo->Handle());
    const LONG_PTR ownProc = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    TSkinComBox* s = SkinCombo(L"Combo1");
    EXPECT_EQ(s->EditHandle, edit);
    EXPECT_EQ(s->ListHandle, nullptr);
    EXPECT_EQ(ButtonPixel(combo->Handle()), PartFrame(pkCombo, 1));

    SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(s->ButtonState.Contains(sbPressed));
    EXPECT_EQ(ButtonPixel(combo->Handle()), PartFrame(pkCombo, 2));
    SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(s->ButtonState.Contains(sbPressed));

    SendMessageW(combo->Handle(), CM_MOUSEENTER, 0, 0);
    combo->Invalidate();
    EXPECT_EQ(ButtonPixel(combo->Handle()), PartFrame(pkCombo, 4));
    SendMessageW(combo->Handle(), CM_MOUSELEAVE, 0, 0);
    combo->SetEnabled(false);
    Pump();
    EXPECT_EQ(ButtonPixel(combo->Handle()), PartFrame(pkCombo, 3));
    // The hot (or focused) frame whatever the enabled state.
    s->ButtonState.Include(sbHot);
    combo->Invalidate();
    EXPECT_EQ(ButtonPixel(combo->Handle()), PartFrame(pkCombo, 4));
    combo->SetEnabled(true);

    // Unskinning gives the edit child its procedure back.
    s->Unskin();
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(s->EditHandle, nullptr);
    delete s;
    SendMessageW(edit, WM_LBUTTONUP, 0, 0);
}

TEST_F(EditTest, ADropDownListHasNoChildItsOwnPressOpensTheListAndClosingItReleases) {
    auto* combo = Find<TComboBox>(*form, L"Combo2");
    TSkinComBox* s = SkinCombo(L"Combo2");
    EXPECT_EQ(s->EditHandle, nullptr);
    EXPECT_EQ(ButtonPixel(combo->Handle()), PartFrame(pkCombo, 1));
    SendMessageW(combo->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 10));
    EXPECT_TRUE(SendMessageW(combo->Handle(), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(ButtonPixel(combo->Handle()), PartFrame(pkCombo, 2));
    SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    Pump();
    EXPECT_FALSE(s->ButtonState.Contains(sbPressed));
    EXPECT_NE(ButtonPixel(combo->Handle()), PartFrame(pkCombo, 2));
}

TEST_F(EditTest, ButtonOnTheLeftRightToLeft) {
    auto* combo = Find<TComboBox>(*form, L"Combo2");
    SetWindowLongPtrW(combo->Handle(), GWL_EXSTYLE,
                      GetWindowLongPtrW(combo->Handle(), GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
    SkinCombo(L"Combo2");
    combo->Invalidate();
    EXPECT_EQ(ScreenPixel(combo->Handle(), 3, 4), PartFrame(pkCombo, 1));
}

TEST_F(EditTest, SkinsWithoutASunkEdgeDrawTheButtonAloneOrTheSimpleLook) {
    struct Case {
        int style;
        bool left;
    };
    for (Case c : {Case{0, false}, Case{0, true}, Case{1, false}}) {
        skin = MakePartSkin({.Sunk = false});
        skin->ComboButton->Style = c.style; // no skin key gives it: the element readers set it
        auto* combo = Find<TComboBox>(*form, L"Combo2");
        LONG_PTR ex = GetWindowLongPtrW(combo->Handle(), GWL_EXSTYLE) & ~WS_EX_LEFTSCROLLBAR;
        SetWindowLongPtrW(combo->Handle(), GWL_EXSTYLE, c.left ? ex | WS_EX_LEFTSCROLLBAR : ex);
        TSkinComBox* s = SkinCombo(L"Combo2");
        auto picture = PaintPicture(combo->Handle());
        const int w = picture->Width(), h = picture->Height();
        if (c.style == 1) {
            EXPECT_EQ(PixelAt(*picture, 0, 0), TestShadow);
            EXPECT_EQ(PixelAt(*picture, w - 4, h / 2), PartFrame(pkCombo, 1));
        } else {
            EXPECT_EQ(PixelAt(*picture, c.left ? 2 : w - 3, 3), PartFrame(pkCombo, 1)) << c.left;
        }
        delete s;
    }
}

TEST_F(EditTest, ASimpleComboGetsItsListsScrollBarsAndNoButton) {
    auto* combo = Find<TComboBox>(*form, L"Combo3");
    auto before = PaintPicture(combo->Handle());
    TSkinComBox* s = SkinCombo(L"Combo3");
    ASSERT_NE(s->ListHandle, nullptr);
    ASSERT_NE(s->ListScrollSkinner, nullptr);
    EXPECT_EQ(s->ListScrollSkinner->Handle, s->ListHandle);
    EXPECT_TRUE(s->ListScrollSkinner->VertScrollbar->Placed);
    auto after = PaintPicture(combo->Handle());
    EXPECT_EQ(PixelAt(*after, 2, 2), PixelAt(*before, 2, 2));
    const HWND overlay = s->ListScrollSkinner->VertScrollbar->Handle();
    delete s; // frees the list's skinner and its overlays
    EXPECT_FALSE(IsWindow(overlay));
    EXPECT_TRUE(skinForm.SkinControlList.empty());
}

TEST_F(EditTest, ASkinWithoutComboButtonLeavesCombosAsTheSystemDrawsThem) {
    skin = MakePartSkin({.Combo = false});
    auto* combo = Find<TComboBox>(*form, L"Combo2");
    auto before = PaintPicture(combo->Handle());
    SkinCombo(L"Combo2");
    auto after = PaintPicture(combo->Handle());
    for (int x : {2, 80, 150}) EXPECT_EQ(PixelAt(*after, x, 5), PixelAt(*before, x, 5)) << x;
}

} // namespace
