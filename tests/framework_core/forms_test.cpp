#include "fixtures.h"

#include <framework/childcreation.h>
#include <framework/forms.h>
#include <framework/showseam.h>
#include <framework/sysutils.h>
#include <framework/startup.h>
#include <framework/timer.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

// A control over the system BUTTON class: its clicks come back reflected from the parent.
class TSampleButton : public TWinControl {
public:
    explicit TSampleButton(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 75, 25); }
    void WndProc(TMessage& m) override {
        if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        TWinControl::WndProc(m);
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.WinClassName = L"BUTTON";
        p.OwnClass = false;
        p.Style |= BS_PUSHBUTTON;
    }
};

class TShellForm : public TForm {
public:
    explicit TShellForm(TComponent* owner) : TForm(owner) {
        BindField(L"Box1", Box1);
        BindField(L"Hidden", Hidden);
        BindField(L"Mark1", Mark1);
        BindHandler(L"FormDestroy", this, &TShellForm::FormDestroy);
        BindHandler(L"FormClose", this, &TShellForm::FormClose);
    }
    TSampleBox* Box1 = nullptr;
    TSampleBox* Hidden = nullptr;
    TSampleMark* Mark1 = nullptr;
    std::vector<String>* Events = nullptr;
    void FormDestroy(TObject*) {
        if (Events) Events->push_back(L"destroy, box count " + IntToStr(Box1->Count()));
    }
    void FormClose(TObject*, TCloseAction&) {
        if (Events) Events->push_back(L"close");
    }
};

const char* const kShell = R"(object ShellForm: TShellForm
  Caption = 'Shell'
  ClientWidth = 300
  ClientHeight = 200
  Position = poScreenCenter
  BorderIcons = [biSystemMenu, biMinimize]
  OnDestroy = FormDestroy
  OnClose = FormClose
  object Box1: TSampleBox
    Left = 10
    Top = 20
    Width = 100
    Height = 40
    Caption = 'before'
    Count = 4
    object Mark1: TSampleMark
      Left = 5
      Top = 5
      Width = 20
      Height = 20
    end
  end
  object Hidden: TSampleBox
    Left = 120
    Visible = False
  end
end
)";

class Gui : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSampleClasses();
        Application->Initialize();
        Application->ClearTerminated();
    }
    void TearDown() override {
        Application->ClearTerminated();
        Application->ProcessMessages();
        Application->ClearTerminated();
    }
    static std::unique_ptr<TShellForm> Shell() {
        return std::unique_ptr<TShellForm>(NewFormFromText<TShellForm>(nullptr, kShell));
    }
};

// Runs fn once from a timer while the test waits in a message loop.
class Later {
public:
    Later(unsigned ms, std::function<void()> fn) : timer_(nullptr), fn_(std::move(fn)) {
        timer_.SetInterval(ms);
        timer_.OnTimer = [this](TObject*) {
            timer_.SetEnabled(false);
            fn_();
        };
    }

private:
    TTimer timer_;
    std::function<void()> fn_;
};

ULONGLONG ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME f) {
        return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000;
    };
    return ms(kernel) + ms(user);
}

TEST_F(Gui, ProcessMessagesHandlesWhatWaitsAndKeepsAQuit) {
    int seen = 0;
    HWND window = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_APP + 1) ++seen;
    });
    PostMessageW(window, WM_APP + 1, 0, 0);
    PostQuitMessage(3);
    Application->ProcessMessages();
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(Application->Terminated());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit message was swallowed";
    EXPECT_EQ(msg.wParam, 3u);
    DeallocateHWnd(window);
}

TEST_F(Gui, WaitEndsEarlyWhenDoneAndOtherwiseAfterItsTime) {
    bool done = false;
    Later later(50, [&] { done = true; });
    ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(WaitMessagesFor(10000, [&] { return done; }));
    EXPECT_LT(GetTickCount64() - start, 5000u);

    start = GetTickCount64();
    EXPECT_FALSE(WaitMessagesFor(300, [] { return false; }));
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_GE(took, 290u);
    EXPECT_LT(took, 5000u);
}

