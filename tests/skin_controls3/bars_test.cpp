// Status bars (size grip, the last panel, panel styles, right to left, OnDrawPanel), progress bars
// of both orientations, the track bar's custom draw and the up-down's pressed arrows.
#include "controls3.h"

#include <commctrl.h>

namespace {

const char* const kBars = R"(object BarsForm: TForm
  ClientWidth = 420
  ClientHeight = 300
  object Grip: TStatusBar
    Panels = <
      item
        Width = 100
        Text = 'grip'
      end>
  end
  object NoGrip: TStatusBar
    SizeGrip = False
    Panels = <
      item
        Width = 100
        Text = 'plain'
      end>
  end
  object Styled: TStatusBar
    SizeGrip = False
    Panels = <
      item
        Width = 80
        Text = 'ab'
      end
      item
        Width = 80
        Text = 'ab'
        BiDiMode = bdRightToLeft
      end
      item
        Width = 80
        Text = 'ab'
        Alignment = taRightJustify
      end
      item
        Width = 80
        Text = 'ab'
        Alignment = taRightJustify
        BiDiMode = bdRightToLeft
      end
      item
        Width = 80
        Text = 'ab'
        Style = psOwnerDraw
      end>
  end
  object Horz: TProgressBar
    Left = 8
    Top = 8
    Width = 200
    Height = 16
  end
  object Vert: TProgressBar
    Left = 220
    Top = 8
    Width = 16
    Height = 200
    Orientation = pbVertical
  end
  object Track: TTrackBar
    Left = 8
    Top = 40
    Width = 200
    Height = 40
  end
  object TrackV: TTrackBar
    Left = 360
    Top = 8
    Width = 40
    Height = 200
    Orientation = trVertical
  end
  object UpDownV: TUpDown
    Left = 260
    Top = 8
    Width = 20
    Height = 40
  end
  object UpDownH: TUpDown
    Left = 300
    Top = 8
    Width = 40
    Height = 20
    Orientation = udHorizontal
  end
end
)";

