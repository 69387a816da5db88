// Owner-drawn menu items as the skin engine measures and paints them: the room an item asks for, and
// the pixels of normal, selected, disabled, default, checked and separator items.
#include <framework/imglist.h>

#include <algorithm>
#include <cstdlib>

#include "form_fixture.h"
#include "skin_data/SkinDraw.h"
#include "skin_fixtures.h"
#include "skin_forms/WinSkinMenu.h"

namespace {

constexpr COLORREF kMenu = RGB(240, 236, 200), kText = RGB(200, 0, 0), kHiText = RGB(0, 150, 0),
                   kShadow = RGB(0, 0, 210), kHilight = RGB(250, 210, 0), kBlue = RGB(0, 0, 255),
                   kKey = RGB(255, 0, 255);

bool Near(COLORREF a, COLORREF b, int tolerance = 60) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A painted item: its pixels, and where ink of a colour lies.
struct TShot {
    std::unique_ptr<TBitmap> bitmap;
    COLORREF At(int x, int y) const { return GetPixel(bitmap->Canvas()->Handle(), x, y); }
    int Width() const { return bitmap->Width(); }
    int Height() const { return bitmap->Height(); }
    // Pixels near colour in columns [from, to).
    int Ink(COLORREF colour, int from = 0, int to = -1) const {
        if (to < 0) to = Width();
        int n = 0;
        for (int y = 0; y < Height(); ++y)
            for (int x = from; x < to; ++x) n += Near(At(x, y), colour) ? 1 : 0;
        return n;
    }
    // The first and one past the last column holding ink of colour; {0, 0} without any.
    std::pair<int, int> InkColumns(COLORREF colour) const {
        int first = -1, last = -1;
        for (int x = 0; x < Width(); ++x)
            for (int y = 0; y < Height(); ++y)
                if (Near(At(x, y), colour)) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return first < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
    }
};

class MenuItemTest : public SkinnedFormTest {
protected:
    void SetUp() override {
        SkinnedFormTest::SetUp();
        TSkinColours& c = data_->Colours;
        c.Menu = static_cast<TColor>(kMenu);
        c.MenuText = static_cast<TColor>(kText);
        c.HilightText = static_cast<TColor>(kHiText);
        c.ButtonShadow = static_cast<TColor>(kShadow);
        c.Hilight = static_cast<TColor>(kHilight);
        item_ = AddItem(popup_->Items(), L"Open");
        line_ = AddItem(popup_->Items(), L"-");
        skinner_ = ShowSkinned();
        ASSERT_NE(skinner_, nullptr);
        ASSERT_TRUE(data_->MenuItem);
        left_ = data_->MenuItem->LeftWidth;
    }

    void TearDown() override {
        popup_->SetImages(nullptr);
        SkinnedFormTest::TearDown();
    }

    // The item painted as the system asks for it, on a picture first filled with kKey.
    TShot Paint(TMenuItem* item, bool selected, int width = 200, int height = 20) const {
        TShot shot{std::make_unique<TBitmap>(width, height, pf24bit)};
        TCanvas* canvas = shot.bitmap->Canvas();
        canvas->Brush()->SetColor(static_cast<TColor>(kKey));
        canvas->FillRect(RECT{0, 0, width, height});
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemID = item->Command();
        draw.itemState = selected ? ODS_SELECTED : 0;
        draw.hDC = canvas->Handle();
        draw.rcItem = RECT{0, 0, width, height};
        item->DrawItem(draw);
        return shot;
    }

    // The picture of frame n of the MenuItem strip over the Menu colour.
    TShot Frame(int frame, int width = 200, int height = 20) const {
        TShot shot{std::make_unique<TBitmap>(width, height, pf24bit)};
        TCanvas* canvas = shot.bitmap->Canvas();
        canvas->Brush()->SetColor(static_cast<TColor>(kMenu));
        canvas->FillRect(RECT{0, 0, width, height});
        TDataSkinObject& e = *data_->MenuItem;
        DrawSkinFrame(canvas->Handle(), RECT{0, 0, width, height}, e.Bitmap, e.Margins(), frame, 5,
                      e.Trans != 0, e.Tile == 1, false);
        return shot;
    }

    int TextWidth(const String& text) const {
        TBitmap b(1, 1, pf24bit);
        AssignMenuFont(*b.Canvas()->Font());
        return b.Canvas()->TextWidth(text);
    }

    // Where the caption starts: right of the glyph box.
    int CaptionLeft(int glyph = 16) const { return 1 + left_ + glyph + 3; }

