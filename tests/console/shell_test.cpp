// The window shell: start-up presets, pages, the page change with its COM-port list, the clock,
// the menus and the log box's popup menu, the about and picture windows.
#include "console_fixture.h"

#include "Unit2.h"
#include "Unit3.h"
#include "skin_data/WinSkinData.h"
#include "skin_data/WinSkinStore.h"
#include "skin_forms/WinSkinDlg.h"
#include "skin_forms/WinSkinForm.h"

#include <framework/startup.h>
#include <serial/comm.h>

#include <screen.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace {

using Shell = ConsoleTest;

TEST_F(Shell, StartUpPresets) {
    struct Preset {
        const wchar_t* name;
        int itemIndex;
        const wchar_t* text;
    };
    const Preset presets[] = {
        {L"setadd", 0, L"00"},          {L"ComboBox2", 0, L"9600"},     {L"ComboBox10", 1, L"Philips"},
        {L"ComboBox11", 0, L"TI"},      {L"ComboBox12", 1, L"Philips"}, {L"ComboBox13", 2, L"uid"},
        {L"ComboBox14", 1, L"Philips"}, {L"ComboBox15", 1, L"Philips"}, {L"ComboBox16", 1, L"Philips"},
        {L"ComboBox17", 1, L"Philips"}, {L"ComboBox18", 1, L"Philips"}, {L"ComboBox19", 1, L"Philips"},
    };
    for (const Preset& p : presets) {
        auto* list = dynamic_cast<TComboBox*>(form().FindComponent(p.name));
        ASSERT_NE(list, nullptr) << p.name;
        EXPECT_EQ(list->ItemIndex(), p.itemIndex) << p.name;
        EXPECT_EQ(list->Text(), p.text) << p.name;
    }
    EXPECT_EQ(form().ListBox1->ItemIndex(), 0);
    EXPECT_EQ(form().ListBox2->ItemIndex(), 4);
    EXPECT_EQ(form().ListBox2->Items()->Strings(4), L"04");
    EXPECT_FALSE(form().Button1->Enabled());
    EXPECT_TRUE(form().Button2->Enabled());
    // The page control is 529 pixels wide: four tabs of 131 fit in one row.
    EXPECT_EQ(form().PageControl1->TabWidth(), 131);
    EXPECT_EQ(form().PageControl1->ActivePageIndex(), 0);
    EXPECT_TRUE(form().RadioButton3->Checked());
    EXPECT_FALSE(form().RadioButton4->Checked());
    EXPECT_EQ(form().setadd->Items()->Count(), 33);
    EXPECT_EQ(form().setadd->Items()->Strings(16), L"10");
}

// The decompressor's exception is no framework Exception; the programs' start-up reports it all the
// same instead of ending without a word.
TEST_F(Shell, ASkinStreamThatDoesNotDecompressIsReportedAtStartUp) {
    // The stream's length, then an archive that claims 100000 bytes and holds two.
    const std::uint8_t stream[] = {6, 0, 0, 0, 0xA0, 0x86, 0x01, 0x00, 0x12, 0x34};
    const bool started = RunStartUp([&] {
        TSkinData skin(nullptr);
        TMemoryStream bytes;
        bytes.WriteBuffer(stream, sizeof stream);
        bytes.SetPosition(0);
        skin.ReadSkinStream(bytes);
    });
    EXPECT_FALSE(started);
    EXPECT_EQ(ReportedExceptions(), std::vector<String>{L"LZH : Compressed data ends early."});
}

TEST_F(Shell, PagesInIndexOrderWithTheHiddenOnesWithoutTabs) {
    struct Page {
        const wchar_t* sheet;
        const wchar_t* caption;
        bool tab;
    };
    const Page pages[] = {
        {L"TabSheet1", L"USB reader intelligent setting  ", true},
        {L"TabSheet4", L"系统命令", false},
        {L"TabSheet2", L"S50/S70", false},
        {L"TabSheet3", L"Ultralight", false},
        {L"TabSheet5", L"ISO14443B", false},
        {L"TabSheet6", L"ISO15693", false},
        {L"TabSheet7", L"Prefix &suffix Data Input", true},
        {L"TabSheet8", L"UHF Write Card", true},
        {L"TabSheet9", L"Serial port function", true},
    };
    ASSERT_EQ(form().PageControl1->PageCount(), 9);
    for (int i = 0; i < 9; ++i) {
        TTabSheet* sheet = form().PageControl1->Pages(i);
        EXPECT_EQ(sheet->Name(), pages[i].sheet);
        EXPECT_EQ(sheet->Caption(), pages[i].caption);
        EXPECT_EQ(sheet->TabVisible(), pages[i].tab) << sheet->Name();
    }
}

