// The card reader's system commands and the type A cards in its field: what each command answers,
// and that the cards keep what was written to them.
#include <gtest/gtest.h>

#include "test_frames.h"

namespace usbsim {
namespace {

using namespace test;

// The default field: an S50 card and an Ultralight card, both opened by the same key.
constexpr const char* kMifareUid = "5D2E8A13";
constexpr const char* kUltralightUid = "046A3B12C95E80";
constexpr const char* kKey = "3C5A17E2940B";
constexpr const char* kOtherKey = "E5720A9C38D1";
const std::string kZeroBlock(32, '0');

std::string Ok(const std::string& dataHex = "") {
    return ToHex(BuildReply(0, Answer::Ok(FromHex(dataHex))));
}

std::string Fail(std::uint8_t reasonCode) {
    return ToHex(BuildReply(0, Answer::Fail(reasonCode)));
}

std::string Ask(Simulator& sim, const std::string& payload) {
    return Exchange(sim, Frame(payload));
}

struct TypeACase {
    const char* name;
    std::string payload;
    std::string reply;
};

void PrintTo(const TypeACase& c, std::ostream* os) {
    *os << c.payload;
}

class TypeACommands : public testing::TestWithParam<TypeACase> {};

TEST_P(TypeACommands, AnswerFromAFreshReader) {
    Simulator sim(Profile::Reader);
    EXPECT_EQ(Ask(sim, GetParam().payload), GetParam().reply);
}

const std::string key = kKey;
const TypeACase typeACases[] = {
    {"Address", "8005", kOk},
    {"AddressWithoutByte", "80", kWrongLength},
    {"Baud", "8104", kOk},
    {"BaudOutOfRange", "8105", kOutOfRange},
    {"BaudWithoutCode", "81", kWrongLength},
    {"Led", "881603", kOk},
    {"LedRed", "871603", kOk},
    {"Buzzer", "891603", kOk},
    {"BuzzerOneByte", "8916", kWrongLength},

    {"ReadDataBlock", "20000110" + key, Ok(kMifareUid + kZeroBlock)},
    {"ReadManufacturerBlock", "20000100" + key,
     Ok(kMifareUid + std::string("5D2E8A13EA0804006263646566676869"))},
    // Key A of a trailer reads as zeros.
    {"ReadTrailer", "20000103" + key, Ok(kMifareUid + std::string("000000000000FF078069") + kKey)},
    {"ReadWithKeyB", "20020110" + key, Ok(kMifareUid + kZeroBlock)},
    {"ReadWrongKey", "20000110" + std::string(kOtherKey), Fail(0x8C)},
    {"ReadBeyondTheCard", "2000023F" + key, Fail(0x93)},
    {"ReadNoBlocks", "20000010" + key, kOutOfRange},
    {"ReadFiveBlocks", "20000510" + key, kOutOfRange},
    {"ReadBadMode", "20040110" + key, kOutOfRange},
    {"ReadShortKey", "200001103C5A", kWrongLength},
    {"WriteBlock", "21000110" + key + std::string(32, 'F'), Ok(kMifareUid)},
    {"WriteManufacturerBlock", "21000100" + key + std::string(32, 'F'), Fail(0x96)},
    {"WriteDataMissing", "21000210" + key + std::string(32, 'F'), kWrongLength},
    {"InitValue", "220001" + key + "00880000", Ok(kMifareUid)},
    {"IncrementEmptyBlock", "240001" + key + "00200000", Fail(0x8A)},
    {"ValueOfNoSector", "220010" + key + "00880000", Fail(0x93)},
    {"ValueWithoutAmount", "220001" + key, kWrongLength},
    // Two cards answer: the flag says so, the number is the first one's.
    {"CardNumber", "252600", Ok("01" + std::string(kMifareUid))},
    {"CardNumberBadRequest", "253000", kOutOfRange},
    {"CardNumberBadHaltFlag", "252602", kOutOfRange},
    {"Halt", "06", kOk},
    {"HaltWithData", "0600", kWrongLength},

    {"UltralightSerial", "E300", Ok(kUltralightUid)},
    {"UltralightSerialBadMode", "E302", kOutOfRange},
    {"UltralightReadFirstPages", "E00000",
     Ok("046A3BDD12C95E800548000000000000" + std::string(kUltralightUid))},
    {"UltralightReadNoPage", "E00010", Fail(0x93)},
    {"UltralightWrite", "E1000104DEADBEEF", Ok(kUltralightUid)},
    {"UltralightWriteSerialPage", "E1000101DEADBEEF", Fail(0x96)},
    {"UltralightWriteTwoPages", "E1000204DEADBEEF", kOutOfRange},
    {"UltralightWriteShort", "E1000104DEAD", kWrongLength},
};

INSTANTIATE_TEST_SUITE_P(CardReader, TypeACommands, testing::ValuesIn(typeACases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MifareCard, BlocksWrittenAreReadBack) {
    Simulator sim(Profile::Reader);
    const std::string data = "00112233445566778899AABBCCDDEEFF"
                             "0102030405060708090A0B0C0D0E0F10";
    ASSERT_EQ(Ask(sim, "21000210" + key + data), Ok(kMifareUid));
    EXPECT_EQ(Ask(sim, "20000410" + key), Ok(kMifareUid + data + kZeroBlock + "000000000000FF078069" + kKey));
}

TEST(MifareCard, ATrailerWriteChangesTheSectorsKeys) {
    Simulator sim(Profile::Reader);
    const std::string keyA = "6D21B84F03C7";
    const std::string keyB = "A0A1A2A3A4A5";
    ASSERT_EQ(Ask(sim, "21000113" + key + keyA + "FF078069" + keyB), Ok(kMifareUid));

    EXPECT_EQ(Ask(sim, "20000110" + key), Fail(0x8C));
    EXPECT_EQ(Ask(sim, "20000110" + keyA), Ok(kMifareUid + kZeroBlock));
    EXPECT_EQ(Ask(sim, "20020110" + keyB), Ok(kMifareUid + kZeroBlock));
    EXPECT_EQ(Ask(sim, "20020110" + keyA), Fail(0x8C));
    // The next sector keeps its own keys.
    EXPECT_EQ(Ask(sim, "20000114" + key), Ok(kMifareUid + kZeroBlock));
}

TEST(MifareCard, ValueBlockIsKeptWithinItsRange) {
    Simulator sim(Profile::Reader);
    ASSERT_EQ(Ask(sim, "220001" + key + "00880000"), Ok(kMifareUid)); // 0x8800
    EXPECT_EQ(Ask(sim, "240001" + key + "00200000"), Ok(kMifareUid + std::string("00A80000")));
    EXPECT_EQ(Ask(sim, "230001" + key + "00080000"), Ok(kMifareUid + std::string("00A00000")));
    // More than the block holds, a negative amount, and a sum beyond 2^31-1 are refused.
    EXPECT_EQ(Ask(sim, "230001" + key + "01A00000"), kOutOfRange);
    EXPECT_EQ(Ask(sim, "240001" + key + "000000FF"), kOutOfRange);
    EXPECT_EQ(Ask(sim, "240001" + key + "FFFFFF7F"), kOutOfRange);
    EXPECT_EQ(Ask(sim, "230001" + key + "00000000"), Ok(kMifareUid + std::string("00A00000")));
    // The block in the card's own value format: block 1 of sector 1 is block 5.
    EXPECT_EQ(Ask(sim, "20000105" + key), Ok(kMifareUid + std::string("00A00000FF5FFFFF00A0000005FA05FA")));
    // A wrong key changes nothing.
    EXPECT_EQ(Ask(sim, "240001" + std::string(kOtherKey) + "01000000"), Fail(0x8C));
    EXPECT_EQ(Ask(sim, "230001" + key + "00000000"), Ok(kMifareUid + std::string("00A00000")));
}

TEST(TypeAField, AHaltedCardAnswersOnlyARequestForAll) {
    Simulator sim(Profile::Reader);
    ASSERT_EQ(Ask(sim, "06"), kOk);
    EXPECT_EQ(Ask(sim, "06"), Fail(0x83));
    EXPECT_EQ(Ask(sim, "252600"), Fail(0x83));
    EXPECT_EQ(Ask(sim, "20000110" + key), Fail(0x83));
    EXPECT_EQ(Ask(sim, "E300"), Fail(0x83));
    // "All" wakes the card it reaches; the other one stays halted.
    EXPECT_EQ(Ask(sim, "20010110" + key), Ok(kMifareUid + kZeroBlock));
    EXPECT_EQ(Ask(sim, "252600"), Ok("00" + std::string(kMifareUid)));
    EXPECT_EQ(Ask(sim, "E301"), Ok(kUltralightUid));
    EXPECT_EQ(Ask(sim, "252600"), Ok("01" + std::string(kMifareUid)));
}

TEST(TypeAField, CardNumberWithHaltHaltsTheCardItNamed) {
    Simulator sim(Profile::Reader);
    ASSERT_EQ(Ask(sim, "252601"), Ok("01" + std::string(kMifareUid)));
    EXPECT_EQ(Ask(sim, "252600"), Ok("00046A3B12"));
    EXPECT_EQ(Ask(sim, "255200"), Ok("01" + std::string(kMifareUid)));
}

TEST(TypeAField, CardsComeAndGoByControlLines) {
    Simulator sim(Profile::Reader);
    ASSERT_EQ(sim.Control("mifare off"), kControlAccepted);
    EXPECT_EQ(Ask(sim, "20000110" + key), Fail(0x83));
    EXPECT_EQ(Ask(sim, "252600"), Ok("00046A3B12"));
    ASSERT_EQ(sim.Control("ultralight off"), kControlAccepted);
    EXPECT_EQ(Ask(sim, "252600"), Fail(0x83));
    EXPECT_EQ(Ask(sim, "E00004"), Fail(0x83));
    EXPECT_EQ(Ask(sim, "06"), Fail(0x83));

    // An S70 card with its own key A: the last block is the trailer of a 16-block sector.
    ASSERT_EQ(sim.Control("mifare 01020304 s70 keya 111111111111"), kControlAccepted);
    EXPECT_EQ(Ask(sim, "252600"), Ok("0001020304"));
    EXPECT_EQ(Ask(sim, "200001FF111111111111"), Ok("01020304000000000000FF078069" + key));
    EXPECT_EQ(Ask(sim, "200001F0" + key), Fail(0x8C));
    EXPECT_EQ(Ask(sim, "200201F0" + key), Ok("01020304" + kZeroBlock));

    ASSERT_EQ(sim.Control("ultralight 04112233445566"), kControlAccepted);
    EXPECT_EQ(Ask(sim, "E300"), Ok("04112233445566"));
    // "reset" brings the default field back.
    ASSERT_EQ(sim.Control("reset"), kControlAccepted);
    EXPECT_EQ(Ask(sim, "252600"), Ok("01" + std::string(kMifareUid)));

    for (const char* bad :
         {"mifare", "mifare 0102", "mifare 01020304 s60", "mifare 01020304 keya 1111", "mifare 01020304 keyb",
          "mifare off now", "ultralight 01020304", "ultralight 04112233445566 s50"})
        EXPECT_EQ(sim.Control(bad), kControlBadArgument) << bad;
}

TEST(UltralightCard, PagesWrittenAreReadBackAndLocksHold) {
    Simulator sim(Profile::Reader);
    ASSERT_EQ(Ask(sim, "E1000104DEADBEEF"), Ok(kUltralightUid));
    ASSERT_EQ(Ask(sim, "E100010F01020304"), Ok(kUltralightUid));
    EXPECT_EQ(Ask(sim, "E00004"), Ok("DEADBEEF" + std::string(24, '0') + kUltralightUid));
    // Four pages from page 15 wrap round to the first pages.
    EXPECT_EQ(Ask(sim, "E0000F"), Ok("01020304046A3BDD12C95E8005480000" + std::string(kUltralightUid)));

    // The one-time page keeps every bit once set.
    ASSERT_EQ(Ask(sim, "E100010301000000"), Ok(kUltralightUid));
    ASSERT_EQ(Ask(sim, "E100010302000080"), Ok(kUltralightUid));
    // Lock byte 0 bit 4 locks page 4; the serial-number bytes of page 2 do not change.
    ASSERT_EQ(Ask(sim, "E1000102FFFF1000"), Ok(kUltralightUid));
    EXPECT_EQ(Ask(sim, "E00002"), Ok("0548100003000080DEADBEEF00000000" + std::string(kUltralightUid)));
    EXPECT_EQ(Ask(sim, "E100010411111111"), Fail(0x94));
    EXPECT_EQ(Ask(sim, "E100010511111111"), Ok(kUltralightUid));
    // Locks are never cleared.
    ASSERT_EQ(Ask(sim, "E1000102FFFF0000"), Ok(kUltralightUid));
    EXPECT_EQ(Ask(sim, "E100010411111111"), Fail(0x94));
}

// The output-format record of the first page is what the system commands call the serial number:
// both read it from the 0x83 reply, after the reader's address.
TEST(SystemCommands, AddressLeadsTheRecordThatBothPagesRead) {
    Simulator sim(Profile::Reader);
    const std::string factoryRecord = "0F00000001010100";
    ASSERT_EQ(Ask(sim, "83"), Ok("00" + factoryRecord));
    ASSERT_EQ(Ask(sim, "8005"), kOk);
    EXPECT_EQ(Ask(sim, "83"), Ok("05" + factoryRecord));

    // A "serial number" that is no valid format record is refused and changes nothing.
    EXPECT_EQ(Ask(sim, "82FFFFFFFFFFFFFFFF"), kOutOfRange);
    ASSERT_EQ(Ask(sim, "820701000001010101"), kOk);
    EXPECT_EQ(Ask(sim, "83"), Ok("050701000001010101"));

    // The system baud rate is not the serial port's of the first page's settings.
    ASSERT_EQ(Ask(sim, "8103"), kOk);
    EXPECT_EQ(sim.CardSettings().baudCode, 0);

    ASSERT_EQ(Ask(sim, "cf"), kOk);
    EXPECT_EQ(Ask(sim, "83"), Ok("00" + factoryRecord));
}

} // namespace
} // namespace usbsim
