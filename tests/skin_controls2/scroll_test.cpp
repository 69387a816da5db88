#include <string>
#include <vector>

#include "fixture2.h"

#include <commctrl.h>
#include <screen.h>

#include "skin_controls/WinSubClass_Header.h"
#include "skin_controls/WinSubClass_Scroll.h"

namespace {

const char* const kForm = R"(object ScrollForm: TForm
  Caption = 'Scrolling'
  ClientWidth = 480
  ClientHeight = 360
  object Memo1: TMemo
    Left = 10
    Top = 10
    Width = 220
    Height = 200
    ScrollBars = ssBoth
    WordWrap = False
  end
  object RichEdit1: TRichEdit
    Left = 240
    Top = 10
    Width = 220
    Height = 200
    ScrollBars = ssBoth
  end
end
)";

std::wstring Lines(int count, int width) {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += std::wstring(width, L'a' + i % 26) + L"\r\n";
    return text;
}

// Where a part of a bar lies on the screen.
POINT Along(const SCROLLBARINFO& info, bool vertical, int offset) {
    const RECT& r = info.rcScrollBar;
    return vertical ? POINT{(r.left + r.right) / 2, r.top + offset}
                    : POINT{r.left + offset, (r.top + r.bottom) / 2};
}

SCROLLBARINFO BarInfo(HWND window, bool vertical) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    GetScrollBarInfo(window, vertical ? OBJID_VSCROLL : OBJID_HSCROLL, &info);
    return info;
}

int ScrollPos(HWND window, bool vertical) {
    return GetScrollPos(window, vertical ? SB_VERT : SB_HORZ);
}

std::vector<TColor> BarColumn(HWND window) {
    Pump();
    const std::vector<COLORREF> column = VerticalBarColumn(window);
    return std::vector<TColor>(column.begin(), column.end());
}

// Adds lines one at a time, a few of them between two paints, as a log does.
void AddLines(TCustomMemo& box, int count) {
    for (int i = 0; i < count; ++i) {
        box.Lines()->Add(L"line " + std::to_wstring(i));
        if (i % 7 == 0) Pump();
    }
    Pump();
}