// Untick the repeat boxes without running whatever loop their pages bind to them.
class RepeatBoxes {
public:
    explicit RepeatBoxes(TForm1& form) {
        for (int i = 1; i <= 11; ++i) {
            auto* box = dynamic_cast<TCheckBox*>(form.FindComponent(L"CheckBox" + IntToStr(i)));
            if (!box) continue;
            boxes_.emplace_back(box, box->OnClick);
            box->OnClick = nullptr;
        }
    }
    ~RepeatBoxes() {
        for (auto& [box, handler] : boxes_) box->OnClick = handler;
    }
    RepeatBoxes(const RepeatBoxes&) = delete;
    RepeatBoxes& operator=(const RepeatBoxes&) = delete;
    void TickAll() {
        for (auto& b : boxes_) b.first->SetChecked(true);
    }
    int Ticked() const {
        int n = 0;
        for (auto& b : boxes_) n += b.first->Checked() ? 1 : 0;
        return n;
    }
    std::size_t Size() const { return boxes_.size(); }

private:
    std::vector<std::pair<TCheckBox*, TNotifyEvent>> boxes_;
};

TEST_F(Shell, PageChangeWithoutAnyPortShowsNoComPortAndEndsTheRepeatLoops) {
    RepeatBoxes boxes(form());
    ASSERT_EQ(boxes.Size(), 11u);
    boxes.TickAll();
    form().Comm1->SetBaudRate(115200);

    form().PageControl1Change(form().PageControl1);

    EXPECT_EQ(boxes.Ticked(), 0);
    EXPECT_EQ(FirstComPort, L"none");
    ASSERT_EQ(form().ComboBox1->Items()->Count(), 1);
    EXPECT_EQ(form().ComboBox1->Items()->Strings(0), L"No Com Port");
    EXPECT_EQ(form().ComboBox1->ItemIndex(), 0);
    EXPECT_EQ(form().Comm1->CommName(), L"\\\\.\\none");
    EXPECT_EQ(form().Comm1->BaudRate(), 9600u);
}

TEST_F(Shell, ClockShowsDateAndTimeInTheLastPanel) {
    static const std::wregex clock(
        L"   [0-9]{4}\\.[0-9]{2}\\.[0-9]{2}   (0[1-9]|1[0-2]):[0-5][0-9]:[0-5][0-9] (AM|PM)   ");
    TStatusPanel* panel = form().StatusBar1->Panels()->Items(3);

    panel->SetText(L"");
    form().Timer1Timer(form().Timer1);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const String shown = panel->Text();
    EXPECT_TRUE(std::regex_match(shown, clock)) << "\"" << StringToUtf8(shown) << "\"";
    EXPECT_EQ(shown.substr(3, 10), Format(L"%04d.%02d.%02d", now.wYear, now.wMonth, now.wDay));

    // The timer keeps it going by itself.
    panel->SetText(L"");
    form().Delayy(2500);
    EXPECT_TRUE(std::regex_match(panel->Text(), clock));
}

TEST_F(Shell, StatusBarPanels) {
    TStatusPanels* panels = form().StatusBar1->Panels();
    ASSERT_EQ(panels->Count(), 4);
    const int widths[] = {150, 30, 400, 200};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(panels->Items(i)->Width(), widths[i]);
    EXPECT_EQ(panels->Items(0)->Text(), L"  RFID");
    EXPECT_EQ(panels->Items(2)->Text(), L"Format output  card number");
}

