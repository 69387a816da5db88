#include "fixture.h"

namespace {

const char* const kMenus = R"(object ProbeForm: TProbeForm
  Caption = 'Menus'
  ClientWidth = 300
  ClientHeight = 200
  Menu = MainMenu1
  object Edit1: TEdit
    Left = 8
    Top = 8
    PopupMenu = PopupMenu1
  end
  object MainMenu1: TMainMenu
    object N1: TMenuItem
      Caption = 'System'
      object N4: TMenuItem
        Caption = 'Exist'
        OnClick = Clicked
      end
      object N2: TMenuItem
        Caption = '-'
      end
      object N3: TMenuItem
        Caption = 'Later'
        Visible = False
      end
      object N5: TMenuItem
        Caption = 'Off'
        Enabled = False
        OnClick = Clicked
      end
    end
    object N6: TMenuItem
      Caption = 'About'
      OnClick = Clicked
    end
  end
  object PopupMenu1: TPopupMenu
    OnPopup = Popped
    object MenuItem1: TMenuItem
      Caption = 'Clear'
      OnClick = Clicked
    end
  end
end
)";

struct NativeItem {
    String text;
    bool separator = false, grayed = false, checked = false;
    bool operator==(const NativeItem&) const = default;
};

std::vector<NativeItem> Items(HMENU menu) {
    std::vector<NativeItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 64;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back(NativeItem{text, (info.fType & MFT_SEPARATOR) != 0, (info.fState & MFS_GRAYED) != 0,
                                   (info.fState & MFS_CHECKED) != 0});
    }
    return items;
}

class Menus : public ControlsTest {};

TEST_F(Menus, TheFormsMenuBarMirrorsTheItems) {
    auto form = Load(kMenus);
    form->Show();
    HMENU bar = GetMenu(form->Handle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar, Get<TMainMenu>(*form, L"MainMenu1")->Handle());
    EXPECT_EQ(Items(bar), (std::vector<NativeItem>{{L"System"}, {L"About"}}));
    // Hidden items are left out; "-" is a separator.
    EXPECT_EQ(Items(GetSubMenu(bar, 0)),
              (std::vector<NativeItem>{{L"Exist"}, {L"", true}, {L"Off", false, true}}));
}

TEST_F(Menus, ChangedItemsReachTheNativeMenu) {
    auto form = Load(kMenus);
    form->Show();
    HMENU system = GetSubMenu(GetMenu(form->Handle()), 0);
    Get<TMenuItem>(*form, L"N3")->SetVisible(true);
    Get<TMenuItem>(*form, L"N4")->SetCaption(L"Exit");
    Get<TMenuItem>(*form, L"N4")->SetChecked(true);
    EXPECT_EQ(Items(system), (std::vector<NativeItem>{
                                 {L"Exit", false, false, true}, {L"", true}, {L"Later"}, {L"Off", false, true}}));
    Get<TMenuItem>(*form, L"N1")->Delete(0);
    EXPECT_EQ(Items(system).size(), 3u);
}

TEST_F(Menus, ChoosingAnItemRunsItsOnClickUnlessItIsDisabled) {
    auto form = Load(kMenus);
    form->Show();
    auto* exist = Get<TMenuItem>(*form, L"N4");
    auto* off = Get<TMenuItem>(*form, L"N5");
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(exist->Command(), 0), 0);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(off->Command(), 0), 0);
    off->Click();
    Get<TMenuItem>(*form, L"N6")->Click();
    EXPECT_EQ(form->Events, (std::vector<String>{L"N4 click", L"N6 click"}));
}

TEST_F(Menus, RightClickOnAControlShowsItsPopupMenu) {
    auto form = Load(kMenus);
    form->Show();
    auto* edit = Get<TEdit>(*form, L"Edit1");
    auto* popup = Get<TPopupMenu>(*form, L"PopupMenu1");
    CloseMenuSoon();
    SendMessageW(edit->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageW(edit->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(form->Events, std::vector<String>{L"PopupMenu1 popup"});
    EXPECT_EQ(popup->PopupComponent(), edit);
    EXPECT_EQ(Items(popup->Handle()), std::vector<NativeItem>{{L"Clear"}});
}

TEST_F(Menus, ItemsGoWithTheirFormAndLeaveTheirMenu) {
    auto form = Load(kMenus);
    form->Show();
    auto* n1 = Get<TMenuItem>(*form, L"N1");
    HMENU system = GetSubMenu(GetMenu(form->Handle()), 0);
    delete Get<TMenuItem>(*form, L"N4");
    EXPECT_EQ(n1->Count(), 3);
    EXPECT_EQ(Items(system).size(), 2u);
    EXPECT_EQ(form->FindComponent(L"N4"), nullptr);
    form.reset(); // the rest goes with the form
}

} // namespace
