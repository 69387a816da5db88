#include "Raster.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::uint8_t Channel(int a, int b, int t) {
    return static_cast<std::uint8_t>(a + (b - a) * t / 256);
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, unsigned v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// File header and info header of a bottom-up bitmap without compression.
std::vector<std::uint8_t> BitmapHeaders(int width, int height, int bits, unsigned colours,
                                        unsigned imageSize) {
    std::vector<std::uint8_t> out;
    const unsigned offset = 14 + 40 + colours * 4;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(width));
    Put32(out, static_cast<unsigned>(height));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bits));
    Put32(out, 0); // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835); // 72 pixels per inch
    Put32(out, 2835);
    Put32(out, colours);
    Put32(out, 0);
    return out;
}

} // namespace

TRgb Mix(TRgb a, TRgb b, int t) {
    t = std::clamp(t, 0, 256);
    return TRgb{Channel(a.r, b.r, t), Channel(a.g, b.g, t), Channel(a.b, b.b, t)};
}
TRgb Lighten(TRgb c, int t) {
    return Mix(c, Rgb(255, 255, 255), t);
}
TRgb Darken(TRgb c, int t) {
    return Mix(c, Rgb(0, 0, 0), t);
}
TRgb Grey(TRgb c) {
    const int m = (c.r + c.g + c.b) / 3;
    return Rgb(m, m, m);
}
TRgb Opaque(TRgb c) {
    return c == Key ? Rgb(254, 0, 254) : c;
}

TRaster::TRaster(int width, int height, TRgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void TRaster::Set(int x, int y, TRgb c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Index(x, y)] = c;
}

void TRaster::Blend(int x, int y, TRgb c, int t) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Index(x, y)] = Opaque(Mix(At(x, y), c, t));
}

void TRaster::Fill(const TBox& box, TRgb c) {
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) Set(x, y, c);
}

void TRaster::VGradient(const TBox& box, TRgb top, TRgb bottom) {
    const int h = std::max(box.Height() - 1, 1);
    for (int y = box.y0; y < box.y1; ++y)
        Fill({box.x0, y, box.x1, y + 1}, Opaque(Mix(top, bottom, (y - box.y0) * 256 / h)));
}

void TRaster::HGradient(const TBox& box, TRgb left, TRgb right) {
    const int w = std::max(box.Width() - 1, 1);
    for (int x = box.x0; x < box.x1; ++x)
        Fill({x, box.y0, x + 1, box.y1}, Opaque(Mix(left, right, (x - box.x0) * 256 / w)));
}

void TRaster::Frame(const TBox& box, TRgb c) {
    Fill({box.x0, box.y0, box.x1, box.y0 + 1}, c);
    Fill({box.x0, box.y1 - 1, box.x1, box.y1}, c);
    Fill({box.x0, box.y0, box.x0 + 1, box.y1}, c);
    Fill({box.x1 - 1, box.y0, box.x1, box.y1}, c);
}

void TRaster::Bevel(const TBox& box, TRgb light, TRgb dark) {
    Fill({box.x0, box.y0, box.x1, box.y0 + 1}, light);
    Fill({box.x0, box.y0, box.x0 + 1, box.y1}, light);
    Fill({box.x0, box.y1 - 1, box.x1, box.y1}, dark);
    Fill({box.x1 - 1, box.y0, box.x1, box.y1}, dark);
}

void TRaster::Gloss(const TBox& box, int strength) {
    const int half = std::max(box.Height() / 2, 1);
    for (int y = box.y0; y < box.y0 + half; ++y)
        for (int x = box.x0; x < box.x1; ++x)
            if (!(At(x, y) == Key)) Blend(x, y, Rgb(255, 255, 255), strength * (half - (y - box.y0)) / half);
}

void TRaster::Grain(const TBox& box, TRgb dark, int strength, unsigned seed) {
    unsigned state = seed;
    for (int y = box.y0; y < box.y1; ++y) {
        state = state * 1103515245u + 12345u;
        const int t = static_cast<int>((state >> 16) % static_cast<unsigned>(std::max(strength, 1)));
        for (int x = box.x0; x < box.x1; ++x)
            if (!(At(x, y) == Key)) Blend(x, y, dark, t);
    }
}

bool TRaster::InRoundBox(const TBox& box, int radius, int x, int y) const {
    if (x < box.x0 || y < box.y0 || x >= box.x1 || y >= box.y1) return false;
    if (radius <= 0) return true;
    // Doubled coordinates: pixel centres and corner centres fall on whole numbers.
    const int px = 2 * x + 1, py = 2 * y + 1;
    const int left = 2 * (box.x0 + radius), right = 2 * (box.x1 - radius);
    const int top = 2 * (box.y0 + radius), bottom = 2 * (box.y1 - radius);
    const int dx = px < left ? left - px : (px > right ? px - right : 0);
    const int dy = py < top ? top - py : (py > bottom ? py - bottom : 0);
    return dx * dx + dy * dy <= 4 * radius * radius;
}

