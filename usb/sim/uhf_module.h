// The UHF module inside the card reader, reached through reader command 0xCE: frames
// BB type command PL(2) parameters sum 7E over a field of EPC Gen2 tags.
#pragma once

#include <deque>

#include "sim/bytes.h"

namespace usbsim {

namespace uhf {
inline constexpr std::uint8_t kHeader = 0xBB;
inline constexpr std::uint8_t kEnd = 0x7E;
inline constexpr std::uint8_t kTypeResponse = 0x01;
inline constexpr std::uint8_t kTypeNotice = 0x02;
inline constexpr std::uint8_t kInventory = 0x22;
inline constexpr std::uint8_t kSelect = 0x0C;
inline constexpr std::uint8_t kRead = 0x39;
inline constexpr std::uint8_t kWrite = 0x49;
inline constexpr std::uint8_t kError = 0xFF;

// Codes of the module's error frame BB 01 FF 00 01 code sum 7E.
inline constexpr std::uint8_t kErrReadFailed = 0x09;   // nothing selected, or the tag is gone
inline constexpr std::uint8_t kErrWriteFailed = 0x10;  // nothing selected, or the tag is gone
inline constexpr std::uint8_t kErrNoTag = 0x15;        // inventory found no tag
inline constexpr std::uint8_t kErrAccess = 0x16;       // wrong access password
inline constexpr std::uint8_t kErrCommand = 0x17;      // malformed frame or parameters
inline constexpr std::uint8_t kErrReadOverrun = 0xA3;  // read beyond the bank
inline constexpr std::uint8_t kErrWriteOverrun = 0xB3; // write beyond the bank

inline constexpr std::uint8_t kRssi = 0xC8;

// Bank sizes in 16-bit words. The EPC bank holds CRC, PC and up to 31 EPC words.
inline constexpr std::size_t kReservedWords = 4;
inline constexpr std::size_t kEpcBankWords = 33;
inline constexpr std::size_t kMaxEpcBytes = (kEpcBankWords - 2) * 2;
inline constexpr std::size_t kUserWords = 32;
} // namespace uhf

// Low byte of the sum of type, command, both PL bytes and the parameters.
std::uint8_t UhfChecksum(ByteView bytesAfterHeader);

// A whole module frame for a type, command and parameters.
Bytes BuildUhfFrame(std::uint8_t type, std::uint8_t command, ByteView params);

// Memory of one tag, bank by bank (0 reserved, 1 EPC, 2 TID, 3 user), as bytes, most
// significant byte of each word first.
struct UhfTag {
    Bytes banks[4];

    std::uint16_t Pc() const { return Word(banks[1], 2); }
    std::uint16_t StoredCrc() const { return Word(banks[1], 0); }
    // The EPC as the PC's length field gives it.
    Bytes Epc() const;
    Bytes AccessPassword() const { return Bytes(banks[0].begin() + 4, banks[0].begin() + 8); }
    // What a tag does at power-up: CRC-16 over PC and EPC into word 0 of the EPC bank.
    void RecomputeCrc();
};

struct UhfTagOptions {
    std::optional<Bytes> accessPassword; // 4 bytes
    std::optional<Bytes> killPassword;   // 4 bytes
    std::optional<std::uint16_t> pc;
    std::optional<Bytes> tid;  // whole words
    std::optional<Bytes> user; // whole words, at most the user bank
};

// nullopt when the EPC is not whole words, longer than the bank holds, or an option
// does not fit.
std::optional<UhfTag> MakeUhfTag(ByteView epc, const UhfTagOptions& options = {});
UhfTag DefaultUhfTag();

class UhfModule {
public:
    UhfModule() { Reset(); }

    // One module frame in, the module's reply frame out.
    Bytes Handle(ByteView frame);

    // Default field, empty waiting line, no dwell, no selection.
    void Reset();
    void ClearField();
    void AddTag(UhfTag tag) { field_.push_back(std::move(tag)); }
    void QueueTag(UhfTag tag) { waiting_.push_back(std::move(tag)); }
    // After every `inventories` inventories the field becomes the next waiting tag alone.
    void SetDwell(int inventories);

    const std::vector<UhfTag>& Field() const { return field_; }

private:
    struct Selection {
        int bank = 1;
        std::uint32_t bitPointer = 0;
        int bitCount = 0;
        Bytes mask;
    };

    Bytes Inventory(ByteView params);
    Bytes Select(ByteView params);
    Bytes Read(ByteView params);
    Bytes Write(ByteView params);
    UhfTag* SelectedTag();
    static bool Matches(const UhfTag& tag, const Selection& selection);

    std::vector<UhfTag> field_;
    std::deque<UhfTag> waiting_;
    std::size_t nextToAnswer_ = 0;
    int dwell_ = 0;
    int answeredSinceSwap_ = 0;
    std::optional<Selection> selection_;
};

} // namespace usbsim
