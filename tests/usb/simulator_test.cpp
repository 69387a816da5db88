#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "test_frames.h"

namespace usbsim {
namespace {

using namespace test;

const Bytes kVersionFrame = Frame("c0");
const char* kVersionReply = "AA001100555342207265616465722056322E36301CBB";

int WriteFrame(Simulator& sim, const Bytes& frame) {
    return sim.Write(0, static_cast<int>(frame.size()), frame.data());
}

TEST(Transport, ReadNeverWritesBeyondItsLength) {
    for (int length : {1, 5, 21, 22, 245}) {
        Simulator sim(Profile::Reader);
        ASSERT_EQ(WriteFrame(sim, kVersionFrame), static_cast<int>(kVersionFrame.size()));
        std::uint8_t buffer[257];
        std::fill(std::begin(buffer), std::end(buffer), 0xEE);
        int read = sim.Read(0, length, buffer);
        const int replyLength = 22;
        EXPECT_EQ(read, std::min(length, replyLength)) << length;
        EXPECT_EQ(ToHex(ByteView(buffer, static_cast<std::size_t>(read))),
                  std::string(kVersionReply).substr(0, read * 2));
        EXPECT_TRUE(std::all_of(buffer + read, std::end(buffer), [](std::uint8_t b) { return b == 0xEE; }))
            << length;
        // One read takes one reply, cut or not.
        EXPECT_EQ(sim.Read(0, 245, buffer), 0);
    }
}

TEST(Transport, ReadWithNothingQueuedReturnsZeroAndLeavesTheBuffer) {
    Simulator sim(Profile::Reader);
    std::uint8_t buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(sim.Read(0, 8, buffer), 0);
    EXPECT_EQ(ToHex(buffer), "0102030405060708");
}

TEST(Transport, RepliesComeBackInTheOrderTheFramesWent) {
    Simulator sim(Profile::Reader);
    WriteFrame(sim, Frame("cf"));
    WriteFrame(sim, kVersionFrame);
    std::uint8_t buffer[257] = {};
    EXPECT_EQ(ToHex(ByteView(buffer, static_cast<std::size_t>(sim.Read(0, 245, buffer)))), kOk);
    EXPECT_EQ(ToHex(ByteView(buffer, static_cast<std::size_t>(sim.Read(0, 245, buffer)))), kVersionReply);
}

TEST(Transport, OnlyDeviceZeroExistsAndEmptyCallsDoNothing) {
    Simulator sim(Profile::Reader);
    EXPECT_EQ(sim.Write(1, static_cast<int>(kVersionFrame.size()), kVersionFrame.data()), 0);
    EXPECT_EQ(sim.Write(0, 0, kVersionFrame.data()), 0);
    EXPECT_EQ(sim.Write(0, 6, nullptr), 0);
    EXPECT_EQ(sim.FrameCount(), 0);
    WriteFrame(sim, kVersionFrame);
    std::uint8_t buffer[257];
    EXPECT_EQ(sim.Read(1, 245, buffer), 0);
    EXPECT_EQ(sim.Read(0, 0, buffer), 0);
    EXPECT_EQ(sim.Read(0, 245, buffer), 22); // still queued for the real device
}

TEST(Transport, LastFrameReplyAndCountFollowTheTraffic) {
    Simulator sim(Profile::Reader);
    EXPECT_EQ(sim.LastFrameHex(), "");
    ExchangeHex(sim, "AA0001cfCEBB");
    Exchange(sim, kVersionFrame);
    EXPECT_EQ(sim.LastFrameHex(), "AA0001C0C1BB");
    EXPECT_EQ(sim.LastReplyHex(), kVersionReply);
    EXPECT_EQ(sim.FrameCount(), 2);
}

TEST(Transport, MalformedFramesGetTheirFailureReply) {
    Simulator sim(Profile::Tag);
    EXPECT_EQ(ExchangeHex(sim, "AA0001cfCFBB"), kBadXor);
    EXPECT_EQ(ExchangeHex(sim, "AA0002cfCDBB"), kWrongLength);
    EXPECT_EQ(ExchangeHex(sim, "AA0001cfCE"), kBadFraming);
    EXPECT_EQ(ExchangeHex(sim, "AA000120 21BB"), kUnknownCommand);
    // The reply carries the frame's address.
    EXPECT_EQ(ExchangeHex(sim, "AA0a01cfC4BB"), "AA0A01000BBB");
}

struct ForceCase {
    std::vector<std::string> lines;
    std::vector<std::string> frames;  // payloads, sent in turn
    std::vector<std::string> replies; // expected
};

class ForcedReplies : public testing::TestWithParam<ForceCase> {};

TEST_P(ForcedReplies, ShapeTheNamedCommandsReplies) {
    Simulator sim(Profile::Reader);
    for (const auto& line : GetParam().lines) ASSERT_EQ(sim.Control(line), kControlAccepted) << line;
    std::vector<std::string> replies;
    for (const auto& payload : GetParam().frames) replies.push_back(Exchange(sim, Frame(payload)));
    EXPECT_EQ(replies, GetParam().replies);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ForcedReplies,
    testing::Values(
        // Once (the default) affects only the next frame of that command.
        ForceCase{{"force 83 status 02"},
                  {"cf", "83", "83"},
                  {kOk, "AA000A02000F0000000101010006BB", "AA000A00000F0000000101010004BB"}},
        ForceCase{{"force C0 reason 83 always"}, {"c0", "c0"}, {"AA0002018380BB", "AA0002018380BB"}},
        ForceCase{{"force c0 reason 83 always", "force c0 off"}, {"c0"}, {kVersionReply}},
        ForceCase{{"force any reason 01 always"}, {"cf", "0f01"}, {"AA0002010102BB", "AA0002010102BB"}},
        // A command's own forcing wins over "any"; "force any off" clears everything.
        ForceCase{
            {"force any status 05 always", "force cf status 00 always"}, {"cf", "b8"}, {kOk, "AA00010504BB"}},
        ForceCase{{"force any status 05 always", "force cf reason 10", "force any off"}, {"cf"}, {kOk}}));

TEST(ForcedReplies, AForcedFailureStoresNothing) {
    Simulator sim(Profile::Reader);
    sim.Control("force 82 reason 81");
    EXPECT_EQ(Exchange(sim, Frame("820700000000000100")), "AA0002018182BB");
    EXPECT_EQ(Exchange(sim, Frame("83")).substr(10, 2), "0F");
}

TEST(ForcedReplies, FrameChecksStillComeFirst) {
    Simulator sim(Profile::Reader);
    sim.Control("force cf status 00 always");
    EXPECT_EQ(ExchangeHex(sim, "AA0001cfCFBB"), kBadXor);
}

TEST(FaultControls, ShortWriteReturnsLessAndQueuesNothing) {
    struct Case {
        const char* line;
        std::vector<int> written; // for three writes of the six-byte frame
    };
    const Case cases[] = {
        {"short", {5, 6, 6}},          {"short 0", {0, 6, 6}},
        {"short 3 always", {3, 3, 3}}, {"short 9", {5, 6, 6}}, // never the full count
        {"short 2 once", {2, 6, 6}},
    };
    for (const Case& c : cases) {
        Simulator sim(Profile::Reader);
        ASSERT_EQ(sim.Control(c.line), kControlAccepted) << c.line;
        std::vector<int> written;
        for (int i = 0; i < 3; ++i) {
            written.push_back(WriteFrame(sim, kVersionFrame));
            std::uint8_t buffer[257];
            int read = sim.Read(0, 245, buffer);
            EXPECT_EQ(read, written.back() == 6 ? 22 : 0) << c.line;
        }
        EXPECT_EQ(written, c.written) << c.line;
        EXPECT_EQ(sim.FrameCount(), 3);
    }
}

TEST(FaultControls, SilenceDropsTheReply) {
    Simulator sim(Profile::Reader);
    sim.Control("silence");
    std::uint8_t buffer[257] = {};
    EXPECT_EQ(WriteFrame(sim, kVersionFrame), 6);
    EXPECT_EQ(sim.Read(0, 245, buffer), 0);
    EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(sim.QueuedReplies(), 0u);
    EXPECT_EQ(Exchange(sim, kVersionFrame), kVersionReply);

    sim.Control("silence always");
    EXPECT_EQ(Exchange(sim, kVersionFrame), "");
    EXPECT_EQ(Exchange(sim, kVersionFrame), "");
    sim.Control("silence off");
    EXPECT_EQ(Exchange(sim, kVersionFrame), kVersionReply);
}

TEST(FaultControls, OversizeClaimsMoreThanIsDelivered) {
    Simulator sim(Profile::Reader);
    sim.Control("oversize");
    EXPECT_EQ(Exchange(sim, Frame("cf")), "AA00FF00FFBB");
    EXPECT_EQ(Exchange(sim, Frame("cf")), kOk);
    sim.Control("oversize F0 always");
    EXPECT_EQ(Exchange(sim, Frame("cf")), "AA00F000F0BB");
    EXPECT_EQ(Exchange(sim, kVersionFrame).substr(4, 2), "F0");
}

TEST(FaultControls, DelayHoldsTheReplyBack) {
    using namespace std::chrono;
    Simulator sim(Profile::Reader);
    sim.Control("delay 150");
    auto start = steady_clock::now();
    EXPECT_EQ(Exchange(sim, kVersionFrame), kVersionReply);
    EXPECT_GE(steady_clock::now() - start, milliseconds(150));
    // Used up: the next reply is there at once (no upper bound is asserted on timing).
    sim.Control("delay 0 always");
    EXPECT_EQ(Exchange(sim, kVersionFrame), kVersionReply);
}

TEST(Controls, VersionTextIsTakenExactly) {
    Simulator sim(Profile::Tag);
    ASSERT_EQ(sim.Control("version V1.0 "), kControlAccepted);
    // "V1.0 " with its trailing blank.
    EXPECT_EQ(Exchange(sim, kVersionFrame), "AA000600"
                                            "56312E3020"
                                            "5F"
                                            "BB");
    ASSERT_EQ(sim.Control("version"), kControlAccepted);
    EXPECT_EQ(Exchange(sim, kVersionFrame), kOk);
}

TEST(Controls, FieldOfTagsCanBeSetAndSwapped) {
    Simulator sim(Profile::Reader);
    const Bytes inventory = Frame("cebb00220000227e");
    ASSERT_EQ(sim.Control("field clear"), kControlAccepted);
    EXPECT_EQ(Exchange(sim, inventory).substr(8, 16), "BB01FF000115167E");
    ASSERT_EQ(sim.Control("tag 11112222 pwd 00000000 pc 1000"), kControlAccepted);
    EXPECT_EQ(Exchange(sim, inventory).substr(8 + 16, 8), "11112222");
    ASSERT_EQ(sim.Control("field clear"), kControlAccepted);
    ASSERT_EQ(sim.Control("tag 33334444"), kControlAccepted);
    EXPECT_EQ(Exchange(sim, inventory).substr(8 + 16, 8), "33334444");
    ASSERT_EQ(sim.Control("field default"), kControlAccepted);
    EXPECT_EQ(Exchange(sim, inventory).substr(8 + 16, 24), "E2005128930D011417401122");

    ASSERT_EQ(sim.Control("field clear"), kControlAccepted);
    ASSERT_EQ(sim.Control("queue 5555"), kControlAccepted);
    ASSERT_EQ(sim.Control("dwell 1"), kControlAccepted);
    EXPECT_EQ(Exchange(sim, inventory).substr(8 + 16, 4), "5555");
    EXPECT_EQ(Exchange(sim, inventory).substr(8, 16), "BB01FF000115167E");
}

TEST(Controls, BadLinesAreRefusedWithTheirCode) {
    struct Case {
        const char* line;
        int result;
    };
    const Case cases[] = {
        {"", kControlAccepted},
        {"   # a comment", kControlAccepted},
        {"RESET", kControlAccepted},
        {"frobnicate", kControlUnknown},
        {"reset now", kControlBadArgument},
        {"profile usb", kControlBadArgument},
        {"force 8 status 02", kControlBadArgument},
        {"force 83 status", kControlBadArgument},
        {"force 83 colour 02", kControlBadArgument},
        {"force 83 status 02 twice", kControlBadArgument},
        {"short -1", kControlBadArgument},
        {"short 2 sometimes", kControlBadArgument},
        {"delay", kControlBadArgument},
        {"delay always", kControlBadArgument},
        {"oversize 1FF", kControlBadArgument},
        {"silence off now", kControlBadArgument},
        {"tag 112233", kControlBadArgument}, // odd byte count
        {"tag 1122 pwd 1122", kControlBadArgument},
        {"tag 1122 pwd", kControlBadArgument},
        {"tag 1122 colour 11", kControlBadArgument},
        {"tag", kControlBadArgument},
        {"field", kControlBadArgument},
        {"field full", kControlBadArgument},
        {"dwell x", kControlBadArgument},
        {"transcript", kControlBadArgument},
    };
    Simulator sim(Profile::Reader);
    for (const Case& c : cases) EXPECT_EQ(sim.Control(c.line), c.result) << "'" << c.line << "'";
}

TEST(Controls, ResetRestoresTheFactoryStateAndClearsFaults) {
    Simulator sim(Profile::Reader);
    const CardReaderSettings factory = sim.CardSettings();
    Exchange(sim, Frame("c114"));
    sim.Control("version X");
    sim.Control("field clear");
    sim.Control("silence always");
    sim.Control("force any reason 01 always");
    WriteFrame(sim, kVersionFrame); // left queued
    ASSERT_EQ(sim.Control("reset"), kControlAccepted);
    EXPECT_EQ(sim.CardSettings(), factory);
    EXPECT_EQ(sim.QueuedReplies(), 0u);
    EXPECT_EQ(sim.FrameCount(), 0);
    EXPECT_EQ(sim.Field().size(), 1u);
    EXPECT_EQ(Exchange(sim, kVersionFrame), kVersionReply);
}

TEST(Controls, ProfileSwitchesTheCommandSet) {
    Simulator sim(Profile::Tag);
    EXPECT_EQ(Exchange(sim, Frame("c10A")), kUnknownCommand);
    ASSERT_EQ(sim.Control("profile reader"), kControlAccepted);
    EXPECT_EQ(sim.CurrentProfile(), Profile::Reader);
    EXPECT_EQ(Exchange(sim, Frame("c10A")), kOk);
    ASSERT_EQ(sim.Control("profile auto"), kControlAccepted);
    EXPECT_EQ(sim.CurrentProfile(), Profile::Tag);
}

TEST(Profiles, FollowTheProgramsFileName) {
    EXPECT_EQ(ProfileForModuleName("C:\\demo\\tagconsole.exe"), Profile::Tag);
    EXPECT_EQ(ProfileForModuleName("Z:\\build\\TagConsole_Pages_Test.exe"), Profile::Tag);
    EXPECT_EQ(ProfileForModuleName("C:\\demo\\readerconsole.exe"), Profile::Reader);
    // Only the file name counts, not the folder it sits in.
    EXPECT_EQ(ProfileForModuleName("Z:\\build\\tagconsole\\readerconsole.exe"), Profile::Reader);
    EXPECT_EQ(ProfileForModuleName(""), Profile::Reader);
}

class FileControls : public testing::Test {
protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("usb-sim-test-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::path dir_;
};

TEST_F(FileControls, TranscriptHasOneLinePerFrameAndPerDeliveredReply) {
    Simulator sim(Profile::Reader);
    const auto path = dir_ / "transcript.txt";
    ASSERT_EQ(sim.Control("transcript " + path.string()), kControlAccepted);
    ExchangeHex(sim, "AA0001cfCEBB");
    sim.Control("silence");
    Exchange(sim, kVersionFrame); // written, nothing delivered
    sim.Control("short");
    Exchange(sim, kVersionFrame);
    ASSERT_EQ(sim.Control("transcript off"), kControlAccepted);
    Exchange(sim, kVersionFrame);
    EXPECT_EQ(Read(path), "> AA0001CFCEBB\n< AA00010001BB\n> AA0001C0C1BB\n> AA0001C0C1BB\n");
    // Reopening appends.
    ASSERT_EQ(sim.Control("transcript " + path.string()), kControlAccepted);
    ExchangeHex(sim, "AA0001cfCEBB");
    sim.Control("transcript off");
    EXPECT_EQ(Read(path).substr(60), "> AA0001CFCEBB\n< AA00010001BB\n");
}

TEST_F(FileControls, TranscriptThatCannotBeOpenedIsRefused) {
    Simulator sim(Profile::Reader);
    EXPECT_EQ(sim.Control("transcript " + (dir_ / "no-such-dir" / "t.txt").string()), kControlFileError);
}

TEST_F(FileControls, ConfigFileAppliesEveryLineInOrder) {
    const auto path = dir_ / "usb.cfg";
    std::ofstream(path, std::ios::binary) << "# demo set-up\r\n"
                                             "profile tag\r\n"
                                             "version Demo V1.0\n"
                                             "\n"
                                             "no-such-line\n"
                                             "force 0e reason 10 always\n";
    Simulator sim(Profile::Reader);
    EXPECT_EQ(sim.ApplyConfigFile(path), kControlUnknown); // the first failing line's code
    EXPECT_EQ(sim.CurrentProfile(), Profile::Tag);
    EXPECT_EQ(Exchange(sim, kVersionFrame), "AA000A0044656D6F2056312E30"
                                            "70"
                                            "BB");
    EXPECT_EQ(Exchange(sim, Frame("0E01")), kOutOfRange); // lines after the bad one still apply
    EXPECT_EQ(sim.ApplyConfigFile(dir_ / "missing.cfg"), kControlFileError);
}

} // namespace
} // namespace usbsim