    TWinSkinForm* skinner_ = nullptr;
    TMenuItem* item_ = nullptr;
    TMenuItem* line_ = nullptr;
    int left_ = 0;
};

// Points of a 200 x 20 item where neither glyph nor text lies.
const POINT kBare[] = {{0, 0}, {1, 10}, {199, 0}, {198, 10}, {100, 1}, {100, 18}, {199, 19}, {120, 10}};

TEST_F(MenuItemTest, NormalAndSelectedItemsShowTheirFrameOfTheStrip) {
    const TShot normal = Paint(item_, false), selected = Paint(item_, true);
    const TShot frame1 = Frame(1), frame4 = Frame(4);
    for (POINT p : kBare) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y);
        EXPECT_EQ(normal.At(p.x, p.y), frame1.At(p.x, p.y));
        EXPECT_EQ(selected.At(p.x, p.y), frame4.At(p.x, p.y));
    }
    // The generated strips leave a normal item bare and plate a selected one, so the cases differ.
    EXPECT_EQ(normal.At(120, 10), kMenu) << "the strip's key colour is see-through";
    EXPECT_NE(selected.At(120, 10), kMenu);
}

TEST_F(MenuItemTest, EachStateWritesTheCaptionInItsColour) {
    const struct {
        const char* name;
        bool enabled, selected;
        COLORREF shadow; // the skin's ButtonShadow
        COLORREF ink;
    } cases[] = {
        {"normal", true, false, kShadow, kText},
        {"selected", true, true, kShadow, kHiText},
        {"disabled", false, false, kShadow, kShadow},
        {"disabled and selected", false, true, kShadow, kShadow},
        {"disabled, shadow as the text", false, false, kText, ColorToRGB(clBtnShadow)},
    };
    const COLORREF all[] = {kText, kHiText, kShadow};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        item_->SetEnabled(c.enabled);
        data_->Colours.ButtonShadow = static_cast<TColor>(c.shadow);
        const TShot shot = Paint(item_, c.selected);
        EXPECT_GT(shot.Ink(c.ink), 4);
        for (COLORREF other : all) {
            if (!Near(other, c.ink)) {
                EXPECT_EQ(shot.Ink(other), 0) << std::hex << other;
            }
        }
    }
}

TEST_F(MenuItemTest, TheCaptionStandsRightOfTheGlyphAndTheShortCutAtTheRight) {
    item_->SetShortCut(ShortCut('O', scCtrl));
    const TShot shot = Paint(item_, false);
    const int captionEnd = CaptionLeft() + TextWidth(L"Open");
    const auto [first, last] = shot.InkColumns(kText);
    EXPECT_GE(first, CaptionLeft());
    EXPECT_LE(first, CaptionLeft() + 3);
    // The short cut ends 10 pixels short of the text's right edge (the item's right - 1).
    const int shortcutRight = 200 - 1 - 10, shortcutLeft = shortcutRight - TextWidth(L"Ctrl+O");
    EXPECT_LE(last, shortcutRight);
    EXPECT_GE(last, shortcutRight - 3);
    EXPECT_EQ(shot.Ink(kText, captionEnd + 2, shortcutLeft - 2), 0)
        << "nothing between caption and short cut";
    EXPECT_GT(shot.Ink(kText, shortcutLeft, shortcutRight), 4);
}

TEST_F(MenuItemTest, TheDefaultItemIsBold) {
    const TShot plain = Paint(item_, false);
    item_->SetDefault(true);
    const TShot bold = Paint(item_, false);
    EXPECT_GT(bold.Ink(kText), plain.Ink(kText) + 4);
    EXPECT_GE(bold.InkColumns(kText).second, plain.InkColumns(kText).second);
}

TEST_F(MenuItemTest, ACheckedItemWithoutAnImageShowsTheCheckMarkInItsBox) {
    const TShot unchecked = Paint(item_, false);
    item_->SetChecked(true);
    const TShot checked = Paint(item_, false);
    const RECT box{1 + left_, 1, 1 + left_ + 16, 17};
    const COLORREF mark = ColorToRGB(clBtnText);
    int inBox = 0, changedOutside = 0;
    for (int y = 0; y < checked.Height(); ++y)
        for (int x = 0; x < checked.Width(); ++x) {
            const bool inside = PtInRect(&box, POINT{x, y});
            if (inside && checked.At(x, y) == mark) ++inBox;
            if (!inside && checked.At(x, y) != unchecked.At(x, y)) ++changedOutside;
        }
    EXPECT_GT(inBox, 4);
    EXPECT_EQ(changedOutside, 0);
    EXPECT_EQ(unchecked.At(box.left + 8, box.top + 8), kMenu);
}

