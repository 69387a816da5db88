#include <framework/graphics.h>
#include <framework/sysutils.h>

#include <map>
#include <mutex>
#include <tuple>

COLORREF ColorToRGB(TColor color) {
    auto bits = static_cast<std::uint32_t>(color);
    if ((bits & 0xFF000000u) == 0xFF000000u) return GetSysColor(static_cast<int>(bits & 0xFF));
    return bits & 0x00FFFFFFu;
}

const TIdentMap ColorIdents{
    {L"clBlack", clBlack},
    {L"clMaroon", clMaroon},
    {L"clGreen", clGreen},
    {L"clOlive", clOlive},
    {L"clNavy", clNavy},
    {L"clPurple", clPurple},
    {L"clTeal", clTeal},
    {L"clGray", clGray},
    {L"clSilver", clSilver},
    {L"clRed", clRed},
    {L"clLime", clLime},
    {L"clYellow", clYellow},
    {L"clBlue", clBlue},
    {L"clFuchsia", clFuchsia},
    {L"clAqua", clAqua},
    {L"clWhite", clWhite},
    {L"clMoneyGreen", clMoneyGreen},
    {L"clSkyBlue", clSkyBlue},
    {L"clCream", clCream},
    {L"clMedGray", clMedGray},
    {L"clNone", clNone},
    {L"clDefault", clDefault},
    {L"clScrollBar", clScrollBar},
    {L"clBackground", clBackground},
    {L"clActiveCaption", clActiveCaption},
    {L"clInactiveCaption", clInactiveCaption},
    {L"clMenu", clMenu},
    {L"clWindow", clWindow},
    {L"clWindowFrame", clWindowFrame},
    {L"clMenuText", clMenuText},
    {L"clWindowText", clWindowText},
    {L"clCaptionText", clCaptionText},
    {L"clActiveBorder", clActiveBorder},
    {L"clInactiveBorder", clInactiveBorder},
    {L"clAppWorkSpace", clAppWorkSpace},
    {L"clHighlight", clHighlight},
    {L"clHighlightText", clHighlightText},
    {L"clBtnFace", clBtnFace},
    {L"clBtnShadow", clBtnShadow},
    {L"clGrayText", clGrayText},
    {L"clBtnText", clBtnText},
    {L"clInactiveCaptionText", clInactiveCaptionText},
    {L"clBtnHighlight", clBtnHighlight},
    {L"cl3DDkShadow", cl3DDkShadow},
    {L"cl3DLight", cl3DLight},
    {L"clInfoText", clInfoText},
    {L"clInfoBk", clInfoBk},
};

bool IdentToColor(const String& name, TColor& color) {
    std::int64_t v;
    if (!ColorIdents.ToValue(name, v)) return false;
    color = static_cast<TColor>(v);
    return true;
}

String ColorToString(TColor color) {
    String name;
    if (ColorIdents.ToName(color, name)) return name;
    return L"$" + IntToHex(static_cast<std::uint32_t>(color), 8);
}

