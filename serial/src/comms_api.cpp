#include <serial/comms_api.h>

TCommsApi& TCommsApi::System() {
    static auto* api = new TCommsApi; // never destroyed: a port left open closes as its form goes at exit
    return *api;
}

HANDLE TCommsApi::CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE templateFile) {
    return ::CreateFileA(name, access, share, security, disposition, flags, templateFile);
}
DWORD TCommsApi::GetFileType(HANDLE file) {
    return ::GetFileType(file);
}
BOOL TCommsApi::CloseHandle(HANDLE handle) {
    return ::CloseHandle(handle);
}
BOOL TCommsApi::SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue) {
    return ::SetupComm(port, inQueue, outQueue);
}
BOOL TCommsApi::PurgeComm(HANDLE port, DWORD flags) {
    return ::PurgeComm(port, flags);
}
BOOL TCommsApi::GetCommState(HANDLE port, DCB* dcb) {
    return ::GetCommState(port, dcb);
}
BOOL TCommsApi::SetCommState(HANDLE port, DCB* dcb) {
    return ::SetCommState(port, dcb);
}
BOOL TCommsApi::GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) {
    return ::GetCommTimeouts(port, timeouts);
}
BOOL TCommsApi::SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) {
    return ::SetCommTimeouts(port, timeouts);
}
BOOL TCommsApi::SetCommMask(HANDLE port, DWORD mask) {
    return ::SetCommMask(port, mask);
}
BOOL TCommsApi::WaitCommEvent(HANDLE port, DWORD* mask, OVERLAPPED* overlapped) {
    return ::WaitCommEvent(port, mask, overlapped);
}
BOOL TCommsApi::ClearCommError(HANDLE port, DWORD* errors, COMSTAT* status) {
    return ::ClearCommError(port, errors, status);
}
BOOL TCommsApi::ReadFile(HANDLE port, void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped) {
    return ::ReadFile(port, buffer, count, done, overlapped);
}
BOOL TCommsApi::WriteFile(HANDLE port, const void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped) {
    return ::WriteFile(port, buffer, count, done, overlapped);
}
BOOL TCommsApi::GetOverlappedResult(HANDLE port, OVERLAPPED* overlapped, DWORD* done, BOOL wait) {
    return ::GetOverlappedResult(port, overlapped, done, wait);
}
BOOL TCommsApi::CancelIoEx(HANDLE port, OVERLAPPED* overlapped) {
    return ::CancelIoEx(port, overlapped);
}

HANDLE TCommsApi::CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                               LPCSTR name) {
    return ::CreateEventA(security, manualReset, initialState, name);
}
DWORD TCommsApi::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return ::WaitForSingleObject(handle, milliseconds);
}
DWORD TCommsApi::WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                        DWORD milliseconds) {
    return ::WaitForMultipleObjects(count, handles, waitAll, milliseconds);
}
DWORD TCommsApi::MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                           DWORD milliseconds, DWORD wakeMask) {
    return ::MsgWaitForMultipleObjects(count, handles, waitAll, milliseconds, wakeMask);
}
BOOL TCommsApi::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(window, message, wParam, lParam);
}
BOOL TCommsApi::PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostThreadMessageA(threadId, message, wParam, lParam);
}
BOOL TCommsApi::PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT remove) {
    return ::PeekMessageA(message, window, first, last, remove);
}
HLOCAL TCommsApi::LocalAlloc(UINT flags, SIZE_T bytes) {
    return ::LocalAlloc(flags, bytes);
}
HLOCAL TCommsApi::LocalFree(HLOCAL memory) {
    return ::LocalFree(memory);
}

void TCommsApi::BeforeThreadCreate(TCommThreadKind) {}
void TCommsApi::ThreadStarted(TCommThreadKind) {}
