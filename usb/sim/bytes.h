// Byte helpers shared by the simulated reader: hex text, the reader frame's XOR and
// the EPC Gen2 CRC-16.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace usbsim {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

// Upper-case hex digits, no separators.
std::string ToHex(ByteView bytes);

// Hex digits in either case, blanks allowed between pairs; nullopt when anything else
// appears or a digit is left without its partner.
std::optional<Bytes> ParseHex(std::string_view text);

// XOR of every byte (0 for none).
std::uint8_t XorOf(ByteView bytes);

// CRC-16 as an EPC Gen2 tag computes it (polynomial 0x1021, preset 0xFFFF, the ones'
// complement of the register is the result).
std::uint16_t Gen2Crc16(ByteView bytes);

inline std::uint16_t Word(ByteView bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

inline void AppendWord(Bytes& bytes, std::uint16_t word) {
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
}

} // namespace usbsim
