#include <gtest/gtest.h>

#include "test_frames.h"

namespace usbsim {
namespace {

using namespace test;

struct CommandCase {
    const char* payload; // command and data as hex
    const char* reply;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.payload;
}

class CardReaderCommands : public testing::TestWithParam<CommandCase> {};

TEST_P(CardReaderCommands, AnswerAsTheReaderDoes) {
    Simulator sim(Profile::Reader);
    EXPECT_EQ(Exchange(sim, Frame(GetParam().payload)), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CardReaderCommands,
    testing::Values(
        CommandCase{"c0", "AA001100555342207265616465722056322E36301CBB"}, // "USB reader V2.60"
        CommandCase{"c000", kWrongLength}, CommandCase{"cf", kOk},
        CommandCase{"83", "AA000A00000F0000000101010004BB"}, // factory record
        CommandCase{"820F00000001010100", kOk}, CommandCase{"828A01010101010101", kOk},
        CommandCase{"820F000000010101", kWrongLength}, CommandCase{"821100000001010100", kOutOfRange},
        CommandCase{"828000000001010100", kOutOfRange}, CommandCase{"820F02000001010100", kOutOfRange},
        CommandCase{"0f01", kOk}, CommandCase{"0f04", kOk}, CommandCase{"0f00", kOutOfRange},
        CommandCase{"0f05", kOutOfRange}, CommandCase{"0f", kWrongLength},
        CommandCase{"0f0101", kWrongLength}, CommandCase{"c1FF", kOk}, CommandCase{"c1", kWrongLength},
        CommandCase{"c20A", kOk}, CommandCase{"c3010001", kOk}, CommandCase{"c3010002", kOutOfRange},
        CommandCase{"c30101", kWrongLength}, CommandCase{"C404", kOk}, CommandCase{"C405", kOutOfRange},
        CommandCase{"C4", kWrongLength}, CommandCase{"c502", kOk}, CommandCase{"c503", kOutOfRange},
        CommandCase{"c603", kOk}, CommandCase{"c604", kOutOfRange}, CommandCase{"c70A", kOk},
        CommandCase{"c700", kOutOfRange}, CommandCase{"c8FF", kOk}, CommandCase{"c800", kOutOfRange},
        CommandCase{"c90B", kOk}, CommandCase{"c90C", kOutOfRange}, CommandCase{"cc0B", kOk},
        CommandCase{"cc0C", kOutOfRange}, CommandCase{"cd00", kOk}, CommandCase{"cd01", kOk},
        CommandCase{"cd02", kOutOfRange}, CommandCase{"cb0130313233", kOk}, CommandCase{"cb01", kOk},
        CommandCase{"cb0231323334", kOk}, CommandCase{"cb013031323334", kOutOfRange},
        CommandCase{"cb0330", kOutOfRange}, CommandCase{"cb", kWrongLength}, CommandCase{"b8", kOk},
        CommandCase{"bc035E219C470008", kOk}, CommandCase{"bc045E219C470008", kOutOfRange},
        CommandCase{"bc035E219C470000", kOutOfRange}, CommandCase{"bc03", kWrongLength},
        CommandCase{"ce", kWrongLength},
        // The tag reader's sleep time is not this reader's.
        CommandCase{"0E01", kUnknownCommand}));

TEST(CardReaderTunnel, CarriesTheModuleReplyAsData) {
    Simulator sim(Profile::Reader);
    EXPECT_EQ(ExchangeHex(sim, "AA0008cebb00220000227e03BB"),
              "AA001900BB02220011C83000E2005128930D0114174011225C3F627E60BB");
    sim.Control("field clear");
    EXPECT_EQ(ExchangeHex(sim, "AA0008cebb00220000227e03BB"), "AA000900BB01FF000115167E"
                                                              "30"
                                                              "BB");
}

TEST(CardReaderState, ReadGivesBackWhatWasSet) {
    struct Step {
        const char* set;
        const char* readBack; // the 83 reply's data after the leading 00
    };
    const Step steps[] = {
        {"820700000000000100", "0700000000000100"},
        {"820d01010101000101", "0D01010101000101"},
        {"82FF00000000000100", "FF00000000000100"},
        {"821000000000010101", "1000000000010101"},
    };
    Simulator sim(Profile::Reader);
    for (const Step& step : steps) {
        ASSERT_EQ(Exchange(sim, Frame(step.set)), kOk) << step.set;
        std::string reply = Exchange(sim, Frame("83"));
        EXPECT_EQ(reply.substr(8, 2), "00");
        EXPECT_EQ(reply.substr(10, 16), step.readBack) << step.set;
    }
}

TEST(CardReaderState, SetCommandsAreKeptAndFactoryDefaultRestoresThem) {
    Simulator sim(Profile::Reader);
    const CardReaderSettings factory = sim.CardSettings();
    for (const char* set : {"c114", "c200", "c3000100", "c403", "c500", "c602", "c710", "c820", "c903",
                            "cc05", "cd01", "cb0141", "cb02", "0f02", "bc0100000000020A", "b8"})
        ASSERT_EQ(Exchange(sim, Frame(set)), kOk) << set;

    CardReaderSettings s = sim.CardSettings();
    EXPECT_EQ(s.searchInterval, 0x14);
    EXPECT_EQ(s.cardFilter, 0x00);
    EXPECT_EQ(s.outputs, (std::array<std::uint8_t, 3>{0, 1, 0}));
    EXPECT_EQ(s.baudCode, 3);
    EXPECT_EQ(s.serialEnd, 0);
    EXPECT_EQ(s.wiegandFormat, 2);
    EXPECT_EQ(s.wiegandPulse, 0x10);
    EXPECT_EQ(s.wiegandIdle, 0x20);
    EXPECT_EQ(s.wiegandPosition, 3);
    EXPECT_EQ(s.rfPower, 5);
    EXPECT_EQ(s.voiceOff, 1);
    EXPECT_EQ(s.prefix, Bytes{0x41});
    EXPECT_TRUE(s.suffix.empty());
    EXPECT_EQ(s.workMode, 2);
    EXPECT_EQ(s.sectorRead, (std::array<std::uint8_t, 7>{1, 0, 0, 0, 0, 2, 0x0A}));
    EXPECT_TRUE(s.virtualSerial);

    // A refused value leaves the stored one alone.
    EXPECT_EQ(Exchange(sim, Frame("c504")), kOutOfRange);
    EXPECT_EQ(sim.CardSettings().serialEnd, 0);

    EXPECT_EQ(Exchange(sim, Frame("cf")), kOk);
    EXPECT_EQ(sim.CardSettings(), factory);
    EXPECT_EQ(Exchange(sim, Frame("83")), "AA000A00000F0000000101010004BB");
}

class TagReaderCommands : public testing::TestWithParam<CommandCase> {};

TEST_P(TagReaderCommands, AnswerAsTheReaderDoes) {
    Simulator sim(Profile::Tag);
    EXPECT_EQ(Exchange(sim, Frame(GetParam().payload)), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TagReaderCommands,
    testing::Values(
        CommandCase{"c0", "AA0013003133342E324B207265616465722056312E310FBB"}, // "134.2K reader V1.1"
        CommandCase{"cf", kOk}, CommandCase{"83", "AA001200000F0000000001010000000000000000001DBB"},
        CommandCase{"820F000000000101000000000000000000", kOk},
        CommandCase{"820F0101010101012B3031323334353637", kOk},
        CommandCase{"820F00000000010100000000000000", kWrongLength},
        CommandCase{"8210000000000101000000000000000000", kOutOfRange},
        CommandCase{"820F000000020101000000000000000000", kOutOfRange}, CommandCase{"8000", kOk},
        CommandCase{"801d", kOk}, CommandCase{"801E", kOutOfRange}, CommandCase{"80", kWrongLength},
        CommandCase{"0F01", kOk}, CommandCase{"0F03", kOk}, CommandCase{"0F04", kOutOfRange},
        CommandCase{"0F00", kOutOfRange}, CommandCase{"0E00", kOk}, CommandCase{"0E08", kOk},
        CommandCase{"0E09", kOutOfRange}, CommandCase{"0E", kWrongLength}, CommandCase{"2200", kOk},
        CommandCase{"2202", kOk}, CommandCase{"2203", kOutOfRange},
        CommandCase{"88426C7565746F6F7468312E30", kOk}, CommandCase{"88", kWrongLength},
        CommandCase{"88"
                    "414141414141414141414141414141414141414141414141414141414141",
                    kOk}, // 30
        CommandCase{"88"
                    "41414141414141414141414141414141414141414141414141414141414141",
                    kOutOfRange}, // 31
        // The card reader's commands are not this reader's.
        CommandCase{"c10A", kUnknownCommand}, CommandCase{"cebb00220000227e", kUnknownCommand},
        CommandCase{"b8", kUnknownCommand}));

TEST(TagReaderState, ReadGivesTheLayoutThenTheRecordThatWasSet) {
    Simulator sim(Profile::Tag);
    ASSERT_EQ(ExchangeHex(sim, "AA0011820F0000000001010000000000000000009CBB"), kOk); // the page's defaults
    ASSERT_EQ(Exchange(sim, Frame("820a0101010100012B3031323334353637")), kOk);
    ASSERT_EQ(Exchange(sim, Frame("801d")), kOk);
    std::string reply = Exchange(sim, Frame("83"));
    // Characters 9-10 layout, 11-12 format, 13-20 flags, 25-26 custom, 27-34 prefix, 35-42 suffix.
    EXPECT_EQ(reply.substr(8, 2), "1D");
    EXPECT_EQ(reply.substr(10, 2), "0A");
    EXPECT_EQ(reply.substr(12, 8), "01010101");
    EXPECT_EQ(reply.substr(24, 2), "2B");
    EXPECT_EQ(reply.substr(26, 8), "30313233");
    EXPECT_EQ(reply.substr(34, 8), "34353637");
}

TEST(TagReaderState, SettingsAreKeptAndFactoryDefaultRestoresThem) {
    Simulator sim(Profile::Tag);
    const TagReaderSettings factory = sim.TagSettings();
    for (const char* set : {"0F03", "0E05", "2201", "8841", "8010"})
        ASSERT_EQ(Exchange(sim, Frame(set)), kOk) << set;
    TagReaderSettings s = sim.TagSettings();
    EXPECT_EQ(s.workMode, 3);
    EXPECT_EQ(s.sleepCode, 5);
    EXPECT_EQ(s.bluetoothMode, 1);
    EXPECT_EQ(s.bluetoothName, "A");
    EXPECT_EQ(s.keyboardLayout, 0x10);
    EXPECT_EQ(Exchange(sim, Frame("cf")), kOk);
    EXPECT_EQ(sim.TagSettings(), factory);
}

} // namespace
} // namespace usbsim
