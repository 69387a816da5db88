// One exchange with the reader through Send, SendHex, Delay and the standard reply report, against
// the simulated reader and its faults.
#include "console_fixture.h"

#include <string>
#include <vector>

namespace {

// The texts of the factory-default command; any handler's row would do.
const core::ReplyReportRow FactoryDefault{.noData = core::NoDataText,
                                          .success = L"Restore factory settings Success    ",
                                          .failure = L"Restore factory settings False    "};

const std::wstring DeviceError = L"data error,please check Device Connection...";
const std::wstring NoData = L"Data error,no data recevice..   {t}\r\n";

struct ExchangeCase {
    const char* name;
    std::vector<const char*> controls; // reader faults for this exchange
    const wchar_t* library;
    std::wstring replyHex;
    std::vector<std::wstring> log;
};

const ExchangeCase exchangeCases[] = {
    {"Success", {}, L"usb.dll", L"AA00010001BB", {L"Restore factory settings Success    {t}\r\n"}},
    {"FailureWithReason",
     {"force cf reason 83"},
     L"usb.dll",
     L"AA0002018380BB",
     {L"Restore factory settings False    {t}", L"卡不存在....\r\n"}},
    {"OtherStatus",
     {"force cf status 02"},
     L"usb.dll",
     L"AA00010203BB",
     {L"data error,please check data..   {t}\r\n"}},
    {"ShortWrite", {"short"}, L"usb.dll", L"", {DeviceError, NoData}},
    {"ShortWriteOfNothing", {"short 0"}, L"usb.dll", L"", {DeviceError, NoData}},
    // A read that delivers nothing leaves the zero-filled buffer: no reply, not status "00".
    {"Silence", {"silence"}, L"usb.dll", L"", {NoData}},
    {"MissingLibrary", {}, L"no-such-reader.dll", L"", {DeviceError, NoData}},
    {"MissingEntryPoints", {}, L"kernel32.dll", L"", {DeviceError, NoData}},
    // A reply shorter than its own length byte says is no reply, as a read of nothing is.
    {"LengthByteLongerThanTheReply", {"oversize 10"}, L"usb.dll", L"", {NoData}},
    {"LengthByteBeyondTheRead", {"oversize FF"}, L"usb.dll", L"", {NoData}},
};

class Exchange : public ConsoleTest, public ::testing::WithParamInterface<ExchangeCase> {};

TEST_P(Exchange, GivesTheReplyAndTheLinesOfTheReport) {
    const ExchangeCase& c = GetParam();
    for (const char* line : c.controls) reader().Control(line);
    form().UsbLibraryName = c.library;
    const int framesBefore = reader().FrameCount();

    form().Send(L"cf");
    form().Delay(300);
    const core::ReplyKind kind = form().ReportReply(FactoryDefault);

    EXPECT_EQ(ReplyHex, c.replyHex);
    EXPECT_EQ(LogText(), ExpectedLog(c.log));
    const bool reachedReader = std::wstring(c.library) == L"usb.dll";
    EXPECT_EQ(reader().FrameCount(), framesBefore + (reachedReader ? 1 : 0));
    if (reachedReader) {
        EXPECT_EQ(reader().LastFrame(), "AA0001CFCEBB");
    }
    EXPECT_EQ(kind == core::ReplyKind::NoData, c.replyHex.empty());
}

INSTANTIATE_TEST_SUITE_P(Transport, Exchange, ::testing::ValuesIn(exchangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

using Transport = ConsoleTest;

TEST_F(Transport, FrameCarriesTheSelectedAddress) {
    form().setadd->SetItemIndex(form().setadd->Items()->IndexOf(L"0a"));
    form().Send(L"c1 0A");
    form().setadd->SetItemIndex(0);
    EXPECT_EQ(reader().LastFrame(), "AA0A02C10AC3BB");
    EXPECT_EQ(ReplyHex.substr(0, 6), L"AA0A01");
}

TEST_F(Transport, FramesOfUpTo255BytesGoOutLongerOnesDoNot) {
    const std::wstring payload250 = L"c1" + std::wstring(249 * 2, L'A');
    form().Send(payload250);
    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_EQ(reader().LastFrame().size(), 255u * 2);
    EXPECT_EQ(LogText().find(L"Device Connection"), std::wstring::npos);

    form().RichEdit1->Clear();
    form().Send(payload250 + L"AA");
    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_EQ(ReplyHex, L"");
    EXPECT_EQ(LogText(), ExpectedLog({DeviceError}));
}

TEST_F(Transport, DebugSwitchEchoesEveryReply) {
    form().RadioButton4->SetChecked(true);
    form().SendAndReport(L"cf", 300, FactoryDefault);
    EXPECT_EQ(LogText(),
              ExpectedLog({L"Receive...AA00010001BB", L"Restore factory settings Success    {t}\r\n"}));
}

TEST_F(Transport, AFailedWriteClearsTheEarlierReply) {
    form().Send(L"cf");
    ASSERT_FALSE(ReplyHex.empty());
    reader().Control("short");
    form().Send(L"cf");
    EXPECT_EQ(ReplyHex, L"");
}

} // namespace
