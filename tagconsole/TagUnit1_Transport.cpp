// tagconsole's USB transport and the card records that arrive on the serial port.
#include "TagUnit1.h"

#include "card_record.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>

#include <windows.h>

#include <string_view>

namespace tagconsole {

namespace {

constexpr std::wstring_view WriteFailedText = L"Non data receiving,Please check the equipment....";

} // namespace

void TForm1::SendHex(const String& frame) {
    RefuseWhileAwaitingReply();
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
    const std::optional<CardRecord> record = TakeCardRecord(ReplyHex);
    // Part of the record is still on its way: the next block completes it.
    if (!record) return;
    AddLog(String(record->card->detected));
    AddLog(String(record->card->idLabel) + record->id + String(core::LineEnd));
}

} // namespace tagconsole
