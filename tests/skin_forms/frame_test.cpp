// The skinned frame: client area inside the skin's borders, hit tests, caption buttons and region.
#include "form_fixture.h"

namespace {

TEST_F(SkinnedFormTest, TheFormIsSkinnedWhenItIsActivated) {
    form_->HandleNeeded();
    const HWND window = form_->Handle();
    const auto systemProc = GetWindowLongPtrW(window, GWLP_WNDPROC);
    RECT client0;
    GetClientRect(window, &client0);

    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(SendMessageW(window, SKM_ISSKINNED, 0, 0), 1);
    EXPECT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), systemProc);
    EXPECT_EQ(GetMenu(window), nullptr) << "the skin draws the menu bar";
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(skinner->Form, form_.get());

    // The Standard skin: 4-pixel borders, a 24-pixel caption.
    EXPECT_EQ(skinner->BorderLeft, 4);
    EXPECT_EQ(skinner->BorderRight, 4);
    EXPECT_EQ(skinner->BorderBottom, 4);
    EXPECT_EQ(skinner->BorderTop, 24);
    EXPECT_EQ(skinner->MenuBarHeight, GetSystemMetrics(SM_CYMENU));

    RECT w, c;
    GetWindowRect(window, &w);
    GetClientRect(window, &c);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&c), 2);
    EXPECT_EQ(c.left - w.left, skinner->BorderLeft);
    EXPECT_EQ(c.top - w.top, skinner->BorderTop + skinner->MenuBarHeight);
    EXPECT_EQ(w.right - c.right, skinner->BorderRight);
    EXPECT_EQ(w.bottom - c.bottom, skinner->BorderBottom);
    EXPECT_EQ(c.right - c.left, client0.right) << "the client width is kept";

    RECT r{0, 0, 100, 100};
    EXPECT_EQ(SendMessageW(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r)), 0);
}

TEST_F(SkinnedFormTest, HitTestsOfCaptionMenuBarAndClient) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    TWinSysButton* close = ButtonWithAction(0);
    ASSERT_NE(close, nullptr);
    const POINT onClose = Centre(close->Rect);
    EXPECT_EQ(HitTest(onClose), HTCAPTION) << "caption buttons are the skinner's, not the system's";
    EXPECT_EQ(skinner->SysButtonAt(onClose), close);
    EXPECT_NE(ButtonWithAction(1), nullptr) << "maximize";
    EXPECT_NE(ButtonWithAction(2), nullptr) << "minimize";

    const POINT onCaption{skinner->WindowWidth / 2, skinner->BorderTop / 2};
    EXPECT_EQ(HitTest(onCaption), HTCAPTION);
    EXPECT_EQ(skinner->SysButtonAt(onCaption), nullptr);

    ASSERT_TRUE(skinner->MenuBar);
    ASSERT_EQ(skinner->MenuBar->Buttons.size(), 3u);
    TMenuBtn* file = skinner->MenuBar->Buttons[0].get();
    EXPECT_EQ(file->Caption, L"File");
    EXPECT_EQ(HitTest(Centre(file->Rect)), HTMENU);
    EXPECT_EQ(skinner->MenuBar->ButtonAt(Centre(file->Rect)), file);
    EXPECT_GT(skinner->MenuBar->Buttons[1]->Rect.left, file->Rect.left);

    EXPECT_EQ(HitTest(POINT{skinner->WindowWidth / 2, skinner->WindowHeight / 2}), HTCLIENT);
}

TEST_F(SkinnedFormTest, TheRegionLeavesOutTheRoundedCorners) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    EXPECT_TRUE(skinner->RegionSet);
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(form_->Handle(), region.Get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.Get(), 0, 0)) << "the top-left corner is keyed out";
    EXPECT_TRUE(PtInRegion(region.Get(), skinner->WindowWidth / 2, 2));
    EXPECT_TRUE(PtInRegion(region.Get(), skinner->WindowWidth / 2, skinner->WindowHeight / 2));

    // A new size makes a new region.
    SetWindowPos(form_->Handle(), nullptr, 0, 0, 500, 360, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(skinner->RegionWidth, 500);
    EXPECT_EQ(skinner->RegionHeight, 360);
}

