// A skinner's life: skin changes, unskinning, windows that go, skin components that go.
#include "form_fixture.h"

#include <framework/wndthunk.h>

#include <algorithm>
#include <string>

#include "skin_data/WinSkinStore.h"

namespace {

// A top-level window of a class of our own that is no framework form, shown.
struct TPlainWindow : TTopWindow {
    TPlainWindow() : TTopWindow(PlainClass, L"Plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 300, 200) {}
};

// What the form's window went through while it was shown: each paint, and whether the window was
// skinned then; each activation, and whether the window was on the screen then.
struct TShowingSeen {
    static inline HWND window = nullptr;
    static inline std::vector<std::string> events;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->hwnd == window) {
            const TWinSkinForm* skinner = SkinManager ? SkinManager->FindSkinForm(window) : nullptr;
            const char* look = skinner && skinner->State == fsSkinned ? " skinned" : " plain";
            if (sent->message == WM_NCPAINT) events.push_back(std::string("frame painted") + look);
            if (sent->message == WM_PAINT) events.push_back(std::string("client painted") + look);
            if (sent->message == WM_ACTIVATE && LOWORD(sent->wParam) != WA_INACTIVE)
                events.push_back(IsWindowVisible(window) ? "activated shown" : "activated hidden");
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static bool Saw(const std::string& event) {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    static std::string All() {
        std::string all;
        for (const std::string& event : events) all += (all.empty() ? "" : ", ") + event;
        return all;
    }
};

TEST_F(SkinnedFormTest, AFormShownNormallyIsSkinnedBeforeItAppearsAndPaintedOnlySkinned) {
    form_->HandleNeeded();
    const HWND window = form_->Handle();
    TShowingSeen::window = window;
    TShowingSeen::events.clear();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, TShowingSeen::Hook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    form_->Show();
    UnhookWindowsHookEx(hook);
    // Done when the showing returns, before any message is handled.
    TWinSkinForm* skinner = SkinManager->FindSkinForm(window);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->State, fsSkinned);
    EXPECT_TRUE(skinner->RegionSet);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
    for (const char* event : {"frame painted skinned", "client painted skinned", "activated shown"})
        EXPECT_TRUE(TShowingSeen::Saw(event)) << event << " not in: " << TShowingSeen::All();
    for (const char* event : {"frame painted plain", "client painted plain", "activated hidden"})
        EXPECT_FALSE(TShowingSeen::Saw(event)) << event << " in: " << TShowingSeen::All();
}

TEST_F(SkinnedFormTest, UnskinningGivesTheWindowBackItsProcedureFrameMenuAndShape) {
    form_->HandleNeeded();
    const HWND window = form_->Handle();
    const auto systemProc = GetWindowLongPtrW(window, GWLP_WNDPROC);
    const HMENU menu = GetMenu(window);
    ASSERT_NE(menu, nullptr);
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    RECT skinnedClient;
    GetClientRect(window, &skinnedClient);

    RunAction(saUnskin, data_.get());
    EXPECT_EQ(SkinManager->FindSkinForm(window), nullptr);
    EXPECT_FALSE(SkinManager->Active);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), systemProc);
    EXPECT_EQ(GetMenu(window), menu);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(SendMessageW(window, SKM_ISSKINNED, 0, 0), 1);
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(window, region.Get()), ERROR) << "no region";
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, skinnedClient.right) << "the client area keeps its size";
    EXPECT_EQ(client.bottom, skinnedClient.bottom);
    EXPECT_FALSE(popup_->OwnerDraw());
    EXPECT_FALSE(static_cast<bool>(popup_->Items()->Items(0)->OnDrawItem));

    // The form's own procedure works as before.
    form_->SetCaption(L"Unskinned");
    EXPECT_EQ(form_->Caption(), L"Unskinned");
}

TEST_F(SkinnedFormTest, AnotherSkinOfTheStoreIsAppliedToTheSkinnedWindow) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    TSkinStore store(nullptr);
    for (const char* file : {"skin1.skn", "skin3.skn"}) {
        const auto bytes = SkinFileBytes(file);
        store.Store()->Add()->DataStream()->WriteBuffer(bytes.data(),
                                                        static_cast<std::int64_t>(bytes.size()));
    }
    bool changed = false;
    data_->OnSkinChanged = [&](TObject*) { changed = true; };
    data_->LoadFromSkinStore(&store, 1); // the walnut skin: 5-pixel borders, a 26-pixel caption
    EXPECT_TRUE(skinner->SysButtons.empty()) << "caption buttons of the old skin go at once";
    ASSERT_TRUE(Pump(5000, [&] { return changed; }));
    EXPECT_EQ(SkinManager->FindSkinForm(form_->Handle()), skinner);
    EXPECT_EQ(skinner->BorderTop, 26);
    EXPECT_EQ(skinner->BorderLeft, 5);
    EXPECT_FALSE(skinner->SysButtons.empty());
    EXPECT_EQ(skinner->State, fsSkinned);
    RECT w, c;
    GetWindowRect(form_->Handle(), &w);
    GetClientRect(form_->Handle(), &c);
    MapWindowPoints(form_->Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&c), 2);
    EXPECT_EQ(c.left - w.left, 5);
    EXPECT_EQ(c.top - w.top, 26 + skinner->MenuBarHeight);
    EXPECT_EQ(form_->Color(), data_->Colours.ButtonFace);
    TWinSysButton* close = ButtonWithAction(0);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(HitTest(Centre(close->Rect)), HTCAPTION);
}

