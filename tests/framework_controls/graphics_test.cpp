#include "fixture.h"

#include <framework/sysutils.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// RGB of the test picture at (x, y): gradients in red and green, blue constant.
void SourcePixel(int x, int y, int w, int h, std::uint8_t rgb[3]) {
    rgb[0] = static_cast<std::uint8_t>(x * 255 / std::max(w - 1, 1));
    rgb[1] = static_cast<std::uint8_t>(y * 255 / std::max(h - 1, 1));
    rgb[2] = 100;
}

// A JPEG made with libjpeg's encoder: RGB (components 3) or grey (components 1).
Bytes EncodeJpeg(int w, int h, int components) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(w * components));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t rgb[3];
            SourcePixel(x, y, w, h, rgb);
            if (components == 1)
                row[static_cast<size_t>(x)] = rgb[0];
            else
                std::memcpy(&row[static_cast<size_t>(x) * 3], rgb, 3);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

// Largest difference between the decoded picture and the source, over every channel.
int WorstDifference(TBitmap* picture, int components) {
    int worst = 0;
    for (int y = 0; y < picture->Height(); ++y) {
        const std::uint8_t* row = picture->ScanLine(y);
        for (int x = 0; x < picture->Width(); ++x) {
            std::uint8_t rgb[3];
            SourcePixel(x, y, picture->Width(), picture->Height(), rgb);
            const std::uint8_t* bgr = row + 3 * x;
            for (int ch = 0; ch < 3; ++ch) {
                int expected = components == 1 ? rgb[0] : rgb[ch];
                worst = std::max(worst, std::abs(bgr[2 - ch] - expected));
            }
        }
    }
    return worst;
}

String Hex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    String s;
    for (std::uint8_t b : bytes) {
        s += static_cast<wchar_t>(digits[b >> 4]);
        s += static_cast<wchar_t>(digits[b & 15]);
    }
    return s;
}

Bytes SaveBitmap(TBitmap& bitmap) {
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.Bytes();
}

void PutPixel(TBitmap& bitmap, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p = bitmap.ScanLine(y) + x * (bitmap.PixelFormat() == pf24bit ? 3 : 4);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

class Graphics : public ControlsTest {};

TEST_F(Graphics, JpegPicturesDecodeCloseToWhatWasEncoded) {
    for (int components : {3, 1}) {
        Bytes jpeg = EncodeJpeg(40, 24, components);
        TJPEGImage image;
        image.LoadFromBytes(jpeg.data(), jpeg.size());
        ASSERT_EQ(image.Width(), 40);
        ASSERT_EQ(image.Height(), 24);
        EXPECT_EQ(image.Bitmap()->PixelFormat(), pf24bit);
        EXPECT_LE(WorstDifference(image.Bitmap(), components), 12) << components << " components";
        EXPECT_EQ(image.Data(), jpeg); // kept for saving
    }
}

TEST_F(Graphics, AJpegCopiedBeforeItWasDrawnShowsThePictureInTheCopy) {
    Bytes jpeg = EncodeJpeg(40, 24, 3);
    TJPEGImage image;
    image.LoadFromBytes(jpeg.data(), jpeg.size());
    TPicture picture;
    picture.SetGraphic(&image); // a copy
    auto* copy = dynamic_cast<TJPEGImage*>(picture.Graphic());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Width(), 40);
    EXPECT_LE(WorstDifference(copy->Bitmap(), 3), 12);
    TBitmap bitmap;
    bitmap.Assign(&image);
    EXPECT_EQ(bitmap.Width(), 40);
    EXPECT_EQ(bitmap.Height(), 24);
}

