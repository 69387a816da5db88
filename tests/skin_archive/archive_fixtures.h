#pragma once
// Builders of hand-made streams and archive images for the skin container tests.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "skin_archive/ByteStream.h"
#include "skinpack/LzhEncoder.h"

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline void PutInt32(Bytes& out, std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// "1100 0101..." -> bytes, most significant bit first, padded with zero bits; blanks ignored.
inline Bytes BitsToBytes(const std::string& bits) {
    Bytes out;
    int count = 0;
    for (char c : bits) {
        if (c != '0' && c != '1') continue;
        if (count % 8 == 0) out.push_back(0);
        if (c == '1') out.back() |= static_cast<std::uint8_t>(0x80 >> (count % 8));
        ++count;
    }
    return out;
}

// A stored archive: declared size, then the stream.
inline Bytes WithSize(std::int64_t size, const Bytes& stream) {
    Bytes out;
    PutInt32(out, size);
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

inline Bytes Compress(const Bytes& image) {
    return WithSize(static_cast<std::int64_t>(image.size()), LzhEncode(image));
}

// A decompressed image laid out by hand, so that its directory can be wrong on purpose.
struct TRawImage {
    std::int32_t Version = 20000;
    std::string NameText;
    std::optional<std::int64_t> NameLength; // default: the length of NameText
    std::vector<std::int64_t> Sizes;
    Bytes Data;

    Bytes Build() const {
        Bytes out;
        PutInt32(out, Version);
        PutInt32(out, NameLength.value_or(static_cast<std::int64_t>(NameText.size())));
        PutInt32(out, 0);
        PutInt32(out, 0);
        out.insert(out.end(), NameText.begin(), NameText.end());
        for (auto size : Sizes) PutInt32(out, size);
        out.insert(out.end(), Data.begin(), Data.end());
        return out;
    }
};

inline TByteStream StreamOf(const Bytes& bytes) {
    return TByteStream(bytes);
}

inline std::string TextOf(const TByteStream& stream) {
    return std::string(reinterpret_cast<const char*>(stream.Data()), static_cast<std::size_t>(stream.Size()));
}
