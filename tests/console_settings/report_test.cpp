// Every reporting button of the two pages, pressed through its own window with the controls' start
// values: the frame it sends and its report of a success, a failure with its reason, no reply and
// another status.
#include "settings_fixture.h"

namespace {

const std::wstring NoData = L"Data error,no data recevice..   ";
const std::wstring NoDataFullWidth = L"Data error，no data recevice..   ";
const std::wstring OutputFormat = L"The Output format ： ";

struct ButtonCase {
    const char* name;
    const wchar_t* button;
    const char* command; // the reader command byte, for forcing its reply
    const char* frame;
    std::wstring noData;
    std::vector<std::wstring> success;
    std::wstring failure;
};

const ButtonCase buttonCases[] = {
    {"Set",
     L"Button24",
     "82",
     "AA0009820F0000000101010085BB",
     NoDataFullWidth,
     {L"Set Up Success   {t}\r\n"},
     L"Set up format false   "},
    // Before any set the reader holds its factory record.
    {"Read",
     L"Button25",
     "83",
     "AA00018382BB",
     NoDataFullWidth,
     {L"Read data success    {t}", OutputFormat + L"10 no.in D", OutputFormat + L"do not add semicolon ",
      OutputFormat + L"do not add , ", OutputFormat + L"do not add ? ", OutputFormat + L"add enter\r\n",
      L"no add customize data...   \r\n"},
     L"Read format false   "},
    {"ActiveReading",
     L"Button27",
     "0f",
     "AA00020F010CBB",
     NoDataFullWidth,
     {L"Set Active reading success    {t}"},
     L"Set Active reading false   "},
    {"PassiveReading",
     L"Button28",
     "0f",
     "AA00020F020FBB",
     NoDataFullWidth,
     {L"Set Passtive reading success    {t}"},
     L"Set Passtive reading false   "},
    {"FactoryDefault",
     L"Button57",
     "cf",
     "AA0001CFCEBB",
     NoData,
     {L"Restore factory settings Success    {t}\r\n"},
     L"Restore factory settings False    "},
    {"Version",
     L"Button63",
     "c0",
     "AA0001C0C1BB",
     NoData,
     {L"read version number success ", L"the version number is：：USB reader V2.60\r\n"},
     L"read version number false    "},
    {"SearchInterval",
     L"Button30",
     "c1",
     "AA0002C10AC9BB",
     NoData,
     {L"search card interval success     {t}\r\n"},
     L"search card interval false     "},
    {"CardFilter",
     L"Button35",
     "c2",
     "AA0002C20ACABB",
     NoData,
     {L"Set card filter number Success     {t}\r\n"},
     L"Set card filter number false     "},
    {"OutputInterfaces",
     L"Button41",
     "c3",
     "AA0004C3010101C6BB",
     NoData,
     {L"output interface setting  Success    {t}\r\n"},
     L"output interface setting false     "},
    {"Prefix",
     L"Button43",
     "cb",
     "AA0006CB0130313233CCBB",
     NoData,
     {L"Set prefix Success    {t}\r\n"},
     L"Set prefix False    "},
    {"Suffix",
     L"Button50",
     "cb",
     "AA0006CB0231323334CBBB",
     NoData,
     {L"Suffix setting Success     {t}\r\n"},
     L"Suffix setting false     "},
    {"BaudRate",
     L"Button51",
     "c4",
     "AA0002C400C6BB",
     NoData,
     {L"Setting baud rate Success     {t}\r\n"},
     L"Setting baud rate False     "},
    {"SerialEndSymbol",
     L"Button56",
     "c5",
     "AA0002C502C5BB",
     NoData,
     {L"Serial port end symbol Success     {t}\r\n"},
     L"Serial port end symbol false     "},
    {"WiegandFormat",
     L"Button58",
     "c6",
     "AA0002C600C4BB",
     NoData,
     {L"Wiegand output format success     {t}\r\n"},
     L"Wiegand output format false    "},
    {"WiegandPosition",
     L"Button59",
     "c9",
     "AA0002C909C2BB",
     NoData,
     {L"Set Wiegand value position success     {t}\r\n"},
     L"Set Wiegand value position false     "},
    // Both Wiegand timings hold hex digits: "0A" is ten.
    {"WiegandPulse",
     L"Button60",
     "c7",
     "AA0002C70ACFBB",
     NoData,
     {L"Set wiegand Low level pulse Success     {t}\r\n"},
     L"Set wiegand Low level pulse False     "},
    {"WiegandIdle",
     L"Button61",
     "c8",
     "AA0002C80AC0BB",
     NoData,
     {L"Set Wiegand Idle level Success     {t}\r\n"},
     L"Set Wiegand Idle level fasle     "},
    {"RfPower",
     L"Button62",
     "cc",
     "AA0002CC02CCBB",
     NoData,
     {L"Set RF power Success     {t}\r\n"},
     L"Set RF power False     "},
    // A fixed frame from address 00 (checked with another address below).
    {"UsbSerialSwitch",
     L"Button71",
     "b8",
     "AA0001B8B9BB",
     NoData,
     {L"USB mode switch setting  Success    {t}\r\n"},
     L"USB mode switch setting false     "},
};

class Report : public SettingsTest, public ::testing::WithParamInterface<ReportCase<ButtonCase>> {};

TEST_P(Report, SendsTheFrameAndReportsTheOutcome) {
    const ButtonCase& button = *GetParam().row;
    const std::vector<std::wstring> expected =
        ArrangeOutcome(GetParam().outcome, button.command,
                       {button.success, button.failure, button.noData + L"{t}\r\n",
                        L"data error,please check data..   {t}\r\n"});

    Click(button.button);

    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_EQ(reader().LastFrame(), button.frame);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
    EXPECT_TRUE(ReportedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(SettingPages, Report, ::testing::ValuesIn(AllReportCases(buttonCases)),
                         ReportCaseName<ButtonCase>);

using ReportDetails = SettingsTest;

TEST_F(ReportDetails, ReasonTextFollowsTheReadersOwnRefusal) {
    // RF power goes up to 11 (0B); the reader refuses 12 as out of range.
    SetBox(L"Edit52", L"12");
    Run(&TForm1::Button62Click);
    EXPECT_EQ(reader().LastFrame(), "AA0002CC0CC2BB");
    EXPECT_EQ(LogText(), ExpectedLog(FailureLines(L"Set RF power False     ",
                                                  L"输入的参数大于最大允许范围，溢出.....")));
}

TEST_F(ReportDetails, AFailedWriteGivesTheTransportLineThenTheNoDataLine) {
    reader().Control("short");
    Run(&TForm1::Button24Click);
    EXPECT_EQ(LogText(),
              ExpectedLog({L"data error,please check Device Connection...", NoDataFullWidth + L"{t}\r\n"}));
}

TEST_F(ReportDetails, UsbSerialSwitchGoesToAddress00WhateverTheAddressList) {
    form().setadd->SetItemIndex(form().setadd->Items()->IndexOf(L"0a"));
    Run(&TForm1::Button71Click);
    form().setadd->SetItemIndex(0);
    EXPECT_EQ(reader().LastFrame(), "AA0001B8B9BB");
}

} // namespace
