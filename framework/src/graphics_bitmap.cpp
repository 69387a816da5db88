#include <framework/bmp_layout.h>
#include <framework/graphics.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

// The canvas of a bitmap: a memory context made when first drawn on, holding the bitmap selected.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    // Lets go of the context (and with it the bitmap's selection); the next drawing call makes a new one.
    void FreeContext() {
        if (!memory_) return;
        HDC dc = memory_;
        ReleaseContext();
        if (oldBitmap_) SelectObject(dc, oldBitmap_);
        oldBitmap_ = nullptr;
        DeleteDC(dc);
        memory_ = nullptr;
    }

protected:
    void CreateHandle() override {
        memory_ = CreateCompatibleDC(nullptr);
        if (!memory_) throw EOutOfResources(L"Out of system resources");
        if (bitmap_->bitmap_) oldBitmap_ = SelectObject(memory_, bitmap_->bitmap_.Get());
        SetHandle(memory_);
    }

private:
    TBitmap* bitmap_;
    HDC memory_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};

namespace {

int StrideOf(int width, int bits) {
    return ((width * bits + 31) / 32) * 4;
}

struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

TBitmapHandle CreateDib(int width, int height, int bits, std::uint8_t** pixels) {
    DibInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    if (bits == 1) {
        info.header.biClrUsed = 2;
        info.colors[1] = RGBQUAD{255, 255, 255, 0};
    }
    void* p = nullptr;
    TBitmapHandle dib(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &p, nullptr, 0));
    if (!dib || !p) throw EOutOfResources(L"Out of system resources");
    *pixels = static_cast<std::uint8_t*>(p);
    return dib;
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

[[noreturn]] void InvalidBitmap() {
    throw EInvalidGraphic(L"Bitmap image is not valid");
}

} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
    format_ = format;
    SetSize(width, height);
}

TBitmap::~TBitmap() = default;

int TBitmap::BitsOf(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return 1;
    case pf24bit:
        return 24;
    default:
        return 32;
    }
}

void TBitmap::DetachFromCanvas() const {
    if (canvas_) canvas_->FreeContext();
}

void TBitmap::Adopt(HBITMAP dib, int width, int height, TPixelFormat format) {
    DetachFromCanvas();
    DIBSECTION section{};
    if (!dib || GetObjectW(dib, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) {
        if (dib) DeleteObject(dib);
        InvalidBitmap();
    }
    bitmap_.Reset(dib);
    width_ = width;
    height_ = height;
    format_ = format;
    bits_ = static_cast<std::uint8_t*>(section.dsBm.bmBits);
    stride_ = section.dsBm.bmWidthBytes;
}

// Makes a new DIB of the size and format; the old picture (or copyFrom's) is copied to its top-left,
// the rest is white.
void TBitmap::Create(int width, int height, TPixelFormat format, const TBitmap* copyFrom) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == 0 || height == 0) {
        DetachFromCanvas();
        bitmap_.Reset();
        bits_ = nullptr;
        stride_ = 0;
        width_ = width;
        height_ = height;
        format_ = format;
        Changed();
        return;
    }
    const int bits = BitsOf(format);
    if (static_cast<unsigned long long>(StrideOf(width, bits)) * static_cast<unsigned long long>(height) >
        kMaxBitmapBytes)
        throw EOutOfResources(L"Out of system resources");
    std::uint8_t* pixels = nullptr;
    TBitmapHandle dib = CreateDib(width, height, bits, &pixels);
    {
        TMemoryDC target;
        target.Select(dib.Get());
        PatBlt(target.Get(), 0, 0, width, height, WHITENESS);
        const TBitmap* source = copyFrom ? copyFrom : this;
        source->DetachFromCanvas(); // a bitmap can be selected into one context only
        if (source->bitmap_) {
            TMemoryDC from;
            from.Select(source->bitmap_.Get());
            // Colour to black and white: white where the source is white.
            COLORREF oldBk = SetBkColor(from.Get(), RGB(255, 255, 255));
            BitBlt(target.Get(), 0, 0, std::min(width, source->width_), std::min(height, source->height_),
                   from.Get(), 0, 0, SRCCOPY);
            SetBkColor(from.Get(), oldBk);
        }
        GdiFlush();
    }
    DetachFromCanvas();
    bitmap_ = std::move(dib);
    bits_ = pixels;
    stride_ = StrideOf(width, bits);
    width_ = width;
    height_ = height;
    format_ = format;
    Changed();
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && (bitmap_ || width == 0 || height == 0)) return;
    Create(width, height, format_, nullptr);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pf4bit || format == pf8bit || format == pf15bit || format == pf16bit || format == pfCustom)
        format = pf24bit; // held as 24 bits: the palette formats are not kept
    if (format == format_) return;
    if (Empty()) {
        format_ = format;
        return;
    }
    Create(width_, height_, format, nullptr);
}

