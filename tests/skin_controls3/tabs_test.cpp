// Tab controls with the tabs on top or at the bottom (the strip flipped), the text colours of the
// selected and the other tabs, and tab sets: the framework's own and their skinner.
#include "controls3.h"

#include <commctrl.h>

namespace {

// Native tab controls, skinned as the walk skins a page control (attach by window).
class TabsTest : public LookTest {
protected:
    void TearDown() override {
        skinForm->FreeSkinControls();
        for (HWND w : windows) DestroyWindow(w);
        LookTest::TearDown();
    }
    HWND NewTabControl(DWORD style) {
        HWND w = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | style, 8, 8, 300, 120,
                                 form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        windows.push_back(w);
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        for (const wchar_t* text : {L"MMMM", L"MMMM"}) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(text);
            SendMessageW(w, TCM_INSERTITEMW, SendMessageW(w, TCM_GETITEMCOUNT, 0, 0),
                         reinterpret_cast<LPARAM>(&item));
        }
        auto* s = new TSkinTab(form.get());
        s->AttachWindow(w, skin.get(), skinForm->ControlCanvas(), skinForm.get());
        return w;
    }
    static RECT ItemRect(HWND w, int i) {
        RECT r{};
        SendMessageW(w, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    std::vector<HWND> windows;
};

TEST_F(TabsTest, TabsAtTheBottomHangFromTheFlippedStrip) {
    TTestSkinParts parts;
    parts.TabEdge = true;    // the strip's top rows in their own colour
    parts.TabBorder = false; // the page border would cover the tabs' lower rows
    skin = MakeTestSkin(parts);
    const struct Case {
        DWORD style;
        bool edgeAtTop;
    } cases[] = {{0, true}, {TCS_BOTTOM, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edgeAtTop ? "top" : "bottom");
        HWND w = NewTabControl(c.style);
        auto p = PaintPicture(w);
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(i);
            const RECT box = ItemRect(w, i);
            // The header copy moves the tabs one row down on top, one up at the bottom.
            const int top = c.edgeAtTop ? box.top + 1 : box.top - 1, bottom = top + (box.bottom - box.top);
            const int x = (box.left + box.right) / 2;
            const TColor frame = TabFrame(i == 0 ? 2 : 1);
            // The three edge rows at the tab's outer side, the frame's colour inside them, and no
            // edge beyond the tab: a tab one row off shows.
            const int edge = c.edgeAtTop ? top : bottom - 3, inner = c.edgeAtTop ? top + 3 : bottom - 4;
            for (int row = edge; row < edge + 3; ++row) {
                EXPECT_EQ(PixelAt(*p, box.left + 1, row), TabEdgeColour) << "row " << row;
                EXPECT_EQ(PixelAt(*p, x, row), TabEdgeColour) << "row " << row;
            }
            EXPECT_EQ(PixelAt(*p, box.left + 1, inner), frame);
            EXPECT_NE(PixelAt(*p, x, c.edgeAtTop ? top - 1 : bottom), TabEdgeColour);
        }
    }
}

TEST_F(TabsTest, ThePageBorderIsFlippedWithTheTabs) {
    // The border's five top rows in a colour of their own: they lie along the tabs' side.
    constexpr TColor TabSide = 0x3070B0;
    skin->Tabs->Bitmap2.Assign(
        MakeBitmap(20, 20, [](int, int y) { return y < 5 ? TabSide : TabBorderColour; }).get());
    const struct Case {
        DWORD style;
        bool bottom;
    } cases[] = {{0, false}, {TCS_BOTTOM, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bottom ? "bottom" : "top");
        HWND w = NewTabControl(c.style);
        RECT page{0, 0, 300, 120};
        SendMessageW(w, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        InflateRect(&page, 4, 4);
        if (c.bottom)
            page.bottom -= 1;
        else
            page.top += 1;
        auto p = PaintPicture(w);
        const int x = (page.left + page.right) / 2;
        EXPECT_EQ(PixelAt(*p, x, page.top + 2), c.bottom ? TabBorderColour : TabSide);
        EXPECT_EQ(PixelAt(*p, x, page.bottom - 2), c.bottom ? TabSide : TabBorderColour);
    }
}

TEST_F(TabsTest, SelectedAndOtherTabsHaveTheirOwnTextColours) {
    const TColor normal = 0x1E140A, selected = 0x3C3228; // NormalColour2, MouseOverColour2
    HWND w = NewTabControl(0);
    SendMessageW(w, TCM_SETCURSEL, 1, 0);
    auto p = PaintPicture(w);
    const RECT first = ItemRect(w, 0), second = ItemRect(w, 1);
    EXPECT_GT(FindColour(*p, first, normal).Count, 0);
    EXPECT_EQ(FindColour(*p, first, selected).Count, 0);
    EXPECT_GT(FindColour(*p, second, selected).Count, 0);
    EXPECT_EQ(FindColour(*p, second, normal).Count, 0);
}

const char* const kTabSetForm = R"(object TabSetForm: TForm
  ClientWidth = 420
  ClientHeight = 300
  object TabSet1: TTabSet
    Left = 8
    Top = 8
    Width = 300
    Height = 21
    Tabs.Strings = (
      'One'
      'Two'
      'Three')
    TabIndex = 1
  end
end
)";

bool Shown(const RECT& r) {
    return !IsRectEmpty(&r);
}

class TabSetTest : public LookTest {
protected:
    void SetUp() override {
        LookTest::SetUp();
        form = LoadForm(kTabSetForm);
        tabSet = Find<TTabSet>(*form, L"TabSet1");
        tabSet->HandleNeeded();
    }
    TTabSet* tabSet = nullptr;
};

TEST_F(TabSetTest, ClickingATabSelectsItAndTheScrollerShowsWhenTabsDoNotFit) {
    int changes = 0;
    tabSet->OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(tabSet->Tabs()->Count(), 3);
    EXPECT_EQ(tabSet->TabIndex(), 1);
    EXPECT_EQ(tabSet->ItemRect(0).left, tabSet->StartMargin());
    EXPECT_EQ(tabSet->ItemRect(1).left, tabSet->ItemRect(0).right);
    EXPECT_FALSE(tabSet->Scroller()->Visible());
    EXPECT_EQ(tabSet->Components(0), tabSet->Scroller());

    const RECT third = tabSet->ItemRect(2);
    const POINT at{(third.left + third.right) / 2, 10};
    SendMessageW(tabSet->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(tabSet->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(tabSet->TabIndex(), 2);
    EXPECT_EQ(changes, 1);
    SendMessageW(tabSet->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(changes, 1) << "the selected tab again is no change";

    // Too narrow for all three: the scroller comes, and moves the first tab shown.
    tabSet->SetWidth(tabSet->ItemRect(1).right + 10);
    EXPECT_TRUE(tabSet->Scroller()->Visible());
    EXPECT_FALSE(Shown(tabSet->ItemRect(2)));
    tabSet->SetFirstIndex(1);
    EXPECT_FALSE(Shown(tabSet->ItemRect(0)));
    EXPECT_EQ(tabSet->ItemRect(1).left, tabSet->StartMargin());
    tabSet->SetWidth(300);
    tabSet->SetFirstIndex(0);
    EXPECT_FALSE(tabSet->Scroller()->Visible());
}

TEST_F(TabSetTest, UnskinnedTheSelectedTabIsInTheWindowColour) {
    auto p = PaintPicture(tabSet->Handle());
    const RECT first = tabSet->ItemRect(0), second = tabSet->ItemRect(1);
    // Above the text, inside the outline.
    EXPECT_EQ(PixelAt(*p, second.left + 4, 2), ColorToRGB(clWindow));
    EXPECT_EQ(PixelAt(*p, first.left + 4, 2), ColorToRGB(clBtnFace));
}

TEST_F(TabSetTest, TheWalkGivesATabSetItsSkinnerWhichHangsTheTabsFromTheTop) {
    TTestSkinParts parts;
    parts.TabEdge = true;
    skin = MakeTestSkin(parts);
    skinForm->SkinData = skin.get();
    skinForm->SkinComponents(form.get());
    TSkinTab31* s = nullptr;
    for (TSkinControl* c : skinForm->SkinControlList)
        if (auto* t = dynamic_cast<TSkinTab31*>(c); t && t->Control == tabSet) s = t;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Handle, tabSet->Handle());

    auto p = PaintPicture(tabSet->Handle());
    const RECT first = tabSet->ItemRect(0), second = tabSet->ItemRect(1), third = tabSet->ItemRect(2);
    // Frame 2 for the selected tab; the flipped strip puts the edge rows at the bottom.
    EXPECT_EQ(PixelAt(*p, first.left + 1, 5), TabFrame(1));
    EXPECT_EQ(PixelAt(*p, second.left + 1, 5), TabFrame(2));
    EXPECT_EQ(PixelAt(*p, third.left + 1, 5), TabFrame(1));
    EXPECT_EQ(PixelAt(*p, second.left + 1, 19), TabEdgeColour);
    EXPECT_NE(PixelAt(*p, second.left + 1, 1), TabEdgeColour);
    EXPECT_EQ(PixelAt(*p, third.right + 4, 10), TestFace) << "beyond the tabs: the face colour";
    // Text colours: the selected tab's and the others'.
    const TColor normal = 0x1E140A, selected = 0x3C3228;
    EXPECT_GT(FindColour(*p, first, normal).Count, 0);
    EXPECT_EQ(FindColour(*p, first, selected).Count, 0);
    EXPECT_GT(FindColour(*p, second, selected).Count, 0);
    EXPECT_EQ(FindColour(*p, second, normal).Count, 0);
}

TEST_F(TabSetTest, AScrolledTabSetIsSkinnedFromItsFirstShownTab) {
    skinForm->SkinData = skin.get();
    skinForm->SkinComponents(form.get());
    tabSet->SetWidth(tabSet->ItemRect(1).right + 10);
    tabSet->SetFirstIndex(1);
    ASSERT_TRUE(tabSet->Scroller()->Visible());
    const RECT second = tabSet->ItemRect(1);
    ASSERT_EQ(second.left, tabSet->StartMargin());
    auto p = PaintPicture(tabSet->Handle());
    EXPECT_EQ(PixelAt(*p, second.left + 1, 5), TabFrame(2)) << "the selected tab, Two, comes first";
}

TEST_F(TabSetTest, ATabThatDoesNotFitIsSkippedAndTheNextOneTried) {
    tabSet->Tabs()->Clear();
    tabSet->Tabs()->Add(L"A tab far too wide for the set");
    tabSet->Tabs()->Add(L"B");
    tabSet->SetTabIndex(-1);
    tabSet->SetWidth(120);
    skinForm->SkinData = skin.get();
    skinForm->SkinComponents(form.get());
    auto p = PaintPicture(tabSet->Handle());
    EXPECT_EQ(PixelAt(*p, tabSet->StartMargin() + 1, 5), TabFrame(1)) << "B takes the first place";
}

} // namespace
