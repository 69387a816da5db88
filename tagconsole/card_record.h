// The card records that arrive on tagconsole's serial port: one leading byte, the type byte, then the
// card's ID, as hex text. No system calls, so the host builds it for fuzzing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tagconsole {

struct CardType {
    std::wstring_view type;
    std::size_t idDigits;
    std::wstring_view detected;
    std::wstring_view idLabel;
};

// The type a record's type byte names; nullptr for any other.
const CardType* CardTypeOf(std::wstring_view replyHex);
// The record's ID, or nothing while part of it is still on its way.
std::optional<std::wstring> CardIdOf(std::wstring_view replyHex, const CardType& card);

struct CardRecord {
    const CardType* card;
    std::wstring id;
};

// The record at the front of replyHex once it is whole; the text is then cleared, bytes behind the
// record included. A record of a type we do not know is dropped up to the next record start, so the
// records behind it still come.
std::optional<CardRecord> TakeCardRecord(std::wstring& replyHex);

} // namespace tagconsole