std::uint8_t* TBitmap::ScanLine(int y) {
    if (!bits_) return nullptr;
    if (y < 0 || y >= height_) throw EInvalidGraphicOperation(L"Scan line index out of range");
    GdiFlush();
    return bits_ + static_cast<std::ptrdiff_t>(height_ - 1 - y) * stride_;
}

std::ptrdiff_t TBitmap::ScanLineStep() const {
    return -static_cast<std::ptrdiff_t>(stride_);
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(this);
        canvas_->OnChange = [this](TObject*) { Changed(); };
    }
    return canvas_.get();
}

HBITMAP TBitmap::Handle() {
    DetachFromCanvas();
    return bitmap_.Get();
}

void TBitmap::SetHandle(HBITMAP bitmap) {
    if (!bitmap) {
        FreeImage();
        return;
    }
    DIBSECTION section{};
    int got = GetObjectW(bitmap, sizeof section, &section);
    if (got == sizeof section && section.dsBm.bmBits && section.dsBmih.biHeight > 0 &&
        (section.dsBmih.biBitCount == 1 || section.dsBmih.biBitCount == 24 ||
         section.dsBmih.biBitCount == 32)) {
        TPixelFormat format = section.dsBmih.biBitCount == 1    ? pf1bit
                              : section.dsBmih.biBitCount == 24 ? pf24bit
                                                                : pf32bit;
        Adopt(bitmap, section.dsBm.bmWidth, section.dsBm.bmHeight, format);
        Changed();
        return;
    }
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof bm, &bm)) InvalidBitmap();
    // Device-dependent or of another layout: copy it into a DIB of our own and delete it.
    TBitmapHandle owned(bitmap);
    TBitmap temp;
    temp.format_ = bm.bmBitsPixel == 1 ? pf1bit : pfDevice;
    temp.SetSize(bm.bmWidth, bm.bmHeight);
    {
        TMemoryDC from, to;
        from.Select(owned.Get());
        to.Select(temp.bitmap_.Get());
        BitBlt(to.Get(), 0, 0, bm.bmWidth, bm.bmHeight, from.Get(), 0, 0, SRCCOPY);
        GdiFlush();
    }
    Assign(&temp);
}

HBITMAP TBitmap::ReleaseHandle() {
    DetachFromCanvas();
    HBITMAP h = bitmap_.Release();
    bits_ = nullptr;
    stride_ = 0;
    width_ = height_ = 0;
    Changed();
    return h;
}

void TBitmap::FreeImage() {
    DetachFromCanvas();
    bitmap_.Reset();
    bits_ = nullptr;
    stride_ = 0;
    width_ = height_ = 0;
    Changed();
}

TColor TBitmap::TransparentColor() {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (Empty()) return clDefault;
    return Canvas()->Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparentMode_) return;
    if (mode == tmAuto)
        transparentColor_ = clDefault;
    else if (transparentColor_ == clDefault)
        transparentColor_ = TransparentColor();
    transparentMode_ = mode;
    Changed();
}

TBitmapHandle TBitmap::CreateMask(TColor transparent) {
    if (Empty()) return TBitmapHandle();
    // A device-dependent black-and-white bitmap: colour is turned into it by the background-colour
    // rule (a black-and-white DIB would take the nearest colour of its table instead).
    TBitmapHandle mask(CreateBitmap(width_, height_, 1, 1, nullptr));
    if (!mask) throw EOutOfResources(L"Out of system resources");
    HDC from = Canvas()->Handle();
    TMemoryDC to;
    to.Select(mask.Get());
    // Colour to black and white: pixels of the background colour become white.
    COLORREF oldBk = SetBkColor(from, ColorToRGB(transparent));
    BitBlt(to.Get(), 0, 0, width_, height_, from, 0, 0, SRCCOPY);
    SetBkColor(from, oldBk);
    GdiFlush();
    return mask;
}

void TBitmap::Mask(TColor transparent) {
    TBitmapHandle mask = CreateMask(transparent);
    if (mask) SetHandle(mask.Release());
}

void TBitmap::Draw(TCanvas& canvas, const RECT& r) {
    if (Empty()) return;
    HDC target = canvas.Handle();
    HDC source = Canvas()->Handle();
    const int w = r.right - r.left, h = r.bottom - r.top;
    int oldMode = SetStretchBltMode(target, COLORONCOLOR);
    if (Transparent()) {
        GdiTransparentBlt(target, r.left, r.top, w, h, source, 0, 0, width_, height_,
                          ColorToRGB(TransparentColor()));
    } else {
        StretchBlt(target, r.left, r.top, w, h, source, 0, 0, width_, height_, canvas.CopyMode());
    }
    SetStretchBltMode(target, oldMode);
}

void TBitmap::Assign(const TPersistent* Source) {
    if (!Source) {
        FreeImage();
        return;
    }
    if (auto* other = dynamic_cast<const TBitmap*>(Source)) {
        if (other == this) return;
        SetTransparent(other->Transparent());
        transparentColor_ = other->transparentColor_;
        transparentMode_ = other->transparentMode_;
        if (other->Empty()) {
            FreeImage();
            width_ = other->width_;
            height_ = other->height_;
            format_ = other->format_;
            return;
        }
        Create(other->width_, other->height_, other->format_, other);
        return;
    }
    TGraphic::Assign(Source);
}

