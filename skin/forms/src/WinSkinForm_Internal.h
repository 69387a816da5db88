#pragma once
// Helpers the form skinner's source files share.

#include <framework/graphics.h>

#include <windows.h>

inline int RectWidth(const RECT& r) {
    return r.right - r.left;
}
inline int RectHeight(const RECT& r) {
    return r.bottom - r.top;
}

// A canvas over a device context the caller owns, let go when the scope ends.
class TDCCanvas {
public:
    explicit TDCCanvas(HDC dc) { canvas_.SetHandle(dc); }
    ~TDCCanvas() { canvas_.SetHandle(nullptr); }
    TDCCanvas(const TDCCanvas&) = delete;
    TDCCanvas& operator=(const TDCCanvas&) = delete;
    TCanvas& operator*() { return canvas_; }
    TCanvas* operator->() { return &canvas_; }
    TCanvas* get() { return &canvas_; }

private:
    TCanvas canvas_;
};

// A window's DC for the lifetime of the object, or a DC the caller gives (and keeps).
class TWindowDC {
public:
    explicit TWindowDC(HWND window, HDC given = nullptr)
        : window_(window), dc_(given ? given : GetWindowDC(window)), own_(!given) {}
    ~TWindowDC() {
        if (own_ && dc_) ReleaseDC(window_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    bool own_;
};

// Sets a flag for the scope's lifetime and puts the old value back, also on an exception.
class TValueScope {
public:
    TValueScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~TValueScope() { flag_ = saved_; }
    TValueScope(const TValueScope&) = delete;
    TValueScope& operator=(const TValueScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};
