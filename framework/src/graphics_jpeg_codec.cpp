#include "graphics_jpeg_codec.h"

#include <memory>

namespace jpeg_codec {
namespace {

struct BitmapDeleter {
    void operator()(HBITMAP__* bitmap) const { DeleteObject(bitmap); }
};
using UniqueBitmap = std::unique_ptr<HBITMAP__, BitmapDeleter>;

} // namespace

DecodedJpeg DecodeJpeg(const std::uint8_t* data, std::size_t size) {
    UniqueBitmap bitmap;
    const JpegSize decoded = DecodeJpegPixels(data, size, [&](int width, int height, std::size_t) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height; // bottom-up, as every DIB of the framework
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || !bits)
            throw JpegFailure("Not enough memory for a " + std::to_string(width) + " x " +
                              std::to_string(height) + " picture");
        return static_cast<std::uint8_t*>(bits);
    });
    return DecodedJpeg{bitmap.release(), decoded.width, decoded.height};
}

} // namespace jpeg_codec
