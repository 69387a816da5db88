// The reader's reply: turning the bytes read into ReplyHex, reading its fields by position, the
// reason texts, and the standard reply report that every page handler writes into the log box.
//
// ReplyHex layout (characters counted from 1): 1-2 start, 3-4 address, 5-6 length, 7-8 status
// ("00" success, "01" failure), 9-10 the reason code or the first data byte, then the rest of the
// data; the last four characters are the check byte and "BB".
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

inline constexpr std::size_t SendBufferBytes = 255;    // the longest frame the transport writes
inline constexpr std::size_t ReceiveBufferBytes = 257; // zero-filled before every read
inline constexpr std::size_t ReadRequestBytes = 245;   // what the read asks for

// ReplyHex from the received bytes (pass the ReadRequestBytes the read asked for). Upper-case hex
// without blanks of the first (length byte + 5) bytes, cut at the end of `received`. A reply whose
// first byte is not 0xAA or whose length byte is 0 (for instance a read that left the zero-filled
// buffer) is no reply: the result is empty.
std::wstring ReplyHexFromBuffer(std::span<const std::uint8_t> received);

// ReplyHex from a read that reported `delivered` bytes (hidReadData's result): ReplyHexFromBuffer
// of those bytes, but a read that delivered fewer bytes than the reply's own length byte says (a
// truncated reply, also one whose length runs past what the read asks for) is no reply either.
std::wstring ReplyHexFromRead(std::span<const std::uint8_t> received, int delivered);

// Characters first .. first+count-1 (from 1) of a reply text; what is there of them when the text
// is shorter, so a short reply gives a short or empty field.
std::wstring ReplyField(std::wstring_view replyHex, std::size_t first, std::size_t count);

// The whole data field: from character 9, length (length of replyHex) - 12; empty when shorter.
std::wstring ReplyDataField(std::wstring_view replyHex);

// The operator's text for a reason code: whole-text, case-sensitive match against the reader's
// table ("83" -> "卡不存在...."); "00", "8a" and unknown codes give an empty text.
std::wstring falsereason(std::wstring_view code);

// Texts the pages share.
inline constexpr std::wstring_view NoDataText = L"Data error,no data recevice..   ";
inline constexpr std::wstring_view NoDataTextFullWidth = L"Data error，no data recevice..   ";
inline constexpr std::wstring_view NoDataReceiveText = L"error,no data  receive..   ";
inline constexpr std::wstring_view DataErrorText = L"data error,please check data..   ";
inline constexpr std::wstring_view CheckSumErrorText = L"check sum error.....   ";
inline constexpr std::wstring_view DeviceConnectionErrorText =
    L"data error,please check Device Connection...";
// A command refused because another one still waits for its reply.
inline constexpr std::wstring_view BusyText = L"Reader busy with another command: not sent   ";
inline constexpr std::wstring_view LineEnd = L"\r\n";

enum class ReplyKind {
    NoData,  // ReplyHex empty
    Success, // status "00"
    Failure, // status "01"
    Other,   // any other status
};

ReplyKind ClassifyReply(std::wstring_view replyHex) noexcept;

// How a success line ends: text + time stamp + "\r\n", text + time stamp, or the text alone.
enum class SuccessLineForm { TimeCrLf, Time, TextOnly };

// One line made of a reply field: prefix + ReplyField(first, count) + suffix.
struct ReplyDataLine {
    std::wstring_view prefix{};
    std::size_t first = 0;
    std::size_t count = 0;
    std::wstring_view suffix{};
};

// A handler's texts for the standard reply report. Texts are given without the time stamp, which
// the report adds. A handler whose success text carries a field composes it with ReplyField.
//
//   static constexpr core::ReplyReportRow SetUp{
//       .noData = core::NoDataTextFullWidth,
//       .success = L"Set Up Success   ",
//       .failure = L"Set up format false   "};
//   for (auto& line : core::StandardReplyReport(ReplyHex, stamp, SetUp).lines) log(line);
struct ReplyReportRow {
    std::wstring_view noData = NoDataText;
    std::wstring_view success{};
    SuccessLineForm successForm = SuccessLineForm::TimeCrLf;
    std::span<const ReplyDataLine> successData{}; // lines after the success line
    std::wstring_view failure{};
    std::wstring_view otherStatus = DataErrorText;
};

struct ReplyReport {
    ReplyKind kind = ReplyKind::NoData;
    std::vector<std::wstring> lines; // each one line added to the log box, in order
};

// The standard reply report:
//   no reply     noData + time + "\r\n"
//   status "00"  the success line (successForm), then the successData lines
//   status "01"  failure + time, then falsereason(characters 9-10) + "\r\n"
//   otherwise    otherStatus + time + "\r\n"
// A handler that prints more after a success (decoded fields) adds its lines when kind is Success.
ReplyReport StandardReplyReport(std::wstring_view replyHex, std::wstring_view timeStamp,
                                const ReplyReportRow& row);

} // namespace core
