// Decompression throughput of a skin archive of about 1 MB of skin-like content: bitmaps
// (gradients, bevels, magenta transparency, a little dither) and ini text.

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "skin_archive/SkinRead.h"
#include "skinpack/SkinPack.h"

namespace {

using Pixel = std::uint32_t; // 0x00RRGGBB

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

template <class PixelAt> std::vector<std::uint8_t> Bitmap(int width, int height, PixelAt pixelAt) {
    const int row = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, static_cast<std::uint32_t>(54 + row * height), 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(width), 4);
    PutLe(out, static_cast<std::uint32_t>(height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, static_cast<std::uint32_t>(row * height), 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) PutLe(out, pixelAt(x, y), 3);
        for (int pad = width * 3; pad < row; ++pad) out.push_back(0);
    }
    return out;
}

Pixel Mix(Pixel a, Pixel b, int num, int den) {
    Pixel out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= static_cast<Pixel>(ca + (cb - ca) * num / den) << shift;
    }
    return out;
}

std::vector<TArchiveEntry> SkinLikeEntries(std::size_t target) {
    std::mt19937 random(7);
    std::vector<TArchiveEntry> entries;
    std::string ini = "[Skin]\r\nName=Bench\r\nVersion=2\r\n\r\n[Colours]\r\n";
    for (int i = 0; i < 30; ++i)
        ini += "Colour" + std::to_string(i) + "=0x" + std::to_string(100000 + i * 7919) + "\r\n";
    entries.push_back({"bench.ini", {}});

    std::size_t total = 0;
    for (int n = 0; total < target; ++n) {
        const int frames = 1 + n % 5;
        const int width = (24 + (n * 13) % 60) * frames, height = 16 + (n * 7) % 40;
        const Pixel top = random() & 0xFFFFFF, bottom = random() & 0xFFFFFF, side = random() & 0xFFFFFF;
        const int corner = 3 + n % 4;
        auto pixelAt = [&](int x, int y) -> Pixel {
            const int fx = x % (width / frames);
            const int fw = width / frames;
            if ((fx < corner && y < corner - fx) || (fx >= fw - corner && y < corner - (fw - 1 - fx)))
                return 0xFF00FF; // transparent corner
            if (fx == 0 || y == 0) return 0xFFFFFF;
            if (fx == fw - 1 || y == height - 1) return 0x404040;
            Pixel p = Mix(top, bottom, y, height);
            if (n % 3 == 0) p = Mix(p, side, fx, fw); // caption-like strips shade sideways
            if (n % 2 == 0 && (x * 7 + y * 3) % 11 == 0) p ^= 0x010101 * (1 + (x + y) % 3); // dither
            return p;
        };
        std::string name = "element" + std::to_string(n) + ".bmp";
        entries.push_back({name, Bitmap(width, height, pixelAt)});
        total += entries.back().Data.size();
        ini += "\r\n[Element" + std::to_string(n) + "]\r\nBitmap=" + name +
               "\r\nFrameCount=" + std::to_string(frames) + "\r\nLeftWidth=" + std::to_string(corner) +
               "\r\nTopHeight=3\r\nRightWidth=" + std::to_string(corner) +
               "\r\nBottomHeight=3\r\nTrans=1\r\nTile=" + std::to_string(n % 2) + "\r\n";
    }
    entries[0].Data.assign(ini.begin(), ini.end());
    return entries;
}

} // namespace

int main() {
    const auto entries = SkinLikeEntries(1000000);
    const auto archive = PackArchive(entries);
    const std::size_t image = BuildArchiveImage(entries).size();

    using Clock = std::chrono::steady_clock;
    int runs = 0;
    const auto start = Clock::now();
    auto elapsed = Clock::duration::zero();
    while (runs < 5 || elapsed < std::chrono::seconds(2)) {
        TSkinReader reader;
        TByteStream stored(archive);
        if (!reader.OpenArchive(stored)) {
            std::fprintf(stderr, "archive refused\n");
            return 1;
        }
        ++runs;
        elapsed = Clock::now() - start;
    }
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const double mbps = static_cast<double>(image) * runs / seconds / 1e6;
    std::printf("skin archive: %zu entries, %zu bytes decompressed from %zu (ratio %.1f)\n", entries.size(),
                image, archive.size(), static_cast<double>(image) / static_cast<double>(archive.size()));
    std::printf("decompression: %.1f MB/s (%d runs, target >= 80 MB/s)\n", mbps, runs);
    return 0;
}
