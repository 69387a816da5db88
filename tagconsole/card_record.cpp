#include "card_record.h"

#include <console_core/reply.h>

namespace tagconsole {
namespace {

constexpr CardType CardTypes[] = {
    {L"01", 8, L"检测到S50/S70卡", L"卡的ID号码为： "},
    {L"02", 14, L"检测到Ultralight/desfire卡", L"卡的ID号码为： "},
    {L"03", 8, L"检测到ISO 14443 B卡", L"卡的ID号码为： "},
    {L"04", 16, L"中华人民共和国第二代身份证..", L"身份证卡的ID号码为： "},
    {L"05", 16, L"检测到ISO 15693卡", L"卡的ID号码为： "},
};
constexpr std::size_t CardTypeField = 3;
constexpr std::size_t CardIdField = 5;
constexpr std::size_t ByteDigits = 2;

// Where the next record may begin after the one at the front: the first later byte followed by a
// known type, else the last byte (its type may be in the next block).
std::size_t NextRecordStart(std::wstring_view replyHex) {
    const std::size_t bytes = replyHex.size() / ByteDigits;
    for (std::size_t at = 1; at + 1 < bytes; ++at)
        if (CardTypeOf(replyHex.substr(at * ByteDigits))) return at * ByteDigits;
    return bytes > 0 ? (bytes - 1) * ByteDigits : 0;
}

} // namespace

const CardType* CardTypeOf(std::wstring_view replyHex) {
    const std::wstring type = core::ReplyField(replyHex, CardTypeField, 2);
    for (const CardType& card : CardTypes)
        if (type == card.type) return &card;
    return nullptr;
}

std::optional<std::wstring> CardIdOf(std::wstring_view replyHex, const CardType& card) {
    if (replyHex.size() < CardIdField - 1 + card.idDigits) return std::nullopt;
    return core::ReplyField(replyHex, CardIdField, card.idDigits);
}

std::optional<CardRecord> TakeCardRecord(std::wstring& replyHex) {
    for (;;) {
        const CardType* card = CardTypeOf(replyHex);
        if (!card) {
            // The type byte is not here yet.
            if (replyHex.size() < CardIdField - 1) return std::nullopt;
            replyHex.erase(0, NextRecordStart(replyHex));
            continue;
        }
        std::optional<std::wstring> id = CardIdOf(replyHex, *card);
        if (!id) return std::nullopt;
        replyHex.clear();
        return CardRecord{card, std::move(*id)};
    }
}

} // namespace tagconsole
