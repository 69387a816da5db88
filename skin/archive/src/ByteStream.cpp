#include "skin_archive/ByteStream.h"

#include <algorithm>
#include <cstring>

std::int64_t TByteStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0 || FPosition >= Size()) return 0;
    const std::int64_t n = std::min(count, Size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

void TByteStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return;
    const std::int64_t end = FPosition + count;
    if (end > Size()) FData.resize(static_cast<std::size_t>(end));
    std::memcpy(FData.data() + FPosition, buffer, static_cast<std::size_t>(count));
    FPosition = end;
}

void TByteStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TByteStream::Reserve(std::int64_t capacity) {
    if (capacity > 0) FData.reserve(static_cast<std::size_t>(capacity));
}
