// "Exist" chosen while a page waits: the wait ends at once and the quit request stays for the
// message loop, so the program ends. Runs in a program of its own: the application is ending after.
#include "console_fixture.h"

#include <windows.h>

namespace {

using ExitDuringWait = ConsoleTest;

void CALLBACK ChooseExist(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Form1->N4Click(nullptr);
}

TEST_F(ExitDuringWait, EndsTheWaitsAndTheRepeatLoopsAndKeepsTheQuit) {
    TCheckBox* box = form().CheckBox12;
    box->OnClick = nullptr;
    box->SetChecked(true);

    SetTimer(nullptr, 0, 100, ChooseExist);
    const double start = NowMs();
    form().Delayy(20000);
    EXPECT_LT(NowMs() - start, 5000);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(form().KeepRepeating(box));

    // Later waits of the same handler end at once too.
    form().UsbLibraryName = L"no-such-reader.dll";
    form().Send(L"cf");
    const double again = NowMs();
    form().Delay(20000);
    form().Delayy(20000);
    EXPECT_LT(NowMs() - again, 2000);

    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

} // namespace
