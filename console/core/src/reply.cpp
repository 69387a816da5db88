#include "console_core/reply.h"

#include "console_core/hex_text.h"

#include <algorithm>
#include <array>

namespace core {
namespace {

struct ReasonText {
    std::wstring_view code;
    std::wstring_view text;
};

constexpr std::array<ReasonText, 27> ReasonTexts{{
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
}};

constexpr std::size_t ReplyFrameOverhead = 5; // start, address, length, check, end

} // namespace

std::wstring ReplyHexFromBuffer(std::span<const std::uint8_t> received) {
    if (received.size() < 3 || received[0] != 0xAA || received[2] == 0) return {};
    const std::size_t length = std::min<std::size_t>(received[2] + ReplyFrameOverhead, received.size());
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(length * 2);
    for (std::uint8_t byte : received.first(length)) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

std::wstring ReplyHexFromRead(std::span<const std::uint8_t> received, int delivered) {
    if (delivered <= 0) return {};
    const auto bytes = received.first(std::min(static_cast<std::size_t>(delivered), received.size()));
    std::wstring text = ReplyHexFromBuffer(bytes);
    if (text.empty() || text.size() < (std::size_t{bytes[2]} + ReplyFrameOverhead) * 2) return {};
    return text;
}

std::wstring ReplyField(std::wstring_view replyHex, std::size_t first, std::size_t count) {
    if (first == 0 || first > replyHex.size()) return {};
    return std::wstring(replyHex.substr(first - 1, count));
}

std::wstring ReplyDataField(std::wstring_view replyHex) {
    if (replyHex.size() <= 12) return {};
    return std::wstring(replyHex.substr(8, replyHex.size() - 12));
}

std::wstring falsereason(std::wstring_view code) {
    for (const ReasonText& entry : ReasonTexts)
        if (entry.code == code) return std::wstring(entry.text);
    return {};
}

ReplyKind ClassifyReply(std::wstring_view replyHex) noexcept {
    if (replyHex.empty()) return ReplyKind::NoData;
    const std::wstring_view status = replyHex.size() >= 8 ? replyHex.substr(6, 2) : std::wstring_view();
    if (status == L"00") return ReplyKind::Success;
    if (status == L"01") return ReplyKind::Failure;
    return ReplyKind::Other;
}

ReplyReport StandardReplyReport(std::wstring_view replyHex, std::wstring_view timeStamp,
                                const ReplyReportRow& row) {
    ReplyReport report;
    report.kind = ClassifyReply(replyHex);
    auto line = [&](std::wstring_view text, bool stamp, bool lineEnd) {
        std::wstring out(text);
        if (stamp) out += timeStamp;
        if (lineEnd) out += LineEnd;
        report.lines.push_back(std::move(out));
    };
    switch (report.kind) {
    case ReplyKind::NoData:
        line(row.noData, true, true);
        break;
    case ReplyKind::Success:
        line(row.success, row.successForm != SuccessLineForm::TextOnly,
             row.successForm == SuccessLineForm::TimeCrLf);
        for (const ReplyDataLine& data : row.successData) {
            std::wstring out(data.prefix);
            out += ReplyField(replyHex, data.first, data.count);
            out += data.suffix;
            report.lines.push_back(std::move(out));
        }
        break;
    case ReplyKind::Failure:
        line(row.failure, true, false);
        line(falsereason(ReplyField(replyHex, 9, 2)), false, true);
        break;
    case ReplyKind::Other:
        line(row.otherStatus, true, true);
        break;
    }
    return report;
}

} // namespace core
