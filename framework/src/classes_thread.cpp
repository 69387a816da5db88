#include <framework/classes.h>
#include <framework/sysutils.h>

#include <exception>

namespace {

const DWORD mainThreadId = GetCurrentThreadId();

// --- hidden utility windows ---

struct UtilityWindow {
    TWndMethod method;
    int depth = 0;
    bool dead = false;
    bool ready = false; // messages of the creation itself go to DefWindowProc: the caller has no handle yet
};

LRESULT CALLBACK UtilityWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<UtilityWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->dead || !self->ready || !self->method)
        return DefWindowProcW(window, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    ++self->depth;
    try {
        self->method(m);
    } catch (...) {
        ReportCurrentException(nullptr);
    }
    if (--self->depth == 0 && self->dead) delete self;
    return m.Result;
}

const wchar_t* UtilityClass() {
    static const wchar_t* name = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = UtilityWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TPUtilWindow";
        RegisterClassExW(&wc);
        return L"TPUtilWindow";
    }();
    return name;
}

// --- calls from other threads run on the main thread ---

constexpr UINT WM_SYNCHRONIZE = WM_APP + 0x3F0;

struct SyncCall {
    const std::function<void()>* fn;
    std::exception_ptr error;
};

HWND syncWindow = nullptr;

void EnsureSyncWindow() {
    if (syncWindow || GetCurrentThreadId() != mainThreadId) return;
    syncWindow = AllocateHWnd([](TMessage& m) {
        if (m.Msg == WM_SYNCHRONIZE) {
            auto* call = reinterpret_cast<SyncCall*>(m.LParam);
            try {
                (*call->fn)();
            } catch (...) {
                call->error = std::current_exception();
            }
            return;
        }
        m.Result = DefWindowProcW(syncWindow, m.Msg, m.WParam, m.LParam);
    });
}

int ToWin32Priority(TThreadPriority p) {
    static const int map[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                              THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                              THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                              THREAD_PRIORITY_TIME_CRITICAL};
    return map[p];
}

} // namespace

DWORD MainThreadID() {
    return mainThreadId;
}

namespace {

HWND MakeUtilityWindow(TWndMethod method, DWORD exStyle, DWORD style, HWND parent) {
    auto* self = new UtilityWindow{std::move(method)};
    HWND window = CreateWindowExW(exStyle, UtilityClass(), L"", style, 0, 0, 0, 0, parent, nullptr,
                                  GetModuleHandleW(nullptr), self);
    if (!window) {
        delete self;
        RaiseLastOSError(L"AllocateHWnd");
    }
    self->ready = true;
    return window;
}

} // namespace

HWND AllocateHWnd(TWndMethod method) {
    return MakeUtilityWindow(std::move(method), 0, 0, HWND_MESSAGE);
}

HWND AllocateTopLevelHWnd(TWndMethod method) {
    return MakeUtilityWindow(std::move(method), WS_EX_TOOLWINDOW, WS_POPUP, nullptr);
}

void DeallocateHWnd(HWND window) {
    if (!window) return;
    auto* self = reinterpret_cast<UtilityWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    if (!self) return;
    self->dead = true;
    if (self->depth == 0) delete self; // else the running call frees it on its way out
}

// ---------------------------------------------------------------------------------------------------
// TThread

TThread::TThread() {
    EnsureSyncWindow();
    handle_ = CreateThread(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &threadId_);
    if (!handle_) RaiseLastOSError(L"Thread creation error");
}

TThread::~TThread() {
    if (!handle_) return;
    if (!finished_) StopAndWait();
    CloseHandle(handle_);
}

void TThread::StopAndWait() {
    if (!handle_ || finished_) return;
    Terminate();
    if (suspended_) {
        // A thread that never ran does not run Execute now that its object is going.
        Resume();
    }
    WaitFor();
}

DWORD WINAPI TThread::ThreadProc(LPVOID param) {
    auto* self = static_cast<TThread*>(param);
    if (!self->terminated_) {
        try {
            self->Execute();
        } catch (...) {
            // A worker has nobody to report to; it ends quietly as the classic library's threads do.
        }
    }
    DWORD result = self->returnValue_;
    if (self->OnTerminate && syncWindow) {
        try {
            Synchronize([self] { self->OnTerminate(self); });
        } catch (...) {
        }
    }
    self->finished_ = true;
    return result;
}

void TThread::Start() {
    Resume();
}

void TThread::Resume() {
    if (!suspended_) return;
    suspended_ = false;
    ResumeThread(handle_);
}

void TThread::Suspend() {
    if (suspended_ || finished_) return;
    suspended_ = true;
    SuspendThread(handle_);
}

DWORD TThread::WaitFor() {
    if (GetCurrentThreadId() == threadId_) throw EThread(L"Thread cannot wait for itself");
    if (GetCurrentThreadId() == mainThreadId) {
        // Serve Synchronize calls of the thread while waiting for it.
        for (;;) {
            DWORD r = MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_SENDMESSAGE);
            if (r != WAIT_OBJECT_0 + 1) break;
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    } else {
        WaitForSingleObject(handle_, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeThread(handle_, &code);
    finished_ = true;
    return code;
}

TThreadPriority TThread::Priority() const {
    int p = GetThreadPriority(handle_);
    for (int i = tpIdle; i <= tpTimeCritical; ++i)
        if (ToWin32Priority(static_cast<TThreadPriority>(i)) == p) return static_cast<TThreadPriority>(i);
    return tpNormal;
}

void TThread::SetPriority(TThreadPriority priority) {
    SetThreadPriority(handle_, ToWin32Priority(priority));
}

void TThread::Synchronize(const std::function<void()>& fn) {
    if (GetCurrentThreadId() == mainThreadId) {
        fn();
        return;
    }
    if (!syncWindow) throw EThread(L"Synchronize needs a thread object created on the main thread");
    SyncCall call{&fn, nullptr};
    SendMessageW(syncWindow, WM_SYNCHRONIZE, 0, reinterpret_cast<LPARAM>(&call));
    if (call.error) std::rethrow_exception(call.error);
}
