// Frame helpers shared by the simulator's tests.
#pragma once

#include <string>

#include "sim/bytes.h"
#include "sim/simulator.h"

namespace usbsim::test {

inline Bytes FromHex(std::string_view text) {
    auto bytes = ParseHex(text);
    if (!bytes) throw std::invalid_argument("bad hex in test: " + std::string(text));
    return *bytes;
}

// A command frame from address 00 around a payload (command and data as hex).
inline Bytes Frame(std::string_view payloadHex, std::uint8_t address = 0) {
    Bytes payload = FromHex(payloadHex);
    Bytes frame;
    frame.reserve(payload.size() + 5);
    frame.push_back(0xAA);
    frame.push_back(address);
    frame.push_back(static_cast<std::uint8_t>(payload.size()));
    for (std::uint8_t b : payload) frame.push_back(b);
    frame.push_back(XorOf(ByteView(frame).subspan(1)));
    frame.push_back(0xBB);
    return frame;
}

// Writes the frame and reads the reply with the console's 245-byte read; "" when none.
inline std::string Exchange(Simulator& sim, const Bytes& frame) {
    int written = sim.Write(0, static_cast<int>(frame.size()), frame.data());
    if (written != static_cast<int>(frame.size())) return "short:" + std::to_string(written);
    std::uint8_t buffer[257] = {};
    int read = sim.Read(0, 245, buffer);
    return ToHex(ByteView(buffer, static_cast<std::size_t>(read)));
}

inline std::string ExchangeHex(Simulator& sim, std::string_view frameHex) {
    return Exchange(sim, FromHex(frameHex));
}

inline const char* kOk = "AA00010001BB";
inline const char* kBadXor = "AA0002010506BB";
inline const char* kOutOfRange = "AA0002011013BB";
inline const char* kWrongLength = "AA0002018586BB";
inline const char* kUnknownCommand = "AA0002018F8CBB";
inline const char* kBadFraming = "AA0002019192BB";

} // namespace usbsim::test