TEST_F(MenuItemTest, AnItemsImageSitsInTheGlyphBoxOnACheckerWhenChecked) {
    TImageList images(nullptr);
    TBitmap picture(16, 16, pf24bit);
    picture.Canvas()->Brush()->SetColor(static_cast<TColor>(kKey));
    picture.Canvas()->FillRect(RECT{0, 0, 16, 16});
    picture.Canvas()->Brush()->SetColor(static_cast<TColor>(kBlue));
    picture.Canvas()->FillRect(RECT{5, 5, 11, 11});
    ASSERT_EQ(images.AddMasked(picture, static_cast<TColor>(kKey)), 0);
    popup_->SetImages(&images);
    item_->SetImageIndex(0);
    const RECT box{1 + left_, 1, 1 + left_ + 16, 17};
    const COLORREF face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
    const POINT centre{box.left + 8, box.top + 8}, inner{box.left + 2, box.top + 3};

    const TShot plain = Paint(item_, false);
    EXPECT_EQ(plain.At(centre.x, centre.y), kBlue);
    EXPECT_EQ(plain.At(inner.x, inner.y), kMenu) << "the image's see-through part";

    item_->SetChecked(true);
    const TShot checked = Paint(item_, false);
    EXPECT_EQ(checked.At(centre.x, centre.y), kBlue);
    const COLORREF checker = checked.At(inner.x, inner.y);
    EXPECT_TRUE(checker == face || checker == light) << std::hex << checker;
    EXPECT_EQ(checked.At(box.left, box.top + 8), ColorToRGB(clBtnShadow)) << "the sunken edge";
    EXPECT_EQ(checked.Ink(ColorToRGB(clBtnText), box.left + 1, box.right - 1), 0) << "no check mark";

    auto blue = [&](const TShot& shot) {
        int n = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) n += shot.At(x, y) == kBlue ? 1 : 0;
        return n;
    };
    EXPECT_EQ(blue(checked), 36);
    item_->SetEnabled(false);
    EXPECT_LT(blue(Paint(item_, false)), 30) << "a disabled item's image is greyed";

    item_->SetEnabled(true);
    item_->SetImageIndex(1); // not in the list: the check mark stands in
    EXPECT_GT(Paint(item_, false).Ink(ColorToRGB(clBtnText), box.left, box.right), 4);
}

// The separator is the foot of the strip's second frame, cut in three and stretched, its key colour
// see-through; an 8-pixel item.
TEST_F(MenuItemTest, ASeparatorIsCutFromTheFootOfTheSecondFrame) {
    TDataSkinObject& e = *data_->MenuItem;
    TBitmap& strip = e.Bitmap;
    const int fw = strip.Width() / 5, H = strip.Height(), w = 200, h = 8;
    ASSERT_GT(H, h);
    const TShot shot = Paint(line_, false, w, h);
    auto wanted = [&](int x, int y) {
        int sx = fw + x; // the left margin, unstretched
        if (x >= w - e.RightWidth)
            sx = 2 * fw - (w - x);
        else if (x >= e.LeftWidth)
            sx = fw + e.LeftWidth; // the middle is the same all along
        const COLORREF c = GetPixel(strip.Canvas()->Handle(), sx, H - h + y);
        return c == kKey ? kMenu : c;
    };
    int lines = 0;
    for (int y = 0; y < h; ++y)
        for (int x : {0, 1, 2, 3, w / 2, w - 4, w - 3, w - 2, w - 1}) {
            SCOPED_TRACE(testing::Message() << "at " << x << "," << y);
            EXPECT_EQ(shot.At(x, y), wanted(x, y));
            lines += shot.At(x, y) != kMenu ? 1 : 0;
        }
    EXPECT_GT(lines, 0) << "the strip's line shows";
}

