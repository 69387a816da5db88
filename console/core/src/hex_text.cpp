#include "console_core/hex_text.h"

#include <algorithm>

namespace core {
namespace {

std::string Utf8(std::wstring_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
                const std::uint32_t low = static_cast<std::uint32_t>(text[i + 1]);
                if (low >= 0xDC00 && low < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring ConvertErrorText(std::wstring_view digits) {
    std::wstring text = L"'$";
    text += digits;
    text += L"' is not a valid integer value";
    return text;
}

unsigned DigitValue(wchar_t c) noexcept {
    if (c >= L'0' && c <= L'9') return static_cast<unsigned>(c - L'0');
    if (c >= L'a' && c <= L'f') return static_cast<unsigned>(c - L'a' + 10);
    return static_cast<unsigned>(c - L'A' + 10);
}

} // namespace

HexConvertError::HexConvertError(std::wstring_view digits)
    : std::invalid_argument(Utf8(ConvertErrorText(digits))), text_(ConvertErrorText(digits)) {}

bool IsHexDigit(wchar_t c) noexcept {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

std::wstring HexFilter(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (IsHexDigit(c)) out += c;
    return out;
}

std::wstring checkdata(std::wstring_view text) {
    std::wstring out = HexFilter(text);
    out.resize(out.size() / 2 * 2);
    return out;
}

std::wstring HexByteText(std::uint32_t value) {
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    do {
        out.insert(out.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (out.size() < 2) out.insert(out.begin(), L'0');
    return out;
}

std::uint32_t HexPairValue(std::wstring_view digits) {
    if (digits.empty() || digits.size() > 8 || !std::all_of(digits.begin(), digits.end(), IsHexDigit))
        throw HexConvertError(digits);
    std::uint32_t value = 0;
    for (wchar_t c : digits) value = value << 4 | DigitValue(c);
    return value;
}

std::vector<std::uint8_t> FrameTextToBytes(std::wstring_view frameText) {
    const std::wstring digits = checkdata(frameText);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(digits.size() / 2);
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(DigitValue(digits[i]) << 4 | DigitValue(digits[i + 1])));
    return bytes;
}

std::wstring SendFrameText(std::wstring_view address, std::wstring_view commandText) {
    const std::wstring payload = HexFilter(commandText);
    std::wstring body(address);
    body += HexByteText(static_cast<std::uint32_t>(payload.size() / 2));
    body += payload;
    std::uint32_t check = 0;
    for (std::size_t i = 0; i + 1 < body.size(); i += 2)
        check ^= HexPairValue(std::wstring_view(body).substr(i, 2));
    return L"AA" + body + HexByteText(check) + L"BB";
}

std::string GetchrBytes(std::wstring_view hex) {
    std::string bytes;
    const std::size_t whole = hex.size() / 4 * 4;
    bytes.reserve(whole / 2);
    for (std::size_t i = 0; i < whole; i += 2) bytes += static_cast<char>(HexPairValue(hex.substr(i, 2)));
    return bytes;
}

std::optional<std::wstring> Getchr(std::wstring_view hex, const ByteTextDecoder& decode) {
    std::string bytes;
    try {
        bytes = GetchrBytes(hex);
    } catch (const HexConvertError&) {
        return std::nullopt;
    }
    if (bytes.empty()) return std::wstring();
    return decode(bytes);
}

std::wstring cwdate(std::wstring_view text) {
    return std::wstring(text.rbegin(), text.rend());
}

} // namespace core
