#pragma once
// Drawing routines of the skin engine: cut a frame out of a skin strip, scale it nine-slice with
// its margins unscaled, tile or stretch its middle, draw with the magenta key transparent, centre
// a frame unscaled, and shape a window region from the non-key pixels of a bitmap. Beside them the
// text routines for ANSI and wide strings. GUI thread only.
//
// A strip holds FrameCount frames of equal size, side by side (frame b, 1-based, starts at
// x = fw * (b - 1)) or, when Vertical, stacked (y = fh * (b - 1)). Margins are widths measured
// inward from the four sides of a frame: (left, top, right, bottom).

#include <framework/graphics.h>

#include <memory>
#include <string>

// The transparent colour of every skin bitmap.
constexpr TColor SkinKeyColour = 0xFF00FF;

// The platform is of the NT family (wide-character API present).
bool IsWinNT();

// A new bitmap of dest's size holding frame frameIndex scaled nine-slice: corners unscaled, edges
// stretched along their length, the middle stretched or (tile) repeated at its own size. Side
// margins that do not fit into the width are dropped (both), the same for the height.
std::unique_ptr<TBitmap> BuildSkinBitmap(const RECT& dest, TBitmap& strip, const RECT& margins,
                                         int frameIndex, int frameCount, bool tile, bool vertical);
// The same picture drawn over the whole of a 24-bit bitmap of dest's size, for callers that make
// many of one size: it spares a new bitmap and context each time.
void BuildSkinBitmapInto(TBitmap& picture, TBitmap& strip, const RECT& margins, int frameIndex,
                         int frameCount, bool tile, bool vertical);
// Repeats the source rectangle of bitmap over target at its own size, from target's top-left,
// while a tile starts inside target; the last column and row are drawn whole.
void TileBitmap(TCanvas& canvas, const RECT& target, TBitmap& bitmap, const RECT& source);
// BuildSkinBitmap's picture drawn at dest: magenta left out when transparent, else copied.
void DrawSkinFrame(HDC dc, const RECT& dest, TBitmap& strip, const RECT& margins, int frameIndex,
                   int frameCount, bool transparent, bool tile, bool vertical);
// Three-slice in x only (left margin, middle repeated by its width, right margin), every piece
// stretched to dest's height. A frame without middle leaves the middle unpainted.
void DrawSkinFrameCanvas(TCanvas& canvas, const RECT& dest, TBitmap& strip, const RECT& margins,
                         int frameIndex, int frameCount, bool transparent, bool vertical);
// The eight edge and corner pieces of the nine-slice straight into the DC; the middle of dest is
// left as it is.
void DrawSkinEdges(HDC dc, const RECT& dest, TBitmap& strip, const RECT& margins, int frameIndex,
                   int frameCount, bool vertical);
// A frame of a horizontal strip stretched whole to dest.
void DrawStripFrame(HDC dc, const RECT& dest, TBitmap& strip, int frameIndex, int frameCount,
                    bool transparent);
// A frame of a horizontal strip at its own size, centred in rect (a larger frame overhangs it
// evenly).
void DrawCenteredFrame(HDC dc, const RECT& rect, TBitmap& strip, int frameIndex, int frameCount,
                       bool transparent);
// Copies bitmap's top-left part of dest's size (at most the bitmap) to dest, leaving the
// destination where the bitmap has keyColour.
void DrawTransparentBitmap(HDC dc, const RECT& dest, TBitmap& bitmap, TColor keyColour);
// A region of every pixel outside the key range (per channel from the key's value to that value
// plus the tolerance), moved by the offsets. The bitmap is set to 32 bits per pixel.
TRegionHandle RegionFromBitmap(TBitmap& bitmap, int xOffset, int yOffset, TColor keyColour, int redTolerance,
                               int greenTolerance, int blueTolerance);

// Text in the system's ANSI code page and back.
std::wstring AnsiToWide(const std::string& s);
std::string WideToAnsi(const std::wstring& w);
// The first count characters of p; count -1 means up to the terminating zero.
std::wstring WideFromBuffer(const wchar_t* p, int count);
// DrawTextW on NT platforms, else the text in the ANSI code page through DrawTextA; gives
// DrawText's result (rect is updated for DT_CALCRECT).
int DrawTextAW(HDC dc, const std::wstring& w, RECT& rect, UINT format);

// Pictures drawn from a strip that a skin component loaded are kept and drawn again from memory,
// until ForgetSkinStrips (a load or the component's end, which change or free its strips).
void MarkSkinStrip(const TBitmap& strip);
void ForgetSkinStrips();
// Off: every picture is built anew and transparent ones go through MaskBlt, the plain way that the
// kept pictures must match pixel for pixel. On by default.
void SetSkinDrawShortcuts(bool on);
bool SkinDrawShortcuts();

// The engine's shared off-screen surface, for painters that compose a picture and copy it once.
// It lives until the program ends; whoever stretches into it sets the stretch mode on its DC.
TBitmap* SkinScratchBitmap();
