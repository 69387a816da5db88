// "Write": the EPC number written into the tag found, the number stepped after each success, the
// tag just written left alone, and the numbers and passwords refused before anything is sent.
#include "uhf_fixture.h"

#include <framework/sysutils.h>

namespace {

const std::wstring Success = L"Write Card Success,The card number is : ";

std::wstring Repeat(const std::wstring& pair, int times) {
    std::wstring text;
    for (int i = 0; i < times; ++i) text += pair;
    return text;
}

using Write = UhfTest;

TEST_F(Write, WritesTheNumberIntoTheTagFoundAndStepsIt) {
    Transcript transcript;
    Run(&TForm1::Button66Click);

    EXPECT_EQ(LogText(), ExpectedLog({Success + FirstNumber}));
    EXPECT_EQ(form().epcbuf->Text(), FirstNumber);
    EXPECT_EQ(form().Edit54->Text(), L"000000000000000000000002");
    EXPECT_EQ(form().Edit60->Text(), DefaultEpc);
    // Select by the EPC found; write the stored CRC, PC 3000 and the new number from word 0.
    const std::vector<std::string> expected = {
        InventoryFrame, "AA001BCEBB000C001301000000206000E2005128930D0114174011223A7E00BB",
        "AA0021CEBB004900195E219C4701000000085C3F3000000000000000000000000001997E1CBB"};
    EXPECT_EQ(transcript.Frames(), expected);
    EXPECT_EQ(EpcInField(), FirstNumber);
    EXPECT_TRUE(ReportedExceptions().empty());
}

struct StepCase {
    const char* name;
    std::wstring typed;
    bool reverse;
    std::wstring written;
    std::wstring next;
};

const StepCase stepCases[] = {
    {"Plus", L"000000000000000000000009", false, L"000000000000000000000009", L"00000000000000000000000A"},
    {"PlusCarry", L"0000000000000000000000FF", false, L"0000000000000000000000FF",
     L"000000000000000000000100"},
    {"Reverse", L"010000000000000000000000", true, L"010000000000000000000000", L"020000000000000000000000"},
    {"ReverseCarry", L"FF0000000000000000000000", true, L"FF0000000000000000000000",
     L"000100000000000000000000"},
    {"TypedWithSeparators", L"00 00 00 00-00 00 00 00 00 00 00 07", false, L"000000000000000000000007",
     L"000000000000000000000008"},
    {"LowerCase", L"00000000000000000000abcd", false, L"00000000000000000000abcd",
     L"00000000000000000000ABCE"},
};

class WriteStep : public UhfTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(WriteStep, ShowsTheNextNumber) {
    const StepCase& c = GetParam();
    form().Edit54->SetText(c.typed);
    (c.reverse ? form().reverse : form().Forward)->SetChecked(true);
    Run(&TForm1::Button66Click);
    EXPECT_EQ(LogText(), ExpectedLog({Success + c.written}));
    EXPECT_EQ(form().epcbuf->Text(), c.written);
    EXPECT_EQ(form().Edit54->Text(), c.next);
    EXPECT_EQ(EpcInField(), UpperCase(c.written));
}

INSTANTIATE_TEST_SUITE_P(UhfPage, WriteStep, ::testing::ValuesIn(stepCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The EPC found is as long as the tag's length field says, and the new number as long as typed.
struct LengthCase {
    const char* name;
    std::wstring tagEpc;
    std::wstring number;
};

const std::wstring Epc62 = Repeat(L"A5", 62);

const LengthCase lengthCases[] = {
    {"ShortTagLongerNumber", L"1234ABCD", FirstNumber},
    {"LongestTag", Epc62, FirstNumber},
    {"LongestNumber", DefaultEpc, Repeat(L"3C", 61) + L"01"},
    {"LongestBoth", Epc62, Repeat(L"5A", 62)},
    {"OneWordNumber", DefaultEpc, L"0001"},
};

class WriteLength : public UhfTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(WriteLength, WritesAnyTagWithAnyNumberUpToThirtyOneWords) {
    const LengthCase& c = GetParam();
    Field({StringToUtf8(c.tagEpc)});
    form().Edit54->SetText(c.number);
    Run(&TForm1::Button66Click);
    EXPECT_EQ(form().Edit60->Text(), c.tagEpc);
    EXPECT_EQ(LogText(), ExpectedLog({Success + c.number}));
    EXPECT_EQ(EpcInField(), c.number);
}

INSTANTIATE_TEST_SUITE_P(UhfPage, WriteLength, ::testing::ValuesIn(lengthCases),
                         [](const auto& info) { return std::string(info.param.name); });

class TagJustWritten : public UhfTest, public ::testing::WithParamInterface<std::wstring> {};

TEST_P(TagJustWritten, IsLeftAloneAfterTheInventory) {
    form().Edit54->SetText(GetParam());
    Run(&TForm1::Button66Click);
    const std::wstring log = LogText();
    const std::wstring next = form().Edit54->Text();
    const int before = reader().FrameCount();

    Run(&TForm1::Button66Click);

    EXPECT_EQ(reader().FrameCount(), before + 1);
    EXPECT_EQ(reader().LastFrame(), InventoryFrame);
    EXPECT_EQ(LogText(), log);
    EXPECT_EQ(form().Edit54->Text(), next);
    EXPECT_EQ(form().Edit60->Text(), UpperCase(GetParam()));
}

// The tag answers in upper case whatever case the number was typed in.
INSTANTIATE_TEST_SUITE_P(UhfPage, TagJustWritten,
                         ::testing::Values(FirstNumber, L"00000000000000000000000a"));

TEST_F(Write, LeavesTheNumberWhenTheTagRefusesThePassword) {
    form().Edit63->SetText(L"00 00 00 00");
    const int before = reader().FrameCount();
    Run(&TForm1::Button66Click);
    EXPECT_EQ(reader().FrameCount(), before + 3);
    EXPECT_EQ(LogText(), L"");
    EXPECT_EQ(form().Edit54->Text(), FirstNumber);
    EXPECT_EQ(form().epcbuf->Text(), L"epcbuf");
    EXPECT_EQ(EpcInField(), DefaultEpc);
}

TEST_F(Write, KeepsTheCarryOutOfTheTopByteThenRefusesTheOddLength) {
    const std::wstring allOnes = Repeat(L"FF", 12);
    form().Edit54->SetText(allOnes);
    Run(&TForm1::Button66Click);
    EXPECT_EQ(form().Edit54->Text(), L"01" + Repeat(L"00", 12));

    Field({"300833B2DDD9014000000000"});
    const int before = reader().FrameCount();
    Run(&TForm1::Button66Click);
    EXPECT_EQ(reader().FrameCount(), before);
    EXPECT_EQ(
        LogText(),
        ExpectedLog({Success + allOnes,
                     L"The EPC number must be whole words (a multiple of 4 hex digits), nothing written   "
                     L"{t}\r\n"}));
}

struct RefusalCase {
    const char* name;
    std::wstring number;
    std::wstring password;
    std::wstring shown; // the number as the box shows it afterwards
    std::wstring line;
};

const std::wstring Empty = L"The EPC number is empty, nothing written   {t}\r\n";
const std::wstring Odd = L"The EPC number has an odd number of hex digits, nothing written   {t}\r\n";
const std::wstring TooLong = L"The EPC number is longer than 62 bytes, nothing written   {t}\r\n";
const std::wstring NotWords =
    L"The EPC number must be whole words (a multiple of 4 hex digits), nothing written   {t}\r\n";
const std::wstring BadPassword =
    L"The access password must be 4 bytes (8 hex digits), nothing written   {t}\r\n";
const std::wstring Password = L"5E 21 9C 47";

const RefusalCase refusalCases[] = {
    {"EmptyNumber", L"", Password, L"", Empty},
    {"OnlySeparators", L" - : ", Password, L"", Empty},
    {"OddDigits", L"123", Password, L"123", Odd},
    {"NotAHexDigit", L"00000000000000000000000G", Password, L"00000000000000000000000", Odd},
    {"OddByteCount", L"01000000000000000000000000", Password, L"01000000000000000000000000", NotWords},
    {"SixtyThreeBytes", Repeat(L"11", 63), Password, Repeat(L"11", 63), TooLong},
    {"SixtyFourBytes", Repeat(L"11", 64), Password, Repeat(L"11", 64), TooLong},
    {"ShortPassword", FirstNumber, L"5E 21 9C", FirstNumber, BadPassword},
    {"LongPassword", FirstNumber, L"5E 21 9C 47 00", FirstNumber, BadPassword},
    {"EmptyPassword", FirstNumber, L"", FirstNumber, BadPassword},
};

class Refused : public UhfTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refused, SendsNothingAndSaysWhy) {
    const RefusalCase& c = GetParam();
    form().Edit54->SetText(c.number);
    form().Edit63->SetText(c.password);
    const int before = reader().FrameCount();
    Run(&TForm1::Button66Click);
    EXPECT_EQ(reader().FrameCount(), before);
    EXPECT_EQ(LogText(), ExpectedLog({c.line}));
    EXPECT_EQ(form().Edit54->Text(), c.shown);
    EXPECT_EQ(form().epcbuf->Text(), L"epcbuf");
    EXPECT_TRUE(ReportedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(UhfPage, Refused, ::testing::ValuesIn(refusalCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
