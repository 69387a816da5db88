// The layout of a bitmap file held in memory, read without the system: what a loader hands to GDI
// (header, colour table, masks, where the pixels are) and the size of the picture it makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct TBmpLayout {
    // Compression codes of the file's info header.
    static constexpr std::uint32_t Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3;

    int Width = 0;
    int Height = 0;       // always positive
    bool TopDown = false; // the file's height was negative
    int Bits = 0;         // bits per pixel in the file
    std::uint32_t Compression = Rgb;
    std::uint32_t RleBytes = 0; // the compressed pixel data's size (RLE only)
    unsigned ColorCount = 0;
    std::uint8_t Colors[256][4] = {}; // blue, green, red, 0
    bool HasMasks = false;
    std::uint32_t Masks[3] = {};
    std::size_t PixelOffset = 0;  // from the start of the file
    std::size_t SourceStride = 0; // bytes per row in the file (uncompressed)
    int OutBits = 24;             // the picture made from it: 24 bits, or 32 for 32-bit files
    std::size_t OutStride = 0;
    unsigned long long OutBytes = 0; // pixel memory of that picture

    bool IsRle() const { return Compression == Rle8 || Compression == Rle4; }
    // Rows already in the layout of the picture made from them: copied, not converted.
    bool IsPlain() const { return Compression == Rgb && (Bits == 24 || Bits == 32); }
};

// The largest picture a bitmap file may describe; a file claiming more is refused.
constexpr unsigned long long kMaxBitmapBytes = 512ull * 1024 * 1024;

// The layout of the file, or nothing when it is not a bitmap file this loader reads (a size or an
// offset that does not fit the data included).
std::optional<TBmpLayout> ReadBmpLayout(const std::uint8_t* data, std::size_t size);

// Copies the rows of a plain file into a bottom-up picture of OutStride bytes per row.
void CopyPlainBmpRows(const TBmpLayout& layout, const std::uint8_t* data, std::uint8_t* pixels);
