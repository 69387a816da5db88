// readerconsole's entry: the main window, the about and the picture window, then the message loop.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include <windows.h>
#include <cstdio>
static FILE* LogF(){static FILE* f=fopen("Z:\\tmp\\shellgen\\times.log","a");return f;}
static double T(){LARGE_INTEGER f,t;QueryPerformanceFrequency(&f);QueryPerformanceCounter(&t);return t.QuadPart*1000.0/f.QuadPart;}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    double t0=T();
    { FILETIME c,e,k,u,n; GetProcessTimes(GetCurrentProcess(),&c,&e,&k,&u); GetSystemTimeAsFileTime(&n); fprintf(LogF(),"to WinMain %.1f ms\n",((((ULONGLONG)n.dwHighDateTime<<32)|n.dwLowDateTime)-(((ULONGLONG)c.dwHighDateTime<<32)|c.dwLowDateTime))/1e4); }
    try {
        Application->Initialize();
        Application->SetTitle(L"RFID");
        double t1=T();
        Form1 = Application->CreateForm<TForm1>();
        double t2=T();
        Form2 = Application->CreateForm<TForm2>();
        Form3 = Application->CreateForm<TForm3>();
        double t3=T();
        fprintf(LogF(),"init %.1f form1 %.1f form23 %.1f\n",t1-t0,t2-t1,t3-t2);
    } catch (const Exception& e) {
        // Nothing to run without the main window.
        MessageBoxW(nullptr, e.Message().c_str(), L"RFID", MB_ICONERROR | MB_OK);
        return 1;
    }
    MSG m; PeekMessageW(&m,nullptr,0,0,PM_NOREMOVE); double t4=T(); Form1->HandleNeeded(); fprintf(LogF(),"handle %.1f\n",T()-t4); t4=T(); Application->MainForm()->Show(); fprintf(LogF(),"show-only %.1f\n",T()-t4); t4=T(); UpdateWindow(Form1->Handle()); fprintf(LogF(),"paint %.1f\n",T()-t4); t4=T(); fprintf(LogF(),"show %.1f\n",T()-t4); {int n=0; EnumChildWindows(Form1->Handle(), [](HWND,LPARAM l)->BOOL{++*(int*)l;return TRUE;}, (LPARAM)&n); int v=0; EnumChildWindows(Form1->Handle(), [](HWND w,LPARAM l)->BOOL{if(IsWindowVisible(w))++*(int*)l;return TRUE;}, (LPARAM)&v); fprintf(LogF(),"children %d visible %d\n",n,v);}
    Application->Run();
    return 0;
}