const TIdentMap CharsetIdents{
    {L"ANSI_CHARSET", ANSI_CHARSET},
    {L"DEFAULT_CHARSET", DEFAULT_CHARSET},
    {L"SYMBOL_CHARSET", SYMBOL_CHARSET},
    {L"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
    {L"HANGEUL_CHARSET", HANGEUL_CHARSET},
    {L"GB2312_CHARSET", GB2312_CHARSET},
    {L"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET},
    {L"OEM_CHARSET", OEM_CHARSET},
    {L"JOHAB_CHARSET", JOHAB_CHARSET},
    {L"HEBREW_CHARSET", HEBREW_CHARSET},
    {L"ARABIC_CHARSET", ARABIC_CHARSET},
    {L"GREEK_CHARSET", GREEK_CHARSET},
    {L"TURKISH_CHARSET", TURKISH_CHARSET},
    {L"VIETNAMESE_CHARSET", VIETNAMESE_CHARSET},
    {L"THAI_CHARSET", THAI_CHARSET},
    {L"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
    {L"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
    {L"MAC_CHARSET", MAC_CHARSET},
    {L"BALTIC_CHARSET", BALTIC_CHARSET},
};

const TIdentMap FontStyleIdents{{L"fsBold", fsBold},
                                {L"fsItalic", fsItalic},
                                {L"fsUnderline", fsUnderline},
                                {L"fsStrikeOut", fsStrikeOut}};
static const TIdentMap FontPitchIdents{
    {L"fpDefault", fpDefault}, {L"fpVariable", fpVariable}, {L"fpFixed", fpFixed}};

int ScreenPixelsPerInch() {
    static const int ppi = [] {
        HDC dc = GetDC(nullptr);
        int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
        if (dc) ReleaseDC(nullptr, dc);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

namespace {

using FontKey = std::tuple<String, int, int, std::uint64_t, int>;

// Equal descriptions share one GDI font: a form of a few hundred controls needs only a handful.
struct FontCache {
    std::mutex lock;
    std::map<FontKey, std::weak_ptr<void>> fonts;
};

FontCache& Cache() {
    static auto* cache = new FontCache; // never destroyed: fonts may be released during exit
    return *cache;
}

std::shared_ptr<void> AcquireFont(const String& name, int height, TFontCharset charset, TFontStyles style,
                                  TFontPitch pitch) {
    FontKey key{UpperCase(name), height, charset, style.ToInt(), pitch};
    FontCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.lock);
    auto it = cache.fonts.find(key);
    if (it != cache.fonts.end())
        if (auto alive = it->second.lock()) return alive;
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style.Contains(fsItalic);
    lf.lfUnderline = style.Contains(fsUnderline);
    lf.lfStrikeOut = style.Contains(fsStrikeOut);
    lf.lfCharSet = charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch == fpFixed      ? FIXED_PITCH
                          : pitch == fpVariable ? VARIABLE_PITCH
                                                : DEFAULT_PITCH;
    name.copy(lf.lfFaceName, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    std::shared_ptr<void> shared(font, [](void* f) { DeleteObject(static_cast<HGDIOBJ>(f)); });
    cache.fonts[key] = shared;
    return shared;
}

} // namespace

const TClassInfo* TFont::StaticClassInfo() {
    static const TClassInfo info(
        L"TFont", TPersistent::StaticClassInfo(),
        {
            IntProp<TFont>(L"Charset", &TFont::Charset, &TFont::SetCharset, &CharsetIdents),
            IntProp<TFont>(L"Color", &TFont::Color, &TFont::SetColor, &ColorIdents),
            IntProp<TFont>(L"Height", &TFont::Height, &TFont::SetHeight),
            StrProp<TFont>(L"Name", &TFont::Name, &TFont::SetName),
            EnumProp<TFont>(L"Pitch", &TFont::Pitch, &TFont::SetPitch, FontPitchIdents),
            IntProp<TFont>(L"Size", &TFont::Size, &TFont::SetSize),
            SetProp<TFont>(L"Style", &TFont::Style, &TFont::SetStyle, FontStyleIdents),
        });
    return &info;
}

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::SetName(const String& name) {
    if (name == name_ || name.empty()) return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

int TFont::Size() const {
    int ppi = ScreenPixelsPerInch();
    return height_ < 0 ? MulDiv(-height_, 72, ppi) : MulDiv(height_, 72, ppi);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72));
}

void TFont::SetCharset(TFontCharset charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    Changed();
}

void TFont::AssignFace(const LOGFONTW& lf) {
    SetName(lf.lfFaceName);
    SetHeight(lf.lfHeight);
    SetCharset(lf.lfCharSet);
}

void TFont::AssignLogFont(const LOGFONTW& lf) {
    AssignFace(lf);
    TFontStyles style;
    if (lf.lfWeight >= FW_BOLD) style.Include(fsBold);
    if (lf.lfItalic) style.Include(fsItalic);
    SetStyle(style);
}

namespace {

bool AssignNonClientFont(TFont& font, LOGFONTW NONCLIENTMETRICSW::*which) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    font.AssignLogFont(metrics.*which);
    return true;
}

} // namespace

bool AssignMenuFont(TFont& font) {
    return AssignNonClientFont(font, &NONCLIENTMETRICSW::lfMenuFont);
}

bool AssignCaptionFont(TFont& font) {
    return AssignNonClientFont(font, &NONCLIENTMETRICSW::lfCaptionFont);
}

HFONT TFont::Handle() const {
    return static_cast<HFONT>(SharedHandle().get());
}

std::shared_ptr<void> TFont::SharedHandle() const {
    if (!handle_) handle_ = AcquireFont(name_, height_, charset_, style_, pitch_);
    return handle_;
}

bool TFont::SameAs(const TFont& o) const {
    return SameText(name_, o.name_) && height_ == o.height_ && charset_ == o.charset_ && style_ == o.style_ &&
           color_ == o.color_ && pitch_ == o.pitch_;
}

void TFont::Assign(const TPersistent* Source) {
    if (auto* f = dynamic_cast<const TFont*>(Source)) {
        if (SameAs(*f)) return;
        name_ = f->name_;
        height_ = f->height_;
        charset_ = f->charset_;
        style_ = f->style_;
        color_ = f->color_;
        pitch_ = f->pitch_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TFont::Changed() {
    handle_.reset();
    if (OnChange) OnChange(this);
}
