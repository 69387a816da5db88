// The ISO 14443 type A cards in the card reader's field and the reader commands that reach them:
// block, value and card-number commands for the Mifare-like card, page commands for the
// Ultralight-like card, and the halt that both obey. A halted card answers only a request for
// all cards ("All"), which wakes it again.
#pragma once

#include "sim/frame.h"
#include "sim/mifare_card.h"
#include "sim/ultralight_card.h"

#include <string>
#include <vector>

namespace usbsim {

namespace typea {
// Reasons of the card commands' failure replies.
inline constexpr std::uint8_t kNoCard = 0x83;
inline constexpr std::uint8_t kNotValueBlock = 0x8A;
inline constexpr std::uint8_t kAuthFailed = 0x8C;
inline constexpr std::uint8_t kNoSuchBlock = 0x93;
inline constexpr std::uint8_t kLocked = 0x94;
inline constexpr std::uint8_t kWriteFailed = 0x96;

// The cards a new reader has in its field.
inline constexpr std::uint8_t kDefaultMifareUid[] = {0x5D, 0x2E, 0x8A, 0x13};
inline constexpr std::uint8_t kDefaultUltralightUid[] = {0x04, 0x6A, 0x3B, 0x12, 0xC9, 0x5E, 0x80};
inline constexpr MifareKey kDefaultKey = {0x3C, 0x5A, 0x17, 0xE2, 0x94, 0x0B};
} // namespace typea

class TypeAField {
public:
    TypeAField() { Reset(); }

    // One S50 card and one Ultralight card, both fresh and awake.
    void Reset();

    // The answer to one of the card commands; nullopt for any other command.
    std::optional<Answer> Execute(std::uint8_t command, ByteView data);

    // Control lines, split into words:
    //   mifare <UID 8 hex> [s50|s70] [keya <12 hex>] [keyb <12 hex>]   a fresh card enters the field
    //   mifare off                                                       it leaves
    //   ultralight <UID 14 hex> | ultralight off
    // False when the line is malformed.
    bool Control(const std::vector<std::string>& words);

private:
    template <class Card> struct InField {
        Card card;
        bool halted = false;
    };

    // The card when it answers a request: always when awake, when halted only to a request for
    // all cards, which wakes it.
    template <class Card> Card* Answering(std::optional<InField<Card>>& slot, bool all);

    Answer ReadBlocks(ByteView data);
    Answer WriteBlocks(ByteView data);
    Answer InitValue(ByteView data);
    Answer ChangeValue(ByteView data, int sign);
    Answer CardNumber(ByteView data);
    Answer Halt(ByteView data);
    Answer UltralightSerial(ByteView data);
    Answer UltralightRead(ByteView data);
    Answer UltralightWrite(ByteView data);

    std::optional<InField<MifareCard>> mifare_;
    std::optional<InField<UltralightCard>> ultralight_;
};

} // namespace usbsim
