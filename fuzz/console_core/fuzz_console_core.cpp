// Fuzzes reply parsing, the standard reply report, the pages' reply decoding, the frame texts and
// the hex arithmetic. Input: one selector byte, then bytes used as a received buffer or as texts.
#include "console_core/hex_text.h"
#include "console_core/iso15693.h"
#include "console_core/reply.h"
#include "console_core/uhf.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool UpperHex(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'); });
}

// What the pages read out of a reply: fields by position, the UHF module's inventory reply inside
// the data field and the ISO15693 inventory records.
void DecodePages(std::wstring_view reply, std::wstring_view dataField) {
    for (std::size_t first : {1u, 5u, 9u, 11u, 300u})
        for (std::size_t count : {0u, 2u, 8u, 1000u}) {
            const std::wstring field = core::ReplyField(reply, first, count);
            Check(field.size() <= count && (field.empty() || reply.substr(first - 1, field.size()) == field));
        }
    try {
        if (const auto tag = core::TagOfInventoryReply(dataField)) {
            Check(tag->storedCrc.size() <= 4);
            Check(dataField.find(tag->epc + tag->storedCrc) != std::wstring_view::npos);
        }
    } catch (const core::HexConvertError&) {
    }
    const std::wstring records = core::ReplyField(reply, 11, reply.size());
    for (const std::wstring& uid : core::InventoryUids(records)) Check(uid.size() == 16);
}

void FuzzReply(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> received(data, std::min(size, core::ReadRequestBytes));
    const std::wstring reply = core::ReplyHexFromBuffer(received);
    Check(UpperHex(reply) && reply.size() % 2 == 0 && reply.size() <= received.size() * 2);
    if (!reply.empty()) {
        Check(reply.substr(0, 2) == L"AA");
        Check(reply.size() == std::min<std::size_t>(received[2] + 5u, received.size()) * 2);
    }
    static constexpr core::ReplyDataLine lines[] = {{L"a", 9, 2, L""}, {L"b", 11, 400, L"\r\n"}};
    static constexpr core::ReplyReportRow row{.success = L"s", .successData = lines, .failure = L"f"};
    const core::ReplyReport report = core::StandardReplyReport(reply, L"t", row);
    Check(!report.lines.empty());
    const std::wstring dataField = core::ReplyDataField(reply);
    Check(dataField.size() == (reply.size() >= 12 ? reply.size() - 12 : 0));
    DecodePages(reply, dataField);
}

// Hex digits that the fuzzer can steer, plus a few characters that are not.
std::wstring Text(const std::uint8_t* data, std::size_t size) {
    static constexpr wchar_t alphabet[] = L"0123456789ABCDEFabcdef 0F0F0F0FG-";
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i)
        text += alphabet[data[i] % (sizeof(alphabet) / sizeof(wchar_t) - 1)];
    return text;
}

// Most significant digit first, a plain digit-wise sum for comparison.
std::wstring ReferenceSum(std::wstring a, std::wstring b) {
    const std::size_t n = std::max(a.size(), b.size());
    a.insert(0, n - a.size(), L'0');
    b.insert(0, n - b.size(), L'0');
    std::wstring sum(n, L'0');
    unsigned carry = 0;
    for (std::size_t i = n; i-- > 0;) {
        const unsigned s = core::HexPairValue(a.substr(i, 1)) + core::HexPairValue(b.substr(i, 1)) + carry;
        sum[i] = L"0123456789ABCDEF"[s & 0xF];
        carry = s >> 4;
    }
    if (carry) sum.insert(0, L"01");
    return sum;
}

std::wstring ReversePairs(std::wstring_view hex) {
    std::wstring out;
    for (std::size_t i = hex.size(); i >= 2; i -= 2) out += hex.substr(i - 2, 2);
    return out;
}

// The frame texts: digits kept, reversed, checksummed and turned into bytes and back.
void FuzzTexts(const std::wstring& a, const std::wstring& b) {
    const std::wstring kept = core::checkdata(a);
    Check(kept.size() % 2 == 0 && kept.size() <= a.size() && kept.find(L' ') == std::wstring::npos);
    const std::wstring reversed = core::cwdate(b);
    Check(reversed.size() == b.size() && core::cwdate(reversed) == b);
    const std::wstring checksum = core::ModuleChecksumText(a);
    Check(checksum.size() == 2 && UpperHex(checksum));
    try {
        std::vector<std::uint8_t> bytes = core::HexToBytes(a);
        const std::wstring hex = core::BytesToHex(bytes);
        Check(hex.size() == 2 * bytes.size());
        core::ReverseBytes(bytes);
        core::ReverseBytes(bytes);
        Check(core::BytesToHex(bytes) == hex);
    } catch (const core::HexConvertError&) {
    }
    DecodePages(a, b);
}

void FuzzArithmetic(const std::uint8_t* data, std::size_t size) {
    const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
    const std::wstring a = Text(data, split);
    const std::wstring b = Text(data + split, size - split);
    for (bool reverse : {false, true}) {
        try {
            const std::wstring sum = core::AddHexNumbers(a, b, reverse);
            Check(UpperHex(sum) && sum.size() % 2 == 0);
            const bool plainDigits = a.find_first_of(L" G-") == std::wstring::npos &&
                                     b.find_first_of(L" G-") == std::wstring::npos;
            if (plainDigits && !reverse) Check(sum == ReferenceSum(core::HexFilter(a), core::HexFilter(b)));
            if (plainDigits && reverse && a.size() == b.size())
                Check(sum == ReversePairs(core::AddHexNumbers(ReversePairs(a), b, false)));
        } catch (const core::HexConvertError&) {
        }
    }
    (void)core::adddate(a);
    (void)core::cdate(a);
    const std::wstring frame = core::SendUHFFrameText(L"00", a);
    Check(frame == core::SendFrameText(L"00", L"ce" + a));
    (void)core::FrameTextToBytes(frame);
    (void)core::Getchr(b, [](std::string_view bytes) {
        return std::optional<std::wstring>(std::wstring(bytes.begin(), bytes.end()));
    });
    FuzzTexts(a, b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] & 1)
        FuzzReply(data + 1, size - 1);
    else
        FuzzArithmetic(data + 1, size - 1);
    return 0;
}
