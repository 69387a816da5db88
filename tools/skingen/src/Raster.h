#pragma once
// A small RGB raster with the drawing the skin generator needs. Integer arithmetic only, so that
// every run and every compiler draws the same pixels.

#include <cstdint>
#include <vector>

struct TRgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const TRgb&) const = default;
};

constexpr TRgb Rgb(int r, int g, int b) {
    return TRgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}
// The transparent colour of every skin bitmap.
constexpr TRgb Key = Rgb(255, 0, 255);

// a + (b - a) * t / 256, per channel.
TRgb Mix(TRgb a, TRgb b, int t);
TRgb Lighten(TRgb c, int t); // towards white
TRgb Darken(TRgb c, int t);  // towards black
TRgb Grey(TRgb c);           // the mean of the channels in all three
// Never the key colour: a drawn pixel must not turn transparent by chance.
TRgb Opaque(TRgb c);

struct TBox {
    int x0, y0, x1, y1; // x1, y1 exclusive
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
    TBox Inset(int d) const { return {x0 + d, y0 + d, x1 - d, y1 - d}; }
    TBox Moved(int dx, int dy) const { return {x0 + dx, y0 + dy, x1 + dx, y1 + dy}; }
};

enum TDirection { dirLeft, dirRight, dirUp, dirDown };

class TRaster {
public:
    TRaster() = default;
    TRaster(int width, int height, TRgb fill = Key);

    int Width() const { return width_; }
    int Height() const { return height_; }
    TBox Bounds() const { return {0, 0, width_, height_}; }
    TRgb At(int x, int y) const { return pixels_[Index(x, y)]; }
    // Drawing outside the raster is clipped.
    void Set(int x, int y, TRgb c);
    void Blend(int x, int y, TRgb c, int t);

    void Fill(const TBox& box, TRgb c);
    void VGradient(const TBox& box, TRgb top, TRgb bottom);
    void HGradient(const TBox& box, TRgb left, TRgb right);
    // A one-pixel outline.
    void Frame(const TBox& box, TRgb c);
    // Light top and left edge, dark bottom and right edge (swap them for a sunken look).
    void Bevel(const TBox& box, TRgb light, TRgb dark);
    // A light band over the upper half of box, fading downwards (strength 0..256).
    void Gloss(const TBox& box, int strength);
    // Thin horizontal lines of varying shade over box, from a fixed seed (a wood-like grain).
    void Grain(const TBox& box, TRgb dark, int strength, unsigned seed);

    // A plate with rounded corners: outside the corners the key colour, a one-pixel border in
    // border, the inside a vertical gradient. radius 0 gives a square plate.
    void RoundPlate(const TBox& box, int radius, TRgb top, TRgb bottom, TRgb border);
    // The key colour outside rounded corners of box (only the corners named).
    void KeyCorners(const TBox& box, int radius, bool topLeft, bool topRight, bool bottomLeft,
                    bool bottomRight);
    // Pixels that touch the key colour or the raster's edge become c (the outline of a shape cut
    // out of the key colour).
    void Outline(TRgb c);
    // A filled disc inside box, with a one-pixel rim.
    void Disc(const TBox& box, TRgb fill, TRgb rim);

    void Line(int x0, int y0, int x1, int y1, TRgb c, int thickness = 1);
    // A filled triangle pointing in direction, centred in box, size pixels from base to tip.
    void Arrow(const TBox& box, TDirection direction, int size, TRgb c);
    // Copies the whole of other to (x, y).
    void Paste(const TRaster& other, int x, int y);
    // The part of this raster inside box.
    TRaster Crop(const TBox& box) const;

    // A 24-bit Windows bitmap file, bottom-up, no compression.
    std::vector<std::uint8_t> EncodeBmp24() const;
    // A black-and-white bitmap file: pixels equal to ink are black, all others white.
    std::vector<std::uint8_t> EncodeBmp1(TRgb ink) const;

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    bool InRoundBox(const TBox& box, int radius, int x, int y) const;
    int width_ = 0, height_ = 0;
    std::vector<TRgb> pixels_;
};

// Frames of equal size side by side (or stacked) as one strip.
TRaster StripH(const std::vector<TRaster>& frames);
TRaster StripV(const std::vector<TRaster>& frames);
