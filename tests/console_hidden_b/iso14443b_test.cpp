// The ISO14443B page against the simulated reader's type B card: each command's frame and report,
// the reset that feeds Attrib, the send-data command with its own reason texts, and the boxes
// that are refused before anything is sent.
#include "hidden_b_fixture.h"

namespace {

// The simulated reader's default card: a resident identity card.
const std::wstring Pupi = L"5A3C1107";
const std::wstring Atqb = L"50" + Pupi + L"00000000008171";
const std::wstring Done = L"操作成功   ";
const std::wstring Failed = L"操作失败   ";

struct CommandCase {
    const char* name;
    Handler handler;
    const char* command; // the reader command byte, for forcing its reply
    const char* payload;
    const char* setup; // a control line that lets the command succeed, if one is needed
    std::vector<std::wstring> success;
    std::wstring failure;
};

const CommandCase commandCases[] = {
    {"Request",
     &TForm1::Button31Click,
     "09",
     "09",
     nullptr,
     {Done + L"{t}\r\n", L"卡片复位数据的长度为:0C", L"返回操作后的数据为:" + Atqb + L"\r\n"},
     Failed},
    {"Anticollision",
     &TForm1::Button32Click,
     "09",
     "09",
     nullptr,
     {Done + L"{t}\r\n", L"卡片复位数据的长度为:0C", L"返回操作后的数据为:" + Atqb + L"\r\n"},
     Failed},
    {"Attrib",
     &TForm1::Button33Click,
     "0b",
     "0B41300A10",
     "typeb card 41300A10",
     {L"操作成功、复位成功   {t}\r\n"},
     Failed},
    {"Reset",
     &TForm1::Button34Click,
     "0c",
     "0C",
     nullptr,
     {Done + L"{t}\r\n", L"卡的序列号为：" + Pupi + L"\r\n"},
     Failed},
    {"IdNumber",
     &TForm1::Button19Click,
     "26",
     "26",
     nullptr,
     {Done + L"{t}", L"返回卡号为:318A2C0519660ED4\r\n"},
     L"读卡号操作失败   "},
    {"FileId",
     &TForm1::Button22Click,
     "27",
     "27",
     nullptr,
     {Done + L"{t}", L"返回卡号为:010200000F112008\r\n"},
     L"读卡号操作失败   "},
};

class Iso14443BReport : public HiddenCardsTest,
                        public ::testing::WithParamInterface<ReportCase<CommandCase>> {};

TEST_P(Iso14443BReport, SendsTheFrameAndReportsTheOutcome) {
    const CommandCase& command = *GetParam().row;
    if (GetParam().outcome == Outcome::Success && command.setup) reader().Control(command.setup);
    const std::vector<std::wstring> expected =
        Arrange(GetParam().outcome, command.command, command.success, command.failure);

    Run(command.handler);

    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_EQ(reader().LastFrame(), FrameOf(command.payload));
    EXPECT_EQ(LogText(), ExpectedLog(expected));
    EXPECT_TRUE(ReportedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(Iso14443BPage, Iso14443BReport, ::testing::ValuesIn(AllReportCases(commandCases)),
                         ReportCaseName<CommandCase>);

using Iso14443B = HiddenCardsTest;

TEST_F(Iso14443B, ResetWritesTheSerialNumberThatAttribThenAddresses) {
    // The page's default card ID is not the card in the field.
    Run(&TForm1::Button33Click);
    EXPECT_EQ(LogText(), ExpectedLog(FailureLines(Failed, L"在防冲突过程中得到错误的序列号....")));

    Run(&TForm1::Button34Click);
    EXPECT_EQ(form().Edit76->Text(), Pupi);

    form().RichEdit1->Clear();
    Run(&TForm1::Button33Click);
    EXPECT_EQ(reader().LastFrame(), FrameOf("0B5A3C1107"));
    EXPECT_EQ(LogText(), ExpectedLog({L"操作成功、复位成功   {t}\r\n"}));
}

TEST_F(Iso14443B, AResetReplyTooShortForASerialNumberLeavesTheCardIdBox) {
    // The length byte claims one data byte: the rest of the reply is not data.
    reader().Control("oversize 02");
    Run(&TForm1::Button34Click);
    EXPECT_EQ(LogText(), ExpectedLog({Done + L"{t}\r\n", L"卡的序列号为：5A\r\n"}));
    EXPECT_EQ(form().Edit76->Text(), L"41 30 0A 10");
}

struct SendDataCase {
    const char* name;
    const wchar_t* data; // Edit77
    const char* control;
    std::vector<std::wstring> lines;
};

const SendDataCase sendDataCases[] = {
    // REQB reaches the card, which answers with its ATQB.
    {"CardAnswers", L"05 00 00", nullptr, {Done + L"{t}", L"操作后的数据串为：" + Atqb + L"\r\n"}},
    // A command for a selected card goes unanswered before Attrib.
    {"CardSilent", L"00 84 00 00 08", nullptr, {Failed + L"{t}", L"通讯超时 ....\r\n"}},
    {"UnknownCommandHasItsEnglishText",
     L"05 00 00",
     "force 0d reason 8F always",
     {Failed + L"{t}", L"Reader received unknown command....\r\n"}},
    {"Reason80HasItsOwnWords",
     L"05 00 00",
     "force 0d reason 80 always",
     {Failed + L"{t}", L"参数设置成功.....\r\n"}},
    {"ReasonFromTheReadersTable",
     L"05 00 00",
     "force 0d reason 96 always",
     {Failed + L"{t}", L"写操作不成功....\r\n"}},
    {"ReasonBelow80AddsNothing", L"05 00 00", "force 0d reason 10 always", {Failed + L"{t}"}},
    {"ReasonOutsideTheTableAddsNothing", L"05 00 00", "force 0d reason 01 always", {Failed + L"{t}"}},
    {"NoCard", L"05 00 00", "typeb none", {Failed + L"{t}", L"卡不存在....\r\n"}},
    {"NoReply", L"05 00 00", "silence", {Failed + L"{t}", L"无数据接收..\r\n"}},
};

class SendData : public HiddenCardsTest, public ::testing::WithParamInterface<SendDataCase> {};

TEST_P(SendData, ReportsWithItsOwnReasonTable) {
    form().Edit77->SetText(GetParam().data);
    if (GetParam().control) reader().Control(GetParam().control);
    Run(&TForm1::Button36Click);
    EXPECT_EQ(LogText(), ExpectedLog(GetParam().lines));
}

INSTANTIATE_TEST_SUITE_P(Iso14443BPage, SendData, ::testing::ValuesIn(sendDataCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Iso14443B, SendDataFrameCountsTheDataBytes) {
    Run(&TForm1::Button36Click);
    EXPECT_EQ(reader().LastFrame(), "AA00050D030500000EBB");

    form().setadd->SetItemIndex(form().setadd->Items()->IndexOf(L"0a"));
    form().Edit77->SetText(L"aa-bb");
    Run(&TForm1::Button36Click);
    form().setadd->SetItemIndex(0);
    EXPECT_EQ(reader().LastFrame(), "AA0A040D02AABB10BB");
}

TEST_F(Iso14443B, SendDataOfTheLongestFrameGoesOut) {
    form().Edit77->SetText(String(248 * 2, L'7'));
    Run(&TForm1::Button36Click);
    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_EQ(reader().LastFrame().size(), 255u * 2);
}

struct RefusalCase {
    const char* name;
    Handler handler;
    const wchar_t* box;
    String text;
};

const RefusalCase refusalCases[] = {
    {"CardIdOddDigits", &TForm1::Button33Click, L"Edit76", L"41 30 0A 1"},
    {"CardIdShort", &TForm1::Button33Click, L"Edit76", L"41 30 0A"},
    {"DataOddDigits", &TForm1::Button36Click, L"Edit77", L"05 00 0"},
    // One byte more than a 255-byte frame holds.
    {"DataTooLong", &TForm1::Button36Click, L"Edit77", String(249 * 2, L'7')},
};

class Iso14443BRefusal : public HiddenCardsTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Iso14443BRefusal, RaisesTheConversionErrorAndSendsNothing) {
    SetBox(GetParam().box, GetParam().text.c_str());
    EXPECT_THROW(Run(GetParam().handler), EConvertError);
    EXPECT_EQ(reader().FrameCount(), 0);
    EXPECT_EQ(LogText(), L"");
}

INSTANTIATE_TEST_SUITE_P(Iso14443BPage, Iso14443BRefusal, ::testing::ValuesIn(refusalCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
