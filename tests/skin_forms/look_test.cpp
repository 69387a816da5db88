// The skinned frame read back as pixels, with a skin of solid colours whose every part and frame
// has a colour of its own: borders, caption, title background and text, caption buttons, and what
// the frame answers (hit tests, clicks, region, size).
#include "form_fixture.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "skin_fixtures.h"

namespace {

// 0x00BBGGRR, as the skin engine keeps colours.
constexpr TColor LeftOn = 0x102030, LeftOff = 0x405060;
constexpr TColor RightOn = 0x112233, RightOff = 0x445566;
constexpr TColor TopOn = 0x203040, TopOff = 0x607080;
constexpr TColor BottomOn = 0x213141, BottomOff = 0x617181;
constexpr TColor BackOn = 0x707070, BackOff = 0x909090; // grey: the title's red or blue shows
constexpr TColor CloseOn = 0x00FF00, CloseInactive = 0x004000;
constexpr TColor Key = 0xFF00FF;

constexpr int LeftWidth = 5, RightWidth = 7, CaptionHeight = 22, BottomHeight = 6;
constexpr int TextShift = 30, TextRightClip = 120;

Bytes BmpOf(int w, int h, const std::function<TColor(int x, int y)>& colourAt) {
    return BmpFile(*MakeBitmap(w, h, colourAt));
}

// count frames of w x h side by side (or stacked), frame i (0-based) in colours[i].
Bytes Strip(int w, int h, std::vector<TColor> colours, bool stacked = false) {
    const int n = static_cast<int>(colours.size());
    return BmpOf(stacked ? w : w * n, stacked ? h * n : h,
                 [=](int x, int y) { return colours[static_cast<std::size_t>(stacked ? y / h : x / w)]; });
}

std::string ButtonSection(const char* name, int action, int xcoord, const char* image) {
    return std::string("[") + name + "]\nAction=" + std::to_string(action) +
           "\nAlign=1\nXcoord=" + std::to_string(xcoord) +
           "\nYcoord=4\nVisibility=0\nframe=4\nButtonImage=" + image + "\n";
}

// Borders 5, 7 and 6 pixels wide, a 22-pixel caption; only the bottom border has transparent
// pixels (its last row). Caption buttons from the right: close, maximize, minimize, one that
// cannot be clicked (a negative action) and one of the application's (action 50); the icon at
// the left.
Bytes SolidSkinArchive() {
    std::string ini =
        "[Personality]\n"
        "Left=left.bmp\nLeftFrame=2\nLeftTrans=0\n"
        "Right=right.bmp\nRightFrame=2\nRightTrans=0\n"
        "Top=top.bmp\nTopFrame=2\nTopTrans=0\n"
        "Bottom=bottom.bmp\nBottomFrame=2\nBottomTrans=1\n"
        "TextBack=textback.bmp\nTextShift=30\nTextRightClip=120\nTextAlignment=0\n"
        "TXTBackleft=3\nTXTBackRight=3\n"
        "[Colours]\nTitleTextActive=255,0,0\nTitleTextNoActive=0,0,255\n"
        "[ButtonIcon]\nAction=3\nAlign=0\nXcoord=6\nYcoord=3\nVisibility=0\nframe=1\nButtonImage=icon.bmp\n";
    ini += ButtonSection("ButtonClose", 0, 24, "close.bmp");
    ini += ButtonSection("ButtonMax", 1, 44, "max.bmp");
    ini += ButtonSection("ButtonMin", 2, 64, "min.bmp");
    ini += ButtonSection("ButtonInert", -2, 90, "inert.bmp");
    ini += ButtonSection("ButtonUser", 50, 110, "user.bmp");
    const Bytes bottom = BmpOf(30, 2 * BottomHeight, [](int, int y) {
        if (y % BottomHeight == BottomHeight - 1) return Key;
        return y < BottomHeight ? BottomOn : BottomOff;
    });
    std::vector<TArchiveEntry> entries{
        {"test.ini", Bytes(ini.begin(), ini.end())},
        {"left.bmp", Strip(LeftWidth, 30, {LeftOn, LeftOff})},
        {"right.bmp", Strip(RightWidth, 30, {RightOn, RightOff})},
        {"top.bmp", Strip(30, CaptionHeight, {TopOn, TopOff}, true)},
        {"bottom.bmp", bottom},
        {"textback.bmp", Strip(12, CaptionHeight, {BackOn, BackOff})},
        {"icon.bmp", Strip(16, 16, {0x000000})},
        {"close.bmp", Strip(16, 14, {CloseOn, 0x008000, 0x00C000, CloseInactive})},
        {"max.bmp", Strip(16, 14, {0xFFFF00, 0x808000, 0xC0C000, 0x404000})},
        {"min.bmp", Strip(16, 14, {0xFF00FE, 0x800080, 0xC000C0, 0x400040})},
        {"inert.bmp", Strip(16, 14, {0x00FFFF, 0x008080, 0x00C0C0, 0x004040})},
        {"user.bmp", Strip(16, 14, {0xFFFFFF, 0x808081, 0xC0C0C1, 0x404041})},
    };
    return PackArchive(entries);
}

// The window as it is on the screen now, read from its window DC.
class TWindowPicture {
public:
    explicit TWindowPicture(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        bitmap_ = std::make_unique<TBitmap>(r.right - r.left, r.bottom - r.top, pf24bit);
        HDC dc = GetWindowDC(window);
        BitBlt(bitmap_->Canvas()->Handle(), 0, 0, bitmap_->Width(), bitmap_->Height(), dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    TColor At(int x, int y) const {
        const std::uint8_t* p = bitmap_->ScanLine(y) + 3 * x;
        return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
    }

private:
    std::unique_ptr<TBitmap> bitmap_;
};

int Red(TColor c) {
    return static_cast<int>(c & 0xFF);
}
int Blue(TColor c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

class SolidSkinTest : public SkinnedFormTest {
protected:
    void SetUp() override {
        SkinnedFormTest::SetUp();
        const Bytes archive = SolidSkinArchive();
        data_->SkinStream()->Clear();
        data_->SkinStream()->WriteBuffer(archive.data(), static_cast<std::int64_t>(archive.size()));
        ASSERT_TRUE(data_->ParseSkin());
        ASSERT_FALSE(data_->SkinNotLoaded());
    }

    // Shown and skinned, with an icon of its own for the icon button.
    TWinSkinForm* ShowWithIcon() {
        form_->HandleNeeded();
        SendMessageW(form_->Handle(), WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_APPLICATION)));
        return ShowSkinned();
    }

    // The frame painted active or inactive, as the system asks for it.
    TWindowPicture Painted(bool active) const {
        SendMessageW(form_->Handle(), WM_NCACTIVATE, active, 0);
        return TWindowPicture(form_->Handle());
    }

    TWinSysButton* Button(TWinSkinForm& skinner, int action) const {
        for (const auto& button : skinner.SysButtons)
            if (button->Entry() && button->Entry()->Action == action) return button.get();
        return nullptr;
    }

    void Click(POINT at) const {
        SendNC(WM_NCLBUTTONDOWN, at);
        SendNC(WM_NCLBUTTONUP, at);
    }

    // Presses that reach the form's own procedure are recorded and swallowed there: the system
    // would start a move loop for a press on the caption.
    void RecordNCPresses() {
        TWndMethod original = form_->WindowProc;
        form_->WindowProc = [this, original](TMessage& m) {
            if (m.Msg == WM_NCLBUTTONDOWN) {
                Presses.push_back(m.WParam);
                return;
            }
            original(m);
        };
    }
    std::vector<WPARAM> Presses;

    // Takes the first message of that number posted to the window, if any.
    bool TakePosted(UINT msg, MSG& got) const {
        return PeekMessageW(&got, form_->Handle(), msg, msg, PM_REMOVE) != FALSE;
    }
};

// Every part of the frame shows its first frame while the window is active and its second one
// when it is not; the title changes colour, and caption buttons with four frames show the fourth.
TEST_F(SolidSkinTest, ActiveAndInactiveFramesOfEveryPart) {
    TWinSkinForm* skinner = ShowWithIcon();
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->BorderLeft, LeftWidth);
    EXPECT_EQ(skinner->BorderRight, RightWidth);
    EXPECT_EQ(skinner->BorderTop, CaptionHeight);
    EXPECT_EQ(skinner->BorderBottom, BottomHeight);
    const int w = skinner->WindowWidth, h = skinner->WindowHeight;
    TWinSysButton* close = Button(*skinner, 0);
    ASSERT_NE(close, nullptr);

