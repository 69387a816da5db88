#include "picture.h"

#include "driver.h"

#include <framework/graphics.h>

#include <algorithm>
#include <cstdlib>

namespace e2e {

Picture MemoryMapOf(const char* exeUnixPath) {
    Picture picture;
    const std::wstring path = WindowsPath(exeUnixPath);
    HMODULE module =
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return picture;
    try {
        TResourceStream stream(module, L"MEMORY_MAP_JPG");
        TJPEGImage jpeg;
        jpeg.LoadFromStream(stream);
        picture.width = jpeg.Width();
        picture.height = jpeg.Height();
        picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, jpeg.Bitmap()->Handle());
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = GetPixel(dc, x, y);
        SelectObject(dc, old);
        DeleteDC(dc);
    } catch (const std::exception&) {
        picture = {};
    }
    FreeLibrary(module);
    return picture;
}

bool Close(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 24 && std::abs(GetGValue(a) - GetGValue(b)) <= 24 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 24;
}

std::vector<POINT> DistinctivePoints(const Picture& picture, int n) {
    std::vector<POINT> points;
    if (picture.pixels.empty()) return points;
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    std::vector<POINT> candidates;
    // A grid that avoids the edges, where a frame could cover the picture.
    for (int gy = 1; gy < 20; ++gy)
        for (int gx = 1; gx < 20; ++gx) {
            const int x = picture.width * gx / 20, y = 5 + (picture.height - 5) * gy / 20;
            if (!Close(picture.At(x, y), background)) candidates.push_back({x, y});
        }
    // Both light and dark points when the picture has them.
    auto brightness = [&](const POINT& p) {
        const COLORREF c = picture.At(p.x, p.y);
        return GetRValue(c) + GetGValue(c) + GetBValue(c);
    };
    std::vector<POINT> dark, light;
    for (const POINT& p : candidates) (brightness(p) < 384 ? dark : light).push_back(p);
    auto spread = [&](const std::vector<POINT>& from, std::size_t count) {
        count = std::min(count, from.size());
        for (std::size_t k = 0; k < count; ++k) points.push_back(from[from.size() * k / count]);
    };
    const std::size_t wanted = static_cast<std::size_t>(n);
    spread(dark, light.empty() ? wanted : wanted / 2);
    spread(light, wanted - points.size());
    return points;
}

} // namespace e2e
