// tagconsole's window: construction, start-up, page change and the hidden system page's address
// and baud-rate handlers.
#include "TagUnit1.h"

#include "bind.h"
#include "skin_data/WinSkinData.h"
#include "skin_data/WinSkinStore.h"

namespace tagconsole {

TForm1::TForm1(TComponent* Owner) : ::TForm1(Owner) {
    RegisterTagShell();
    RegisterOutputFormatPage();
    RegisterLanguagePage();
    RegisterModePage();
}

String TForm1::FormResourceName() const {
    return L"TAGFORM1";
}

void TForm1::RegisterTagShell() {
    BIND_HANDLER(FormCreate);
    BIND_HANDLER(PageControl1Change);
    BIND_HANDLER(Comm1ReceiveData);
    BIND_HANDLER(Button4Click);
    BIND_HANDLER(Button11Click);
    BIND_HANDLER(Button12Click);
}

void TForm1::FormCreate(TObject* Sender) {
    // readerconsole's presets, except that the hidden port group's "Open" keeps its state.
    const bool openEnabled = Button1->Enabled();
    ::TForm1::FormCreate(Sender);
    Button1->SetEnabled(openEnabled);

    ComboBox20->SetItemIndex(1); // "0.5 minute"
    // The tag reader's own look: the fifth stored skin replaces the one the description holds.
    sd1->LoadFromSkinStore(skinstore1, 4);
}

void TForm1::PageControl1Change(TObject*) {
    // Ends the repeat loops of the hidden pages; the port is never opened here, so there is no
    // port list to refresh.
    for (TCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7,
                           CheckBox8, CheckBox9, CheckBox10, CheckBox11})
        if (box) box->SetChecked(false);
}

// readerconsole's handlers, but a missing reply gets the hidden pages' own line.
void TForm1::Button4Click(TObject*) {
    ReadReaderAddress(HiddenNoDataText);
}

void TForm1::Button11Click(TObject*) {
    SetReaderAddress(HiddenNoDataText);
}

void TForm1::Button12Click(TObject*) {
    SetReaderBaudRate(HiddenNoDataText);
}

} // namespace tagconsole
