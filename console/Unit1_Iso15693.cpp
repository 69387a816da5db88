// The page "ISO15693" of the main window: its fields; its handlers are bound here as they are
// written.
#include "Unit1.h"

#include "bind.h"

void TForm1::RegisterIso15693Page() {
    BIND_FIELD(ComboBox10);
    BIND_FIELD(ComboBox11);
    BIND_FIELD(ComboBox12);
    BIND_FIELD(ComboBox13);
    BIND_FIELD(ComboBox14);
    BIND_FIELD(ComboBox15);
    BIND_FIELD(ComboBox16);
    BIND_FIELD(ComboBox17);
    BIND_FIELD(ComboBox18);
    BIND_FIELD(ComboBox19);
    BIND_FIELD(CheckBox5);
    BIND_FIELD(CheckBox6);
    BIND_FIELD(CheckBox7);
}
