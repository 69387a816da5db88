#include "skin_fixtures.h"

#include <framework/forms.h>

#include "skin_forms/WinSkinForm.h"

namespace {

// A plain window of a class of the system (or of our own) that is destroyed with the object.
struct TWindow {
    HWND handle;
    TWindow(const wchar_t* className, DWORD style, HWND parent = nullptr)
        : handle(CreateWindowExW(0, className, L"test", style, 10, 10, 200, 100, parent, nullptr, nullptr,
                                 nullptr)) {}
    ~TWindow() {
        if (handle) DestroyWindow(handle);
    }
};

class SkinManagerTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        CreateSkinManager();
    }
    // A registered component of the given kind, owned by owner.
    TSkinData* Register(TComponent* owner, TSkinFormType type) {
        auto* data = new TSkinData(owner);
        data->SetSkinFormtype(type);
        components_.push_back(std::unique_ptr<TSkinData>(owner ? nullptr : data));
        SkinManager->AddSkinData(data);
        return data;
    }
    std::vector<std::unique_ptr<TSkinData>> components_;
};

TEST_F(SkinManagerTest, ActionsWaitForTheFirstActivation) {
    TSkinManage& m = *SkinManager;
    EXPECT_EQ(m.ActivationCount, 0);
    m.ScheduleAction(saSkinAll, 250);
    EXPECT_TRUE(m.Active);
    EXPECT_FALSE(m.ActionTimer()->Enabled());
    EXPECT_EQ(m.PendingAction, saSkinAll);
    m.ScheduleAction(saUnskin, 250);
    EXPECT_FALSE(m.Active);
    m.ScheduleAction(saRefresh, 250);
    EXPECT_FALSE(m.Active);
    m.ActivationCount = 1;
    m.ScheduleAction(saSkinAll, 300);
    EXPECT_TRUE(m.ActionTimer()->Enabled());
    EXPECT_EQ(m.ActionTimer()->Interval(), 300u);
    EXPECT_FALSE(m.Active); // the timer switches it on
}

