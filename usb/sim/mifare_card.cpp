#include "sim/mifare_card.h"

#include <algorithm>

namespace usbsim {

namespace {

// S70: 32 small sectors of 4 blocks, then 8 large ones of 16.
constexpr std::size_t kSmallSectorBlocks = 4;
constexpr std::size_t kLargeSectorBlocks = 16;
constexpr std::size_t kSmallSectors = 32;
constexpr std::size_t kSmallSectorsEnd = kSmallSectors * kSmallSectorBlocks;

constexpr std::size_t BlocksOf(MifareKind kind) {
    return kind == MifareKind::S50 ? 64 : 256;
}

// Transport configuration: every block open to both keys.
constexpr std::uint8_t kAccessBits[] = {0xFF, 0x07, 0x80, 0x69};
constexpr std::size_t kKeyBAt = 10;

// What follows UID and BCC in block 0: SAK, ATQA and the maker's bytes.
constexpr std::uint8_t kS50Manufacturer[] = {0x08, 0x04, 0x00, 0x62, 0x63, 0x64,
                                             0x65, 0x66, 0x67, 0x68, 0x69};
constexpr std::uint8_t kS70Manufacturer[] = {0x18, 0x02, 0x00, 0x62, 0x63, 0x64,
                                             0x65, 0x66, 0x67, 0x68, 0x69};

} // namespace

MifareCard::MifareCard(ByteView uid, MifareKind kind, const MifareKey& keyA, const MifareKey& keyB)
    : uid_(uid.begin(), uid.end()), blocks_(BlocksOf(kind), Block{}) {
    Block& maker = blocks_[0];
    std::copy(uid.begin(), uid.end(), maker.begin());
    maker[kUidSize] = XorOf(uid);
    const ByteView rest = kind == MifareKind::S50 ? ByteView(kS50Manufacturer) : ByteView(kS70Manufacturer);
    std::copy(rest.begin(), rest.end(), maker.begin() + kUidSize + 1);

    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        if (!IsTrailer(block)) continue;
        Block& trailer = blocks_[block];
        std::copy(keyA.begin(), keyA.end(), trailer.begin());
        std::copy(std::begin(kAccessBits), std::end(kAccessBits), trailer.begin() + keyA.size());
        std::copy(keyB.begin(), keyB.end(), trailer.begin() + kKeyBAt);
    }
}

std::size_t MifareCard::SectorCount() const {
    if (blocks_.size() <= kSmallSectorsEnd) return blocks_.size() / kSmallSectorBlocks;
    return kSmallSectors + (blocks_.size() - kSmallSectorsEnd) / kLargeSectorBlocks;
}

std::size_t MifareCard::SectorOfBlock(std::size_t block) const {
    if (block < kSmallSectorsEnd) return block / kSmallSectorBlocks;
    return kSmallSectors + (block - kSmallSectorsEnd) / kLargeSectorBlocks;
}

std::size_t MifareCard::FirstBlockOfSector(std::size_t sector) const {
    if (sector < kSmallSectors) return sector * kSmallSectorBlocks;
    return kSmallSectorsEnd + (sector - kSmallSectors) * kLargeSectorBlocks;
}

std::size_t MifareCard::TrailerOfBlock(std::size_t block) const {
    const std::size_t sector = SectorOfBlock(block);
    return (sector + 1 < SectorCount() ? FirstBlockOfSector(sector + 1) : blocks_.size()) - 1;
}

bool MifareCard::IsTrailer(std::size_t block) const {
    return block == TrailerOfBlock(block);
}

bool MifareCard::Authenticate(std::size_t block, bool useKeyB, ByteView key) const {
    if (block >= blocks_.size() || key.size() != MifareKey{}.size()) return false;
    const auto stored = blocks_[TrailerOfBlock(block)].begin() + (useKeyB ? kKeyBAt : 0);
    return std::equal(key.begin(), key.end(), stored);
}

Bytes MifareCard::ReadBlock(std::size_t block) const {
    Bytes bytes(blocks_[block].begin(), blocks_[block].end());
    if (IsTrailer(block)) std::fill(bytes.begin(), bytes.begin() + MifareKey{}.size(), 0);
    return bytes;
}

bool MifareCard::WriteBlock(std::size_t block, ByteView sixteenBytes) {
    if (block == 0) return false;
    std::copy(sixteenBytes.begin(), sixteenBytes.end(), blocks_[block].begin());
    return true;
}

void MifareCard::InitValue(std::size_t block, std::int32_t value) {
    const Bytes plain = ValueBytes(value);
    const Bytes inverted = ValueBytes(~value);
    Block& b = blocks_[block];
    std::copy(plain.begin(), plain.end(), b.begin());
    std::copy(inverted.begin(), inverted.end(), b.begin() + 4);
    std::copy(plain.begin(), plain.end(), b.begin() + 8);
    const auto address = static_cast<std::uint8_t>(block);
    b[12] = address;
    b[13] = static_cast<std::uint8_t>(~address);
    b[14] = address;
    b[15] = static_cast<std::uint8_t>(~address);
}

std::optional<std::int32_t> MifareCard::Value(std::size_t block) const {
    const ByteView b(blocks_[block]);
    const std::int32_t value = ValueFromBytes(b.subspan(0, 4));
    const bool consistent = ValueFromBytes(b.subspan(4, 4)) == ~value &&
                            ValueFromBytes(b.subspan(8, 4)) == value && b[12] == b[14] && b[13] == b[15] &&
                            b[12] == static_cast<std::uint8_t>(~b[13]);
    if (!consistent) return std::nullopt;
    return value;
}

std::int32_t MifareCard::ValueFromBytes(ByteView fourBytes) {
    std::uint32_t value = 0;
    for (std::size_t i = kValueSize; i-- > 0;) value = value << 8 | fourBytes[i];
    return static_cast<std::int32_t>(value);
}

Bytes MifareCard::ValueBytes(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    Bytes bytes;
    for (std::size_t i = 0; i < kValueSize; ++i) bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    return bytes;
}

} // namespace usbsim
