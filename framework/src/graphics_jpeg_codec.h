// JPEG decoding into a 24-bit DIB section, shared by TJPEGImage and its tests.
#pragma once

#include <windows.h>

#include "graphics_jpeg_decode.h"

namespace jpeg_codec {

struct DecodedJpeg {
    HBITMAP bitmap = nullptr; // bottom-up 24-bit DIB section, owned by the caller
    int width = 0;
    int height = 0;
};

// Decodes a whole JPEG stream held in memory (see DecodeJpegPixels) into a new DIB section.
DecodedJpeg DecodeJpeg(const std::uint8_t* data, std::size_t size);

} // namespace jpeg_codec
