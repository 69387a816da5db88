// Keyboard layout, work mode, sleep time, Bluetooth mode and name, version: the frames each
// choice sends and what the log then shows.
#include "tag_fixture.h"

#include <cstdio>

namespace {

using tagconsole::TForm1;

// The frame the reader should see for a payload from address 00, as upper-case hex.
std::string FrameFor(const std::string& payload) {
    unsigned check = static_cast<unsigned>(payload.size() / 2);
    for (std::size_t i = 0; i + 1 < payload.size(); i += 2)
        check ^= std::stoul(payload.substr(i, 2), nullptr, 16);
    char head[8], tail[8];
    std::snprintf(head, sizeof head, "AA00%02X", static_cast<unsigned>(payload.size() / 2));
    std::snprintf(tail, sizeof tail, "%02XBB", check & 0xFF);
    return head + payload + tail;
}

TEST(FrameFor, MatchesAKnownFrame) {
    EXPECT_EQ(FrameFor("0F01"), "AA00020F010CBB");
}

struct LayoutCase {
    TRadioButton* TForm1::*button;
    const char* code;    // on the wire
    const wchar_t* sent; // as written into Edit4
    std::wstring name;   // read back
};

const LayoutCase layoutCases[] = {
    {&TForm1::RadioButton18, "00", L"00", L"American style"},
    {&TForm1::RadioButton24, "01", L"01", L"Belgium"},
    {&TForm1::RadioButton25, "02", L"02", L"Brazil"},
    {&TForm1::RadioButton26, "03", L"03", L"Canada"},
    {&TForm1::RadioButton53, "04", L"04", L"Croatia"},
    {&TForm1::RadioButton52, "05", L"05", L"Czech Republic"},
    {&TForm1::RadioButton51, "06", L"06", L"Slovakia"},
    {&TForm1::RadioButton50, "07", L"07", L"Denmark"},
    {&TForm1::RadioButton49, "08", L"08", L"Finland "},
    {&TForm1::RadioButton39, "09", L"09", L"French"},
    {&TForm1::RadioButton38, "0A", L"0a", L"German"},
    {&TForm1::RadioButton20, "0B", L"0b", L"Hungary"},
    {&TForm1::RadioButton47, "0C", L"0c", L"Italy "},
    {&TForm1::RadioButton45, "0D", L"0d", L"Latin America "},
    {&TForm1::RadioButton31, "0E", L"0e", L"Netherlands "},
    {&TForm1::RadioButton27, "0F", L"0f", L"Norway"},
    {&TForm1::RadioButton43, "10", L"10", L"poland"},
    {&TForm1::RadioButton41, "11", L"11", L"Portugal "},
    {&TForm1::RadioButton37, "12", L"12", L"Serbia"},
    {&TForm1::RadioButton36, "13", L"13", L"Slovenia "},
    {&TForm1::RadioButton35, "14", L"14", L"Spain"},
    {&TForm1::RadioButton23, "15", L"15", L"Sweden"},
    {&TForm1::RadioButton48, "16", L"16", L"Switzerland-French"},
    {&TForm1::RadioButton46, "17", L"17", L"Switzerland-German"},
    {&TForm1::RadioButton44, "18", L"18", L"England "},
    {&TForm1::RadioButton28, "19", L"19", L"Non Latin"},
    {&TForm1::RadioButton42, "1A", L"1a", L"turkey-F"},
    {&TForm1::RadioButton40, "1B", L"1b", L"turkey-Q"},
    {&TForm1::RadioButton34, "1C", L"1c", L"Japanese "},
    {&TForm1::RadioButton33, "1D", L"1d", L"Romania"},
};

class KeyboardLayout : public TagConsoleTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(KeyboardLayout, SetThenReadShowsItsName) {
    const LayoutCase& c = GetParam();
    (form().*c.button)->SetChecked(true);
    Run(&TForm1::Button27Click);
    EXPECT_EQ(reader().LastFrame(), FrameFor(std::string("80") + c.code));
    EXPECT_EQ(form().Edit4->Text(), c.sent);
    EXPECT_EQ(LogText(), ExpectedLog({L"Set Up Success   {t}\r\n"}));

