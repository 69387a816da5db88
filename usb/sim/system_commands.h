// The reader's system commands: its address, its baud rate, and the two LEDs and the buzzer,
// each driven with a period and a count.
#pragma once

#include "sim/frame.h"

#include <array>

namespace usbsim {

struct SystemSettings {
    std::uint8_t address = 0x00;
    std::uint8_t baudCode = 0x00; // 00-04: 9600 .. 115200
    // Period and count of the last signal given.
    std::array<std::uint8_t, 2> led{};
    std::array<std::uint8_t, 2> ledRed{};
    std::array<std::uint8_t, 2> buzzer{};
    bool operator==(const SystemSettings&) const = default;
};

class SystemCommands {
public:
    // The answer to 80 (address), 81 (baud rate 00-04), 87 (red LED), 88 (LED) or 89 (buzzer);
    // nullopt for any other command.
    std::optional<Answer> Execute(std::uint8_t command, ByteView data);
    void Reset() { settings_ = {}; }
    const SystemSettings& Settings() const { return settings_; }

private:
    SystemSettings settings_;
};

} // namespace usbsim
