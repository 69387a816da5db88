// The page "Serial port function" of the main window: its fields; its handlers are bound here as they are
// written.
#include "Unit1.h"

#include "bind.h"

void TForm1::RegisterSerialPage() {
    BIND_FIELD(ComboBox1);
    BIND_FIELD(ComboBox2);
    BIND_FIELD(Button1);
    BIND_FIELD(Button2);
    BIND_FIELD(Button75);
    BIND_FIELD(Button76);
    BIND_FIELD(Button77);
    BIND_FIELD(RadioButton39);
    BIND_FIELD(RadioButton40);
    BIND_FIELD(RadioButton41);
    BIND_FIELD(RadioButton42);
    BIND_FIELD(RadioButton43);
    BIND_FIELD(Edit69);
    BIND_FIELD(Edit70);
    BIND_FIELD(Edit71);
    BIND_FIELD(Edit72);
    BIND_FIELD(GroupBox5);
    BIND_FIELD(Memo1);
    BIND_FIELD(Button3);
    BIND_FIELD(Button5);
    BIND_FIELD(Button6);
    BIND_FIELD(Button7);
    BIND_FIELD(CheckBox3);
    BIND_FIELD(Edit6);
    BIND_FIELD(RadioButton37);
    BIND_FIELD(RadioButton38);
    BIND_FIELD(RadioButton18);
    BIND_FIELD(RadioButton20);
}
