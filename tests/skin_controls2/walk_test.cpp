#include "fixture2.h"

#include "skin_controls/WinSubClass_Edit.h"
#include "skin_controls/WinSubClass_Header.h"
#include "skin_controls/WinSubClass_Scroll.h"

namespace {

const char* const kForm = R"(object WalkForm: TForm
  Caption = 'Walk'
  ClientWidth = 420
  ClientHeight = 300
  object RichEdit1: TRichEdit
    Left = 10
    Top = 10
    Width = 200
    Height = 150
    ScrollBars = ssBoth
  end
  object Edit1: TEdit
    Left = 220
    Top = 10
    Width = 150
    Height = 24
  end
  object Combo1: TComboBox
    Left = 220
    Top = 50
    Width = 150
    Height = 24
  end
end
)";

template <class T> T* SkinnerOf(TWinSkinForm& skinForm, HWND window) {
    for (TSkinControl* s : skinForm.SkinControlList)
        if (s->Handle == window) return dynamic_cast<T*>(s);
    return nullptr;
}

class WalkTest : public SkinControlTest {
protected:
    void TearDown() override {
        form.reset();
        SkinControlTest::TearDown();
    }
    std::unique_ptr<TSkinData> skin = MakePartSkin();
    std::unique_ptr<TForm> form;
};

TEST_F(WalkTest, TheWalkMakesTheScrollEditAndComboSkinnersAndTakesThemOffAgain) {
    form = LoadForm(kForm);
    ShowQuietly(*form);
    auto* rich = Find<TRichEdit>(*form, L"RichEdit1");
    auto* edit = Find<TEdit>(*form, L"Edit1");
    auto* combo = Find<TComboBox>(*form, L"Combo1");
    std::wstring text;
    for (int i = 0; i < 40; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
    rich->SetText(text);
    const HWND comboEdit = GetTopWindow(combo->Handle());
    const LONG_PTR comboEditProc = GetWindowLongPtrW(comboEdit, GWLP_WNDPROC);
    {
        TWinSkinForm skinForm(nullptr);
        skinForm.SkinData = skin.get();
        skinForm.SkinComponents(form.get());
        Pump();
        auto* scroll = SkinnerOf<TSkinScrollbar>(skinForm, rich->Handle());
        ASSERT_NE(scroll, nullptr);
        EXPECT_TRUE(scroll->VertScrollbar->Placed);
        EXPECT_NE(SkinnerOf<TSkinEdit>(skinForm, edit->Handle()), nullptr);
        auto* comboSkinner = SkinnerOf<TSkinComBox>(skinForm, combo->Handle());
        ASSERT_NE(comboSkinner, nullptr);
        EXPECT_EQ(comboSkinner->EditHandle, comboEdit);
        const HWND overlay = scroll->VertScrollbar->Handle();
        skinForm.FreeSkinControls();
        EXPECT_FALSE(IsWindow(overlay));
        EXPECT_EQ(GetWindowLongPtrW(comboEdit, GWLP_WNDPROC), comboEditProc);
    }
    rich->SetText(L"still works");
    EXPECT_EQ(rich->Text(), L"still works");
}

TEST_F(WalkTest, ADialogsSizeBoxAndInnerDialogGetTheirSkinners) {
    form = LoadForm(R"(object Host: TForm
  ClientWidth = 300
  ClientHeight = 200
end
)");
    ShowQuietly(*form);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND grip = CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEBOX | SBS_SIZEGRIP, 280,
                                180, 20, 20, form->Handle(), nullptr, instance, nullptr);
    HWND inner = CreateWindowExW(0, L"#32770", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, form->Handle(),
                                 nullptr, instance, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 120, 10, 100, 24,
                                form->Handle(), nullptr, instance, nullptr);
    TWinSkinForm skinForm(nullptr);
    skinForm.SkinData = skin.get();
    skinForm.Window = form->Handle();
    skinForm.SkinChildWindows();
    EXPECT_NE(SkinnerOf<TSkinSizer>(skinForm, grip), nullptr);
    EXPECT_NE(SkinnerOf<TSkinBoxH>(skinForm, inner), nullptr);
    EXPECT_NE(SkinnerOf<TSkinEdit>(skinForm, edit), nullptr);
    EXPECT_EQ(ScreenPixel(grip, 10, 10), TestFace);
    EXPECT_EQ(ScreenPixel(edit, 0, 0), TestShadow);
}

} // namespace
