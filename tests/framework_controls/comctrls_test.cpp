#include "fixture.h"

#include <framework/clipbrd.h>
#include <framework/sysutils.h>

#include <commctrl.h>
#include <richedit.h>

namespace {

const char* const kCommon = R"(object ProbeForm: TProbeForm
  Caption = 'Common'
  ClientWidth = 640
  ClientHeight = 420
  object PageControl1: TPageControl
    Left = 0
    Top = 0
    Width = 400
    Height = 300
    MultiLine = True
    OnChange = Changed
    OnChanging = Changing
    object TabSheet1: TTabSheet
      Caption = 'First'
      object Edit1: TEdit
        Text = 'one'
      end
    end
    object TabSheet2: TTabSheet
      Caption = 'Hidden'
      TabVisible = False
      object Edit2: TEdit
        Text = 'kept'
      end
    end
    object TabSheet3: TTabSheet
      Caption = 'Third'
    end
  end
  object RichEdit1: TRichEdit
    Left = 400
    Top = 0
    Width = 240
    Height = 300
    ScrollBars = ssBoth
    HideSelection = False
  end
  object TrackBar1: TTrackBar
    Left = 0
    Top = 310
    Max = 20
    Position = 5
    OnChange = Changed
  end
  object Edit9: TEdit
    Left = 200
    Top = 310
    Width = 60
    Text = '0'
  end
  object UpDown1: TUpDown
    Left = 260
    Top = 310
    Associate = Edit9
    Max = 10
    Position = 3
    OnClick = UpDownClicked
  end
  object ProgressBar1: TProgressBar
    Left = 300
    Top = 310
    Position = 40
  end
  object StatusBar1: TStatusBar
    Panels = <
      item
        Text = '  RFID'
        Width = 150
      end
      item
        Width = 30
      end
      item
        Text = 'Format'
        Width = 200
      end>
  end
end
)";

class CommonControls : public ControlsTest {};

std::vector<String> TabCaptions(TPageControl* pages) {
    std::vector<String> captions;
    int count = static_cast<int>(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(pages->Handle(), TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        captions.push_back(text);
    }
    return captions;
}

void ClickTab(TPageControl* pages, int tab) {
    RECT r{};
    SendMessageW(pages->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(pages->Handle(), WM_LBUTTONUP, 0, at);
}

TEST_F(CommonControls, HiddenPagesHaveNoTabButKeepTheirControls) {
    auto form = Load(kCommon);
    auto* pages = Get<TPageControl>(*form, L"PageControl1");
    auto* hidden = Get<TTabSheet>(*form, L"TabSheet2");
    form->Show();
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(TabCaptions(pages), (std::vector<String>{L"First", L"Third"}));
    EXPECT_EQ(pages->ActivePageIndex(), 0) << "the first page with a tab is shown after loading";
    EXPECT_EQ(Get<TEdit>(*form, L"Edit2")->Text(), L"kept");

    // The program may show a page without a tab: no tab is selected then.
    pages->SetActivePageIndex(1);
    EXPECT_TRUE(IsWindowVisible(hidden->Handle()));
    EXPECT_FALSE(IsWindowVisible(Get<TTabSheet>(*form, L"TabSheet1")->Handle()));
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), -1);
    EXPECT_EQ(WindowText(Get<TEdit>(*form, L"Edit2")->Handle()), L"kept");

    pages->SetActivePageIndex(2);
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(form->Events.empty()) << "a change made by the program ran OnChange";

    hidden->SetTabVisible(true);
    EXPECT_EQ(TabCaptions(pages), (std::vector<String>{L"First", L"Hidden", L"Third"}));
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 2) << "the active page lost its tab";
}

TEST_F(CommonControls, ClickingATabChangesThePageUnlessOnChangingRefuses) {
    auto form = Load(kCommon);
    auto* pages = Get<TPageControl>(*form, L"PageControl1");
    form->Show();
    ClickTab(pages, 1);
    EXPECT_EQ(pages->ActivePage(), Get<TTabSheet>(*form, L"TabSheet3"));
    EXPECT_EQ(form->Events, (std::vector<String>{L"PageControl1 changing", L"PageControl1 change"}));

    form->Events.clear();
    form->AllowChange = false;
    ClickTab(pages, 0);
    EXPECT_EQ(pages->ActivePage(), Get<TTabSheet>(*form, L"TabSheet3"));
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(form->Events, std::vector<String>{L"PageControl1 changing"});
}