TEST_F(Graphics, CorruptJpegRaisesAndKeepsThePictureItHad) {
    Bytes good = EncodeJpeg(16, 16, 3);
    Bytes zeroWidth = good;
    for (size_t i = 0; i + 9 < zeroWidth.size(); ++i)
        if (zeroWidth[i] == 0xFF && zeroWidth[i + 1] == 0xC0) { // frame header: height, width at +5..+8
            zeroWidth[i + 7] = zeroWidth[i + 8] = 0;
            break;
        }
    Bytes garbage = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x03, 0x01, 0x02, 0x03};
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"not a JPEG", {'B', 'M', 0, 0, 0, 0}},
        {"bad marker length", garbage},
        {"header cut short", Bytes(good.begin(), good.begin() + 40)},
        {"no scan before the end", Bytes(good.begin(), good.begin() + 200)},
        {"zero width", zeroWidth},
    };
    TJPEGImage image;
    image.LoadFromBytes(good.data(), good.size());
    for (const Case& c : cases) {
        EXPECT_THROW(image.LoadFromBytes(c.bytes.data(), c.bytes.size()), EJPEG) << c.what;
        EXPECT_EQ(image.Width(), 16) << c.what;
        EXPECT_EQ(image.Data(), good) << c.what;
    }
}

TEST_F(Graphics, AJpegCutInItsScanShowsWhatArrived) {
    Bytes jpeg = EncodeJpeg(64, 64, 3);
    Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() * 7 / 10));
    TJPEGImage image;
    image.LoadFromBytes(cut.data(), cut.size());
    EXPECT_EQ(image.Width(), 64);
    const std::uint8_t* top = image.Bitmap()->ScanLine(0);
    EXPECT_NEAR(top[1], 0, 12); // green of the top row
}

TEST_F(Graphics, PictureDataTakesFilesAndTheClassicForm) {
    Bytes jpeg = EncodeJpeg(8, 4, 3);
    TBitmap bitmap(3, 2, pf24bit);
    Bytes bmp = SaveBitmap(bitmap);
    auto classic = [](const char* name, const Bytes& data) {
        Bytes b;
        b.push_back(static_cast<std::uint8_t>(std::strlen(name)));
        for (const char* p = name; *p; ++p) b.push_back(static_cast<std::uint8_t>(*p));
        std::uint32_t n = static_cast<std::uint32_t>(data.size());
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
        b.insert(b.end(), data.begin(), data.end());
        return b;
    };
    struct Case {
        const char* what;
        Bytes data;
        bool jpeg;
        int width;
    } cases[] = {
        {"JPEG file", jpeg, true, 8},
        {"bitmap file", bmp, false, 3},
        {"classic JPEG", classic("TJPEGImage", jpeg), true, 8},
        {"classic bitmap", classic("TBitmap", bmp), false, 3},
    };
    for (const Case& c : cases) {
        TPicture picture;
        TMemoryStream stream;
        stream.WriteBuffer(c.data.data(), static_cast<std::int64_t>(c.data.size()));
        stream.SetPosition(0);
        picture.ReadData(stream);
        ASSERT_NE(picture.Graphic(), nullptr) << c.what;
        EXPECT_EQ(dynamic_cast<TJPEGImage*>(picture.Graphic()) != nullptr, c.jpeg) << c.what;
        EXPECT_EQ(picture.Width(), c.width) << c.what;

        // What WriteData gives reads back the same.
        TMemoryStream written;
        picture.WriteData(written);
        written.SetPosition(0);
        TPicture again;
        again.ReadData(written);
        EXPECT_EQ(again.Width(), c.width) << c.what;
    }
    TPicture picture;
    TMemoryStream unknown;
    Bytes metafile = classic("TMetafile", {1, 2, 3});
    unknown.WriteBuffer(metafile.data(), static_cast<std::int64_t>(metafile.size()));
    unknown.SetPosition(0);
    EXPECT_THROW(picture.ReadData(unknown), EInvalidGraphic);
}

