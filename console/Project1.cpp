// readerconsole's entry: the main window, the about and the picture window, then the message loop.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include <framework/startup.h>

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const bool started = RunStartUp([] {
        Application->Initialize();
        Application->SetTitle(L"RFID");
        Form1 = Application->CreateForm<TForm1>();
        Form2 = Application->CreateForm<TForm2>();
        Form3 = Application->CreateForm<TForm3>();
    });
    // Nothing to run without the main window; the report has said why.
    if (!started) return 1;
    Application->Run();
    return 0;
}
