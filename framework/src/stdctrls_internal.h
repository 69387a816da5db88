// Helpers shared by the control sources (not part of the framework's interface).
#pragma once

#include <framework/controls.h>

namespace ctl_detail {

// Size of a text drawn in a font, the way DrawText lays it out (flags without DT_CALCRECT).
SIZE MeasureText(const TFont* font, const String& text, int wrapWidth, UINT flags);
// Height of one line of text in the font.
int LineHeight(const TFont* font);

// Paints a window of our own class (WM_PAINT): `paint` draws on the context, which is the one the
// message brought (WM_PRINTCLIENT style) or the one BeginPaint gives.
template <class Painter> void PaintOwnWindow(HWND window, TMessage& m, Painter paint) {
    PAINTSTRUCT ps{};
    HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(window, &ps);
    try {
        paint(dc);
    } catch (...) {
        if (!m.WParam) EndPaint(window, &ps);
        throw;
    }
    if (!m.WParam) EndPaint(window, &ps);
    m.Result = 0;
}

// Loads the rich edit library once (kept loaded for the life of the program).
void EnsureRichEditLibrary();

} // namespace ctl_detail
