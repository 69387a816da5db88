// The page "S50/S70" of the main window: its fields; its handlers are bound here as they are
// written.
#include "Unit1.h"

#include "bind.h"

void TForm1::RegisterS50S70Page() {
    BIND_FIELD(CheckBox1);
    BIND_FIELD(CheckBox2);
    BIND_FIELD(CheckBox4);
    BIND_FIELD(CheckBox12);
    BIND_FIELD(ComboBox3);
    BIND_FIELD(ComboBox4);
    BIND_FIELD(ComboBox6);
    BIND_FIELD(ComboBox7);
    BIND_FIELD(ComboBox8);
    BIND_FIELD(ComboBox9);
    BIND_FIELD(Edit1);
    BIND_FIELD(Edit2);
    BIND_FIELD(Edit3);
    BIND_FIELD(Edit5);
    BIND_FIELD(Edit7);
    BIND_FIELD(Edit8);
    BIND_FIELD(Edit10);
    BIND_FIELD(Edit57);
    BIND_FIELD(Edit58);
    BIND_FIELD(Edit59);
    BIND_FIELD(RadioButton1);
    BIND_FIELD(RadioButton2);
    BIND_FIELD(Button8);
    BIND_FIELD(Button9);
    BIND_FIELD(Button10);
    BIND_FIELD(Button15);
    BIND_FIELD(Button16);
    BIND_FIELD(Button26);
    BIND_FIELD(Button29);
}
