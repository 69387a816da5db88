#include "console_core/reply.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace core;

namespace {

// The part of the zero-filled receive buffer that the read asked for, with `reply` at its start.
std::vector<std::uint8_t> Received(std::initializer_list<std::uint8_t> reply) {
    std::vector<std::uint8_t> buffer(ReceiveBufferBytes, 0);
    std::copy(reply.begin(), reply.end(), buffer.begin());
    buffer.resize(ReadRequestBytes);
    return buffer;
}

} // namespace

TEST(ReplyHexFromBuffer, TakesLengthPlusFiveBytes) {
    EXPECT_EQ(ReplyHexFromBuffer(Received({0xAA, 0x00, 0x01, 0x00, 0x01, 0xBB})), L"AA00010001BB");
    EXPECT_EQ(ReplyHexFromBuffer(Received({0xAA, 0x00, 0x02, 0x01, 0x83, 0x80, 0xBB})), L"AA0002018380BB");
    // Lower-case never appears, and bytes after the reply are not taken.
    EXPECT_EQ(ReplyHexFromBuffer(Received({0xAA, 0x0A, 0x02, 0x00, 0xfe, 0xf6, 0xBB, 0x55, 0x66})),
              L"AA0A0200FEF6BB");
    // The length byte rules, not what the read delivered: 0x10 gives 21 bytes, zeros included.
    EXPECT_EQ(ReplyHexFromBuffer(Received({0xAA, 0x00, 0x10, 0x00})),
              L"AA001000" + std::wstring(17 * 2, L'0'));
}

TEST(ReplyHexFromBuffer, NoReplyWhenNothingCame) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> received;
    };
    const Case cases[] = {
        {"zero-filled buffer", Received({})},
        {"start byte not AA", Received({0x55, 0x00, 0x01, 0x00, 0x01, 0xBB})},
        {"length byte 0", Received({0xAA, 0x00, 0x00, 0x00, 0xBB})},
        {"too short for a length byte", {0xAA, 0x00}},
        {"nothing", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplyHexFromBuffer(c.received), L"") << c.what;
}

TEST(ReplyHexFromBuffer, CutAtTheBytesRead) {
    struct Case {
        std::uint8_t length;
        std::size_t bytes;
    };
    const Case cases[] = {{0xEF, 244}, {0xF0, 245}, {0xF1, 245}, {0xFF, 245}};
    for (const Case& c : cases) {
        const std::wstring text = ReplyHexFromBuffer(Received({0xAA, 0x00, c.length, 0x00}));
        EXPECT_EQ(text.size(), c.bytes * 2) << "length byte " << int(c.length);
    }
    // A shorter read is a shorter limit.
    const std::array<std::uint8_t, 6> shortRead{0xAA, 0x00, 0x10, 0x00, 0x01, 0x02};
    EXPECT_EQ(ReplyHexFromBuffer(shortRead), L"AA0010000102");
}

TEST(ReplyHexFromRead, AReadShorterThanItsLengthByteIsNoReply) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> received;
        int delivered; // what hidReadData answered
        std::wstring replyHex;
    };
    const Case cases[] = {
        {"the whole reply", Received({0xAA, 0x00, 0x01, 0x00, 0x01, 0xBB}), 6, L"AA00010001BB"},
        {"more than the reply", Received({0xAA, 0x00, 0x01, 0x00, 0x01, 0xBB, 0x55}), 245, L"AA00010001BB"},
        {"three bytes of ten", Received({0xAA, 0x00, 0x05}), 3, L""},
        {"one byte short", Received({0xAA, 0x00, 0x02, 0x01, 0x83, 0x80, 0xBB}), 6, L""},
        {"nothing, though the buffer holds a reply", Received({0xAA, 0x00, 0x01, 0x00, 0x01, 0xBB}), 0, L""},
        {"an error count", Received({0xAA, 0x00, 0x01, 0x00, 0x01, 0xBB}), -1, L""},
        {"a length past what the read asks for", Received({0xAA, 0x00, 0xF1, 0x00}), 245, L""},
        {"a count past the buffer", Received({0xAA, 0x00, 0x01, 0x00, 0x01, 0xBB}), 1000, L"AA00010001BB"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplyHexFromRead(c.received, c.delivered), c.replyHex) << c.what;
    // The longest reply the read can hold.
    EXPECT_EQ(ReplyHexFromRead(Received({0xAA, 0x00, 0xF0, 0x00}), 245).size(), 245u * 2);
}

