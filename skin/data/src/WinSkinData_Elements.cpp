// The skin ini's sections and keys turned into the elements and colours of a TSkinData.
#include "skin_data/WinSkinData.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <type_traits>

#include "skin_archive/SkinRead.h"
#include "skin_archive/WinSkinIni.h"
#include "skin_data/ImgUtil.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/SkinIniValues.h"

struct TSkinData::TBuildContext {
    TSkinReader& Reader;
    TQuickIni& Ini;
    std::vector<std::string> Sections;
    TByteStream Entry;
    TSkinPictureBudget Pictures;

    std::string Str(const char* section, const std::string& key) const {
        return Ini.ReadString(section, key, "");
    }
    int Int(const char* section, const std::string& key, int def) const {
        return Ini.ReadInteger(section, key, def);
    }
};

namespace {

// A frame count taken from the ini: painters divide by it.
int AtLeastOne(int count) {
    return std::max(count, 1);
}

// How many frames a strip of check or radio cells holds when the skin does not say: cells are 13
// pixels wide in strips lower than 16, else 16; never fewer than 4.
int CellCount(const TBitmap& strip) {
    const int cell = strip.Height() < 16 ? 13 : 16;
    return std::max(strip.Width() / cell, 4);
}

// Puts the pixels of picture but the skin key colour at (x, y) of target, clipped to target: what
// drawing it transparent gives, without the mask and the blits that costs. Both are 24-bit.
void PutKeyedPixels(TBitmap& target, int x, int y, TBitmap& picture) {
    constexpr std::uint8_t key[3] = {(SkinKeyColour >> 16) & 0xFF, (SkinKeyColour >> 8) & 0xFF,
                                     SkinKeyColour & 0xFF}; // blue, green, red
    const int x0 = std::max(x, 0), x1 = std::min(x + picture.Width(), target.Width());
    const int y0 = std::max(y, 0), y1 = std::min(y + picture.Height(), target.Height());
    for (int ty = y0; ty < y1; ++ty) {
        const std::uint8_t* in = picture.ScanLine(ty - y) + 3 * (x0 - x);
        std::uint8_t* out = target.ScanLine(ty) + 3 * x0;
        for (int tx = x0; tx < x1; ++tx, in += 3, out += 3)
            if (std::memcmp(in, key, 3) != 0) std::memcpy(out, in, 3);
    }
}

} // namespace

void TSkinData::BuildElements(TSkinReader& reader, TQuickIni& ini) {
    TBuildContext c{reader, ini, {}, {}, {}};
    ini.ReadSections(c.Sections);
    ReadPersonality(c);
    ReadColours(c);
    ReadSysButtons(c);
    ReadButtons(c);
    ReadTitleText(c);
    ReadProgress(c);
    ReadMenuBar(c);
    ReadElement(c, GroupBoxEdge, "GroupBoxEdge", nullptr);
    ReadElement(c, GroupBox, "GroupBox", nullptr);
    ReadElement(c, Toolbars, "Toolbars", nullptr);
    ReadElement(c, Tabs, "Tabs", "Border");
    ReadElement(c, StatusBarEdges, "StatusBarEdges", nullptr);
    ReadElement(c, ComboButton, "ComboButton", nullptr);
    if (ComboButton && !ComboButton->Bitmap.Empty()) {
        ComboButton->Bitmap2.Assign(&ComboButton->Bitmap);
        ComboButton->Bitmap2.SetPixelFormat(pf24bit);
        MirrorBitmap(ComboButton->Bitmap2);
    }
    ReadElement(c, SunkEdge, "SunkEdge", nullptr);
    ReadElement(c, ExtraImages, "ExtraImages", nullptr);
    ReadElement(c, Headerbar, "Headerbar", nullptr);
    ReadElement(c, MenuItem, "MenuItem", nullptr);
    ReadElement(c, MenuBackground, "MenuBackground", nullptr);
    ReadElement(c, Scrollbar, "Scrollbar", nullptr);
    ReadElement(c, HorzScroll, "HorzScroll", nullptr);
    ReadElement(c, VertScroll, "VertScroll", nullptr);
    ReadElement(c, HorzScrollThumb, "HorzScrollThumb", nullptr);
    ReadElement(c, VertScrollThumb, "VertScrollThumb", nullptr);
    ReadElement(c, TrackbarThumbHorz, "Trackbar.ThumbHorz", nullptr);
    ReadElement(c, TrackbarThumbVert, "Trackbar.ThumbVert", nullptr);
    ReadElement(c, TrackbarThumbLeft, "Trackbar.ThumbLeft", nullptr);
    ReadElement(c, TrackbarThumbRight, "Trackbar.ThumbRight", nullptr);
    ReadElement(c, TrackbarThumbUp, "Trackbar.ThumbUp", nullptr);
    ReadElement(c, TrackbarThumbDown, "Trackbar.ThumbDown", nullptr);
    ReadElement(c, UpDownHorz, "UpDown.Horz", "GlyphImage");
    ReadElement(c, UpDownVert, "UpDown.Vert", "GlyphImage");
    SetFrameCounts(c);
    BuildComboStrip();
    FFaceBrush.Reset(CreateSolidBrush(ColorToRGB(Colours.ButtonFace)));
    FSkinNotLoaded = false;
}

