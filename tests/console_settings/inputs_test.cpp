// What the boxes and choices put into a frame, the inputs that are refused before anything is
// sent, the version text and the buzzer switch.
#include "settings_fixture.h"

#include <windows.h>

namespace {

struct Box {
    const wchar_t* name;
    const wchar_t* text;
};

struct InputCase {
    const char* name;
    std::vector<Box> boxes;
    Handler handler;
    const char* frame;
};

const InputCase inputCases[] = {
    {"IntervalLargest", {{L"Edit29", L"255"}}, &TForm1::Button30Click, "AA0002C1FF3CBB"},
    {"IntervalZero", {{L"Edit29", L"0"}}, &TForm1::Button30Click, "AA0002C100C3BB"},
    {"FilterLeadingZero", {{L"Edit35", L"010"}}, &TForm1::Button35Click, "AA0002C20ACABB"},
    // The Wiegand timings are hex: "10" is sixteen, a single digit is a whole byte.
    {"PulseHexTen", {{L"Edit42", L"10"}}, &TForm1::Button60Click, "AA0002C710D5BB"},
    {"PulseLargest", {{L"Edit42", L"FF"}}, &TForm1::Button60Click, "AA0002C7FF3ABB"},
    {"IdleOneDigitLowerCase", {{L"Edit51", L"a"}}, &TForm1::Button61Click, "AA0002C80AC0BB"},
    {"PrefixThirdOnly",
     {{L"Edit24", L""}, {L"Edit25", L""}, {L"Edit26", L"32"}, {L"Edit27", L""}},
     &TForm1::Button43Click,
     "AA0003CB0132FBBB"},
    {"PrefixNone",
     {{L"Edit24", L""}, {L"Edit25", L""}, {L"Edit26", L""}, {L"Edit27", L""}},
     &TForm1::Button43Click,
     "AA0002CB01C8BB"},
    {"SuffixTwoBytes",
     {{L"Edit44", L"41"}, {L"Edit45", L" 42 "}, {L"Edit46", L""}, {L"Edit47", L""}},
     &TForm1::Button50Click,
     "AA0004CB024142CEBB"},
    // Blanks between whole pairs are separators, as everywhere in hex text.
    {"SuffixPairsInOneBox",
     {{L"Edit44", L"41 42"}, {L"Edit45", L""}, {L"Edit46", L""}, {L"Edit47", L""}},
     &TForm1::Button50Click,
     "AA0004CB024142CEBB"},
};

class Inputs : public SettingsTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(Inputs, GoIntoTheFrame) {
    for (const Box& box : GetParam().boxes) SetBox(box.name, box.text);
    Run(GetParam().handler);
    EXPECT_EQ(reader().LastFrame(), GetParam().frame);
    EXPECT_TRUE(ReportedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(SettingPages, Inputs, ::testing::ValuesIn(inputCases),
                         [](const auto& info) { return std::string(info.param.name); });

using Choices = SettingsTest;

TEST_F(Choices, OutputInterfacesSendOneFlagEach) {
    form().RadioButton26->SetChecked(true); // Wiegand closed
    Run(&TForm1::Button41Click);
    EXPECT_EQ(reader().LastFrame(), "AA0004C3010001C7BB");
    form().RadioButton24->SetChecked(true);
    form().RadioButton28->SetChecked(true);
    Run(&TForm1::Button41Click);
    EXPECT_EQ(reader().LastFrame(), "AA0004C3000000C7BB");
}

TEST_F(Choices, BaudRatesByTheirPlaceInTheList) {
    const std::pair<const wchar_t*, const char*> rates[] = {
        {L"9600", "AA0002C400C6BB"},  {L"19200", "AA0002C401C7BB"},  {L"38400", "AA0002C402C4BB"},
        {L"57600", "AA0002C403C5BB"}, {L"115200", "AA0002C404C2BB"},
    };
    for (const auto& [rate, frame] : rates) {
        form().ComboBox20->SetText(rate);
        Run(&TForm1::Button51Click);
        EXPECT_EQ(reader().LastFrame(), frame) << rate;
    }
}

TEST_F(Choices, ABaudRateOutsideTheListSendsTheBareCommand) {
    form().ComboBox20->SetText(L"4800");
    Run(&TForm1::Button51Click);
    EXPECT_EQ(reader().LastFrame(), "AA0001C4C5BB");
    EXPECT_EQ(LogText(), ExpectedLog(FailureLines(L"Setting baud rate False     ",
                                                  L"输入参数或者输入命令格式错误....")));
}

struct RefusedCase {
    const char* name;
    Box box;
    Handler handler;
    std::wstring message;
};

const RefusedCase refusedCases[] = {
    {"IntervalAboveByte",
     {L"Edit29", L"256"},
     &TForm1::Button30Click,
     L"'256' is not a valid byte value (0 to 255)"},
    {"FilterNegative",
     {L"Edit35", L"-1"},
     &TForm1::Button35Click,
     L"'-1' is not a valid byte value (0 to 255)"},
    {"EndSymbolFarAbove",
     {L"Edit37", L"1000"},
     &TForm1::Button56Click,
     L"'1000' is not a valid byte value (0 to 255)"},
    {"WiegandFormatNotANumber",
     {L"Edit39", L"abc"},
     &TForm1::Button58Click,
     L"'abc' is not a valid integer value"},
    {"PositionEmpty", {L"Edit40", L""}, &TForm1::Button59Click, L"'' is not a valid integer value"},
    {"RfPowerAboveByte",
     {L"Edit52", L"300"},
     &TForm1::Button62Click,
     L"'300' is not a valid byte value (0 to 255)"},
    {"PulseThreeDigits",
     {L"Edit42", L"100"},
     &TForm1::Button60Click,
     L"'100' is not a valid hex byte value (00 to FF)"},
    {"PulseNotHex",
     {L"Edit42", L"0G"},
     &TForm1::Button60Click,
     L"'0G' is not a valid hex byte value (00 to FF)"},
    {"IdleEmpty", {L"Edit51", L""}, &TForm1::Button61Click, L"'' is not a valid hex byte value (00 to FF)"},
    {"IdleNegative",
     {L"Edit51", L"-1"},
     &TForm1::Button61Click,
     L"'-1' is not a valid hex byte value (00 to FF)"},
    {"PrefixLoneDigit",
     {L"Edit24", L"3"},
     &TForm1::Button43Click,
     L"'3' is not a valid hex byte text (pairs of hex digits)"},
    {"PrefixNotHex",
     {L"Edit27", L"3G"},
     &TForm1::Button43Click,
     L"'3G' is not a valid hex byte text (pairs of hex digits)"},
    {"SuffixOddDigits",
     {L"Edit46", L"333"},
     &TForm1::Button50Click,
     L"'333' is not a valid hex byte text (pairs of hex digits)"},
    {"SuffixSeparatedDigits",
     {L"Edit47", L"3 4"},
     &TForm1::Button50Click,
     L"'3 4' is not a valid hex byte text (pairs of hex digits)"},
    {"SuffixHexPrefix",
     {L"Edit45", L"0x32"},
     &TForm1::Button50Click,
     L"'0x32' is not a valid hex byte text (pairs of hex digits)"},
};

class Refused : public SettingsTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(Refused, SendsNothingAndSaysWhy) {
    const RefusedCase& c = GetParam();
    SetBox(c.box.name, c.box.text);
    try {
        Run(c.handler);
        ADD_FAILURE() << "not refused";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(reader().FrameCount(), 0);
    EXPECT_EQ(LogText(), L"");
}

INSTANTIATE_TEST_SUITE_P(SettingPages, Refused, ::testing::ValuesIn(refusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct CountCase {
    const wchar_t* count;
    std::wstring message;
};

class RefusedCount : public SettingsTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(RefusedCount, SendsNothingAndSaysWhy) {
    form().RadioButton35->SetChecked(true);
    form().Edit64->SetText(GetParam().count);
    try {
        Run(&TForm1::Button24Click);
        ADD_FAILURE() << "not refused";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), GetParam().message);
    }
    EXPECT_EQ(reader().FrameCount(), 0);
    EXPECT_EQ(LogText(), L"");
}

INSTANTIATE_TEST_SUITE_P(CustomLength, RefusedCount,
                         ::testing::Values(CountCase{L"128", L"'128' is not a valid byte count (0 to 127)"},
                                           CountCase{L"-1", L"'-1' is not a valid byte count (0 to 127)"},
                                           CountCase{L"ten", L"'ten' is not a valid integer value"}));

TEST_F(Choices, ACountIsReadOnlyForTheCustomLength) {
    form().Edit64->SetText(L"ten");
    Run(&TForm1::Button24Click);
    EXPECT_EQ(reader().LastFrame(), "AA0009820F0000000101010085BB");
}

TEST_F(Choices, ARefusalFromAClickIsShownByTheApplication) {
    SetBox(L"Edit29", L"256");
    SendMessageW(reinterpret_cast<HWND>(form().Button30->Handle()), BM_CLICK, 0, 0);
    ASSERT_EQ(ReportedExceptions().size(), 1u);
    EXPECT_EQ(ReportedExceptions()[0], L"'256' is not a valid byte value (0 to 255)");
    EXPECT_EQ(reader().FrameCount(), 0);
}

using Version = SettingsTest;

TEST_F(Version, ShowsTheReadersText) {
    const std::pair<const char*, std::wstring> versions[] = {
        {"version V1.0", L"V1.0"},
        // Characters go two at a time: the odd last one is lost.
        {"version V1.0X", L"V1.0"},
        {"version USB reader V9.9 ", L"USB reader V9.9 "},
        // The reader's text is GB2312.
        {"version \xC4\xE3\xBA\xC3V2", L"你好V2"},
        // Bytes that make no text are shown as the data field's hex digits.
        {"version V1\xFF\xFF", L"5631FFFF"},
    };
    for (const auto& [control, shown] : versions) {
        reader().Control(control);
        form().RichEdit1->Clear();
        Run(&TForm1::Button63Click);
        EXPECT_EQ(LogText(), ExpectedLog({L"read version number success ",
                                          L"the version number is：：" + shown + L"\r\n"}))
            << control;
    }
}

TEST_F(Choices, BuzzerSwitchSendsOpenThenCloseWithoutWaiting) {
    Click(L"Button64");
    EXPECT_EQ(reader().LastFrame(), "AA0002CD00CFBB");
    EXPECT_EQ(form().Button64->Caption(), L"Open voice");
    Click(L"Button64");
    EXPECT_EQ(reader().LastFrame(), "AA0002CD01CEBB");
    EXPECT_EQ(form().Button64->Caption(), L"Close voice");
    EXPECT_EQ(reader().FrameCount(), 2);
    EXPECT_EQ(LogText(),
              ExpectedLog({L"Send Buzzer Open Instruction..", L"Send buzzer shutdown instructions"}));
}

TEST_F(Choices, BuzzerSwitchShowsOnlyTheTransportsTrouble) {
    reader().Control("short always");
    Run(&TForm1::Button64Click);
    reader().Control("short off");
    EXPECT_EQ(form().Button64->Caption(), L"Open voice");
    EXPECT_EQ(LogText(), ExpectedLog({L"data error,please check Device Connection...",
                                      L"Send Buzzer Open Instruction.."}));
}

} // namespace
