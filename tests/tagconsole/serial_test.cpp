// Card records arriving on the serial port: appended to ReplyHex block by block and printed by
// checkcard once a whole record is there.
#include "tag_fixture.h"

#include <serial/comm.h>

#include <cstdint>
#include <vector>

namespace {

using tagconsole::TForm1;

class SerialCards : public TagConsoleTest {
protected:
    void SetUp() override {
        TagConsoleTest::SetUp();
        form().RadioButton19->SetChecked(true);
    }
    void Receive(std::vector<std::uint8_t> block) {
        form().Comm1ReceiveData(form().Comm1, block.data(), static_cast<std::uint16_t>(block.size()));
    }
};

struct CardCase {
    const char* name;
    std::vector<std::uint8_t> record;
    std::wstring detected;
    std::wstring idLine;
};

const CardCase cardCases[] = {
    {"S50S70", {0xAA, 0x01, 0x11, 0x22, 0x33, 0x44}, L"检测到S50/S70卡", L"卡的ID号码为： 11223344\r\n"},
    {"Ultralight",
     {0x00, 0x02, 0x04, 0x5A, 0x6B, 0x7C, 0x8D, 0x9E, 0xAF},
     L"检测到Ultralight/desfire卡",
     L"卡的ID号码为： 045A6B7C8D9EAF\r\n"},
    {"Iso14443B",
     {0x00, 0x03, 0xDE, 0xAD, 0xBE, 0xEF},
     L"检测到ISO 14443 B卡",
     L"卡的ID号码为： DEADBEEF\r\n"},
    {"ResidentCard",
     {0x00, 0x04, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF},
     L"中华人民共和国第二代身份证..",
     L"身份证卡的ID号码为： 0123456789ABCDEF\r\n"},
    {"Iso15693",
     {0x00, 0x05, 0xE0, 0x04, 0x01, 0x00, 0x12, 0x34, 0x56, 0x78},
     L"检测到ISO 15693卡",
     L"卡的ID号码为： E004010012345678\r\n"},
};

class CardRecord : public SerialCards, public ::testing::WithParamInterface<CardCase> {};

TEST_P(CardRecord, PrintsTheCardAndClearsTheBuffer) {
    Receive(GetParam().record);
    EXPECT_EQ(LogText(), ExpectedLog({GetParam().detected, GetParam().idLine}));
    EXPECT_EQ(ReplyHex, L"");
}

TEST_P(CardRecord, SplitOverTwoBlocksPrintsOnceWhole) {
    const std::vector<std::uint8_t>& record = GetParam().record;
    const std::size_t split = 3; // the type byte and one byte of the ID in the first block
    Receive({record.begin(), record.begin() + split});
    EXPECT_EQ(LogText(), L"");
    Receive({record.begin() + split, record.end()});
    EXPECT_EQ(LogText(), ExpectedLog({GetParam().detected, GetParam().idLine}));
    EXPECT_EQ(ReplyHex, L"");
}

INSTANTIATE_TEST_SUITE_P(Serial, CardRecord, ::testing::ValuesIn(cardCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialCards, ALeadingByteAloneWaitsForTheType) {
    Receive({0xAA});
    Receive({0x01, 0x11, 0x22});
    Receive({0x33, 0x44});
    EXPECT_EQ(LogText(), ExpectedLog({L"检测到S50/S70卡", L"卡的ID号码为： 11223344\r\n"}));
}

TEST_F(SerialCards, BytesBeyondTheRecordGoWithIt) {
    Receive({0xAA, 0x01, 0x11, 0x22, 0x33, 0x44, 0x0D, 0x0A});
    EXPECT_EQ(LogText(), ExpectedLog({L"检测到S50/S70卡", L"卡的ID号码为： 11223344\r\n"}));
    EXPECT_EQ(ReplyHex, L"");
}

TEST_F(SerialCards, AnUnknownTypeAloneIsDroppedButItsLastByte) {
    Receive({0xAA, 0x06, 0x11});
    Receive({0x22, 0x33});
    EXPECT_EQ(LogText(), L"");
    EXPECT_EQ(ReplyHex, L"33");
}

TEST_F(SerialCards, AnUnknownRecordBetweenTwoCardsLetsBothPrint) {
    using Blocks = std::vector<std::vector<std::uint8_t>>;
    struct Case {
        const char* name;
        Blocks blocks; // after the first card, which comes in its own block
    };
    const Case cases[] = {
        {"each in its own block", {{0xAA, 0x06, 0x11, 0x22}, {0x00, 0x03, 0xDE, 0xAD, 0xBE, 0xEF}}},
        {"the unknown and the card in one block",
         {{0xAA, 0x06, 0x11, 0x22, 0x00, 0x03, 0xDE, 0xAD, 0xBE, 0xEF}}},
        {"the unknown over two blocks", {{0xAA, 0x06}, {0x11, 0x22}, {0x00, 0x03, 0xDE, 0xAD, 0xBE, 0xEF}}},
        {"the card's leading byte behind the unknown",
         {{0xAA, 0x06, 0x11, 0x22, 0x00}, {0x03, 0xDE, 0xAD, 0xBE, 0xEF}}},
        {"the card split behind the unknown", {{0xAA, 0x06, 0x11, 0x00, 0x03, 0xDE}, {0xAD, 0xBE, 0xEF}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReplyHex.clear();
        form().RichEdit1->Clear();
        Receive({0xAA, 0x01, 0x11, 0x22, 0x33, 0x44});
        for (const auto& block : c.blocks) Receive(block);
        EXPECT_EQ(LogText(), ExpectedLog({L"检测到S50/S70卡", L"卡的ID号码为： 11223344\r\n",
                                          L"检测到ISO 14443 B卡", L"卡的ID号码为： DEADBEEF\r\n"}));
        EXPECT_EQ(ReplyHex, L"");
    }
}

TEST_F(SerialCards, WithoutTheCardSwitchBlocksAreOnlyKept) {
    form().RadioButton3->SetChecked(true);
    Receive({0xAA, 0x01, 0x11, 0x22, 0x33, 0x44});
    EXPECT_EQ(LogText(), L"");
    EXPECT_EQ(ReplyHex, L"AA0111223344");
}

TEST_F(SerialCards, TheDebugSwitchShowsEachBlock) {
    form().RadioButton4->SetChecked(true);
    Receive({0x0A, 0xFF, 0x00});
    EXPECT_EQ(LogText(), L" 0A FF 00");
    EXPECT_EQ(ReplyHex, L"0AFF00");
}

TEST_F(SerialCards, ArriveThroughTheComponentsEvent) {
    // Bound by the description, as the port would deliver them.
    std::vector<std::uint8_t> record{0xAA, 0x01, 0x11, 0x22, 0x33, 0x44};
    form().Comm1->OnReceiveData(form().Comm1, record.data(), static_cast<std::uint16_t>(record.size()));
    EXPECT_EQ(LogText(), ExpectedLog({L"检测到S50/S70卡", L"卡的ID号码为： 11223344\r\n"}));
}

} // namespace