TEST_F(Graphics, AnImageInADescriptionShowsItsJpeg) {
    Bytes jpeg = EncodeJpeg(32, 20, 3);
    std::string description = "object ProbeForm: TProbeForm\n"
                              "  ClientWidth = 200\n"
                              "  ClientHeight = 100\n"
                              "  object Image1: TImage\n"
                              "    Left = 10\n"
                              "    Top = -5\n"
                              "    Width = 64\n"
                              "    Height = 40\n"
                              "    Picture.Data = {" +
                              StringToUtf8(Hex(jpeg)) +
                              "}\n"
                              "  end\n"
                              "end\n";
    auto form = Load(description);
    auto* image = Get<TImage>(*form, L"Image1");
    EXPECT_EQ(image->Picture()->Width(), 32);

    // On the form: the form paints the image (it has no window of its own), 5 pixels cut off at the top.
    form->Show();
    form->Update();
    HDC screen = GetDC(form->Handle());
    COLORREF shown = GetPixel(screen, 10 + 30, 10 - 5);
    COLORREF left = GetPixel(screen, 10 + 1, 10 - 5);
    ReleaseDC(form->Handle(), screen);
    EXPECT_GT(GetRValue(shown), 200);
    EXPECT_LT(GetRValue(left), 40);

    // Painted at its own size from the top-left, centred, or stretched over the control.
    struct Case {
        bool stretch, center;
        POINT red;     // a pixel near the right edge of the picture (red high)
        POINT outside; // a pixel the picture does not cover
    } cases[] = {
        {false, false, {30, 10}, {50, 30}},
        {false, true, {46, 20}, {5, 5}},
        {true, false, {62, 38}, {-1, -1}},
    };
    for (const Case& c : cases) {
        image->SetStretch(c.stretch);
        image->SetCenter(c.center);
        TBitmap canvas(64, 40, pf24bit);
        image->Paint(canvas.Canvas()->Handle());
        COLORREF inside = GetPixel(canvas.Canvas()->Handle(), c.red.x, c.red.y);
        EXPECT_GT(GetRValue(inside), 200) << "stretch " << c.stretch << " center " << c.center;
        if (c.outside.x >= 0) {
            EXPECT_EQ(GetPixel(canvas.Canvas()->Handle(), c.outside.x, c.outside.y), RGB(255, 255, 255));
        }
    }
}

TEST_F(Graphics, BitmapsRoundTripThroughFilesRowsTopFirst) {
    for (TPixelFormat format : {pf24bit, pf32bit}) {
        TBitmap bitmap(3, 2, format);
        PutPixel(bitmap, 0, 0, 255, 0, 0);
        PutPixel(bitmap, 2, 1, 0, 0, 255);
        // ScanLine(0) is the top row, as the canvas sees it.
        EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), static_cast<TColor>(RGB(255, 0, 0)));
        EXPECT_EQ(bitmap.Canvas()->Pixels(2, 1), static_cast<TColor>(RGB(0, 0, 255)));
        Bytes file = SaveBitmap(bitmap);
        TBitmap copy;
        copy.LoadFromBytes(file.data(), file.size());
        EXPECT_EQ(copy.Width(), 3);
        EXPECT_EQ(copy.Height(), 2);
        EXPECT_EQ(copy.PixelFormat(), format);
        EXPECT_EQ(copy.Canvas()->Pixels(0, 0), static_cast<TColor>(RGB(255, 0, 0)));
        EXPECT_EQ(copy.Canvas()->Pixels(2, 1), static_cast<TColor>(RGB(0, 0, 255)));

        // The same file written top row first (negative height) reads as the same picture.
        const std::uint32_t offset = file[10] | (file[11] << 8);
        const std::size_t stride = (file.size() - offset) / 2;
        Bytes topDown(file.begin(), file.begin() + offset);
        topDown.insert(topDown.end(), file.begin() + static_cast<std::ptrdiff_t>(offset + stride),
                       file.end());
        topDown.insert(topDown.end(), file.begin() + offset,
                       file.begin() + static_cast<std::ptrdiff_t>(offset + stride));
        const std::int32_t negative = -2;
        std::memcpy(topDown.data() + 22, &negative, 4);
        TBitmap flipped;
        flipped.LoadFromBytes(topDown.data(), topDown.size());
        EXPECT_EQ(flipped.Canvas()->Pixels(0, 0), static_cast<TColor>(RGB(255, 0, 0)));
        EXPECT_EQ(flipped.Canvas()->Pixels(2, 1), static_cast<TColor>(RGB(0, 0, 255)));
    }
}

// A bitmap file: 8 bits with a two-colour table, top-down (negative height) when asked.
Bytes PaletteBitmapFile(int w, int h, bool topDown) {
    const int stride = (w + 3) / 4 * 4;
    const std::uint32_t offset = 14 + 40 + 2 * 4;
    Bytes b(offset + static_cast<size_t>(stride * h), 0);
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(topDown ? -h : h));
    b[26] = 1;
    b[28] = 8;
    put32(46, 2);
    // colour 0 white, colour 1 pure green
    b[54] = b[55] = b[56] = 255;
    b[59] = 255;
    // the first row in the file gets colour 1 at x = 0
    b[offset] = 1;
    return b;
}

