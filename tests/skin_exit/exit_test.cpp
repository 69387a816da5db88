// A program that ends with readerconsole's skinned main window still up and without the message
// loop's own ending (a test program or benchmark returning from main, an end forced from outside):
// the window goes only when the application object goes, after the skin engine's shared objects were
// made, and it paints while it goes. Nothing it paints with may be freed by then. Any access violation
// ends the run with code 3, also the ones the window system swallows inside a window procedure; the
// run must end with 0.
#include "Unit1.h"

#include <skin_forms/WinSkinDlg.h>
#include <skin_forms/WinSkinForm.h>

#include <windows.h>

#include <cstdio>

namespace {

LONG CALLBACK EndOnAccessViolation(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
    std::fprintf(stderr, "access violation at %p\n", info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

bool SkinnedAndSettled() {
    if (!SkinManager || SkinManager->ActionSkinData) return false;
    TWinSkinForm* skinner = SkinManager->FindSkinForm(Form1->Handle());
    return skinner && skinner->State == fsSkinned;
}

} // namespace

int main() {
    AddVectoredExceptionHandler(1, EndOnAccessViolation);
    Application->Initialize();
    Form1 = Application->CreateForm<TForm1>();
    Form1->Show();
    // Active, as a window the operator works in: a control has the focus, and the focus moves as
    // the controls go.
    SetForegroundWindow(Form1->Handle());
    if (!WaitMessagesFor(60000, SkinnedAndSettled)) return 1;
    // Every skin of the "Stype" menu in turn, so that the engine keeps many pictures.
    using THandler = void (TForm1::*)(TObject*);
    for (THandler choose : {&TForm1::N11Click, &TForm1::N12Click, &TForm1::N13Click, &TForm1::N14Click,
                            &TForm1::N51Click, &TForm1::N61Click}) {
        (Form1->*choose)(Form1);
        if (!WaitMessagesFor(60000, SkinnedAndSettled)) return 1;
    }
    RedrawWindow(Form1->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    return 0;
}