void TRaster::RoundPlate(const TBox& box, int radius, TRgb top, TRgb bottom, TRgb border) {
    const int h = std::max(box.Height() - 1, 1);
    for (int y = box.y0; y < box.y1; ++y) {
        const TRgb fill = Opaque(Mix(top, bottom, (y - box.y0) * 256 / h));
        for (int x = box.x0; x < box.x1; ++x) {
            if (!InRoundBox(box, radius, x, y)) {
                Set(x, y, Key);
                continue;
            }
            const bool edge = !InRoundBox(box, radius, x - 1, y) || !InRoundBox(box, radius, x + 1, y) ||
                              !InRoundBox(box, radius, x, y - 1) || !InRoundBox(box, radius, x, y + 1);
            Set(x, y, edge ? border : fill);
        }
    }
}

void TRaster::KeyCorners(const TBox& box, int radius, bool topLeft, bool topRight, bool bottomLeft,
                         bool bottomRight) {
    if (radius <= 0) return;
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) {
            const bool left = x < box.x0 + radius, right = x >= box.x1 - radius;
            const bool upper = y < box.y0 + radius, lower = y >= box.y1 - radius;
            const bool named = (left && upper && topLeft) || (right && upper && topRight) ||
                               (left && lower && bottomLeft) || (right && lower && bottomRight);
            if (named && !InRoundBox(box, radius, x, y)) Set(x, y, Key);
        }
}

void TRaster::Outline(TRgb c) {
    const TRaster before = *this;
    auto keyed = [&](int x, int y) {
        return x < 0 || y < 0 || x >= width_ || y >= height_ || before.At(x, y) == Key;
    };
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (!keyed(x, y) && (keyed(x - 1, y) || keyed(x + 1, y) || keyed(x, y - 1) || keyed(x, y + 1)))
                Set(x, y, c);
}

void TRaster::Disc(const TBox& box, TRgb fill, TRgb rim) {
    const int cx = box.x0 + box.x1, cy = box.y0 + box.y1; // doubled centre
    const int d = std::min(box.Width(), box.Height());    // doubled radius
    auto inside = [&](int x, int y) {
        const int dx = 2 * x + 1 - cx, dy = 2 * y + 1 - cy;
        return dx * dx + dy * dy <= d * d;
    };
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) {
            if (!inside(x, y)) continue;
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            Set(x, y, edge ? rim : fill);
        }
}

void TRaster::Line(int x0, int y0, int x1, int y1, TRgb c, int thickness) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Fill({x0, y0, x0 + thickness, y0 + thickness}, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void TRaster::Arrow(const TBox& box, TDirection direction, int size, TRgb c) {
    // Rows (or columns) from the base, each one pixel narrower at both ends than the last.
    const bool vertical = direction == dirUp || direction == dirDown;
    const int along = vertical ? box.Height() : box.Width();
    const int across = vertical ? box.Width() : box.Height();
    const int start = (along - size) / 2;
    const int centre = (across - 1) / 2;
    for (int i = 0; i < size; ++i) {
        const int half = size - 1 - i; // half-width of row i counted from the base
        const int pos = (direction == dirDown || direction == dirRight) ? start + i : start + size - 1 - i;
        for (int k = centre - half; k <= centre + half; ++k) {
            if (vertical)
                Set(box.x0 + k, box.y0 + pos, c);
            else
                Set(box.x0 + pos, box.y0 + k, c);
        }
    }
}

void TRaster::Paste(const TRaster& other, int x, int y) {
    for (int j = 0; j < other.Height(); ++j)
        for (int i = 0; i < other.Width(); ++i) Set(x + i, y + j, other.At(i, j));
}

TRaster TRaster::Crop(const TBox& box) const {
    TRaster out(box.Width(), box.Height());
    for (int y = 0; y < box.Height(); ++y)
        for (int x = 0; x < box.Width(); ++x) out.Set(x, y, At(box.x0 + x, box.y0 + y));
    return out;
}

std::vector<std::uint8_t> TRaster::EncodeBmp24() const {
    const int stride = (width_ * 3 + 3) & ~3;
    std::vector<std::uint8_t> out =
        BitmapHeaders(width_, height_, 24, 0, static_cast<unsigned>(stride) * static_cast<unsigned>(height_));
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const TRgb c = At(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (int pad = width_ * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

std::vector<std::uint8_t> TRaster::EncodeBmp1(TRgb ink) const {
    const int stride = ((width_ + 31) / 32) * 4;
    std::vector<std::uint8_t> out =
        BitmapHeaders(width_, height_, 1, 2, static_cast<unsigned>(stride) * static_cast<unsigned>(height_));
    Put32(out, 0x000000); // index 0: black
    Put32(out, 0xFFFFFF); // index 1: white
    for (int y = height_ - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < width_; ++x)
            if (!(At(x, y) == ink))
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

TRaster StripH(const std::vector<TRaster>& frames) {
    if (frames.empty()) return {};
    TRaster out(frames[0].Width() * static_cast<int>(frames.size()), frames[0].Height());
    for (std::size_t i = 0; i < frames.size(); ++i)
        out.Paste(frames[i], frames[0].Width() * static_cast<int>(i), 0);
    return out;
}

TRaster StripV(const std::vector<TRaster>& frames) {
    if (frames.empty()) return {};
    TRaster out(frames[0].Width(), frames[0].Height() * static_cast<int>(frames.size()));
    for (std::size_t i = 0; i < frames.size(); ++i)
        out.Paste(frames[i], 0, frames[0].Height() * static_cast<int>(i));
    return out;
}