TEST_F(SkinnedFormTest, TheSkinnerOfADestroyedWindowIsPurged) {
    TPlainWindow plain;
    ASSERT_NE(plain.handle, nullptr);
    // Shown, it is activated: the hook skins it.
    TWinSkinForm* skinner = nullptr;
    Pump(2000, [&] { return (skinner = SkinManager->FindSkinForm(plain.handle)) != nullptr; });
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->Form, nullptr);
    EXPECT_FALSE(SkinManager->SkinWindow(plain.handle)) << "skinned once";
    Pump(1000, [&] { return skinner->State == fsSkinned; });
    EXPECT_EQ(skinner->State, fsSkinned);
    DestroyWindow(plain.handle);
    EXPECT_EQ(skinner->State, fsGone);
    SkinManager->PurgeForms();
    EXPECT_EQ(SkinManager->FindSkinForm(plain.handle), nullptr);

    // A skinned form that is freed takes its skinner with it.
    ASSERT_NE(ShowSkinned(), nullptr);
    const HWND formWindow = form_->Handle();
    form_.reset();
    EXPECT_EQ(SkinManager->FindSkinForm(formWindow), nullptr);
}

TEST_F(SkinnedFormTest, ASkinComponentThatGoesTakesItsSkinOffItsWindows) {
    form_->HandleNeeded();
    const auto systemProc = GetWindowLongPtrW(form_->Handle(), GWLP_WNDPROC);
    ASSERT_NE(ShowSkinned(), nullptr);
    data_.reset();
    EXPECT_EQ(SkinManager->FindSkinForm(form_->Handle()), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(form_->Handle(), GWLP_WNDPROC), systemProc);
    RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

TEST_F(SkinnedFormTest, WithoutTheMainMenuKindOnlyTheControlsAreSkinned) {
    data_->SetSkinControls(data_->SkinControls() - TSkinControlTypes{xcMainMenu});
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    EXPECT_FALSE(skinner->FrameSkinning);
    EXPECT_NE(GetMenu(form_->Handle()), nullptr);
    EXPECT_EQ(GetWindowLongW(form_->Handle(), GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(SendMessageW(form_->Handle(), SKM_ISSKINNED, 0, 0), 1);
}

// A window procedure made of a thunk calls its object's method, also in a chain of thunks on one
// window, and may be freed by the call it runs.
struct TChainLink {
    HWND window = nullptr;
    WNDPROC previous = nullptr;
    std::unique_ptr<TWndProcThunk> thunk;
    int seen = 0;
    bool freeOnApp = false;
    void Proc(TMessage& m) {
        if (m.Msg == WM_APP) ++seen;
        const WNDPROC next = previous;
        if (m.Msg == WM_APP && freeOnApp) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            thunk.reset();
        }
        m.Result = CallWindowProcW(next, window, m.Msg, m.WParam, m.LParam);
    }
    void Attach(HWND w) {
        window = w;
        thunk = TWndProcThunk::Make<&TChainLink::Proc>(this);
        previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(thunk->Proc())));
    }
};

TEST(WndProcThunk, ChainsOnOneWindowAndMayBeFreedByItsOwnCall) {
    TPlainWindow plain;
    TChainLink inner, outer;
    inner.Attach(plain.handle);
    outer.Attach(plain.handle);
    outer.freeOnApp = true;
    SendMessageW(plain.handle, WM_APP, 0, 0);
    EXPECT_EQ(outer.seen, 1);
    EXPECT_EQ(inner.seen, 1);
    EXPECT_EQ(outer.thunk, nullptr);
    SendMessageW(plain.handle, WM_APP, 0, 0);
    EXPECT_EQ(outer.seen, 1);
    EXPECT_EQ(inner.seen, 2);
    SetWindowLongPtrW(plain.handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inner.previous));
}

} // namespace
