#include <framework/clipbrd.h>
#include <framework/comctrls.h>
#include <framework/dialogs.h>
#include <framework/extctrls.h>
#include <framework/formreader.h>
#include <framework/menus.h>
#include <framework/stdctrls.h>

// Every control class a form description may name is registered here (the linker would drop
// self-registering objects of a static library that nothing else references).
void RegisterControlClasses() {
    RegisterClasses<TButton, TCheckBox, TRadioButton, TLabel, TGroupBox, TEdit, TMemo, TComboBox, TListBox>();
    RegisterClasses<TPanel, TImage, TBevel, TTimer>();
    RegisterClasses<TPageControl, TTabSheet, TStatusBar, TRichEdit, TTrackBar, TUpDown, TProgressBar>();
    RegisterClasses<TTabSet>();
    RegisterClasses<TMenuItem, TMainMenu, TPopupMenu>();
    RegisterClasses<TOpenDialog, TSaveDialog>();
}
