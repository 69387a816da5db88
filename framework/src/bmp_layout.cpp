#include <framework/bmp_layout.h>

#include <cstring>

namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

std::optional<TBmpLayout> ReadBmpLayout(const std::uint8_t* data, std::size_t size) {
    if (!data || size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return std::nullopt;
    const std::uint8_t* header = data + 14;
    const std::size_t available = size - 14;
    const std::uint32_t headerSize = ReadU32(header);
    if (headerSize < 12 || headerSize > available) return std::nullopt;

    TBmpLayout l;
    std::size_t tableOffset = headerSize;
    int entrySize = 4;
    std::int32_t height = 0;
    std::int64_t width = 0;
    unsigned planes = 0, clrUsed = 0;
    std::uint32_t sizeImage = 0;
    if (headerSize == 12) { // the old core header
        width = ReadU16(header + 4);
        height = static_cast<std::int16_t>(ReadU16(header + 6));
        planes = ReadU16(header + 8);
        l.Bits = ReadU16(header + 10);
        l.Compression = TBmpLayout::Rgb;
        entrySize = 3;
    } else {
        if (headerSize < 40) return std::nullopt;
        width = static_cast<std::int32_t>(ReadU32(header + 4));
        height = static_cast<std::int32_t>(ReadU32(header + 8));
        planes = ReadU16(header + 12);
        l.Bits = ReadU16(header + 14);
        l.Compression = ReadU32(header + 16);
        sizeImage = ReadU32(header + 20);
        clrUsed = ReadU32(header + 32);
        if (l.Compression == TBmpLayout::BitFields) {
            if (headerSize >= 52) {
                for (int i = 0; i < 3; ++i) l.Masks[i] = ReadU32(header + 40 + 4 * i);
            } else {
                if (available < headerSize + 12) return std::nullopt;
                for (int i = 0; i < 3; ++i) l.Masks[i] = ReadU32(header + headerSize + 4 * i);
                tableOffset += 12;
            }
            l.HasMasks = true;
        }
    }
    const int bits = l.Bits;
    const long long rows = height < 0 ? -static_cast<long long>(height) : height;
    if (planes != 1 || width <= 0 || rows <= 0 || width > 0x7FFF'FFFF / 32) return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
    const std::uint32_t c = l.Compression;
    if (!(c == TBmpLayout::Rgb || (l.HasMasks && (bits == 16 || bits == 32)) ||
          (c == TBmpLayout::Rle8 && bits == 8) || (c == TBmpLayout::Rle4 && bits == 4)))
        return std::nullopt;
    if (l.IsRle() && height < 0) return std::nullopt;
    const unsigned long long srcStride = ((static_cast<unsigned long long>(width) * bits + 31) / 32) * 4;
    l.OutBits = bits == 32 ? 32 : 24;
    const unsigned long long outStride = ((static_cast<unsigned long long>(width) * l.OutBits + 31) / 32) * 4;
    l.OutBytes = outStride * static_cast<unsigned long long>(rows);
    if (l.OutBytes > kMaxBitmapBytes) return std::nullopt;

    // Colour table.
    if (bits <= 8) {
        l.ColorCount = clrUsed ? clrUsed : (1u << bits);
        if (l.ColorCount > (1u << bits)) return std::nullopt;
        if (tableOffset + static_cast<std::size_t>(l.ColorCount) * entrySize > available) return std::nullopt;
        for (unsigned i = 0; i < l.ColorCount; ++i) {
            const std::uint8_t* e = header + tableOffset + i * entrySize;
            l.Colors[i][0] = e[0];
            l.Colors[i][1] = e[1];
            l.Colors[i][2] = e[2];
        }
    }

    // Pixel data: at the offset the file header gives, or right after the colour table.
    std::size_t offset = ReadU32(data + 10);
    const std::size_t afterTable = 14 + tableOffset + static_cast<std::size_t>(l.ColorCount) * entrySize;
    if (offset == 0) offset = afterTable;
    if (offset < 14 + 12 || offset > size) return std::nullopt;
    const std::size_t pixelBytes = size - offset;
    if (l.IsRle()) {
        if (sizeImage == 0 || sizeImage > pixelBytes) return std::nullopt;
        l.RleBytes = sizeImage;
    } else {
        if (srcStride * static_cast<unsigned long long>(rows) > pixelBytes) return std::nullopt;
    }
    l.Width = static_cast<int>(width);
    l.Height = static_cast<int>(rows);
    l.TopDown = height < 0;
    l.PixelOffset = offset;
    l.SourceStride = static_cast<std::size_t>(srcStride);
    l.OutStride = static_cast<std::size_t>(outStride);
    return l;
}

void CopyPlainBmpRows(const TBmpLayout& layout, const std::uint8_t* data, std::uint8_t* pixels) {
    const std::size_t stride = layout.SourceStride;
    for (long long y = 0; y < layout.Height; ++y) {
        const long long source = layout.TopDown ? layout.Height - 1 - y : y;
        std::memcpy(pixels + y * stride, data + layout.PixelOffset + source * stride, stride);
    }
}
