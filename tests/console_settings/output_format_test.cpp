// The output format: what "Set" sends for each choice and flag, and what "Read" then shows of the
// record the reader kept.
#include "settings_fixture.h"

namespace {

const std::wstring OutputFormat = L"The Output format ： ";

struct FormatCase {
    const char* name;
    TRadioButton* TForm1::*button;
    const wchar_t* count; // Edit64, for the custom length
    const char* code;     // the format byte in the frame
    std::wstring shown;   // the format's words on read-back
};

const FormatCase formatCases[] = {
    {"HexTen", &TForm1::RadioButton5, nullptr, "07", L"10 no. in HEX"},
    {"HexEight", &TForm1::RadioButton6, nullptr, "0C", L"8 no. in HEX"},
    // Sent as "0d", read back as "0D": the same row.
    {"ZeroZeroPlusEightDecimal", &TForm1::RadioButton7, nullptr, "0D", L"00+8 no. in D (last 3 bytes)"},
    {"HexEightReverse", &TForm1::RadioButton8, nullptr, "03", L"8 no. in HEX reverse"},
    {"DecimalEightLast3", &TForm1::RadioButton9, nullptr, "0B", L"8 no. in D (last 3bytes)"},
    {"DecimalEighteen", &TForm1::RadioButton10, nullptr, "06", L"18 no. in D"},
    {"DecimalEightLast4", &TForm1::RadioButton11, nullptr, "0E", L"8 no. in D (The card last 3bytes)"},
    {"DecimalFive", &TForm1::RadioButton12, nullptr, "08", L"5 no. in D"},
    {"DecimalEight", &TForm1::RadioButton13, nullptr, "09", L"8 no. in D "},
    {"DecimalTenReverse", &TForm1::RadioButton14, nullptr, "0A", L"10 no. in D reverse"},
    {"DecimalThirteen", &TForm1::RadioButton15, nullptr, "05", L"13 no. in D"},
    {"DecimalTenFourBytes", &TForm1::RadioButton16, nullptr, "0F", L"10 no.in D"},
    {"TwoHFourD", &TForm1::RadioButton17, nullptr, "00", L"2H4D + 2H4D "},
    {"EpcAll", &TForm1::RadioButton21, nullptr, "01", L"8 no. in HEX (7 byte) "},
    {"EpcReverse", &TForm1::RadioButton22, nullptr, "02", L"8 no. in HEX reverse  (7 byte)  "},
    {"Gs1", &TForm1::RadioButton29, nullptr, "04", L"EPC card nubmer transform GS1 format（sgtin-96）..."},
    {"Ascii", &TForm1::RadioButton34, nullptr, "10", L"Card number converted to ASCII output..."},
    {"CustomTen", &TForm1::RadioButton35, L"10", "8A", L"Card number custom length hexadecimal output..."},
    {"CustomOne", &TForm1::RadioButton35, L"1", "81", L"Card number custom length hexadecimal output..."},
    {"CustomLongest", &TForm1::RadioButton35, L"127", "FF",
     L"Card number custom length hexadecimal output..."},
    // "00" asks for the whole number, which is the code of the EPC choice.
    {"CustomAll", &TForm1::RadioButton35, L"00", "01", L"8 no. in HEX (7 byte) "},
};

// The read-back lines of a record with the start-up flags (Enter only).
std::vector<std::wstring> ReadBack(const std::wstring& shown) {
    return {L"Read data success    {t}",
            OutputFormat + shown,
            OutputFormat + L"do not add semicolon ",
            OutputFormat + L"do not add , ",
            OutputFormat + L"do not add ? ",
            OutputFormat + L"add enter\r\n",
            L"no add customize data...   \r\n"};
}

class FormatRoundTrip : public SettingsTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatRoundTrip, ReadShowsTheFormatThatWasSet) {
    const FormatCase& c = GetParam();
    (form().*c.button)->SetChecked(true);
    if (c.count) form().Edit64->SetText(c.count);

    Run(&TForm1::Button24Click);
    const std::string frame = reader().LastFrame();
    ASSERT_EQ(frame.size(), 28u) << frame;
    EXPECT_EQ(frame.substr(0, 8), "AA000982");
    EXPECT_EQ(frame.substr(8, 2), c.code);
    EXPECT_EQ(frame.substr(10, 14), "00000001010100");

    Run(&TForm1::Button25Click);
    std::vector<std::wstring> expected{L"Set Up Success   {t}\r\n"};
    for (const std::wstring& line : ReadBack(c.shown)) expected.push_back(line);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
}

