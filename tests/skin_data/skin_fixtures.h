#pragma once
// Builders of bitmaps and skin archives for the skin data tests, and a fixture that leaves no
// skin manager behind.

#include <gtest/gtest.h>

#include <framework/graphics.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"
#include "skinpack/SkinPack.h"

using Bytes = std::vector<std::uint8_t>;
constexpr TColor Magenta = 0xFF00FF;

// A 24-bit bitmap whose pixel (x, y) is colourAt(x, y) (0x00BBGGRR).
inline std::unique_ptr<TBitmap> MakeBitmap(int w, int h,
                                           const std::function<TColor(int x, int y)>& colourAt) {
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const TColor c = colourAt(x, y);
            row[3 * x] = static_cast<std::uint8_t>(c >> 16);
            row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(c);
        }
    }
    return b;
}

inline std::unique_ptr<TBitmap> SolidBitmap(int w, int h, TColor c) {
    return MakeBitmap(w, h, [c](int, int) { return c; });
}

// Pixel (x, y) of a 24- or 32-bit bitmap as 0x00BBGGRR.
inline TColor PixelOf(TBitmap& b, int x, int y) {
    const int step = b.PixelFormat() == pf24bit ? 3 : 4;
    const std::uint8_t* p = b.ScanLine(y) + step * x;
    return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
}

inline Bytes BmpFile(TBitmap& b) {
    TMemoryStream out;
    b.SaveToStream(out);
    return out.Bytes();
}

inline Bytes BmpFile(int w, int h, TColor c) {
    return BmpFile(*SolidBitmap(w, h, c));
}

// A skin archive of one ini (named test.ini) and the given bitmap entries.
inline Bytes SkinArchive(const std::string& ini, std::vector<TArchiveEntry> bitmaps = {}) {
    std::vector<TArchiveEntry> entries{{"test.ini", Bytes(ini.begin(), ini.end())}};
    for (auto& b : bitmaps) entries.push_back(std::move(b));
    return PackArchive(entries);
}

// Puts archive into the component's skin stream and parses it.
inline bool LoadArchive(TSkinData& data, const Bytes& archive) {
    data.SkinStream()->Clear();
    data.SkinStream()->WriteBuffer(archive.data(), static_cast<std::int64_t>(archive.size()));
    return data.ParseSkin();
}

// Every test starts without a skin manager and leaves none behind.
class SkinTest : public testing::Test {
protected:
    void SetUp() override { FreeSkinManager(); }
    void TearDown() override { FreeSkinManager(); }
};