class ScrollTest : public SkinControlTest {
protected:
    void SetUp() override {
        SkinControlTest::SetUp();
        skin = MakePartSkin();
        form = LoadForm(kForm);
        memo = Find<TMemo>(*form, L"Memo1");
        rich = Find<TRichEdit>(*form, L"RichEdit1");
        ShowQuietly(*form);
        memo->SetText(Lines(60, 80));
        Pump();
    }
    void TearDown() override {
        form.reset();
        SkinControlTest::TearDown();
    }
    TSkinScrollbar* Skin(TWinControl* control) {
        auto* s = new TSkinScrollbar(control);
        s->AttachScrollControl(control, skin.get(), &skinForm, skinForm.ControlCanvas());
        Pump();
        return s;
    }
    // A press on the overlay at a screen point, with the moves and the release that the system's
    // tracking loop will find waiting (client points of the target).
    void Press(TWScrollbar& bar, POINT screen, std::initializer_list<POINT> movesTo = {}) {
        for (POINT to : movesTo) {
            ScreenToClient(bar.Target, &to);
            PostMessageW(bar.Target, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        }
        POINT last = movesTo.size() ? *(movesTo.end() - 1) : screen;
        ScreenToClient(bar.Target, &last);
        PostMessageW(bar.Target, WM_LBUTTONUP, 0, MAKELPARAM(last.x, last.y));
        POINT local = screen;
        ScreenToClient(bar.Handle(), &local);
        SendMessageW(bar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
        Pump();
    }
    TColor At(POINT screen) { return FormPixel(form->Handle(), screen); }
    std::unique_ptr<TSkinData> skin;
    std::unique_ptr<TForm> form;
    TMemo* memo = nullptr;
    TRichEdit* rich = nullptr;
    TWinSkinForm skinForm{nullptr};
};

TEST_F(ScrollTest, OverlaysLieOverBothBarsAndPaintArrowsTrackThumbAndSizeBox) {
    TSkinScrollbar* s = Skin(memo);
    ASSERT_TRUE(s->VertScrollbar && s->HorzScrollbar);
    const int a = GetSystemMetrics(SM_CXHSCROLL);
    for (bool vertical : {true, false}) {
        TWScrollbar& bar = vertical ? *s->VertScrollbar : *s->HorzScrollbar;
        const SCROLLBARINFO info = BarInfo(memo->Handle(), vertical);
        ASSERT_TRUE(bar.Placed) << vertical;
        RECT overlay;
        GetWindowRect(bar.Handle(), &overlay);
        EXPECT_TRUE(EqualRect(&overlay, &info.rcScrollBar)) << vertical;
        EXPECT_EQ(GetParent(bar.Handle()), GetParent(memo->Handle()));
        bool above = false;
        for (HWND w = GetWindow(memo->Handle(), GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            above = above || w == bar.Handle();
        EXPECT_TRUE(above) << vertical;
        const int length = vertical ? info.rcScrollBar.bottom - info.rcScrollBar.top
                                    : info.rcScrollBar.right - info.rcScrollBar.left;
        EXPECT_EQ(At(Along(info, vertical, a / 2)), PartFrame(pkArrow, vertical ? 9 : 1));
        EXPECT_EQ(At(Along(info, vertical, length - a / 2)), PartFrame(pkArrow, vertical ? 13 : 5));
        EXPECT_EQ(At(Along(info, vertical, (info.xyThumbTop + info.xyThumbBottom) / 2)),
                  PartFrame(vertical ? pkVertThumb : pkHorzThumb, 1));
        EXPECT_EQ(At(Along(info, vertical, length - a - 2)),
                  PartFrame(vertical ? pkVertTrack : pkHorzTrack, 1));
    }
    // The size box between the bars.
    const SCROLLBARINFO v = BarInfo(memo->Handle(), true), h = BarInfo(memo->Handle(), false);
    EXPECT_EQ(At(POINT{(v.rcScrollBar.left + v.rcScrollBar.right) / 2,
                       (h.rcScrollBar.top + h.rcScrollBar.bottom) / 2}),
              TestFace);
}

TEST_F(ScrollTest, ArrowsPagesAndThumbDraggingMoveTheScrollPosition) {
    TSkinScrollbar* s = Skin(memo);
    HWND window = memo->Handle();
    TWScrollbar& vert = *s->VertScrollbar;
    const int a = GetSystemMetrics(SM_CXHSCROLL);
    SCROLLBARINFO info = BarInfo(window, true);
    const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
    ASSERT_EQ(ScrollPos(window, true), 0);

    Press(vert, Along(info, true, length - a / 2)); // down arrow
    EXPECT_EQ(ScrollPos(window, true), 1);
    EXPECT_EQ(vert.PressedPart, SB_ENDSCROLL);
    EXPECT_FALSE(vert.Pressed);
    Press(vert, Along(info, true, a / 2)); // up arrow
    EXPECT_EQ(ScrollPos(window, true), 0);

    info = BarInfo(window, true);
    Press(vert, Along(info, true, length - a - 3)); // page after the thumb
    const int afterPage = ScrollPos(window, true);
    EXPECT_GT(afterPage, 1);

    // Dragging the thumb to the bar's end scrolls to the last page; the overlay paints it there.
    info = BarInfo(window, true);
    const int thumb = (info.xyThumbTop + info.xyThumbBottom) / 2;
    Press(vert, Along(info, true, thumb), {Along(info, true, thumb + 20), Along(info, true, length)});
    info = BarInfo(window, true);
    EXPECT_GT(ScrollPos(window, true), afterPage);
    EXPECT_EQ(info.xyThumbBottom, length - a);
    EXPECT_EQ(At(Along(info, true, info.xyThumbBottom - 2)), PartFrame(pkVertThumb, 1));
    EXPECT_EQ(At(Along(info, true, a + 2)), PartFrame(pkVertTrack, 1));

    // The horizontal bar too.
    TWScrollbar& horz = *s->HorzScrollbar;
    info = BarInfo(window, false);
    const int width = info.rcScrollBar.right - info.rcScrollBar.left;
    Press(horz, Along(info, false, width - a / 2));
    EXPECT_GT(ScrollPos(window, false), 0);
}

TEST_F(ScrollTest, ScrollMessagesMarkThePressedPartAndTheThumbFollowsTheCursor) {
    TSkinScrollbar* s = Skin(memo);
    TWScrollbar& vert = *s->VertScrollbar;
    const SCROLLBARINFO info = BarInfo(memo->Handle(), true);
    const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
    const int a = GetSystemMetrics(SM_CXHSCROLL);

    // Pressed arrows show their pressed frames while the system's loop runs.
    vert.Pressed = true;
    SendMessageW(memo->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(vert.PressedPart, SB_LINEDOWN);
    EXPECT_EQ(At(Along(info, true, length - a / 2)), PartFrame(pkArrow, 14));
    SendMessageW(memo->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(At(Along(info, true, a / 2)), PartFrame(pkArrow, 10));

    // A dragged thumb is painted under the cursor, pressed, and clamped between the arrows.
    const SCROLLBARINFO now = BarInfo(memo->Handle(), true);
    const int size = now.xyThumbBottom - now.xyThumbTop;
    vert.PressThumbStart = now.xyThumbTop;
    vert.ThumbStart = now.xyThumbTop;
    vert.ThumbEnd = now.xyThumbBottom;
    GetCursorPos(&vert.PressCursor);
    vert.PressCursor.y -= 1000; // the cursor is far below where the press was
    SendMessageW(memo->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    EXPECT_EQ(vert.PressedPart, SB_THUMBTRACK);
    EXPECT_EQ(At(Along(info, true, length - a - size / 2)), PartFrame(pkVertThumb, 2));
    vert.Pressed = false;
    SendMessageW(memo->Handle(), WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_EQ(At(Along(info, true, length - a / 2)), PartFrame(pkArrow, 13));
}

TEST_F(ScrollTest, DisabledShortHiddenAndUnskinnedBars) {
    TSkinScrollbar* s = Skin(memo);
    TWScrollbar& vert = *s->VertScrollbar;
    const int a = GetSystemMetrics(SM_CXHSCROLL);

    // Disabled (the text needs no scrolling): track frame 3, no thumb.
    memo->SetText(L"x");
    Pump();
    SCROLLBARINFO info = BarInfo(memo->Handle(), true);
    ASSERT_TRUE(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
    const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
    for (int y = a + 1; y < length - a; y += 7)
        EXPECT_EQ(At(Along(info, true, y)), PartFrame(pkVertTrack, 3)) << y;
    memo->SetText(Lines(60, 80));

    // Shorter than two arrows: two half arrows, no track.
    memo->SetHeight(a + a / 2 + 8);
    Pump();
    info = BarInfo(memo->Handle(), true);
    const int shortLength = info.rcScrollBar.bottom - info.rcScrollBar.top;
    ASSERT_LT(shortLength, 2 * a);
    ASSERT_TRUE(vert.Placed);
    EXPECT_EQ(At(Along(info, true, 1)), PartFrame(pkArrow, 9));
    EXPECT_EQ(At(Along(info, true, shortLength - 2)), PartFrame(pkArrow, 13));

    // Hidden with the control, shown again with it.
    memo->Hide();
    EXPECT_FALSE(IsWindowVisible(vert.Handle()));
    EXPECT_FALSE(vert.Placed);
    memo->Show();
    Pump();
    EXPECT_TRUE(IsWindowVisible(vert.Handle()));

    // Unskinning frees both overlay windows and gives the control its WindowProc back.
    const HWND v = vert.Handle(), h = s->HorzScrollbar->Handle();
    s->Unskin();
    EXPECT_FALSE(IsWindow(v));
    EXPECT_FALSE(IsWindow(h));
    delete s;
    memo->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
}

TEST_F(ScrollTest, ABarTheSystemHidesLosesItsOverlayAndAWindowThatGoesLeavesNone) {
    TSkinScrollbar* s = Skin(rich);
    // A rich edit shows its bars only when the text needs them.
    EXPECT_FALSE(s->VertScrollbar->Placed);
    rich->SetText(Lines(80, 10));
    Pump();
    EXPECT_TRUE(s->VertScrollbar->Placed);
    EXPECT_TRUE(IsWindowVisible(s->VertScrollbar->Handle()));
    rich->SetText(L"");
    Pump();
    EXPECT_FALSE(s->VertScrollbar->Placed);
    EXPECT_FALSE(IsWindowVisible(s->VertScrollbar->Handle()));

    // Freeing the control frees its skinner and the overlays with it.
    memo->SetText(Lines(60, 80));
    TSkinScrollbar* m = Skin(memo);
    const HWND overlay = m->VertScrollbar->Handle();
    ASSERT_TRUE(IsWindowVisible(overlay));
    delete memo;
    EXPECT_FALSE(IsWindow(overlay));
    EXPECT_EQ(skinForm.SkinControlList.size(), 1u);
}

TEST_F(ScrollTest, LinesAddedToASkinnedRichEditShowTheNewestLineAndTheThumbWhereTheSystemHasIt) {
    TSkinScrollbar* s = Skin(rich);
    AddLines(*rich, 120);
    HWND window = rich->Handle();
    ASSERT_TRUE(s->VertScrollbar->Placed);
    ASSERT_EQ(rich->Lines()->Count(), 120);
    EXPECT_EQ(rich->Lines()->Strings(119), L"line 119");
    POINTL at{};
    SendMessageW(window, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at),
                 SendMessageW(window, EM_LINEINDEX, 119, 0));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_GE(at.y, 0);
    EXPECT_LT(at.y, client.bottom);

    const SCROLLBARINFO info = BarInfo(window, true);
    ASSERT_GT(info.xyThumbTop, GetSystemMetrics(SM_CXHSCROLL) + 2);
    EXPECT_EQ(At(Along(info, true, (info.xyThumbTop + info.xyThumbBottom) / 2)), PartFrame(pkVertThumb, 1));
    EXPECT_EQ(At(Along(info, true, info.xyThumbTop - 2)), PartFrame(pkVertTrack, 1));
    // Just what the bar shows when everything is painted anew.
    const std::vector<TColor> shown = BarColumn(window);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    s->VertScrollbar->Repaint();
    EXPECT_EQ(BarColumn(window), shown);
}

TEST_F(ScrollTest, ARichEditWithoutOverlaysHasItsBarDrawnByTheSystem) {
    Skin(rich);
    rich->SetText(Lines(80, 10)); // a placed overlay over another rich edit
    auto* plain = new TRichEdit(form.get());
    plain->SetBounds(10, 220, 220, 130);
    plain->SetScrollBars(ssVertical);
    plain->SetParent(form.get());
    AddLines(*plain, 80);
    const std::vector<TColor> shown = BarColumn(plain->Handle());
    RedrawWindow(plain->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(BarColumn(plain->Handle()), shown);
}

TEST_F(ScrollTest, ABarEnabledAgainShowsItsEnabledTrack) {
    TSkinScrollbar* s = Skin(memo);
    const int a = GetSystemMetrics(SM_CXHSCROLL);
    for (bool enabled : {false, true, false}) {
        memo->SetText(enabled ? Lines(60, 80) : L"x");
        Pump();
        const SCROLLBARINFO info = BarInfo(memo->Handle(), true);
        ASSERT_EQ(!(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE), enabled);
        const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
        EXPECT_EQ(At(Along(info, true, length - a - 2)), PartFrame(pkVertTrack, enabled ? 1 : 3)) << enabled;
    }
    ASSERT_TRUE(s->VertScrollbar->Placed);
}

TEST_F(ScrollTest, ASkinWithoutScrollbarBitmapLeavesTheOverlaysUnpainted) {
    skin = MakePartSkin({.Scroll = false});
    TSkinScrollbar* s = Skin(memo);
    auto picture = SolidBitmap(40, 40, 0x00FF00);
    SendMessageW(s->VertScrollbar->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(picture->Canvas()->Handle()),
                 0);
    EXPECT_EQ(PixelAt(*picture, 5, 5), 0x00FF00);
}

TEST_F(ScrollTest, ASkinnerFreedWhileTheSystemTracksThePressLeavesNothingDangling) {
    TSkinScrollbar* s = Skin(memo);
    TWndMethod own = memo->WindowProc;
    bool freed = false;
    memo->WindowProc = [&, own](TMessage& m) {
        own(m);
        if (m.Msg == WM_VSCROLL && !freed) {
            freed = true;
            delete s; // puts the WindowProc it replaced back: ours stays in front
        }
    };
    const SCROLLBARINFO info = BarInfo(memo->Handle(), true);
    const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
    TWScrollbar& vert = *s->VertScrollbar;
    const HWND overlay = vert.Handle();
    Press(vert, Along(info, true, length - 3));
    EXPECT_TRUE(freed);
    EXPECT_FALSE(IsWindow(overlay));
    EXPECT_TRUE(skinForm.SkinControlList.empty());
    EXPECT_EQ(ScrollPos(memo->Handle(), true), 1);
}

TEST_F(ScrollTest, BareWindowsAndScrollBarControlsAndListViews) {
    // A native multi-line edit.
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", Lines(50, 60).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE, 10, 220, 200,
                                120, form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    auto* bare = new TSkinScrollbarH(&skinForm);
    bare->AttachWindow(edit, skin.get(), skinForm.ControlCanvas(), &skinForm);
    Pump();
    auto* h = static_cast<TSkinScrollbarH*>(bare);
    ASSERT_TRUE(h->VertScrollbar->Placed);
    SCROLLBARINFO info = BarInfo(edit, true);
    const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
    Press(*h->VertScrollbar, Along(info, true, length - 3));
    EXPECT_EQ(ScrollPos(edit, true), 1);
    EXPECT_EQ(At(Along(info, true, 3)), PartFrame(pkArrow, 9));
    ShowWindow(edit, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(h->VertScrollbar->Handle()));
    EXPECT_FALSE(IsWindowVisible(h->HorzScrollbar->Handle()));
    const HWND overlay = h->VertScrollbar->Handle();
    DestroyWindow(edit);
    EXPECT_EQ(bare->State, 6);
    EXPECT_FALSE(IsWindowVisible(overlay));
    skinForm.PurgeSkinControls();
    EXPECT_FALSE(IsWindow(overlay));
}

} // namespace

namespace {

const TIdentMap ScrollKindIdents{{L"sbHorizontal", 0}, {L"sbVertical", 1}};

// A scroll-bar control as a foreign library would have it: its "Kind" is published.
class TTestScrollBar : public TWinControl {
    DECLARE_PUBLISHED
public:
    using TWinControl::TWinControl;
    int Kind = 0;
    int GetKind() const { return Kind; }
    void SetKind(int v) { Kind = v; }

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.WinClassName = L"SCROLLBAR";
        p.OwnClass = false;
        if (Kind == 1) p.Style |= SBS_VERT;
    }
};

// A report-style list view.
class TTestListView : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.WinClassName = WC_LISTVIEWW;
        p.OwnClass = false;
        p.Style |= LVS_REPORT;
    }
};

} // namespace

const TClassInfo* TTestScrollBar::StaticClassInfo() {
    static const TClassInfo info(L"TTestScrollBar", TWinControl::StaticClassInfo(),
                                 {EnumProp<TTestScrollBar>(L"Kind", &TTestScrollBar::GetKind,
                                                           &TTestScrollBar::SetKind, ScrollKindIdents)});
    return &info;
}

namespace {

TEST_F(ScrollTest, AScrollBarControlIsCoveredWholeAndPressesReachIt) {
    for (int kind : {0, 1}) {
        auto* bar = new TTestScrollBar(form.get());
        bar->Kind = kind;
        bar->SetBounds(10, 230, kind ? 17 : 200, kind ? 120 : 17);
        bar->SetParent(form.get());
        SCROLLINFO si{sizeof(si), SIF_ALL, 0, 100, 10, 0, 0};
        SetScrollInfo(bar->Handle(), SB_CTL, &si, TRUE);
        std::vector<int> codes;
        TWndMethod own = bar->WindowProc;
        bar->WindowProc = [&codes, own](TMessage& m) {
            if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) codes.push_back(LOWORD(m.WParam));
            own(m);
        };
        auto* s = new TSkinScControl(bar);
        s->AttachScrollBarControl(bar, skin.get(), &skinForm, skinForm.ControlCanvas());
        Pump();
        TWScrollbar& overlay = *s->Scrollbar;
        EXPECT_EQ(overlay.Orientation, kind);
        ASSERT_TRUE(overlay.Placed);
        RECT covered, client;
        GetWindowRect(overlay.Handle(), &covered);
        GetClientRect(bar->Handle(), &client);
        MapWindowPoints(bar->Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        EXPECT_TRUE(EqualRect(&covered, &client));
        const int a = GetSystemMetrics(SM_CXHSCROLL);
        const int length = kind ? client.bottom - client.top : client.right - client.left;
        SCROLLBARINFO info{};
        info.rcScrollBar = client;
        EXPECT_EQ(At(Along(info, kind, 2)), PartFrame(pkArrow, kind ? 9 : 1));
        EXPECT_EQ(At(Along(info, kind, a + 2)), PartFrame(kind ? pkVertThumb : pkHorzThumb, 1));

        // A press on the last arrow reaches the control as its own press.
        Press(overlay, Along(info, kind, length - 2));
        EXPECT_EQ(overlay.PressedPart, spLastArrow);
        ASSERT_FALSE(codes.empty());
        EXPECT_EQ(codes.front(), SB_LINEDOWN);

        // A new position moves the painted thumb.
        si.fMask = SIF_POS;
        si.nPos = 100;
        SendMessageW(bar->Handle(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
        EXPECT_EQ(At(Along(info, kind, length - a - 2)), PartFrame(kind ? pkVertThumb : pkHorzThumb, 1));
        EXPECT_EQ(At(Along(info, kind, a + 2)), PartFrame(kind ? pkVertTrack : pkHorzTrack, 1));

        const HWND window = overlay.Handle();
        s->Unskin();
        EXPECT_FALSE(IsWindow(window));
        delete bar;
    }
}

TEST_F(ScrollTest, AListViewsHeaderIsSkinnedBesideItsScrollBars) {
    auto* list = new TTestListView(form.get());
    list->SetBounds(10, 220, 300, 130);
    list->SetParent(form.get());
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 400;
    column.pszText = const_cast<wchar_t*>(L"Column");
    SendMessageW(list->Handle(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 30; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(L"row");
        SendMessageW(list->Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    auto* s = new TSkinListView(list);
    s->AttachScrollControl(list, skin.get(), &skinForm, skinForm.ControlCanvas());
    Pump();
    ASSERT_NE(s->Header, nullptr);
    const auto header = reinterpret_cast<HWND>(SendMessageW(list->Handle(), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(s->Header->Handle, header);
    EXPECT_EQ(s->Header->Owner(), list);
    EXPECT_EQ(skinForm.SkinControlList.size(), 2u);
    InvalidateRect(header, nullptr, TRUE);
    EXPECT_EQ(ScreenPixel(header, 150, 3), PartFrame(pkHeader, 1));
    EXPECT_TRUE(s->VertScrollbar->Placed);
    EXPECT_TRUE(s->HorzScrollbar->Placed);
    delete list; // frees both skinners
    EXPECT_TRUE(skinForm.SkinControlList.empty());
}

} // namespace