// A port reporting faster than its blocks are logged keeps the queue from ever being empty: the
// wait must still end at its time, not when the messages stop.
TEST_F(Gui, WaitEndsAtItsTimeWhileMessagesKeepComing) {
    constexpr int kStream = 3000; // each takes 1 ms: a wait that drains them all takes 3 s
    int handled = 0;
    HWND window = nullptr;
    window = AllocateHWnd([&](TMessage& m) {
        if (m.Msg != WM_APP + 2) return;
        const ULONGLONG until = GetTickCount64() + 1;
        while (GetTickCount64() <= until) {
        }
        if (++handled < kStream) PostMessageW(window, WM_APP + 2, 0, 0);
    });
    PostMessageW(window, WM_APP + 2, 0, 0);
    EXPECT_FALSE(WaitMessagesFor(50, [] { return false; }));
    EXPECT_LT(handled, kStream) << "the wait lasted until the stream ended";
    EXPECT_GE(handled, 1);
    DeallocateHWnd(window);
}

TEST_F(Gui, WaitSleepsInsteadOfSpinning) {
    ULONGLONG cpu = ThreadCpuMs();
    WaitMessagesFor(1000, [] { return false; });
    EXPECT_LT(ThreadCpuMs() - cpu, 100u);
}

TEST_F(Gui, WaitEndsWhenTheApplicationTerminates) {
    Later later(50, [] { Application->Terminate(); });
    ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(WaitMessagesFor(10000, [] { return false; }));
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(Gui, AnExceptionInAnEventReachesTheReportAndTheProgramGoesOn) {
    ReportRecorder report;
    int ticks = 0;
    TTimer timer(nullptr);
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 1) StrToInt(L"abc");
        if (ticks == 2) Abort(); // silent
        if (ticks == 3) throw EInvalidOperation(L"Done!");
        if (ticks == 4) throw std::runtime_error("plain");
    };
    WaitMessagesFor(10000, [&] { return ticks >= 5; });
    EXPECT_EQ(report.Texts,
              (std::vector<String>{L"'abc' is not a valid integer value.", L"Done!", L"plain."}));
}

TEST_F(Gui, AStartUpThatThrowsIsReportedWhateverItThrows) {
    struct Case {
        const char* what;
        std::function<void()> steps;
        bool started;
        std::vector<String> texts;
    };
    const Case cases[] = {
        {"nothing thrown", [] {}, true, {}},
        {"the framework's exception",
         [] { throw EReadError(L"Stream read error"); },
         false,
         {L"Stream read error."}},
        {"a standard exception",
         [] { throw std::runtime_error("LZH : Compressed data ends early"); },
         false,
         {L"LZH : Compressed data ends early."}},
        {"an allocation failure", [] { throw std::bad_alloc(); }, false, {L"std::bad_alloc."}},
        {"an abort", [] { Abort(); }, false, {}},
        {"anything else", [] { throw 3; }, false, {L"Unknown exception."}},
    };
    for (const Case& c : cases) {
        ReportRecorder report;
        EXPECT_EQ(RunStartUp(c.steps), c.started) << c.what;
        EXPECT_EQ(report.Texts, c.texts) << c.what;
    }
}

TEST_F(Gui, ControlsKeepPropertiesUntilTheirWindowsExist) {
    auto form = Shell();
    TSampleBox* box = form->Box1;
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(box->HandleAllocated());
    box->SetCaption(L"kept");
    box->SetEnabled(false);
    form->Show();
    ASSERT_TRUE(box->HandleAllocated());
    HWND h = box->Handle();
    wchar_t text[32] = {};
    GetWindowTextW(h, text, 32);
    EXPECT_STREQ(text, L"kept");
    EXPECT_FALSE(IsWindowEnabled(h));
    EXPECT_EQ(GetParent(h), form->Handle());
    GetClassNameW(h, text, 32);
    EXPECT_STREQ(text, L"TSampleBox");
    GetClassNameW(form->Handle(), text, 32);
    EXPECT_STREQ(text, L"TShellForm");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), box->Font()->Handle());
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom - r.top, 40);
    // The window's text is the control's text from now on.
    SetWindowTextW(h, L"typed");
    EXPECT_EQ(box->Caption(), L"typed");
    box->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(h));
    // A hidden control gets its window only when it is shown (or asked for).
    EXPECT_FALSE(form->Hidden->HandleAllocated());
    form->Hidden->SetVisible(true);
    EXPECT_TRUE(form->Hidden->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(form->Hidden->Handle()));
}

