#include <gtest/gtest.h>

#include "sim/frame.h"
#include "test_frames.h"

namespace usbsim {
namespace {

using test::FromHex;

TEST(Hex, ParsesPairsInEitherCaseAndRefusesTheRest) {
    EXPECT_EQ(ParseHex("AA 00 01 cf CE BB"), FromHex("AA0001CFCEBB"));
    EXPECT_EQ(ParseHex(""), Bytes{});
    EXPECT_FALSE(ParseHex("ABC"));  // a digit without its partner
    EXPECT_FALSE(ParseHex("A B"));  // a blank inside a pair
    EXPECT_FALSE(ParseHex("0x12")); // not hex digits
    EXPECT_EQ(ToHex(FromHex("0a1bff")), "0A1BFF");
}

TEST(Gen2Crc, MatchesTheStandardCheckValueAndTheDefaultTag) {
    const std::string digits = "123456789";
    EXPECT_EQ(Gen2Crc16(ByteView(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size())),
              0xD64E);
    EXPECT_EQ(Gen2Crc16(FromHex("3000E2005128930D011417401122")), 0x5C3F);
    EXPECT_EQ(Gen2Crc16(FromHex("3000000000000000000000000001")), 0x1D8C);
}

TEST(ReplyFrame, IsStartAddressLengthStatusDataXorEnd) {
    EXPECT_EQ(ToHex(BuildReply(0x00, Answer::Ok())), "AA00010001BB");
    EXPECT_EQ(ToHex(BuildReply(0x00, Answer::Fail(0x83))), "AA0002018380BB");
    EXPECT_EQ(ToHex(BuildReply(0x0A, Answer::Ok({0x56, 0x31}))), "AA0A03005631"
                                                                 "6E"
                                                                 "BB");
    // Data too long for the length byte becomes an out-of-range failure.
    EXPECT_EQ(ToHex(BuildReply(0x00, Answer::Ok(Bytes(255, 0x11)))), test::kOutOfRange);
    EXPECT_EQ(BuildReply(0x00, Answer::Ok(Bytes(254, 0x11))).size(), 254u + 6u);
}

TEST(ReplyFrame, RewrittenLengthByteKeepsTheXorConsistent) {
    Bytes reply = BuildReply(0x00, Answer::Ok());
    RewriteLengthByte(reply, 0xFF);
    EXPECT_EQ(ToHex(reply), "AA00FF00FFBB");
}

struct FrameCase {
    const char* frame;
    std::optional<std::uint8_t> failure;
    std::uint8_t address;
    std::uint8_t command;
    const char* data;
};

class CommandFrameChecks : public testing::TestWithParam<FrameCase> {};

TEST_P(CommandFrameChecks, RefuseMalformedFramesWithTheirReason) {
    const FrameCase& c = GetParam();
    CheckedFrame checked = CheckFrame(FromHex(c.frame));
    EXPECT_EQ(checked.failure, c.failure);
    EXPECT_EQ(checked.address, c.address);
    if (!c.failure) {
        EXPECT_EQ(checked.command, c.command);
        EXPECT_EQ(ToHex(checked.data), c.data);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, CommandFrameChecks,
    testing::Values(FrameCase{"AA0001cfCEBB", std::nullopt, 0x00, 0xCF, ""},
                    FrameCase{"AA0009820F0000000101010085BB", std::nullopt, 0x00, 0x82, "0F00000001010100"},
                    FrameCase{"AA0a02c10AC3BB", std::nullopt, 0x0A, 0xC1, "0A"},
                    FrameCase{"AA0001cfCFBB", reason::kBadXor, 0x00, 0, ""},
                    FrameCase{"AA0002cfCDBB", reason::kWrongLength, 0x00, 0, ""},     // says 2, carries 1
                    FrameCase{"AA0001cfcf00CEBB", reason::kWrongLength, 0x00, 0, ""}, // says 1, carries 3
                    FrameCase{"AA000000BB", reason::kWrongLength, 0x00, 0, ""},       // no command byte
                    FrameCase{"AABB", reason::kWrongLength, 0x00, 0, ""},
                    FrameCase{"AA0001cfCE", reason::kBadFraming, 0x00, 0, ""},   // end byte missing
                    FrameCase{"AB0001cfCEBB", reason::kBadFraming, 0x00, 0, ""}, // start byte wrong
                    FrameCase{"BB000C001301000000206000E2005128930D0114174011223A7E", reason::kBadFraming,
                              0x00, 0, ""}, // a bare module frame
                    FrameCase{"AA", reason::kBadFraming, 0x00, 0, ""}));

} // namespace
} // namespace usbsim
