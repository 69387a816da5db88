// Canvas, bitmaps and pictures: GDI handle owners, TCanvas over a device context, TBitmap over a DIB
// section, TJPEGImage (libjpeg, decoded from memory) and TPicture, which holds either.
#pragma once

#include <framework/graphics.h>
#include <framework/handles.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// ===================================================================================================
// Owners of GDI handles
// ===================================================================================================

// Owns one GDI object (bitmap, brush, pen, font, region) and deletes it.
template <class H> using TGdiObject = TOwnedHandle<H, DeleteObject>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TFontHandle = TGdiObject<HFONT>;
using TRegionHandle = TGdiObject<HRGN>;

// A memory device context compatible with the screen; deleted on destruction. Objects selected into
// it through Select() are put back first.
class TMemoryDC {
public:
    TMemoryDC();
    ~TMemoryDC();
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Get() const { return dc_; }
    // Selects the object; the first object of each type that was displaced is restored at the end.
    void Select(HGDIOBJ object);

private:
    HDC dc_ = nullptr;
    // The context's own bitmap, brush, pen and font, by the order of kinds in Select().
    HGDIOBJ original_[4] = {};
};

// The screen's device context for the lifetime of the object.
class TScreenDC {
public:
    TScreenDC() : dc_(GetDC(nullptr)) {}
    ~TScreenDC() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    TScreenDC(const TScreenDC&) = delete;
    TScreenDC& operator=(const TScreenDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// ===================================================================================================
// Pens, brushes, canvas
// ===================================================================================================

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
extern const TIdentMap BrushStyleIdents;
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
extern const TIdentMap PenStyleIdents;
// Raster operations of a pen (R2_*).
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
extern const TIdentMap PenModeIdents;

// Brush description and its GDI brush (made when first asked for). A handle given with SetHandle is
// borrowed: it is used as it is and never deleted.
class TBrush : public TPersistent {
    DECLARE_PUBLISHED
public:
    TBrush() = default;
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    HBRUSH Handle() const;
    void SetHandle(HBRUSH brush);
    void Assign(const TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    mutable TBrushHandle owned_;
    HBRUSH borrowed_ = nullptr;
};

class TPen : public TPersistent {
    DECLARE_PUBLISHED
public:
    TPen() = default;
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);
    HPEN Handle() const;
    void Assign(const TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    mutable TPenHandle owned_;
};

class TGraphic;

// Raster operations for CopyRect and Draw (SRCCOPY ...).
constexpr DWORD cmSrcCopy = SRCCOPY, cmSrcPaint = SRCPAINT, cmSrcAnd = SRCAND, cmSrcInvert = SRCINVERT,
                cmSrcErase = SRCERASE, cmNotSrcCopy = NOTSRCCOPY, cmBlackness = BLACKNESS,
                cmWhiteness = WHITENESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                cmMergePaint = MERGEPAINT, cmPatCopy = PATCOPY, cmPatPaint = PATPAINT,
                cmPatInvert = PATINVERT;

// Drawing surface over a device context: either one the caller binds with SetHandle (and keeps owning),
// or the memory context of a bitmap. The canvas selects its font, pen and brush into the context when a
// drawing call needs them and puts the context's own objects back when it lets go of the context.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The context; for a bitmap's canvas it is made on demand with the bitmap selected.
    HDC Handle();
    bool HandleAllocated() const { return dc_ != nullptr; }
    // Binds a context the caller owns (nullptr lets go of the current one).
    void SetHandle(HDC dc);

    TFont* Font() { return &font_; }
    TBrush* Brush() { return &brush_; }
    TPen* Pen() { return &pen_; }
    void SetFont(const TFont* font) { font_.Assign(font); }
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD rop) { copyMode_ = rop; }
    POINT PenPos();
    void SetPenPos(POINT p) { MoveTo(p.x, p.y); }
    RECT ClipRect();

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const POINT* points, int count);
    void Polygon(const POINT* points, int count);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    void Ellipse(int x1, int y1, int x2, int y2);
    // Fill with the brush (no outline); FrameRect draws a one-pixel border with the brush.
    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);

    void TextOut(int x, int y, const String& text);
    // Text clipped to r, drawn at (x, y); the background of r is filled unless the brush is clear.
    void TextRect(const RECT& r, int x, int y, const String& text);
    SIZE TextExtent(const String& text);
    int TextWidth(const String& text) { return TextExtent(text).cx; }
    int TextHeight(const String& text) { return TextExtent(text).cy; }
    // DrawTextW with the canvas's font; r is updated for DT_CALCRECT.
    int DrawText(const String& text, RECT& r, UINT format);

    TColor Pixels(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Draws a graphic at its own size / stretched into r (transparent graphics keep what is beneath).
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const RECT& r, TGraphic* graphic);
    // Stretches part of another canvas into dest with CopyMode.
    void CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect);

    // Drops the selected objects so that they are selected afresh by the next drawing call.
    void Refresh();

    TNotifyEvent OnChange;

protected:
    // Called when Handle() is asked for and no context is bound (bitmap canvases make theirs here).
    virtual void CreateHandle() {}
    // Lets go of the context: the context's own objects are selected back first.
    void ReleaseContext();
    void Changed();

private:
    enum : unsigned { kFont = 1, kPen = 2, kBrush = 4 };
    void Require(unsigned parts);
    void Deselect();

    HDC dc_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    DWORD copyMode_ = cmSrcCopy;
    unsigned valid_ = 0;
    HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
    // Shared owners of the selected font: it must outlive its selection even when the TFont changes.
    std::shared_ptr<void> selectedFont_;
};

