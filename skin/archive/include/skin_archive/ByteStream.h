#pragma once
// A growable block of bytes with a read/write position: the stream type of the skin container.

#include <cstdint>
#include <span>
#include <vector>

class TByteStream {
public:
    TByteStream() = default;
    explicit TByteStream(std::span<const std::uint8_t> bytes) : FData(bytes.begin(), bytes.end()) {}
    explicit TByteStream(std::vector<std::uint8_t> bytes) : FData(std::move(bytes)) {}

    std::int64_t Size() const { return static_cast<std::int64_t>(FData.size()); }
    std::int64_t Position() const { return FPosition; }
    // Positions past the end are allowed; a later write fills the gap with zeros.
    void SetPosition(std::int64_t position) { FPosition = position < 0 ? 0 : position; }

    // Reads up to count bytes from the position; returns the count read (0 at the end).
    std::int64_t Read(void* buffer, std::int64_t count);
    // Writes count bytes at the position, growing the stream as needed.
    void Write(const void* buffer, std::int64_t count);
    void Clear();
    void Reserve(std::int64_t capacity);

    const std::uint8_t* Data() const { return FData.data(); }
    std::span<const std::uint8_t> Bytes() const { return FData; }

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FPosition = 0;
};
