#include <gtest/gtest.h>

#include "sim/uhf_module.h"
#include "test_frames.h"

namespace usbsim {
namespace {

using test::FromHex;

constexpr const char* kInventory = "BB00220000227E";
constexpr const char* kDefaultTagAnswer = "BB02220011C83000E2005128930D0114174011225C3F627E";
constexpr const char* kNoTag = "BB01FF000115167E";
// Select, read and write as the write-card page builds them for the default tag.
constexpr const char* kSelectDefault = "BB000C001301000000206000E2005128930D0114174011223A7E";
constexpr const char* kSelectOk = "BB010C0001000E7E";
constexpr const char* kReadEpcBank = "BB003900095E219C470100000008AD7E";
constexpr const char* kWriteEpc1 = "BB004900195E219C4701000000085C3F3000000000000000000000000001997E";

std::string Send(UhfModule& module, std::string_view frameHex) {
    return ToHex(module.Handle(FromHex(frameHex)));
}

// A module frame with its checksum: type 00, command, parameters.
std::string ModuleFrame(std::uint8_t command, std::string_view paramsHex) {
    return ToHex(BuildUhfFrame(0x00, command, FromHex(paramsHex)));
}

UhfTag Tag(std::string_view epcHex, const UhfTagOptions& options = {}) {
    return *MakeUhfTag(FromHex(epcHex), options);
}

TEST(UhfInventory, AnswersTheDefaultTagWithPcEpcAndCrc) {
    UhfModule module;
    EXPECT_EQ(Send(module, kInventory), kDefaultTagAnswer);
}

TEST(UhfInventory, EmptyFieldGivesTheEightByteNoTagFrame) {
    UhfModule module;
    module.ClearField();
    EXPECT_EQ(Send(module, kInventory), kNoTag);
}

TEST(UhfInventory, CyclesThroughTheFieldOneTagPerCall) {
    UhfModule module;
    module.ClearField();
    module.AddTag(Tag("111111111111111111111111"));
    module.AddTag(Tag("22222222"));
    std::vector<std::string> seen;
    for (int i = 0; i < 3; ++i) seen.push_back(Send(module, kInventory).substr(16, 24));
    EXPECT_EQ(seen[0], "111111111111111111111111");
    EXPECT_EQ(seen[1].substr(0, 8), "22222222");
    EXPECT_EQ(seen[2], "111111111111111111111111");
    // PL = 5 + EPC bytes for the short tag: 9.
    EXPECT_EQ(Send(module, kInventory).substr(6, 4), "0009");
}

TEST(UhfInventory, DwellReplacesTheFieldWithEachWaitingTagInTurn) {
    UhfModule module;
    module.ClearField();
    module.QueueTag(Tag("AAAA"));
    module.QueueTag(Tag("BBBB"));
    module.SetDwell(2);
    std::vector<std::string> epcs;
    for (int i = 0; i < 5; ++i) {
        std::string reply = Send(module, kInventory);
        epcs.push_back(reply == kNoTag ? "none" : reply.substr(16, 4));
    }
    EXPECT_EQ(epcs, (std::vector<std::string>{"AAAA", "AAAA", "BBBB", "BBBB", "none"}));
}

TEST(UhfSelectRead, ReadsTheSelectedTagsEpcBank) {
    UhfModule module;
    EXPECT_EQ(Send(module, kSelectDefault), kSelectOk);
    // UL 0E, PC, EPC, then eight words: CRC, PC and the EPC.
    EXPECT_EQ(Send(module, kReadEpcBank),
              "BB0139001F0E3000E2005128930D0114174011225C3F3000E2005128930D011417401122967E");
}

TEST(UhfSelectRead, SelectMatchesOtherBanksByBitPointer) {
    UhfModule module;
    module.ClearField();
    UhfTagOptions withTid;
    withTid.tid = FromHex("E2801105200011112222");
    module.AddTag(Tag("1234", {}));
    module.AddTag(Tag("5678", withTid));
    // TID bank, bit 48, 16 bits: 1111 picks the second tag.
    Send(module, ModuleFrame(0x0C, "02000000301000"
                                   "1111"));
    std::string reply = Send(module, ModuleFrame(0x39, "5E219C47"
                                                       "02"
                                                       "0003"
                                                       "0002"));
    EXPECT_EQ(reply.substr(10, 2 + 4 + 4), "04"
                                           "0800"
                                           "5678");
    EXPECT_EQ(reply.substr(20, 8), "11112222");
}

struct ModuleErrorCase {
    const char* name;
    std::vector<std::string> frames; // all but the last prepare the module
    const char* reply;
};

class UhfModuleErrors : public testing::TestWithParam<ModuleErrorCase> {};

TEST_P(UhfModuleErrors, AnswerTheErrorFrame) {
    UhfModule module;
    const auto& c = GetParam();
    for (std::size_t i = 0; i + 1 < c.frames.size(); ++i) Send(module, c.frames[i]);
    EXPECT_EQ(Send(module, c.frames.back()), c.reply);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, UhfModuleErrors,
    testing::Values(ModuleErrorCase{"ReadWithoutSelect", {kReadEpcBank}, "BB01FF0001090A7E"},
                    ModuleErrorCase{"WriteWithoutSelect", {kWriteEpc1}, "BB01FF000110117E"},
                    ModuleErrorCase{"SelectMatchesNoTag",
                                    {ModuleFrame(0x0C, "010000002060"
                                                       "00"
                                                       "000000000000000000000099"),
                                     kWriteEpc1},
                                    "BB01FF000110117E"},
                    ModuleErrorCase{"ReadWrongPassword",
                                    {kSelectDefault, ModuleFrame(0x39, "00000000"
                                                                       "01"
                                                                       "0000"
                                                                       "0008")},
                                    "BB01FF000116177E"},
                    ModuleErrorCase{"WriteWrongPassword",
                                    {kSelectDefault, ModuleFrame(0x49, "5E219C48"
                                                                       "01"
                                                                       "0002"
                                                                       "0001"
                                                                       "1234")},
                                    "BB01FF000116177E"},
                    ModuleErrorCase{"WriteDataShorterThanWordCount",
                                    {kSelectDefault, ModuleFrame(0x49, "5E219C47"
                                                                       "01"
                                                                       "0000"
                                                                       "0008"
                                                                       "5C3F3000"
                                                                       "0000000000")},
                                    "BB01FF000117187E"},
                    ModuleErrorCase{"WriteZeroWords",
                                    {kSelectDefault, ModuleFrame(0x49, "5E219C47"
                                                                       "01"
                                                                       "0000"
                                                                       "0000")},
                                    "BB01FF000117187E"},
                    ModuleErrorCase{"ReadBeyondTid",
                                    {kSelectDefault, ModuleFrame(0x39, "5E219C47"
                                                                       "02"
                                                                       "0000"
                                                                       "0007")},
                                    "BB01FF0001A3A47E"},
                    ModuleErrorCase{"WriteBeyondEpcBank",
                                    {kSelectDefault, ModuleFrame(0x49, "5E219C47"
                                                                       "01"
                                                                       "0020"
                                                                       "0002"
                                                                       "00000000")},
                                    "BB01FF0001B3B47E"},
                    ModuleErrorCase{"BadChecksum", {"BB00220000237E"}, "BB01FF000117187E"},
                    ModuleErrorCase{"BadEndByte", {"BB00220000227F"}, "BB01FF000117187E"},
                    ModuleErrorCase{"LengthDisagreesWithBytes", {"BB0022000100227E"}, "BB01FF000117187E"},
                    ModuleErrorCase{"UnknownCommand", {ModuleFrame(0x77, "")}, "BB01FF000117187E"},
                    ModuleErrorCase{"SelectMaskShorterThanBits",
                                    {ModuleFrame(0x0C, "010000002060"
                                                       "00"
                                                       "E200")},
                                    "BB01FF000117187E"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UhfWrite, WritesTheEpcAndTheTagRecomputesItsCrc) {
    UhfModule module;
    Send(module, kSelectDefault);
    // The reply names the tag as it was before the write.
    EXPECT_EQ(Send(module, kWriteEpc1), "BB014900100E3000E2005128930D01141740112200327E");
    EXPECT_EQ(Send(module, kInventory), "BB02220011C830000000000000000000000000011D8CD77E");
    // The selection named the old EPC, which is gone now.
    EXPECT_EQ(Send(module, kWriteEpc1), "BB01FF000110117E");
}

TEST(UhfWrite, ANewPcChangesTheEpcLengthTheTagBackscatters) {
    UhfModule module;
    Send(module, kSelectDefault);
    // Words 1-5: PC 2000 (four EPC words) and an eight-byte EPC; the CRC word is the tag's own.
    Send(module, ModuleFrame(0x49, "5E219C47"
                                   "01"
                                   "0000"
                                   "0006"
                                   "FFFF"
                                   "2000"
                                   "1122334455667788"));
    EXPECT_EQ(Send(module, kInventory).substr(10, 2 + 4 + 16 + 4), "C8"
                                                                   "2000"
                                                                   "1122334455667788"
                                                                   "4B40");
}

TEST(UhfWrite, ReservedBankWriteChangesTheAccessPassword) {
    UhfModule module;
    Send(module, kSelectDefault);
    EXPECT_EQ(Send(module, ModuleFrame(0x49, "5E219C47"
                                             "00"
                                             "0002"
                                             "0002"
                                             "01020304"))
                  .substr(4, 2),
              "49");
    EXPECT_EQ(Send(module, kReadEpcBank), "BB01FF000116177E");
    EXPECT_EQ(Send(module, ModuleFrame(0x39, "01020304"
                                             "01"
                                             "0000"
                                             "0008"))
                  .substr(4, 2),
              "39");
}

TEST(UhfTagMaking, RefusesEpcsAndOptionsThatDoNotFit) {
    EXPECT_FALSE(MakeUhfTag(FromHex("112233"))); // odd byte count
    EXPECT_FALSE(MakeUhfTag(Bytes(64, 0x11)));   // more than 31 words
    EXPECT_TRUE(MakeUhfTag(Bytes(62, 0x11)));
    UhfTagOptions badPassword;
    badPassword.accessPassword = FromHex("112233");
    EXPECT_FALSE(MakeUhfTag(FromHex("1122"), badPassword));
    // The PC follows the EPC's word count unless given.
    EXPECT_EQ(MakeUhfTag(FromHex("11223344"))->Pc(), 0x1000);
}

} // namespace
} // namespace usbsim
