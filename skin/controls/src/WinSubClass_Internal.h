#pragma once
// Small helpers the control skinners' sources share.

#include <framework/graphics.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>

namespace skin_controls_detail {

inline int Width(const RECT& r) {
    return r.right - r.left;
}
inline int Height(const RECT& r) {
    return r.bottom - r.top;
}
// Enumeration value names are compared lower-cased ("true", "tacenter").
inline std::wstring Lower(std::wstring s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return s;
}

// The canvas takes the face of a native control's font (its font is only a handle); nothing without one.
inline void TakeFont(TCanvas& canvas, HFONT font) {
    LOGFONTW lf{};
    if (font && GetObjectW(font, sizeof lf, &lf)) canvas.Font()->AssignFace(lf);
}

} // namespace skin_controls_detail