    form().RichEdit1->Clear();
    Run(&TForm1::Button28Click);
    EXPECT_EQ(reader().LastFrame(), "AA00018382BB");
    EXPECT_EQ(LogText(), ExpectedLog({L"The output language is : " + c.name + L" .  {t}"}));
}

INSTANTIATE_TEST_SUITE_P(Language, KeyboardLayout, ::testing::ValuesIn(layoutCases),
                         [](const auto& info) { return std::string(info.param.code); });

struct ModeCase {
    const char* name;
    TRadioButton* TForm1::*button;
    Handler handler;
    const char* payload;
    std::wstring mode;
};

const ModeCase modeCases[] = {
    {"KeyTrigger", &TForm1::RadioButton32, &TForm1::Button69Click, "0F01", L"Key trigger mode "},
    {"ActiveSingle", &TForm1::RadioButton54, &TForm1::Button69Click, "0F02", L"Active read single "},
    {"ActiveContinuity", &TForm1::RadioButton55, &TForm1::Button69Click, "0F03", L"Active read continuity "},
    {"BluetoothHid", &TForm1::RadioButton56, &TForm1::Button35Click, "2200", L"HID mode "},
    {"BluetoothSpp", &TForm1::RadioButton57, &TForm1::Button35Click, "2201", L"SPP mode "},
    {"BluetoothBle", &TForm1::RadioButton58, &TForm1::Button35Click, "2202", L"BLE mode "},
};

class Mode : public TagConsoleTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(Mode, SuccessAndFailureNameTheCheckedMode) {
    const ModeCase& c = GetParam();
    (form().*c.button)->SetChecked(true);
    Run(c.handler);
    EXPECT_EQ(reader().LastFrame(), FrameFor(c.payload));
    EXPECT_EQ(LogText(), ExpectedLog({L"Set  " + c.mode + L" Success    {t}"}));

    form().RichEdit1->Clear();
    reader().Control("force any reason 81");
    Run(c.handler);
    EXPECT_EQ(LogText(), ExpectedLog(FailureLines(L"Set " + c.mode + L"False   ", L"参数设置失败....")));
}

INSTANTIATE_TEST_SUITE_P(Modes, Mode, ::testing::ValuesIn(modeCases),
                         [](const auto& info) { return std::string(info.param.name); });

using SleepTime = TagConsoleTest;

TEST_F(SleepTime, EveryItemSendsItsIndex) {
    ASSERT_EQ(form().ComboBox20->Items()->Count(), 9);
    for (int index = 0; index < 9; ++index) {
        form().ComboBox20->SetItemIndex(index);
        form().RichEdit1->Clear();
        Run(&TForm1::Button30Click);
        EXPECT_EQ(reader().LastFrame(), FrameFor("0E0" + std::to_string(index))) << index;
        EXPECT_EQ(LogText(), ExpectedLog({L"Set sleep time  success     {t}\r\n"})) << index;
    }
}

TEST_F(SleepTime, NoItemSendsTheBareCommand) {
    form().ComboBox20->SetItemIndex(-1);
    Run(&TForm1::Button30Click);
    EXPECT_EQ(reader().LastFrame(), "AA00010E0FBB");
    EXPECT_EQ(LogText(),
              ExpectedLog(FailureLines(L"Set sleep time false     ", L"输入参数或者输入命令格式错误....")));
}

struct NameCase {
    const char* name;
    std::wstring text;
    const char* payload;
};

const NameCase nameCases[] = {
    {"Default", L"Bluetooth1.0", "88426C7565746F6F7468312E30"},
    {"Empty", L"", "88"},
    // One byte per character of the program's code page: two for each Chinese character.
    {"Chinese", L"读卡器", "88B6C1BFA8C6F7"},
};

class BluetoothName : public TagConsoleTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(BluetoothName, GoesOutOneBytePerCharacter) {
    form().Edit29->SetText(GetParam().text);
    Run(&TForm1::Button41Click);
    EXPECT_EQ(reader().LastFrame(), FrameFor(GetParam().payload));
}

INSTANTIATE_TEST_SUITE_P(Bluetooth, BluetoothName, ::testing::ValuesIn(nameCases),
                         [](const auto& info) { return std::string(info.param.name); });

using Bluetooth = TagConsoleTest;

TEST_F(Bluetooth, NameSetAndItsOutcomes) {
    Run(&TForm1::Button41Click);
    EXPECT_EQ(LogText(), ExpectedLog({L"Set Bluetooth name successfully     {t}\r\n"}));

    // The reader takes no empty name.
    form().RichEdit1->Clear();
    form().Edit29->SetText(L"");
    Run(&TForm1::Button41Click);
    EXPECT_EQ(LogText(), ExpectedLog(FailureLines(L"Set Bluetooth name false     ",
                                                  L"输入参数或者输入命令格式错误....")));
}

TEST_F(Bluetooth, ANameLongerThanOneFrameIsRefused) {
    // 249 bytes still fit the 255-byte frame; the reader itself refuses what it cannot keep.
    form().Edit29->SetText(String(249, L'A'));
    Click(&TForm1::Button41Click);
    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_TRUE(ReportedExceptions().empty());

    form().Edit29->SetText(String(250, L'A'));
    Click(&TForm1::Button41Click);
    EXPECT_EQ(reader().FrameCount(), 1);
    ASSERT_EQ(ReportedExceptions().size(), 1u);
    EXPECT_NE(ReportedExceptions()[0].find(L"too long"), String::npos) << ReportedExceptions()[0];
}

using Version = TagConsoleTest;

TEST_F(Version, ShowsTheReadersText) {
    Run(&TForm1::Button63Click);
    EXPECT_EQ(reader().LastFrame(), "AA0001C0C1BB");
    EXPECT_EQ(LogText(), ExpectedLog({L"read version number success    ",
                                      L"the version number is：134.2K reader V1.1\r\n"}));
}

} // namespace
