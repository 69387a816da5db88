// A skin with the header, scroll-bar and combo-box elements, every frame one solid colour, so that
// a pixel tells which frame a skinner drew.
#pragma once

#include "fixture.h"

enum TPartKind {
    pkHeader = 1,
    pkArrow,
    pkHorzTrack,
    pkVertTrack,
    pkHorzThumb,
    pkVertThumb,
    pkCombo,
    pkSunk,
    pkGlyph
};
// Frame f (1-based) of a strip of the part skin.
TColor PartFrame(TPartKind kind, int f);

struct TPartSkin {
    bool Header = true, Scroll = true, Combo = true, Sunk = true, Extra = true;
    int ComboStyle = 0;
};
// A loaded skin with the chosen parts (and the face and shadow colours of fixture.h).
std::unique_ptr<TSkinData> MakePartSkin(const TPartSkin& parts = {});

// A control of the form by name.
template <class T> T* Find(TForm& form, const wchar_t* name) {
    auto* c = dynamic_cast<T*>(form.FindComponent(name));
    EXPECT_NE(c, nullptr) << "no control";
    return c;
}

// Handles messages until nothing is pending.
void Pump();
// Shows the form without activating it, below every other window: tests that run beside this
// one keep the foreground (and their menus open).
void ShowQuietly(TForm& form);
// A pixel at a screen point as the window's top-level window painted it (after pending paints
// are done); windows of other programs that cover it do not matter.
TColor FormPixel(HWND window, POINT screen);