TEST_F(SkinnedFormTest, CaptionButtonsFollowTheMouseAndActOnRelease) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    TWinSysButton* minimize = ButtonWithAction(2);
    ASSERT_NE(minimize, nullptr);
    const POINT at = Centre(minimize->Rect);

    SendNC(WM_NCMOUSEMOVE, at);
    EXPECT_EQ(skinner->HotObject, minimize);
    EXPECT_EQ(minimize->State, nsHot);
    SendNC(WM_NCMOUSEMOVE, POINT{skinner->WindowWidth / 2, skinner->BorderTop / 2});
    EXPECT_EQ(skinner->HotObject, nullptr);
    EXPECT_EQ(minimize->State, nsNormal);

    SendNC(WM_NCLBUTTONDOWN, at);
    EXPECT_EQ(minimize->State, nsPressed);
    EXPECT_FALSE(IsIconic(form_->Handle())) << "nothing happens before the button comes up";
    SendNC(WM_NCLBUTTONUP, at);
    EXPECT_TRUE(Pump(5000, [&] { return IsIconic(form_->Handle()) != FALSE; }));
    EXPECT_EQ(skinner->ShowState, ssMinimized);
    ShowWindow(form_->Handle(), SW_RESTORE);
    EXPECT_TRUE(Pump(5000, [&] { return skinner->ShowState == ssNormal; }));
}

TEST_F(SkinnedFormTest, CloseAndMaximizeButtons) {
    RecordCloseRequests();
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    auto click = [&](TWinSysButton* button) {
        ASSERT_NE(button, nullptr);
        SendNC(WM_NCLBUTTONDOWN, Centre(button->Rect));
        SendNC(WM_NCLBUTTONUP, Centre(button->Rect));
    };
    click(ButtonWithAction(0));
    EXPECT_TRUE(Pump(5000, [&] { return CloseAsked; })) << "close posts SC_CLOSE";

    click(ButtonWithAction(1));
    EXPECT_TRUE(Pump(5000, [&] { return IsZoomed(form_->Handle()) != FALSE; }));
    EXPECT_EQ(skinner->ShowState, ssMaximized);
    // Maximized, the same place holds the restore button.
    Pump(200);
    click(ButtonWithAction(1));
    EXPECT_TRUE(Pump(5000, [&] { return !IsZoomed(form_->Handle()); }));
}

TEST_F(SkinnedFormTest, DoubleClickOnTheCaptionMaximizesAndRestores) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    const POINT caption{skinner->WindowWidth / 2, skinner->BorderTop / 2};
    SendNC(WM_NCLBUTTONDBLCLK, caption);
    EXPECT_TRUE(Pump(5000, [&] { return IsZoomed(form_->Handle()) != FALSE; }));
    SendNC(WM_NCLBUTTONDBLCLK, caption);
    EXPECT_TRUE(Pump(5000, [&] { return !IsZoomed(form_->Handle()); }));
}

TEST_F(SkinnedFormTest, AnInactiveWindowIgnoresTheMouseOverItsButtons) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    EXPECT_TRUE(skinner->HoverTimerComponent()->Enabled());
    EXPECT_EQ(SendMessageW(form_->Handle(), WM_NCACTIVATE, FALSE, 0), 1);
    EXPECT_FALSE(skinner->Active);
    EXPECT_FALSE(skinner->HoverTimerComponent()->Enabled());
    TWinSysButton* close = ButtonWithAction(0);
    ASSERT_NE(close, nullptr);
    const POINT s = ScreenPoint(Centre(close->Rect));
    SendMessageW(form_->Handle(), WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(s.x, s.y));
    EXPECT_EQ(skinner->HotObject, nullptr);
    SendMessageW(form_->Handle(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(skinner->Active);
    SendNC(WM_NCMOUSEMOVE, Centre(close->Rect));
    EXPECT_EQ(skinner->HotObject, close);
}

TEST_F(SkinnedFormTest, ACaptionButtonFreedWhileHotIsForgotten) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    TWinSysButton* close = ButtonWithAction(0);
    ASSERT_NE(close, nullptr);
    SendNC(WM_NCMOUSEMOVE, Centre(close->Rect));
    ASSERT_EQ(skinner->HotObject, close);
    SkinManager->ActionSkinData = data_.get();
    SkinManager->ClearSysButtons();
    EXPECT_TRUE(skinner->SysButtons.empty());
    EXPECT_EQ(skinner->HotObject, nullptr);
    SendNC(WM_NCMOUSEMOVE, POINT{skinner->WindowWidth / 2, skinner->BorderTop / 2});
    RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    SkinManager->ActionSkinData = nullptr;
}

TEST_F(SkinnedFormTest, EachMessageOfANewSizeReachesTheFormOnce) {
    // Shared: the form (and this procedure) outlives the test's body.
    auto sizes = std::make_shared<int>(0);
    TWndMethod original = form_->WindowProc;
    form_->WindowProc = [sizes, original](TMessage& m) {
        if (m.Msg == WM_SIZE) ++*sizes;
        original(m);
    };
    ASSERT_NE(ShowSkinned(), nullptr);
    *sizes = 0;
    SetWindowPos(form_->Handle(), nullptr, 0, 0, 480, 330, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(*sizes, 1);
}

} // namespace
