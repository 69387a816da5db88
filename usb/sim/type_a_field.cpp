#include "sim/type_a_field.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace usbsim {

namespace {

constexpr std::uint8_t kReadBlocks = 0x20;
constexpr std::uint8_t kWriteBlocks = 0x21;
constexpr std::uint8_t kInitValue = 0x22;
constexpr std::uint8_t kDecrement = 0x23;
constexpr std::uint8_t kIncrement = 0x24;
constexpr std::uint8_t kCardNumber = 0x25;
constexpr std::uint8_t kHalt = 0x06;
constexpr std::uint8_t kUltralightRead = 0xE0;
constexpr std::uint8_t kUltralightWrite = 0xE1;
constexpr std::uint8_t kUltralightSerial = 0xE3;

// ISO 14443-3 request codes: idle cards only, or all cards (halted ones too).
constexpr std::uint8_t kRequestIdle = 0x26;
constexpr std::uint8_t kRequestAll = 0x52;

constexpr std::size_t kKeySize = std::tuple_size_v<MifareKey>;
constexpr std::size_t kMaxBlocksPerCommand = 4;

// Mode byte of the Mifare commands: bit 0 asks all cards, bit 1 picks key B.
struct Mode {
    bool all = false;
    bool keyB = false;
};

std::optional<Mode> MifareMode(std::uint8_t byte) {
    if (byte > 0x03) return std::nullopt;
    return Mode{(byte & 0x01) != 0, (byte & 0x02) != 0};
}

// Mode byte of the Ultralight commands: 00 idle, 01 all.
std::optional<bool> UltralightAll(std::uint8_t byte) {
    if (byte > 0x01) return std::nullopt;
    return byte == 0x01;
}

Bytes Joined(const Bytes& first, const Bytes& second) {
    Bytes joined(first);
    joined.insert(joined.end(), second.begin(), second.end());
    return joined;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<MifareKey> ParseKey(const std::string& hex) {
    const std::optional<Bytes> bytes = ParseHex(hex);
    if (!bytes || bytes->size() != kKeySize) return std::nullopt;
    MifareKey key;
    std::copy(bytes->begin(), bytes->end(), key.begin());
    return key;
}

} // namespace

void TypeAField::Reset() {
    mifare_.emplace(InField<MifareCard>{
        MifareCard(typea::kDefaultMifareUid, MifareKind::S50, typea::kDefaultKey, typea::kDefaultKey)});
    ultralight_.emplace(InField<UltralightCard>{UltralightCard(typea::kDefaultUltralightUid)});
}

template <class Card> Card* TypeAField::Answering(std::optional<InField<Card>>& slot, bool all) {
    if (!slot || (slot->halted && !all)) return nullptr;
    slot->halted = false;
    return &slot->card;
}

std::optional<Answer> TypeAField::Execute(std::uint8_t command, ByteView data) {
    switch (command) {
    case kReadBlocks:
        return ReadBlocks(data);
    case kWriteBlocks:
        return WriteBlocks(data);
    case kInitValue:
        return InitValue(data);
    case kDecrement:
        return ChangeValue(data, -1);
    case kIncrement:
        return ChangeValue(data, +1);
    case kCardNumber:
        return CardNumber(data);
    case kHalt:
        return Halt(data);
    case kUltralightSerial:
        return UltralightSerial(data);
    case kUltralightRead:
        return UltralightRead(data);
    case kUltralightWrite:
        return UltralightWrite(data);
    default:
        return std::nullopt;
    }
}

// mode, count, start block, key (6), then for a write count x 16 data bytes.
Answer TypeAField::ReadBlocks(ByteView data) {
    constexpr std::size_t kSize = 3 + kKeySize;
    if (data.size() != kSize) return Answer::Fail(reason::kWrongLength);
    const std::optional<Mode> mode = MifareMode(data[0]);
    const std::size_t count = data[1];
    const std::size_t start = data[2];
    if (!mode || count == 0 || count > kMaxBlocksPerCommand) return Answer::Fail(reason::kOutOfRange);
    MifareCard* card = Answering(mifare_, mode->all);
    if (!card) return Answer::Fail(typea::kNoCard);
    if (start + count > card->BlockCount()) return Answer::Fail(typea::kNoSuchBlock);
    Bytes reply = card->Uid();
    for (std::size_t block = start; block < start + count; ++block) {
        if (!card->Authenticate(block, mode->keyB, data.subspan(3, kKeySize)))
            return Answer::Fail(typea::kAuthFailed);
        const Bytes bytes = card->ReadBlock(block);
        reply.insert(reply.end(), bytes.begin(), bytes.end());
    }
    return Answer::Ok(std::move(reply));
}

Answer TypeAField::WriteBlocks(ByteView data) {
    constexpr std::size_t kHeader = 3 + kKeySize;
    if (data.size() < kHeader) return Answer::Fail(reason::kWrongLength);
    const std::optional<Mode> mode = MifareMode(data[0]);
    const std::size_t count = data[1];
    const std::size_t start = data[2];
    if (!mode || count == 0 || count > kMaxBlocksPerCommand) return Answer::Fail(reason::kOutOfRange);
    if (data.size() != kHeader + count * MifareCard::kBlockSize) return Answer::Fail(reason::kWrongLength);
    MifareCard* card = Answering(mifare_, mode->all);
    if (!card) return Answer::Fail(typea::kNoCard);
    if (start + count > card->BlockCount()) return Answer::Fail(typea::kNoSuchBlock);
    for (std::size_t block = start; block < start + count; ++block)
        if (!card->Authenticate(block, mode->keyB, data.subspan(3, kKeySize)))
            return Answer::Fail(typea::kAuthFailed);
    // The manufacturer block refuses the write before any block is changed.
    if (start == 0) return Answer::Fail(typea::kWriteFailed);
    for (std::size_t i = 0; i < count; ++i)
        card->WriteBlock(start + i,
                         data.subspan(kHeader + i * MifareCard::kBlockSize, MifareCard::kBlockSize));
    return Answer::Ok(card->Uid());
}

namespace {

// mode, sector, key (6), value (4, least significant byte first).
struct ValueCommand {
    Mode mode;
    std::size_t sector = 0;
    ByteView key;
    std::int32_t value = 0;
};

constexpr std::size_t kValueCommandSize = 2 + kKeySize + MifareCard::kValueSize;

std::optional<ValueCommand> ParseValueCommand(ByteView data) {
    const std::optional<Mode> mode = MifareMode(data[0]);
    if (!mode) return std::nullopt;
    return ValueCommand{*mode, data[1], data.subspan(2, kKeySize),
                        MifareCard::ValueFromBytes(data.subspan(2 + kKeySize))};
}

} // namespace

Answer TypeAField::InitValue(ByteView data) {
    if (data.size() != kValueCommandSize) return Answer::Fail(reason::kWrongLength);
    const std::optional<ValueCommand> command = ParseValueCommand(data);
    if (!command) return Answer::Fail(reason::kOutOfRange);
    MifareCard* card = Answering(mifare_, command->mode.all);
    if (!card) return Answer::Fail(typea::kNoCard);
    if (command->sector >= card->SectorCount()) return Answer::Fail(typea::kNoSuchBlock);
    const std::size_t block = card->FirstBlockOfSector(command->sector) + MifareCard::kValueBlockInSector;
    if (!card->Authenticate(block, command->mode.keyB, command->key)) return Answer::Fail(typea::kAuthFailed);
    card->InitValue(block, command->value);
    return Answer::Ok(card->Uid());
}

// The amount is never negative, and the value stays within 0 .. 2^31-1.
Answer TypeAField::ChangeValue(ByteView data, int sign) {
    if (data.size() != kValueCommandSize) return Answer::Fail(reason::kWrongLength);
    const std::optional<ValueCommand> command = ParseValueCommand(data);
    if (!command || command->value < 0) return Answer::Fail(reason::kOutOfRange);
    MifareCard* card = Answering(mifare_, command->mode.all);
    if (!card) return Answer::Fail(typea::kNoCard);
    if (command->sector >= card->SectorCount()) return Answer::Fail(typea::kNoSuchBlock);
    const std::size_t block = card->FirstBlockOfSector(command->sector) + MifareCard::kValueBlockInSector;
    if (!card->Authenticate(block, command->mode.keyB, command->key)) return Answer::Fail(typea::kAuthFailed);
    const std::optional<std::int32_t> value = card->Value(block);
    if (!value) return Answer::Fail(typea::kNotValueBlock);
    const std::int64_t result = std::int64_t{*value} + sign * std::int64_t{command->value};
    if (result < 0 || result > std::numeric_limits<std::int32_t>::max())
        return Answer::Fail(reason::kOutOfRange);
    card->InitValue(block, static_cast<std::int32_t>(result));
    return Answer::Ok(Joined(card->Uid(), MifareCard::ValueBytes(static_cast<std::int32_t>(result))));
}

// request code, halt flag. The reply: 00 when one card answered, 01 when more did, then the first
// four serial-number bytes of the first card that answered, which the halt flag halts.
Answer TypeAField::CardNumber(ByteView data) {
    if (data.size() != 2) return Answer::Fail(reason::kWrongLength);
    if ((data[0] != kRequestIdle && data[0] != kRequestAll) || data[1] > 0x01)
        return Answer::Fail(reason::kOutOfRange);
    const bool all = data[0] == kRequestAll;
    struct Answered {
        const Bytes* uid;
        bool* halted;
    };
    std::vector<Answered> answered;
    if (MifareCard* card = Answering(mifare_, all)) answered.push_back({&card->Uid(), &mifare_->halted});
    if (UltralightCard* card = Answering(ultralight_, all))
        answered.push_back({&card->Uid(), &ultralight_->halted});
    if (answered.empty()) return Answer::Fail(typea::kNoCard);
    if (data[1] == 0x01) *answered.front().halted = true;
    Bytes reply{static_cast<std::uint8_t>(answered.size() > 1 ? 0x01 : 0x00)};
    reply.insert(reply.end(), answered.front().uid->begin(),
                 answered.front().uid->begin() + MifareCard::kUidSize);
    return Answer::Ok(std::move(reply));
}

// Halts every card that is awake; fails when there is none.
Answer TypeAField::Halt(ByteView data) {
    if (!data.empty()) return Answer::Fail(reason::kWrongLength);
    bool halted = false;
    for (bool* state : {mifare_ ? &mifare_->halted : nullptr, ultralight_ ? &ultralight_->halted : nullptr}) {
        if (!state || *state) continue;
        *state = true;
        halted = true;
    }
    return halted ? Answer::Ok() : Answer::Fail(typea::kNoCard);
}

// mode
Answer TypeAField::UltralightSerial(ByteView data) {
    if (data.size() != 1) return Answer::Fail(reason::kWrongLength);
    const std::optional<bool> all = UltralightAll(data[0]);
    if (!all) return Answer::Fail(reason::kOutOfRange);
    UltralightCard* card = Answering(ultralight_, *all);
    if (!card) return Answer::Fail(typea::kNoCard);
    return Answer::Ok(card->Uid());
}

// mode, page. The reply: four pages from that page, then the serial number.
Answer TypeAField::UltralightRead(ByteView data) {
    if (data.size() != 2) return Answer::Fail(reason::kWrongLength);
    const std::optional<bool> all = UltralightAll(data[0]);
    if (!all) return Answer::Fail(reason::kOutOfRange);
    UltralightCard* card = Answering(ultralight_, *all);
    if (!card) return Answer::Fail(typea::kNoCard);
    if (data[1] >= UltralightCard::kPageCount) return Answer::Fail(typea::kNoSuchBlock);
    return Answer::Ok(Joined(card->Read(data[1]), card->Uid()));
}

// mode, page count (one page only), page, four data bytes.
Answer TypeAField::UltralightWrite(ByteView data) {
    if (data.size() != 3 + UltralightCard::kPageSize) return Answer::Fail(reason::kWrongLength);
    const std::optional<bool> all = UltralightAll(data[0]);
    if (!all || data[1] != 0x01) return Answer::Fail(reason::kOutOfRange);
    UltralightCard* card = Answering(ultralight_, *all);
    if (!card) return Answer::Fail(typea::kNoCard);
    if (data[2] >= UltralightCard::kPageCount) return Answer::Fail(typea::kNoSuchBlock);
    switch (card->Write(data[2], data.subspan(3))) {
    case UltralightCard::WriteResult::ReadOnly:
        return Answer::Fail(typea::kWriteFailed);
    case UltralightCard::WriteResult::Locked:
        return Answer::Fail(typea::kLocked);
    case UltralightCard::WriteResult::Written:
        break;
    }
    return Answer::Ok(card->Uid());
}

bool TypeAField::Control(const std::vector<std::string>& words) {
    if (words.size() < 2) return false;
    const std::string card = Lower(words[0]);
    const bool off = Lower(words[1]) == "off";
    if (off && words.size() != 2) return false;
    const std::optional<Bytes> uid = off ? std::nullopt : ParseHex(words[1]);

    if (card == "ultralight") {
        if (off) {
            ultralight_.reset();
            return true;
        }
        if (!uid || uid->size() != UltralightCard::kUidSize || words.size() != 2) return false;
        ultralight_.emplace(InField<UltralightCard>{UltralightCard(*uid)});
        return true;
    }
    if (card != "mifare") return false;
    if (off) {
        mifare_.reset();
        return true;
    }
    if (!uid || uid->size() != MifareCard::kUidSize) return false;
    MifareKind kind = MifareKind::S50;
    MifareKey keyA = typea::kDefaultKey;
    MifareKey keyB = typea::kDefaultKey;
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::string word = Lower(words[i]);
        if (word == "s50" || word == "s70") {
            kind = word == "s50" ? MifareKind::S50 : MifareKind::S70;
            continue;
        }
        if ((word != "keya" && word != "keyb") || i + 1 == words.size()) return false;
        const std::optional<MifareKey> key = ParseKey(words[++i]);
        if (!key) return false;
        (word == "keya" ? keyA : keyB) = *key;
    }
    mifare_.emplace(InField<MifareCard>{MifareCard(*uid, kind, keyA, keyB)});
    return true;
}

} // namespace usbsim
