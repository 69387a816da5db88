// The output format: the frame "Set" sends, what "Read" shows of the record the reader kept, and
// the byte boxes that are refused before anything is sent.
#include "tag_fixture.h"

namespace {

using tagconsole::TForm1;

const std::wstring OutputFormat = L"The Output format ： ";

// The read-back lines of a record with the given format words, no separators, no custom byte and
// the prefix and suffix bytes at 00.
std::vector<std::wstring> ReadBack(const std::wstring& shown) {
    return {L"Read data success    {t}",
            OutputFormat + shown,
            OutputFormat + L"do not add semicolon ",
            OutputFormat + L"do not add , ",
            OutputFormat + L"do not add ? ",
            OutputFormat + L"do not add enter ",
            L"Custom byte output is not added.   \r\n",
            L"The Prefix Byte is:00000000",
            L"The suffix Byte is:00000000\r\n"};
}

using OutputFormatSet = TagConsoleTest;

TEST_F(OutputFormatSet, DefaultsSendTheFactoryRecord) {
    Run(&TForm1::Button24Click);
    EXPECT_EQ(reader().LastFrame(), "AA0011820F0000000001010000000000000000009CBB");
    EXPECT_EQ(LogText(), ExpectedLog({L"Set Up Success   {t}\r\n"}));
}

struct FormatCase {
    const char* name;
    TRadioButton* ::TForm1::*button;
    const char* code; // the format byte on the wire
    std::wstring shown;
};

const FormatCase formatCases[] = {
    {"HexTen", &::TForm1::RadioButton5, "07", L"10 no. in HEX"},
    {"HexEight", &::TForm1::RadioButton6, "0C", L"8 no. in HEX"},
    // Sent as "0d", read back as "0D": the same row.
    {"ZeroZeroPlusEightDecimal", &::TForm1::RadioButton7, "0D", L"00+8 no. in D (last 3 bytes)"},
    {"HexEightReverse", &::TForm1::RadioButton8, "03", L"8 no. in HEX reverse"},
    {"DecimalEightLast3", &::TForm1::RadioButton9, "0B", L"8 no. in D (last 3bytes)"},
    {"DecimalEighteen", &::TForm1::RadioButton10, "06", L"18 no. in D"},
    {"DecimalEightLast4", &::TForm1::RadioButton11, "0E", L"8 no. in D (The card last 3bytes)"},
    {"DecimalFive", &::TForm1::RadioButton12, "08", L"5 no. in D"},
    {"DecimalEight", &::TForm1::RadioButton13, "09", L"8 no. in D "},
    {"DecimalTenReverse", &::TForm1::RadioButton14, "0A", L"10 no. in D reverse"},
    {"DecimalThirteen", &::TForm1::RadioButton15, "05", L"13 no. in D"},
    {"DecimalTenFourBytes", &::TForm1::RadioButton16, "0F", L"10 no.in D"},
    {"TwoHFourD", &::TForm1::RadioButton17, "00", L"2H4D + 2H4D "},
    {"HexFourteen", &::TForm1::RadioButton21, "01", L"14 no. in HEX (7 byte) "},
    {"HexFourteenReverse", &::TForm1::RadioButton22, "02", L"14 no. in HEX reverse  (7 byte)  "},
};

class FormatRoundTrip : public TagConsoleTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatRoundTrip, ReadShowsTheFormatThatWasSet) {
    const FormatCase& c = GetParam();
    (form().*c.button)->SetChecked(true);

    Run(&TForm1::Button24Click);
    const std::string frame = reader().LastFrame();
    ASSERT_EQ(frame.size(), 44u) << frame;
    EXPECT_EQ(frame.substr(0, 8), "AA001182");
    EXPECT_EQ(frame.substr(8, 2), c.code);
    EXPECT_EQ(frame.substr(10, 30), "000000000101000000000000000000");

    Run(&TForm1::Button25Click);
    std::vector<std::wstring> expected{L"Set Up Success   {t}\r\n"};
    for (const std::wstring& line : ReadBack(c.shown)) expected.push_back(line);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
}

