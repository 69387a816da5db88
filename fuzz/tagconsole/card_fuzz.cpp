// Feeds arbitrary bytes to the card-record reader in blocks, as the serial port hands them over: the
// text grows block by block until a record of a known type is whole; records of other types are dropped. Each
// block is a length byte and its bytes.

#include <cstdlib>

#include <console_core/hex_text.h>

#include "card_record.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring replyHex;
    std::size_t at = 0;
    while (at < size) {
        const std::size_t wanted = data[at++];
        const std::size_t n = std::min(wanted, size - at);
        for (std::size_t i = 0; i < n; ++i) replyHex += core::HexByteText(data[at + i]);
        at += n;
        const std::optional<tagconsole::CardRecord> record = tagconsole::TakeCardRecord(replyHex);
        if (!record) {
            // Only a record still on its way is kept: its type byte, or a known type with its ID short.
            const tagconsole::CardType* card = tagconsole::CardTypeOf(replyHex);
            Check(replyHex.size() < 4 || (card && !tagconsole::CardIdOf(replyHex, *card)));
            continue;
        }
        Check(replyHex.empty() && record->id.size() == record->card->idDigits);
    }
    return 0;
}