// ===================================================================================================
// Graphics
// ===================================================================================================

FRAMEWORK_EXCEPTION(EInvalidGraphic, Exception);
FRAMEWORK_EXCEPTION(EInvalidGraphicOperation, Exception);
FRAMEWORK_EXCEPTION(EJPEG, EInvalidGraphic);

class TGraphic : public TPersistent {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    // Draws the graphic stretched into r.
    virtual void Draw(TCanvas& canvas, const RECT& r) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);

    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    bool transparent_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A bitmap held as a bottom-up DIB section (so ScanLine gives direct access to the pixels). Formats:
// pf1bit (black and white, for masks), pf24bit, pf32bit and pfDevice (32 bits, the screen's format).
// Bitmap files of any depth load as pf24bit (pf32bit when the file has 32 bits).
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pfDevice);
    ~TBitmap() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Empty() const override { return width_ == 0 || height_ == 0; }
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    // Keeps the top-left part of the picture; new parts are white.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return format_; }
    // Converts the picture to the new format.
    void SetPixelFormat(TPixelFormat format);
    bool Monochrome() const { return format_ == pf1bit; }
    void SetMonochrome(bool value) { SetPixelFormat(value ? pf1bit : pfDevice); }

    // Row y (0 at the top) of the pixels; rows are DWORD-aligned. Drawing done through the canvas is
    // flushed first. nullptr for an empty bitmap; EInvalidGraphicOperation for y out of range.
    std::uint8_t* ScanLine(int y);
    // Bytes from one row to the next (negative: rows run bottom-up in memory).
    std::ptrdiff_t ScanLineStep() const;

    TCanvas* Canvas();
    // The bitmap handle (nullptr for an empty bitmap). It is taken out of the canvas's context, so that
    // the caller may select it elsewhere; the canvas selects it again when next used.
    HBITMAP Handle();
    // Takes ownership of any bitmap handle (a device-dependent one is converted).
    void SetHandle(HBITMAP bitmap);
    // Gives up the handle to the caller; the bitmap becomes empty.
    HBITMAP ReleaseHandle();

    // The colour that is left out when the bitmap is drawn transparent: with tmAuto the bottom-left
    // pixel's, with tmFixed the one set.
    TColor TransparentColor();
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);

    // Turns the bitmap into a black-and-white mask: white where it had `transparent`, black elsewhere.
    void Mask(TColor transparent);
    // A new black-and-white device-dependent bitmap (as MaskBlt takes): white where the pixel is
    // `transparent`, black elsewhere.
    TBitmapHandle CreateMask(TColor transparent);

    void Draw(TCanvas& canvas, const RECT& r) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // A bitmap file held in memory; EInvalidGraphic when it is not one.
    void LoadFromBytes(const std::uint8_t* data, std::size_t size);
    void LoadFromResourceName(HINSTANCE instance, const String& name);
    void Assign(const TPersistent* Source) override;
    void FreeImage();

private:
    friend class TBitmapCanvas;
    void Create(int width, int height, TPixelFormat format, const TBitmap* copyFrom);
    void Adopt(HBITMAP dib, int width, int height, TPixelFormat format);
    void DetachFromCanvas() const;
    static int BitsOf(TPixelFormat format);

    int width_ = 0, height_ = 0;
    TPixelFormat format_ = pfDevice;
    TBitmapHandle bitmap_;
    std::uint8_t* bits_ = nullptr;
    int stride_ = 0;
    std::unique_ptr<TBitmapCanvas> canvas_;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
};

// A JPEG picture: keeps the JPEG bytes and the decoded pixels. Loading decodes at once, so a picture
// that libjpeg cannot read raises EJPEG at load time (never later while painting).
class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    void Draw(TCanvas& canvas, const RECT& r) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // Takes the picture after checking its header (EJPEG when the data is not a readable JPEG);
    // the pixels are decoded when the picture is first drawn or asked for.
    void LoadFromBytes(const std::uint8_t* data, std::size_t size);
    void Assign(const TPersistent* Source) override;

    // The decoded picture (pf24bit); empty when nothing is loaded.
    TBitmap* Bitmap() {
        DecodeNeeded();
        return &bitmap_;
    }
    const std::vector<std::uint8_t>& Data() const { return data_; }

protected:
    void AssignTo(TPersistent* Dest) const override;

private:
    void DecodeNeeded() const;
    std::vector<std::uint8_t> data_;
    int width_ = 0, height_ = 0;
    mutable TBitmap bitmap_;
    mutable bool decoded_ = true;
    mutable bool decoding_ = false;
};

// Holds one graphic (a bitmap or a JPEG). Its published Data is the form description's picture: either
// the bytes of a picture file (JPEG or bitmap, recognised by their signature) or the classic form, a
// class name (length byte, then the name) followed by the graphic's bytes.
class TPicture : public TPersistent {
    DECLARE_PUBLISHED
public:
    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Holds a copy of graphic (nullptr empties the picture).
    void SetGraphic(const TGraphic* graphic);
    // The graphic as a bitmap; a picture holding something else is replaced by an empty bitmap.
    TBitmap* Bitmap();
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    bool Empty() const { return !graphic_ || graphic_->Empty(); }

    // By extension: .bmp, .jpg/.jpeg; EInvalidGraphic for another.
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;
    // By signature.
    void LoadFromStream(TStream& stream);
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void TakeGraphic(std::unique_ptr<TGraphic> graphic);
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
};
