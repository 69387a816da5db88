#include <gtest/gtest.h>

#include <random>

#include "archive_fixtures.h"
#include "skin_archive/WinConvert.h"

namespace {

// Decodes a stored stream (size prefix and bit stream) through the stream callbacks.
Bytes Decode(const Bytes& stored, int count) {
    TByteStream input(stored);
    input.SetPosition(4);
    TByteStream output;
    TLZH lzh;
    lzh.InputStream = &input;
    lzh.OutputStream = &output;
    lzh.DecodeStreams(count);
    return Bytes(output.Bytes().begin(), output.Bytes().end());
}

Bytes RoundTrip(const Bytes& data) {
    const Bytes stream = LzhEncode(data);
    return Decode(WithSize(static_cast<std::int64_t>(data.size()), stream), static_cast<int>(data.size()));
}

// Codes of the initial tree, worked out by walking the parent links from each leaf up:
// symbols 0-115 sit one level deeper (9 bits) than the rest (8 bits).
const std::string CodeOf0 = "110001100";
const std::string CodeOf65 = "111001101"; // 'A'
const std::string CodeOf256 = "10001100"; // the shortest match, 3 bytes
const std::string CodeOf313 = "11000101"; // the longest match, 60 bytes
// After the first 'A' its count of 2 moves it to node 313, so it takes over that code.
const std::string CodeOf65AfterOne = CodeOf313;

struct THandCase {
    const char* what;
    std::string bits;
    std::string text;
};

class HandCodes : public testing::TestWithParam<THandCase> {};

TEST_P(HandCodes, DecoderReadsThemAndEncoderWritesThem) {
    const auto& c = GetParam();
    const Bytes stream = BitsToBytes(c.bits);
    EXPECT_EQ(Decode(WithSize(0, stream), static_cast<int>(c.text.size())), ToBytes(c.text)) << c.what;
    EXPECT_EQ(LzhEncode(ToBytes(c.text)), stream) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    InitialTree, HandCodes,
    testing::Values(THandCase{"one literal", CodeOf65, "A"},
                    THandCase{"a literal after its first update", CodeOf65 + CodeOf65AfterOne, "AA"},
                    THandCase{"symbol 0", CodeOf0, std::string(1, '\0')},
                    // A first match can only copy the blank prefill.
                    THandCase{"match into the prefill", CodeOf256 + "000 000000" + CodeOf65, "   A"}));

struct TPositionCase {
    int position;
    std::string bits; // prefix code of the upper 6 bits, then the low 6 bits
};

class PositionCodes : public testing::TestWithParam<TPositionCase> {};

// A match into the blanks reads the same whatever its position, so only a following literal
// shows whether the decoder took the position code's length right. (Positions above 4035
// would reach the window's part that the prefill leaves unset.)
TEST_P(PositionCodes, LengthOfEachGroupIsRead) {
    const auto& c = GetParam();
    const Bytes stream = BitsToBytes(CodeOf256 + c.bits + CodeOf65);
    EXPECT_EQ(Decode(WithSize(0, stream), 4), ToBytes("   A")) << c.position;
}

INSTANTIATE_TEST_SUITE_P(Groups, PositionCodes,
                         testing::Values(TPositionCase{0, "000 000000"}, TPositionCase{63, "000 111111"},
                                         TPositionCase{64, "0010 000000"}, TPositionCase{200, "0100 001000"},
                                         TPositionCase{4 * 64 + 7, "01010 000111"},
                                         TPositionCase{12 * 64 + 5, "100100 000101"},
                                         TPositionCase{24 * 64, "1100000 000000"},
                                         TPositionCase{48 * 64 + 1, "11110000 000001"},
                                         TPositionCase{63 * 64, "11111111 000000"}));

TEST(LzhTables, PositionTablesHaveTheirRuns) {
    // Spot values at the edges of each run.
    const std::pair<int, int> codes[] = {{0, 0},    {31, 0},   {32, 1},   {79, 3},   {80, 4},   {143, 11},
                                         {144, 12}, {191, 23}, {192, 24}, {239, 47}, {240, 48}, {255, 63}};
    for (auto [index, upper] : codes) EXPECT_EQ(Lzh::d_code[index], upper) << index;
    const std::pair<int, int> lengths[] = {{0, 3},   {31, 3},  {32, 4},  {79, 4},  {80, 5},  {143, 5},
                                           {144, 6}, {191, 6}, {192, 7}, {239, 7}, {240, 8}, {255, 8}};
    for (auto [index, length] : lengths) EXPECT_EQ(Lzh::d_len[index], length) << index;
}

Bytes RandomBytes(std::size_t size, unsigned seed, int alphabet = 256) {
    std::mt19937 random(seed);
    Bytes data(size);
    for (auto& b : data) b = static_cast<std::uint8_t>(random() % alphabet);
    return data;
}

Bytes SkinLikeText(std::size_t size) {
    std::string text;
    for (int i = 0; text.size() < size; ++i)
        text += "[Button" + std::to_string(i % 37) + "]\r\nBitmap=button" + std::to_string(i % 11) +
                ".bmp\r\nFrameCount=" + std::to_string(i % 5 + 1) + "\r\nTrans=1\r\n\r\n";
    text.resize(size);
    return ToBytes(text);
}

struct TRoundTripCase {
    const char* what;
    Bytes data;
};

class RoundTrips : public testing::TestWithParam<TRoundTripCase> {};

TEST_P(RoundTrips, DecodeGivesBackTheInput) {
    const auto& c = GetParam();
    EXPECT_EQ(RoundTrip(c.data), c.data) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RoundTrips,
    testing::Values(TRoundTripCase{"empty", {}}, TRoundTripCase{"one byte", {0x7F}},
                    TRoundTripCase{"blanks only", Bytes(5000, ' ')},
                    TRoundTripCase{"text", SkinLikeText(20000)},
                    // Mostly literals: one symbol per byte, so the tree is rebuilt about six times.
                    TRoundTripCase{"random", RandomBytes(200000, 1)},
                    TRoundTripCase{"few symbols", RandomBytes(150000, 2, 3)},
                    // Longest matches at the window's far end: the data repeats after 4096 bytes.
                    TRoundTripCase{"period of the window",
                                   [] {
                                       Bytes block = RandomBytes(4096, 3);
                                       Bytes data;
                                       for (int i = 0; i < 8; ++i)
                                           data.insert(data.end(), block.begin(), block.end());
                                       return data;
                                   }()},
                    TRoundTripCase{"long text", SkinLikeText(1500000)}));

TEST(LzhEncoder, OutputIsTheSameOnEveryRun) {
    const Bytes data = SkinLikeText(50000);
    EXPECT_EQ(LzhEncode(data), LzhEncode(data));
}

TEST(LzhDecode, CountZeroReadsAndWritesNothing) {
    int reads = 0, writes = 0;
    TLZH lzh;
    lzh.Decode(
        0, [&](const std::uint8_t*, int, int& done) { ++writes, done = 0; },
        [&](std::uint8_t*, int, int& done) { ++reads, done = 0; });
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(writes, 0);
}

TEST(LzhDecode, FinalMatchIsWrittenWhole) {
    EXPECT_EQ(Decode(WithSize(0, BitsToBytes(CodeOf313 + "000 000000")), 1), Bytes(60, ' '));
}

TEST(LzhDecode, InputMissingItsLastByteReadsOnAsZeroBits) {
    const Bytes data = SkinLikeText(3000);
    Bytes stored = WithSize(0, LzhEncode(data));
    stored.pop_back();
    EXPECT_EQ(Decode(stored, static_cast<int>(data.size())).size(), data.size());
}

TEST(LzhDecode, InputEndingFarTooEarlyRaises) {
    const Bytes data = SkinLikeText(100000);
    Bytes stored = WithSize(0, LzhEncode(data));
    stored.resize(stored.size() / 2);
    EXPECT_THROW(Decode(stored, static_cast<int>(data.size())), ElzhException);
}

TEST(LzhDecode, DeclaredSizeFarAboveTheInputStopsSoon) {
    const Bytes stored = WithSize(0, LzhEncode(ToBytes("hello")));
    TByteStream input(stored);
    input.SetPosition(4);
    TByteStream output;
    TLZH lzh;
    lzh.InputStream = &input;
    lzh.OutputStream = &output;
    try {
        lzh.DecodeStreams(0x7FFFFFFF);
        FAIL() << "no exception";
    } catch (const ElzhException& e) {
        EXPECT_STREQ(e.what(), "LZH : Compressed data ends early");
    }
    EXPECT_LT(output.Size(), 4096);
}

TEST(LzhDecode, EmptyInputWithACountRaises) {
    EXPECT_THROW(Decode(WithSize(0, {}), 100000), ElzhException);
}

TEST(LzhDecode, ReadInputClampsToTheStream) {
    TByteStream input(ToBytes("abc"));
    input.SetPosition(1);
    TLZH lzh;
    lzh.InputStream = &input;
    std::uint8_t buffer[8] = {};
    int done = -1;
    lzh.ReadInput(buffer, 8, done);
    EXPECT_EQ(done, 2);
    lzh.ReadInput(buffer, 8, done);
    EXPECT_EQ(done, 0);
}

} // namespace
