// The skinned menu bar and the popup menus: tracking, keyboard, the context and the system menu.
#include "form_fixture.h"

#include "skin_forms/WinSkinMenu.h"

namespace {

bool Has(const std::vector<String>& list, const String& s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

TEST_F(SkinnedFormTest, AMenuBarButtonOpensItsPopupWithTheFirstItemSelected) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    TMenuBtn* file = skinner->MenuBar->Buttons[0].get();
    QueueMenuKeys({VK_DOWN, VK_RETURN});
    SendNC(WM_NCLBUTTONDOWN, Centre(file->Rect));
    EXPECT_TRUE(Pump(3000, [&] { return Has(Clicks, L"Close"); }));
    EXPECT_FALSE(Has(Clicks, L"Open"));
    EXPECT_TRUE(Has(Clicks, L"File")) << "the top-level item's own command comes first";
    EXPECT_TRUE(Seen.open);
    EXPECT_TRUE(Seen.skinned);
    EXPECT_EQ(Seen.popupMode, 1);
    EXPECT_TRUE(Seen.filterHook);
    EXPECT_EQ(MenuTracking.FilterHook, nullptr) << "the filter hook goes with the popup";
    EXPECT_FALSE(skinner->MenuTrackingOn);
    EXPECT_EQ(SkinManager->PopupMode, 0);
}

TEST_F(SkinnedFormTest, ArrowKeysMoveToTheNeighbouringMenus) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    const struct {
        std::vector<UINT> keys;
        const wchar_t* chosen;
    } cases[] = {{{VK_RIGHT, VK_RETURN}, L"Copy"}, {{VK_LEFT, VK_RETURN}, L"About"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        Clicks.clear();
        QueueMenuKeys(c.keys);
        SendNC(WM_NCLBUTTONDOWN, Centre(skinner->MenuBar->Buttons[0]->Rect));
        EXPECT_TRUE(Pump(3000, [&] { return Has(Clicks, c.chosen); }));
        EXPECT_FALSE(Has(Clicks, L"Open"));
        EXPECT_EQ(MenuTracking.FilterHook, nullptr);
    }
}

TEST_F(SkinnedFormTest, TheRightArrowOnAnItemOfAnOpenSubmenuMovesToTheNextMenu) {
    TMenuItem* recent = AddItem(menu_->Items()->Items(0), L"Recent");
    AddItem(recent, L"One");
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    // Up wraps round to Recent, Right opens it with One selected, Right again leaves for Edit.
    QueueMenuKeys({VK_UP, VK_RIGHT, VK_RIGHT, VK_RETURN});
    SendNC(WM_NCLBUTTONDOWN, Centre(skinner->MenuBar->Buttons[0]->Rect));
    EXPECT_TRUE(Pump(3000, [&] { return Has(Clicks, L"Copy"); }));
    EXPECT_FALSE(Has(Clicks, L"One"));
    EXPECT_EQ(MenuTracking.FilterHook, nullptr);
}

TEST_F(SkinnedFormTest, TheMouseOverAnotherButtonOfTheBarOpensItsMenu) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    const POINT edit = ScreenPoint(Centre(skinner->MenuBar->Buttons[1]->Rect));
    POINT before;
    GetCursorPos(&before);
    UINT_PTR poll = 0;
    InMenu = [&](HWND popup) {
        if (!popup) return;
        // A move over Edit, as the system reports it to the menu's loop.
        SetCursorPos(edit.x, edit.y);
        PostMessageW(popup, WM_MOUSEMOVE, 0, 0);
        // Edit's menu, once open, is closed.
        poll = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
            if (MenuTracking.ButtonIndex == 1 && ThreadPopupMenu()) EndMenu();
        });
    };
    QueueMenuKeys({});
    SendNC(WM_NCLBUTTONDOWN, Centre(skinner->MenuBar->Buttons[0]->Rect));
    if (poll) KillTimer(nullptr, poll);
    SetCursorPos(before.x, before.y);
    EXPECT_TRUE(Has(Clicks, L"Edit")) << "Edit's menu opened after File's";
    EXPECT_FALSE(skinner->MenuTrackingOn);
}