void TSkinData::LoadEntryBitmap(TBuildContext& c, TBitmap& bitmap, const std::string& value) {
    const std::string name = SkinBitmapEntryName(value);
    if (name.empty()) {
        bitmap.FreeImage();
        return;
    }
    c.Reader.GetEntry(name, c.Entry);
    if (c.Entry.Size() == 0) {
        bitmap.FreeImage();
        return;
    }
    const auto* data = c.Entry.Data();
    const auto size = static_cast<std::size_t>(c.Entry.Size());
    // A file that is no bitmap is refused by the loader itself.
    const std::optional<TBmpLayout> layout = ReadBmpLayout(data, size);
    if (layout && !c.Pictures.Take(*layout))
        throw EInvalidGraphic(L"Skin bitmap " + AnsiToWide(name) + L" is too large");
    bitmap.LoadFromBytes(data, size);
    MarkSkinStrip(bitmap);
}

void TSkinData::ReadPersonality(TBuildContext& c) {
    const char* section = "Personality";
    for (std::size_t i = 0; i < Borders.size(); ++i) {
        TDataSkinBorder& b = *Borders[i];
        const std::string& n = b.Name;
        const int first = c.Int(section, n + "TopHeight", 0), last = c.Int(section, n + "BotHeight", 0);
        if (i == bpLeft || i == bpRight)
            b.SetMargins(RECT{0, first, 0, last});
        else
            b.SetMargins(RECT{first, 0, last, 0});
        b.FrameCount = AtLeastOne(c.Int(section, n + "Frame", 1));
        b.Tile = c.Int(section, n + "Stretch", 1);
        b.Trans = c.Int(section, n + "Trans", 1);
        LoadEntryBitmap(c, b.Bitmap, c.Str(section, n));
    }
}

void TSkinData::ReadColours(TBuildContext& c) {
    auto read = [&](const char* key, TColor def) { return ColourOrDefault(c.Str("Colours", key), def); };
    TSkinColours& k = Colours;
    k.WindowText = read("WindowText", clWindowText);
    k.ButtonFace = read("ButtonFace", clBtnFace);
    k.Scrollbar = read("Scrollbar", clScrollBar);
    k.HilightText = read("HilightText", clHighlightText);
    k.Hilight = read("Hilight", clHighlight);
    k.Menubar = read("Menubar", k.ButtonFace);
    k.Menu = read("Menu", clMenu);
    k.MenuText = read("MenuText", clMenuText);
    k.ButtonText = read("ButtonText", clBtnText);
    k.ButtonHilight = read("ButtonHilight", clBtnHighlight);
    k.Buttonlight = read("Buttonlight", clBtnHighlight);
    k.ButtonShadow = read("ButtonShadow", clBtnShadow);
    k.ButtonDkShadow = read("ButtonDkShadow", cl3DDkShadow);
    k.MenuBarText = read("MenuBarText", clMenuText);
    k.TitleTextActive = read("TitleTextActive", clCaptionText);
    k.TitleTextNoActive = read("TitleTextNoActive", clInactiveCaptionText);
}

