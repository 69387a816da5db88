#include "sim/ultralight_card.h"

namespace usbsim {

namespace {

constexpr std::uint8_t kCascadeTag = 0x88;
constexpr std::uint8_t kInternal = 0x48;
constexpr std::size_t kLockPage = 2;
constexpr std::size_t kOtpPage = 3;
constexpr std::size_t kLock0 = 2; // byte of page 2
constexpr std::size_t kLock1 = 3;

} // namespace

UltralightCard::UltralightCard(ByteView uid) : uid_(uid.begin(), uid.end()) {
    pages_[0] = {uid[0], uid[1], uid[2], static_cast<std::uint8_t>(kCascadeTag ^ uid[0] ^ uid[1] ^ uid[2])};
    pages_[1] = {uid[3], uid[4], uid[5], uid[6]};
    pages_[kLockPage] = {XorOf(uid.subspan(3, 4)), kInternal, 0x00, 0x00};
}

Bytes UltralightCard::Read(std::size_t firstPage) const {
    Bytes bytes;
    for (std::size_t i = 0; i < kPagesPerRead; ++i) {
        const auto& page = pages_[(firstPage + i) % kPageCount];
        bytes.insert(bytes.end(), page.begin(), page.end());
    }
    return bytes;
}

// Lock byte 0: bit 3 locks page 3, bits 4-7 pages 4-7; lock byte 1: bits 0-7 pages 8-15.
bool UltralightCard::PageLocked(std::size_t page) const {
    const auto& locks = pages_[kLockPage];
    if (page >= 8) return (locks[kLock1] >> (page - 8)) & 1;
    if (page >= kOtpPage) return (locks[kLock0] >> page) & 1;
    return false;
}

UltralightCard::WriteResult UltralightCard::Write(std::size_t page, ByteView fourBytes) {
    if (page < kLockPage) return WriteResult::ReadOnly;
    if (PageLocked(page)) return WriteResult::Locked;
    auto& target = pages_[page];
    if (page == kLockPage) {
        // Only the lock bytes take the write, and only bits that are not set yet.
        target[kLock0] |= fourBytes[kLock0];
        target[kLock1] |= fourBytes[kLock1];
    } else if (page == kOtpPage) {
        for (std::size_t i = 0; i < kPageSize; ++i) target[i] |= fourBytes[i];
    } else {
        std::copy(fourBytes.begin(), fourBytes.end(), target.begin());
    }
    return WriteResult::Written;
}

} // namespace usbsim
