// Draws the memory map picture of the "Card memory structure" window: the four memory banks of an
// EPC Gen2 tag with their word addresses, written as a baseline JPEG. Everything is drawn from
// this file and the built-in font, so the output is byte-identical on every run.
//
// Usage: memmap <output.jpg>
#include "font.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <jpeglib.h>

namespace memmap {
namespace {

constexpr int Width = 664;
constexpr int Height = 547;

struct Colour {
    std::uint8_t r, g, b;
};

constexpr Colour White{255, 255, 255};
constexpr Colour Ink{32, 32, 32};
constexpr Colour Frame{64, 64, 64};
constexpr Colour TitleInk{31, 58, 104};
constexpr Colour HeaderFill{226, 230, 236};

class Canvas {
public:
    Canvas(int width, int height, Colour background)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 3) {
        Fill(0, 0, width, height, background);
    }

    int width() const { return width_; }
    int height() const { return height_; }
    const std::uint8_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_ * 3; }

    void Plot(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        std::uint8_t* p = pixels_.data() + (static_cast<std::size_t>(y) * width_ + x) * 3;
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }

    void Fill(int x, int y, int w, int h, Colour c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) Plot(i, j, c);
    }

    void Outline(int x, int y, int w, int h, int thickness, Colour c) {
        Fill(x, y, w, thickness, c);
        Fill(x, y + h - thickness, w, thickness, c);
        Fill(x, y, thickness, h, c);
        Fill(x + w - thickness, y, thickness, h, c);
    }

    // Text with its top-left corner at (x, y); each font pixel becomes scale x scale pixels.
    void Text(int x, int y, std::string_view text, int scale, Colour c) {
        for (char ch : text) {
            const Glyph* glyph = FindGlyph(ch);
            if (glyph == nullptr) throw std::runtime_error(std::string("no glyph for '") + ch + "'");
            const int top = y + (glyph->descends ? 2 * scale : 0);
            for (int row = 0; row < GlyphHeight; ++row)
                for (int col = 0; col < GlyphWidth; ++col)
                    if (glyph->rows[row][col] == '#')
                        Fill(x + col * scale, top + row * scale, scale, scale, c);
            x += CellWidth * scale;
        }
    }

    static int TextWidth(std::string_view text, int scale) {
        return text.empty() ? 0 : (static_cast<int>(text.size()) * CellWidth - 1) * scale;
    }

    // Centred in the box horizontally; the capital height is centred vertically.
    void CentredText(int x, int y, int w, int h, std::string_view text, int scale, Colour c) {
        Text(x + (w - TextWidth(text, scale)) / 2, y + (h - GlyphHeight * scale) / 2, text, scale, c);
    }

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

struct Word {
    std::string_view address;
    std::string_view content;
    int units; // height in rows
};

struct Bank {
    std::string_view number;
    std::string_view name;
    Colour light;
    Colour strong;
    std::vector<Word> words;
};

const std::vector<Bank>& Banks() {
    static const std::vector<Bank> banks{
        {"00",
         "Reserved",
         {250, 222, 220},
         {232, 160, 156},
         {{"00h-01h", "Kill password", 1}, {"02h-03h", "Access password", 1}}},
        {"01",
         "EPC",
         {218, 232, 248},
         {150, 186, 228},
         {{"00h", "CRC-16", 1}, {"01h", "PC", 1}, {"02h-07h", "EPC", 1}}},
        {"02",
         "TID",
         {222, 240, 216},
         {160, 208, 150},
         {{"00h-01h", "Class, maker, model", 1}, {"02h-05h", "Serial number", 1}}},
        {"03", "User", {255, 244, 204}, {236, 208, 118}, {{"00h-3Fh", "User memory", 2}}},
    };
    return banks;
}

Canvas Draw() {
    Canvas canvas(Width, Height, White);

    const std::string_view title = "Logical memory mapping";
    canvas.CentredText(0, 10, Width, 40, title, 3, TitleInk);
    canvas.Fill((Width - Canvas::TextWidth(title, 3)) / 2, 52, Canvas::TextWidth(title, 3), 2, TitleInk);

    // Columns: bank, word address, contents.
    constexpr int bankX = 14, bankW = 160;
    constexpr int addrX = 204, addrW = 124;
    constexpr int contentX = addrX + addrW, contentW = Width - 14 - contentX;
    constexpr int headerY = 70, headerH = 28;
    constexpr int rowH = 38, gap = 14, border = 2;

    canvas.Fill(bankX, headerY, bankW, headerH, HeaderFill);
    canvas.Outline(bankX, headerY, bankW, headerH, border, Frame);
    canvas.CentredText(bankX, headerY, bankW, headerH, "Memory bank", 2, Ink);
    canvas.Fill(addrX, headerY, addrW + contentW, headerH, HeaderFill);
    canvas.Outline(addrX, headerY, addrW, headerH, border, Frame);
    canvas.Outline(contentX - border, headerY, contentW + border, headerH, border, Frame);
    canvas.CentredText(addrX, headerY, addrW, headerH, "Address", 2, Ink);
    canvas.CentredText(contentX, headerY, contentW, headerH, "Contents", 2, Ink);

    int y = headerY + headerH + gap;
    for (const Bank& bank : Banks()) {
        int units = 0;
        for (const Word& word : bank.words) units += word.units;
        const int bankH = units * rowH;

        canvas.Fill(bankX, y, bankW, bankH, bank.strong);
        canvas.Outline(bankX, y, bankW, bankH, border, Frame);
        const std::string label = "Bank " + std::string(bank.number);
        constexpr int lineH = GlyphHeight * 2, lineGap = 10;
        const int labelY = y + (bankH - 2 * lineH - lineGap) / 2;
        canvas.CentredText(bankX, labelY, bankW, lineH, label, 2, Ink);
        canvas.CentredText(bankX, labelY + lineH + lineGap, bankW, lineH, bank.name, 2, Ink);

        // The link from the bank to its words.
        canvas.Fill(bankX + bankW, y + bankH / 2 - 1, addrX - bankX - bankW, 3, Frame);

        int rowY = y;
        for (const Word& word : bank.words) {
            const int h = word.units * rowH;
            canvas.Fill(addrX, rowY, addrW + contentW, h, bank.light);
            canvas.Outline(addrX, rowY, addrW, h, border, Frame);
            canvas.Outline(contentX - border, rowY, contentW + border, h, border, Frame);
            canvas.CentredText(addrX, rowY, addrW, h, word.address, 2, Ink);
            canvas.CentredText(contentX, rowY, contentW, h, word.content, 2, Ink);
            rowY += h - border; // neighbouring rows share one border line
        }
        y += bankH + gap;
    }

    canvas.CentredText(0, Height - 36, Width, 24, "1 word = 16 bits, most significant bit first", 2, Ink);
    return canvas;
}

void WriteJpeg(const Canvas& canvas, const char* path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "wb"), std::fclose);
    if (!file) throw std::runtime_error(std::string("cannot create ") + path);

    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = static_cast<JDIMENSION>(canvas.width());
    info.image_height = static_cast<JDIMENSION>(canvas.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    info.dct_method = JDCT_ISLOW;
    // No chroma subsampling: coloured boxes next to thin text stay sharp.
    for (int i = 0; i < info.num_components; ++i) {
        info.comp_info[i].h_samp_factor = 1;
        info.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(canvas.row(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
}

} // namespace
} // namespace memmap

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: memmap <output.jpg>\n");
        return 2;
    }
    try {
        memmap::WriteJpeg(memmap::Draw(), argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "memmap: %s\n", e.what());
        return 1;
    }
    return 0;
}
