// Delay and Delayy: how long they wait, that the window keeps running meanwhile, and when they end.
#include "console_fixture.h"

#include <windows.h>

namespace {

// A message-only window that counts what is posted to it and may run one action per message.
class MessageCounter {
public:
    MessageCounter() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &MessageCounter::Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ConsoleTestMessageCounter";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MessageCounter() {
        KillTimer(window_, 1);
        DestroyWindow(window_);
    }
    MessageCounter(const MessageCounter&) = delete;
    MessageCounter& operator=(const MessageCounter&) = delete;

    void Post() { PostMessageW(window_, WM_USER, 0, 0); }
    // Counts WM_TIMER every ms milliseconds.
    void StartTimer(unsigned ms) { SetTimer(window_, 1, ms, nullptr); }
    int Count() const { return count_; }
    std::function<void()> OnMessage;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<MessageCounter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && (message == WM_USER || message == WM_TIMER)) {
            ++self->count_;
            if (self->OnMessage) self->OnMessage();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
    int count_ = 0;
};

using Waits = ConsoleTest;

TEST_F(Waits, DelayAfterAFailedWriteWaitsTheWholeTime) {
    form().UsbLibraryName = L"no-such-reader.dll";
    form().Send(L"cf");
    const double start = NowMs();
    EXPECT_EQ(form().Delay(300), 0);
    const double waited = NowMs() - start;
    EXPECT_GE(waited, 280);
    EXPECT_LT(waited, 3000);
}

TEST_F(Waits, DelayEndsOnceAReplyArrivesMeanwhile) {
    MessageCounter counter;
    counter.OnMessage = [] { ReplyHex = L"AA00010001BB"; };
    counter.StartTimer(50);
    const double start = NowMs();
    EXPECT_EQ(form().Delay(10000), 12);
    EXPECT_LT(NowMs() - start, 3000);
}

TEST_F(Waits, DelayHandlesWaitingMessagesEvenWhenTheReplyIsThere) {
    MessageCounter counter;
    form().Send(L"cf");
    ASSERT_FALSE(ReplyHex.empty());
    counter.Post();
    const double start = NowMs();
    form().Delay(10000);
    EXPECT_LT(NowMs() - start, 1000);
    EXPECT_EQ(counter.Count(), 1);
}

TEST_F(Waits, DelayyWaitsTheWholeTimeWhileMessagesAreHandled) {
    MessageCounter counter;
    ReplyHex = L"AA00010001BB";
    counter.StartTimer(20);
    const double start = NowMs();
    form().Delayy(400);
    const double waited = NowMs() - start;
    EXPECT_GE(waited, 380);
    EXPECT_LT(waited, 4000);
    EXPECT_GE(counter.Count(), 3);
}

TEST_F(Waits, RepeatLoopsGoOnWhileTheirBoxIsTicked) {
    TCheckBox* box = form().CheckBox12;
    const TNotifyEvent handler = box->OnClick;
    box->OnClick = nullptr;
    box->SetChecked(true);
    EXPECT_TRUE(form().KeepRepeating(box));
    box->SetChecked(false);
    EXPECT_FALSE(form().KeepRepeating(box));
    box->OnClick = handler;
}

} // namespace
