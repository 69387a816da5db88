// TForm1's construction: every page binds its own fields and handlers.
#include "Unit1.h"

#include "bind.h"
#include "skin_data/WinSkinData.h"
#include "skin_data/WinSkinStore.h"

#include <serial/comm.h>

String ReplyHex;
String SerialRxHex;
String FirstComPort = L"none";

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {
    RegisterShell();
    RegisterUsbSettingPage();
    RegisterPrefixSuffixPage();
    RegisterUhfPage();
    RegisterSerialPage();
    RegisterSystemPage();
    RegisterS50S70Page();
    RegisterUltralightPage();
    RegisterIso14443BPage();
    RegisterIso15693Page();
}

void TForm1::RegisterShell() {
    BIND_FIELD(PageControl1);
    BIND_FIELD(TabSheet1);
    BIND_FIELD(TabSheet2);
    BIND_FIELD(TabSheet3);
    BIND_FIELD(TabSheet4);
    BIND_FIELD(TabSheet5);
    BIND_FIELD(TabSheet6);
    BIND_FIELD(TabSheet7);
    BIND_FIELD(TabSheet8);
    BIND_FIELD(TabSheet9);
    BIND_FIELD(GroupBox2);
    BIND_FIELD(RichEdit1);
    BIND_FIELD(StatusBar1);
    BIND_FIELD(Timer1);
    BIND_FIELD(MainMenu1);
    BIND_FIELD(PopupMenu1);
    BIND_FIELD(SaveDialog1);
    BIND_FIELD(OpenDialog1);
    BIND_FIELD(Comm1);
    BIND_FIELD(sd1);
    BIND_FIELD(skinstore1);
    BIND_FIELD(setadd);
    BIND_FIELD(GroupBox4);
    BIND_FIELD(RadioButton3);
    BIND_FIELD(RadioButton4);
    BIND_FIELD(RadioButton19);

    BIND_HANDLER(FormCreate);
    BIND_HANDLER(FormClose);
    BIND_HANDLER(Timer1Timer);
    BIND_HANDLER(PageControl1Change);
    BIND_HANDLER(N4Click);
    BIND_HANDLER(N5Click);
    BIND_HANDLER(N11Click);
    BIND_HANDLER(N12Click);
    BIND_HANDLER(N13Click);
    BIND_HANDLER(N14Click);
    BIND_HANDLER(N51Click);
    BIND_HANDLER(N61Click);
    BIND_HANDLER(MenuItem1Click);
    BIND_HANDLER(MenuItem2Click);
    BIND_HANDLER(N15Click);
    BIND_HANDLER(N20Click);
    BIND_HANDLER(N17Click);
    BIND_HANDLER(N18Click);
    BIND_HANDLER(N19Click);
    BIND_HANDLER(COM1Click);
    BIND_HANDLER(N10Click);
    BIND_HANDLER(S50S701Click);
    BIND_HANDLER(Ultralight1Click);
    BIND_HANDLER(ISO14443B1Click);
    BIND_HANDLER(ISO156931Click);
    BIND_HANDLER(N6Click);
    BIND_HANDLER(N7Click);
    BIND_HANDLER(N8Click);
    BIND_HANDLER(Button72Click);
    BIND_HANDLER(Button77Click);
}
