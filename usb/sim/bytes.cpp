#include "sim/bytes.h"

namespace usbsim {

std::string ToHex(ByteView bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 0x0F]);
    }
    return text;
}

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<Bytes> ParseHex(std::string_view text) {
    Bytes bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (high >= 0) return std::nullopt; // a blank may not split a pair
            continue;
        }
        int value = DigitValue(c);
        if (value < 0) return std::nullopt;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | value));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return bytes;
}

std::uint8_t XorOf(ByteView bytes) {
    std::uint8_t x = 0;
    for (std::uint8_t b : bytes) x ^= b;
    return x;
}

std::uint16_t Gen2Crc16(ByteView bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : bytes) {
        crc ^= static_cast<std::uint16_t>(b << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<std::uint16_t>(crc << 1 ^ 0x1021)
                                 : static_cast<std::uint16_t>(crc << 1);
    }
    return static_cast<std::uint16_t>(~crc);
}

} // namespace usbsim
