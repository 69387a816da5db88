#include "sim/readers.h"

#include <algorithm>

namespace usbsim {

namespace {

// A command whose data is one byte within a range; nullopt when the table lacks it.
template <typename Settings, std::size_t N>
std::optional<Answer> ApplyByteSetting(const ByteSetting<Settings> (&table)[N], Settings& settings,
                                       std::uint8_t command, ByteView data) {
    auto row =
        std::find_if(std::begin(table), std::end(table), [&](const auto& r) { return r.command == command; });
    if (row == std::end(table)) return std::nullopt;
    if (data.size() != 1) return Answer::Fail(reason::kWrongLength);
    if (data[0] < row->low || data[0] > row->high) return Answer::Fail(reason::kOutOfRange);
    settings.*(row->field) = data[0];
    return Answer::Ok();
}

bool AllFlags(ByteView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b <= 1; });
}

using CardSettings = CardReaderSettings;
constexpr ByteSetting<CardSettings> kCardByteSettings[] = {
    {0x0F, 0x01, 0x04, &CardSettings::workMode},        {0xC1, 0x00, 0xFF, &CardSettings::searchInterval},
    {0xC2, 0x00, 0xFF, &CardSettings::cardFilter},      {0xC4, 0x00, 0x04, &CardSettings::baudCode},
    {0xC5, 0x00, 0x02, &CardSettings::serialEnd},       {0xC6, 0x00, 0x03, &CardSettings::wiegandFormat},
    {0xC7, 0x01, 0xFF, &CardSettings::wiegandPulse},    {0xC8, 0x01, 0xFF, &CardSettings::wiegandIdle},
    {0xC9, 0x00, 0x0B, &CardSettings::wiegandPosition}, {0xCC, 0x00, 0x0B, &CardSettings::rfPower},
    {0xCD, 0x00, 0x01, &CardSettings::voiceOff},
};

// 00-10 name fixed formats; 0x80 + n asks for n bytes of hex (n from 1).
bool ValidCardFormat(std::uint8_t code) {
    return code <= 0x10 || code > 0x80;
}

constexpr std::size_t kMaxAffixBytes = 4;

} // namespace

void CardReader::Reset() {
    settings_ = {};
    system_.Reset();
    typeA_.Reset();
    version_ = std::string(kDefaultVersion);
    typeB_.Reset();
    vicinity_.Reset();
}

Answer CardReader::Execute(std::uint8_t command, ByteView data) {
    if (auto answer = ApplyByteSetting(kCardByteSettings, settings_, command, data)) return *answer;
    if (auto answer = system_.Execute(command, data)) return *answer;
    if (auto answer = typeA_.Execute(command, data)) return *answer;
    switch (command) {
    case 0xC0:
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        return VersionAnswer();
    case 0xCF:
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        settings_ = {};
        system_.Reset();
        return Answer::Ok();
    // The output-format record is also what the system commands call the serial number: 82 sets
    // it (as a valid format record only), 83 reads it after the reader's address.
    case 0x82:
        if (data.size() != settings_.outputFormat.size()) return Answer::Fail(reason::kWrongLength);
        if (!ValidCardFormat(data[0]) || !AllFlags(data.subspan(1))) return Answer::Fail(reason::kOutOfRange);
        std::copy(data.begin(), data.end(), settings_.outputFormat.begin());
        return Answer::Ok();
    case 0x83: {
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        Bytes record{system_.Settings().address};
        record.insert(record.end(), settings_.outputFormat.begin(), settings_.outputFormat.end());
        return Answer::Ok(std::move(record));
    }
    case 0xC3:
        if (data.size() != settings_.outputs.size()) return Answer::Fail(reason::kWrongLength);
        if (!AllFlags(data)) return Answer::Fail(reason::kOutOfRange);
        std::copy(data.begin(), data.end(), settings_.outputs.begin());
        return Answer::Ok();
    case 0xCB: {
        if (data.empty()) return Answer::Fail(reason::kWrongLength);
        if ((data[0] != 0x01 && data[0] != 0x02) || data.size() - 1 > kMaxAffixBytes)
            return Answer::Fail(reason::kOutOfRange);
        Bytes& affix = data[0] == 0x01 ? settings_.prefix : settings_.suffix;
        affix.assign(data.begin() + 1, data.end());
        return Answer::Ok();
    }
    case 0xB8:
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        settings_.virtualSerial = true;
        return Answer::Ok();
    case 0xBC:
        if (data.size() != settings_.sectorRead.size()) return Answer::Fail(reason::kWrongLength);
        if (data[0] > 0x03 || data[6] == 0 || data[6] > 0x20) return Answer::Fail(reason::kOutOfRange);
        std::copy(data.begin(), data.end(), settings_.sectorRead.begin());
        return Answer::Ok();
    case 0xCE:
        if (data.empty()) return Answer::Fail(reason::kWrongLength);
        return Answer::Ok(module_.Handle(data));
    default:
        if (auto answer = typeB_.Execute(command, data)) return *answer;
        if (auto answer = vicinity_.Execute(command, data)) return *answer;
        return Answer::Fail(reason::kUnknownCommand);
    }
}

namespace {

using TagSettings = TagReaderSettings;
constexpr ByteSetting<TagSettings> kTagByteSettings[] = {
    {0x80, 0x00, 0x1D, &TagSettings::keyboardLayout},
    {0x0F, 0x01, 0x03, &TagSettings::workMode},
    {0x0E, 0x00, 0x08, &TagSettings::sleepCode},
    {0x22, 0x00, 0x02, &TagSettings::bluetoothMode},
};

constexpr std::uint8_t kMaxTagFormat = 0x0F;
constexpr std::size_t kFirstTagFlag = 1; // ";", "?", ",", Enter, buzzer, constant
constexpr std::size_t kTagFlagCount = 6;

} // namespace

void TagReader::Reset() {
    settings_ = {};
    version_ = std::string(kDefaultVersion);
}

Answer TagReader::Execute(std::uint8_t command, ByteView data) {
    if (auto answer = ApplyByteSetting(kTagByteSettings, settings_, command, data)) return *answer;
    switch (command) {
    case 0xC0:
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        return VersionAnswer();
    case 0xCF:
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        settings_ = {};
        return Answer::Ok();
    case 0x82:
        if (data.size() != settings_.record.size()) return Answer::Fail(reason::kWrongLength);
        if (data[0] > kMaxTagFormat || !AllFlags(data.subspan(kFirstTagFlag, kTagFlagCount)))
            return Answer::Fail(reason::kOutOfRange);
        std::copy(data.begin(), data.end(), settings_.record.begin());
        return Answer::Ok();
    case 0x83: {
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        Bytes reply{settings_.keyboardLayout};
        reply.insert(reply.end(), settings_.record.begin(), settings_.record.end());
        return Answer::Ok(std::move(reply));
    }
    case 0x88:
        if (data.empty()) return Answer::Fail(reason::kWrongLength);
        if (data.size() > kMaxBluetoothName) return Answer::Fail(reason::kOutOfRange);
        settings_.bluetoothName.assign(data.begin(), data.end());
        return Answer::Ok();
    default:
        return Answer::Fail(reason::kUnknownCommand);
    }
}

} // namespace usbsim
