// UHF module frames and the hex arithmetic that steps an EPC number.
//
// A module frame is BB, type, command, two parameter-length bytes (high first), the parameters,
// the low byte of the sum of type through the last parameter, 7E. It reaches the module inside
// reader command 0xCE.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The frame text that SendUHF hands to SendHex: the same text as SendFrameText(address, "ce" +
// frameText), with the module frame's digits as they stand (case kept, separators dropped).
// SendUHFFrameText(L"00", L"bb 00 22 00 00 22 7e ") == L"AA0008cebb00220000227e03BB".
std::wstring SendUHFFrameText(std::wstring_view address, std::wstring_view moduleFrameText);

// adddate: the sum of all whole bytes of a hex text (hex filter first, an odd last digit takes no
// part), not reduced to a byte. "00 C2 00 01 00" -> 195; "FF 02" -> 257.
std::int32_t adddate(std::wstring_view text);

// The checksum pair of a module frame: the last two digits of adddate's hex text, i.e. its low
// byte as two upper-case digits ("FF 02" -> "01").
std::wstring ModuleChecksumText(std::wstring_view text);

// cdate: the two-character pairs of a text in reverse order, each followed by one blank; with an
// odd length the first character is dropped. "E0040100AABBCCDD" -> "DD CC BB AA 00 01 04 E0 ".
std::wstring cdate(std::wstring_view text);

// The bytes of a hex text after removing blanks. An odd digit count, or a pair that is not hex,
// throws HexConvertError (the last pair of an odd text is a digit and a blank).
std::vector<std::uint8_t> HexToBytes(std::wstring_view text);

// Each byte as two upper-case hex digits, no separators.
std::wstring BytesToHex(std::span<const std::uint8_t> bytes);

// Reverses the bytes in place.
void ReverseBytes(std::span<std::uint8_t> bytes);

// The sum of two hex numbers as upper-case hex digits. reverse false ("Plus"): both read and the
// sum written most significant byte first. reverse true ("Reverse addition"): a read and the sum
// written least significant byte first, b read most significant byte first. The shorter text is
// first prefixed with "0" characters to the other's length. A carry out of the top byte is kept:
// the result is one byte longer (01 in front, or at the end with reverse). Operands of any length.
// Throws HexConvertError when a text has an odd digit count or a character that is not hex.
// AddHexNumbers(L"1234", L"FFFF", false) == L"011233"; AddHexNumbers(L"3412", L"FFFF", true) == L"331201".
std::wstring AddHexNumbers(std::wstring_view a, std::wstring_view b, bool reverse);

// The tag of a module's inventory reply (the reply's data field: BB, type, command 22, the length
// field, RSSI, PC, EPC, the stored CRC, checksum, 7E), read by its length field; nullopt when the
// text is not an inventory reply with a tag or is too short for what its length field claims.
struct InventoryTag {
    std::wstring epc;
    std::wstring storedCrc;
};
std::optional<InventoryTag> TagOfInventoryReply(std::wstring_view reply);

} // namespace core