INSTANTIATE_TEST_SUITE_P(OutputFormat, FormatRoundTrip, ::testing::ValuesIn(formatCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FlagCase {
    const char* name;
    bool semicolon, question, comma, enter, bigBuzzer, rssi;
    const char* flagBytes; // the seven flag bytes of the frame
    std::vector<std::wstring> shown;
};

const FlagCase flagCases[] = {
    {"None",
     false,
     false,
     false,
     false,
     false,
     false,
     "00000000000100",
     {OutputFormat + L"do not add semicolon ", OutputFormat + L"do not add , ",
      OutputFormat + L"do not add ? ", OutputFormat + L"do not add enter \r\n",
      L"no add customize data...   \r\n"}},
    // The log shows the comma before the question mark, unlike the frame.
    {"SemicolonAndComma",
     true,
     false,
     true,
     false,
     true,
     false,
     "01000100010100",
     {OutputFormat + L"add semicolon", OutputFormat + L"add ,", OutputFormat + L"do not add ? ",
      OutputFormat + L"do not add enter \r\n", L"no add customize data...   \r\n"}},
    {"QuestionMarkAndEnter",
     false,
     true,
     false,
     true,
     false,
     false,
     "00010001000100",
     {OutputFormat + L"do not add semicolon ", OutputFormat + L"do not add , ", OutputFormat + L"add ?",
      OutputFormat + L"add enter\r\n", L"no add customize data...   \r\n"}},
    // With the signal strength the custom data line shows the Enter flag's field.
    {"SignalStrength",
     false,
     false,
     false,
     true,
     true,
     true,
     "00000001010101",
     {OutputFormat + L"do not add semicolon ", OutputFormat + L"do not add , ",
      OutputFormat + L"do not add ? ", OutputFormat + L"add enter\r\n", L"The customize data is ：  01"}},
    {"SignalStrengthWithoutEnter",
     true,
     true,
     true,
     false,
     false,
     true,
     "01010100000101",
     {OutputFormat + L"add semicolon", OutputFormat + L"add ,", OutputFormat + L"add ?",
      OutputFormat + L"do not add enter \r\n", L"The customize data is ：  00"}},
};

class FlagRoundTrip : public SettingsTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(FlagRoundTrip, ReadShowsTheFlagsThatWereSet) {
    const FlagCase& c = GetParam();
    form().CheckBox16->SetChecked(c.semicolon);
    form().CheckBox17->SetChecked(c.question);
    form().CheckBox18->SetChecked(c.comma);
    form().CheckBox15->SetChecked(c.enter);
    (c.bigBuzzer ? form().RadioButton18 : form().RadioButton20)->SetChecked(true);
    form().CheckBox21->SetChecked(c.rssi);

    Run(&TForm1::Button24Click);
    EXPECT_EQ(reader().LastFrame().substr(8, 16), std::string("0F") + c.flagBytes);

    form().RichEdit1->Clear();
    Run(&TForm1::Button25Click);
    std::vector<std::wstring> expected{L"Read data success    {t}", OutputFormat + L"10 no.in D"};
    for (const std::wstring& line : c.shown) expected.push_back(line);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
}

INSTANTIATE_TEST_SUITE_P(OutputFormat, FlagRoundTrip, ::testing::ValuesIn(flagCases),
                         [](const auto& info) { return std::string(info.param.name); });

using OutputFormatRead = SettingsTest;

TEST_F(OutputFormatRead, FieldsBeyondAShortReplyAreEmpty) {
    // The length byte says 2: the reply text ends after the format code and the ";" flag.
    reader().Control("oversize 02");
    Run(&TForm1::Button25Click);
    EXPECT_EQ(ReplyHex, L"AA000200000F00");
    EXPECT_EQ(LogText(), ExpectedLog({L"Read data success    {t}", OutputFormat + L"10 no.in D",
                                      OutputFormat + L"do not add semicolon ", OutputFormat + L"add ,",
                                      OutputFormat + L"add ?", OutputFormat + L"add enter\r\n",
                                      L"The customize data is ：  "}));
}

TEST_F(OutputFormatRead, FactoryDefaultRestoresTheStartUpRecord) {
    form().RadioButton5->SetChecked(true);
    form().CheckBox16->SetChecked(true);
    Run(&TForm1::Button24Click);
    Run(&TForm1::Button57Click);
    form().RichEdit1->Clear();
    Run(&TForm1::Button25Click);
    EXPECT_EQ(LogText(), ExpectedLog(ReadBack(L"10 no.in D")));
}

TEST_F(OutputFormatRead, CountZeroIsSentAs80AndTheReaderRefusesIt) {
    // Only the exact text "00" selects the whole number.
    form().RadioButton35->SetChecked(true);
    form().Edit64->SetText(L"0");
    Run(&TForm1::Button24Click);
    EXPECT_EQ(reader().LastFrame(), "AA00098280000000010101000ABB");
    EXPECT_EQ(LogText(),
              ExpectedLog(FailureLines(L"Set up format false   ", L"输入的参数大于最大允许范围，溢出.....")));
}

} // namespace
