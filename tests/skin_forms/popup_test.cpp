// Popup menus as they reach the screen: the skin's frame round them, and the links between a popup's
// items and its background.
#include "form_fixture.h"

#include "skin_data/SkinDraw.h"
#include "skin_forms/WinSkinMenu.h"

namespace {

// What the popup's own window surface shows at points of its frame, beside the skin's background
// built at the popup's size.
struct TFramePixels {
    bool read = false;
    struct TPixel {
        POINT at;
        COLORREF seen, wanted;
    };
    std::vector<TPixel> pixels;
};

void ReadFrame(HWND popup, TSkinData& data, TFramePixels& out) {
    if (!popup || !data.MenuBackground) return;
    UpdateWindow(popup);
    RECT r;
    GetWindowRect(popup, &r);
    OffsetRect(&r, -r.left, -r.top);
    TDataSkinObject& e = *data.MenuBackground;
    const auto wanted = BuildSkinBitmap(r, e.Bitmap, e.Margins(), 1, 1, e.Tile == 1, false);
    const int w = r.right, h = r.bottom;
    HDC dc = GetWindowDC(popup);
    for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{2, 2}, POINT{w / 2, 0}, POINT{w / 2, 2}, POINT{0, h / 2},
                    POINT{2, h / 2}, POINT{w - 1, h / 2}, POINT{w - 3, h / 2}, POINT{w / 2, h - 1},
                    POINT{w / 2, h - 3}, POINT{w - 1, h - 1}})
        out.pixels.push_back({p, GetPixel(dc, p.x, p.y), GetPixel(wanted->Canvas()->Handle(), p.x, p.y)});
    ReleaseDC(popup, dc);
    out.read = true;
}

class PopupFrameTest : public SkinnedFormTest, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        SkinnedFormTest::SetUp();
        LoadSkinFile(*data_, GetParam());
    }

    void ExpectSkinFrame(const TFramePixels& frame, const char* which) {
        SCOPED_TRACE(which);
        ASSERT_TRUE(frame.read) << "no popup opened";
        for (const auto& p : frame.pixels) EXPECT_EQ(p.seen, p.wanted) << "at " << p.at.x << "," << p.at.y;
    }
};

TEST_P(PopupFrameTest, TheSkinsFrameReachesTheScreen) {
    TWinSkinForm* skinner = ShowSkinned();
    ASSERT_NE(skinner, nullptr);
    TFramePixels context, bar;
    InMenu = [&](HWND popup) {
        ReadFrame(popup, *data_, context);
        EndMenu();
    };
    QueueMenuKeys({});
    popup_->Popup(300, 300);
    ExpectSkinFrame(context, "context menu");

    InMenu = [&](HWND popup) {
        ReadFrame(popup, *data_, bar);
        EndMenu();
    };
    QueueMenuKeys({});
    SendNC(WM_NCLBUTTONDOWN, Centre(skinner->MenuBar->Buttons[0]->Rect));
    ExpectSkinFrame(bar, "menu-bar popup");
}

INSTANTIATE_TEST_SUITE_P(EverySkin, PopupFrameTest,
                         testing::Values("Standard.stream", "skin1.skn", "skin2.skn", "skin3.skn",
                                         "skin4.skn", "Skin5.skn", "Skin6.skn"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

// An item of another menu drawn first must not link the pending popup to that menu: the popup would
// take its items' background from a window it is not.
TEST_F(SkinnedFormTest, EachOpenPopupKeepsItsOwnMenu) {
    ASSERT_NE(ShowSkinned(), nullptr);
    const HMENU context = popup_->Handle();
    TMenuItem* copy = menu_->Items()->Items(1)->Items(0);
    const HMENU edit = menu_->Items()->Items(1)->Handle();
    bool linked = false, kept = false;
    InMenu = [&](HWND popup) {
        if (popup) UpdateWindow(popup);
        TWinSkinPopMenu* skinner = SkinManager->FindPopupMenu(context);
        linked = skinner != nullptr;
        if (skinner) {
            skinner->Menu = nullptr;
            PendingPopupMenu = skinner;
            TBitmap target(60, 20, pf24bit);
            DRAWITEMSTRUCT draw{};
            draw.CtlType = ODT_MENU;
            draw.itemID = copy->Command();
            draw.hwndItem = reinterpret_cast<HWND>(edit);
            draw.hDC = target.Canvas()->Handle();
            draw.rcItem = RECT{0, 0, 60, 20};
            SendMessageW(form_->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
            kept = SkinManager->FindPopupMenu(context) == skinner && !SkinManager->FindPopupMenu(edit);
        }
        EndMenu();
    };
    QueueMenuKeys({});
    popup_->Popup(300, 300);
    EXPECT_TRUE(linked) << "the context menu's items linked its popup to it";
    EXPECT_TRUE(kept);
}

} // namespace