void TSkinData::ReadSysButtons(TBuildContext& c) {
    SysButtons.clear();
    std::vector<std::string> kept;
    for (const std::string& section : c.Sections) {
        if (!IsCaptionButtonSection(section)) continue;
        // A button without an action that is shown by some rule would never do anything.
        if (c.Int(section.c_str(), "Action", 0) == -1 && c.Int(section.c_str(), "Visibility", -1) != 0)
            continue;
        kept.push_back(section);
    }
    for (const std::string& section : kept) {
        const char* s = section.c_str();
        auto b = std::make_unique<TDataSkinSysButton>(UpperAscii(section));
        b->Action = c.Int(s, "Action", 0);
        b->Align = c.Int(s, "Align", 0);
        b->Xcoord = c.Int(s, "Xcoord", 0);
        b->Ycoord = c.Int(s, "Ycoord", 0);
        b->Visibility = c.Int(s, "Visibility", 0);
        b->Visibility1 = c.Int(s, "Visibility1", b->Action == -1 ? -1 : 0);
        b->CombineOp = c.Int(s, "CombineOp", -1);
        const int frame = std::max(c.Int(s, "frame", 0), 0);
        b->FrameCount = frame;
        LoadEntryBitmap(c, b->Bitmap, c.Str(s, "ButtonImage"));
        if (frame == 0) {
            b->FrameCount = 6;
            if (!b->Bitmap.Empty()) {
                // At most 3.8 times as wide as high: three frames (normal, pressed, hot).
                b->FrameCount = b->Bitmap.Width() * 10 <= b->Bitmap.Height() * 38 ? 3 : 6;
                if (b->Action < 0) b->FrameCount = 6;
            }
            // The system-menu button shows the window icon instead.
            if (b->Action == 3 || b->Action == 11) b->Bitmap.FreeImage();
        }
        SysButtons.push_back(std::move(b));
    }
    for (int action : {7, 8, 9}) {
        auto b = std::make_unique<TDataSkinSysButton>("");
        b->Action = action;
        b->Align = b->Visibility = b->Visibility1 = 100;
        b->FrameCount = 4;
        SysButtons.push_back(std::move(b));
    }
    ReadMDIControls(c);
}

void TSkinData::ReadMDIControls(TBuildContext& c) {
    TBitmap image;
    LoadEntryBitmap(c, image, c.Str("MDICONTROLS", "Image"));
    if (image.Empty()) return;
    const int cell = image.Width() / 12, h = image.Height();
    for (int i = 0; i < 3; ++i) {
        TDataSkinSysButton& b = *SysButtons[SysButtons.size() - 3 + static_cast<std::size_t>(i)];
        b.Bitmap.SetPixelFormat(image.PixelFormat());
        b.Bitmap.SetSize(4 * cell, h);
        BitBlt(b.Bitmap.Canvas()->Handle(), 0, 0, 4 * cell, h, image.Canvas()->Handle(), 4 * cell * i, 0,
               SRCCOPY);
        b.Xcoord = (cell + 4) * (3 - i);
    }
}

void TSkinData::ReadButtons(TBuildContext& c) {
    const char* s = "Buttons";
    TDataSkinButton& b = *Buttons;
    ReadDrawingKeys(c, b, s);
    LoadEntryBitmap(c, b.Bitmap, c.Str(s, "Bitmap"));
    LoadEntryBitmap(c, b.CheckButton, c.Str(s, "CheckButton"));
    LoadEntryBitmap(c, b.RadioButton, c.Str(s, "RadioButton"));
    b.NormalColour = c.Int(s, "NormalColour", -1);
    b.MouseOverColour = c.Int(s, "MouseOverColour", -1);
    b.PressedColour = c.Int(s, "PressedColour", -1);
    b.RadioButtonFrame = std::max(c.Int(s, "RadioButtonFrame", 0), 0);
    b.CheckButtonFrame = std::max(c.Int(s, "CheckButtonFrame", 0), 0);
    const std::string normal = c.Str(s, "NormalColour2"), over = c.Str(s, "MouseOverColour2"),
                      pressed = c.Str(s, "PressedColour2");
    b.HasNormalColour2 = !normal.empty();
    b.HasMouseOverColour2 = !over.empty();
    b.HasPressedColour2 = !pressed.empty();
    b.NormalColour2 = ColourOrDefault(normal, Colours.ButtonText);
    b.MouseOverColour2 = ColourOrDefault(over, Colours.ButtonText);
    b.PressedColour2 = ColourOrDefault(pressed, Colours.ButtonText);
}