TEST_F(SkinnedFormTest, AltAloneLetsTheKeyboardChooseFromTheBar) {
    ASSERT_NE(ShowSkinned(), nullptr);
    PostMessageW(form_->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    QueueMenuKeys({VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(Pump(5000, [&] { return Has(Clicks, L"About"); }));
    EXPECT_EQ(GetMenu(form_->Handle()), nullptr) << "the system's menu loop was not entered";
}

TEST_F(SkinnedFormTest, AnAcceleratorOfTheBarIsFound) {
    menu_->Items()->Items(2)->SetCaption(L"&Help");
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->MenuButtonByAccel(L'h'), skinner->MenuBar->Buttons[2].get());
    EXPECT_EQ(skinner->MenuButtonByAccel(L'f'), nullptr) << "File has no accelerator";
    // Taken by the bar: the system's menu loop is not entered.
    EXPECT_EQ(SendMessageW(form_->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'h'), 1);
}

TEST_F(SkinnedFormTest, TheContextMenuIsSkinnedAndOwnerDrawn) {
    ASSERT_NE(ShowSkinned(), nullptr);
    EXPECT_TRUE(popup_->OwnerDraw());
    EXPECT_TRUE(static_cast<bool>(popup_->Items()->Items(0)->OnDrawItem));
    QueueMenuKeys({VK_DOWN, VK_DOWN, VK_RETURN});
    popup_->Popup(300, 300);
    EXPECT_TRUE(Pump(3000, [&] { return Has(Clicks, L"Save"); })) << "the separator is skipped";
    EXPECT_TRUE(Seen.skinned);
    EXPECT_EQ(Seen.popupMode, 0);
    EXPECT_FALSE(SkinManager->IsPopupMenuSkinned(ThreadPopupMenu()));
}

TEST_F(SkinnedFormTest, TheSystemMenuOpensOnTheCaptionAndClosesTheWindow) {
    RecordCloseRequests();
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    ASSERT_TRUE(skinner->SystemPopupMenu);
    EXPECT_EQ(skinner->SystemPopupMenu->Items()->Count(), 5); // restore, maximize, minimize, line, close
    QueueMenuKeys({VK_UP, VK_RETURN});
    SendNC(WM_NCRBUTTONDOWN, POINT{skinner->WindowWidth / 2, skinner->BorderTop / 2});
    EXPECT_TRUE(Pump(3000, [&] { return CloseAsked; }));
    EXPECT_TRUE(Seen.skinned);
    EXPECT_EQ(Seen.popupMode, 2);
    EXPECT_FALSE(skinner->SystemPopupMenu->Items()->Items(0)->Enabled()) << "restore, in a normal window";
}

TEST_F(SkinnedFormTest, ExtraSeparatorsAreHiddenAndShownAgain) {
    TPopupMenu menu(nullptr);
    TMenuItem* root = menu.Items();
    std::vector<TMenuItem*> items;
    for (const wchar_t* caption : {L"-", L"A", L"-", L"-", L"B", L"-"}) {
        items.push_back(new TMenuItem(&menu));
        items.back()->SetCaption(caption);
        root->Add(items.back());
    }
    auto visible = [&] {
        std::wstring shown;
        for (TMenuItem* item : items) shown += item->Visible() ? item->Caption() : L".";
        return shown;
    };
    HideExtraSeparators(root);
    EXPECT_EQ(visible(), L".A.-B.");
    items[4]->SetVisible(false); // B goes: the line before it is not needed
    HideExtraSeparators(root);
    EXPECT_EQ(visible(), L".A....");
    items[4]->SetVisible(true);
    HideExtraSeparators(root);
    EXPECT_EQ(visible(), L".A.-B.");
}

} // namespace
