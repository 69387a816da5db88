#include <framework/forms.h>
#include <framework/startup.h>
#include <framework/sysutils.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <exception>

namespace {
TApplication theApplication;
} // namespace

TApplication* Application = &theApplication;

HINSTANCE HInstance() {
    return GetModuleHandleW(nullptr);
}

HICON ApplicationIcon(bool smallSize) {
    auto load = [](int cx, int cy) {
        auto icon = static_cast<HICON>(LoadImageW(HInstance(), L"MAINICON", IMAGE_ICON, cx, cy, LR_SHARED));
        if (!icon)
            icon = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, cx, cy, LR_SHARED));
        return icon;
    };
    static const HICON large = load(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    static const HICON smallIcon = load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    return smallSize ? smallIcon : large;
}

void ReportCurrentException(TObject* Sender) noexcept {
    try {
        if (Application) Application->HandleException(Sender);
    } catch (...) {
        // The report itself failed; nothing is left to tell.
    }
}

bool RunStartUp(const std::function<void()>& steps) {
    try {
        steps();
        return true;
    } catch (...) {
        ReportCurrentException(Application);
        return false;
    }
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    DestroyComponents(); // the forms go while the application object is still whole
    if (handle_) {
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
}

void TApplication::Initialize() {
    if (initialized_) return;
    initialized_ = true;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                             ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
}

HWND TApplication::Handle() {
    CreateHandle();
    return handle_;
}

void TApplication::CreateHandle() {
    if (handle_) return;
    // A hidden window of its own class, as programs of this kind have; it carries the title.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = HInstance();
    wc.lpszClassName = L"TApplication";
    wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
    RegisterClassExW(&wc);
    handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"TApplication", title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                              0, nullptr, nullptr, HInstance(), nullptr);
}

void TApplication::SetTitle(const String& value) {
    title_ = value;
    if (handle_) SetWindowTextW(handle_, title_.c_str());
}

String TApplication::ExeName() const {
    String path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void TApplication::SetMainForm(TCustomForm* form) {
    if (form == mainForm_) return;
    if (mainForm_) RemoveFreeNotification(mainForm_);
    mainForm_ = form;
    if (form) FreeNotification(form);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == mainForm_) {
        RemoveFreeNotification(mainForm_);
        mainForm_ = nullptr;
        if (running_) Terminate(); // the program's window is gone: so is the program
    }
}

bool TApplication::ProcessMessage(MSG& msg) {
    // Tab, arrow and mnemonic keys move between the controls of a form, as in dialogs.
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd) {
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (root && dynamic_cast<TCustomForm*>(TWinControl::FromHandle(root)) && IsDialogMessageW(root, &msg))
            return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::HandleMessage() {
    MSG msg;
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r == -1) return;
    if (r == 0) {
        terminated_ = true;
        // The loop that meets it may be nested: the outer ones must see it too.
        if (!running_ || modalLevel_ > 0) PostQuitMessage(static_cast<int>(msg.wParam));
        return;
    }
    try {
        ProcessMessage(msg);
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::ProcessMessages() {
    ProcessWaitingMessages(nullptr);
}

bool TApplication::ProcessWaitingMessages(const std::function<bool()>& enough) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        try {
            ProcessMessage(msg);
        } catch (...) {
            HandleException(this);
        }
        if (enough && enough()) return true;
    }
    return false;
}

void TApplication::Run() {
    running_ = true;
    try {
        if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
    } catch (...) {
        HandleException(this);
    }
    while (!terminated_) {
        MSG msg;
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0) {
            terminated_ = true;
            break;
        }
        if (r == -1) continue;
        try {
            ProcessMessage(msg);
        } catch (...) {
            HandleException(this);
        }
    }
    running_ = false;
    // The forms go at exit, as the program's last act, but before the tables and caches made while it
    // ran (function statics) are destroyed: destructors may still use them.
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit([] { theApplication.DestroyComponents(); });
    }
}

void TApplication::Terminate() {
    if (!terminated_) PostQuitMessage(0);
    terminated_ = true;
}

void TApplication::ClearTerminated() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    terminated_ = false;
}

void TApplication::HandleException(TObject*) {
    if (!std::current_exception()) return;
    String text;
    try {
        throw;
    } catch (const EAbort&) {
        return;
    } catch (const Exception& e) {
        text = e.Message();
    } catch (const std::exception& e) {
        text = Utf8ToString(e.what());
    } catch (...) {
        text = L"Unknown exception";
    }
    ShowException(text);
}

void TApplication::ShowException(const String& message) {
    String text = message;
    if (!text.empty() && text.back() > L'.') text += L'.';
    try {
        if (reporter_) {
            reporter_(text);
            return;
        }
        HWND owner = GetActiveWindow();
        MessageBoxW(owner, text.c_str(), title_.empty() ? L"Error" : title_.c_str(), MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}

TExceptionReporter TApplication::SetExceptionReporter(TExceptionReporter reporter) {
    std::swap(reporter_, reporter);
    return reporter;
}

bool WaitMessagesFor(unsigned ms, const std::function<bool()>& done) {
    const ULONGLONG start = GetTickCount64();
    const auto over = [&] { return (done && done()) || GetTickCount64() - start >= ms; };
    for (;;) {
        // Checked after every message: messages that come faster than they are handled (a busy
        // port's blocks) would otherwise hold the wait for as long as they come.
        Application->ProcessWaitingMessages(over);
        if (done && done()) return true;
        if (Application->Terminated()) return false;
        ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= ms) return false;
        // Sleep until a message comes; wake now and then for conditions that no message announces.
        DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(ms - elapsed, 50));
        MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