TEST_F(MenuItemTest, WithoutAMenuItemElementItemsArePaintedFlat) {
    data_->MenuItem.reset();
    const TShot normal = Paint(item_, false), selected = Paint(item_, true);
    for (POINT p : kBare) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y);
        EXPECT_EQ(normal.At(p.x, p.y), kMenu);
        EXPECT_EQ(selected.At(p.x, p.y), kHilight);
    }
    EXPECT_GT(normal.Ink(kText), 4);
    EXPECT_GT(selected.Ink(kHiText), 4);
    EXPECT_GE(normal.InkColumns(kText).first, CaptionLeft() - left_) << "no margin without the element";
    EXPECT_LE(normal.InkColumns(kText).first, CaptionLeft() - left_ + 3);

    // The plain separator: an etched line 4 pixels below the item's top.
    const TShot line = Paint(line_, false, 200, 8);
    for (int y = 0; y < 8; ++y) {
        SCOPED_TRACE(y);
        const COLORREF want = y == 4 ? ColorToRGB(clBtnShadow) : y == 5 ? ColorToRGB(clBtnHighlight) : kMenu;
        EXPECT_EQ(line.At(100, y), want);
    }
}

// --- measuring ---------------------------------------------------------------------------------------

// The framework's own measure of an item, without any handler.
MEASUREITEMSTRUCT OwnMeasure(TMenuItem* item) {
    TMenuMeasureItemEvent handler = std::move(item->OnMeasureItem);
    item->OnMeasureItem = nullptr;
    MEASUREITEMSTRUCT m{};
    m.CtlType = ODT_MENU;
    item->MeasureItem(m);
    item->OnMeasureItem = std::move(handler);
    return m;
}

TEST_F(MenuItemTest, ItemsAskForRoomForTheMarginAndTheGlyph) {
    TImageList images(nullptr);
    TMenuItem* file = menu_->Items()->Items(0);
    TMenuItem* open = file->Items(0);
    TMenuItem* saveAs = AddItem(file, L"Save as");
    saveAs->SetShortCut(ShortCut('S', scCtrl | scShift));
    TMenuItem* fileLine = AddItem(file, L"-");
    const struct {
        const char* name;
        TMenuItem* item;
        bool images;
        int main, popup; // what a main menu's and a context menu's item add to the width
    } cases[] = {
        {"caption", open, false, 35, 35},
        {"short cut", saveAs, false, 35, 35},
        {"separator", fileLine, false, 35, 35},
        {"with images", open, true, 10, 12},
        {"short cut, images", saveAs, true, 10, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        menu_->SetImages(c.images ? &images : nullptr);
        popup_->SetImages(c.images ? &images : nullptr);
        const MEASUREITEMSTRUCT own = OwnMeasure(c.item);
        int width = 0, height = 0;
        skinner_->MeasureMenuItem(c.item, nullptr, width, height);
        EXPECT_EQ(width, static_cast<int>(own.itemWidth) + left_ + c.main);
        EXPECT_EQ(height, static_cast<int>(own.itemHeight));
        int w2 = 7, h2 = 9;
        skinner_->MeasureMenuItemWidth(c.item, nullptr, w2, h2);
        EXPECT_EQ(w2, 7 + left_ + c.popup);
        EXPECT_EQ(h2, 9) << "the height is left alone";
    }
    menu_->SetImages(nullptr);
    popup_->SetImages(nullptr);
    EXPECT_GE(OwnMeasure(saveAs).itemWidth - OwnMeasure(open).itemWidth,
              static_cast<UINT>(TextWidth(L"Ctrl+Shift+S")))
        << "the short cut's text has room";
    EXPECT_EQ(OwnMeasure(fileLine).itemHeight, 8u);
}

// The item's own handler is off while the skin measures it (a handler that measures through the skin
// would run forever) and is back afterwards.
TEST_F(MenuItemTest, MeasuringTakesTheItemsHandlerOffForTheCall) {
    TMenuItem* open = menu_->Items()->Items(0)->Items(0);
    int calls = 0;
    open->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int&) {
        ++calls;
        w += 1000;
    };
    int width = 0, height = 0;
    skinner_->MeasureMenuItem(open, nullptr, width, height);
    EXPECT_EQ(calls, 0);
    EXPECT_LT(width, 1000);
    MEASUREITEMSTRUCT m{};
    open->MeasureItem(m);
    EXPECT_EQ(calls, 1) << "the handler is back";
}

TEST_F(MenuItemTest, TheWindowMeasuresItsMenuBarItemsThroughTheSkin) {
    TMenuItem* open = menu_->Items()->Items(0)->Items(0);
    const MEASUREITEMSTRUCT own = OwnMeasure(open);
    MEASUREITEMSTRUCT m{};
    m.CtlType = ODT_MENU;
    m.itemID = open->Command();
    EXPECT_TRUE(SendMessageW(form_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m)));
    EXPECT_EQ(m.itemWidth, own.itemWidth + static_cast<UINT>(left_ + 35));
    EXPECT_EQ(m.itemHeight, own.itemHeight);
}

