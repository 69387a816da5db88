// The two readers the simulator can be: the USB card reader with its UHF module, and the
// 134.2 kHz tag reader. Each answers the commands of one checked frame.
#pragma once

#include <array>

#include "sim/frame.h"
#include "sim/iso14443b_card.h"
#include "sim/iso15693_tag.h"
#include "sim/system_commands.h"
#include "sim/type_a_field.h"
#include "sim/uhf_module.h"

namespace usbsim {

class CommandSet {
public:
    virtual ~CommandSet() = default;
    virtual Answer Execute(std::uint8_t command, ByteView data) = 0;
    // Everything back to a new reader's state, version text included.
    virtual void Reset() = 0;

    const std::string& Version() const { return version_; }
    void SetVersion(std::string text) { version_ = std::move(text); }

protected:
    Answer VersionAnswer() const { return Answer::Ok(Bytes(version_.begin(), version_.end())); }
    std::string version_;
};

// One setting carried in one data byte, accepted within [low, high].
template <typename Settings> struct ByteSetting {
    std::uint8_t command;
    std::uint8_t low;
    std::uint8_t high;
    std::uint8_t Settings::*field;
};

struct CardReaderSettings {
    // Format, ";", "?", ",", Enter, big buzzer, constant, signal strength.
    std::array<std::uint8_t, 8> outputFormat{0x0F, 0x00, 0x00, 0x00, 0x01, 0x01, 0x01, 0x00};
    std::uint8_t workMode = 0x01;
    std::uint8_t searchInterval = 0x0A;
    std::uint8_t cardFilter = 0x0A;
    std::array<std::uint8_t, 3> outputs{0x01, 0x01, 0x01}; // serial, Wiegand, USB
    std::uint8_t baudCode = 0x00;
    std::uint8_t serialEnd = 0x02;
    std::uint8_t wiegandFormat = 0x00;
    std::uint8_t wiegandPulse = 0x0A;
    std::uint8_t wiegandIdle = 0x0A;
    std::uint8_t wiegandPosition = 0x09;
    std::uint8_t rfPower = 0x02;
    std::uint8_t voiceOff = 0x00;
    Bytes prefix{0x30, 0x31, 0x32, 0x33};
    Bytes suffix{0x31, 0x32, 0x33, 0x34};
    // Bank, password, address, length of the active memory read.
    std::array<std::uint8_t, 7> sectorRead{0x03, 0x5E, 0x21, 0x9C, 0x47, 0x00, 0x08};
    bool virtualSerial = false;
    bool operator==(const CardReaderSettings&) const = default;
};

class CardReader : public CommandSet {
public:
    static constexpr std::string_view kDefaultVersion = "USB reader V2.60";

    explicit CardReader(UhfModule& module) : module_(module) { Reset(); }
    Answer Execute(std::uint8_t command, ByteView data) override;
    void Reset() override;
    const CardReaderSettings& Settings() const { return settings_; }
    TypeBField& TypeB() { return typeB_; }
    VicinityField& Vicinity() { return vicinity_; }
    const SystemSettings& System() const { return system_.Settings(); }
    TypeAField& TypeACards() { return typeA_; }

private:
    UhfModule& module_;
    CardReaderSettings settings_;
    TypeBField typeB_;
    VicinityField vicinity_;
    SystemCommands system_;
    TypeAField typeA_;
};

struct TagReaderSettings {
    // Format, ";", "?", ",", Enter, big buzzer, constant, custom byte, prefix 4, suffix 4.
    std::array<std::uint8_t, 16> record{0x0F, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00};
    std::uint8_t keyboardLayout = 0x00;
    std::uint8_t workMode = 0x01;
    std::uint8_t sleepCode = 0x01;
    std::uint8_t bluetoothMode = 0x00;
    std::string bluetoothName = "Bluetooth1.0";
    bool operator==(const TagReaderSettings&) const = default;
};

class TagReader : public CommandSet {
public:
    static constexpr std::string_view kDefaultVersion = "134.2K reader V1.1";
    static constexpr std::size_t kMaxBluetoothName = 30;

    TagReader() { Reset(); }
    Answer Execute(std::uint8_t command, ByteView data) override;
    void Reset() override;
    const TagReaderSettings& Settings() const { return settings_; }

private:
    TagReaderSettings settings_;
};

} // namespace usbsim
