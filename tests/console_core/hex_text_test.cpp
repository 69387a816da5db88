#include "console_core/hex_text.h"

#include <gtest/gtest.h>

#include <vector>

using namespace core;

TEST(SendFrameText, BuildsTheCommandFrame) {
    struct Case {
        const wchar_t* address;
        const wchar_t* command;
        const wchar_t* frame;
    };
    const Case cases[] = {
        {L"00", L"cf", L"AA0001cfCEBB"},
        {L"00", L"0f01", L"AA00020f010CBB"},
        {L"00", L"83", L"AA00018382BB"},
        {L"00", L"b8", L"AA0001b8B9BB"},
        {L"00", L"cd00", L"AA0002cd00CFBB"},
        {L"00",
         L"820F000000010101"
         L"00",
         L"AA0009820F0000000101010085BB"},
        // The address keeps its lower case.
        {L"0a", L"c10A", L"AA0a02c10AC3BB"},
        // Separators between the pairs do not change the frame.
        {L"00", L"82 0F-00:00 00 01,01 01 00", L"AA0009820F0000000101010085BB"},
        {L"00", L"0f\t01\r\n", L"AA00020f010CBB"},
        // No hex digit at all: empty payload.
        {L"00", L"", L"AA000000BB"},
        {L"00", L"xyz ", L"AA000000BB"},
        // An odd digit stays in the text and takes no part in the check.
        {L"00", L"abc", L"AA0001abcAABB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << testing::PrintToString(std::wstring(c.command)));
        EXPECT_EQ(SendFrameText(c.address, c.command), c.frame);
    }
}

TEST(SendFrameText, LengthAboveOneByteIsNotCut) {
    const std::wstring payload(256 * 2, L'0');
    const std::wstring frame = SendFrameText(L"00", payload);
    EXPECT_EQ(frame.substr(0, 7), L"AA00100");
    EXPECT_EQ(frame.size(), 2 + 2 + 3 + payload.size() + 2 + 2);
}

TEST(SendFrameText, AddressThatIsNotHexIsRefused) {
    EXPECT_THROW(SendFrameText(L"0g", L"cf"), HexConvertError);
}

TEST(Checkdata, KeepsWholePairsOfHexDigits) {
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"AA 00 02 CD 00 CF BB ", L"AA0002CD00CFBB"},
        {L"ABC", L"AB"},
        {L"", L""},
        {L"x", L""},
        {L"aB-c", L"aB"},
        {L"AA0001cfCEBB", L"AA0001cfCEBB"},
        {L"g0h1 2", L"01"},
        {L"０１ 23", L"23"}, // full-width digits are not hex digits
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkdata(c.text), c.expected) << testing::PrintToString(std::wstring(c.text));
}

TEST(FrameTextToBytes, PairsTheFilteredText) {
    EXPECT_EQ(FrameTextToBytes(L"AA 00 02 CD 00 CF BB "),
              (std::vector<std::uint8_t>{0xAA, 0x00, 0x02, 0xCD, 0x00, 0xCF, 0xBB}));
    EXPECT_EQ(FrameTextToBytes(L"aa0001cfceBB"),
              (std::vector<std::uint8_t>{0xAA, 0x00, 0x01, 0xCF, 0xCE, 0xBB}));
    // The odd digit of a payload shifts every following pair and the last digit is dropped.
    EXPECT_EQ(FrameTextToBytes(SendFrameText(L"00", L"abc")),
              (std::vector<std::uint8_t>{0xAA, 0x00, 0x01, 0xAB, 0xCA, 0xAB}));
    EXPECT_TRUE(FrameTextToBytes(L"").empty());
}

TEST(HexNumbers, FormatAndRead) {
    EXPECT_EQ(HexByteText(0x82), L"82");
    EXPECT_EQ(HexByteText(10), L"0A");
    EXPECT_EQ(HexByteText(0), L"00");
    EXPECT_EQ(HexByteText(0x1F4), L"1F4");

    EXPECT_EQ(HexPairValue(L"CF"), 207u);
    EXPECT_EQ(HexPairValue(L"cf"), 207u);
    EXPECT_EQ(HexPairValue(L"7"), 7u);
    for (const wchar_t* bad : {L"", L"3 ", L" 3", L"G1", L"-1", L"+1", L"123456789"})
        EXPECT_THROW(HexPairValue(bad), HexConvertError) << testing::PrintToString(std::wstring(bad));
}

TEST(HexNumbers, ConversionErrorReadsLikeTheFrameworks) {
    try {
        HexPairValue(L"3 ");
        FAIL() << "no error";
    } catch (const HexConvertError& e) {
        EXPECT_STREQ(e.what(), "'$3 ' is not a valid integer value");
        EXPECT_EQ(e.Text(), L"'$3 ' is not a valid integer value");
    }
}

namespace {

// Each byte as the character with that code, failing on bytes the test marks as undecodable.
std::optional<std::wstring> Latin1Below0xF0(std::string_view bytes) {
    std::wstring text;
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0xF0) return std::nullopt;
        text += static_cast<wchar_t>(code);
    }
    return text;
}

} // namespace

TEST(Getchr, TurnsFourDigitStepsIntoCharacters) {
    struct Case {
        const wchar_t* hex;
        std::optional<std::wstring> expected;
    };
    const Case cases[] = {
        {L"56312E30", L"V1.0"},
        {L"563132", L"V1"}, // the last pair is dropped
        {L"56", L""},
        {L"", L""},
        {L"56312E3031", L"V1.0"},
        {L"7a41", L"zA"},
        // Used as it stands: a blank inside a pair fails the conversion.
        {L"5631 2E30", std::nullopt},
        // Bytes that do not decode.
        {L"56F1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Getchr(c.hex, Latin1Below0xF0), c.expected) << testing::PrintToString(std::wstring(c.hex));
}

TEST(Getchr, HandsTheDecoderTheRawBytes) {
    EXPECT_EQ(GetchrBytes(L"C4E3BAC300"), std::string("\xC4\xE3\xBA\xC3", 4));
    EXPECT_EQ(GetchrBytes(L"00410042"), std::string("\0A\0B", 4));
}

#ifdef _WIN32
TEST(Getchr, DecodesCodePage936) {
    EXPECT_EQ(Getchr(L"56312E30"), std::optional<std::wstring>(L"V1.0"));
    EXPECT_EQ(Getchr(L"C4E3BAC3"), std::optional<std::wstring>(L"你好"));
    EXPECT_EQ(Getchr(L""), std::optional<std::wstring>(L""));
}
#endif

TEST(Cwdate, ReversesTheText) {
    EXPECT_EQ(cwdate(L"1234"), L"4321");
    EXPECT_EQ(cwdate(L""), L"");
    EXPECT_EQ(cwdate(L"a"), L"a");
}
