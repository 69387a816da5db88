#include "fixture.h"

#include <framework/sysutils.h>


TProbeForm::TProbeForm(TComponent* owner) : TForm(owner) {
    BindHandlerFn(L"Clicked", TNotifyEvent([this](TObject* s) { Record(s, L"click"); }));
    BindHandlerFn(L"Changed", TNotifyEvent([this](TObject* s) { Record(s, L"change"); }));
    BindHandlerFn(L"Popped", TNotifyEvent([this](TObject* s) { Record(s, L"popup"); }));
    BindHandlerFn(L"Changing", TTabChangingEvent([this](TObject* s, bool& allow) {
                      allow = AllowChange;
                      Record(s, L"changing");
                  }));
    BindHandlerFn(L"UpDownClicked", TUDClickEvent([this](TObject* s, TUDBtnType button) {
                      Record(s, button == btNext ? L"next" : L"prev");
                  }));
}

void TProbeForm::Record(TObject* sender, const String& what) {
    auto* component = dynamic_cast<TComponent*>(sender);
    Events.push_back((component ? component->Name() : String(L"?")) + L" " + what);
    if (During) During(sender);
}

void ControlsTest::SetUp() {
    Application->Initialize();
    Application->ClearTerminated();
}

void ControlsTest::TearDown() {
    Application->ProcessMessages();
    Application->ClearTerminated();
}

std::unique_ptr<TProbeForm> ControlsTest::Load(const std::string& description) {
    return std::unique_ptr<TProbeForm>(NewFormFromText<TProbeForm>(nullptr, description));
}

String WindowText(HWND window) {
    int n = GetWindowTextLengthW(window);
    String text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(window, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

void SendCommandFromChild(TWinControl* child, WORD code) {
    HWND window = child->Handle();
    SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code),
                 reinterpret_cast<LPARAM>(window));
}

void CloseMenuSoon() {
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
}

std::string ReadFileBytes(const String& fileName) {
    TMemoryStream bytes;
    bytes.LoadFromFile(fileName);
    return std::string(bytes.Bytes().begin(), bytes.Bytes().end());
}

String TempPath(const String& name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    String path = String(folder) + L"fwctl-" + IntToStr(GetCurrentProcessId()) + L"-" + name;
    DeleteFileW(path.c_str());
    return path;
}