class BarsTest : public LookTest {
protected:
    void SetUp() override {
        LookTest::SetUp();
        form = LoadForm(kBars);
        form->SetColor(FormColour);
    }
    template <class T> T* Get(const wchar_t* name) { return Find<T>(*form, name); }
    static RECT PanelRect(HWND bar, int i) {
        RECT r{};
        SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

TEST_F(BarsTest, TheSizeGripIsFrame5OfTheExtraImagesInTheBottomRightCorner) {
    const HWND grip = Skin<TSkinStatusBar>(Get<TStatusBar>(L"Grip"))->Handle;
    RECT r;
    GetWindowRect(grip, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    auto p = PaintPicture(grip);
    // A 12 x 12 cell whose bottom-right pixel is (w - 2, h - 2).
    EXPECT_EQ(PixelAt(*p, w - 2, h - 2), GripFrame(5));
    EXPECT_EQ(PixelAt(*p, w - 13, h - 13), GripFrame(5));
    EXPECT_NE(PixelAt(*p, w - 1, h - 2), GripFrame(5));
    EXPECT_NE(PixelAt(*p, w - 2, h - 1), GripFrame(5));
    EXPECT_NE(PixelAt(*p, w - 14, h - 2), GripFrame(5));
    EXPECT_NE(PixelAt(*p, w - 2, h - 14), GripFrame(5));

    const HWND plain = Skin<TSkinStatusBar>(Get<TStatusBar>(L"NoGrip"))->Handle;
    p = PaintPicture(plain);
    EXPECT_NE(PixelAt(*p, w - 2, h - 2), GripFrame(5)) << "no grip without SBARS_SIZEGRIP";
}

TEST_F(BarsTest, TheLastPanelReachesTheEdgeWhereTheNativeOneStopsShort) {
    const HWND bar = Skin<TSkinStatusBar>(Get<TStatusBar>(L"Styled"))->Handle;
    int edges[] = {60, 120, 180, 240, 300};
    SendMessageW(bar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    RECT r;
    GetWindowRect(bar, &r);
    const int w = r.right - r.left;
    ASSERT_GT(w, 340);
    auto p = PaintPicture(bar);
    EXPECT_EQ(PixelAt(*p, 290, 3), StatusFrame(1));
    EXPECT_EQ(PixelAt(*p, w - 30, 3), StatusFrame(1));
    EXPECT_EQ(PixelAt(*p, w - 3, 3), StatusFrame(1));
}

TEST_F(BarsTest, PanelsFollowTheirStyleAlignmentAndReadingOrder) {
    auto* bar = Get<TStatusBar>(L"Styled");
    const HWND h = Skin<TSkinStatusBar>(bar)->Handle;
    auto p = PaintPicture(h);
    // Where the text ("ab" in black) lies in each panel: left, right, right, left, none.
    const struct {
        int panel;
        bool right; // near the panel's right edge rather than its left
    } texts[] = {{0, false}, {1, true}, {2, true}, {3, false}};
    for (const auto& t : texts) {
        SCOPED_TRACE(t.panel);
        const RECT box = PanelRect(h, t.panel);
        const TColourSpan span = FindColour(*p, box, 0x000000);
        ASSERT_GT(span.Count, 0);
        const int mid = (box.left + box.right) / 2;
        if (t.right)
            EXPECT_GT(span.Left, mid);
        else
            EXPECT_LT(span.Right, mid);
    }
    EXPECT_EQ(FindColour(*p, PanelRect(h, 4), 0x000000).Count, 0) << "an owner-drawn panel shows no text";
    EXPECT_EQ(PixelAt(*p, PanelRect(h, 4).left + 5, 3), StatusFrame(1)) << "but its background";
}

TEST_F(BarsTest, OnDrawPanelIsCalledForEveryPanelAfterTheSkinOnTheBarsCanvas) {
    auto* bar = Get<TStatusBar>(L"Styled");
    constexpr TColor mark = 0x4080F0;
    std::vector<std::pair<int, RECT>> calls;
    bar->OnDrawPanel = [&](TCustomStatusBar* sender, TStatusPanel* panel, const RECT& rect) {
        EXPECT_EQ(sender, bar);
        calls.emplace_back(panel->Index(), rect);
        if (panel->Style() != psOwnerDraw) return;
        sender->Canvas()->Brush()->SetColor(mark);
        sender->Canvas()->FillRect(rect);
    };
    const HWND h = Skin<TSkinStatusBar>(bar)->Handle;
    auto p = PaintPicture(h);
    ASSERT_EQ(calls.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        RECT expected = PanelRect(h, i);
        InflateRect(&expected, -1, -1);
        EXPECT_EQ(calls[i].first, i);
        EXPECT_TRUE(EqualRect(&calls[i].second, &expected));
    }
    const RECT owner = PanelRect(h, 4);
    EXPECT_EQ(PixelAt(*p, owner.left + 5, (owner.top + owner.bottom) / 2), mark);
    EXPECT_EQ(PixelAt(*p, PanelRect(h, 0).left + 5, 3), StatusFrame(1));
}

TEST_F(BarsTest, WithoutASkinTheBarItselfAsksOnDrawPanelForOwnerDrawnPanels) {
    auto* bar = Get<TStatusBar>(L"Styled");
    constexpr TColor mark = 0x4080F0;
    std::vector<int> drawn;
    bar->OnDrawPanel = [&](TCustomStatusBar* sender, TStatusPanel* panel, const RECT& rect) {
        drawn.push_back(panel->Index());
        sender->Canvas()->Brush()->SetColor(mark);
        sender->Canvas()->FillRect(rect);
    };
    ShowQuietly(*form);
    drawn.clear();
    auto p = PaintPicture(bar->Handle());
    ASSERT_EQ(drawn, std::vector<int>{4});
    const RECT owner = PanelRect(bar->Handle(), 4);
    EXPECT_EQ(PixelAt(*p, (owner.left + owner.right) / 2, (owner.top + owner.bottom) / 2), mark);
}

TEST_F(BarsTest, ProgressBarsOfBothOrientations) {
    auto* horz = Get<TProgressBar>(L"Horz");
    auto* vert = Get<TProgressBar>(L"Vert");
    const HWND hh = Skin<TSkinProgress>(horz)->Handle;
    const HWND vh = Skin<TSkinProgress>(vert)->Handle;
    const struct {
        int position;
        TColor low, high; // at the start and the end of the bar
    } cases[] = {{0, ProgressFrame(1), ProgressFrame(1)},
                 {50, ProgressFrame(2), ProgressFrame(1)},
                 {100, ProgressFrame(2), ProgressFrame(2)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        horz->SetPosition(c.position);
        vert->SetPosition(c.position);
        auto p = PaintPicture(hh);
        EXPECT_EQ(PixelAt(*p, 2, 8), c.low);
        EXPECT_EQ(PixelAt(*p, 197, 8), c.high);
        EXPECT_EQ(PixelAt(*p, 100, 15), 0x00FF00) << "the bottom row is left as it was";
        // A vertical bar fills from the bottom.
        p = PaintPicture(vh);
        EXPECT_EQ(PixelAt(*p, 8, 197), c.low);
        EXPECT_EQ(PixelAt(*p, 8, 2), c.high);
        EXPECT_EQ(PixelAt(*p, 8, 199), 0x00FF00);
    }

    // Blocks: a vertical bar is drawn as a horizontal one, blocks from the left, in the middle.
    TTestSkinParts blocks;
    blocks.ProgressStyle = 1;
    skin = MakeTestSkin(blocks);
    for (auto* s : skinForm->SkinControlList) s->SkinData = skin.get();
    vert->SetPosition(50); // 8 of the 16 columns
    auto p = PaintPicture(vh);
    EXPECT_EQ(PixelAt(*p, 1, 100), ChunkColour);
    EXPECT_EQ(PixelAt(*p, 7, 100), ChunkColour);
    EXPECT_NE(PixelAt(*p, 13, 100), ChunkColour);
    EXPECT_NE(PixelAt(*p, 1, 20), ChunkColour);
    EXPECT_NE(PixelAt(*p, 1, 180), ChunkColour);

    // The blocks start past the bar's left edge: 100 of the 200 columns, from column 4 on.
    skin->Progress->LeftWidth = 4;
    horz->SetPosition(50);
    p = PaintPicture(hh);
    EXPECT_NE(PixelAt(*p, 3, 8), ChunkColour);
    EXPECT_EQ(PixelAt(*p, 4, 8), ChunkColour);
    EXPECT_EQ(PixelAt(*p, 103, 8), ChunkColour);
    EXPECT_NE(PixelAt(*p, 104, 8), ChunkColour);
}

TEST_F(BarsTest, TrackBarDrawsOnlyTheThumbAndLeavesChannelAndTicsToTheControl) {
    // The vertical thumb strip in colours of its own: each bar shows which strip it took.
    constexpr TColor VertThumb = 0x5A4B3C;
    skin->TrackbarThumbVert->Bitmap.Assign(SolidBitmap(100, 11, VertThumb).get());
    const struct Case {
        const wchar_t* name;
        int w, h;
        TColor thumbColour;
    } cases[] = {{L"Track", 200, 40, ThumbFrame(2)}, {L"TrackV", 40, 200, VertThumb}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.name[5] == 'V' ? "vertical" : "horizontal"));
        auto* track = Get<TTrackBar>(c.name);
        const HWND h = Skin<TSkinTrackBar>(track)->Handle;
        RECT thumb;
        SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        auto picture = SolidBitmap(c.w, c.h, 0x00FF00);
        auto draw = [&](DWORD stage, DWORD_PTR item) {
            NMCUSTOMDRAW cd{};
            cd.hdr.hwndFrom = h;
            cd.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
            cd.dwDrawStage = stage;
            cd.dwItemSpec = item;
            cd.hdc = picture->Canvas()->Handle();
            return track->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&cd));
        };
        const RECT all{0, 0, c.w, c.h};
        EXPECT_EQ(draw(CDDS_PREPAINT, 0), CDRF_NOTIFYITEMDRAW);
        EXPECT_EQ(draw(CDDS_ITEMPREPAINT, TBCD_CHANNEL), CDRF_DODEFAULT);
        EXPECT_EQ(draw(CDDS_ITEMPREPAINT, TBCD_TICS), CDRF_DODEFAULT);
        EXPECT_EQ(FindColour(*picture, all, 0x00FF00).Count, c.w * c.h) << "nothing drawn yet";
        EXPECT_EQ(draw(CDDS_ITEMPREPAINT, TBCD_THUMB), CDRF_SKIPDEFAULT);
        const TColourSpan span = FindColour(*picture, all, c.thumbColour);
        EXPECT_EQ(span.Count, (thumb.right - thumb.left) * (thumb.bottom - thumb.top));
        EXPECT_EQ(span.Left, thumb.left);
        EXPECT_EQ(span.Right, thumb.right - 1);
    }
}

TEST_F(BarsTest, AnUpDownFreedByItsOwnPressOrReleaseIsNotTouchedAfterwards) {
    // The control's own handling frees it, and the skinner it owns, as a handler that closes the
    // form does.
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP}) {
        SCOPED_TRACE(msg);
        auto* victim = new TUpDown(form.get());
        victim->SetParent(form.get());
        victim->SetBounds(260, 60, 20, 40);
        victim->HandleNeeded();
        bool freed = false;
        const TWndMethod own = victim->WindowProc;
        victim->WindowProc = [&freed, victim, own, msg](TMessage& m) {
            if (m.Msg != msg) return own(m);
            freed = true;
            delete victim;
        };
        Skin<TSkinUpDown>(victim);
        victim->Perform(msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(10, 30));
        EXPECT_TRUE(freed);
        EXPECT_TRUE(skinForm->SkinControlList.empty());
    }
}

