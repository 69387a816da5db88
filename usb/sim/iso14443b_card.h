// The ISO 14443 type B side of the card reader: at most one type B card in its field, which may
// be a second-generation resident identity card with its card number and file ID.
//
// Reader commands: 09 request (answer: the ATQB's length, then the ATQB), 0B Attrib + PUPI,
// 0C reset (answer: the PUPI), 0D n + n bytes passed to the card (answer: the card's answer),
// 26 and 27 the identity card's number and file ID (answer: 08, then the eight bytes).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "sim/frame.h"

namespace usbsim {

namespace typeb {
inline constexpr std::uint8_t kRequest = 0x09;
inline constexpr std::uint8_t kAttrib = 0x0B;
inline constexpr std::uint8_t kReset = 0x0C;
inline constexpr std::uint8_t kSendData = 0x0D;
inline constexpr std::uint8_t kIdNumber = 0x26;
inline constexpr std::uint8_t kFileId = 0x27;

// Failure reasons of this side of the reader.
inline constexpr std::uint8_t kNoAnswer = 0x82;     // the card did not answer in time
inline constexpr std::uint8_t kNoCard = 0x83;       // no card in the field
inline constexpr std::uint8_t kWrongPupi = 0x8B;    // Attrib named another card
inline constexpr std::uint8_t kNotSupported = 0x90; // not an identity card
} // namespace typeb

struct TypeBCard {
    std::array<std::uint8_t, 4> pupi{};
    std::array<std::uint8_t, 4> applicationData{0x00, 0x00, 0x00, 0x00};
    std::array<std::uint8_t, 3> protocolInfo{0x00, 0x81, 0x71};
    // Both set for a resident identity card, both empty for any other type B card.
    Bytes idNumber;
    Bytes fileId;

    // 50, PUPI, application data, protocol info.
    Bytes Atqb() const;
    bool IsIdentityCard() const { return !idNumber.empty(); }
};

// The identity card in the field of a new reader.
TypeBCard DefaultTypeBCard();

class TypeBField {
public:
    enum class CardState { Ready, Active, Halted };

    TypeBField() { Reset(); }

    // The default card in the field, just powered.
    void Reset();
    void Clear() { card_.reset(); }
    void Place(TypeBCard card);

    // The answer to a type B command; nullopt for any other command.
    std::optional<Answer> Execute(std::uint8_t command, ByteView data);

    // A control line's words after "typeb": "none", "default", or
    // "card <PUPI> [id <8 bytes>] [file <8 bytes>]" (hex). False when the line is malformed.
    bool Control(const std::vector<std::string>& args);

    const std::optional<TypeBCard>& Card() const { return card_; }
    CardState State() const { return state_; }

private:
    Answer Attrib(ByteView data);
    Answer SendToCard(ByteView data);
    Bytes CardAnswer(ByteView command);

    std::optional<TypeBCard> card_;
    CardState state_ = CardState::Ready;
    std::uint8_t challengeCounter_ = 0;
};

} // namespace usbsim