// An open context menu: the items are as high as measured, the separator 8 pixels, and a normal item
// shows the popup's own skin background.
TEST_F(MenuItemTest, AnOpenPopupsItemsStandOnItsBackground) {
    const MEASUREITEMSTRUCT clear = OwnMeasure(popup_->Items()->Items(0));
    RECT first{}, line{};
    COLORREF seen = 0, wanted = 1;
    InMenu = [&](HWND popup) {
        if (popup) {
            UpdateWindow(popup);
            GetMenuItemRect(nullptr, popup_->Handle(), 0, &first);
            GetMenuItemRect(nullptr, popup_->Handle(), 1, &line);
            TWinSkinPopMenu* skinner = SkinManager->FindPopupMenu(popup_->Handle());
            RECT w;
            GetWindowRect(popup, &w);
            // Right of the caption, inside the first item, in window coordinates.
            const POINT p{first.right - 12 - w.left, (first.top + first.bottom) / 2 - w.top};
            HDC dc = GetWindowDC(popup);
            seen = GetPixel(dc, p.x, p.y);
            ReleaseDC(popup, dc);
            if (skinner) wanted = GetPixel(skinner->Background.Canvas()->Handle(), p.x, p.y);
        }
        EndMenu();
    };
    QueueMenuKeys({});
    popup_->Popup(300, 300);
    EXPECT_EQ(first.bottom - first.top, static_cast<int>(clear.itemHeight));
    EXPECT_GE(first.right - first.left, static_cast<int>(clear.itemWidth) + left_ + 35);
    EXPECT_EQ(line.bottom - line.top, 8);
    EXPECT_EQ(seen, wanted) << "the popup's background under a normal item";
    EXPECT_NE(seen, kMenu) << "not the flat Menu colour";
}

// Where the system draws its own border inside the popup (Wine), items and ring must both take the
// background at the item's own place: with a background of 7-pixel stripes either way, a picture
// off by the 3-pixel border, or a ring painted over the items, shows.
TEST_F(MenuItemTest, AnOpenPopupsItemsAndItsRingLineUpWithTheBackground) {
    TDataSkinObject& back = *data_->MenuBackground;
    back.Bitmap.Assign(MakeBitmap(28, 28, [](int x, int y) {
                           return static_cast<TColor>(RGB(40 + 25 * (x % 7), 40 + 25 * (y % 7), 90));
                       }).get());
    back.LeftWidth = back.TopHeight = back.RightWidth = back.BottomHeight = 0;
    back.Tile = 1;
    int checked = 0, wrong = 0, text = 0;
    bool opened = false;
    InMenu = [&](HWND popup) {
        TWinSkinPopMenu* skinner = popup ? SkinManager->FindPopupMenu(popup_->Handle()) : nullptr;
        if (skinner) {
            opened = true;
            UpdateWindow(popup);
            RECT w, first{};
            GetWindowRect(popup, &w);
            GetMenuItemRect(nullptr, popup_->Handle(), 0, &first);
            OffsetRect(&first, -w.left, -w.top);
            HDC dc = GetWindowDC(popup);
            HDC wanted = skinner->Background.Canvas()->Handle();
            const int mid = (first.top + first.bottom) / 2;
            // Right of the caption, and the ring beside, above and below the item.
            std::vector<POINT> points;
            for (int x = first.right - 16; x < first.right - 6; ++x)
                for (int y = mid - 2; y <= mid + 2; ++y) points.push_back(POINT{x, y});
            for (int d = 1; d <= 3; ++d) {
                points.push_back(POINT{first.left - d, mid});
                points.push_back(POINT{first.right - 1 + d, mid});
                points.push_back(POINT{(first.left + first.right) / 2, first.top - d});
            }
            for (POINT q : points) {
                ++checked;
                if (GetPixel(dc, q.x, q.y) != GetPixel(wanted, q.x, q.y)) ++wrong;
            }
            for (int y = first.top; y < first.bottom; ++y)
                for (int x = first.left; x < first.right; ++x)
                    text += Near(GetPixel(dc, x, y), kText, 40) ? 1 : 0;
            ReleaseDC(popup, dc);
        }
        EndMenu();
    };
    QueueMenuKeys({});
    popup_->Popup(300, 300);
    ASSERT_TRUE(opened);
    EXPECT_EQ(wrong, 0) << "of " << checked << " pixels";
    EXPECT_GT(text, 0) << "the item's caption on the screen";
}

} // namespace