TEST_F(BarsTest, PressingAnUpDownPressesTheHalfUnderTheCursorArrowAndAll) {
    TTestSkinParts parts;
    parts.UpDownGlyphs = true;
    skin = MakeTestSkin(parts);
    const struct Case {
        const wchar_t* name;
        POINT cursor;        // client point pressed
        POINT first, second; // centres of the two buttons
    } cases[] = {{L"UpDownV", {10, 30}, {10, 10}, {10, 30}}, {L"UpDownH", {30, 10}, {10, 10}, {30, 10}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.name[6] == 'V' ? "vertical" : "horizontal"));
        auto* control = Get<TUpDown>(c.name);
        const HWND h = Skin<TSkinUpDown>(control)->Handle;
        auto look = [&](POINT at) {
            auto p = PaintPicture(h);
            return std::pair{PixelAt(*p, at.x - 6, at.y), PixelAt(*p, at.x, at.y)}; // button, arrow
        };
        EXPECT_EQ(look(c.first), std::pair(UpDownFrame(1), UpDownGlyphFrame(1)));
        EXPECT_EQ(look(c.second), std::pair(UpDownFrame(5), UpDownGlyphFrame(5)));
        POINT screen = c.cursor;
        ClientToScreen(h, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.cursor.x, c.cursor.y));
        EXPECT_EQ(look(c.first), std::pair(UpDownFrame(1), UpDownGlyphFrame(1)));
        EXPECT_EQ(look(c.second), std::pair(UpDownFrame(6), UpDownGlyphFrame(6)));
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(c.cursor.x, c.cursor.y));
        EXPECT_EQ(look(c.second), std::pair(UpDownFrame(5), UpDownGlyphFrame(5)));
    }
}

} // namespace