// ---------------------------------------------------------------------------------------------------
// Bitmap files

void TBitmap::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
    const std::optional<TBmpLayout> layout = ReadBmpLayout(data, size);
    if (!layout) InvalidBitmap();
    const TBmpLayout& l = *layout;

    // Every layout is handed to GDI as a plain info header with its masks and colour table.
    DibInfo info{};
    BITMAPINFOHEADER& bih = info.header;
    bih.biSize = sizeof bih;
    bih.biWidth = l.Width;
    bih.biHeight = l.TopDown ? -l.Height : l.Height;
    bih.biPlanes = 1;
    bih.biBitCount = static_cast<WORD>(l.Bits);
    bih.biCompression = l.Compression;
    bih.biSizeImage = l.RleBytes;
    bih.biClrUsed = l.ColorCount;
    for (unsigned i = 0; i < l.ColorCount; ++i)
        info.colors[i] = RGBQUAD{l.Colors[i][0], l.Colors[i][1], l.Colors[i][2], 0};
    if (l.HasMasks) std::memcpy(info.colors, l.Masks, sizeof l.Masks);

    const TPixelFormat format = l.OutBits == 32 ? pf32bit : pf24bit;
    std::uint8_t* pixels = nullptr;
    TBitmapHandle dib = CreateDib(l.Width, l.Height, BitsOf(format), &pixels);
    if (l.IsPlain()) {
        // Already in the section's own layout: copy the rows, which spares a screen DC and a
        // conversion per bitmap (skins load dozens of them while the main window is made).
        CopyPlainBmpRows(l, data, pixels);
    } else {
        TScreenDC screen;
        if (SetDIBits(screen.Get(), dib.Get(), 0, static_cast<UINT>(l.Height), data + l.PixelOffset,
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == 0)
            InvalidBitmap();
        GdiFlush();
    }
    Adopt(dib.Release(), l.Width, l.Height, format);
    Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
    std::uint8_t fileHeader[14];
    if (stream.Read(fileHeader, sizeof fileHeader) != sizeof fileHeader) InvalidBitmap();
    const std::int64_t rest = stream.Size() - stream.Position();
    std::int64_t wanted = static_cast<std::int64_t>(ReadU32(fileHeader + 2)) - 14;
    // Some writers leave the size empty or wrong: then the stream's rest is the bitmap.
    if (wanted <= 0 || wanted > rest) wanted = rest;
    if (wanted < 0 || static_cast<unsigned long long>(wanted) > kMaxBitmapBytes + (1 << 20)) InvalidBitmap();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(wanted) + 14);
    std::memcpy(bytes.data(), fileHeader, 14);
    stream.ReadBuffer(bytes.data() + 14, wanted);
    LoadFromBytes(bytes.data(), bytes.size());
}

void TBitmap::SaveToStream(TStream& stream) const {
    if (Empty()) return;
    GdiFlush();
    const int bits = BitsOf(format_);
    const unsigned colors = bits == 1 ? 2 : 0;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride_) * static_cast<std::uint32_t>(height_);
    const std::uint32_t offBits = 14 + 40 + colors * 4;
    std::uint8_t fileHeader[14] = {'B', 'M'};
    auto put32 = [](std::uint8_t* p, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(fileHeader + 2, offBits + imageSize);
    put32(fileHeader + 10, offBits);
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = width_;
    bih.biHeight = height_;
    bih.biPlanes = 1;
    bih.biBitCount = static_cast<WORD>(bits);
    bih.biCompression = BI_RGB;
    bih.biSizeImage = imageSize;
    bih.biClrUsed = colors;
    stream.WriteBuffer(fileHeader, sizeof fileHeader);
    stream.WriteBuffer(&bih, sizeof bih);
    if (colors) {
        const RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        stream.WriteBuffer(table, sizeof table);
    }
    stream.WriteBuffer(bits_, imageSize);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const String& name) {
    HRSRC res = FindResourceW(instance, name.c_str(), MAKEINTRESOURCEW(2)); // RT_BITMAP
    if (!res) throw EResNotFound(L"Resource " + name + L" not found");
    HGLOBAL loaded = LoadResource(instance, res);
    const auto* info = static_cast<const std::uint8_t*>(LockResource(loaded));
    DWORD size = SizeofResource(instance, res);
    if (!info || size < 12) InvalidBitmap();
    // A bitmap resource is a bitmap file without its file header.
    std::vector<std::uint8_t> file(14 + size);
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(file.data() + 14, info, size);
    for (int i = 0; i < 4; ++i) file[2 + i] = static_cast<std::uint8_t>((14 + size) >> (8 * i));
    LoadFromBytes(file.data(), file.size()); // offset 0: pixels follow the colour table
}
