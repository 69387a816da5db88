// The reader's command and reply frames: AA, address, length, payload, XOR, BB.
#pragma once

#include "sim/bytes.h"

namespace usbsim {

inline constexpr std::uint8_t kFrameStart = 0xAA;
inline constexpr std::uint8_t kFrameEnd = 0xBB;
inline constexpr std::uint8_t kStatusSuccess = 0x00;
inline constexpr std::uint8_t kStatusFailure = 0x01;

// Reason codes the simulated reader puts in failure replies.
namespace reason {
inline constexpr std::uint8_t kBadXor = 0x05;
inline constexpr std::uint8_t kOutOfRange = 0x10;
inline constexpr std::uint8_t kWrongLength = 0x85;
inline constexpr std::uint8_t kUnknownCommand = 0x8F;
inline constexpr std::uint8_t kBadFraming = 0x91; // start or end byte missing
} // namespace reason

// Status and data of one reply; a failure carries its reason as the only data byte.
struct Answer {
    std::uint8_t status = kStatusSuccess;
    Bytes data;

    static Answer Ok(Bytes data = {}) { return {kStatusSuccess, std::move(data)}; }
    static Answer Fail(std::uint8_t reasonCode) { return {kStatusFailure, {reasonCode}}; }
    bool operator==(const Answer&) const = default;
};

// The most data bytes one reply can carry: the length byte counts status and data.
inline constexpr std::size_t kMaxReplyData = 254;

// AA, address, L = data + 1, status, data, XOR of address through data, BB. Data too long
// for the length byte turns into an out-of-range failure.
Bytes BuildReply(std::uint8_t address, const Answer& answer);

// Puts another value in a reply's length byte and keeps its XOR consistent with it.
void RewriteLengthByte(Bytes& reply, std::uint8_t length);

// A command frame after the checks every frame goes through. When `failure` holds a
// reason the frame is refused and command/data are meaningless.
struct CheckedFrame {
    std::uint8_t address = 0;
    std::optional<std::uint8_t> failure;
    std::uint8_t command = 0;
    Bytes data;
};

CheckedFrame CheckFrame(ByteView frame);

} // namespace usbsim
