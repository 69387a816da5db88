// A port that exists only in memory, behind TComm's system-call seam. The test feeds it received bytes
// and comm events, chooses how writes complete, and makes any single call fail, on any thread.
// Waits, events, posts and allocations are the system's own unless a failure is asked for.
#pragma once

#include <serial/comms_api.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

enum class TCall {
    CreateFileA,
    GetFileType,
    SetupComm,
    PurgeComm,
    SetCommState,
    SetCommTimeouts,
    SetCommMask,
    WaitCommEvent,
    ClearCommError,
    ReadFile,
    WriteFile,
    ReadResult,  // GetOverlappedResult of a read
    WaitResult,  // GetOverlappedResult of a comm-event wait
    WriteResult, // GetOverlappedResult of a write
    CreateEventA,
    WaitForMultipleObjects,
    MsgWaitForMultipleObjects,
    PostMessageA,
    LocalAlloc,
    CreateThread,
};

enum class TRole { Any, Main, Reader, Writer };

// How the fake completes writes.
enum class TWriteMode { AtOnce, Pending, ZeroBytes, InPieces };

// What the driver does with an outstanding operation that is cancelled (CancelIoEx, a new comm mask)
// or whose port is closed: ends it at once as aborted, ends it only when the port is closed, or
// never, until the test calls FinishAbandoned.
enum class TCancelMode { Honoured, ByCloseOnly, Never };

class TFakePort : public TCommsApi {
public:
    static constexpr const char* kName = "FAKE1";
    TFakePort();
    ~TFakePort() override;

    // `call` made on `role`'s thread fails with `error` after `skip` successful ones (for PostMessageA
    // only posts of `message`; 0 means any). Failures stay until Clear.
    void Fail(TCall call, TRole role, DWORD error, int skip = 0, UINT message = 0);
    void ClearFailures();

    // Bytes from the line: completes the pending read, or is read at once by the next one.
    void Receive(const std::vector<std::uint8_t>& bytes);
    // Completes the pending read with no bytes, or with an error.
    void CompleteReadEmpty();
    void CompleteReadWithError(DWORD error);
    // Comm events: completes the pending wait with `mask` (or the next wait completes at once);
    // `errors` are what ClearCommError reports afterwards.
    void RaiseCommEvent(DWORD mask, DWORD errors = 0);
    void CompleteWaitWithError(DWORD error);

    void SetWriteMode(TWriteMode mode, DWORD piece = 1);
    void SetCancelMode(TCancelMode mode);
    // Ends, as aborted, the operations a closed port left outstanding (TCancelMode::Never).
    void FinishAbandoned();
    // Ends a pending write, with all its bytes or with an error.
    bool CompletePendingWrite(DWORD error = 0);
    bool WritePending();
    bool ReadPending();
    bool WaitPending();

    // What the component did.
    std::vector<std::uint8_t> Written();
    std::vector<DCB> CommStates();
    std::vector<COMMTIMEOUTS> CommTimeouts();
    int Calls(TCall call);
    bool PortOpen();
    int OpenEvents();
    int LiveBlocks();
    // Record events closed and blocks freed while the system still had their operation outstanding.
    int FreedWhileOutstanding();
    // True once the worker of `role` has run its end (it purges its direction last).
    bool WaitThreadEnded(TRole role, DWORD milliseconds);
    bool ThreadEnded(TRole role);
    bool WaitForPendingRead(DWORD milliseconds);
    bool WaitForPendingWait(DWORD milliseconds);
    bool WaitForPendingWrite(DWORD milliseconds);
    void SetFileType(DWORD type) { fileType_ = type; }

    HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                       DWORD disposition, DWORD flags, HANDLE templateFile) override;
    DWORD GetFileType(HANDLE file) override;
    BOOL CloseHandle(HANDLE handle) override;
    BOOL SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue) override;
    BOOL PurgeComm(HANDLE port, DWORD flags) override;
    BOOL GetCommState(HANDLE port, DCB* dcb) override;
    BOOL SetCommState(HANDLE port, DCB* dcb) override;
    BOOL GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) override;
    BOOL SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) override;
    BOOL SetCommMask(HANDLE port, DWORD mask) override;
    BOOL WaitCommEvent(HANDLE port, DWORD* mask, OVERLAPPED* overlapped) override;
    BOOL ClearCommError(HANDLE port, DWORD* errors, COMSTAT* status) override;
    BOOL ReadFile(HANDLE port, void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped) override;
    BOOL WriteFile(HANDLE port, const void* buffer, DWORD count, DWORD* done,
                   OVERLAPPED* overlapped) override;
    BOOL GetOverlappedResult(HANDLE port, OVERLAPPED* overlapped, DWORD* done, BOOL wait) override;
    BOOL CancelIoEx(HANDLE port, OVERLAPPED* overlapped) override;
    HANDLE CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                        LPCSTR name) override;
    DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                 DWORD milliseconds) override;
    DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                    DWORD wakeMask) override;
    BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) override;
    HLOCAL LocalFree(HLOCAL memory) override;
    void BeforeThreadCreate(TCommThreadKind kind) override;
    void ThreadStarted(TCommThreadKind kind) override;

private:
    struct TFailure {
        TCall call;
        TRole role;
        DWORD error;
        int skip;
        UINT message;
    };
    struct TPending {
        OVERLAPPED* overlapped = nullptr;
        BYTE* buffer = nullptr;
        DWORD size = 0;
        DWORD* mask = nullptr;
    };
    TRole CurrentRole();
    // True (with the error set) when an injected failure applies to this call.
    bool Failing(TCall call, UINT message = 0);
    static void Complete(OVERLAPPED* overlapped, DWORD error, DWORD bytes);
    bool IsPort(HANDLE handle);
    // Called with lock_ held: true when an outstanding operation uses this event or memory.
    bool InUse(const void* eventOrMemory) const;
    bool WaitFor(const std::function<bool()>& done, DWORD milliseconds);

    // A slim lock: unlike other locks it leaves the thread's last error alone, which the component reads
    // after each failed call.
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    class TGuard;
    std::vector<TFailure> failures_;
    std::map<TCall, int> calls_;
    std::map<DWORD, TRole> roles_;
    HANDLE port_ = nullptr;
    DWORD fileType_ = FILE_TYPE_CHAR;
    std::set<HANDLE> events_;
    std::set<void*> blocks_;
    std::deque<std::vector<std::uint8_t>> received_;
    std::deque<std::pair<DWORD, DWORD>> commEvents_; // mask, errors
    DWORD lineErrors_ = 0;
    TPending read_;
    TPending wait_;
    TPending write_;
    OVERLAPPED* lastRead_ = nullptr;
    OVERLAPPED* lastWait_ = nullptr;
    OVERLAPPED* lastWrite_ = nullptr;
    std::vector<TPending> abandoned_;
    TCancelMode cancelMode_ = TCancelMode::Honoured;
    int freedWhileOutstanding_ = 0;
    TWriteMode writeMode_ = TWriteMode::AtOnce;
    DWORD piece_ = 1;
    std::vector<std::uint8_t> written_;
    std::vector<DCB> states_;
    std::vector<COMMTIMEOUTS> timeouts_;
    std::set<TRole> ended_;
};
