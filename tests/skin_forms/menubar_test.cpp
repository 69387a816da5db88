// The skinned menu bar as it reaches the screen: its captions in the skin's colours, and the frame
// round a button under the mouse or with its menu open.
#include <cstdlib>

#include "form_fixture.h"

namespace {

constexpr COLORREF kBarText = RGB(200, 0, 0), kShadow = RGB(0, 0, 210), kFrame = RGB(0, 230, 120);

bool Near(COLORREF a, COLORREF b, int tolerance = 60) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class MenuBarLookTest : public SkinnedFormTest {
protected:
    void SetUp() override {
        SkinnedFormTest::SetUp();
        TSkinColours& c = data_->Colours;
        c.MenuBarText = static_cast<TColor>(kBarText);
        c.ButtonShadow = static_cast<TColor>(kShadow);
        c.ButtonHilight = static_cast<TColor>(kFrame);
        menu_->Items()->Items(2)->SetEnabled(false); // Help
        GetCursorPos(&cursor_);
        skinner_ = ShowSkinned();
        ASSERT_NE(skinner_, nullptr);
        ASSERT_TRUE(skinner_->MenuBar);
        ASSERT_EQ(skinner_->MenuBar->Buttons.size(), 3u);
        RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    }

    void TearDown() override {
        SetCursorPos(cursor_.x, cursor_.y);
        SkinnedFormTest::TearDown();
    }

    TMenuBtn& Button(int i) const { return *skinner_->MenuBar->Buttons[static_cast<std::size_t>(i)]; }

    // A pixel of the window as it is on the screen, in window coordinates.
    COLORREF OnScreen(POINT p) const {
        HDC dc = GetWindowDC(form_->Handle());
        const COLORREF c = GetPixel(dc, p.x, p.y);
        ReleaseDC(form_->Handle(), dc);
        return c;
    }

    // The bar's background without captions at a point of the window.
    COLORREF Clean(POINT p) const {
        const TWinSkinMenu& bar = *skinner_->MenuBar;
        return GetPixel(const_cast<TBitmap&>(bar.CleanBar).Canvas()->Handle(), p.x - bar.BarRect.left,
                        p.y - bar.BarRect.top);
    }

    // The middles of a button's four edges.
    static std::vector<POINT> Edges(const RECT& r) {
        const POINT c = Centre(r);
        return {{r.left, c.y}, {r.right - 1, c.y}, {c.x, r.top}, {c.x, r.bottom - 1}};
    }

    // Button i is framed in the ButtonHilight colour, or shows the bar's background at its edges;
    // either way its inside keeps the background.
    void ExpectFramed(int i, bool framed) const {
        SCOPED_TRACE(testing::Message() << "button " << i);
        const RECT r = Button(i).Rect;
        ASSERT_GT(r.right - r.left, 2);
        for (POINT p : Edges(r)) {
            SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y);
            ASSERT_NE(Clean(p), kFrame) << "the bar itself has the frame's colour";
            EXPECT_EQ(OnScreen(p), framed ? kFrame : Clean(p));
        }
        const POINT inside{r.left + 2, r.top + 2};
        EXPECT_EQ(OnScreen(inside), Clean(inside)) << "no other hot look";
    }

    // The mouse moves to a point of the window, as the system reports it.
    void MoveTo(POINT p) const {
        const POINT s = ScreenPoint(p);
        SetCursorPos(s.x, s.y);
        SendNC(WM_NCMOUSEMOVE, p, HTMENU);
    }

    TWinSkinForm* skinner_ = nullptr;
    POINT cursor_{};
};

TEST_F(MenuBarLookTest, CaptionsAreWrittenInTheSkinsColours) {
    const struct {
        int button;
        COLORREF ink, not_;
    } cases[] = {{0, kBarText, kShadow}, {1, kBarText, kShadow}, {2, kShadow, kBarText}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button);
        const RECT r = Button(c.button).Rect;
        int ink = 0, other = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF p = OnScreen(POINT{x, y});
                ink += Near(p, c.ink) ? 1 : 0;
                other += Near(p, c.not_) ? 1 : 0;
            }
        EXPECT_GT(ink, 4);
        EXPECT_EQ(other, 0);
    }
    // The buttons follow each other from the bar's left margin, each its caption's width and 10.
    const TDataSkinObject* element = data_->MenuBar.get();
    const int offset = element && !element->Bitmap.Empty() ? element->LeftWidth + 4 : 6;
    EXPECT_EQ(Button(0).Rect.left, skinner_->MenuBar->BarRect.left + offset);
    EXPECT_EQ(Button(1).Rect.left, Button(0).Rect.right);
    EXPECT_EQ(Button(2).Rect.left, Button(1).Rect.right);
}

TEST_F(MenuBarLookTest, TheButtonUnderTheMouseIsFramedAndLetGoWhenTheMouseLeaves) {
    const POINT caption{skinner_->WindowWidth / 2, skinner_->BorderTop / 2};
    const struct {
        const char* name;
        POINT to;
        int hot; // -1: none
    } steps[] = {
        {"over File", Centre(Button(0).Rect), 0},
        {"over Edit", Centre(Button(1).Rect), 1},
        {"over the disabled Help", Centre(Button(2).Rect), 2},
        {"over the caption", caption, -1},
    };
    ExpectFramed(0, false);
    ExpectFramed(1, false);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        MoveTo(s.to);
        for (int i = 0; i < 3; ++i) {
            ExpectFramed(i, i == s.hot);
            EXPECT_EQ(Button(i).State, i == s.hot ? nsHot : nsNormal);
        }
    }
}

TEST_F(MenuBarLookTest, TheButtonWhoseMenuIsOpenIsFramed) {
    bool seen = false;
    int state = 0;
    InMenu = [&](HWND popup) {
        if (popup) {
            seen = true;
            state = Button(0).State;
            ExpectFramed(0, true);
            ExpectFramed(1, false);
        }
        EndMenu();
    };
    MoveTo(Centre(Button(0).Rect));
    QueueMenuKeys({});
    SendNC(WM_NCLBUTTONDOWN, Centre(Button(0).Rect), HTMENU);
    EXPECT_TRUE(seen) << "File's menu opened";
    EXPECT_EQ(state, nsPressed);
}

} // namespace
