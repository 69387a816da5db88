#pragma once
// The pure part of reading a skin's ini into its elements: value texts, the bitmap entries they
// name, the caption-button sections and what the pictures may take. No system calls, so it also
// builds with the host compiler for fuzzing.

#include <framework/bmp_layout.h>

#include <cstdint>
#include <string>

// A colour text of up to three numbers (red, green, blue) separated by anything but digits:
// "255,0,255" is 0xFF00FF. Trailing digits count only as the third number; missing numbers are 0;
// each contributes its low 8 bits. An empty text is black.
std::int32_t ParseColourText(const std::string& text);
// def for an empty text, else ParseColourText.
std::int32_t ColourOrDefault(const std::string& text, std::int32_t def);

std::string UpperAscii(std::string text);
// The archive entry an ini value names: its file-name part (after the last path or drive
// separator) when that ends in ".bmp", else empty.
std::string SkinBitmapEntryName(const std::string& value);
// Sections whose upper-cased name begins with BUTTON are caption buttons, but for these four.
bool IsCaptionButtonSection(const std::string& section);

// What a skin's bitmaps may take: the generated skins need about 20 KB for their largest picture and
// 190 KB for all of them, so these leave room for far richer skins while a few bytes of RLE data that
// claim a huge picture are refused before anything is allocated.
constexpr unsigned long long kMaxSkinPictureBytes = 8ull << 20;
constexpr unsigned long long kMaxSkinPicturesBytes = 32ull << 20;

// The pixel memory of the pictures one skin has loaded so far.
struct TSkinPictureBudget {
    unsigned long long Used = 0;
    // False, and nothing counted, when the picture is too large on its own or with those before it.
    bool Take(const TBmpLayout& layout);
};

// The skin stream of a form: a 32-bit length, then that many archive bytes. Nothing is read for a
// length of 0 or less; a length beyond the data left is a damaged form, not a reason to allocate it.
enum class TSkinStreamFrame { Empty, Archive, Damaged };
TSkinStreamFrame SkinStreamFrame(std::int32_t length, std::int64_t remaining);
