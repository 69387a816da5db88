// The UHF module a reader's serial line leads to, as far as the serial page meets it: it answers the
// mode-switch frames 0xC1, 0xC2 and 0xC9 and, in an active mode, reports tags by itself.
//
// Frames: 0xBB, type, command, parameter length (2 bytes, high first), parameters, low byte of the
// sum of type through the last parameter, 0x7E. The module replies with type 0x01 and reports with
// type 0x02.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace serialpeer {

using Bytes = std::vector<std::uint8_t>;

enum class TWorkMode { Passive, ActiveSingle, ActiveMultiple, ActiveTid, ActiveMemory, UsbHid };

constexpr std::uint8_t kFrameStart = 0xBB;
constexpr std::uint8_t kFrameEnd = 0x7E;
constexpr std::uint8_t kTypeCommand = 0x00;
constexpr std::uint8_t kTypeReply = 0x01;
constexpr std::uint8_t kTypeReport = 0x02;
constexpr std::uint8_t kSetWorkMode = 0xC1;
constexpr std::uint8_t kSwitchToUsbHid = 0xC2;
constexpr std::uint8_t kReadMemoryActively = 0xC9;
constexpr std::uint8_t kInventory = 0x22;
constexpr std::uint8_t kReadData = 0x39;
// The module's code for a parameter it cannot take.
constexpr std::uint8_t kBadParameter = 0x89;
// A frame longer than this is line noise.
constexpr std::size_t kMaxParameters = 512;

struct TFrame {
    std::uint8_t type = 0;
    std::uint8_t command = 0;
    Bytes parameters;
};

Bytes EncodeFrame(const TFrame& frame);

// Splits a byte stream into frames. Bytes before a start byte, and frames whose checksum or end byte
// is wrong, are dropped; a frame may arrive in any number of pieces.
class TFrameReader {
public:
    void Feed(const std::uint8_t* bytes, std::size_t count);
    std::optional<TFrame> Next();

private:
    Bytes pending_;
};

// The stored CRC of an EPC bank (CRC-16 over the PC word and the EPC).
std::uint16_t EpcCrc(const Bytes& pcAndEpc);

struct TPeerSettings {
    TWorkMode mode = TWorkMode::ActiveSingle;
    std::vector<Bytes> tags;              // EPCs in the field, first is the one a single search finds
    std::optional<std::uint8_t> reply;    // answer every mode switch with this code instead
};

class TUhfPeer {
public:
    explicit TUhfPeer(TPeerSettings settings);

    // Bytes from the line; returns the bytes to send back.
    Bytes Receive(const std::uint8_t* bytes, std::size_t count);
    // What the module reports by itself in one period of its current mode (nothing when passive).
    Bytes Report() const;
    TWorkMode Mode() const { return settings_.mode; }

private:
    Bytes Answer(const TFrame& frame);
    Bytes TagReport(const Bytes& epc) const;

    TPeerSettings settings_;
    TFrameReader reader_;
    std::uint8_t memoryAddress_ = 0;
    std::uint8_t memoryWords_ = 4;
};

// "E2 00 1A" or "e2001a" → bytes; nullopt when the text holds anything but hex pairs and blanks.
std::optional<Bytes> ParseHex(const std::string& text);
std::string ToHex(const Bytes& bytes);

} // namespace serialpeer
