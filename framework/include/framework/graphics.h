// Colours and fonts. (Canvas, bitmaps and pictures follow in their own section at the end.)
#pragma once

#include <framework/classes.h>
#include <framework/typinfo.h>

#include <windows.h>

#include <cstdint>
#include <memory>

// ===================================================================================================
// Colours and fonts
// ===================================================================================================

// 0x00BBGGRR for a colour; clSystemColor plus a COLOR_* index for a system colour; clNone / clDefault.
using TColor = std::int32_t;
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR), clBackground = SystemColor(COLOR_BACKGROUND),
                 clActiveCaption = SystemColor(COLOR_ACTIVECAPTION),
                 clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION), clMenu = SystemColor(COLOR_MENU),
                 clWindow = SystemColor(COLOR_WINDOW), clWindowFrame = SystemColor(COLOR_WINDOWFRAME),
                 clMenuText = SystemColor(COLOR_MENUTEXT), clWindowText = SystemColor(COLOR_WINDOWTEXT),
                 clCaptionText = SystemColor(COLOR_CAPTIONTEXT), clActiveBorder = SystemColor(COLOR_ACTIVEBORDER),
                 clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER), clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE),
                 clHighlight = SystemColor(COLOR_HIGHLIGHT), clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT),
                 clBtnFace = SystemColor(COLOR_BTNFACE), clBtnShadow = SystemColor(COLOR_BTNSHADOW),
                 clGrayText = SystemColor(COLOR_GRAYTEXT), clBtnText = SystemColor(COLOR_BTNTEXT),
                 clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW),
                 cl3DLight = SystemColor(COLOR_3DLIGHT), clInfoText = SystemColor(COLOR_INFOTEXT),
                 clInfoBk = SystemColor(COLOR_INFOBK);

// COLORREF of a colour (system colours resolved now).
COLORREF ColorToRGB(TColor color);
// clBtnFace etc. by name, for descriptions and property text.
extern const TIdentMap ColorIdents;
bool IdentToColor(const String& name, TColor& color);
String ColorToString(TColor color);

// Character-set identifiers (DEFAULT_CHARSET, GB2312_CHARSET, ...).
using TFontCharset = std::uint8_t;
extern const TIdentMap CharsetIdents;

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
extern const TIdentMap FontStyleIdents;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// Logical pixels per inch of the screen (96 under most set-ups).
int ScreenPixelsPerInch();

// A font description and its GDI font. Equal descriptions share one HFONT, which lives while any TFont
// (or caller of Handle()) uses it. OnChange runs after every change.
class TFont : public TPersistent {
    DECLARE_PUBLISHED
public:
    TFont();
    ~TFont() override;

    const String& Name() const { return name_; }
    void SetName(const String& name);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return height_; }
    void SetHeight(int height);
    // Points, from Height and the screen's pixels per inch.
    int Size() const;
    void SetSize(int points);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset charset);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);

    // Created when first asked for; valid while this font is unchanged and alive.
    HFONT Handle() const;
    // A shared owner of the current HFONT, for holders that outlive this TFont's changes.
    std::shared_ptr<void> SharedHandle() const;

    void Assign(const TPersistent* Source) override;
    bool SameAs(const TFont& other) const;
    // Takes face, height and character set of a GDI font description; style and colour stay.
    void AssignFace(const LOGFONTW& lf);
    // The same, and bold and italic as the description has them.
    void AssignLogFont(const LOGFONTW& lf);

    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    String name_ = L"MS Sans Serif";
    int height_ = -11;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontPitch pitch_ = fpDefault;
    mutable std::shared_ptr<void> handle_;
};

// The font the system draws menus, or window captions, with, taken as AssignLogFont takes it; false,
// and the font as it was, when the system does not say.
bool AssignMenuFont(TFont& font);
bool AssignCaptionFont(TFont& font);

// ===================================================================================================
// Canvas, bitmaps and pictures (below this line)
// ===================================================================================================

// The image classes may live in a header of their own.
#if __has_include(<framework/graphics_image.h>)
#include <framework/graphics_image.h>
#endif