TEST_F(CommonControls, PagesFillTheAreaBelowTheTabsAndTabWidthFixesTabs) {
    auto form = Load(kCommon);
    auto* pages = Get<TPageControl>(*form, L"PageControl1");
    form->Show();
    pages->SetTabWidth(pages->Width() / 4 - 1);
    RECT tab{};
    SendMessageW(pages->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_EQ(tab.right - tab.left, pages->Width() / 4 - 1);

    RECT display = pages->DisplayRect();
    EXPECT_GE(display.top, tab.bottom);
    auto* sheet = Get<TTabSheet>(*form, L"TabSheet1");
    RECT bounds = sheet->BoundsRect();
    EXPECT_TRUE(EqualRect(&bounds, &display));
    RECT window{};
    GetWindowRect(sheet->Handle(), &window);
    MapWindowPoints(HWND_DESKTOP, pages->Handle(), reinterpret_cast<POINT*>(&window), 2);
    EXPECT_TRUE(EqualRect(&window, &display));
}

TEST_F(CommonControls, StatusBarPanelsBecomeParts) {
    auto form = Load(kCommon);
    auto* bar = Get<TStatusBar>(*form, L"StatusBar1");
    form->Show();
    auto parts = [&] {
        int edges[8] = {};
        int n = static_cast<int>(SendMessageW(bar->Handle(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
        return std::vector<int>(edges, edges + n);
    };
    auto text = [&](int i) {
        wchar_t buffer[64] = {};
        SendMessageW(bar->Handle(), SB_GETTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        return String(buffer);
    };
    EXPECT_EQ(parts(), (std::vector<int>{150, 180, -1}));
    EXPECT_EQ(text(0), L"  RFID");
    EXPECT_EQ(text(2), L"Format");

    bar->Panels()->Items(2)->SetText(L"   2026.12.09   03:04:05 PM   ");
    bar->Panels()->Items(0)->SetWidth(100);
    EXPECT_EQ(text(2), L"   2026.12.09   03:04:05 PM   ");
    EXPECT_EQ(parts(), (std::vector<int>{100, 130, -1}));
    // The bar sits at the bottom of the form.
    EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
}

TEST_F(CommonControls, RichEditAddsLinesAsALogDoes) {
    auto form = Load(kCommon);
    auto* log = Get<TRichEdit>(*form, L"RichEdit1");
    form->Show();
    TStrings* lines = log->Lines();
    lines->Add(L"Set Up Success   03:04:05 PM\r\n");
    lines->Add(L"232RX Data..\r01AB7E");
    // The line break inside a line leaves an empty line; a carriage return starts one of its own.
    EXPECT_EQ(lines->Count(), 4);
    EXPECT_EQ(lines->Strings(0), L"Set Up Success   03:04:05 PM");
    EXPECT_EQ(lines->Strings(1), L"");
    EXPECT_EQ(lines->Strings(2), L"232RX Data..");
    EXPECT_EQ(lines->Strings(3), L"01AB7E");
    log->Clear();
    EXPECT_EQ(lines->Count(), 0);
}

TEST_F(CommonControls, RichEditHoldsMoreThanTheClassDefault) {
    auto form = Load(kCommon);
    auto* log = Get<TRichEdit>(*form, L"RichEdit1");
    form->Show();
    const String line(60, L'x');
    log->Lines()->BeginUpdate();
    for (int i = 0; i < 1000; ++i) log->Lines()->Add(line);
    log->Lines()->EndUpdate();
    // The box wraps long lines, so count the text, not the shown lines.
    EXPECT_EQ(log->Text().size(), 1000 * (line.size() + 2)) << "the log stopped taking lines";
    EXPECT_EQ(log->Text().substr(log->Text().size() - line.size() - 2), line + L"\r\n");
}

TEST_F(CommonControls, RichEditSavesRichTextOrPlainText) {
    auto form = Load(kCommon);
    auto* log = Get<TRichEdit>(*form, L"RichEdit1");
    form->Show();
    log->Lines()->Add(L"first");
    log->Lines()->Add(L"读写状态");

    String rich = TempPath(L"log.rtf");
    log->Lines()->SaveToFile(rich);
    std::string bytes = ReadFileBytes(rich);
    EXPECT_EQ(bytes.rfind("{\\rtf", 0), 0u) << bytes.substr(0, 40);
    EXPECT_NE(bytes.find("first"), std::string::npos);

    // Read back into another box: the same lines, Chinese included.
    auto other = Load(kCommon);
    other->Show();
    auto* copy = Get<TRichEdit>(*other, L"RichEdit1");
    copy->Lines()->LoadFromFile(rich);
    EXPECT_EQ(copy->Lines()->Strings(0), L"first");
    EXPECT_EQ(copy->Lines()->Strings(1), L"读写状态");

    log->SetPlainText(true);
    String plain = TempPath(L"log.txt");
    log->SaveToFile(plain);
    EXPECT_EQ(ReadFileBytes(plain).rfind("first\r\n", 0), 0u);

    // A save that cannot create its file raises the file error and leaves the box alone.
    EXPECT_THROW(log->SaveToFile(L"Z:\\no\\such\\folder\\log.rtf"), EFCreateError);
    EXPECT_EQ(log->Lines()->Count(), 2);
    DeleteFileW(rich.c_str());
    DeleteFileW(plain.c_str());
}

TEST_F(CommonControls, RichEditUndoesAnEditAndMovesTextThroughTheClipboard) {
    auto form = Load(kCommon);
    auto* log = Get<TRichEdit>(*form, L"RichEdit1");
    form->Show();
    log->Lines()->Add(L"first");
    log->Lines()->Add(L"second");
    log->SetSelStart(0);
    log->SetSelLength(5);
    EXPECT_EQ(log->SelText(), L"first");
    log->CutToClipboard();
    EXPECT_EQ(log->Lines()->Strings(0), L"");
    log->Undo();
    EXPECT_EQ(log->Lines()->Strings(0), L"first");

    log->SelectAll();
    log->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), L"first\r\nsecond\r\n");
    log->Clear();
    log->PasteFromClipboard();
    EXPECT_EQ(log->Lines()->Strings(1), L"second");
}

TEST_F(CommonControls, BarsKeepTheirPositionsWithinTheirRange) {
    auto form = Load(kCommon);
    auto* track = Get<TTrackBar>(*form, L"TrackBar1");
    auto* updown = Get<TUpDown>(*form, L"UpDown1");
    auto* progress = Get<TProgressBar>(*form, L"ProgressBar1");
    struct Case {
        const char* what;
        std::function<void(int)> set;
        std::function<int()> get;
        int asked, kept;
    } cases[] = {
        {"track above max", [&](int v) { track->SetPosition(v); }, [&] { return track->Position(); }, 25, 20},
        {"track below min", [&](int v) { track->SetPosition(v); }, [&] { return track->Position(); }, -3, 0},
        {"up-down above max", [&](int v) { updown->SetPosition(v); }, [&] { return updown->Position(); }, 12, 10},
        {"up-down inside", [&](int v) { updown->SetPosition(v); }, [&] { return updown->Position(); }, 7, 7},
        {"progress above max", [&](int v) { progress->SetPosition(v); }, [&] { return progress->Position(); }, 150, 100},
    };
    for (bool windows : {false, true}) {
        if (windows) form->Show();
        for (const Case& c : cases) {
            c.set(c.asked);
            EXPECT_EQ(c.get(), c.kept) << c.what << (windows ? " with windows" : " before the windows");
        }
    }
    EXPECT_EQ(SendMessageW(track->Handle(), TBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(SendMessageW(progress->Handle(), PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(WindowText(Get<TEdit>(*form, L"Edit9")->Handle()), L"7") << "the associated edit shows the position";
    EXPECT_TRUE(form->Events.empty());
}

TEST_F(CommonControls, UserMovesOfTrackBarAndUpDownRaiseTheirEvents) {
    auto form = Load(kCommon);
    auto* track = Get<TTrackBar>(*form, L"TrackBar1");
    auto* updown = Get<TUpDown>(*form, L"UpDown1");
    form->Show();
    SendMessageW(track->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(track->Handle(), WM_KEYUP, VK_RIGHT, 0);
    EXPECT_EQ(track->Position(), 6);
    ASSERT_FALSE(form->Events.empty());
    EXPECT_EQ(form->Events.front(), L"TrackBar1 change");

    form->Events.clear();
    RECT r{};
    GetClientRect(updown->Handle(), &r);
    LPARAM upper = MAKELPARAM(r.right / 2, r.bottom / 4);
    SendMessageW(updown->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, upper);
    SendMessageW(updown->Handle(), WM_LBUTTONUP, 0, upper);
    EXPECT_EQ(updown->Position(), 4);
    EXPECT_EQ(WindowText(Get<TEdit>(*form, L"Edit9")->Handle()), L"4");
    EXPECT_EQ(form->Events, std::vector<String>{L"UpDown1 next"});
}

} // namespace
