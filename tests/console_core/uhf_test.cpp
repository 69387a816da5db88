#include "console_core/uhf.h"

#include "console_core/hex_text.h"

#include <gtest/gtest.h>

using namespace core;

namespace {

std::wstring Repeat(std::wstring_view pair, std::size_t count) {
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i) text += pair;
    return text;
}

} // namespace

TEST(SendUHFFrameText, TunnelsTheModuleFrameInCommandCE) {
    struct Case {
        const wchar_t* address;
        const wchar_t* module;
        const wchar_t* frame;
    };
    const Case cases[] = {
        {L"00", L"bb 00 22 00 00 22 7e ", L"AA0008cebb00220000227e03BB"},
        {L"00", L"BB 00 C2 00 01 00 C3 7E", L"AA0009ceBB00C2000100C37E02BB"},
        {L"0a", L"bb00220000227e", L"AA0a08cebb00220000227e09BB"},
        // Nothing but separators: the bare command CE.
        {L"00", L"  ", L"AA0001ceCFBB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendUHFFrameText(c.address, c.module), c.frame);
        EXPECT_EQ(SendUHFFrameText(c.address, c.module),
                  SendFrameText(c.address, std::wstring(L"ce") + c.module));
    }
}

TEST(ModuleChecksum, SumOfWholeBytes) {
    struct Case {
        const wchar_t* text;
        std::int32_t sum;
        const wchar_t* pair;
    };
    const Case cases[] = {
        {L"00 22 00 00", 0x22, L"22"},
        {L"00 C2 00 01 00", 195, L"C3"},
        {L"FF 02", 257, L"01"},
        {L"", 0, L"00"},
        {L"ff0", 255, L"FF"}, // the odd last digit takes no part
        {L"zz", 0, L"00"},
        {L" 00 0c 00  13 01 00 00  00 20 60 00 E2 00 51 28 93 0D 01 14 17 40 11 22", 0x33A, L"3A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(adddate(c.text), c.sum);
        EXPECT_EQ(ModuleChecksumText(c.text), c.pair);
    }
}

TEST(Cdate, PairsInReverseOrder) {
    EXPECT_EQ(cdate(L"E0040100AABBCCDD"), L"DD CC BB AA 00 01 04 E0 ");
    EXPECT_EQ(cdate(L"ABCDE"), L"DE BC ");
    EXPECT_EQ(cdate(L"AB"), L"AB ");
    EXPECT_EQ(cdate(L"A"), L"");
    EXPECT_EQ(cdate(L""), L"");
}

TEST(HexToBytes, BlanksDroppedOddRefused) {
    EXPECT_EQ(HexToBytes(L"0a 1B"), (std::vector<std::uint8_t>{0x0A, 0x1B}));
    EXPECT_EQ(HexToBytes(L""), std::vector<std::uint8_t>{});
    EXPECT_THROW(HexToBytes(L"123"), HexConvertError);
    EXPECT_THROW(HexToBytes(L"G1"), HexConvertError);
    EXPECT_THROW(HexToBytes(L"0-"), HexConvertError);
}

TEST(ReverseBytes, InPlace) {
    std::vector<std::uint8_t> bytes{1, 2, 3};
    ReverseBytes(bytes);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{3, 2, 1}));
    EXPECT_EQ(BytesToHex(bytes), L"030201");
}

TEST(AddHexNumbers, PlusAndReverseAddition) {
    struct Case {
        std::wstring a;
        std::wstring b;
        bool reverse;
        std::wstring sum;
    };
    const std::wstring twelveFF = Repeat(L"FF", 12);
    const std::wstring sixtyFourFF = Repeat(L"FF", 64);
    const Case cases[] = {
        {L"000000000000000000000001", L"1", false, L"000000000000000000000002"},
        {L"0000000000000000000000FF", L"1", false, L"000000000000000000000100"},
        {twelveFF, L"1", false, L"01" + Repeat(L"00", 12)},
        {twelveFF, L"1", true, Repeat(L"00", 12) + L"01"},
        {L"010000000000000000000000", L"1", true, L"020000000000000000000000"},
        {L"FF0000000000000000000000", L"1", true, L"000100000000000000000000"},
        {L"1234", L"FFFF", false, L"011233"},
        {L"3412", L"FFFF", true, L"331201"},
        {L"0a", L"1", false, L"0B"},
        {L"1", L"FFFF", false, L"010000"},
        {L"", L"", false, L""},
        // The carry out of 64 bytes is kept.
        {sixtyFourFF, L"1", false, L"01" + Repeat(L"00", 64)},
        {sixtyFourFF, L"1", true, Repeat(L"00", 64) + L"01"},
        {sixtyFourFF, sixtyFourFF, false, L"01" + Repeat(L"FF", 63) + L"FE"},
        // Operands longer than 64 bytes.
        {Repeat(L"00", 69) + L"FF", L"1", false, Repeat(L"00", 68) + L"0100"},
        {L"7F" + Repeat(L"FF", 199), L"1", false, L"80" + Repeat(L"00", 199)},
        {Repeat(L"FF", 99) + L"7F", L"1", true, Repeat(L"00", 99) + L"80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(c.a) << " + " << testing::PrintToString(c.b)
                                        << (c.reverse ? " reverse" : " plus"));
        EXPECT_EQ(AddHexNumbers(c.a, c.b, c.reverse), c.sum);
    }
}

TEST(AddHexNumbers, StepsAnEpcNumber) {
    std::wstring epc = L"000000000000000000000001";
    for (const wchar_t* next : {L"000000000000000000000002", L"000000000000000000000003"}) {
        epc = AddHexNumbers(epc, L"1", false);
        EXPECT_EQ(epc, next);
    }
    epc = L"fe0000000000000000000000";
    for (const wchar_t* next : {L"FF0000000000000000000000", L"000100000000000000000000"}) {
        epc = AddHexNumbers(epc, L"1", true);
        EXPECT_EQ(epc, next);
    }
}

TEST(AddHexNumbers, OddDigitCountIsAConversionError) {
    // 1 is prefixed to 001, which has an odd digit count.
    EXPECT_THROW(AddHexNumbers(L"123", L"1", false), HexConvertError);
    EXPECT_THROW(AddHexNumbers(L"0G", L"1", false), HexConvertError);
}
