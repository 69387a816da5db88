// Feeds arbitrary bytes to the card-record reader in blocks, as the serial port hands them over: the
// text grows block by block until a record of a known type is whole. Each block is a length byte and
// its bytes.

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
        const tagconsole::CardType* card = tagconsole::CardTypeOf(replyHex);
        if (!card) continue;
        Check(replyHex.substr(2, 2) == card->type);
        const std::optional<std::wstring> id = tagconsole::CardIdOf(replyHex, *card);
        if (!id) {
            Check(replyHex.size() < 4 + card->idDigits);
            continue;
        }
        Check(id->size() == card->idDigits && replyHex.substr(4, id->size()) == *id);
        replyHex.clear();
    }
    return 0;
}
