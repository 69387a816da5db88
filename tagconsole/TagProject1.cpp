// tagconsole's entry: the main window and the about window, then the message loop.
#include "TagUnit1.h"
#include "Unit2.h"

#include <framework/startup.h>

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const bool started = RunStartUp([] {
        Application->Initialize();
        Application->SetTitle(L"RFID");
        Form1 = Application->CreateForm<tagconsole::TForm1>();
        Form2 = Application->CreateForm<TForm2>();
    });
    // Nothing to run without the main window; the report has said why.
    if (!started) return 1;
    Application->Run();
    return 0;
}
