#include "skin_data/SkinDraw.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace {

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}
bool Inverted(const RECT& r) {
    return r.right < r.left || r.bottom < r.top;
}

// Where frame frameIndex (1-based) lies in the strip.
struct TFrame {
    int x0, y0, fw, fh;
};

TFrame FrameOf(const TBitmap& strip, int frameIndex, int frameCount, bool vertical) {
    const int count = std::max(frameCount, 1);
    if (vertical) {
        const int fh = strip.Height() / count;
        return {0, fh * (frameIndex - 1), strip.Width(), fh};
    }
    const int fw = strip.Width() / count;
    return {fw * (frameIndex - 1), 0, fw, strip.Height()};
}

// Stretches the source box (x1, y1)-(x2, y2) onto the destination box; empty boxes (and boxes
// turned inside out by margins larger than the frame) copy nothing.
void CopyPiece(HDC to, int dx1, int dy1, int dx2, int dy2, HDC from, int sx1, int sy1, int sx2, int sy2) {
    if (dx2 <= dx1 || dy2 <= dy1 || sx2 <= sx1 || sy2 <= sy1) return;
    StretchBlt(to, dx1, dy1, dx2 - dx1, dy2 - dy1, from, sx1, sy1, sx2 - sx1, sy2 - sy1, SRCCOPY);
}

// The margins that fit a W x H target: a pair that does not fit is dropped.
RECT FittedMargins(const RECT& margins, int w, int h) {
    RECT m = margins;
    if (w < m.left + m.right) m.left = m.right = 0;
    if (h < m.top + m.bottom) m.top = m.bottom = 0;
    return m;
}

// The eight pieces around the middle, in the order corners and edges are laid down; the middle
// (drawn by the caller between the first five and the last three) is left out.
void DrawBorderPieces(HDC to, int ox, int oy, int w, int h, HDC from, const TFrame& f, const RECT& m,
                      bool beforeMiddle) {
    const int L = m.left, T = m.top, R = m.right, B = m.bottom;
    const int x0 = f.x0, y0 = f.y0, fw = f.fw, fh = f.fh;
    if (beforeMiddle) {
        if (L * T > 0) CopyPiece(to, ox, oy, ox + L, oy + T, from, x0, y0, x0 + L, y0 + T);
        if (L * B > 0) CopyPiece(to, ox, oy + h - B, ox + L, oy + h, from, x0, y0 + fh - B, x0 + L, y0 + fh);
        if (R * T > 0) CopyPiece(to, ox + w - R, oy, ox + w, oy + T, from, x0 + fw - R, y0, x0 + fw, y0 + T);
        if (L > 0) CopyPiece(to, ox, oy + T, ox + L, oy + h - B, from, x0, y0 + T, x0 + L, y0 + fh - B);
        if (T > 0) CopyPiece(to, ox + L, oy, ox + w - R, oy + T, from, x0 + L, y0, x0 + fw - R, y0 + T);
        return;
    }
    if (R * B > 0)
        CopyPiece(to, ox + w - R, oy + h - B, ox + w, oy + h, from, x0 + fw - R, y0 + fh - B, x0 + fw,
                  y0 + fh);
    if (R > 0)
        CopyPiece(to, ox + w - R, oy + T, ox + w, oy + h - B, from, x0 + fw - R, y0 + T, x0 + fw,
                  y0 + fh - B);
    if (B > 0)
        CopyPiece(to, ox + L, oy + h - B, ox + w - R, oy + h, from, x0 + L, y0 + fh - B, x0 + fw - R,
                  y0 + fh);
}

bool shortcuts = true;

