// The system calls of the serial component, behind one interface. TCommsApi itself calls Win32
// directly; tests derive from it to make single calls fail or to stand in for a whole port. Every
// communications, wait, post and allocation call of TComm and its threads goes through it.
#pragma once

#include <windows.h>

enum class TCommThreadKind { Reader, Writer };

class TCommsApi {
public:
    TCommsApi() = default;
    TCommsApi(const TCommsApi&) = delete;
    TCommsApi& operator=(const TCommsApi&) = delete;
    virtual ~TCommsApi() = default;

    // The instance that calls the system.
    static TCommsApi& System();

    virtual HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templateFile);
    virtual DWORD GetFileType(HANDLE file);
    virtual BOOL CloseHandle(HANDLE handle);
    virtual BOOL SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue);
    virtual BOOL PurgeComm(HANDLE port, DWORD flags);
    virtual BOOL GetCommState(HANDLE port, DCB* dcb);
    virtual BOOL SetCommState(HANDLE port, DCB* dcb);
    virtual BOOL GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts);
    virtual BOOL SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts);
    virtual BOOL SetCommMask(HANDLE port, DWORD mask);
    virtual BOOL WaitCommEvent(HANDLE port, DWORD* mask, OVERLAPPED* overlapped);
    virtual BOOL ClearCommError(HANDLE port, DWORD* errors, COMSTAT* status);
    virtual BOOL ReadFile(HANDLE port, void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped);
    virtual BOOL WriteFile(HANDLE port, const void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped);
    virtual BOOL GetOverlappedResult(HANDLE port, OVERLAPPED* overlapped, DWORD* done, BOOL wait);
    virtual BOOL CancelIoEx(HANDLE port, OVERLAPPED* overlapped);

    virtual HANDLE CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState, LPCSTR name);
    virtual DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
    virtual DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
    virtual DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                            DWORD wakeMask);
    virtual BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT remove);
    virtual HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
    virtual HLOCAL LocalFree(HLOCAL memory);

    // Called just before a worker thread is created; an exception thrown here is a failed creation.
    virtual void BeforeThreadCreate(TCommThreadKind kind);
    // Called first thing on each worker thread.
    virtual void ThreadStarted(TCommThreadKind kind);
};
