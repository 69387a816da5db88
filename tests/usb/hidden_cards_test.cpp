// The card reader's type B card and ISO15693 tags, through whole frames as the hidden pages send
// them.
#include <gtest/gtest.h>

#include "test_frames.h"

namespace usbsim {
namespace {

using namespace test;

// A reply from address 00 with status and data given as hex: the same framing as a command.
std::string Reply(const std::string& statusAndData) {
    return ToHex(Frame(statusAndData));
}
std::string Ok(const std::string& data = "") {
    return Reply("00" + data);
}
std::string Fail(const std::string& reasonCode) {
    return Reply("01" + reasonCode);
}

struct Step {
    const char* payload;   // command and data as hex
    std::string reply;     // the whole reply frame
    const char* control{}; // a control line applied before the payload, if any
};

void RunSteps(const std::vector<Step>& steps) {
    Simulator sim(Profile::Reader);
    for (const Step& step : steps) {
        if (step.control) {
            ASSERT_EQ(sim.Control(step.control), kControlAccepted) << step.control;
        }
        EXPECT_EQ(Exchange(sim, Frame(step.payload)), step.reply) << step.payload;
    }
}

// ---- Type B card

const std::string kDefaultPupi = "5A3C1107";
const std::string kDefaultAtqb = "50" + kDefaultPupi + "00000000" + "008171";

TEST(TypeBCard, RequestResetAttribAndIdentityCard) {
    RunSteps({
        {"09", Ok("0C" + kDefaultAtqb)},
        {"0B 41300A10", Fail("8B")}, // the page's default card ID is another card
        {"0C", Ok(kDefaultPupi)},
        {"0B5A3C1107", Ok()},
        {"26", Ok("08 318A2C0519660ED4")},
        {"27", Ok("08 010200000F112008")},
        {"0B5A3C11", Fail("85")},
        {"0900", Fail("85")},
    });
}

TEST(TypeBCard, SendDataReachesTheCard) {
    RunSteps({
        // REQB, as the page's default data
        {"0D03050000", Ok(kDefaultAtqb)},
        // Commands for a selected card go unanswered until Attrib
        {"0D050084000008", Fail("82")},
        {"0B5A3C1107", Ok()},
        {"0D050084000008", Ok("4C87C2FD3873AEE99000")},
        {"0D0400A40000", Ok("6D00")},
        // HLTB: the halted card answers neither REQB nor the reader's request, WUPB wakes it
        {"0D05505A3C1107", Ok("00")},
        {"0D03050000", Fail("82")},
        {"09", Fail("83")},
        {"0D03050008", Ok(kDefaultAtqb)},
        // The count byte must match the bytes that follow
        {"0D04050000", Fail("85")},
    });
}

TEST(TypeBCard, NoCardAndPlainCards) {
    RunSteps({
        {"09", Fail("83"), "typeb none"},
        {"0B5A3C1107", Fail("83")},
        {"0C", Fail("83")},
        {"0D03050000", Fail("83")},
        {"26", Fail("83")},
        {"27", Fail("83")},
        {"0C", Ok("11223344"), "typeb card 11223344"},
        {"26", Fail("90")},
        {"26", Ok("08 0102030405060708"), "typeb card 11223344 id 0102030405060708 file 1112131415161718"},
        {"27", Ok("08 1112131415161718")},
        {"0C", Ok(kDefaultPupi), "typeb default"},
        {"0C", Ok(kDefaultPupi), "reset"},
    });
}

TEST(TypeBCard, MalformedControlLinesAreRefused) {
    Simulator sim(Profile::Reader);
    for (const char* line : {"typeb", "typeb card", "typeb card 112233", "typeb card 11223344 id 01",
                             "typeb card 11223344 id 0102030405060708",
                             "typeb card 11223344 pin 0102030405060708", "typeb none now"})
        EXPECT_EQ(sim.Control(line), kControlBadArgument) << line;
}

// ---- ISO15693 tags

// The default tag's UID as it travels in replies, least significant byte first.
const std::string kDefaultUidOnAir = "4D3C2B1A000007E0";
const std::string kZeros4 = "00000000";

TEST(Iso15693, InventoryListsEveryTagThatIsNotQuiet) {
    RunSteps({
        {"10060000", Ok("01 0000" + kDefaultUidOnAir)},
        {"10060000", Ok("02 0000" + kDefaultUidOnAir + "0008 DDCCBBAA000104E0"),
         "iso15693 tag E0040100AABBCCDD dsfid 08"},
        // Stay quiet (addressed, either byte order) drops a tag from the list; reset to ready
        // brings it back
        {"1422 E00700001A2B3C4D", Ok("00")},
        {"10060000", Ok("01 0008 DDCCBBAA000104E0")},
        {"1622 4D3C2B1A000007E0", Ok("00")},
        {"10060000", Ok("02 0000" + kDefaultUidOnAir + "0008 DDCCBBAA000104E0")},
        {"10020000", Fail("85")}, // no inventory flag
        {"10060000", Fail("83"), "iso15693 clear"},
        {"1102 0105", Fail("83")},
    });
}

TEST(Iso15693, WriteThenReadGivesBackWhatWasWritten) {
    RunSteps({
        {"1242 0501 11223344", Ok("00")},
        {"1102 0105", Ok("00" + kZeros4 + kZeros4 + kZeros4 + kZeros4 + "11223344")},
        {"1222 0602 E00700001A2B3C4D A1A2A3A4B1B2B3B4", Ok("00")},
        {"1102 0502", Ok("00 11223344 A1A2A3A4")},
        // The option flag puts each block's lock status before it
        {"1142 0601", Ok("00 00 A1A2A3A4")},
        {"1122 0701 4D3C2B1A000007E0", Ok("00 B1B2B3B4")},
    });
}

TEST(Iso15693, LockedBlocksRefuseWrites) {
    RunSteps({
        {"1302 05", Ok("00")},
        {"1242 0501 55667788", Fail("94")},
        // a write over several blocks is refused whole when one of them is locked
        {"1242 0402 0102030405060708", Fail("94")},
        {"1102 0402", Ok("00" + kZeros4 + kZeros4)},
        {"1302 05", Fail("95")},
        {"1C02 0403", Ok("00 000100")},
        {"1142 0501", Ok("00 01" + kZeros4)},
        // the lock row never carries a UID, so its "uid" flag announces one that is missing
        {"1322 06", Fail("85")},
    });
}

TEST(Iso15693, BlockRangeAndDataLength) {
    RunSteps({
        {"1102 1B01", Ok("00" + kZeros4)}, // block 27, the last of 28
        {"1102 1C01", Fail("93")},
        {"1102 1A05", Fail("93")},
        {"1102 0100", Fail("93")},
        {"1302 1C", Fail("93")},
        {"1242 0501 112233", Fail("85")},
        {"1242 0502 11223344", Fail("85")},
        {"1102 01", Fail("85")},
        {"1102 010500", Fail("85")},
        {"1122 0105", Fail("85")}, // addressed without a UID
    });
}

TEST(Iso15693, AddressingAndSelection) {
    RunSteps({
        {"1122 0101 E0040100AABBCCDD", Fail("83")},
        {"1152 0101", Fail("83")}, // select mode with nothing selected
        {"1522 E0040100AABBCCDD", Ok("00"), "iso15693 tag E0040100AABBCCDD"},
        {"1242 0001 CAFEBABE", Ok("00")}, // non-addressed: the first tag in the field
        {"1252 0001 0BADF00D", Ok("00")}, // select mode: the selected one
        {"1122 0001 DDCCBBAA000104E0", Ok("00 0BADF00D")},
        {"1122 0001 E00700001A2B3C4D", Ok("00 CAFEBABE")},
        {"1502", Fail("85")},
        {"1502 E0040100AABBCCDD00", Fail("85")},
    });
}

TEST(Iso15693, AfiDsfidAndSystemInformation) {
    RunSteps({
        {"1702 06", Ok("00")},
        {"1902 08", Ok("00")},
        {"1B02", Ok("00 0F" + kDefaultUidOnAir + "08 06 1B 03 01")},
        {"1802", Ok("00")},
        {"1802", Fail("95")},
        {"1702 07", Fail("94")},
        {"1A22 E00700001A2B3C4D", Ok("00")},
        {"1922 09 E00700001A2B3C4D", Fail("94")},
        {"1B22 E00700001A2B3C4D", Ok("00 0F" + kDefaultUidOnAir + "08 06 1B 03 01")},
    });
}

TEST(Iso15693, ControlLines) {
    Simulator sim(Profile::Reader);
    for (const char* line :
         {"iso15693", "iso15693 tag", "iso15693 tag E00401", "iso15693 tag E0040100AABBCCDD blocks 0",
          "iso15693 tag E0040100AABBCCDD blocks 65", "iso15693 tag E0040100AABBCCDD afi 123",
          "iso15693 tag E0040100AABBCCDD size 4", "iso15693 clear all"})
        EXPECT_EQ(sim.Control(line), kControlBadArgument) << line;
    ASSERT_EQ(sim.Control("iso15693 clear"), kControlAccepted);
    ASSERT_EQ(sim.Control("iso15693 tag e004010000000001 blocks 8 afi 0A dsfid 0b"), kControlAccepted);
    EXPECT_EQ(Exchange(sim, Frame("1B02")), Ok("00 0F 01000000000104E0 0B 0A 07 03 01"));
    EXPECT_EQ(Exchange(sim, Frame("1102 0801")), Fail("93"));
    ASSERT_EQ(sim.Control("iso15693 default"), kControlAccepted);
    EXPECT_EQ(Exchange(sim, Frame("10060000")), Ok("01 0000" + kDefaultUidOnAir));
}

} // namespace
} // namespace usbsim
