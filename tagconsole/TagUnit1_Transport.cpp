// tagconsole's USB transport and the card records that arrive on the serial port.
#include "TagUnit1.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>

#include <windows.h>

#include <string_view>

namespace tagconsole {

namespace {

constexpr std::wstring_view WriteFailedText = L"Non data receiving,Please check the equipment....";

// The card records of the serial port: one leading byte, the type byte, then the card's ID.
struct CardType {
    std::wstring_view type;
    std::size_t idDigits;
    std::wstring_view detected;
    std::wstring_view idLabel;
};

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

const CardType* KnownCardType(std::wstring_view type) {
    for (const CardType& card : CardTypes)
        if (type == card.type) return &card;
    return nullptr;
}

// Where the next record may begin after the one at the front: the first later byte followed by a
// known type, else the last byte (its type may be in the next block).
std::size_t NextRecordStart(const String& hex) {
    const std::size_t bytes = hex.size() / ByteDigits;
    for (std::size_t at = 1; at + 1 < bytes; ++at)
        if (KnownCardType(std::wstring_view(hex).substr((at + 1) * ByteDigits, ByteDigits)))
            return at * ByteDigits;
    return bytes > 0 ? (bytes - 1) * ByteDigits : 0;
}

} // namespace

void TForm1::SendHex(const String& frame) {
    const String kept = checkdata(frame);
    if (RadioButton4->Checked()) AddLog(L"发送..." + kept);
    if (!ExchangeWithReader(core::FrameTextToBytes(kept))) {
        AddLog(String(WriteFailedText));
        return;
    }
    if (RadioButton4->Checked()) AddLog(L"接收..." + ReplyHex);
}

void TForm1::Comm1ReceiveData(TObject*, void* Buffer, std::uint16_t BufferLength) {
    // ReplyHex is not cleared: a record may come in more than one block.
    const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
    String shown;
    for (std::size_t i = 0; bytes && i < BufferLength; ++i) {
        const String pair = core::HexByteText(bytes[i]);
        shown += L" " + pair;
        ReplyHex += pair;
    }
    if (RadioButton4->Checked()) AddLog(shown);
    if (RadioButton19->Checked()) checkcard();
}

void TForm1::checkcard() {
    for (;;) {
        const String type = core::ReplyField(ReplyHex, CardTypeField, 2);
        const CardType* card = KnownCardType(type);
        if (!card) {
            // No card of a type we know: drop what stands before the next record start, keeping a
            // last byte whose type may be on its way, so the records behind it still print.
            if (type.size() < 2) return;
            ReplyHex.erase(0, NextRecordStart(ReplyHex));
            continue;
        }
        // Part of the ID is still on its way: the next block completes it.
        if (ReplyHex.size() < CardIdField - 1 + card->idDigits) return;
        AddLog(String(card->detected));
        AddLog(String(card->idLabel) + core::ReplyField(ReplyHex, CardIdField, card->idDigits) +
               String(core::LineEnd));
        ReplyHex.clear();
        return;
    }
}

} // namespace tagconsole