TEST_F(Graphics, BitmapFilesOfOtherLayoutsLoadAndBadOnesAreRefused) {
    for (bool topDown : {false, true}) {
        Bytes file = PaletteBitmapFile(5, 3, topDown);
        TBitmap bitmap;
        bitmap.LoadFromBytes(file.data(), file.size());
        EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
        int greenRow = topDown ? 0 : 2;
        EXPECT_EQ(bitmap.Canvas()->Pixels(0, greenRow), static_cast<TColor>(RGB(0, 255, 0))) << topDown;
        EXPECT_EQ(bitmap.Canvas()->Pixels(1, greenRow), static_cast<TColor>(RGB(255, 255, 255))) << topDown;
    }

    Bytes good = PaletteBitmapFile(5, 3, false);
    auto patched = [&](size_t at, std::uint32_t v, int n = 4) {
        Bytes b = good;
        for (int i = 0; i < n; ++i) b[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        return b;
    };
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"no BM", patched(0, 'X', 1)},
        {"header larger than the file", patched(14, 5000)},
        {"zero width", patched(18, 0)},
        {"7 bits per pixel", patched(28, 7, 2)},
        {"colour table past the end", patched(46, 200)},
        {"pixels cut short", Bytes(good.begin(), good.end() - 4)},
        {"gigantic",
         [&] {
             Bytes b = patched(18, 100000);
             b[22] = 0xA0; // height 100000 too
             b[23] = 0x86;
             b[24] = 0x01;
             return b;
         }()},
        {"nothing", {}},
    };
    for (const Case& c : cases) {
        TBitmap bitmap;
        EXPECT_THROW(bitmap.LoadFromBytes(c.bytes.data(), c.bytes.size()), EInvalidGraphic) << c.what;
    }
}

TEST_F(Graphics, MasksAreWhereTheKeyColourIs) {
    TBitmap bitmap(4, 1, pf24bit);
    PutPixel(bitmap, 0, 0, 255, 0, 255);
    PutPixel(bitmap, 1, 0, 10, 20, 30);
    PutPixel(bitmap, 2, 0, 255, 0, 255);
    PutPixel(bitmap, 3, 0, 255, 255, 255);
    TBitmap mask;
    mask.SetHandle(bitmap.CreateMask(clFuchsia).Release());
    ASSERT_EQ(mask.PixelFormat(), pf1bit);
    const COLORREF expected[] = {RGB(255, 255, 255), 0, RGB(255, 255, 255), 0};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPixel(mask.Canvas()->Handle(), x, 0), expected[x]) << x;

    // Drawn transparent, the key colour leaves what is beneath.
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(clFuchsia);
    TBitmap target(4, 1, pf24bit);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(RECT{0, 0, 4, 1});
    target.Canvas()->Draw(0, 0, &bitmap);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(1, 0), static_cast<TColor>(RGB(10, 20, 30)));
}

TEST_F(Graphics, ResizingKeepsTheTopLeftAndConvertingKeepsThePixels) {
    TBitmap bitmap(2, 2, pf24bit);
    PutPixel(bitmap, 1, 1, 1, 2, 3);
    bitmap.SetSize(3, 3);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 1), static_cast<TColor>(RGB(1, 2, 3)));
    EXPECT_EQ(bitmap.Canvas()->Pixels(2, 2), clWhite);
    bitmap.SetPixelFormat(pf32bit);
    EXPECT_EQ(bitmap.ScanLine(1)[4 + 2], 1); // red of (1, 1), four bytes a pixel now
    TBitmap copy;
    copy.Assign(&bitmap);
    EXPECT_EQ(copy.Canvas()->Pixels(1, 1), static_cast<TColor>(RGB(1, 2, 3)));
    EXPECT_THROW(bitmap.ScanLine(3), EInvalidGraphicOperation);
}

} // namespace
