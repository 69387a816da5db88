#pragma once
// In-place transforms of skin bitmaps: grey, mirror, flip and quarter turns. The skinners derive
// the images they need (disabled glyphs, turned tab and progress strips) from one stored strip.

#include <framework/graphics.h>

// Sets 24 bits per pixel and replaces every pixel by the mean of its three channels.
void GrayscaleBitmap(TBitmap& bitmap);
// The four transforms work on 24 bits per pixel; a bitmap of another format is converted first.
// Left to right: new (x, y) = old (width - 1 - x, y).
void MirrorBitmap(TBitmap& bitmap);
// Top to bottom: new row y = old row (height - 1 - y).
void FlipBitmap(TBitmap& bitmap);
// Quarter turn counter-clockwise: old (x, y) goes to (y, width - 1 - x).
void RotateBitmapLeft(TBitmap& bitmap);
// Quarter turn clockwise: old (x, y) goes to (height - 1 - y, x).
void RotateBitmapRight(TBitmap& bitmap);
