#include "Themes.h"

namespace {

TTheme Standard() {
    TTheme t;
    t.Name = "Standard";
    t.IniName = "standard.ini";
    t.Seed = 11;
    t.Border = 4;
    t.Caption = 24;
    t.Corner = 6;
    t.CaptionTop = Rgb(62, 106, 170);
    t.CaptionBottom = Rgb(32, 66, 124);
    t.InactiveTop = Rgb(150, 164, 184);
    t.InactiveBottom = Rgb(118, 132, 152);
    t.FrameOuter = Rgb(20, 40, 80);
    t.FrameFill = Rgb(72, 104, 150);
    t.CaptionText = Rgb(255, 255, 255);
    t.CaptionTextInactive = Rgb(225, 230, 238);
    t.Gloss = 70;
    t.CapButtonShape = psRounded;
    t.CapButtonFace = Rgb(88, 128, 190);
    t.CloseFace = Rgb(196, 72, 60);
    t.CapGlyph = Rgb(255, 255, 255);
    t.Face = Rgb(216, 222, 230);
    t.Light = Rgb(255, 255, 255);
    t.Shadow = Rgb(140, 152, 170);
    t.Dark = Rgb(70, 80, 96);
    t.Text = Rgb(16, 24, 40);
    t.Window = Rgb(255, 255, 255);
    t.Accent = Rgb(60, 110, 190);
    t.AccentText = Rgb(255, 255, 255);
    t.Menu = Rgb(240, 243, 247);
    t.MenuText = t.Text;
    t.MenuBarTop = Rgb(232, 237, 244);
    t.MenuBarBottom = Rgb(206, 214, 226);
    t.MenuBarText = t.Text;
    t.ButtonTop = Rgb(246, 248, 252);
    t.ButtonBottom = Rgb(200, 210, 224);
    t.ButtonBorder = Rgb(96, 112, 140);
    t.ButtonText = t.Text;
    t.ButtonRadius = 3;
    t.ButtonGloss = true;
    return t;
}

// Graphite with orange: square and dark, blocks for progress.
TTheme Graphite() {
    TTheme t;
    t.Name = "skin1";
    t.IniName = "skin1.ini";
    t.Seed = 23;
    t.Border = 3;
    t.Caption = 22;
    t.Corner = 0;
    t.CaptionTop = Rgb(64, 66, 72);
    t.CaptionBottom = Rgb(34, 35, 40);
    t.InactiveTop = Rgb(120, 122, 128);
    t.InactiveBottom = Rgb(96, 98, 104);
    t.FrameOuter = Rgb(12, 12, 14);
    t.FrameFill = Rgb(46, 47, 52);
    t.CaptionText = Rgb(255, 170, 70);
    t.CaptionTextInactive = Rgb(200, 200, 200);
    t.Gloss = 30;
    t.CapButtonWidth = 18;
    t.CapButtonHeight = 16;
    t.CapButtonShape = psSquare;
    t.CapButtonFace = Rgb(80, 82, 90);
    t.CloseFace = Rgb(210, 100, 30);
    t.CapGlyph = Rgb(240, 240, 240);
    t.Face = Rgb(196, 198, 202);
    t.Light = Rgb(236, 237, 240);
    t.Shadow = Rgb(120, 122, 128);
    t.Dark = Rgb(50, 52, 58);
    t.Text = Rgb(20, 20, 24);
    t.Window = Rgb(250, 250, 250);
    t.Accent = Rgb(240, 128, 32);
    t.AccentText = Rgb(0, 0, 0);
    t.Menu = Rgb(222, 223, 226);
    t.MenuText = t.Text;
    t.MenuBarTop = Rgb(70, 72, 78);
    t.MenuBarBottom = Rgb(48, 49, 54);
    t.MenuBarText = Rgb(240, 240, 240);
    t.ButtonTop = Rgb(214, 216, 220);
    t.ButtonBottom = Rgb(170, 172, 178);
    t.ButtonBorder = Rgb(60, 62, 68);
    t.ButtonText = t.Text;
    t.ButtonRadius = 0;
    t.ProgressStyle = 1;
    t.MenuBarTile = 0;
    return t;
}

// Forest green: light and soft, caption buttons as bare glyphs.
TTheme Forest() {
    TTheme t;
    t.Name = "skin2";
    t.IniName = "skin2.ini";
    t.Seed = 37;
    t.Border = 4;
    t.Caption = 24;
    t.Corner = 4;
    t.CaptionTop = Rgb(76, 140, 72);
    t.CaptionBottom = Rgb(34, 92, 40);
    t.InactiveTop = Rgb(164, 184, 160);
    t.InactiveBottom = Rgb(136, 156, 132);
    t.FrameOuter = Rgb(18, 52, 22);
    t.FrameFill = Rgb(52, 110, 56);
    t.CaptionText = Rgb(250, 250, 230);
    t.CaptionTextInactive = Rgb(230, 236, 226);
    t.Gloss = 40;
    t.CapButtonWidth = 18;
    t.CapButtonHeight = 17;
    t.CapButtonShape = psGlyphOnly;
    t.CapButtonFace = Rgb(96, 160, 92);
    t.CloseFace = Rgb(180, 80, 50);
    t.CapGlyph = Rgb(250, 250, 230);
    t.Face = Rgb(228, 235, 221);
    t.Light = Rgb(255, 255, 250);
    t.Shadow = Rgb(150, 168, 140);
    t.Dark = Rgb(60, 84, 56);
    t.Text = Rgb(20, 40, 20);
    t.Window = Rgb(252, 255, 248);
    t.Accent = Rgb(84, 150, 70);
    t.AccentText = Rgb(255, 255, 255);
    t.Menu = Rgb(242, 246, 236);
    t.MenuText = t.Text;
    t.MenuBarTop = Rgb(222, 232, 212);
    t.MenuBarBottom = Rgb(200, 216, 188);
    t.MenuBarText = t.Text;
    t.ButtonTop = Rgb(240, 246, 232);
    t.ButtonBottom = Rgb(196, 216, 184);
    t.ButtonBorder = Rgb(70, 110, 64);
    t.ButtonText = t.Text;
    t.ButtonRadius = 4;
    return t;
}

// Walnut: a grained plank caption (tiled), a band behind the caption text, bevelled buttons.
TTheme Walnut() {
    TTheme t;
    t.Name = "skin3";
    t.IniName = "skin3.ini";
    t.Seed = 53;
    t.Border = 5;
    t.Caption = 26;
    t.Corner = 3;
    t.CaptionTop = Rgb(132, 86, 52);
    t.CaptionBottom = Rgb(96, 58, 32);
    t.InactiveTop = Rgb(168, 146, 126);
    t.InactiveBottom = Rgb(146, 124, 104);
    t.FrameOuter = Rgb(48, 28, 14);
    t.FrameFill = Rgb(110, 70, 40);
    t.CaptionText = Rgb(255, 236, 200);
    t.CaptionTextInactive = Rgb(232, 220, 200);
    t.Grain = 60;
    t.PlankWidth = 24;
    t.TextPlate = true;
    t.CapButtonWidth = 20;
    t.CapButtonHeight = 18;
    t.CapButtonShape = psSquare;
    t.CapButtonFace = Rgb(150, 104, 66);
    t.CloseFace = Rgb(170, 60, 40);
    t.CapGlyph = Rgb(255, 236, 200);
    t.Face = Rgb(239, 228, 207);
    t.Light = Rgb(255, 250, 238);
    t.Shadow = Rgb(176, 150, 112);
    t.Dark = Rgb(96, 70, 40);
    t.Text = Rgb(48, 30, 12);
    t.Window = Rgb(255, 252, 244);
    t.Accent = Rgb(170, 110, 50);
    t.AccentText = Rgb(255, 255, 255);
    t.Menu = Rgb(246, 238, 222);
    t.MenuText = t.Text;
    t.MenuBarTop = Rgb(226, 208, 176);
    t.MenuBarBottom = Rgb(206, 184, 146);
    t.MenuBarText = t.Text;
    t.ButtonTop = Rgb(248, 238, 216);
    t.ButtonBottom = Rgb(216, 194, 156);
    t.ButtonBorder = Rgb(120, 86, 48);
    t.ButtonText = t.Text;
    t.ButtonRadius = 2;
    t.ProgressStyle = 1;
    return t;
}

// Violet gloss: round caption buttons, a centred title, rounded corners all round.
TTheme Violet() {
    TTheme t;
    t.Name = "skin4";
    t.IniName = "skin4.ini";
    t.Seed = 71;
    t.Border = 4;
    t.Caption = 26;
    t.Corner = 8;
    t.BottomCorner = 3;
    t.CaptionTop = Rgb(130, 88, 196);
    t.CaptionBottom = Rgb(74, 42, 133);
    t.InactiveTop = Rgb(176, 166, 196);
    t.InactiveBottom = Rgb(150, 140, 170);
    t.FrameOuter = Rgb(40, 18, 78);
    t.FrameFill = Rgb(96, 62, 160);
    t.CaptionText = Rgb(255, 255, 255);
    t.CaptionTextInactive = Rgb(236, 232, 244);
    t.Gloss = 110;
    t.TitleAlign = 1;
    t.CapButtonWidth = 17;
    t.CapButtonHeight = 17;
    t.CapButtonShape = psRound;
    t.CapButtonFace = Rgb(150, 110, 220);
    t.CloseFace = Rgb(220, 70, 110);
    t.CapGlyph = Rgb(255, 255, 255);
    t.Face = Rgb(230, 224, 238);
    t.Light = Rgb(255, 255, 255);
    t.Shadow = Rgb(158, 146, 180);
    t.Dark = Rgb(70, 56, 100);
    t.Text = Rgb(30, 16, 50);
    t.Window = Rgb(255, 255, 255);
    t.Accent = Rgb(122, 80, 190);
    t.AccentText = Rgb(255, 255, 255);
    t.Menu = Rgb(244, 240, 250);
    t.MenuText = t.Text;
    t.MenuBarTop = Rgb(236, 228, 248);
    t.MenuBarBottom = Rgb(210, 198, 232);
    t.MenuBarText = t.Text;
    t.ButtonTop = Rgb(250, 246, 255);
    t.ButtonBottom = Rgb(208, 194, 236);
    t.ButtonBorder = Rgb(104, 80, 150);
    t.ButtonText = t.Text;
    t.ButtonRadius = 5;
    t.ButtonGloss = true;
    return t;
}

// Aqua: light, flat and narrow.
TTheme Aqua() {
    TTheme t;
    t.Name = "Skin5";
    t.IniName = "skin5.ini";
    t.Seed = 89;
    t.Border = 3;
    t.Caption = 22;
    t.Corner = 2;
    t.CaptionTop = Rgb(52, 170, 186);
    t.CaptionBottom = Rgb(28, 130, 146);
    t.InactiveTop = Rgb(170, 206, 212);
    t.InactiveBottom = Rgb(146, 184, 190);
    t.FrameOuter = Rgb(14, 90, 102);
    t.FrameFill = Rgb(40, 150, 164);
    t.CaptionText = Rgb(255, 255, 255);
    t.CaptionTextInactive = Rgb(240, 250, 250);
    t.CapButtonWidth = 17;
    t.CapButtonHeight = 15;
    t.CapButtonShape = psRounded;
    t.CapButtonFace = Rgb(70, 186, 200);
    t.CloseFace = Rgb(232, 96, 80);
    t.CapGlyph = Rgb(255, 255, 255);
    t.Face = Rgb(238, 246, 247);
    t.Light = Rgb(255, 255, 255);
    t.Shadow = Rgb(160, 196, 200);
    t.Dark = Rgb(60, 110, 118);
    t.Text = Rgb(10, 50, 56);
    t.Window = Rgb(255, 255, 255);
    t.Accent = Rgb(40, 160, 176);
    t.AccentText = Rgb(255, 255, 255);
    t.Menu = Rgb(248, 252, 252);
    t.MenuText = t.Text;
    t.MenuBarTop = Rgb(232, 244, 246);
    t.MenuBarBottom = Rgb(214, 234, 238);
    t.MenuBarText = t.Text;
    t.ButtonTop = Rgb(250, 254, 254);
    t.ButtonBottom = Rgb(210, 234, 238);
    t.ButtonBorder = Rgb(80, 150, 160);
    t.ButtonText = t.Text;
    t.ButtonRadius = 2;
    return t;
}

// Crimson: a red caption over dark grey borders, a dark menu bar, a centred title on a band.
TTheme Crimson() {
    TTheme t;
    t.Name = "Skin6";
    t.IniName = "skin6.ini";
    t.Seed = 97;
    t.Border = 4;
    t.Caption = 24;
    t.Corner = 5;
    t.CaptionTop = Rgb(190, 40, 52);
    t.CaptionBottom = Rgb(120, 16, 26);
    t.InactiveTop = Rgb(176, 150, 152);
    t.InactiveBottom = Rgb(150, 126, 128);
    t.FrameOuter = Rgb(40, 10, 14);
    t.FrameFill = Rgb(70, 60, 62);
    t.CaptionText = Rgb(255, 255, 255);
    t.CaptionTextInactive = Rgb(240, 230, 230);
    t.Gloss = 50;
    t.TitleAlign = 1;
    t.TextPlate = true;
    t.CapButtonWidth = 17;
    t.CapButtonHeight = 17;
    t.CapButtonShape = psRound;
    t.CapButtonFace = Rgb(96, 86, 88);
    t.CloseFace = Rgb(200, 40, 50);
    t.CapGlyph = Rgb(255, 255, 255);
    t.Face = Rgb(226, 222, 220);
    t.Light = Rgb(255, 255, 255);
    t.Shadow = Rgb(160, 150, 148);
    t.Dark = Rgb(70, 56, 56);
    t.Text = Rgb(40, 10, 12);
    t.Window = Rgb(255, 255, 255);
    t.Accent = Rgb(180, 36, 48);
    t.AccentText = Rgb(255, 255, 255);
    t.Menu = Rgb(244, 242, 241);
    t.MenuText = t.Text;
    t.MenuBarTop = Rgb(90, 84, 84);
    t.MenuBarBottom = Rgb(62, 56, 56);
    t.MenuBarText = Rgb(245, 240, 240);
    t.ButtonTop = Rgb(246, 242, 240);
    t.ButtonBottom = Rgb(206, 196, 194);
    t.ButtonBorder = Rgb(120, 40, 48);
    t.ButtonText = t.Text;
    t.ButtonRadius = 3;
    t.ProgressStyle = 1;
    t.MenuBarTile = 0;
    return t;
}

} // namespace

const std::vector<TTheme>& Themes() {
    static const std::vector<TTheme> themes = {Standard(), Graphite(), Forest(), Walnut(),
                                               Violet(),   Aqua(),     Crimson()};
    return themes;
}
