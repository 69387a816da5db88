// The window shell: start-up presets, the clock, the COM-port list, the menus and the log box's
// popup menu, the about and picture windows, and closing.
#include "Unit1.h"

#include "Unit2.h"
#include "Unit3.h"
#include "skin_data/WinSkinData.h"
#include "skin_data/WinSkinStore.h"

#include <console_core/clock_text.h>
#include <framework/sysutils.h>
#include <serial/comm.h>

#include <windows.h>

#include <cstdlib>

namespace {

// The about and picture windows are made anew for every showing and freed after it, so each
// showing starts from the form description.
template <class F> void ShowFreshModal(F*& form) {
    if (!form) form = Application->CreateForm<F>();
    form->ShowModal();
    F* shown = form;
    form = nullptr;
    shown->Free();
}

} // namespace

void TForm1::FormCreate(TObject*) {
    // Four tabs fit in a row.
    PageControl1->SetTabWidth(PageControl1->Width() / 4 - 1);

    setadd->SetItemIndex(0);
    ComboBox2->SetItemIndex(0);
    ComboBox10->SetItemIndex(1);
    ComboBox11->SetItemIndex(0);
    ComboBox12->SetItemIndex(1);
    ComboBox13->SetItemIndex(2);
    for (TComboBox* flags : {ComboBox14, ComboBox15, ComboBox16, ComboBox17, ComboBox18, ComboBox19})
        flags->SetItemIndex(1);

    // The port is closed at start: only "Close" is enabled until the serial page opens it.
    Button1->SetEnabled(false);

    PageControl1->SetActivePageIndex(0);

    ListBox1->SetItemIndex(0);
    ListBox2->SetItemIndex(4);
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    try {
        Comm1->ClosePort();
    } catch (...) {
        // Closing must go on whatever the port says.
    }
    // Ends the program here, even from inside a page's wait or repeat loop; static destructors
    // still run.
    std::exit(0);
}

void TForm1::Timer1Timer(TObject*) {
    StatusBar1->Panels()->Items(3)->SetText(core::ClockPanelText(core::LocalClockTime()));
}

void TForm1::GetCom() {
    ComboBox1->Items()->Clear();
    FirstComPort = L"none";
    for (int i = 1; i <= 16; ++i) {
        const String device = L"\\\\.\\COM" + IntToStr(i);
        HANDLE port = CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
        if (port == INVALID_HANDLE_VALUE) continue;
        CloseHandle(port);
        const String name = L"COM" + IntToStr(i);
        ComboBox1->Items()->Add(name);
        if (FirstComPort == L"none") FirstComPort = name;
    }
}

void TForm1::PageControl1Change(TObject*) {
    // Changing page ends the repeat loops of the pages.
    for (TCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7,
                           CheckBox8, CheckBox9, CheckBox10, CheckBox11})
        if (box) box->SetChecked(false);

    GetCom();
    // Only the name changes: an open port stays open on its old device.
    Comm1->SetCommName(L"\\\\.\\" + FirstComPort);
    ComboBox1->SetItemIndex(ComboBox1->Items()->IndexOf(FirstComPort));
    if (FirstComPort == L"none") {
        ComboBox1->Items()->Add(L"No Com Port");
        ComboBox1->SetItemIndex(ComboBox1->Items()->IndexOf(L"No Com Port"));
    }
    Comm1->SetBaudRate(9600);
}

void TForm1::N4Click(TObject*) {
    Application->Terminate();
}

void TForm1::N5Click(TObject*) {
    ShowFreshModal(Form2);
}

void TForm1::Button72Click(TObject*) {
    ShowFreshModal(Form3);
}

void TForm1::Button77Click(TObject*) {
    ShowFreshModal(Form3);
}

void TForm1::N11Click(TObject*) {
    sd1->LoadFromSkinStore(skinstore1, 0);
}
void TForm1::N12Click(TObject*) {
    sd1->LoadFromSkinStore(skinstore1, 1);
}
void TForm1::N13Click(TObject*) {
    sd1->LoadFromSkinStore(skinstore1, 2);
}
void TForm1::N14Click(TObject*) {
    sd1->LoadFromSkinStore(skinstore1, 3);
}
void TForm1::N51Click(TObject*) {
    sd1->LoadFromSkinStore(skinstore1, 4);
}
void TForm1::N61Click(TObject*) {
    sd1->LoadFromSkinStore(skinstore1, 5);
}

void TForm1::MenuItem1Click(TObject*) {
    RichEdit1->Clear();
}

void TForm1::MenuItem2Click(TObject*) {
    SaveDialog1->SetTitle(L"保存接收数据！");
    SaveDialog1->SetFilter(L"文本文件(.txt)|*.txt");
    // The box's own save: rich text, the name as chosen, an existing file replaced.
    if (SaveDialog1->Execute()) RichEdit1->Lines()->SaveToFile(SaveDialog1->FileName());
}

void TForm1::N15Click(TObject*) {
    RichEdit1->Undo();
}
void TForm1::N20Click(TObject*) {
    RichEdit1->SelectAll();
}
void TForm1::N17Click(TObject*) {
    RichEdit1->CutToClipboard();
}
void TForm1::N18Click(TObject*) {
    RichEdit1->CopyToClipboard();
}
void TForm1::N19Click(TObject*) {
    RichEdit1->PasteFromClipboard();
}

void TForm1::SelectPage(int index) {
    PageControl1->SetActivePageIndex(index);
}

void TForm1::COM1Click(TObject*) {
    SelectPage(0);
}
void TForm1::N10Click(TObject*) {
    SelectPage(1);
}
void TForm1::S50S701Click(TObject*) {
    SelectPage(2);
}
void TForm1::Ultralight1Click(TObject*) {
    SelectPage(3);
}
void TForm1::ISO14443B1Click(TObject*) {
    SelectPage(4);
}
void TForm1::ISO156931Click(TObject*) {
    SelectPage(5);
}

void TForm1::N6Click(TObject*) {
    RadioButton3->SetChecked(true);
}
void TForm1::N7Click(TObject*) {
    RadioButton4->SetChecked(true);
}
void TForm1::N8Click(TObject*) {
    RadioButton19->SetChecked(true);
}
