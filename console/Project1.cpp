// readerconsole's entry: the main window, the about and the picture window, then the message loop.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        Application->Initialize();
        Application->SetTitle(L"RFID");
        Form1 = Application->CreateForm<TForm1>();
        Form2 = Application->CreateForm<TForm2>();
        Form3 = Application->CreateForm<TForm3>();
    } catch (const Exception& e) {
        // Nothing to run without the main window.
        MessageBoxW(nullptr, e.Message().c_str(), L"RFID", MB_ICONERROR | MB_OK);
        return 1;
    }
    Application->Run();
    return 0;
}