void TSkinData::ReadTitleText(TBuildContext& c) {
    const char* s = "Personality";
    TDataSkinTitle& t = *Title;
    LoadEntryBitmap(c, t.Bitmap, c.Str(s, "TextBack"));
    t.SetMargins(
        RECT{c.Int(s, "TextShift", 0), c.Int(s, "TextShiftVert", 0), c.Int(s, "TextRightClip", 0), 0});
    t.TextAlignment = c.Int(s, "TextAlignment", 0);
    t.Textbackground = c.Int(s, "Textbackground", 0);
    t.FontHeight = c.Int("Fonts", "FontHeight", 14);
    t.TXTBackleft = c.Int(s, "TXTBackleft", 0);
    t.TXTBackRight = c.Int(s, "TXTBackRight", 0);
    t.ActiveText = t.InActiveText = clNone;
    // A colour given as three numbers; only a complete triple counts.
    auto readRGB = [&](const std::string& prefix, TColor& colour) {
        const int r = c.Int(s, prefix + "R", -1), g = c.Int(s, prefix + "G", -1),
                  b = c.Int(s, prefix + "B", -1);
        if (r >= 0 && g >= 0 && b >= 0)
            colour = static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
    };
    readRGB("ActiveText", t.ActiveText);
    readRGB("InActiveText", t.InActiveText);
}

template <class T>
T* TSkinData::NewElement(TBuildContext& c, std::unique_ptr<T>& slot, const char* section,
                         const char* imageKey) {
    slot.reset();
    const std::string image = c.Str(section, imageKey);
    if (image.empty()) return nullptr;
    slot = std::make_unique<T>(section);
    LoadEntryBitmap(c, slot->Bitmap, image);
    slot->NormalColour2 = slot->MouseOverColour2 = slot->PressedColour2 = Colours.ButtonText;
    return slot.get();
}

void TSkinData::ReadDrawingKeys(TBuildContext& c, TDataSkinObject& e, const char* section) {
    e.LeftWidth = c.Int(section, "LeftWidth", 0);
    e.RightWidth = c.Int(section, "RightWidth", 0);
    e.TopHeight = c.Int(section, "TopHeight", 0);
    e.BottomHeight = c.Int(section, "BottomHeight", 0);
    e.Trans = c.Int(section, "Trans", 0);
    e.Tile = c.Int(section, "Tile", 0);
}

template <class T>
void TSkinData::ReadElement(TBuildContext& c, std::unique_ptr<T>& slot, const char* section,
                            const char* second) {
    T* e = NewElement(c, slot, section, "Image");
    if (!e) return;
    // Elements with a second bitmap read the border key set, which has no Style.
    if constexpr (!std::is_base_of_v<TDataSkinBorder, T>) e->Style = c.Int(section, "Style", 0);
    ReadDrawingKeys(c, *e, section);
    if (e->Tile > 1) e->Tile = 0;
    e->NormalColour = c.Int(section, "NormalColour", -1);
    e->MouseOverColour = c.Int(section, "MouseOverColour", -1);
    e->PressedColour = c.Int(section, "PressedColour", -1);
    e->NormalColour2 = ColourOrDefault(c.Str(section, "NormalColour2"), Colours.ButtonText);
    e->MouseOverColour2 = ColourOrDefault(c.Str(section, "MouseOverColour2"), Colours.ButtonText);
    e->PressedColour2 = ColourOrDefault(c.Str(section, "PressedColour2"), Colours.ButtonText);
    if constexpr (std::is_same_v<T, TDataSkinBoxLabel>) {
        e->BackgroundAlignment = c.Int(section, "BackgroundAlignment", 0);
        e->BackgroundLeftShift = c.Int(section, "BackgroundLeftShift", 0);
        e->BackgroundRightShift = c.Int(section, "BackgroundRightShift", 0);
    }
    if constexpr (std::is_base_of_v<TDataSkinBorder, T>) {
        if (second) LoadEntryBitmap(c, e->Bitmap2, c.Str(section, second));
    }
}

void TSkinData::ReadProgress(TBuildContext& c) {
    const char* s = "Progress";
    TDataSkinBorder* e = NewElement(c, Progress, s, "Bitmap");
    if (!e) return;
    LoadEntryBitmap(c, e->Bitmap2, c.Str(s, "Chunk"));
    e->Style = c.Int(s, "Style", 0);
    // The progress element keeps any tile mode.
    ReadDrawingKeys(c, *e, s);
}

void TSkinData::ReadMenuBar(TBuildContext& c) {
    const char* s = "Personality";
    TDataSkinObject* e = NewElement(c, MenuBar, s, "menuBar");
    if (!e) return;
    e->Tile = c.Int(s, "TileMenu", 0);
    e->SetMargins(RECT{c.Int(s, "TileLeftMenu", 1), 0, c.Int(s, "TileRightMenu", 1), 0});
}