    for (const bool active : {true, false}) {
        SCOPED_TRACE(active ? "active" : "inactive");
        const TWindowPicture picture = Painted(active);
        EXPECT_EQ(skinner->Active, active);
        const RECT text = skinner->CaptionTextRect;
        const struct {
            const char* part;
            POINT at;
            TColor on, off;
        } cases[] = {
            {"left border", {LeftWidth / 2, h / 2}, LeftOn, LeftOff},
            {"right border", {w - RightWidth / 2 - 1, h / 2}, RightOn, RightOff},
            {"bottom border", {w / 2, h - BottomHeight / 2 - 1}, BottomOn, BottomOff},
            {"caption", {(text.right + w - 110) / 2, 1}, TopOn, TopOff},
            {"title background", {text.left + 1, 1}, BackOn, BackOff},
            {"title background's end", {text.right - 2, CaptionHeight - 2}, BackOn, BackOff},
            {"close button", Centre(close->Rect), CloseOn, CloseInactive},
        };
        for (const auto& c : cases) EXPECT_EQ(picture.At(c.at.x, c.at.y), active ? c.on : c.off) << c.part;

        // The title's pixels: red (TitleTextActive) or blue (TitleTextNoActive) over grey.
        int red = 0, blue = 0;
        for (int y = 0; y < CaptionHeight; ++y)
            for (int x = text.left; x < text.right; ++x) {
                const TColor c = picture.At(x, y);
                red += Red(c) > Blue(c);
                blue += Blue(c) > Red(c);
            }
        EXPECT_GT(active ? red : blue, 10) << "the title in its colour";
        EXPECT_EQ(active ? blue : red, 0) << "and in no other";
    }
}

// A window without a system menu shows no close button; a dialog frame shows no icon.
TEST_F(SolidSkinTest, CloseButtonNeedsASystemMenuAndTheIconNoDialogFrame) {
    struct TCase {
        const char* what;
        std::function<void(TForm&)> style;
        bool close, icon;
    };
    const TCase cases[] = {
        {"sizable", [](TForm&) {}, true, true},
        {"no system menu", [](TForm& f) { f.SetBorderIcons(TBorderIcons{}); }, false, true},
        {"dialog", [](TForm& f) { f.SetBorderStyle(bsDialog); }, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        form_.reset();
        MakeForm();
        c.style(*form_);
        TWinSkinForm* skinner = ShowWithIcon();
        ASSERT_NE(skinner, nullptr);
        ASSERT_NE(skinner->WindowIcon, nullptr);
        const TWindowPicture picture = Painted(true);
        const int w = skinner->WindowWidth;

        // Where the close button goes: its colour, or the caption's.
        const POINT closeAt{w - 24 + 8, 4 + 7};
        EXPECT_EQ(picture.At(closeAt.x, closeAt.y), c.close ? CloseOn : TopOn);
        TWinSysButton* found = skinner->SysButtonAt(closeAt);
        EXPECT_EQ(found && found->Entry()->Action == 0, c.close);

        // The icon's columns left of where the title may begin (16 pixels further left on a
        // dialog frame).
        int iconPixels = 0;
        for (int y = 3; y < 3 + skinner->SmallIconSize; ++y)
            for (int x = 6; x < LeftWidth + TextShift - 16; ++x) iconPixels += picture.At(x, y) != TopOn;
        if (c.icon)
            EXPECT_GT(iconPixels, 0);
        else
            EXPECT_EQ(iconPixels, 0);
        found = skinner->SysButtonAt(POINT{8, 8});
        EXPECT_EQ(found && found->Entry()->Action == 3, c.icon);
    }
}

// What a click on each caption button posts to the window.
TEST_F(SolidSkinTest, CaptionButtonActions) {
    RecordNCPresses();
    TWinSkinForm* skinner = ShowWithIcon();
    ASSERT_NE(skinner, nullptr);
    MSG got{};
    while (TakePosted(WM_SYSCOMMAND, got) || TakePosted(WM_CLOSE, got) || TakePosted(SKM_BUTTONACTION, got)) {
    }

    // Close asks through the system command, as the system's own button does.
    TWinSysButton* close = Button(*skinner, 0);
    ASSERT_NE(close, nullptr);
    Click(Centre(close->Rect));
    ASSERT_TRUE(TakePosted(WM_SYSCOMMAND, got));
    EXPECT_EQ(got.wParam, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_FALSE(TakePosted(WM_CLOSE, got)) << "no WM_CLOSE of its own";
    MakeActive();

    // An action without a meaning of the engine's goes to the application.
    TWinSysButton* user = Button(*skinner, 50);
    ASSERT_NE(user, nullptr);
    ASSERT_TRUE(user->Visible);
    Click(Centre(user->Rect));
    ASSERT_TRUE(TakePosted(SKM_BUTTONACTION, got));
    EXPECT_EQ(got.wParam, 50u);

    // A negative action is drawn but cannot be pressed.
    TWinSysButton* inert = Button(*skinner, -2);
    ASSERT_NE(inert, nullptr);
    ASSERT_TRUE(inert->Visible);
    const TWindowPicture picture = Painted(true);
    EXPECT_EQ(picture.At(Centre(inert->Rect).x, Centre(inert->Rect).y), 0x00FFFFu) << "drawn";
    EXPECT_EQ(skinner->SysButtonAt(Centre(inert->Rect)), nullptr);
    SendNC(WM_NCLBUTTONDOWN, Centre(inert->Rect));
    EXPECT_EQ(Presses.size(), 1u) << "the press is the system's";
    EXPECT_EQ(inert->State, nsNormal);
    EXPECT_NE(skinner->HotObject, inert);
    SendNC(WM_NCLBUTTONUP, Centre(inert->Rect));
    EXPECT_FALSE(TakePosted(SKM_BUTTONACTION, got));
    EXPECT_FALSE(TakePosted(WM_SYSCOMMAND, got));

    // The system menu's Close closes at once.
    ASSERT_NE(skinner->SystemPopupMenu, nullptr);
    TMenuItem* items = skinner->SystemPopupMenu->Items();
    TMenuItem* closeItem = nullptr;
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Tag() == 3) closeItem = items->Items(i);
    ASSERT_NE(closeItem, nullptr);
    skinner->SystemMenuClick(closeItem);
    EXPECT_TRUE(TakePosted(WM_CLOSE, got));
    EXPECT_FALSE(TakePosted(WM_SYSCOMMAND, got));
}

// Pressing the caption of a maximized, active window does not start a move.
TEST_F(SolidSkinTest, AMaximizedWindowIsNotDraggedByItsCaption) {
    RecordNCPresses();
    TWinSkinForm* skinner = ShowWithIcon();
    ASSERT_NE(skinner, nullptr);
    auto pressCaption = [&] {
        Presses.clear();
        SendNC(WM_NCLBUTTONDOWN, POINT{skinner->WindowWidth / 2 - 40, CaptionHeight / 2}, HTCAPTION);
        return Presses.empty() ? WPARAM(-1) : Presses.back();
    };
    EXPECT_EQ(pressCaption(), static_cast<WPARAM>(HTCAPTION)) << "a normal window moves";

    ShowWindow(form_->Handle(), SW_MAXIMIZE);
    ASSERT_TRUE(Pump(5000, [&] { return skinner->ShowState == ssMaximized; }));
    MakeActive();
    EXPECT_EQ(pressCaption(), static_cast<WPARAM>(HTMENU)) << "maximized and active";
    SendMessageW(form_->Handle(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(pressCaption(), static_cast<WPARAM>(HTCAPTION)) << "an inactive window is the system's";
    ShowWindow(form_->Handle(), SW_RESTORE);
    Pump(5000, [&] { return skinner->ShowState == ssNormal; });
}

// A centred title too long for the caption ends in an ellipsis at the right limit.
TEST_F(SolidSkinTest, ALongTitleEndsInAnEllipsis) {
    form_->SetCaption(std::wstring(80, L'W'));
    data_->Title->TextAlignment = 1;
    TWinSkinForm* skinner = ShowWithIcon();
    ASSERT_NE(skinner, nullptr);
    const TWindowPicture picture = Painted(true);
    const RECT text = skinner->CaptionTextRect;
    const int w = skinner->WindowWidth;
    EXPECT_EQ(text.right, w - RightWidth - TextRightClip) << "the right limit";
    EXPECT_EQ(text.left, LeftWidth) << "its beginning shows";
    EXPECT_EQ(picture.At(LeftWidth / 2, 1), LeftOn) << "the border is not painted over";

    // Columns of the title that hold text, and the rows they use.
    auto isText = [&](int x, int y) { return picture.At(x, y) != BackOn; };
    int last = -1;
    int top = CaptionHeight, bottom = -1;
    // Right of the icon.
    for (int x = 6 + skinner->SmallIconSize; x < text.right; ++x)
        for (int y = 0; y < CaptionHeight; ++y)
            if (isText(x, y)) {
                last = x;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GT(last, 0);
    EXPECT_LT(last, text.right - 3) << "the text stays inside its background";
    ASSERT_GT(bottom - top, 5) << "the letters are tall";

    // The last columns are three dots on the base line, not the strokes of a clipped W.
    SIZE dots{};
    {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, skinner->CaptionFont->Handle());
        GetTextExtentPoint32W(dc, L"...", 3, &dots);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    ASSERT_GT(dots.cx, 3);
    int dotsTop = CaptionHeight, dotsBottom = -1;
    for (int x = last - dots.cx + 2; x <= last; ++x)
        for (int y = 0; y < CaptionHeight; ++y)
            if (isText(x, y)) {
                dotsTop = std::min(dotsTop, y);
                dotsBottom = std::max(dotsBottom, y);
            }
    EXPECT_LE(dotsBottom - dotsTop, 3) << "rows " << dotsTop << " to " << dotsBottom;
    EXPECT_GE(dotsTop, bottom - 3) << "on the base line";
}

// Only the bottom border has transparent pixels: the region still leaves them out.
TEST_F(SolidSkinTest, ABottomBorderAloneShapesTheRegion) {
    TWinSkinForm* skinner = ShowWithIcon();
    ASSERT_NE(skinner, nullptr);
    ASSERT_TRUE(skinner->RegionSet);
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(form_->Handle(), region.Get()), ERROR);
    const int w = skinner->WindowWidth, h = skinner->WindowHeight;
    const struct {
        POINT at;
        bool inside;
    } cases[] = {
        {{w / 2, h - 1}, false},                     // the bottom border's keyed row
        {{LeftWidth, h - 1}, false},                 // all along it
        {{w / 2, h - 2}, true},                      // the row above it
        {{1, h - 1}, true},                          // the side borders are solid
        {{w - 2, h - 1}, true},      {{0, 0}, true}, // the caption is solid
        {{w / 2, h / 2}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PtInRegion(region.Get(), c.at.x, c.at.y) != FALSE, c.inside) << c.at.x << ", " << c.at.y;
}

// Hit tests at the edges and corners of the frame, and at the skin's border widths.
TEST_F(SolidSkinTest, HitTestsAtTheFrameAndTheSkinsBorderWidths) {
    TWinSkinForm* skinner = ShowWithIcon();
    ASSERT_NE(skinner, nullptr);
    const int w = skinner->WindowWidth, h = skinner->WindowHeight;
    const int menuTop = CaptionHeight, clientTop = CaptionHeight + skinner->MenuBarHeight;
    ASSERT_GT(skinner->MenuBarHeight, 0);
    const struct {
        POINT at;
        LRESULT hit;
    } cases[] = {
        {{0, 0}, HTTOPLEFT},
        {{w - 1, 0}, HTTOPRIGHT},
        {{0, h - 1}, HTBOTTOMLEFT},
        {{w - 1, h - 1}, HTBOTTOMRIGHT},
        {{0, h / 2}, HTLEFT},
        {{w - 1, h / 2}, HTRIGHT},
        {{w / 2, h - 1}, HTBOTTOM},
        {{w / 2, 0}, HTTOP},
        {{w / 2, CaptionHeight / 2}, HTCAPTION},
        {{w / 2, menuTop - 1}, HTCAPTION},
        {{w / 2, menuTop + 1}, HTMENU},
        {{w / 2, clientTop - 1}, HTMENU},
        {{w / 2, clientTop}, HTCLIENT},
        {{LeftWidth, h / 2}, HTCLIENT},
        {{w - RightWidth - 1, h / 2}, HTCLIENT},
        {{w / 2, h - BottomHeight - 1}, HTCLIENT},
    };
    for (const auto& c : cases) EXPECT_EQ(HitTest(c.at), c.hit) << c.at.x << ", " << c.at.y;
    for (POINT outside :
         {POINT{LeftWidth - 1, h / 2}, POINT{w - RightWidth, h / 2}, POINT{w / 2, h - BottomHeight}})
        EXPECT_NE(HitTest(outside), HTCLIENT) << outside.x << ", " << outside.y;
}

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// Skinning resizes the window around the skin's borders: a form keeps its client width and
// trades the system's caption and frame height for the skin's; a plain window keeps its client
// area; a message window grows to show its whole caption, its controls moved to the middle.
TEST_F(SolidSkinTest, SkinningFitsTheWindowToTheSkinsBorders) {
    {
        SCOPED_TRACE("form");
        form_->HandleNeeded();
        RECT client0;
        GetClientRect(form_->Handle(), &client0);
        const RECT before = WindowRectOf(form_->Handle());
        TWinSkinForm* skinner = ShowWithIcon();
        ASSERT_NE(skinner, nullptr);
        const RECT after = WindowRectOf(form_->Handle());
        EXPECT_EQ(after.right - after.left, client0.right + LeftWidth + RightWidth);
        EXPECT_EQ(after.bottom - after.top, (before.bottom - before.top) - 2 * GetSystemMetrics(SM_CYFRAME) -
                                                GetSystemMetrics(SM_CYCAPTION) + CaptionHeight +
                                                BottomHeight);
        EXPECT_EQ(after.left, before.left) << "not moved";
        EXPECT_EQ(after.top, before.top);
    }
    auto skinned = [](HWND window) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        TWinSkinForm* skinner = nullptr;
        Pump(5000, [&] {
            skinner = SkinManager->FindSkinForm(window);
            return skinner && skinner->State == fsSkinned;
        });
        return skinner && skinner->State == fsSkinned ? skinner : nullptr;
    };
    {
        SCOPED_TRACE("plain window");
        TTopWindow plain(TTopWindow::PlainClass, L"Plain", WS_OVERLAPPEDWINDOW, 0, 300, 200);
        ASSERT_NE(plain.handle, nullptr);
        RECT client0;
        GetClientRect(plain.handle, &client0);
        ASSERT_NE(skinned(plain.handle), nullptr);
        RECT client;
        GetClientRect(plain.handle, &client);
        EXPECT_EQ(client.right, client0.right);
        EXPECT_EQ(client.bottom, client0.bottom);
        const RECT after = WindowRectOf(plain.handle);
        EXPECT_EQ(after.right - after.left, client0.right + LeftWidth + RightWidth);
        EXPECT_EQ(after.bottom - after.top, client0.bottom + CaptionHeight + BottomHeight);
    }
    {
        SCOPED_TRACE("message window");
        const std::wstring caption = L"A message window whose caption is much wider than the window";
        TTopWindow dialog(L"#32770", caption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                          200, 120);
        ASSERT_NE(dialog.handle, nullptr);
        HWND child = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 20, 30, 60, 24,
                                     dialog.handle, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(child, nullptr);
        RECT client0;
        GetClientRect(dialog.handle, &client0);
        TWinSkinForm* skinner = skinned(dialog.handle);
        ASSERT_NE(skinner, nullptr);
        SIZE text{};
        {
            HDC dc = GetWindowDC(dialog.handle);
            HGDIOBJ old = SelectObject(dc, skinner->CaptionFont->Handle());
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
            SelectObject(dc, old);
            ReleaseDC(dialog.handle, dc);
        }
        const int needed = TextShift + text.cx + TextRightClip;
        const int width0 = client0.right + LeftWidth + RightWidth;
        ASSERT_GT(needed, width0);
        const RECT after = WindowRectOf(dialog.handle);
        EXPECT_EQ(after.right - after.left, needed);
        EXPECT_EQ(after.bottom - after.top, client0.bottom + CaptionHeight + BottomHeight);
        RECT button = WindowRectOf(child);
        MapWindowPoints(HWND_DESKTOP, dialog.handle, reinterpret_cast<POINT*>(&button), 2);
        EXPECT_EQ(button.left, 20 + (needed - width0) / 2) << "moved by half the growth";
        EXPECT_EQ(button.top, 30);
        EXPECT_EQ(button.right - button.left, 60);
    }
}

} // namespace
