// Every reporting button of the two pages, from the controls' start values: the frame it sends and
// its report of a success, a failure with its reason, no reply and another status.
#include "settings_fixture.h"

namespace {

const std::wstring NoData = L"Data error,no data recevice..   ";
const std::wstring NoDataFullWidth = L"Data error，no data recevice..   ";
const std::wstring OutputFormat = L"The Output format ： ";

struct ButtonCase {
    const char* name;
    Handler handler;
    const char* command; // the reader command byte, for forcing its reply
    const char* frame;
    std::wstring noData;
    std::vector<std::wstring> success;
    std::wstring failure;
};

const ButtonCase buttonCases[] = {
    {"Set",
     &TForm1::Button24Click,
     "82",
     "AA0009820F0000000101010085BB",
     NoDataFullWidth,
     {L"Set Up Success   {t}\r\n"},
     L"Set up format false   "},
    // Before any set the reader holds its factory record.
    {"Read",
     &TForm1::Button25Click,
     "83",
     "AA00018382BB",
     NoDataFullWidth,
     {L"Read data success    {t}", OutputFormat + L"10 no.in D", OutputFormat + L"do not add semicolon ",
      OutputFormat + L"do not add , ", OutputFormat + L"do not add ? ", OutputFormat + L"add enter\r\n",
      L"no add customize data...   \r\n"},
     L"Read format false   "},
    {"ActiveReading",
     &TForm1::Button27Click,
     "0f",
     "AA00020F010CBB",
     NoDataFullWidth,
     {L"Set Active reading success    {t}"},
     L"Set Active reading false   "},
    {"PassiveReading",
     &TForm1::Button28Click,
     "0f",
     "AA00020F020FBB",
     NoDataFullWidth,
     {L"Set Passtive reading success    {t}"},
     L"Set Passtive reading false   "},
    {"FactoryDefault",
     &TForm1::Button57Click,
     "cf",
     "AA0001CFCEBB",
     NoData,
     {L"Restore factory settings Success    {t}\r\n"},
     L"Restore factory settings False    "},
    {"Version",
     &TForm1::Button63Click,
     "c0",
     "AA0001C0C1BB",
     NoData,
     {L"read version number success ", L"the version number is：：USB reader V2.60\r\n"},
     L"read version number false    "},
    {"SearchInterval",
     &TForm1::Button30Click,
     "c1",
     "AA0002C10AC9BB",
     NoData,
     {L"search card interval success     {t}\r\n"},
     L"search card interval false     "},
    {"CardFilter",
     &TForm1::Button35Click,
     "c2",
     "AA0002C20ACABB",
     NoData,
     {L"Set card filter number Success     {t}\r\n"},
     L"Set card filter number false     "},
    {"OutputInterfaces",
     &TForm1::Button41Click,
     "c3",
     "AA0004C3010101C6BB",
     NoData,
     {L"output interface setting  Success    {t}\r\n"},
     L"output interface setting false     "},
    {"Prefix",
     &TForm1::Button43Click,
     "cb",
     "AA0006CB0130313233CCBB",
     NoData,
     {L"Set prefix Success    {t}\r\n"},
     L"Set prefix False    "},
    {"Suffix",
     &TForm1::Button50Click,
     "cb",
     "AA0006CB0231323334CBBB",
     NoData,
     {L"Suffix setting Success     {t}\r\n"},
     L"Suffix setting false     "},
    {"BaudRate",
     &TForm1::Button51Click,
     "c4",
     "AA0002C400C6BB",
     NoData,
     {L"Setting baud rate Success     {t}\r\n"},
     L"Setting baud rate False     "},
    {"SerialEndSymbol",
     &TForm1::Button56Click,
     "c5",
     "AA0002C502C5BB",
     NoData,
     {L"Serial port end symbol Success     {t}\r\n"},
     L"Serial port end symbol false     "},
    {"WiegandFormat",
     &TForm1::Button58Click,
     "c6",
     "AA0002C600C4BB",
     NoData,
     {L"Wiegand output format success     {t}\r\n"},
     L"Wiegand output format false    "},
    {"WiegandPosition",
     &TForm1::Button59Click,
     "c9",
     "AA0002C909C2BB",
     NoData,
     {L"Set Wiegand value position success     {t}\r\n"},
     L"Set Wiegand value position false     "},
    // Both Wiegand timings hold hex digits: "0A" is ten.
    {"WiegandPulse",
     &TForm1::Button60Click,
     "c7",
     "AA0002C70ACFBB",
     NoData,
     {L"Set wiegand Low level pulse Success     {t}\r\n"},
     L"Set wiegand Low level pulse False     "},
    {"WiegandIdle",
     &TForm1::Button61Click,
     "c8",
     "AA0002C80AC0BB",
     NoData,
     {L"Set Wiegand Idle level Success     {t}\r\n"},
     L"Set Wiegand Idle level fasle     "},
    {"RfPower",
     &TForm1::Button62Click,
     "cc",
     "AA0002CC02CCBB",
     NoData,
     {L"Set RF power Success     {t}\r\n"},
     L"Set RF power False     "},
    // A fixed frame from address 00 (checked with another address below).
    {"UsbSerialSwitch",
     &TForm1::Button71Click,
     "b8",
     "AA0001B8B9BB",
     NoData,
     {L"USB mode switch setting  Success    {t}\r\n"},
     L"USB mode switch setting false     "},
};

enum class Outcome { Success, Failure, NoReply, OtherStatus };

struct ReportCase {
    const ButtonCase* button;
    Outcome outcome;
};

std::vector<ReportCase> AllReportCases() {
    std::vector<ReportCase> cases;
    for (const ButtonCase& button : buttonCases)
        for (Outcome outcome : {Outcome::Success, Outcome::Failure, Outcome::NoReply, Outcome::OtherStatus})
            cases.push_back({&button, outcome});
    return cases;
}

std::string CaseName(const ReportCase& c) {
    static const char* const outcomes[] = {"Success", "Failure", "NoReply", "OtherStatus"};
    return std::string(c.button->name) + "_" + outcomes[static_cast<int>(c.outcome)];
}

class Report : public SettingsTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(Report, SendsTheFrameAndReportsTheOutcome) {
    const ButtonCase& button = *GetParam().button;
    std::vector<std::wstring> expected;
    switch (GetParam().outcome) {
    case Outcome::Success:
        expected = button.success;
        break;
    case Outcome::Failure:
        reader().Control((std::string("force ") + button.command + " reason 83").c_str());
        expected = FailureLines(button.failure, L"卡不存在....");
        break;
    case Outcome::NoReply:
        reader().Control("silence");
        expected = {button.noData + L"{t}\r\n"};
        break;
    case Outcome::OtherStatus:
        reader().Control((std::string("force ") + button.command + " status 02").c_str());
        expected = {L"data error,please check data..   {t}\r\n"};
        break;
    }

    Run(button.handler);

    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_EQ(reader().LastFrame(), button.frame);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
    EXPECT_TRUE(ReportedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(SettingPages, Report, ::testing::ValuesIn(AllReportCases()),
                         [](const auto& info) { return CaseName(info.param); });

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
