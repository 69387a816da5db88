#pragma once
// Draws one skin from its theme: the skin ini and every bitmap it names, as archive entries.

#include <vector>

#include "Raster.h"
#include "Themes.h"
#include "skinpack/SkinPack.h"

// The ini first, then the bitmaps in the order they were drawn.
std::vector<TArchiveEntry> PaintSkin(const TTheme& theme);

// The system menu's glyphs, 16 x 16 each side by side: restore, maximize, minimize, close; black
// on white.
TRaster SystemMenuGlyphs();
