#include "skin_data/ImgUtil.h"

#include <cstring>
#include <vector>

namespace {

constexpr int kPixel = 3; // blue, green, red

// Builds the transformed picture in a second bitmap and hands it back: pick(x, y) gives the old
// pixel that lands on new pixel (x, y) of a newWidth x newHeight picture.
template <class Pick> void Transform(TBitmap& bitmap, int newWidth, int newHeight, Pick pick) {
    TBitmap result(newWidth, newHeight, pf24bit);
    for (int y = 0; y < newHeight; ++y) {
        std::uint8_t* out = result.ScanLine(y);
        for (int x = 0; x < newWidth; ++x) {
            const std::uint8_t* in = pick(x, y);
            std::memcpy(out + x * kPixel, in, kPixel);
        }
    }
    // The picture itself changes hands: a copy would cost another section and two blits.
    bitmap.SetHandle(result.ReleaseHandle());
}

// Row pointers of the source, read once: ScanLine flushes GDI on every call.
std::vector<const std::uint8_t*> Rows(TBitmap& bitmap) {
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y) rows[static_cast<std::size_t>(y)] = bitmap.ScanLine(y);
    return rows;
}

bool Prepare(TBitmap& bitmap) {
    if (bitmap.Empty()) return false;
    bitmap.SetPixelFormat(pf24bit);
    return true;
}

} // namespace

void GrayscaleBitmap(TBitmap& bitmap) {
    bitmap.SetPixelFormat(pf24bit);
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += kPixel) {
            const auto mean = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
            p[0] = p[1] = p[2] = mean;
        }
    }
}

void MirrorBitmap(TBitmap& bitmap) {
    if (!Prepare(bitmap)) return;
    const int w = bitmap.Width();
    const auto rows = Rows(bitmap);
    Transform(bitmap, w, bitmap.Height(), [&](int x, int y) { return rows[y] + (w - 1 - x) * kPixel; });
}

void FlipBitmap(TBitmap& bitmap) {
    if (!Prepare(bitmap)) return;
    const int h = bitmap.Height();
    const auto rows = Rows(bitmap);
    Transform(bitmap, bitmap.Width(), h, [&](int x, int y) { return rows[h - 1 - y] + x * kPixel; });
}

void RotateBitmapLeft(TBitmap& bitmap) {
    if (!Prepare(bitmap)) return;
    const int w = bitmap.Width(), h = bitmap.Height();
    const auto rows = Rows(bitmap);
    // New (nx, ny) came from old (w - 1 - ny, nx).
    Transform(bitmap, h, w, [&](int nx, int ny) { return rows[nx] + (w - 1 - ny) * kPixel; });
}

void RotateBitmapRight(TBitmap& bitmap) {
    if (!Prepare(bitmap)) return;
    const int h = bitmap.Height();
    const auto rows = Rows(bitmap);
    // New (nx, ny) came from old (ny, h - 1 - nx).
    Transform(bitmap, h, bitmap.Width(), [&](int nx, int ny) { return rows[h - 1 - nx] + ny * kPixel; });
}