void TSkinData::SetFrameCounts(TBuildContext& c) {
    Buttons->FrameCount = 5;
    if (Buttons->RadioButtonFrame == 0) Buttons->RadioButtonFrame = CellCount(Buttons->RadioButton);
    if (Buttons->CheckButtonFrame == 0) Buttons->CheckButtonFrame = CellCount(Buttons->CheckButton);
    Title->FrameCount = 2;
    auto set = [](auto& slot, int count) {
        if (slot) slot->FrameCount = count;
    };
    set(Progress, 2);
    set(MenuBar, 2);
    set(GroupBoxEdge, 2);
    set(GroupBox, 1);
    set(Toolbars, 5);
    set(Tabs, 5);
    set(StatusBarEdges, 3);
    set(ComboButton, 4);
    set(SunkEdge, 4);
    set(ExtraImages, 5);
    set(Headerbar, 5);
    set(MenuItem, 5);
    set(MenuBackground, 1);
    set(Scrollbar, 23);
    set(HorzScroll, 4);
    set(VertScroll, 4);
    set(HorzScrollThumb, AtLeastOne(c.Int("HorzScrollThumb", "FrameCount", 3)));
    set(VertScrollThumb, AtLeastOne(c.Int("VertScrollThumb", "FrameCount", 3)));
    for (auto* thumb : {&TrackbarThumbHorz, &TrackbarThumbVert, &TrackbarThumbLeft, &TrackbarThumbRight,
                        &TrackbarThumbUp, &TrackbarThumbDown})
        set(*thumb, 5);
    set(UpDownHorz, 8);
    set(UpDownVert, 8);
}

void TSkinData::BuildComboStrip() {
    if (!SunkEdge || !ComboButton) return;
    constexpr int cellWidth = 50, cellHeight = 21;
    const int b = GetSystemMetrics(SM_CXHSCROLL) + 2;
    const int frames = SunkEdge->FrameCount;
    TBitmap strip(cellWidth * frames, cellHeight, pf24bit);
    TCanvas* stripCanvas = strip.Canvas();
    stripCanvas->Brush()->SetColor(SkinKeyColour);
    stripCanvas->FillRect(RECT{0, 0, strip.Width(), cellHeight});
    // Each cell is the edge's frame with the button's frame and the glyph (unscaled, centred on the
    // button) drawn over it transparent. The pictures are made once and redrawn per frame.
    TBitmap cell(cellWidth, cellHeight, pf24bit);
    TBitmap buttonPicture(b, cellHeight, pf24bit);
    TBitmap* glyphs = ExtraImages && !ExtraImages->Bitmap.Empty() ? &ExtraImages->Bitmap : nullptr;
    const int glyphCount = ExtraImages ? ExtraImages->FrameCount : 0;
    TBitmap glyphPicture(glyphs ? glyphs->Width() / std::max(glyphCount, 1) : 0,
                         glyphs ? glyphs->Height() : 0, pf24bit);
    const int buttonLeft = cellWidth - b;
    const int glyphLeft = buttonLeft + (b - glyphPicture.Width()) / 2,
              glyphTop = (cellHeight - glyphPicture.Height()) / 2;
    for (int f = 1; f <= frames; ++f) {
        // The edge covers the cell: drawn transparent or not onto the key colour, it is the cell.
        BuildSkinBitmapInto(cell, SunkEdge->Bitmap, SunkEdge->Margins(), f, frames, SunkEdge->Tile == 1,
                            false);
        BuildSkinBitmapInto(buttonPicture, ComboButton->Bitmap, ComboButton->Margins(), f,
                            ComboButton->FrameCount, ComboButton->Tile == 1, false);
        PutKeyedPixels(cell, buttonLeft, 0, buttonPicture);
        if (glyphs) {
            BuildSkinBitmapInto(glyphPicture, *glyphs, RECT{}, f, glyphCount, false, false);
            PutKeyedPixels(cell, glyphLeft, glyphTop, glyphPicture);
        }
        TCanvas* canvas = cell.Canvas();
        canvas->Brush()->SetColor(SkinKeyColour);
        canvas->FillRect(RECT{2, 2, cellWidth - 1 - b, 18});
        BitBlt(strip.Canvas()->Handle(), cellWidth * (f - 1), 0, cellWidth, cellHeight,
               cell.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    ComboButton->Style = 2;
    RECT margins = SunkEdge->Margins();
    margins.left = 2;
    margins.right = b + 2;
    ComboButton->SetMargins(margins);
    ComboButton->Bitmap.Assign(&strip);
    MirrorBitmap(strip);
    SunkEdge->Bitmap.SetHandle(strip.ReleaseHandle());
    SunkEdge->LeftWidth = b + 2;
    SunkEdge->RightWidth = 2;
}
