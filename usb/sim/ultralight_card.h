// An Ultralight-like card: sixteen 4-byte pages. Pages 0-2 hold the 7-byte serial number with its
// check bytes and the two lock bytes, page 3 is one-time programmable, pages 4-15 hold data.
#pragma once

#include "sim/bytes.h"

#include <array>

namespace usbsim {

class UltralightCard {
public:
    static constexpr std::size_t kPageSize = 4;
    static constexpr std::size_t kPageCount = 16;
    static constexpr std::size_t kUidSize = 7;
    // A read gives four pages, wrapping round from the last page to the first.
    static constexpr std::size_t kPagesPerRead = 4;

    enum class WriteResult { Written, ReadOnly, Locked };

    explicit UltralightCard(ByteView uid);

    const Bytes& Uid() const { return uid_; }
    Bytes Read(std::size_t firstPage) const;
    // Pages 0 and 1 are read-only; the lock bytes of page 2 and the bits of page 3 can only be
    // set, never cleared; a page whose lock bit is set refuses the write.
    WriteResult Write(std::size_t page, ByteView fourBytes);

private:
    bool PageLocked(std::size_t page) const;

    Bytes uid_;
    std::array<std::array<std::uint8_t, kPageSize>, kPageCount> pages_{};
};

} // namespace usbsim