// Records the calls of the child-creation seam and what had windows at each call.
struct SeamLog {
    static inline std::vector<String> calls;
    static inline TShellForm* form = nullptr;
    static String State(const wchar_t* what) {
        return String(what) + L" form " + (form->HandleAllocated() ? L"1" : L"0") + L" box " +
               (form->Box1->HandleAllocated() ? L"1" : L"0");
    }
};

TEST_F(Gui, TheChildCreationSeamSurroundsOnlyTheOutermostMakingOfChildWindows) {
    auto form = Shell();
    SeamLog::calls.clear();
    SeamLog::form = form.get();
    const TChildCreationSeam saved = ChildCreationSeam();
    ChildCreationSeam().Begin = [] { SeamLog::calls.push_back(SeamLog::State(L"begin")); };
    ChildCreationSeam().End = [] { SeamLog::calls.push_back(SeamLog::State(L"end")); };
    try {
        form->Show();
        // Once around the form's children; none for a window without windowed children.
        EXPECT_EQ(SeamLog::calls, (std::vector<String>{L"begin form 1 box 0", L"end form 1 box 1"}));
        SeamLog::calls.clear();
        form->Hidden->SetVisible(true);
        form->Box1->RecreateWnd();
        EXPECT_EQ(SeamLog::calls, (std::vector<String>{}));
    } catch (...) {
        ChildCreationSeam() = saved;
        throw;
    }
    ChildCreationSeam() = saved;
}

// Records the calls of the show seam: whether the window was on the screen at each.
struct ShowSeamLog {
    static inline std::vector<String> calls;
    static inline HWND window = nullptr;
};

// Every window of the tree, the top one first.
void CollectTree(HWND window, std::vector<HWND>& tree) {
    tree.push_back(window);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        CollectTree(child, tree);
}

TEST_F(Gui, AFormAppearingNormallyGoesThroughTheShowSeamFirstAndIsPaintedWholeAtOnce) {
    auto form = Shell();
    ShowSeamLog::calls.clear();
    const TFormShowSeam saved = FormShowSeam();
    FormShowSeam().BeforeShow = [](HWND window) {
        ShowSeamLog::calls.push_back(String(window == ShowSeamLog::window ? L"form" : L"other") +
                                     (IsWindowVisible(window) ? L" shown" : L" hidden"));
    };
    try {
        ShowSeamLog::window = form->Handle();
        form->Show();
        EXPECT_EQ(ShowSeamLog::calls, (std::vector<String>{L"form hidden"}));
        // Nothing is left for the message loop to paint.
        std::vector<HWND> tree;
        CollectTree(form->Handle(), tree);
        ASSERT_GT(tree.size(), 1u);
        for (HWND window : tree)
            EXPECT_FALSE(IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE))
                << "window " << (window == tree.front() ? "of the form" : "of a control") << " unpainted";

        // Shown again while on the screen, or appearing maximized or minimized: no seam.
        form->Show();
        form->Hide();
        form->SetWindowState(wsMaximized);
        form->Show();
        form->Hide();
        form->SetWindowState(wsMinimized);
        form->Show();
        EXPECT_EQ(ShowSeamLog::calls, (std::vector<String>{L"form hidden"}));
    } catch (...) {
        FormShowSeam() = saved;
        throw;
    }
    FormShowSeam() = saved;
}

