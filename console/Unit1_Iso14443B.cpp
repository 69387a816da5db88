// The page "ISO14443B" of the main window: its fields; its handlers are bound here as they are
// written.
#include "Unit1.h"

#include "bind.h"

void TForm1::RegisterIso14443BPage() {
    BIND_FIELD(CheckBox11);
    BIND_FIELD(CheckBox13);
    BIND_FIELD(CheckBox14);
    BIND_FIELD(Edit76);
    BIND_FIELD(Edit77);
    BIND_FIELD(Button19);
    BIND_FIELD(Button22);
    BIND_FIELD(Button31);
    BIND_FIELD(Button32);
    BIND_FIELD(Button33);
    BIND_FIELD(Button34);
    BIND_FIELD(Button36);
}