INSTANTIATE_TEST_SUITE_P(OutputFormat, FormatRoundTrip, ::testing::ValuesIn(formatCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OutputFormatSet, SeparatorsBuzzerCustomBytePrefixAndSuffixRoundTrip) {
    for (TCheckBox* box : {form().CheckBox15, form().CheckBox16, form().CheckBox17, form().CheckBox18})
        box->SetChecked(true);
    form().RadioButton30->SetChecked(true); // small buzzer
    form().CheckBox19->SetChecked(true);    // Edit23 keeps "2B"
    const wchar_t* prefix[] = {L"30", L"31", L"32", L"33"};
    const wchar_t* suffix[] = {L"0D", L"0a", L" 2b ", L"FF"};
    TEdit* prefixBoxes[] = {form().Edit24, form().Edit25, form().Edit26, form().Edit27};
    TEdit* suffixBoxes[] = {form().Edit44, form().Edit45, form().Edit46, form().Edit47};
    for (int i = 0; i < 4; ++i) {
        prefixBoxes[i]->SetText(prefix[i]);
        suffixBoxes[i]->SetText(suffix[i]);
    }

    Run(&TForm1::Button24Click);
    EXPECT_EQ(reader().LastFrame().substr(6, 34), "820F0101010100012B303132330D0A2BFF");

    form().RichEdit1->Clear();
    Run(&TForm1::Button25Click);
    EXPECT_EQ(LogText(),
              ExpectedLog({L"Read data success    {t}", OutputFormat + L"10 no.in D",
                           OutputFormat + L"add semicolon", OutputFormat + L"add ,", OutputFormat + L"add ?",
                           OutputFormat + L"add enter", L"Custom byte output is  ：  2B",
                           L"The Prefix Byte is:30313233", L"The suffix Byte is:0D0A2BFF\r\n"}));
}

TEST_F(OutputFormatSet, AnUntickedCustomByteSends00WhateverItsBoxHolds) {
    form().Edit23->SetText(L"x");
    Run(&TForm1::Button24Click);
    EXPECT_EQ(reader().LastFrame().substr(22, 2), "00");
    EXPECT_TRUE(ReportedExceptions().empty());
}

struct RefusedCase {
    const char* name;
    const wchar_t* box;
    const wchar_t* text;
    const wchar_t* role;
};

const RefusedCase refusedCases[] = {
    {"PrefixOneDigit", L"Edit24", L"3", L"prefix byte"},
    {"PrefixThreeDigits", L"Edit25", L"313", L"prefix byte"},
    {"PrefixNotHex", L"Edit26", L"G1", L"prefix byte"},
    {"PrefixEmpty", L"Edit27", L"", L"prefix byte"},
    {"SuffixBlankBetweenDigits", L"Edit44", L"1 2", L"suffix byte"},
    {"SuffixOneDigitAfterBlanks", L"Edit47", L"  3", L"suffix byte"},
    {"CustomOneDigit", L"Edit23", L"B", L"custom byte"},
};

class RefusedBox : public TagConsoleTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedBox, SendsNothingAndSaysWhy) {
    const RefusedCase& c = GetParam();
    form().CheckBox19->SetChecked(true);
    auto* box = dynamic_cast<TEdit*>(form().FindComponent(c.box));
    ASSERT_NE(box, nullptr);
    box->SetText(c.text);

    Click(&TForm1::Button24Click);
    EXPECT_EQ(reader().FrameCount(), 0);
    EXPECT_EQ(LogText(), L"");
    ASSERT_EQ(ReportedExceptions().size(), 1u);
    EXPECT_EQ(ReportedExceptions()[0], std::wstring(L"'") + c.text + L"' is not a valid " + c.role +
                                           L": type two hex digits (00 to FF)");
}

INSTANTIATE_TEST_SUITE_P(OutputFormat, RefusedBox, ::testing::ValuesIn(refusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

using OutputFormatRead = TagConsoleTest;

TEST_F(OutputFormatRead, ACodeOutsideTheTableShowsNoWords) {
    // 04 is a format the reader knows and tagconsole does not offer.
    form().Send(L"82 04 00 00 00 00 01 01 00 00000000 00000000");
    Run(&TForm1::Button25Click);
    EXPECT_EQ(LogText(), ExpectedLog(ReadBack(L"")));
}

TEST_F(OutputFormatRead, FieldsBeyondAShortReplyAreEmpty) {
    // The length byte says 4: the text ends after the "," flag.
    reader().Control("oversize 04");
    Run(&TForm1::Button25Click);
    EXPECT_EQ(ReplyHex, L"AA000400000F000000");
    EXPECT_EQ(LogText(), ExpectedLog({L"Read data success    {t}", OutputFormat + L"10 no.in D",
                                      OutputFormat + L"do not add semicolon ",
                                      OutputFormat + L"do not add , ", OutputFormat + L"do not add ? ",
                                      OutputFormat + L"add enter", L"Custom byte output is  ：  ",
                                      L"The Prefix Byte is:", L"The suffix Byte is:\r\n"}));
}

TEST_F(OutputFormatRead, FactoryDefaultRestoresTheFactoryRecord) {
    form().RadioButton5->SetChecked(true);
    form().CheckBox16->SetChecked(true);
    form().Edit24->SetText(L"41");
    Run(&TForm1::Button24Click);
    Run(&TForm1::Button57Click);
    form().RichEdit1->Clear();
    Run(&TForm1::Button25Click);
    EXPECT_EQ(LogText(), ExpectedLog(ReadBack(L"10 no.in D")));
}

} // namespace