TEST(ReplyFields, ReadByPositionAndClipped) {
    const std::wstring reply = L"AA00010001BB";
    EXPECT_EQ(ReplyField(reply, 7, 2), L"00");
    EXPECT_EQ(ReplyField(reply, 11, 4), L"BB");
    EXPECT_EQ(ReplyField(reply, 13, 2), L"");
    EXPECT_EQ(ReplyField(reply, 0, 2), L"");
    EXPECT_EQ(ReplyField(L"", 9, 2), L"");

    EXPECT_EQ(ReplyDataField(L"AA00050056312E307CBB"), L"56312E30");
    EXPECT_EQ(ReplyDataField(L"AA0002018380BB"), L"83");
    EXPECT_EQ(ReplyDataField(reply), L"");
    EXPECT_EQ(ReplyDataField(L"AA00"), L"");
}

TEST(Falsereason, TheReadersTable) {
    struct Case {
        const wchar_t* code;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"00", L""},
        {L"01", L"命令操作失败....."},
        {L"02", L"数据丢包....."},
        {L"03", L"没有选择准确的COM口....."},
        {L"04", L"和卡通讯超时....."},
        {L"05", L"XOR校验出错....."},
        {L"07", L"Xor校验出错....."},
        {L"10", L"输入的参数大于最大允许范围，溢出....."},
        {L"80", L"命令创作成功....."},
        {L"81", L"参数设置失败...."},
        {L"82", L"通讯超时 ...."},
        {L"83", L"卡不存在...."},
        {L"84", L"接收卡数据出错...."},
        {L"85", L"输入参数或者输入命令格式错误...."},
        {L"87", L"未知的错误...."},
        {L"89", L"The parameter of the command or the Format of the command Erro..."},
        {L"8A", L"在块初始化中出现错误..."},
        {L"8B", L"在防冲突过程中得到错误的序列号...."},
        {L"8C", L"密码认证没通过...."},
        {L"8F", L"读写设备接收到了未定义的命令....."},
        {L"90", L"卡不支持这个命令...."},
        {L"91", L"命令格式有错误...."},
        {L"92", L"在命令的FLAG参数中，不支持OPTION 模式...."},
        {L"93", L"要操作的BLOCK不存在...."},
        {L"94", L"要操作的对象已经别锁定，不能进行修改...."},
        {L"95", L"锁定操作不成功...."},
        {L"96", L"写操作不成功...."},
        // Not in the table, or not the exact text.
        {L"06", L""},
        {L"8a", L""},
        {L"8f", L""},
        {L"", L""},
        {L"8", L""},
        {L"083", L""},
        {L"83 ", L""},
        {L"FF", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(falsereason(c.code), c.text) << testing::PrintToString(std::wstring(c.code));
}

TEST(ClassifyReply, ByStatusCharacters) {
    EXPECT_EQ(ClassifyReply(L""), ReplyKind::NoData);
    EXPECT_EQ(ClassifyReply(L"AA00010001BB"), ReplyKind::Success);
    EXPECT_EQ(ClassifyReply(L"AA0002018380BB"), ReplyKind::Failure);
    EXPECT_EQ(ClassifyReply(L"AA00010203BB"), ReplyKind::Other);
    EXPECT_EQ(ClassifyReply(L"AA0001"), ReplyKind::Other);
}

namespace {

const std::wstring T = L"03:04:05 PM";

constexpr ReplyReportRow SetUpRow{
    .noData = NoDataTextFullWidth, .success = L"Set Up Success   ", .failure = L"Set up format false   "};

constexpr ReplyDataLine SerialNumberLines[] = {
    {.prefix = L"地址为：", .first = 9, .count = 2},
    {.prefix = L"序列号为：", .first = 11, .count = 16, .suffix = LineEnd},
};
constexpr ReplyReportRow ReadSerialNumber{.noData = L"通讯错误，没有接收到数据..   ",
                                          .success = L"读序列号成功   ",
                                          .successForm = SuccessLineForm::Time,
                                          .successData = SerialNumberLines,
                                          .failure = L"读序列号失败   ",
                                          .otherStatus = L"数据丢包，流水校验出错   "};

constexpr ReplyReportRow Version{.success = L"read version number success ",
                                 .successForm = SuccessLineForm::TextOnly,
                                 .failure = L"read version number false    "};

constexpr ReplyReportRow SetMode{.noData = NoDataReceiveText,
                                 .success = L"Set  Passive reader mode Success    ",
                                 .successForm = SuccessLineForm::Time,
                                 .failure = L"Set Passive reader modeFalse   ",
                                 .otherStatus = CheckSumErrorText};

} // namespace

TEST(StandardReplyReport, LinesForEachOutcome) {
    struct Case {
        const char* what;
        const ReplyReportRow* row;
        std::wstring reply;
        ReplyKind kind;
        std::vector<std::wstring> lines;
    };
    const std::wstring serialReply = L"AA000A00051122334455667788"
                                     L"87BB";
    const Case cases[] = {
        {"no data", &SetUpRow, L"", ReplyKind::NoData, {L"Data error，no data recevice..   " + T + L"\r\n"}},
        {"success", &SetUpRow, L"AA00010001BB", ReplyKind::Success, {L"Set Up Success   " + T + L"\r\n"}},
        {"failure",
         &SetUpRow,
         L"AA0002018380BB",
         ReplyKind::Failure,
         {L"Set up format false   " + T, L"卡不存在....\r\n"}},
        {"failure, unknown reason",
         &SetUpRow,
         L"AA0002010680BB",
         ReplyKind::Failure,
         {L"Set up format false   " + T, L"\r\n"}},
        {"failure without a reason byte",
         &SetUpRow,
         L"AA000101BB",
         ReplyKind::Failure,
         {L"Set up format false   " + T, L"\r\n"}},
        {"other status",
         &SetUpRow,
         L"AA00010203BB",
         ReplyKind::Other,
         {L"data error,please check data..   " + T + L"\r\n"}},
        {"success with data lines",
         &ReadSerialNumber,
         serialReply,
         ReplyKind::Success,
         {L"读序列号成功   " + T, L"地址为：05", L"序列号为：1122334455667788\r\n"}},
        {"data lines of a short reply",
         &ReadSerialNumber,
         L"AA00010001BB",
         ReplyKind::Success,
         {L"读序列号成功   " + T, L"地址为：01", L"序列号为：BB\r\n"}},
        {"own no-data text",
         &ReadSerialNumber,
         L"",
         ReplyKind::NoData,
         {L"通讯错误，没有接收到数据..   " + T + L"\r\n"}},
        {"own other-status text",
         &ReadSerialNumber,
         L"AA00017701BB",
         ReplyKind::Other,
         {L"数据丢包，流水校验出错   " + T + L"\r\n"}},
        {"success without time stamp",
         &Version,
         L"AA00050056312E307CBB",
         ReplyKind::Success,
         {L"read version number success "}},
        {"default no-data text",
         &Version,
         L"",
         ReplyKind::NoData,
         {L"Data error,no data recevice..   " + T + L"\r\n"}},
        {"UHF page texts, no data",
         &SetMode,
         L"",
         ReplyKind::NoData,
         {L"error,no data  receive..   " + T + L"\r\n"}},
        {"UHF page texts, other",
         &SetMode,
         L"AA000180BB",
         ReplyKind::Other,
         {L"check sum error.....   " + T + L"\r\n"}},
        {"UHF page texts, success",
         &SetMode,
         L"AA00010001BB",
         ReplyKind::Success,
         {L"Set  Passive reader mode Success    " + T}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReplyReport report = StandardReplyReport(c.reply, T, *c.row);
        EXPECT_EQ(report.kind, c.kind);
        EXPECT_EQ(report.lines, c.lines);
    }
}
