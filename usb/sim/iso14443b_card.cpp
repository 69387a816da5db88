#include "sim/iso14443b_card.h"

#include <algorithm>

namespace usbsim {

namespace {

// What the reader passes on with command 0D, as the card sees it.
constexpr std::uint8_t kApfRequest = 0x05; // REQB or WUPB: APf, AFI, PARAM
constexpr std::uint8_t kWakeUpBit = 0x08;  // in PARAM: WUPB, which also wakes a halted card
constexpr std::uint8_t kAttribCommand = 0x1D;
constexpr std::uint8_t kHaltCommand = 0x50;
constexpr std::size_t kAttribLength = 9; // 1D, PUPI, four parameter bytes

const Bytes kGetChallenge{0x00, 0x84, 0x00, 0x00, 0x08};
const Bytes kSuccessWord{0x90, 0x00};
const Bytes kInstructionNotSupported{0x6D, 0x00};

template <std::size_t N> bool Same(ByteView bytes, const std::array<std::uint8_t, N>& value) {
    return bytes.size() == N && std::equal(bytes.begin(), bytes.end(), value.begin());
}

} // namespace

Bytes TypeBCard::Atqb() const {
    Bytes atqb{0x50};
    atqb.insert(atqb.end(), pupi.begin(), pupi.end());
    atqb.insert(atqb.end(), applicationData.begin(), applicationData.end());
    atqb.insert(atqb.end(), protocolInfo.begin(), protocolInfo.end());
    return atqb;
}

TypeBCard DefaultTypeBCard() {
    TypeBCard card;
    card.pupi = {0x5A, 0x3C, 0x11, 0x07};
    card.idNumber = {0x31, 0x8A, 0x2C, 0x05, 0x19, 0x66, 0x0E, 0xD4};
    card.fileId = {0x01, 0x02, 0x00, 0x00, 0x0F, 0x11, 0x20, 0x08};
    return card;
}

void TypeBField::Reset() {
    card_ = DefaultTypeBCard();
    state_ = CardState::Ready;
    challengeCounter_ = 0;
}

void TypeBField::Place(TypeBCard card) {
    card_ = std::move(card);
    state_ = CardState::Ready;
}

std::optional<Answer> TypeBField::Execute(std::uint8_t command, ByteView data) {
    switch (command) {
    case typeb::kRequest:
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        if (!card_ || state_ == CardState::Halted) return Answer::Fail(typeb::kNoCard);
        state_ = CardState::Ready;
        {
            Bytes atqb = card_->Atqb();
            Bytes reply{static_cast<std::uint8_t>(atqb.size())};
            reply.insert(reply.end(), atqb.begin(), atqb.end());
            return Answer::Ok(std::move(reply));
        }
    case typeb::kAttrib:
        return Attrib(data);
    case typeb::kReset:
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        if (!card_) return Answer::Fail(typeb::kNoCard);
        // The field is switched off and on: every card starts over.
        state_ = CardState::Ready;
        return Answer::Ok(Bytes(card_->pupi.begin(), card_->pupi.end()));
    case typeb::kSendData:
        return SendToCard(data);
    case typeb::kIdNumber:
    case typeb::kFileId: {
        if (!data.empty()) return Answer::Fail(reason::kWrongLength);
        if (!card_) return Answer::Fail(typeb::kNoCard);
        if (!card_->IsIdentityCard()) return Answer::Fail(typeb::kNotSupported);
        const Bytes& value = command == typeb::kIdNumber ? card_->idNumber : card_->fileId;
        Bytes reply{static_cast<std::uint8_t>(value.size())};
        reply.insert(reply.end(), value.begin(), value.end());
        return Answer::Ok(std::move(reply));
    }
    default:
        return std::nullopt;
    }
}

Answer TypeBField::Attrib(ByteView data) {
    if (data.size() != 4) return Answer::Fail(reason::kWrongLength);
    if (!card_ || state_ == CardState::Halted) return Answer::Fail(typeb::kNoCard);
    if (!Same(data, card_->pupi)) return Answer::Fail(typeb::kWrongPupi);
    state_ = CardState::Active;
    return Answer::Ok();
}

Answer TypeBField::SendToCard(ByteView data) {
    if (data.empty() || data[0] != data.size() - 1) return Answer::Fail(reason::kWrongLength);
    if (!card_) return Answer::Fail(typeb::kNoCard);
    Bytes answer = CardAnswer(data.subspan(1));
    if (answer.empty()) return Answer::Fail(typeb::kNoAnswer);
    return Answer::Ok(std::move(answer));
}

// The card's answer to what the reader passed on; empty when the card stays silent.
Bytes TypeBField::CardAnswer(ByteView command) {
    if (command.size() == 3 && command[0] == kApfRequest) {
        if (state_ == CardState::Halted && !(command[2] & kWakeUpBit)) return {};
        state_ = CardState::Ready;
        return card_->Atqb();
    }
    if (state_ == CardState::Halted) return {};
    if (command.size() == kAttribLength && command[0] == kAttribCommand) {
        if (!Same(command.subspan(1, 4), card_->pupi)) return {};
        state_ = CardState::Active;
        return {0x00};
    }
    if (command.size() == 5 && command[0] == kHaltCommand) {
        if (!Same(command.subspan(1, 4), card_->pupi)) return {};
        state_ = CardState::Halted;
        return {0x00};
    }
    if (state_ != CardState::Active) return {};
    if (std::equal(command.begin(), command.end(), kGetChallenge.begin(), kGetChallenge.end())) {
        Bytes answer;
        for (int i = 0; i < 8; ++i)
            answer.push_back(static_cast<std::uint8_t>(0x3B * ++challengeCounter_ + 0x11));
        answer.insert(answer.end(), kSuccessWord.begin(), kSuccessWord.end());
        return answer;
    }
    return kInstructionNotSupported;
}

bool TypeBField::Control(const std::vector<std::string>& args) {
    if (args.empty()) return false;
    if (args[0] == "none" && args.size() == 1) {
        Clear();
        return true;
    }
    if (args[0] == "default" && args.size() == 1) {
        Place(DefaultTypeBCard());
        return true;
    }
    if (args[0] != "card" || args.size() < 2 || args.size() % 2 != 0) return false;
    auto pupi = ParseHex(args[1]);
    if (!pupi || pupi->size() != 4) return false;
    TypeBCard card;
    std::copy(pupi->begin(), pupi->end(), card.pupi.begin());
    for (std::size_t i = 2; i < args.size(); i += 2) {
        auto value = ParseHex(args[i + 1]);
        if (!value || value->size() != 8) return false;
        if (args[i] == "id") {
            card.idNumber = *value;
        } else if (args[i] == "file") {
            card.fileId = *value;
        } else {
            return false;
        }
    }
    // An identity card has both, or it is not one.
    if (card.idNumber.empty() != card.fileId.empty()) return false;
    Place(std::move(card));
    return true;
}

} // namespace usbsim
