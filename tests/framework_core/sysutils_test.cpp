#include <framework/sysutils.h>

#include <gtest/gtest.h>

namespace {

TEST(StrToInt, ReadsDecimalAndDollarHex) {
    struct Case {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"0", 0},
        {L"42", 42},
        {L"-17", -17},
        {L"+5", 5},
        {L"  12", 12},
        {L"$FF", 255},
        {L"$ff", 255},
        {L"$0A", 10},
        {L"0x1F", 31},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"$7FFFFFFF", 0x7FFFFFFF},
        {L"$FFFFFFFF", -1},
        {L"$80000000", -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsWhatIsNoNumberWithTheClassicText) {
    const wchar_t* cases[] = {L"",    L" ",   L"abc",        L"12a",         L"$",          L"$G1", L"1 2",
                              L"12 ", L"--1", L"2147483648", L"-2147483649", L"$100000000", L"0x"};
    for (const wchar_t* text : cases) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "no error for '" << StringToUtf8(text) << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), L"'" + String(text) + L"' is not a valid integer value");
        }
    }
    EXPECT_EQ(StrToIntDef(L"x1", -9), -9);
    EXPECT_EQ(StrToIntDef(L"$10", -9), 16);
}

TEST(IntToHex, PadsAndUsesUpperCase) {
    struct Case {
        long long value;
        int digits;
        const wchar_t* text;
    } cases[] = {
        {0, 2, L"00"},
        {10, 2, L"0A"},
        {255, 2, L"FF"},
        {256, 2, L"100"},
        {0xABCDEF, 0, L"ABCDEF"},
        {-1, 2, L"FFFFFFFF"},
        {-2, 8, L"FFFFFFFE"},
        {0x123456789LL, 4, L"123456789"},
    };
    for (const auto& c : cases) EXPECT_EQ(IntToHex(c.value, c.digits), c.text) << c.value;
}

TEST(FormatDateTime, TwelveHourClockAndDateParts) {
    TDateTime afternoon = EncodeDate(2026, 12, 9) + EncodeTime(15, 4, 5, 0);
    TDateTime midnight = EncodeDate(2024, 2, 29) + EncodeTime(0, 0, 7, 0);
    TDateTime noon = EncodeDate(1999, 1, 1) + EncodeTime(12, 30, 0, 0);
    struct Case {
        const wchar_t* format;
        TDateTime t;
        const wchar_t* text;
    } cases[] = {
        {L"hh:mm:ss AM/PM", afternoon, L"03:04:05 PM"},
        {L"   yyyy.mm.dd   hh:mm:ss AM/PM   ", afternoon, L"   2026.12.09   03:04:05 PM   "},
        {L"hh:nn:ss", afternoon, L"15:04:05"},
        {L"hh:mm:ss AM/PM", midnight, L"12:00:07 AM"},
        {L"h:nn am/pm", noon, L"12:30 pm"},
        {L"h:nn a/p", afternoon, L"3:04 p"},
        {L"yy-m-d", afternoon, L"26-12-9"},
        {L"d mmm yyyy", midnight, L"29 Feb 2024"},
        {L"dddd", afternoon, L"Wednesday"},
        {L"'at' hh \"o'clock\"", afternoon, L"at 15 o'clock"},
        {L"mm/dd", afternoon, L"12/09"},
        {L"hh:nn:ss.zzz", EncodeTime(1, 2, 3, 45), L"01:02:03.045"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, c.t), c.text) << StringToUtf8(c.format);
}

TEST(DateEncoding, RoundTripsAndRejectsImpossibleDates) {
    int y, m, d, h, n, s, ms;
    TDateTime t = EncodeDate(2000, 3, 1) + EncodeTime(23, 59, 59, 999);
    DecodeDate(t, y, m, d);
    DecodeTime(t, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, ms}), (std::vector<int>{2000, 3, 1, 23, 59, 59, 999}));
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST(TextHelpers, TrimCaseAndCompare) {
    EXPECT_EQ(Trim(L" \t a b \r\n"), L"a b");
    EXPECT_EQ(TrimLeft(L"  x "), L"x ");
    EXPECT_EQ(TrimRight(L"  x "), L"  x");
    EXPECT_EQ(UpperCase(L"com1 ä"), L"COM1 ä"); // letters beyond ASCII are left as they are
    EXPECT_EQ(LowerCase(L"TFORM1"), L"tform1");
    EXPECT_TRUE(SameText(L"Button24Click", L"BUTTON24CLICK"));
    EXPECT_FALSE(SameText(L"ab", L"abc"));
    EXPECT_LT(CompareText(L"a", L"B"), 0);
    EXPECT_EQ(Format(L"COM%d", 3), L"COM3");
}

TEST(CodePages, ChineseTextThroughCodePage936) {
    const String text = L"卡不存在....";
    const std::string bytes = "\xBF\xA8\xB2\xBB\xB4\xE6\xD4\xDA....";
    EXPECT_EQ(WideToAnsi(text, 936), bytes);
    EXPECT_EQ(AnsiToWide(bytes, 936), text);
    EXPECT_EQ(Utf8ToString(StringToUtf8(text)), text);
    EXPECT_EQ(WideToAnsi(L"", 936), "");
}

TEST(FileNames, PartsOfAPath) {
    EXPECT_EQ(ExtractFilePath(L"C:\\logs\\a.txt"), L"C:\\logs\\");
    EXPECT_EQ(ExtractFileName(L"C:\\logs\\a.txt"), L"a.txt");
    EXPECT_EQ(ExtractFileExt(L"C:\\logs.d\\a"), L"");
    EXPECT_EQ(ExtractFileExt(L"a.tar.gz"), L".gz");
    EXPECT_EQ(ChangeFileExt(L"dir\\a.txt", L".rtf"), L"dir\\a.rtf");
}

} // namespace
