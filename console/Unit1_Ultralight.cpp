// The page "Ultralight" of the main window: its fields; its handlers are bound here as they are
// written.
#include "Unit1.h"

#include "bind.h"

void TForm1::RegisterUltralightPage() {
    BIND_FIELD(ListBox1);
    BIND_FIELD(ListBox2);
    BIND_FIELD(CheckBox8);
    BIND_FIELD(CheckBox9);
    BIND_FIELD(CheckBox10);
    BIND_FIELD(Edit56);
    BIND_FIELD(Button17);
    BIND_FIELD(Button18);
    BIND_FIELD(Button54);
    BIND_FIELD(Button55);
}
