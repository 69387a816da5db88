// The system-commands page: every reporting button from the controls' start values with each
// outcome, the address and serial number set and read back, the period box, and the boxes that
// must hold whole bytes.
#include "hidden_fixture.h"

namespace {

const std::wstring NoDataFullWidth = L"Data error，no data recevice..   {t}\r\n";

const ReportButton buttonCases[] = {
    {"SetAddress",
     &TForm1::Button11Click,
     "80",
     "AA0002800082BB",
     {L"读写器地址设置成功   {t}\r\n"},
     L"读写器地址设置失败   ",
     NoDataFullWidth},
    {"SetBaudRate",
     &TForm1::Button12Click,
     "81",
     "AA0002810083BB",
     {L"波特率设置成功   {t}\r\n"},
     L"波特率设置失败   ",
     NoDataFullWidth},
    {"ReadAddress",
     &TForm1::Button4Click,
     "83",
     "AA00018382BB",
     {L"系统地址为 : 00   {t}\r\n"},
     L"操作失败        ",
     NoDataFullWidth},
    // The reader's serial number is the record the first page sets as the output format.
    {"ReadSerialNumber",
     &TForm1::Button14Click,
     "83",
     "AA00018382BB",
     {L"读序列号成功   {t}", L"地址为：00", L"序列号为：0F00000001010100\r\n"},
     L"读序列号失败   "},
    {"SetLed",
     &TForm1::Button20Click,
     "88",
     "AA00038816039EBB",
     {L"设置LED操作成功   {t}\r\n"},
     L"设置LED操作失败   "},
    {"SetRedLed",
     &TForm1::Button23Click,
     "87",
     "AA000387160391BB",
     {L"设置LED-R操作成功   {t}\r\n"},
     L"设置LED-R操作失败   "},
    {"SetBuzzer",
     &TForm1::Button21Click,
     "89",
     "AA00038916039FBB",
     {L"设置BUZ操作成功   {t}\r\n"},
     L"设置BUZ操作失败   "},
};

INSTANTIATE_TEST_SUITE_P(SystemPage, HiddenPageReport, ::testing::ValuesIn(AllReportCases(buttonCases)),
                         ReportCaseName<ReportButton>);

using SystemPage = HiddenPageTest;

TEST_F(SystemPage, BaudRateCodeFollowsTheTextAndAnUnknownRateSendsTheBareCommand) {
    form().ComboBox5->SetText(L"57600");
    Run(&TForm1::Button12Click);
    form().ComboBox5->SetText(L"4800");
    Run(&TForm1::Button12Click);

    EXPECT_EQ(Frames(), (std::vector<std::string>{"AA0002810380BB", "AA00018180BB"}));
    EXPECT_EQ(LogText(), ExpectedLog({L"波特率设置成功   {t}\r\n", L"波特率设置失败   {t}",
                                      L"输入参数或者输入命令格式错误....\r\n"}));
}

TEST_F(SystemPage, AddressSetIsReadBackAndLaterFramesKeepTheirAddress) {
    form().Edit4->SetText(L"5");
    Run(&TForm1::Button11Click);
    Run(&TForm1::Button4Click);

    EXPECT_EQ(Frames(), (std::vector<std::string>{"AA0002800587BB", "AA00018382BB"}));
    EXPECT_EQ(LogText(), ExpectedLog({L"读写器地址设置成功   {t}\r\n", L"系统地址为 : 05   {t}\r\n"}));
}

TEST_F(SystemPage, ReadAddressWithoutAnswerIsNotAnsweredByAnEarlierReply) {
    Run(&TForm1::Button14Click);
    form().RichEdit1->Clear();
    reader().Control("silence");
    Run(&TForm1::Button4Click);
    EXPECT_EQ(LogText(), ExpectedLog({NoDataFullWidth}));
}

// The serial number shares its bytes with the output format: the reader takes only a valid format
// record, and the first page's read-back shows the serial number as that format.
TEST_F(SystemPage, SerialNumberIsSetAndReadBackAsTheOutputFormatRecord) {
    Run(&TForm1::Button13Click); // eight bytes FF: no format record
    form().Edit9->SetText(L"07 01 00 00 01 01 01 01");
    Run(&TForm1::Button13Click);
    form().Edit4->SetText(L"2A");
    Run(&TForm1::Button11Click);
    form().RichEdit1->Clear();
    Run(&TForm1::Button14Click);
    Run(&TForm1::Button25Click);

    EXPECT_EQ(Frames()[0], "AA000982FFFFFFFFFFFFFFFF8BBB");
    const std::wstring log = LogText();
    const std::wstring serial =
        ExpectedLog({L"读序列号成功   {t}", L"地址为：2A", L"序列号为：0701000001010101\r\n"});
    EXPECT_EQ(log.substr(0, serial.size()), serial);
    EXPECT_NE(log.find(L"The Output format ： 10 no. in HEX\n"), std::wstring::npos);
}

TEST_F(SystemPage, SerialNumberThatIsNoFormatRecordIsRefusedByTheReader) {
    Run(&TForm1::Button13Click);
    EXPECT_EQ(LogText(),
              ExpectedLog(FailureLines(L"机器序列号设置失败   ", L"输入的参数大于最大允许范围，溢出.....")));
}

TEST_F(SystemPage, ReadingModeSwitchesOnlySend) {
    Run(&TForm1::Button52Click);
    const std::wstring reply = ReplyHex;
    Run(&TForm1::Button53Click);

    EXPECT_EQ(Frames(), (std::vector<std::string>{"AA00020F010CBB", "AA00020F020FBB"}));
    EXPECT_EQ(reply, L"AA00010001BB");
    EXPECT_EQ(LogText(), L"");
}

TEST_F(SystemPage, PeriodBoxTakesBackItsDefaultForTextThatIsNoPeriod) {
    struct Case {
        const wchar_t* typed;
        const wchar_t* kept;
    };
    // The box raises its change event from its window, as when the operator types.
    form().Edit22->Handle();
    for (const Case& c : {Case{L"abc", L"100"}, Case{L"-5", L"100"}, Case{L"", L"100"}, Case{L"250", L"250"},
                          Case{L"0", L"0"}}) {
        form().Edit22->SetText(c.typed);
        EXPECT_EQ(form().Edit22->Text(), c.kept) << c.typed;
    }
}

// The loops wait the period plus their extra: the largest period the box takes must not make that
// sum overflow into a negative wait.
TEST_F(SystemPage, LoopPeriodAndItsExtraStayAWait) {
    form().Edit22->SetText(L"250");
    EXPECT_EQ(form().LoopPeriod(10), 260);
    form().Edit22->SetText(L"2147483647");
    EXPECT_EQ(form().LoopPeriod(100), 2147483647);
}

// A box of one byte takes one or two hex digits; anything longer, and a box of bytes with a lone
// digit, would put a half byte on the wire. The handler stops before sending.
TEST_F(SystemPage, BoxesThatAreNoWholeBytesStopTheHandler) {
    struct Case {
        TEdit* TForm1::*box;
        const wchar_t* text;
        Handler handler;
    };
    const Case cases[] = {
        {&TForm1::Edit4, L"1FF", &TForm1::Button11Click},
        {&TForm1::Edit4, L"G1", &TForm1::Button11Click},
        {&TForm1::Edit30, L"100", &TForm1::Button20Click},
        {&TForm1::Edit12, L"", &TForm1::Button23Click},
        {&TForm1::Edit34, L"-1", &TForm1::Button21Click},
        {&TForm1::Edit9, L"FF FF F", &TForm1::Button13Click},
    };
    for (const Case& c : cases) {
        const String before = (form().*c.box)->Text();
        (form().*c.box)->SetText(c.text);
        EXPECT_THROW(Run(c.handler), EConvertError) << StringToUtf8(c.text);
        (form().*c.box)->SetText(before);
    }
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(LogText(), L"");
}

} // namespace