// Copies bitmap to (x, y) of dc where mask is black, leaving dc where it is white.
void MaskedCopy(HDC dc, int x, int y, int w, int h, HDC source, HBITMAP mask) {
    if (shortcuts) {
        // Three plain copies: under Wine a MaskBlt onto a window costs several server round trips.
        TMemoryDC maskDC;
        maskDC.Select(mask);
        const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        BitBlt(dc, x, y, w, h, source, 0, 0, SRCINVERT);
        BitBlt(dc, x, y, w, h, maskDC.Get(), 0, 0, SRCAND);
        BitBlt(dc, x, y, w, h, source, 0, 0, SRCINVERT);
        SetBkColor(dc, oldBk);
        SetTextColor(dc, oldText);
        return;
    }
    MaskBlt(dc, x, y, w, h, source, 0, 0, mask, 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
}

// Finished pictures of skin strips (and their masks), by strip and by everything that shapes the
// picture, so that a repaint does not build again what the last one built. Only strips that the
// skin component loaded are kept; it forgets them all when it loads or goes.
class TPictureCache {
public:
    using TKey = std::tuple<const TBitmap*, int, int, int, int, int, int, int, int, int, int, int>;
    struct TEntry {
        std::unique_ptr<TBitmap> Picture;
        TBitmapHandle Mask;
    };
    static constexpr std::size_t Limit = 512;

    bool Keeps(const TBitmap& strip) const { return shortcuts && strips_.count(&strip) != 0; }
    void Mark(const TBitmap& strip) { strips_.insert(&strip); }
    void Forget() {
        strips_.clear();
        entries_.clear();
    }
    void Drop() { entries_.clear(); }
    TEntry* Find(const TKey& key) {
        auto found = entries_.find(key);
        return found == entries_.end() ? nullptr : &found->second;
    }
    TEntry& Keep(const TKey& key, std::unique_ptr<TBitmap> picture) {
        // Windows of ever new sizes would make it grow without end.
        if (entries_.size() >= Limit) entries_.clear();
        TEntry& entry = entries_[key];
        entry.Picture = std::move(picture);
        return entry;
    }

private:
    std::set<const TBitmap*> strips_;
    std::map<TKey, TEntry> entries_;
};

TPictureCache& Cache() {
    // Never destroyed: windows still skinned when the program ends paint while they go.
    static auto* cache = new TPictureCache;
    return *cache;
}

// Puts a finished picture at (x, y): magenta left out, or copied. A mask given is the picture's.
void Present(HDC dc, int x, int y, TBitmap& picture, bool transparent, HBITMAP mask = nullptr) {
    if (picture.Empty()) return;
    const RECT at{x, y, x + picture.Width(), y + picture.Height()};
    if (transparent && mask)
        MaskedCopy(dc, x, y, picture.Width(), picture.Height(), picture.Canvas()->Handle(), mask);
    else if (transparent)
        DrawTransparentBitmap(dc, at, picture, SkinKeyColour);
    else
        BitBlt(dc, x, y, picture.Width(), picture.Height(), picture.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// Draws the picture that build makes, from the cache when the strip is a skin's.
template <class Build>
void PresentBuilt(HDC dc, int x, int y, const TBitmap& strip, const TPictureCache::TKey& key,
                  bool transparent, Build build) {
    if (!Cache().Keeps(strip)) {
        std::unique_ptr<TBitmap> picture = build();
        Present(dc, x, y, *picture, transparent);
        return;
    }
    TPictureCache::TEntry* entry = Cache().Find(key);
    if (!entry) entry = &Cache().Keep(key, build());
    if (transparent && !entry->Mask && !entry->Picture->Empty())
        entry->Mask = entry->Picture->CreateMask(SkinKeyColour);
    Present(dc, x, y, *entry->Picture, transparent, entry->Mask.Get());
}

TPictureCache::TKey KeyOf(const TBitmap& strip, int kind, int w, int h, const RECT& margins, int frameIndex,
                          int frameCount, bool tile, bool vertical) {
    return {&strip,
            strip.Width(),
            strip.Height(),
            kind | (tile ? 2 : 0) | (vertical ? 4 : 0),
            w,
            h,
            static_cast<int>(margins.left),
            static_cast<int>(margins.top),
            static_cast<int>(margins.right),
            static_cast<int>(margins.bottom),
            frameIndex,
            frameCount};
}

HDC StretchingDC(TBitmap& bitmap) {
    HDC dc = bitmap.Canvas()->Handle();
    SetStretchBltMode(dc, COLORONCOLOR);
    return dc;
}

// A picture of w x h with one frame of the strip stretched over all of it.
std::unique_ptr<TBitmap> StretchedFrame(TBitmap& strip, int frameIndex, int frameCount, int w, int h) {
    auto picture = std::make_unique<TBitmap>(w, h, pf24bit);
    if (picture->Empty() || strip.Empty()) return picture;
    const TFrame f = FrameOf(strip, frameIndex, frameCount, false);
    CopyPiece(StretchingDC(*picture), 0, 0, w, h, strip.Canvas()->Handle(), f.x0, f.y0, f.x0 + f.fw,
              f.y0 + f.fh);
    return picture;
}

} // namespace

bool IsWinNT() {
    static const bool nt = (GetVersion() & 0x80000000u) == 0;
    return nt;
}

namespace {

// The nine-slice of a frame over the whole of a white picture.
void DrawNineSlice(TBitmap& picture, TBitmap& strip, const RECT& margins, int frameIndex, int frameCount,
                   bool tile, bool vertical) {
    const int w = picture.Width(), h = picture.Height();
    const TFrame f = FrameOf(strip, frameIndex, frameCount, vertical);
    const RECT m = FittedMargins(margins, w, h);
    HDC to = StretchingDC(picture);
    HDC from = strip.Canvas()->Handle();
    DrawBorderPieces(to, 0, 0, w, h, from, f, m, true);
    const RECT middle{f.x0 + m.left, f.y0 + m.top, f.x0 + f.fw - m.right, f.y0 + f.fh - m.bottom};
    if (tile) {
        TileBitmap(*picture.Canvas(), RECT{m.left, m.top, w - m.right, h - m.bottom}, strip, middle);
    } else {
        CopyPiece(to, m.left, m.top, w - m.right, h - m.bottom, from, middle.left, middle.top, middle.right,
                  middle.bottom);
    }
    DrawBorderPieces(to, 0, 0, w, h, from, f, m, false);
}

} // namespace

std::unique_ptr<TBitmap> BuildSkinBitmap(const RECT& dest, TBitmap& strip, const RECT& margins,
                                         int frameIndex, int frameCount, bool tile, bool vertical) {
    const int w = std::max(Width(dest), 0), h = std::max(Height(dest), 0);
    auto result = std::make_unique<TBitmap>(w, h, pf24bit); // white
    if (result->Empty() || strip.Empty()) return result;
    DrawNineSlice(*result, strip, margins, frameIndex, frameCount, tile, vertical);
    return result;
}

void BuildSkinBitmapInto(TBitmap& picture, TBitmap& strip, const RECT& margins, int frameIndex,
                         int frameCount, bool tile, bool vertical) {
    if (picture.Empty()) return;
    PatBlt(picture.Canvas()->Handle(), 0, 0, picture.Width(), picture.Height(), WHITENESS);
    if (strip.Empty()) return;
    DrawNineSlice(picture, strip, margins, frameIndex, frameCount, tile, vertical);
}

void TileBitmap(TCanvas& canvas, const RECT& target, TBitmap& bitmap, const RECT& source) {
    const int sw = Width(source), sh = Height(source);
    if (sw <= 0 || sh <= 0) return;
    TBitmap tile(sw, sh, pf24bit);
    BitBlt(tile.Canvas()->Handle(), 0, 0, sw, sh, bitmap.Canvas()->Handle(), source.left, source.top,
           SRCCOPY);
    HDC to = canvas.Handle();
    HDC from = tile.Canvas()->Handle();
    for (int y = target.top; y < target.bottom; y += sh)
        for (int x = target.left; x < target.right; x += sw) BitBlt(to, x, y, sw, sh, from, 0, 0, SRCCOPY);
}

void DrawSkinFrame(HDC dc, const RECT& dest, TBitmap& strip, const RECT& margins, int frameIndex,
                   int frameCount, bool transparent, bool tile, bool vertical) {
    if (Inverted(dest)) return;
    PresentBuilt(dc, dest.left, dest.top, strip,
                 KeyOf(strip, 0, Width(dest), Height(dest), margins, frameIndex, frameCount, tile, vertical),
                 transparent, [&] {
                     return BuildSkinBitmap(dest, strip, margins, frameIndex, frameCount, tile, vertical);
                 });
}

void DrawSkinFrameCanvas(TCanvas& canvas, const RECT& dest, TBitmap& strip, const RECT& margins,
                         int frameIndex, int frameCount, bool transparent, bool vertical) {
    if (Inverted(dest)) return;
    const int w = Width(dest), h = Height(dest);
    TBitmap picture(w, h, pf24bit);
    if (picture.Empty() || strip.Empty()) return;
    const TFrame f = FrameOf(strip, frameIndex, frameCount, vertical);
    const int L = margins.left, R = margins.right;
    HDC to = StretchingDC(picture);
    HDC from = strip.Canvas()->Handle();
    CopyPiece(to, 0, 0, L, h, from, f.x0, f.y0, f.x0 + L, f.y0 + f.fh);
    const int middle = f.fw - L - R;
    if (middle > 0)
        for (int x = L; x < w - R; x += middle)
            CopyPiece(to, x, 0, x + middle, h, from, f.x0 + L, f.y0, f.x0 + L + middle, f.y0 + f.fh);
    CopyPiece(to, w - R, 0, w, h, from, f.x0 + f.fw - R, f.y0, f.x0 + f.fw, f.y0 + f.fh);
    HDC dc = canvas.Handle();
    const int saved = SaveDC(dc);
    // A frame without a middle leaves the target's middle as it is.
    if (middle <= 0) ExcludeClipRect(dc, dest.left + L, dest.top, dest.right - R, dest.bottom);
    Present(dc, dest.left, dest.top, picture, transparent);
    RestoreDC(dc, saved);
}

void DrawSkinEdges(HDC dc, const RECT& dest, TBitmap& strip, const RECT& margins, int frameIndex,
                   int frameCount, bool vertical) {
    const int w = Width(dest), h = Height(dest);
    if (w <= 0 || h <= 0 || strip.Empty()) return;
    const TFrame f = FrameOf(strip, frameIndex, frameCount, vertical);
    const RECT m = FittedMargins(margins, w, h);
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    HDC from = strip.Canvas()->Handle();
    DrawBorderPieces(dc, dest.left, dest.top, w, h, from, f, m, true);
    DrawBorderPieces(dc, dest.left, dest.top, w, h, from, f, m, false);
    SetStretchBltMode(dc, oldMode);
}

void DrawStripFrame(HDC dc, const RECT& dest, TBitmap& strip, int frameIndex, int frameCount,
                    bool transparent) {
    if (Inverted(dest)) return;
    const int w = Width(dest), h = Height(dest);
    PresentBuilt(dc, dest.left, dest.top, strip,
                 KeyOf(strip, 1, w, h, RECT{}, frameIndex, frameCount, false, false), transparent,
                 [&] { return StretchedFrame(strip, frameIndex, frameCount, w, h); });
}

void DrawCenteredFrame(HDC dc, const RECT& rect, TBitmap& strip, int frameIndex, int frameCount,
                       bool transparent) {
    if (Inverted(rect) || strip.Empty()) return;
    const TFrame f = FrameOf(strip, frameIndex, frameCount, false);
    const int x = rect.left + (Width(rect) - f.fw) / 2;
    const int y = rect.top + (Height(rect) - f.fh) / 2;
    PresentBuilt(dc, x, y, strip, KeyOf(strip, 1, f.fw, f.fh, RECT{}, frameIndex, frameCount, false, false),
                 transparent, [&] { return StretchedFrame(strip, frameIndex, frameCount, f.fw, f.fh); });
}

void DrawTransparentBitmap(HDC dc, const RECT& dest, TBitmap& bitmap, TColor keyColour) {
    if (Inverted(dest) || bitmap.Empty()) return;
    const int w = std::min(Width(dest), bitmap.Width()), h = std::min(Height(dest), bitmap.Height());
    if (w <= 0 || h <= 0) return;
    TBitmapHandle mask = bitmap.CreateMask(keyColour);
    HDC source = bitmap.Canvas()->Handle();
    if (IsWinNT()) {
        // Where the mask is white (the key) the destination stays, elsewhere the bitmap is copied.
        MaskedCopy(dc, dest.left, dest.top, w, h, source, mask.Get());
        return;
    }
    TMemoryDC maskDC;
    maskDC.Select(mask.Get());
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, dest.left, dest.top, w, h, source, 0, 0, SRCINVERT);
    BitBlt(dc, dest.left, dest.top, w, h, maskDC.Get(), 0, 0, SRCAND);
    BitBlt(dc, dest.left, dest.top, w, h, source, 0, 0, SRCINVERT);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

namespace {

// Collects rectangles and turns them into a region in batches, so that no single ExtCreateRegion
// gets an unbounded list.
class TRegionBuilder {
public:
    static constexpr std::size_t Growth = 500;
    static constexpr std::size_t Batch = 2000;

    TRegionBuilder() { Restart(); }

    void Add(const RECT& r) {
        if (rects_.size() == rects_.capacity()) rects_.reserve(rects_.capacity() + Growth);
        rects_.push_back(r);
        bounds_.left = std::min(bounds_.left, r.left);
        bounds_.top = std::min(bounds_.top, r.top);
        bounds_.right = std::max(bounds_.right, r.right);
        bounds_.bottom = std::max(bounds_.bottom, r.bottom);
        if (rects_.size() == Batch) Flush();
    }

    TRegionHandle Finish() {
        Flush();
        if (!result_) result_.Reset(CreateRectRgn(0, 0, 0, 0));
        return std::move(result_);
    }

private:
    void Restart() {
        rects_.clear();
        rects_.reserve(Growth);
        bounds_ = RECT{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    }

    void Flush() {
        if (rects_.empty()) return;
        std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + rects_.size() * sizeof(RECT));
        RGNDATAHEADER header{};
        header.dwSize = sizeof header;
        header.iType = RDH_RECTANGLES;
        header.nCount = static_cast<DWORD>(rects_.size());
        header.nRgnSize = static_cast<DWORD>(rects_.size() * sizeof(RECT));
        header.rcBound = bounds_;
        std::memcpy(data.data(), &header, sizeof header);
        std::memcpy(data.data() + sizeof header, rects_.data(), rects_.size() * sizeof(RECT));
        TRegionHandle part(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                           reinterpret_cast<const RGNDATA*>(data.data())));
        if (!part) throw EOutOfResources(L"Out of system resources");
        if (!result_)
            result_ = std::move(part);
        else
            CombineRgn(result_.Get(), result_.Get(), part.Get(), RGN_OR);
        Restart();
    }

    std::vector<RECT> rects_;
    RECT bounds_{};
    TRegionHandle result_;
};

} // namespace

TRegionHandle RegionFromBitmap(TBitmap& bitmap, int xOffset, int yOffset, TColor keyColour, int redTolerance,
                               int greenTolerance, int blueTolerance) {
    const int red = keyColour & 0xFF, green = (keyColour >> 8) & 0xFF, blue = (keyColour >> 16) & 0xFF;
    const int redTop = std::min(255, red + redTolerance), greenTop = std::min(255, green + greenTolerance),
              blueTop = std::min(255, blue + blueTolerance);
    auto isKey = [&](const std::uint8_t* p) {
        return p[2] >= red && p[2] <= redTop && p[1] >= green && p[1] <= greenTop && p[0] >= blue &&
               p[0] <= blueTop;
    };
    TRegionBuilder builder;
    if (!bitmap.Empty()) {
        if (bitmap.PixelFormat() != pf32bit && bitmap.PixelFormat() != pfDevice)
            bitmap.SetPixelFormat(pf32bit);
        const int w = bitmap.Width();
        for (int y = 0; y < bitmap.Height(); ++y) {
            const std::uint8_t* row = bitmap.ScanLine(y);
            int x = 0;
            while (x < w) {
                while (x < w && isKey(row + 4 * x)) ++x;
                const int start = x;
                while (x < w && !isKey(row + 4 * x)) ++x;
                if (x > start) builder.Add(RECT{start + xOffset, y + yOffset, x + xOffset, y + yOffset + 1});
            }
        }
    }
    return builder.Finish();
}

std::wstring AnsiToWide(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string WideToAnsi(const std::wstring& w) {
    if (w.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring WideFromBuffer(const wchar_t* p, int count) {
    if (!p) return {};
    if (count < 0) return std::wstring(p);
    return std::wstring(p, static_cast<std::size_t>(count));
}

int DrawTextAW(HDC dc, const std::wstring& w, RECT& rect, UINT format) {
    if (IsWinNT()) return DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &rect, format);
    const std::string a = WideToAnsi(w);
    return DrawTextA(dc, a.c_str(), -1, &rect, format);
}

void MarkSkinStrip(const TBitmap& strip) {
    Cache().Mark(strip);
}

void ForgetSkinStrips() {
    Cache().Forget();
}

void SetSkinDrawShortcuts(bool on) {
    if (on == shortcuts) return;
    shortcuts = on;
    Cache().Drop();
}

bool SkinDrawShortcuts() {
    return shortcuts;
}

TBitmap* SkinScratchBitmap() {
    static auto* scratch = new TBitmap; // never destroyed, as the cache
    return scratch;
}