TEST_F(SkinManagerTest, TheTimerRunsThePendingActionOnceAndTellsTheComponent) {
    TSkinManage& m = *SkinManager;
    TSkinData* data = Register(nullptr, sfMainform);
    std::vector<TObject*> changed;
    data->OnSkinChanged = [&](TObject* sender) { changed.push_back(sender); };
    m.ActivationCount = 1;
    const struct {
        int action;
        bool active;
    } cases[] = {{saSkinAll, true}, {saUnskin, false}, {saPurge, false}, {saRefresh, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        changed.clear();
        m.ActionSkinData = data;
        m.ScheduleAction(c.action, 250);
        EXPECT_TRUE(WaitMessagesFor(5000, [&] { return !changed.empty(); }));
        ASSERT_EQ(changed, std::vector<TObject*>{data});
        EXPECT_EQ(m.ActionSkinData, nullptr);
        EXPECT_FALSE(m.ActionTimer()->Enabled());
        EXPECT_EQ(m.Active, c.active);
        EXPECT_FALSE(m.Bulk);
    }
}

TEST_F(SkinManagerTest, ATickWithoutActionSkinDataDoesNothing) {
    TSkinManage& m = *SkinManager;
    m.ActivationCount = 1;
    m.ScheduleAction(saUnskin, 250);
    m.Active = true;
    m.TimerAction(m.ActionTimer());
    EXPECT_TRUE(m.ActionTimer()->Enabled());
    EXPECT_TRUE(m.Active);
}

TEST_F(SkinManagerTest, AHandlerMayScheduleTheNextAction) {
    TSkinManage& m = *SkinManager;
    TSkinData* data = Register(nullptr, sfMainform);
    m.ActivationCount = 1;
    data->OnSkinChanged = [&](TObject*) {
        if (m.PendingAction != saPurge) return;
        m.ActionSkinData = data;
        m.ScheduleAction(saRefresh, 250);
    };
    m.ActionSkinData = data;
    m.PendingAction = saPurge;
    m.TimerAction(m.ActionTimer());
    EXPECT_EQ(m.ActionSkinData, data);
    EXPECT_EQ(m.PendingAction, saRefresh);
    EXPECT_TRUE(m.ActionTimer()->Enabled());
}

TEST_F(SkinManagerTest, RegistrationAndTheMainSkinData) {
    TSkinManage& m = *SkinManager;
    TSkinData* dialog = Register(nullptr, sfDialog);
    EXPECT_EQ(m.MainSkinData, nullptr);
    TSkinData* first = Register(nullptr, sfMainform);
    TSkinData* second = Register(nullptr, sfMainform);
    m.AddSkinData(first); // listed once
    EXPECT_EQ(m.SkinDataList(), (std::vector<TSkinData*>{dialog, first, second}));
    EXPECT_EQ(m.MainSkinData, first);
    m.RemoveSkinData(first);
    EXPECT_EQ(m.MainSkinData, second);
    m.RemoveSkinData(dialog);
    m.RemoveSkinData(dialog);
    EXPECT_EQ(m.SkinDataList(), std::vector<TSkinData*>{second});
}

TEST_F(SkinManagerTest, CanSkinAsksTheMainSkinData) {
    TSkinManage& m = *SkinManager;
    EXPECT_TRUE(m.CanSkin(L"SysMonthCal32")); // no main skin data
    TSkinData* main = Register(nullptr, sfMainform);
    EXPECT_FALSE(m.CanSkin(L"SysMonthCal32"));
    EXPECT_TRUE(m.CanSkin(L"TForm1"));
    main->OnFormSkin = [](TObject*, String, bool& doSkin) { doSkin = false; };
    EXPECT_FALSE(m.CanSkin(L"TForm1"));
}

TEST_F(SkinManagerTest, FindSkinDataByTheWindow) {
    TSkinManage& m = *SkinManager;
    TWindow plain(L"STATIC", WS_POPUP);
    TWindow dialogWindow(L"#32770", WS_POPUP);
    ASSERT_NE(plain.handle, nullptr);
    ASSERT_NE(dialogWindow.handle, nullptr);
    EXPECT_EQ(m.FindSkinData(plain.handle), nullptr);
    TSkinData* firstDialog = Register(nullptr, sfDialog);
    EXPECT_EQ(m.FindSkinData(plain.handle), firstDialog); // the first registered one
    TSkinData* main = Register(nullptr, sfMainform);
    TSkinData* lastMain = Register(nullptr, sfMainform);
    EXPECT_EQ(m.FindSkinData(plain.handle), lastMain);
    TSkinData* lastDialog = Register(nullptr, sfDialog);
    EXPECT_EQ(m.FindSkinData(dialogWindow.handle), lastDialog);
    EXPECT_EQ(m.FindSkinData(plain.handle), lastMain);
    auto form = std::make_unique<TForm>(nullptr);
    TSkinData* own = Register(form.get(), sfOnlyThisForm);
    form->HandleNeeded();
    EXPECT_EQ(m.FindSkinData(form->Handle()), own);
    EXPECT_EQ(m.FindSkinData(plain.handle), lastMain);
    (void)main;
    m.RemoveSkinData(own);
}

TEST_F(SkinManagerTest, WindowKinds) {
    auto form = std::make_unique<TForm>(nullptr);
    form->HandleNeeded();
    TWindow top(L"STATIC", WS_POPUP);
    TWindow child(L"STATIC", WS_CHILD, top.handle);
    EXPECT_EQ(TSkinManage::FindScreenForm(form->Handle()), form.get());
    EXPECT_EQ(TSkinManage::FindScreenForm(top.handle), nullptr);
    EXPECT_TRUE(TSkinManage::IsNonMDIChild(child.handle));
    EXPECT_FALSE(TSkinManage::IsNonMDIChild(top.handle));
    form->Show();
    const auto forms = TSkinManage::ScreenForms();
    EXPECT_NE(std::find(forms.begin(), forms.end(), form.get()), forms.end());
}

TEST(SkinWindowText, TextAndClassOfAWindow) {
    TWindow window(L"STATIC", WS_POPUP);
    SetWindowTextW(window.handle, L"Stype 中文");
    EXPECT_EQ(GetWindowTextString(window.handle), L"Stype 中文");
    EXPECT_EQ(GetWindowTextByMessage(window.handle).substr(0, 6), "Stype ");
    EXPECT_EQ(GetWindowClassString(window.handle), "Static");
    SetWindowTextW(window.handle, L"");
    EXPECT_EQ(GetWindowTextString(window.handle), L"");
}

TEST_F(SkinManagerTest, TheFirstActivationIsCountedEvenWhileSkinningIsOff) {
    TSkinManage& m = *SkinManager;
    m.InstallHook();
    ASSERT_NE(m.HookHandle(), nullptr);
    const HHOOK hook = m.HookHandle();
    m.InstallHook(); // one hook serves all
    EXPECT_EQ(m.HookHandle(), hook);
    EXPECT_FALSE(m.Active);
    TWindow window(L"STATIC", WS_POPUP | WS_VISIBLE);
    SetActiveWindow(window.handle);
    WaitMessagesFor(200, [] { return false; });
    EXPECT_EQ(m.ActivationCount, 1);
    // While skinning is off no window is skinned.
    EXPECT_FALSE(m.SkinWindow(window.handle));
}

} // namespace
