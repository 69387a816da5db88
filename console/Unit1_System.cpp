// The page "系统命令" of the main window: its fields; its handlers are bound here as they are
// written.
#include "Unit1.h"

#include "bind.h"

void TForm1::RegisterSystemPage() {
    BIND_FIELD(Edit4);
    BIND_FIELD(ComboBox5);
    BIND_FIELD(Edit9);
    BIND_FIELD(Edit11);
    BIND_FIELD(Edit12);
    BIND_FIELD(Edit30);
    BIND_FIELD(Edit31);
    BIND_FIELD(Edit33);
    BIND_FIELD(Edit34);
    BIND_FIELD(Edit22);
    BIND_FIELD(Button4);
    BIND_FIELD(Button11);
    BIND_FIELD(Button12);
    BIND_FIELD(Button13);
    BIND_FIELD(Button14);
    BIND_FIELD(Button20);
    BIND_FIELD(Button21);
    BIND_FIELD(Button23);
    BIND_FIELD(Button52);
    BIND_FIELD(Button53);
}
