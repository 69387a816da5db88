// A Mifare-like memory card of the S50 (1 KB) or S70 (4 KB) kind: 16-byte blocks grouped in
// sectors, each sector closed by a trailer that holds its key A and key B, and value blocks that
// keep a signed 32-bit amount with its check copies.
#pragma once

#include "sim/bytes.h"

#include <array>

namespace usbsim {

enum class MifareKind { S50, S70 };

using MifareKey = std::array<std::uint8_t, 6>;

class MifareCard {
public:
    static constexpr std::size_t kBlockSize = 16;
    static constexpr std::size_t kUidSize = 4;
    static constexpr std::size_t kValueSize = 4;
    // The block of a sector that the value commands use.
    static constexpr std::size_t kValueBlockInSector = 1;

    // Factory state: manufacturer block, empty data blocks, every trailer with the given keys and
    // the transport access bits.
    MifareCard(ByteView uid, MifareKind kind, const MifareKey& keyA, const MifareKey& keyB);

    const Bytes& Uid() const { return uid_; }
    std::size_t BlockCount() const { return blocks_.size(); }
    std::size_t SectorCount() const;
    std::size_t SectorOfBlock(std::size_t block) const;
    std::size_t FirstBlockOfSector(std::size_t sector) const;
    bool IsTrailer(std::size_t block) const;

    // True when the key opens the block's sector (key B when `useKeyB`).
    bool Authenticate(std::size_t block, bool useKeyB, ByteView key) const;

    // A block as the card gives it: key A of a trailer reads as zeros.
    Bytes ReadBlock(std::size_t block) const;
    // False for the manufacturer block, which cannot be written.
    bool WriteBlock(std::size_t block, ByteView sixteenBytes);

    // A value block holds the value, its complement and the value again, then its address byte
    // four times (plain, complemented, plain, complemented).
    void InitValue(std::size_t block, std::int32_t value);
    std::optional<std::int32_t> Value(std::size_t block) const;

    // The four value bytes in the order the card stores them (least significant first).
    static std::int32_t ValueFromBytes(ByteView fourBytes);
    static Bytes ValueBytes(std::int32_t value);

private:
    std::size_t TrailerOfBlock(std::size_t block) const;

    using Block = std::array<std::uint8_t, kBlockSize>;
    Bytes uid_;
    std::vector<Block> blocks_;
};

} // namespace usbsim