TEST_F(Gui, AControlIsRepaintedWhenInvalidatedOnTheScreenAndWhenShownAfterOffIt) {
    auto form = Shell();
    form->Show();
    const HWND box = form->Box1->Handle();
    ASSERT_FALSE(GetUpdateRect(box, nullptr, FALSE));
    form->Box1->Invalidate();
    EXPECT_TRUE(GetUpdateRect(box, nullptr, FALSE)) << "on the screen: to be painted";
    UpdateWindow(box);
    form->Hide();
    form->Box1->Invalidate();
    form->Show();
    EXPECT_FALSE(GetUpdateRect(box, nullptr, FALSE)) << "painted by the showing";
    EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(Gui, AWindowLeadsBackToItsControlOnlyWhileItLives) {
    auto form = Shell();
    form->Show();
    TSampleBox* box = form->Box1;
    HWND first = box->Handle();
    EXPECT_EQ(TWinControl::FromHandle(first), box);
    EXPECT_EQ(TWinControl::FromHandle(form->Handle()), form.get());

    box->RecreateWnd();
    HWND second = box->Handle();
    EXPECT_EQ(TWinControl::FromHandle(second), box);
    if (second != first) {
        EXPECT_EQ(TWinControl::FromHandle(first), nullptr);
    }

    // A window destroyed behind the control's back is forgotten as well.
    HWND hidden = form->Hidden->Handle();
    DestroyWindow(hidden);
    EXPECT_FALSE(form->Hidden->HandleAllocated());
    EXPECT_EQ(TWinControl::FromHandle(hidden), nullptr);

    HWND formWindow = form->Handle();
    form.reset();
    EXPECT_EQ(TWinControl::FromHandle(second), nullptr);
    EXPECT_EQ(TWinControl::FromHandle(formWindow), nullptr);
}

TEST_F(Gui, FormSizeAndPlacement) {
    auto form = Shell();
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 200);
    form->Show();
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    LONG_PTR style = GetWindowLongPtrW(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    RECT w;
    GetWindowRect(form->Handle(), &w);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTOPRIMARY), &mi);
    EXPECT_NEAR((w.left + w.right) / 2.0, (mi.rcWork.left + mi.rcWork.right) / 2.0, 2);
    EXPECT_NEAR((w.top + w.bottom) / 2.0, (mi.rcWork.top + mi.rcWork.bottom) / 2.0, 2);
    EXPECT_EQ(form->Width(), w.right - w.left);
}

TEST_F(Gui, ReplacedWindowProcSeesMessagesAndPassesThemOn) {
    auto form = Shell();
    form->Show();
    TSampleBox* box = form->Box1;
    int seen = 0;
    TWndMethod previous = box->WindowProc;
    box->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_SETTEXT) ++seen;
        previous(m);
    };
    SetWindowTextW(box->Handle(), L"through");
    box->SetCaption(L"again");
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(box->Caption(), L"again");
    box->WindowProc = previous;
    SetWindowTextW(box->Handle(), L"after");
    EXPECT_EQ(seen, 2);
}

TEST_F(Gui, NotificationsReachTheChildControl) {
    auto form = Shell();
    auto* button = new TSampleButton(form.get());
    button->SetParent(form->Box1);
    int clicks = 0;
    button->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, button);
        ++clicks;
    };
    form->Show();
    wchar_t cls[16];
    GetClassNameW(button->Handle(), cls, 16);
    EXPECT_STREQ(cls, L"Button");
    SendMessageW(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    // Colour requests come back from the child with its own colour.
    button->SetColor(clRed);
    HDC dc = GetDC(button->Handle());
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(form->Box1->Handle(), WM_CTLCOLORBTN,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(button->Handle())));
    EXPECT_EQ(brush, ColorBrush(clRed));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 0, 0));
    ReleaseDC(button->Handle(), dc);
}

TEST_F(Gui, AFontChangeReachesTheWindowsOfChildrenThatFollowTheirParent) {
    auto form = Shell();
    form->Show();
    form->Hidden->Font()->SetName(L"Courier New"); // no longer follows the form
    form->Font()->SetHeight(-20);
    EXPECT_EQ(form->Box1->Font()->Height(), -20);
    EXPECT_EQ(form->Hidden->Font()->Height(), -11);
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form->Box1->Handle(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -20);
}

