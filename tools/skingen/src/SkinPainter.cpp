#include "SkinPainter.h"

#include <algorithm>
#include <string>

namespace {

// The skin ini as it is written: sections of key lines, CR LF line ends.
class TIniText {
public:
    void Section(const std::string& name) { text_ += (text_.empty() ? "[" : "\r\n[") + name + "]\r\n"; }
    void Key(const std::string& key, const std::string& value) { text_ += key + "=" + value + "\r\n"; }
    void Key(const std::string& key, int value) { Key(key, std::to_string(value)); }
    // A colour as "red,green,blue".
    void Colour(const std::string& key, TRgb c) {
        Key(key, std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b));
    }
    void Margins(int left, int top, int right, int bottom) {
        Key("LeftWidth", left);
        Key("TopHeight", top);
        Key("RightWidth", right);
        Key("BottomHeight", bottom);
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

enum TGlyph { gClose, gMaximize, gRestore, gMinimize };

// Button states in the order of the caption-button frames: normal, pressed, hot, inactive.
enum TCaptionState { csNormal, csPressed, csHot, csInactive };
// Control states in the order the skin's five-frame strips use: normal, pressed, disabled, hot,
// default.
enum TControlState { ctNormal, ctPressed, ctDisabled, ctHot, ctDefault };
constexpr TControlState kControlStates[] = {ctNormal, ctPressed, ctDisabled, ctHot, ctDefault};

// The square of side size centred in box.
TBox Centred(const TBox& box, int w, int h) {
    const int x = box.x0 + (box.Width() - w) / 2, y = box.y0 + (box.Height() - h) / 2;
    return {x, y, x + w, y + h};
}

void DrawGlyph(TRaster& r, const TBox& box, TGlyph glyph, TRgb c) {
    const int g = std::min(box.Width(), box.Height());
    const TBox b = Centred(box, g, g);
    switch (glyph) {
    case gClose:
        r.Line(b.x0, b.y0, b.x1 - 2, b.y1 - 2, c, 2);
        r.Line(b.x1 - 2, b.y0, b.x0, b.y1 - 2, c, 2);
        break;
    case gMaximize:
        r.Frame(b, c);
        r.Fill({b.x0, b.y0, b.x1, b.y0 + 2}, c);
        break;
    case gRestore: {
        const TBox front{b.x0, b.y0 + 3, b.x1 - 3, b.y1};
        r.Frame(front, c);
        r.Fill({front.x0, front.y0, front.x1, front.y0 + 2}, c);
        r.Fill({b.x0 + 3, b.y0, b.x1, b.y0 + 2}, c);
        r.Fill({b.x1 - 1, b.y0, b.x1, b.y1 - 3}, c);
        r.Fill({b.x0 + 3, b.y0, b.x0 + 4, front.y0}, c);
        r.Fill({front.x1, b.y1 - 4, b.x1, b.y1 - 3}, c);
        break;
    }
    case gMinimize:
        r.Fill({b.x0 + 1, b.y1 - 3, b.x1 - 1, b.y1 - 1}, c);
        break;
    }
}

void CheckMark(TRaster& r, const TBox& b, TRgb c) {
    // A tick of two strokes, two pixels thick.
    const int x = b.x0, y = b.y0;
    r.Line(x + 2, y + 5, x + 4, y + 7, c, 2);
    r.Line(x + 4, y + 7, x + 8, y + 2, c, 2);
}

class TPainter {
public:
    explicit TPainter(const TTheme& theme) : t(theme) {}

    std::vector<TArchiveEntry> Paint() {
        WindowFrame();
        CaptionButtons();
        MdiControls();
        Colours();
        ButtonsAndBoxes();
        Progress();
        GroupBoxes();
        Toolbars();
        Tabs();
        StatusBar();
        ComboBox();
        Header();
        Menus();
        ScrollBars();
        TrackBar();
        UpDown();
        std::vector<TArchiveEntry> all;
        all.push_back({t.IniName, std::vector<std::uint8_t>(ini_.Text().begin(), ini_.Text().end())});
        all.insert(all.end(), bitmaps_.begin(), bitmaps_.end());
        return all;
    }

private:
    // Adds the bitmap entry name.bmp and gives its file name for the ini.
    std::string Bitmap(const std::string& name, const TRaster& raster) {
        const std::string file = name + ".bmp";
        bitmaps_.push_back({file, raster.EncodeBmp24()});
        return file;
    }

    TRgb CaptionTop(bool active) const { return active ? t.CaptionTop : t.InactiveTop; }
    TRgb CaptionBottom(bool active) const { return active ? t.CaptionBottom : t.InactiveBottom; }

    // The caption's background in box: gradient, grain, planks and gloss.
    void CaptionBackground(TRaster& r, const TBox& box, bool active, int plankOrigin) const {
        r.VGradient(box, CaptionTop(active), CaptionBottom(active));
        if (t.Grain > 0) r.Grain(box, Darken(CaptionBottom(active), 90), t.Grain, t.Seed);
        if (t.PlankWidth > 0)
            for (int x = box.x0; x < box.x1; ++x) {
                const int phase = ((x - plankOrigin) % t.PlankWidth + t.PlankWidth) % t.PlankWidth;
                if (phase == 0) r.Fill({x, box.y0, x + 1, box.y1}, Darken(CaptionBottom(active), 120));
                if (phase == 1) r.Fill({x, box.y0, x + 1, box.y1}, Lighten(CaptionTop(active), 50));
            }
        if (t.Gloss > 0) r.Gloss(box, t.Gloss);
    }

    // The whole window drawn small, from which the four border strips are cut.
    struct TFrameGeometry {
        int margin; // unscaled ends of the caption strip
        int width, height;
    };
    TFrameGeometry Geometry() const {
        const int margin = std::max(t.Corner + 4, 8);
        const int middle = t.PlankWidth > 0 ? t.PlankWidth : 16;
        return {margin, 2 * t.Border + 2 * margin + middle, t.Caption + 16 + t.Border};
    }

    TRaster VirtualWindow(bool active) const {
        const TFrameGeometry g = Geometry();
        const int B = t.Border, C = t.Caption, W = g.width, H = g.height;
        const TRgb fill = active ? t.FrameFill : Mix(t.FrameFill, Lighten(Grey(t.FrameFill), 80), 170);
        TRaster w(W, H, fill);
        w.Fill({B, C, W - B, H - B}, t.Face);
        CaptionBackground(w, {0, 0, W, C}, active, B + g.margin);
        w.Fill({0, C - 1, W, C}, Darken(CaptionBottom(active), 80));
        // The client area sits in a thin sunken edge.
        w.Bevel({B - 1, C - 1, W - B + 1, H - B + 1}, Darken(fill, 70), Lighten(fill, 70));
        w.Fill({B - 1, C - 1, W - B + 1, C}, Darken(CaptionBottom(active), 80));
        w.KeyCorners(w.Bounds(), t.Corner, true, true, false, false);
        w.KeyCorners(w.Bounds(), t.BottomCorner, false, false, true, true);
        w.Outline(active ? t.FrameOuter : Mix(t.FrameOuter, Grey(t.FrameOuter), 200));
        return w;
    }

    void WindowFrame() {
        const TFrameGeometry g = Geometry();
        const int B = t.Border, C = t.Caption, W = g.width, H = g.height;
        const TRaster active = VirtualWindow(true), inactive = VirtualWindow(false);
        auto cut = [&](const TBox& box) {
            return std::vector<TRaster>{active.Crop(box), inactive.Crop(box)};
        };
        ini_.Section("Personality");
        ini_.Key("Left", Bitmap("left", StripH(cut({0, 0, B, H}))));
        ini_.Key("Right", Bitmap("right", StripH(cut({W - B, 0, W, H}))));
        ini_.Key("Top", Bitmap("top", StripV(cut({B, 0, W - B, C}))));
        ini_.Key("Bottom", Bitmap("bottom", StripV(cut({B, H - B, W - B, H}))));
        for (const char* side : {"Left", "Right"}) {
            ini_.Key(std::string(side) + "TopHeight", C);
            ini_.Key(std::string(side) + "BotHeight", B);
        }
        ini_.Key("TopTopHeight", g.margin);
        ini_.Key("TopBotHeight", g.margin);
        ini_.Key("BottomTopHeight", 2);
        ini_.Key("BottomBotHeight", 2);
        for (const char* side : {"Left", "Right", "Top", "Bottom"}) {
            const std::string s = side;
            ini_.Key(s + "Frame", 2);
            // A plank caption repeats its planks; everything else stretches.
            ini_.Key(s + "Stretch", s == "Top" && t.PlankWidth > 0 ? 0 : 1);
            ini_.Key(s + "Trans", s == "Bottom" && t.BottomCorner == 0 ? 0 : 1);
        }

        MenuBar();
        TitleText();
    }

    void MenuBar() {
        std::vector<TRaster> frames;
        for (bool active : {true, false}) {
            TRaster r(32, 20);
            const TRgb top = active ? t.MenuBarTop : Mix(t.MenuBarTop, Grey(t.MenuBarTop), 160);
            const TRgb bottom = active ? t.MenuBarBottom : Mix(t.MenuBarBottom, Grey(t.MenuBarBottom), 160);
            r.VGradient(r.Bounds(), top, bottom);
            r.Fill({0, 0, 32, 1}, Lighten(top, 90));
            r.Fill({0, 19, 32, 20}, Darken(bottom, 60));
            frames.push_back(r);
        }
        ini_.Key("menuBar", Bitmap("menubar", StripH(frames)));
        ini_.Key("TileMenu", t.MenuBarTile);
        ini_.Key("TileLeftMenu", 2);
        ini_.Key("TileRightMenu", 2);
    }

    // Space on the left for the window icon, on the right for three caption buttons.
    int IconRight() const { return t.Border + 3 + 16; }
    int ButtonsWidth() const { return 3 * (t.CapButtonWidth + 2) + t.Border + 4; }

    void TitleText() {
        ini_.Key("TextShift", IconRight() + 6);
        ini_.Key("TextShiftVert", 0);
        ini_.Key("TextRightClip", ButtonsWidth() + 4);
        ini_.Key("TextAlignment", t.TitleAlign);
        ini_.Key("ActiveTextR", t.CaptionText.r);
        ini_.Key("ActiveTextG", t.CaptionText.g);
        ini_.Key("ActiveTextB", t.CaptionText.b);
        ini_.Key("InActiveTextR", t.CaptionTextInactive.r);
        ini_.Key("InActiveTextG", t.CaptionTextInactive.g);
        ini_.Key("InActiveTextB", t.CaptionTextInactive.b);
        if (t.TextPlate) {
            // A sunken band over the caption; its ends are the caption itself, so it joins in.
            std::vector<TRaster> frames;
            for (bool active : {true, false}) {
                TRaster r(32, t.Caption);
                CaptionBackground(r, r.Bounds(), active, 0);
                const TBox band{5, 3, 27, t.Caption - 4};
                r.VGradient(band, Darken(CaptionBottom(active), 50), Darken(CaptionTop(active), 30));
                r.Bevel(band, Darken(CaptionBottom(active), 130), Lighten(CaptionTop(active), 60));
                r.Fill({0, t.Caption - 1, 32, t.Caption}, Darken(CaptionBottom(active), 80));
                frames.push_back(r);
            }
            ini_.Key("TextBack", Bitmap("textback", StripH(frames)));
            ini_.Key("TXTBackleft", 8);
            ini_.Key("TXTBackRight", 8);
        }
        ini_.Section("Fonts");
        ini_.Key("FontHeight", 14);
    }

    // One caption-button frame: the plate of the theme's shape and the glyph.
    TRaster CaptionButton(TGlyph glyph, TCaptionState state, bool close) const {
        const int w = t.CapButtonWidth, h = t.CapButtonHeight;
        TRaster r(w, h);
        TRgb face = close ? t.CloseFace : t.CapButtonFace;
        if (state == csPressed) face = Darken(face, 60);
        if (state == csHot) face = Lighten(face, 60);
        if (state == csInactive) face = Lighten(Mix(face, Grey(face), 200), 40);
        const TRgb rim = Darken(face, 100);
        switch (t.CapButtonShape) {
        case psSquare:
            r.Fill(r.Bounds(), face);
            if (state == csPressed)
                r.Bevel(r.Bounds(), rim, Lighten(face, 90));
            else
                r.Bevel(r.Bounds(), Lighten(face, 90), rim);
            r.Frame(r.Bounds().Inset(-1), rim);
            break;
        case psRounded:
            r.RoundPlate(r.Bounds(), 3, Lighten(face, 60), face, rim);
            if (state != csPressed) r.Gloss(r.Bounds().Inset(1), 80);
            break;
        case psRound: {
            const int d = std::min(w, h);
            r.Disc(Centred(r.Bounds(), d, d), face, rim);
            if (state != csPressed) r.Gloss(Centred(r.Bounds(), d, d).Inset(2), 110);
            break;
        }
        case psGlyphOnly:
            if (state == csHot || state == csPressed)
                r.RoundPlate(r.Bounds(), 3, Lighten(face, 40), face, rim);
            break;
        }
        TRgb ink = state == csInactive ? Mix(t.CapGlyph, Grey(t.CapGlyph), 180) : t.CapGlyph;
        const int g = std::min(w, h) >= 17 ? 9 : 8;
        const TBox glyphBox =
            Centred(r.Bounds(), g, g).Moved(state == csPressed ? 1 : 0, state == csPressed ? 1 : 0);
        DrawGlyph(r, glyphBox, glyph, Opaque(ink));
        return r;
    }

    std::string CaptionButtonStrip(const std::string& name, TGlyph glyph, bool close) {
        std::vector<TRaster> frames;
        for (TCaptionState s : {csNormal, csPressed, csHot, csInactive})
            frames.push_back(CaptionButton(glyph, s, close));
        return Bitmap(name, StripH(frames));
    }

    void CaptionButtons() {
        const int w = t.CapButtonWidth, y = (t.Caption - t.CapButtonHeight) / 2;
        struct TButton {
            const char* section;
            const char* image;
            TGlyph glyph;
            int action, visibility, visibility1, slot;
        };
        // Action 0 closes, 1 maximizes or restores, 2 minimizes; the maximize and restore
        // buttons share a place and show by the window's state.
        const TButton buttons[] = {
            {"ButtonClose", "close", gClose, 0, 0, 0, 1},
            {"ButtonMaximize", "maximize", gMaximize, 1, 6, 2, 2},
            {"ButtonRestore", "restore", gRestore, 1, 6, 1, 2},
            {"ButtonMinimize", "minimize", gMinimize, 2, 8, 0, 3},
        };
        for (const TButton& b : buttons) {
            ini_.Section(b.section);
            ini_.Key("Action", b.action);
            ini_.Key("Align", 1);
            ini_.Key("Xcoord", t.Border + 2 + b.slot * (w + 2));
            ini_.Key("Ycoord", y);
            ini_.Key("Visibility", b.visibility);
            ini_.Key("Visibility1", b.visibility1);
            ini_.Key("ButtonImage", CaptionButtonStrip(b.image, b.glyph, b.action == 0));
            ini_.Key("frame", 4);
        }
        // The system menu sits where the window icon is drawn.
        TRaster icon(16, 16);
        icon.RoundPlate(icon.Bounds().Inset(1), 2, t.Window, t.Face, t.Dark);
        icon.Fill({2, 2, 14, 5}, t.CaptionTop);
        ini_.Section("ButtonSysMenu");
        ini_.Key("Action", 3);
        ini_.Key("Align", 0);
        ini_.Key("Xcoord", t.Border + 3);
        ini_.Key("Ycoord", (t.Caption - 16) / 2);
        ini_.Key("Visibility", 0);
        ini_.Key("ButtonImage", Bitmap("sysmenu", icon));
        ini_.Key("frame", 1);
    }

    // The caption buttons of a maximized MDI child in the menu bar: minimize, restore, close,
    // four cells each. The menu bar shows them hot in their fourth cell.
    void MdiControls() {
        std::vector<TRaster> cells;
        for (TGlyph glyph : {gMinimize, gRestore, gClose})
            for (TCaptionState s : {csNormal, csPressed, csInactive, csHot}) {
                TRaster r(16, 14);
                TRgb face = s == csHot ? Lighten(t.Face, 80) : (s == csPressed ? Darken(t.Face, 40) : t.Face);
                r.RoundPlate(r.Bounds(), 2, Lighten(face, 60), face, t.Shadow);
                DrawGlyph(r, Centred(r.Bounds(), 8, 8), glyph, s == csInactive ? t.Shadow : t.Text);
                cells.push_back(r);
            }
        ini_.Section("MDICONTROLS");
        ini_.Key("Image", Bitmap("mdicontrols", StripH(cells)));
    }

    void Colours() {
        ini_.Section("Colours");
        ini_.Colour("WindowText", t.Text);
        ini_.Colour("ButtonFace", t.Face);
        ini_.Colour("Scrollbar", Mix(t.Face, t.Shadow, 80));
        ini_.Colour("HilightText", t.AccentText);
        ini_.Colour("Hilight", t.Accent);
        ini_.Colour("Menubar", Mix(t.MenuBarTop, t.MenuBarBottom, 128));
        ini_.Colour("Menu", t.Menu);
        ini_.Colour("MenuText", t.MenuText);
        ini_.Colour("ButtonText", t.ButtonText);
        ini_.Colour("ButtonHilight", t.Light);
        ini_.Colour("Buttonlight", Mix(t.Light, t.Face, 128));
        ini_.Colour("ButtonShadow", t.Shadow);
        ini_.Colour("ButtonDkShadow", t.Dark);
        ini_.Colour("MenuBarText", t.MenuBarText);
        ini_.Colour("TitleTextActive", t.CaptionText);
        ini_.Colour("TitleTextNoActive", t.CaptionTextInactive);
    }

    TRaster ButtonFace(TControlState state, int w, int h, int radius) const {
        TRaster r(w, h);
        TRgb top = t.ButtonTop, bottom = t.ButtonBottom, border = t.ButtonBorder;
        switch (state) {
        case ctPressed:
            std::swap(top, bottom);
            top = Darken(top, 30);
            break;
        case ctDisabled:
            top = Lighten(Grey(top), 60);
            bottom = Lighten(Grey(bottom), 60);
            border = Lighten(Grey(border), 110);
            break;
        case ctHot:
            top = Lighten(top, 60);
            bottom = Mix(bottom, t.Accent, 40);
            border = t.Accent;
            break;
        default:
            break;
        }
        r.RoundPlate(r.Bounds(), radius, top, bottom, border);
        if (t.ButtonGloss && state != ctPressed && state != ctDisabled) r.Gloss(r.Bounds().Inset(1), 90);
        if (state == ctDefault) {
            // The default button gets an accent ring inside its border.
            constexpr TRgb marker = Rgb(1, 2, 3);
            TRaster ring(w, h);
            ring.RoundPlate(r.Bounds().Inset(1), std::max(radius - 1, 0), Key, Key, marker);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (ring.At(x, y) == marker) r.Set(x, y, Mix(border, t.Accent, 160));
        }
        return r;
    }

    void ButtonsAndBoxes() {
        std::vector<TRaster> frames;
        for (TControlState s : kControlStates) frames.push_back(ButtonFace(s, 36, 24, t.ButtonRadius + 1));
        ini_.Section("Buttons");
        ini_.Key("Bitmap", Bitmap("buttons", StripH(frames)));
        ini_.Margins(5, 5, 5, 5);
        ini_.Key("Trans", 1);
        ini_.Key("Tile", 0);
        ini_.Key("CheckButton", Bitmap("checkbox", MarkStrip(3, false)));
        ini_.Key("RadioButton", Bitmap("radiobutton", MarkStrip(2, true)));
        ini_.Key("CheckButtonFrame", 12);
        ini_.Key("RadioButtonFrame", 8);
        ini_.Colour("NormalColour2", t.ButtonText);
        ini_.Colour("MouseOverColour2", Mix(t.ButtonText, t.Accent, 140));
        ini_.Colour("PressedColour2", Darken(t.ButtonText, 60));
    }

    // Cells of 13 x 13: per mark (none, checked, grey) the four states normal, hot, pressed,
    // disabled. Check boxes are square with a tick, radio buttons round with a dot.
    TRaster MarkStrip(int marks, bool round) const {
        std::vector<TRaster> frames;
        for (int mark = 0; mark < marks; ++mark)
            for (int state = 0; state < 4; ++state) {
                TRaster r(13, 13);
                const bool disabled = state == 3;
                const TRgb border = disabled ? t.Shadow : (state == 1 ? t.Accent : t.ButtonBorder);
                const TRgb fill = disabled ? t.Face : (state == 2 ? Mix(t.Window, t.Shadow, 80) : t.Window);
                const TRgb ink = disabled ? t.Shadow : t.Accent;
                if (round) {
                    r.Disc(r.Bounds(), fill, border);
                    if (mark == 1) r.Disc(r.Bounds().Inset(3), ink, disabled ? ink : Darken(ink, 60));
                } else {
                    r.RoundPlate(r.Bounds(), t.ButtonRadius > 2 ? 2 : 0, fill, Mix(fill, t.ButtonBottom, 100),
                                 border);
                    if (mark == 1) CheckMark(r, r.Bounds(), ink);
                    if (mark == 2) r.Fill({3, 3, 10, 10}, Mix(ink, t.Window, 110));
                }
                frames.push_back(r);
            }
        return StripH(frames);
    }

    void Progress() {
        TRaster trough(30, 16);
        trough.VGradient(trough.Bounds(), Mix(t.Window, t.Shadow, 60), t.Window);
        trough.Frame(trough.Bounds(), t.Shadow);
        TRaster bar(30, 16);
        bar.VGradient(bar.Bounds(), Lighten(t.Accent, 70), Darken(t.Accent, 30));
        bar.Gloss(bar.Bounds().Inset(1), 90);
        bar.Frame(bar.Bounds(), Darken(t.Accent, 80));
        TRaster chunk(9, 10);
        chunk.VGradient({0, 0, 7, 10}, Lighten(t.Accent, 60), Darken(t.Accent, 20));
        chunk.Frame({0, 0, 7, 10}, Darken(t.Accent, 70));
        ini_.Section("Progress");
        ini_.Key("Bitmap", Bitmap("progress", StripH({trough, bar})));
        ini_.Key("Chunk", Bitmap("chunk", chunk));
        ini_.Key("Style", t.ProgressStyle);
        ini_.Margins(3, 3, 3, 3);
        ini_.Key("Trans", 1);
        ini_.Key("Tile", 0);
    }

    void GroupBoxes() {
        std::vector<TRaster> edges;
        for (bool enabled : {true, false}) {
            TRaster r(16, 16);
            const TRgb line = enabled ? t.Shadow : Lighten(t.Shadow, 90);
            r.RoundPlate(r.Bounds(), 3, t.Face, t.Face, line);
            r.Fill(r.Bounds().Inset(3), Key);
            edges.push_back(r);
        }
        ini_.Section("GroupBoxEdge");
        ini_.Key("Image", Bitmap("groupboxedge", StripH(edges)));
        ini_.Margins(4, 4, 4, 4);
        ini_.Key("Trans", 1);
        TRaster label(24, 18);
        label.RoundPlate(label.Bounds(), 3, Lighten(t.Face, 60), t.Face, t.Shadow);
        ini_.Section("GroupBox");
        ini_.Key("Image", Bitmap("groupbox", label));
        ini_.Margins(4, 4, 4, 4);
        ini_.Key("Trans", 1);
        ini_.Key("BackgroundAlignment", 0);
        ini_.Key("BackgroundLeftShift", 4);
        ini_.Key("BackgroundRightShift", 4);
    }

    void Toolbars() {
        std::vector<TRaster> frames;
        for (TControlState s : kControlStates) {
            if (s == ctNormal || s == ctDisabled) {
                frames.push_back(TRaster(22, 22)); // a tool button at rest is flat
                continue;
            }
            frames.push_back(ButtonFace(s, 22, 22, 2));
        }
        ini_.Section("Toolbars");
        ini_.Key("Image", Bitmap("toolbars", StripH(frames)));
        ini_.Margins(3, 3, 3, 3);
        ini_.Key("Trans", 1);
    }

    void Tabs() {
        // Frame 1 a tab at rest, 2 the selected tab (taller, open towards the page), 3 disabled,
        // 4 hot, 5 as 1.
        std::vector<TRaster> frames;
        for (TControlState s : kControlStates) {
            TRaster r(40, 22);
            const bool selected = s == ctPressed;
            const TBox box = selected ? TBox{0, 0, 40, 22} : TBox{0, 2, 40, 22};
            TRgb top = selected ? t.Window : t.ButtonTop, bottom = selected ? t.Face : t.ButtonBottom;
            TRgb border = t.ButtonBorder;
            if (s == ctDisabled) {
                top = Lighten(Grey(top), 60);
                bottom = Lighten(Grey(bottom), 60);
                border = Lighten(Grey(border), 100);
            }
            if (s == ctHot) {
                top = Lighten(top, 80);
                border = t.Accent;
            }
            // Rounded at the top only: the bottom corners fall below the frame.
            r.RoundPlate({box.x0, box.y0, box.x1, box.y1 + 4}, 4, top, bottom, border);
            if (selected)
                r.Fill({3, 1, 37, 3}, t.Accent);
            else
                r.Fill({0, 21, 40, 22}, t.ButtonBorder);
            frames.push_back(r);
        }
        // The page border: four edge pieces of 4 pixels (5 at the top), drawn opaque.
        TRaster border(16, 16, t.Face);
        border.Frame(border.Bounds(), t.ButtonBorder);
        border.Bevel(border.Bounds().Inset(1), t.Light, t.Shadow);
        ini_.Section("Tabs");
        ini_.Key("Image", Bitmap("tabs", StripH(frames)));
        ini_.Key("Border", Bitmap("tabborder", border));
        ini_.Margins(5, 5, 5, 3);
        ini_.Key("Trans", 1);
        ini_.Key("Tile", 0);
        ini_.Colour("NormalColour2", t.ButtonText);
        ini_.Colour("MouseOverColour2", Mix(t.ButtonText, t.Accent, 180));
    }

    void StatusBar() {
        // Lowered, raised, flat.
        std::vector<TRaster> frames;
        for (int bevel = 0; bevel < 3; ++bevel) {
            TRaster r(12, 12, t.Face);
            if (bevel == 0) r.Bevel(r.Bounds(), t.Shadow, t.Light);
            if (bevel == 1) r.Bevel(r.Bounds(), t.Light, t.Shadow);
            frames.push_back(r);
        }
        ini_.Section("StatusBarEdges");
        ini_.Key("Image", Bitmap("statusbar", StripH(frames)));
        ini_.Margins(2, 2, 2, 2);
        ini_.Colour("NormalColour2", t.Text);
    }

    void ComboBox() {
        // The four frames of every combo part: normal, pressed, disabled, hot.
        const TControlState states[] = {ctNormal, ctPressed, ctDisabled, ctHot};
        std::vector<TRaster> buttons, edges, glyphs;
        for (TControlState s : states) {
            buttons.push_back(ButtonFace(s, 19, 21, std::min(t.ButtonRadius, 2)));
            TRaster edge(24, 21, t.Window);
            edge.Frame(edge.Bounds(), s == ctHot ? t.Accent : (s == ctDisabled ? t.Shadow : t.ButtonBorder));
            if (s == ctDisabled) edge.Fill(edge.Bounds().Inset(1), t.Face);
            edges.push_back(edge);
            TRaster glyph(12, 12);
            const TRgb ink = s == ctDisabled ? t.Shadow : (s == ctHot ? t.Accent : t.Text);
            glyph.Arrow(glyph.Bounds().Moved(0, s == ctPressed ? 1 : 0), dirDown, 4, ink);
            glyphs.push_back(glyph);
        }
        // Frame 5 of the extra images is the status bar's size grip.
        TRaster grip(12, 12);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j <= i; ++j) {
                const int x = 9 - 3 * j, y = 9 - 3 * (i - j);
                grip.Fill({x, y, x + 2, y + 2}, t.Light);
                grip.Fill({x, y, x + 1, y + 1}, t.Shadow);
            }
        glyphs.push_back(grip);
        ini_.Section("ComboButton");
        ini_.Key("Image", Bitmap("combobutton", StripH(buttons)));
        ini_.Margins(3, 3, 3, 3);
        ini_.Key("Trans", 1);
        ini_.Section("SunkEdge");
        ini_.Key("Image", Bitmap("sunkedge", StripH(edges)));
        ini_.Margins(2, 2, 2, 2);
        ini_.Section("ExtraImages");
        ini_.Key("Image", Bitmap("extraimages", StripH(glyphs)));
        ini_.Key("Trans", 1);
    }

    void Header() {
        std::vector<TRaster> frames;
        for (TControlState s : kControlStates) {
            TRaster r(20, 20);
            const TRgb top = s == ctHot ? Lighten(t.ButtonTop, 80) : t.ButtonTop;
            const TRgb bottom = s == ctPressed ? t.Shadow : t.ButtonBottom;
            r.VGradient(r.Bounds(), top, bottom);
            r.Fill({0, 19, 20, 20}, t.ButtonBorder);
            r.Fill({19, 3, 20, 17}, t.Shadow);
            r.Fill({0, 3, 1, 17}, t.Light);
            frames.push_back(r);
        }
        ini_.Section("Headerbar");
        ini_.Key("Image", Bitmap("headerbar", StripH(frames)));
        ini_.Margins(3, 3, 3, 3);
    }

    void Menus() {
        // Frame 1 leaves the popup's background, frame 2 holds the separator line at its foot,
        // frame 4 is the selected item.
        std::vector<TRaster> items;
        for (TControlState s : kControlStates) {
            TRaster r(24, 20);
            if (s == ctPressed) {
                r.Fill({2, 15, 22, 16}, t.Shadow);
                r.Fill({2, 16, 22, 17}, t.Light);
            }
            if (s == ctHot || s == ctDefault) {
                const TRgb a = s == ctHot ? t.Accent : Grey(t.Accent);
                r.RoundPlate(r.Bounds(), std::min(t.ButtonRadius, 3), Lighten(a, 40), a, Darken(a, 60));
            }
            items.push_back(r);
        }
        ini_.Section("MenuItem");
        ini_.Key("Image", Bitmap("menuitem", StripH(items)));
        ini_.Margins(3, 3, 3, 3);
        ini_.Key("Trans", 1);
        TRaster back(32, 32, t.Menu);
        back.Frame(back.Bounds(), t.Dark);
        back.Frame(back.Bounds().Inset(1), Lighten(t.Menu, 120));
        back.Frame(back.Bounds().Inset(2), Mix(t.Menu, t.Face, 128));
        ini_.Section("MenuBackground");
        ini_.Key("Image", Bitmap("menuback", back));
        ini_.Margins(3, 3, 3, 3);
    }

    // A square arrow plate of the scroll bar.
    TRaster ScrollPlate(TDirection direction, int state) const {
        const TControlState s =
            state == 1 ? ctPressed : (state == 2 ? ctHot : (state == 3 ? ctDisabled : ctNormal));
        TRaster r = ButtonFace(s, 17, 17, std::min(t.ButtonRadius, 3));
        const TRgb ink = state == 3 ? t.Shadow : t.Text;
        r.Arrow(r.Bounds().Moved(state == 1 ? 1 : 0, state == 1 ? 1 : 0), direction, 4, ink);
        return r;
    }

    void ScrollBars() {
        // Arrows: left 1-4, right 5-8, up 9-12, down 13-16 (normal, pressed, hot, disabled); the
        // rest are plain plates.
        std::vector<TRaster> cells;
        for (TDirection d : {dirLeft, dirRight, dirUp, dirDown})
            for (int state = 0; state < 4; ++state) cells.push_back(ScrollPlate(d, state));
        while (cells.size() < 23) cells.push_back(ButtonFace(ctNormal, 17, 17, std::min(t.ButtonRadius, 3)));
        ini_.Section("Scrollbar");
        ini_.Key("Image", Bitmap("scrollbar", StripH(cells)));
        ini_.Key("Trans", 1);

        // Tracks: enabled, pressed, disabled, hot.
        std::vector<TRaster> horz, vert;
        for (int state = 0; state < 4; ++state) {
            const TRgb base = state == 2 ? t.Face : Mix(t.Face, t.Shadow, state == 1 ? 120 : 60);
            TRaster h(16, 17);
            h.VGradient(h.Bounds(), Darken(base, 20), Lighten(base, 60));
            h.Fill({0, 0, 16, 1}, t.Shadow);
            h.Fill({0, 16, 16, 17}, Lighten(base, 90));
            horz.push_back(h);
            TRaster v(17, 16);
            v.HGradient(v.Bounds(), Darken(base, 20), Lighten(base, 60));
            v.Fill({0, 0, 1, 16}, t.Shadow);
            v.Fill({16, 0, 17, 16}, Lighten(base, 90));
            vert.push_back(v);
        }
        ini_.Section("HorzScroll");
        ini_.Key("Image", Bitmap("horzscroll", StripH(horz)));
        ini_.Margins(2, 0, 2, 0);
        ini_.Section("VertScroll");
        ini_.Key("Image", Bitmap("vertscroll", StripH(vert)));
        ini_.Margins(0, 2, 0, 2);

        // Thumbs: normal, pressed, hot; a rounded plate a pixel inside the band.
        std::vector<TRaster> hthumb, vthumb;
        for (TControlState s : {ctNormal, ctPressed, ctHot}) {
            TRaster h(24, 17);
            h.Paste(ButtonFace(s, 24, 15, std::min(t.ButtonRadius + 1, 4)), 0, 1);
            hthumb.push_back(h);
            TRaster v(17, 24);
            TRaster plate = ButtonFace(s, 15, 24, std::min(t.ButtonRadius + 1, 4));
            v.Paste(plate, 1, 0);
            vthumb.push_back(v);
        }
        ini_.Section("HorzScrollThumb");
        ini_.Key("Image", Bitmap("horzthumb", StripH(hthumb)));
        ini_.Key("FrameCount", 3);
        ini_.Margins(6, 4, 6, 4);
        ini_.Key("Trans", 1);
        ini_.Section("VertScrollThumb");
        ini_.Key("Image", Bitmap("vertthumb", StripH(vthumb)));
        ini_.Key("FrameCount", 3);
        ini_.Margins(4, 6, 4, 6);
        ini_.Key("Trans", 1);
    }

    // A track-bar thumb: a plate, pointed towards pointing when that is a direction.
    TRaster Thumb(int w, int h, TControlState s, int pointing) const {
        TRaster r = ButtonFace(s, w, h, 2);
        if (pointing < 0) return r;
        // Cut the far end into a point: each row (or column) nearer the tip loses one more pixel
        // at both sides.
        const int n = pointing == dirLeft || pointing == dirRight ? h / 2 : w / 2;
        for (int i = 0; i < n; ++i)
            for (int k = 0; k <= i; ++k) {
                switch (pointing) {
                case dirDown:
                    r.Set(k, h - n + i, Key);
                    r.Set(w - 1 - k, h - n + i, Key);
                    break;
                case dirUp:
                    r.Set(k, n - 1 - i, Key);
                    r.Set(w - 1 - k, n - 1 - i, Key);
                    break;
                case dirRight:
                    r.Set(w - n + i, k, Key);
                    r.Set(w - n + i, h - 1 - k, Key);
                    break;
                case dirLeft:
                    r.Set(n - 1 - i, k, Key);
                    r.Set(n - 1 - i, h - 1 - k, Key);
                    break;
                }
            }
        r.Outline(s == ctHot ? t.Accent : t.ButtonBorder);
        return r;
    }

    void TrackBar() {
        struct TThumb {
            const char* section;
            const char* image;
            int w, h, pointing;
        };
        const TThumb thumbs[] = {
            {"Trackbar.ThumbHorz", "thumbhorz", 11, 19, -1},
            {"Trackbar.ThumbVert", "thumbvert", 19, 11, -1},
            {"Trackbar.ThumbLeft", "thumbleft", 19, 11, dirLeft},
            {"Trackbar.ThumbRight", "thumbright", 19, 11, dirRight},
            {"Trackbar.ThumbUp", "thumbup", 11, 19, dirUp},
            {"Trackbar.ThumbDown", "thumbdown", 11, 19, dirDown},
        };
        for (const TThumb& th : thumbs) {
            // The track-bar skinner draws frame 2: the thumb at rest.
            std::vector<TRaster> frames;
            for (TControlState s : {ctNormal, ctNormal, ctPressed, ctDisabled, ctHot})
                frames.push_back(Thumb(th.w, th.h, s, th.pointing));
            ini_.Section(th.section);
            ini_.Key("Image", Bitmap(th.image, StripH(frames)));
            ini_.Key("Trans", 1);
        }
    }

    void UpDown() {
        // Frames 1-4 the first button (up or left), 5-8 the second: normal, pressed, disabled, hot.
        const TControlState states[] = {ctNormal, ctPressed, ctDisabled, ctHot};
        for (bool vertical : {true, false}) {
            const int w = vertical ? 16 : 10, h = vertical ? 10 : 16;
            std::vector<TRaster> plates, glyphs;
            for (TDirection d : vertical ? std::vector<TDirection>{dirUp, dirDown}
                                         : std::vector<TDirection>{dirLeft, dirRight})
                for (TControlState s : states) {
                    plates.push_back(ButtonFace(s, w, h, std::min(t.ButtonRadius, 2)));
                    TRaster g(vertical ? 7 : 4, vertical ? 4 : 7);
                    g.Arrow(g.Bounds(), d, 4, s == ctDisabled ? t.Shadow : (s == ctHot ? t.Accent : t.Text));
                    glyphs.push_back(g);
                }
            ini_.Section(vertical ? "UpDown.Vert" : "UpDown.Horz");
            ini_.Key("Image", Bitmap(vertical ? "updownvert" : "updownhorz", StripH(plates)));
            ini_.Key("GlyphImage", Bitmap(vertical ? "updownvertglyph" : "updownhorzglyph", StripH(glyphs)));
            ini_.Key("Trans", 1);
        }
    }

    const TTheme& t;
    TIniText ini_;
    std::vector<TArchiveEntry> bitmaps_;
};

} // namespace

std::vector<TArchiveEntry> PaintSkin(const TTheme& theme) {
    return TPainter(theme).Paint();
}

TRaster SystemMenuGlyphs() {
    const TRgb ink = Rgb(0, 0, 0);
    TRaster r(64, 16, Rgb(255, 255, 255));
    const TGlyph glyphs[] = {gRestore, gMaximize, gMinimize, gClose};
    for (int i = 0; i < 4; ++i) DrawGlyph(r, TBox{16 * i + 3, 3, 16 * i + 13, 13}, glyphs[i], ink);
    return r;
}
