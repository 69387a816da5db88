#include "console_core/uhf.h"

#include "console_core/hex_text.h"

#include <algorithm>

namespace core {

std::wstring SendUHFFrameText(std::wstring_view address, std::wstring_view moduleFrameText) {
    return SendFrameText(address, L"ce" + HexFilter(moduleFrameText));
}

std::int32_t adddate(std::wstring_view text) {
    // Unsigned so that a huge text wraps instead of overflowing; callers keep the low byte.
    std::uint32_t sum = 0;
    for (std::uint8_t byte : FrameTextToBytes(text)) sum += byte;
    return static_cast<std::int32_t>(sum);
}

std::wstring ModuleChecksumText(std::wstring_view text) {
    return HexByteText(static_cast<std::uint32_t>(adddate(text)) & 0xFF);
}

std::wstring cdate(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size() / 2 * 3);
    for (std::size_t i = 1; i <= text.size() / 2; ++i) {
        out += text.substr(text.size() - 2 * i, 2);
        out += L' ';
    }
    return out;
}

std::vector<std::uint8_t> HexToBytes(std::wstring_view text) {
    std::wstring digits;
    digits.reserve(text.size() + 1);
    for (wchar_t c : text)
        if (c != L' ') digits += c;
    if (digits.size() % 2 != 0) digits += L' ';
    std::vector<std::uint8_t> bytes;
    bytes.reserve(digits.size() / 2);
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(HexPairValue(std::wstring_view(digits).substr(i, 2))));
    return bytes;
}

std::wstring BytesToHex(std::span<const std::uint8_t> bytes) {
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

void ReverseBytes(std::span<std::uint8_t> bytes) {
    std::reverse(bytes.begin(), bytes.end());
}

std::wstring AddHexNumbers(std::wstring_view a, std::wstring_view b, bool reverse) {
    std::wstring left(a);
    std::wstring right(b);
    if (left.size() < right.size()) left.insert(0, right.size() - left.size(), L'0');
    if (right.size() < left.size()) right.insert(0, left.size() - right.size(), L'0');

    std::vector<std::uint8_t> x = HexToBytes(left);
    std::vector<std::uint8_t> y = HexToBytes(right);
    // Blanks are not digits, so two texts aligned by characters can still differ in bytes; the
    // shorter one then ends in zero bytes, as it would in a zeroed work area.
    const std::size_t n = std::max(x.size(), y.size());
    x.resize(n, 0);
    y.resize(n, 0);

    // Both least significant byte first from here on.
    if (!reverse) ReverseBytes(x);
    ReverseBytes(y);

    std::vector<std::uint8_t> sum;
    sum.reserve(n + 1);
    unsigned carry = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned s = x[i] + y[i] + carry;
        sum.push_back(static_cast<std::uint8_t>(s & 0xFF));
        carry = s >> 8;
    }
    if (carry != 0) sum.push_back(static_cast<std::uint8_t>(carry));

    if (!reverse) ReverseBytes(sum);
    return BytesToHex(sum);
}

namespace {

// An inventory reply with a tag: RSSI, PC, EPC and the stored CRC after the length field.
constexpr std::size_t InventoryFixedParams = 5;
constexpr std::wstring_view InventoryReplyCommand = L"22";

} // namespace

std::optional<InventoryTag> TagOfInventoryReply(std::wstring_view reply) {
    constexpr std::size_t paramsAt = 10; // after header, type, command and the length field
    if (reply.size() < paramsAt + 2 * InventoryFixedParams + 4) return std::nullopt;
    if (reply.substr(4, 2) != InventoryReplyCommand) return std::nullopt;
    const std::size_t paramLength = HexPairValue(reply.substr(6, 4));
    if (paramLength < InventoryFixedParams || reply.size() < paramsAt + 2 * paramLength + 4)
        return std::nullopt;
    const std::size_t epcChars = 2 * (paramLength - InventoryFixedParams);
    constexpr std::size_t epcAt = paramsAt + 6; // after RSSI and PC
    return InventoryTag{std::wstring(reply.substr(epcAt, epcChars)),
                        std::wstring(reply.substr(epcAt + epcChars, 4))};
}

} // namespace core
