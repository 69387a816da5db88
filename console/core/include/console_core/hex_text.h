// Hex text and the reader command frame: the pure text work behind TForm1's Send, checkdata,
// Getchr and cwdate. Hex text is bytes written as pairs of hex digits; separators are dropped by
// the hex filter before any conversion, and the case of every digit is carried through unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Raised where the console reads a text as "$" + text with the framework's integer conversion and
// that conversion would reject it. The message reads as the framework's: "'$3 ' is not a valid
// integer value"; Text() gives it as wide text, what() as UTF-8.
class HexConvertError : public std::invalid_argument {
public:
    explicit HexConvertError(std::wstring_view digits);
    const std::wstring& Text() const noexcept { return text_; }

private:
    std::wstring text_;
};

// True for "0"-"9", "a"-"f" and "A"-"F".
bool IsHexDigit(wchar_t c) noexcept;

// The hex filter: only the hex digits of a text, in order, case kept.
std::wstring HexFilter(std::wstring_view text);

// The hex filter, then whole pairs only (a trailing single digit is dropped).
// checkdata(L"AA 00 02 CD 00 CF BB ") == L"AA0002CD00CFBB"; checkdata(L"ABC") == L"AB".
std::wstring checkdata(std::wstring_view text);

// A number as upper-case hex with at least two digits (0x82 -> "82", 10 -> "0A", 0x1F4 -> "1F4").
std::wstring HexByteText(std::uint32_t value);

// "$" + digits read as a hexadecimal integer (CF -> 207). One to eight hex digits of either case;
// anything else (an empty text, a blank, a sign) throws HexConvertError.
std::uint32_t HexPairValue(std::wstring_view digits);

// The bytes that go on the wire for a frame text: checkdata, then each pair as one byte.
std::vector<std::uint8_t> FrameTextToBytes(std::wstring_view frameText);

// The frame text that Send hands to SendHex:
//   "AA" + address + two-digit hex of N + P + two-digit hex of the XOR + "BB"
// where P is the hex filter of commandText and N = (digits of P) div 2. The address (the text of
// setadd) is used unchanged, lower case kept. The XOR runs over the whole pairs of address, length
// and P; an odd last digit of P stays in the text and takes no part, as the pages never build one.
// Throws HexConvertError only when the address text is not hex.
// SendFrameText(L"00", L"cf") == L"AA0001cfCEBB".
std::wstring SendFrameText(std::wstring_view address, std::wstring_view commandText);

// The bytes that Getchr turns into characters: two bytes (four digits) per step, a tail of fewer
// than four digits dropped. The text is used as it stands, so a pair that is not hex (a blank, for
// example) throws HexConvertError.
std::string GetchrBytes(std::wstring_view hex);

// Decodes the reader's text bytes (code page 936 in the programs); nullopt when they do not decode.
using ByteTextDecoder = std::function<std::optional<std::wstring>(std::string_view bytes)>;

// Getchr: hex text to characters through decode. nullopt when a pair is not hex or the bytes do
// not decode, so the caller can show the hex digits instead. An empty or too short text gives an
// empty text.
std::optional<std::wstring> Getchr(std::wstring_view hex, const ByteTextDecoder& decode);

#ifdef _WIN32
// Code page 936 bytes to UTF-16 (invalid sequences give nullopt).
std::optional<std::wstring> DecodeCodePage936(std::string_view bytes);
// Getchr with code page 936, as the version text is shown.
std::optional<std::wstring> Getchr(std::wstring_view hex);
#endif

// The text with its characters in reverse order (cwdate(L"1234") == L"4321").
std::wstring cwdate(std::wstring_view text);

} // namespace core