TEST_F(Gui, WindowlessControlsArePaintedAndClickedThroughTheirParent) {
    ReportRecorder report;
    auto form = Shell();
    form->Show();
    int clicks = 0;
    form->Mark1->OnClick = [&](TObject*) {
        ++clicks;
        throw EConvertError(L"from a click");
    };
    HWND parent = form->Box1->Handle();
    InvalidateRect(parent, nullptr, TRUE);
    UpdateWindow(parent);
    EXPECT_GT(form->Mark1->Paints, 0);
    SendMessageW(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(parent, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(report.Texts, (std::vector<String>{L"from a click."}));
    // A press outside the mark clicks the box itself, not the mark.
    int boxClicks = 0;
    form->Box1->OnClick = [&](TObject*) { ++boxClicks; };
    SendMessageW(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 30));
    SendMessageW(parent, WM_LBUTTONUP, 0, MAKELPARAM(60, 30));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(boxClicks, 1);
}

TEST_F(Gui, ShowModalRunsUntilModalResultAndDisablesTheRest) {
    auto owner = Shell();
    owner->Show();
    auto dialog = Shell();
    bool ownerEnabledDuring = true;
    Later later(50, [&] {
        ownerEnabledDuring = IsWindowEnabled(owner->Handle());
        dialog->SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(dialog->Modal());
}

TEST_F(Gui, ClosingAModalFormRunsOnCloseAndGivesCancel) {
    std::vector<String> events;
    auto dialog = Shell();
    dialog->Events = &events;
    Later later(50, [&] { PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(events, (std::vector<String>{L"close"}));
}

TEST_F(Gui, ClosingTheMainFormEndsTheApplication) {
    std::vector<String> events;
    auto form = Shell();
    form->Events = &events;
    Application->SetMainForm(form.get());
    form->Show();
    form->Close();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(events, (std::vector<String>{L"close"}));
    form.reset(); // the application forgets a main form that goes
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(Gui, RunShowsTheMainFormAndReturnsWhenItCloses) {
    std::vector<String> events;
    auto* form = NewFormFromText<TShellForm>(Application, kShell);
    form->Events = &events;
    Application->SetMainForm(form);
    bool shownDuringRun = false;
    Later later(50, [&] {
        shownDuringRun = IsWindowVisible(form->Handle());
        form->Close();
    });
    Application->Run();
    EXPECT_TRUE(shownDuringRun);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(events, (std::vector<String>{L"close"}));
    delete form;
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(Application->ComponentCount(), 0);
}

TEST_F(Gui, OnDestroyRunsWhileTheComponentsStillExist) {
    std::vector<String> events;
    auto* form = NewFormFromText<TShellForm>(nullptr, kShell);
    form->Events = &events;
    form->Show();
    HWND window = form->Handle();
    delete form;
    EXPECT_EQ(events, (std::vector<String>{L"destroy, box count 4"}));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Gui, ReleaseDestroysTheFormAfterTheCurrentMessages) {
    std::vector<String> events;
    TComponent owner(nullptr);
    auto* form = NewFormFromText<TShellForm>(&owner, kShell);
    form->Events = &events;
    form->Show();
    form->Release();
    EXPECT_EQ(owner.ComponentCount(), 1);
    WaitMessagesFor(5000, [&] { return owner.ComponentCount() == 0; });
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(events, (std::vector<String>{L"destroy, box count 4"}));
}

class CountingThread : public TThread {
public:
    ~CountingThread() override { StopAndWait(); }
    std::atomic<int> Loops{0};
    DWORD SyncThread = 0;

protected:
    void Execute() override {
        Synchronize([this] { SyncThread = GetCurrentThreadId(); });
        while (!Terminated()) {
            ++Loops;
            Sleep(1);
        }
        SetReturnValue(7);
    }
};

TEST_F(Gui, ThreadsRunWhenStartedAndSynchronizeOnTheMainThread) {
    CountingThread thread;
    // Created suspended: the system holds it (SuspendThread gives the count it had) and it has not run.
    EXPECT_EQ(SuspendThread(thread.Handle()), 1u);
    ResumeThread(thread.Handle());
    EXPECT_EQ(thread.Loops, 0);
    thread.SetPriority(tpHigher);
    EXPECT_EQ(thread.Priority(), tpHigher);
    thread.Start();
    WaitMessagesFor(5000, [&] { return thread.Loops > 3; });
    thread.Terminate();
    EXPECT_EQ(thread.WaitFor(), 7u);
    EXPECT_EQ(thread.SyncThread, MainThreadID());
}

} // namespace
