#include "sim/system_commands.h"

#include <algorithm>

namespace usbsim {

namespace {

constexpr std::uint8_t kMaxBaudCode = 0x04;

} // namespace

std::optional<Answer> SystemCommands::Execute(std::uint8_t command, ByteView data) {
    std::array<std::uint8_t, 2>* signal = nullptr;
    switch (command) {
    case 0x80:
        if (data.size() != 1) return Answer::Fail(reason::kWrongLength);
        settings_.address = data[0];
        return Answer::Ok();
    case 0x81:
        if (data.size() != 1) return Answer::Fail(reason::kWrongLength);
        if (data[0] > kMaxBaudCode) return Answer::Fail(reason::kOutOfRange);
        settings_.baudCode = data[0];
        return Answer::Ok();
    case 0x87:
        signal = &settings_.ledRed;
        break;
    case 0x88:
        signal = &settings_.led;
        break;
    case 0x89:
        signal = &settings_.buzzer;
        break;
    default:
        return std::nullopt;
    }
    if (data.size() != signal->size()) return Answer::Fail(reason::kWrongLength);
    std::copy(data.begin(), data.end(), signal->begin());
    return Answer::Ok();
}

} // namespace usbsim
