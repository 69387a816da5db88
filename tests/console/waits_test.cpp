// Delay and Delayy: how long they wait, that the window keeps running meanwhile, and when they end.
#include "console_fixture.h"

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

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

// A button pressed while another handler waits in Delay for its reply: the press is refused and
// sends nothing, and the waiting handler reports its own reply.
struct NestedPressCase {
    const char* name;
    const char* outerFault; // how the reader answers the waiting handler's command
    void (TForm1::*outer)(TObject*);
    const char* outerFrame;
    TButton* TForm1::*pressed;
    std::vector<std::wstring> outerLines;
};

const std::wstring Busy = L"Reader busy with another command: not sent   {t}\r\n";

const NestedPressCase nestedPressCases[] = {
    // The version read would have answered "success" for the refused factory default.
    {"FailureKeptAgainstASuccess",
     "force cf reason 83",
     &TForm1::Button57Click,
     "AA0001CFCEBB",
     &TForm1::Button63,
     {L"Restore factory settings False    {t}", L"卡不存在....\r\n"}},
    // The address read clears ReplyHex before it sends: refused before that, too.
    {"ReplyKeptFromAHandlerThatClearsFirst",
     "",
     &TForm1::Button57Click,
     "AA0001CFCEBB",
     &TForm1::Button4,
     {L"Restore factory settings Success    {t}\r\n"}},
    {"ReplyKeptFromTheCardDataSendWhichClearsFirst",
     "",
     &TForm1::Button57Click,
     "AA0001CFCEBB",
     &TForm1::Button36,
     {L"Restore factory settings Success    {t}\r\n"}},
    {"NoReplyKeptAgainstAReply",
     "silence",
     &TForm1::Button63Click,
     "AA0001C0C1BB",
     &TForm1::Button57,
     {L"Data error,no data recevice..   {t}\r\n"}},
};

void PrintTo(const NestedPressCase& c, std::ostream* os) {
    *os << c.name;
}

class NestedPress : public ConsoleTest, public ::testing::WithParamInterface<NestedPressCase> {};

TEST_P(NestedPress, IsRefusedAndTheWaitingHandlerKeepsItsReply) {
    const NestedPressCase& c = GetParam();
    if (*c.outerFault) reader().Control(c.outerFault);
    // Handled by the first message pass of the waiting handler's Delay.
    PostMessageW((form().*c.pressed)->Handle(), BM_CLICK, 0, 0);

    (form().*c.outer)(nullptr);

    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_EQ(reader().LastFrame(), c.outerFrame);
    std::vector<std::wstring> expected{Busy};
    expected.insert(expected.end(), c.outerLines.begin(), c.outerLines.end());
    EXPECT_EQ(LogText(), ExpectedLog(expected));
    EXPECT_TRUE(ReportedExceptions().empty());

    // Once the wait is over, the same press goes through.
    SendMessageW((form().*c.pressed)->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(reader().FrameCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Waits, NestedPress, ::testing::ValuesIn(nestedPressCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
