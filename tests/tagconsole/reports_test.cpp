// What each handler writes for the reader's outcomes (no reply, failure with its reason, another
// status), the transport's own lines, and the hidden system page's handlers.
#include "tag_fixture.h"

namespace {

using tagconsole::TForm1;

const std::wstring WriteFailed = L"Non data receiving,Please check the equipment....";

struct OutcomeCase {
    const char* name;
    Handler handler;
    const char* control; // the reader's answer to the next frame
    std::vector<std::wstring> log;
};

const OutcomeCase outcomeCases[] = {
    {"SetFormatNoReply",
     &TForm1::Button24Click,
     "short 0",
     {WriteFailed, L"Data error，no data recevice..   {t}\r\n"}},
    {"SetFormatRefused", &TForm1::Button24Click, "force 82 reason 10",
     FailureLines(L"Set up format false   ", L"输入的参数大于最大允许范围，溢出.....")},
    {"SetFormatOtherStatus",
     &TForm1::Button24Click,
     "force 82 status 02",
     {L"data error,please check data..   {t}\r\n"}},
    {"ReadFormatNoReply",
     &TForm1::Button25Click,
     "short 0",
     {WriteFailed, L"Data error，no data recevice..   {t}\r\n"}},
    {"ReadFormatFailed", &TForm1::Button25Click, "force 83 reason 01",
     FailureLines(L"Read format false   ", L"命令操作失败.....")},
    {"ReadFormatOtherStatus",
     &TForm1::Button25Click,
     "force 83 status 02",
     {L"data error,please check data..   {t}\r\n"}},
    {"SetLayoutNoReply",
     &TForm1::Button27Click,
     "short 0",
     {WriteFailed, L"Data error，no data recevice..   {t}\r\n"}},
    {"SetLayoutFailed", &TForm1::Button27Click, "force 80 reason 10",
     FailureLines(L"Set up format false   ", L"输入的参数大于最大允许范围，溢出.....")},
    {"ReadLayoutFailed", &TForm1::Button28Click, "force 83 reason 01",
     FailureLines(L"Set up format false   ", L"命令操作失败.....")},
    {"ReadLayoutOtherStatus",
     &TForm1::Button28Click,
     "force 83 status 02",
     {L"data error,please check data..   {t}\r\n"}},
    {"WorkModeNoReply",
     &TForm1::Button69Click,
     "short 0",
     {WriteFailed, L"error,no data  receive..   {t}\r\n"}},
    {"WorkModeOtherStatus",
     &TForm1::Button69Click,
     "force 0f status 02",
     {L"check sum error.....   {t}\r\n"}},
    {"BluetoothModeNoReply",
     &TForm1::Button35Click,
     "short 0",
     {WriteFailed, L"error,no data  receive..   {t}\r\n"}},
    {"BluetoothModeOtherStatus",
     &TForm1::Button35Click,
     "force 22 status 02",
     {L"check sum error.....   {t}\r\n"}},
    {"SleepNoReply",
     &TForm1::Button30Click,
     "short 0",
     {WriteFailed, L"Data error,no data recevice..   {t}\r\n"}},
    {"SleepOtherStatus",
     &TForm1::Button30Click,
     "force 0e status 02",
     {L"data error,please check data..   {t}\r\n"}},
    {"VersionNoReply",
     &TForm1::Button63Click,
     "short 0",
     {WriteFailed, L"Data error,no data recevice..   {t}\r\n"}},
    {"VersionFailed", &TForm1::Button63Click, "force c0 reason 83",
     FailureLines(L"read version number false    ", L"卡不存在....")},
    {"BluetoothNameNoReply",
     &TForm1::Button41Click,
     "short 0",
     {WriteFailed, L"Data error,no data recevice..   {t}\r\n"}},
    {"BluetoothNameOtherStatus",
     &TForm1::Button41Click,
     "force 88 status 02",
     {L"data error,please check data..   {t}\r\n"}},
    {"FactoryDefault",
     &TForm1::Button57Click,
     "force any off",
     {L"Restore factory settings Success    {t}\r\n"}},
    {"ReadAddress", &TForm1::Button4Click, "force any off", {L"系统地址为 : 00   {t}\r\n"}},
    {"ReadAddressNoReply",
     &TForm1::Button4Click,
     "short 0",
     {WriteFailed, L"通讯错误，没有接收到数据..   {t}\r\n"}},
    {"ReadAddressOtherStatus",
     &TForm1::Button4Click,
     "force 83 status 02",
     {L"数据丢包，流水校验出错   {t}\r\n"}},
    {"SetAddress", &TForm1::Button11Click, "force any off", {L"读写器地址设置成功   {t}\r\n"}},
    {"SetAddressNoReply",
     &TForm1::Button11Click,
     "short 0",
     {WriteFailed, L"通讯错误，没有接收到数据..   {t}\r\n"}},
    {"SetBaudRateNoReply",
     &TForm1::Button12Click,
     "short 0",
     {WriteFailed, L"通讯错误，没有接收到数据..   {t}\r\n"}},
    // The tag reader has no baud-rate command.
    {"SetBaudRateUnknownCommand", &TForm1::Button12Click, "force any off",
     FailureLines(L"波特率设置失败   ", L"读写设备接收到了未定义的命令.....")},
};

class Outcome : public TagConsoleTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(Outcome, LogsTheHandlersLines) {
    reader().Control(GetParam().control);
    Run(GetParam().handler);
    EXPECT_EQ(LogText(), ExpectedLog(GetParam().log));
}

INSTANTIATE_TEST_SUITE_P(Reports, Outcome, ::testing::ValuesIn(outcomeCases),
                         [](const auto& info) { return std::string(info.param.name); });

using Transport = TagConsoleTest;

TEST_F(Transport, TheDebugSwitchLogsWhatGoesOutAndWhatComesBack) {
    form().RadioButton4->SetChecked(true);
    form().SendHex(L"AA 00 01 C0 C1 BB");
    EXPECT_EQ(LogText(), ExpectedLog({L"发送...AA0001C0C1BB",
                                      L"接收...AA001300" + std::wstring(L"3133342E324B20726561646572205631") +
                                          L"2E31" + L"0FBB"}));
}

TEST_F(Transport, AFailedWriteClearsTheReplyAndReadsNothing) {
    ReplyHex = L"AA00010001BB";
    reader().Control("short 0");
    form().SendHex(L"AA0001C0C1BB");
    EXPECT_EQ(ReplyHex, L"");
    EXPECT_EQ(LogText(), ExpectedLog({WriteFailed}));
}

TEST_F(Transport, AMissingLibraryIsAFailedWrite) {
    form().UsbLibraryName = L"no-such-reader.dll";
    form().SendHex(L"AA0001C0C1BB");
    EXPECT_EQ(ReplyHex, L"");
    EXPECT_EQ(LogText(), ExpectedLog({WriteFailed}));
}

TEST_F(Transport, APressWhileAnotherHandlerWaitsIsRefusedAndSendsNothing) {
    struct Case {
        const char* what;
        TButton* TForm1::*pressed;
    };
    const Case cases[] = {{"a version read", &TForm1::Button63},
                          {"a layout read, which clears the reply first", &TForm1::Button28}};
    for (const Case& c : cases) {
        reader().Control("reset");
        form().RichEdit1->Clear();
        reader().Control("force 82 reason 10");
        // Handled by the first message pass of the set's wait.
        PostMessageW((form().*c.pressed)->Handle(), BM_CLICK, 0, 0);
        Run(&TForm1::Button24Click);
        EXPECT_EQ(reader().FrameCount(), 1) << c.what;
        std::vector<std::wstring> expected{L"Reader busy with another command: not sent   {t}\r\n"};
        for (const std::wstring& line :
             FailureLines(L"Set up format false   ", L"输入的参数大于最大允许范围，溢出....."))
            expected.push_back(line);
        EXPECT_EQ(LogText(), ExpectedLog(expected)) << c.what;
    }
}

using SystemPage = TagConsoleTest;

TEST_F(SystemPage, FramesOfTheAddressAndBaudRateHandlers) {
    form().Edit4->SetText(L"1d");
    Run(&TForm1::Button11Click);
    EXPECT_EQ(reader().LastFrame(), "AA0002801D9FBB");
    form().ComboBox5->SetText(L"57600");
    Run(&TForm1::Button12Click);
    EXPECT_EQ(reader().LastFrame(), "AA0002810380BB");
    form().ComboBox5->SetText(L"4800");
    Run(&TForm1::Button12Click);
    EXPECT_EQ(reader().LastFrame(), "AA00018180BB");
    Run(&TForm1::Button4Click);
    EXPECT_EQ(reader().LastFrame(), "AA00018382BB");
}

// The handlers are readerconsole's: an address that is no byte is refused before sending.
TEST_F(SystemPage, AnAddressThatIsNoByteIsRefused) {
    form().Edit4->SetText(L"1FF");
    EXPECT_THROW(Run(&TForm1::Button11Click), EConvertError);
    EXPECT_EQ(reader().FrameCount(), 0);
}

} // namespace
