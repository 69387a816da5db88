// The serial peer's module: frames in pieces and noise, the answers to the serial page's mode-switch
// frames, and what it reports by itself in each mode.
#include <serialpeer/uhf_peer.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace serialpeer;

Bytes Hex(const std::string& text) {
    auto bytes = ParseHex(text);
    EXPECT_TRUE(bytes.has_value()) << text;
    return bytes.value_or(Bytes{});
}

std::string Answer(TUhfPeer& peer, const std::string& request) {
    const Bytes in = Hex(request);
    return ToHex(peer.Receive(in.data(), in.size()));
}

TEST(SerialPeerFrames, ReaderFindsFramesInPiecesAndNoise) {
    const Bytes good = Hex("BB 00 C2 00 01 00 C3 7E");
    struct Case {
        const char* what;
        Bytes stream;
        int frames;
    } cases[] = {
        {"whole", good, 1},
        {"noise first", [&] { Bytes b = Hex("00 7E 11"); b.insert(b.end(), good.begin(), good.end()); return b; }(), 1},
        {"bad checksum, then a good frame",
         [&] { Bytes b = Hex("BB 00 C2 00 01 00 C4 7E"); b.insert(b.end(), good.begin(), good.end()); return b; }(), 1},
        {"bad end byte", Hex("BB 00 C2 00 01 00 C3 7F"), 0},
        {"length out of reach, then a good frame",
         [&] { Bytes b = Hex("BB FF FF"); b.insert(b.end(), good.begin(), good.end()); return b; }(), 1},
        {"two at once", [&] { Bytes b = good; b.insert(b.end(), good.begin(), good.end()); return b; }(), 2},
        {"cut short", Hex("BB 00 C2 00 01 00"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFrameReader whole, bytewise;
        whole.Feed(c.stream.data(), c.stream.size());
        for (std::uint8_t b : c.stream) bytewise.Feed(&b, 1);
        for (TFrameReader* reader : {&whole, &bytewise}) {
            int n = 0;
            while (auto frame = reader->Next()) {
                EXPECT_EQ(frame->command, 0xC2);
                EXPECT_EQ(frame->parameters, Bytes{0x00});
                ++n;
            }
            EXPECT_EQ(n, c.frames);
        }
    }
}

TEST(SerialPeerFrames, EncodedFrameCarriesLengthAndChecksum) {
    EXPECT_EQ(ToHex(EncodeFrame({0x00, 0x22, {}})), "BB 00 22 00 00 22 7E");
    EXPECT_EQ(ToHex(EncodeFrame({0x01, 0xC2, {0x00}})), "BB 01 C2 00 01 00 C4 7E");
    Bytes many(300, 0x01);
    const Bytes frame = EncodeFrame({0x02, 0x39, many});
    ASSERT_EQ(frame.size(), 307u);
    EXPECT_EQ(frame[3], 0x01);
    EXPECT_EQ(frame[4], 0x2C);
    EXPECT_EQ(frame[305], static_cast<std::uint8_t>(0x02 + 0x39 + 0x01 + 0x2C + 300));
}

TEST(SerialPeerAnswers, ModeSwitchFramesOfTheSerialPage) {
    struct Case {
        const char* request;
        const char* reply;
        TWorkMode mode;
    } cases[] = {
        {"BB 00 C2 00 01 00 C3 7E", "BB 01 C2 00 01 00 C4 7E", TWorkMode::UsbHid},
        {"BB 00 C1 00 01 01 C3 7E", "BB 01 C1 00 01 01 C4 7E", TWorkMode::ActiveSingle},
        {"BB 00 C1 00 01 00 C2 7E ", "BB 01 C1 00 01 00 C3 7E", TWorkMode::Passive},
        {"BB 00 C1 00 01 02 C4 7E", "BB 01 C1 00 01 02 C5 7E", TWorkMode::ActiveMultiple},
        {"BB 00 C1 00 01 03 C5 7E ", "BB 01 C1 00 01 03 C6 7E", TWorkMode::ActiveTid},
        {"BB 00 C9 00 07 03 5E 21 9C 47 00 08 3D 7E", "BB 01 C9 00 01 03 CE 7E", TWorkMode::ActiveMemory},
        // What the module cannot take: a mode it does not have, a memory frame of the wrong size.
        {"BB 00 C1 00 01 05 C7 7E", "BB 01 C1 00 01 89 4C 7E", TWorkMode::ActiveSingle},
        {"BB 00 C9 00 01 03 CD 7E", "BB 01 C9 00 01 89 54 7E", TWorkMode::ActiveSingle},
        // Not answered on the serial line.
        {"BB 00 22 00 00 22 7E", "", TWorkMode::ActiveSingle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        TUhfPeer peer({TWorkMode::ActiveSingle, {Hex("00 00 00 00 00 00 00 00 00 00 00 01")}, std::nullopt});
        EXPECT_EQ(Answer(peer, c.request), c.reply);
        EXPECT_EQ(peer.Mode(), c.mode);
    }
}

TEST(SerialPeerAnswers, ForcedReplyCodeLeavesTheModeAlone) {
    TUhfPeer failing({TWorkMode::ActiveSingle, {Hex("01 02")}, 0x01});
    EXPECT_EQ(Answer(failing, "BB 00 C2 00 01 00 C3 7E"), "BB 01 C2 00 01 01 C5 7E");
    EXPECT_EQ(failing.Mode(), TWorkMode::ActiveSingle);

    TUhfPeer agreeing({TWorkMode::Passive, {Hex("01 02")}, 0x02});
    EXPECT_EQ(Answer(agreeing, "BB 00 C1 00 01 02 C4 7E"), "BB 01 C1 00 01 02 C5 7E");
    EXPECT_EQ(agreeing.Mode(), TWorkMode::ActiveMultiple);
}

TEST(SerialPeerReports, WhatEachModeSendsByItself) {
    const Bytes first = Hex("00 00 00 00 00 00 00 00 00 00 00 01");
    const Bytes second = Hex("30 39 60 62 C3 A5 00 00 00 00 12 34");

    TUhfPeer single({TWorkMode::ActiveSingle, {first, second}, std::nullopt});
    TFrameReader reader;
    const Bytes report = single.Report();
    reader.Feed(report.data(), report.size());
    auto frame = reader.Next();
    ASSERT_TRUE(frame);
    EXPECT_FALSE(reader.Next()) << "one tag in single mode";
    EXPECT_EQ(frame->type, kTypeReport);
    EXPECT_EQ(frame->command, kInventory);
    // RSSI, PC (length in words in the top bits), EPC, stored CRC over PC and EPC.
    ASSERT_EQ(frame->parameters.size(), first.size() + 5);
    EXPECT_EQ(frame->parameters[1], 0x30);
    EXPECT_EQ(frame->parameters[2], 0x00);
    EXPECT_EQ(Bytes(frame->parameters.begin() + 3, frame->parameters.end() - 2), first);
    Bytes pcAndEpc{0x30, 0x00};
    pcAndEpc.insert(pcAndEpc.end(), first.begin(), first.end());
    const std::uint16_t crc = EpcCrc(pcAndEpc);
    EXPECT_EQ(frame->parameters[15], crc >> 8);
    EXPECT_EQ(frame->parameters[16], crc & 0xFF);

    TUhfPeer multiple({TWorkMode::ActiveMultiple, {first, second}, std::nullopt});
    const Bytes both = multiple.Report();
    reader.Feed(both.data(), both.size());
    int frames = 0;
    while (reader.Next()) ++frames;
    EXPECT_EQ(frames, 2);

    for (TWorkMode quiet : {TWorkMode::Passive, TWorkMode::UsbHid}) {
        TUhfPeer peer({quiet, {first}, std::nullopt});
        EXPECT_TRUE(peer.Report().empty());
    }

    TUhfPeer memory({TWorkMode::ActiveSingle, {first}, std::nullopt});
    Answer(memory, "BB 00 C9 00 07 03 5E 21 9C 47 02 03 3A 7E");
    const Bytes words = memory.Report();
    reader.Feed(words.data(), words.size());
    frame = reader.Next();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->command, kReadData);
    EXPECT_EQ(frame->parameters, Hex("04 05 06 07 08 09")) << "three words from word address 2";
}

TEST(SerialPeerReports, EpcCrcIsTheTagsCrc16) {
    EXPECT_EQ(EpcCrc(Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0xD64E);
    EXPECT_EQ(EpcCrc(Bytes{}), 0x0000);
}

TEST(SerialPeerHex, ParsesPairsAndRefusesTheRest) {
    EXPECT_EQ(ParseHex("e2 00 1A"), (Bytes{0xE2, 0x00, 0x1A}));
    EXPECT_EQ(ParseHex("e2001a"), (Bytes{0xE2, 0x00, 0x1A}));
    EXPECT_FALSE(ParseHex("E2 0"));
    EXPECT_FALSE(ParseHex("GG"));
}

} // namespace