TEST_F(Shell, StypeMenuLoadsTheStoredSkinsInOrder) {
    TMenuItem* stype = form().MainMenu1->Items()->Items(1);
    ASSERT_EQ(stype->Caption(), L"Stype");
    ASSERT_EQ(stype->Count(), 6);
    const wchar_t* names[] = {L"Skin5", L"skin1", L"skin2", L"skin3", L"skin4", L"Skin6"};
    TSkinCollection* items = form().skinstore1->Store();
    ASSERT_EQ(items->Count(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(StringToUtf8(stype->Items(i)->Caption()));
        stype->Items(i)->Click();
        EXPECT_EQ(items->Items(i)->Name(), names[i]);
        EXPECT_EQ(form().sd1->SkinStream()->Bytes(), items->Items(i)->DataStream()->Bytes());
        EXPECT_FALSE(form().sd1->SkinNotLoaded());
    }
}

TMenuItem* PopupItem(TForm1& form, const wchar_t* caption) {
    for (int i = 0; i < form.PopupMenu1->Items()->Count(); ++i)
        if (form.PopupMenu1->Items()->Items(i)->Caption() == caption)
            return form.PopupMenu1->Items()->Items(i);
    ADD_FAILURE() << "no popup item " << StringToUtf8(caption);
    return nullptr;
}

TEST_F(Shell, PopupMenuEditsTheLogBox) {
    TRichEdit* log = form().RichEdit1;
    ASSERT_EQ(log->PopupMenu(), form().PopupMenu1);
    log->Lines()->Add(L"first line");
    log->Lines()->Add(L"second line");

    PopupItem(form(), L"Select all")->Click();
    PopupItem(form(), L"Copy")->Click();
    PopupItem(form(), L"Clear")->Click();
    EXPECT_EQ(LogText(), L"");
    PopupItem(form(), L"Paste")->Click();
    EXPECT_EQ(LogText(), L"first line\nsecond line");

    PopupItem(form(), L"Select all")->Click();
    PopupItem(form(), L"Shear")->Click();
    EXPECT_EQ(LogText(), L"");
    PopupItem(form(), L"Revoke")->Click();
    EXPECT_EQ(LogText(), L"first line\nsecond line");
}

// Handles messages until done() or ten seconds pass; false then.
template <class Done> bool PumpUntil(Done done) {
    const double start = NowMs();
    while (!done()) {
        if (NowMs() - start > 10000) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        Application->ProcessMessages();
    }
    return true;
}

std::vector<COLORREF> BarColumn(HWND window) {
    Application->ProcessMessages();
    return VerticalBarColumn(window);
}

TEST_F(Shell, AFullLogBoxKeepsEveryLineShowsTheNewestAndPaintsItsBarAsAPaintAnewWould) {
    ASSERT_TRUE(PumpUntil([&] {
        TWinSkinForm* skinner = SkinManager ? SkinManager->FindSkinForm(form().Handle()) : nullptr;
        return skinner && skinner->State == fsSkinned;
    }));
    const HWND box = form().RichEdit1->Handle();
    std::vector<std::wstring> lines;
    for (int i = 0; i < 200; ++i) {
        lines.push_back(L"line " + std::to_wstring(i));
        form().AddLog(lines.back());
        if (i % 5 == 0) Application->ProcessMessages(); // some lines come in twos and threes
    }
    EXPECT_EQ(LogText(), ExpectedLog(lines));
    POINTL at{};
    SendMessageW(box, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), SendMessageW(box, EM_LINEINDEX, 199, 0));
    RECT client;
    GetClientRect(box, &client);
    EXPECT_GE(at.y, 0);
    EXPECT_LT(at.y, client.bottom);

    const std::vector<COLORREF> shown = BarColumn(box);
    RedrawWindow(form().Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(BarColumn(box), shown);
}

std::string FileText(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(Shell, SaveWritesTheLogBoxAsRichTextToTheChosenFile) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"console-log-save";
    {
        std::ofstream old(std::filesystem::path(path), std::ios::binary);
        old << "an older file";
    }
    form().RichEdit1->Lines()->Add(L"Set Up Success   03:04:05 PM");

    String title, filter;
    const TFileDialogHook previous = SetFileDialogHook([&](TOpenDialog& dialog) {
        title = dialog.Title();
        filter = dialog.Filter();
        dialog.SetFileName(path);
        return true;
    });
    PopupItem(form(), L"Save")->Click();
    SetFileDialogHook(previous);

    EXPECT_EQ(title, L"保存接收数据！");
    EXPECT_EQ(filter, L"文本文件(.txt)|*.txt");
    const std::string saved = FileText(path); // no extension added
    EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u) << saved.substr(0, 40);
    EXPECT_NE(saved.find("Set Up Success"), std::string::npos);
    DeleteFileW(path.c_str());
}

// Closes the modal window on the next timer tick, noting what it showed.
struct ModalProbe {
    static inline TCustomForm* shown = nullptr;
    static inline String caption;
    static inline int pictureWidth = 0;
    static void CALLBACK CloseShown(HWND, UINT, UINT_PTR id, DWORD) {
        for (TCustomForm* form : {static_cast<TCustomForm*>(Form2), static_cast<TCustomForm*>(Form3)}) {
            if (!form || !form->Showing()) continue;
            KillTimer(nullptr, id);
            shown = form;
            caption = form->Caption();
            if (Form3 == form) pictureWidth = Form3->Image1->Picture()->Width();
            form->Close();
        }
    }
};

TEST_F(Shell, HelpAndSectorShowAFreshWindowEveryTime) {
    struct Opener {
        const char* what;
        std::function<void()> open;
        TCustomForm** global;
        const wchar_t* caption;
    };
    const Opener openers[] = {
        {"Help", [this] { form().MainMenu1->Items()->Items(2)->Items(0)->Click(); },
         reinterpret_cast<TCustomForm**>(&Form2), L"RFID"},
        {"Sector on the UHF page", [this] { form().Button72->Click(); },
         reinterpret_cast<TCustomForm**>(&Form3), L"Card memory structure"},
        {"Sector on the serial page", [this] { form().Button77->Click(); },
         reinterpret_cast<TCustomForm**>(&Form3), L"Card memory structure"},
    };
    for (const Opener& o : openers) {
        for (int time = 0; time < 2; ++time) {
            ModalProbe::shown = nullptr;
            ModalProbe::caption.clear();
            SetTimer(nullptr, 0, 100, ModalProbe::CloseShown);
            o.open();
            EXPECT_NE(ModalProbe::shown, nullptr) << o.what;
            EXPECT_EQ(ModalProbe::caption, o.caption) << o.what;
            EXPECT_EQ(*o.global, nullptr) << o.what << ": freed and forgotten after closing";
        }
    }
    EXPECT_EQ(ModalProbe::pictureWidth, 664);
}

} // namespace
