// A small bitmap font of our own: 5 x 7 glyphs, lower-case descenders drawn two rows lower.
#pragma once

#include <array>
#include <string_view>

namespace memmap {

struct Glyph {
    char code;
    bool descends; // drawn two rows lower (g, p, q, y)
    std::array<std::string_view, 7> rows;
};

inline constexpr int GlyphWidth = 5;
inline constexpr int GlyphHeight = 7;
inline constexpr int CellWidth = 6;  // glyph and one column of spacing
inline constexpr int CellHeight = 9; // glyph and room for descenders

// The glyph of a character, or nullptr when the font lacks it.
const Glyph* FindGlyph(char c);

} // namespace memmap
