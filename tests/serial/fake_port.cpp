#include "fake_port.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

class TFakePort::TGuard {
public:
    explicit TGuard(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~TGuard() { ReleaseSRWLockExclusive(&lock_); }
    TGuard(const TGuard&) = delete;
    TGuard& operator=(const TGuard&) = delete;

private:
    SRWLOCK& lock_;
};

namespace {

// Internal of a record whose operation has not completed yet.
constexpr ULONG_PTR kPending = ERROR_IO_PENDING;

TRole RoleOf(TCommThreadKind kind) {
    return kind == TCommThreadKind::Reader ? TRole::Reader : TRole::Writer;
}

} // namespace

TFakePort::TFakePort() = default;

TFakePort::~TFakePort() {
    if (port_) ::CloseHandle(port_);
}

void TFakePort::Fail(TCall call, TRole role, DWORD error, int skip, UINT message) {
    TGuard lock(lock_);
    failures_.push_back({call, role, error, skip, message});
}

void TFakePort::ClearFailures() {
    TGuard lock(lock_);
    failures_.clear();
}

TRole TFakePort::CurrentRole() {
    const auto found = roles_.find(GetCurrentThreadId());
    return found == roles_.end() ? TRole::Main : found->second;
}

// Called with lock_ held.
bool TFakePort::Failing(TCall call, UINT message) {
    ++calls_[call];
    const TRole role = CurrentRole();
    for (TFailure& failure : failures_) {
        if (failure.call != call) continue;
        if (failure.role != TRole::Any && failure.role != role) continue;
        if (failure.message != 0 && failure.message != message) continue;
        if (failure.skip-- > 0) continue;
        SetLastError(failure.error);
        return true;
    }
    return false;
}

void TFakePort::Complete(OVERLAPPED* overlapped, DWORD error, DWORD bytes) {
    overlapped->Internal = error;
    overlapped->InternalHigh = bytes;
    ::SetEvent(overlapped->hEvent);
}

bool TFakePort::InUse(const void* eventOrMemory) const {
    auto uses = [&](const TPending& p) {
        return p.overlapped && (p.overlapped->hEvent == eventOrMemory || p.buffer == eventOrMemory);
    };
    return uses(read_) || uses(wait_) || uses(write_) ||
           std::any_of(abandoned_.begin(), abandoned_.end(), uses);
}

bool TFakePort::IsPort(HANDLE handle) {
    if (port_ && handle == port_) return true;
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

bool TFakePort::WaitFor(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    TGuard lock(lock_);
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        SleepConditionVariableSRW(&changed_, &lock_, static_cast<DWORD>(end - now), 0);
    }
    return true;
}

// --- the test's side -------------------------------------------------------------------------------

void TFakePort::Receive(const std::vector<std::uint8_t>& bytes) {
    TGuard lock(lock_);
    if (read_.overlapped) {
        const DWORD n = std::min<DWORD>(read_.size, static_cast<DWORD>(bytes.size()));
        std::memcpy(read_.buffer, bytes.data(), n);
        if (n < bytes.size()) received_.emplace_front(bytes.begin() + n, bytes.end());
        Complete(read_.overlapped, 0, n);
        read_ = {};
    } else {
        received_.push_back(bytes);
    }
    WakeAllConditionVariable(&changed_);
}

void TFakePort::CompleteReadEmpty() {
    CompleteReadWithError(0);
}

void TFakePort::CompleteReadWithError(DWORD error) {
    TGuard lock(lock_);
    if (!read_.overlapped) return;
    Complete(read_.overlapped, error, 0);
    read_ = {};
    WakeAllConditionVariable(&changed_);
}

void TFakePort::RaiseCommEvent(DWORD mask, DWORD errors) {
    TGuard lock(lock_);
    if (wait_.overlapped) {
        *wait_.mask = mask;
        lineErrors_ = errors;
        Complete(wait_.overlapped, 0, 0);
        wait_ = {};
    } else {
        commEvents_.emplace_back(mask, errors);
    }
    WakeAllConditionVariable(&changed_);
}

void TFakePort::CompleteWaitWithError(DWORD error) {
    TGuard lock(lock_);
    if (!wait_.overlapped) return;
    Complete(wait_.overlapped, error, 0);
    wait_ = {};
    WakeAllConditionVariable(&changed_);
}

void TFakePort::SetWriteMode(TWriteMode mode, DWORD piece) {
    TGuard lock(lock_);
    writeMode_ = mode;
    piece_ = piece;
}

void TFakePort::SetCancelMode(TCancelMode mode) {
    TGuard lock(lock_);
    cancelMode_ = mode;
}

void TFakePort::FinishAbandoned() {
    TGuard lock(lock_);
    for (TPending& pending : abandoned_) Complete(pending.overlapped, ERROR_OPERATION_ABORTED, 0);
    abandoned_.clear();
    WakeAllConditionVariable(&changed_);
}

int TFakePort::FreedWhileOutstanding() {
    TGuard lock(lock_);
    return freedWhileOutstanding_;
}

bool TFakePort::CompletePendingWrite(DWORD error) {
    TGuard lock(lock_);
    if (!write_.overlapped) return false;
    if (error == 0) written_.insert(written_.end(), write_.buffer, write_.buffer + write_.size);
    Complete(write_.overlapped, error, error == 0 ? write_.size : 0);
    write_ = {};
    WakeAllConditionVariable(&changed_);
    return true;
}

bool TFakePort::WritePending() {
    TGuard lock(lock_);
    return write_.overlapped != nullptr;
}

bool TFakePort::ReadPending() {
    TGuard lock(lock_);
    return read_.overlapped != nullptr;
}

bool TFakePort::WaitPending() {
    TGuard lock(lock_);
    return wait_.overlapped != nullptr;
}

std::vector<std::uint8_t> TFakePort::Written() {
    TGuard lock(lock_);
    return written_;
}

std::vector<DCB> TFakePort::CommStates() {
    TGuard lock(lock_);
    return states_;
}

std::vector<COMMTIMEOUTS> TFakePort::CommTimeouts() {
    TGuard lock(lock_);
    return timeouts_;
}

int TFakePort::Calls(TCall call) {
    TGuard lock(lock_);
    return calls_[call];
}

bool TFakePort::PortOpen() {
    TGuard lock(lock_);
    return port_ != nullptr;
}

int TFakePort::OpenEvents() {
    TGuard lock(lock_);
    return static_cast<int>(events_.size());
}

int TFakePort::LiveBlocks() {
    TGuard lock(lock_);
    return static_cast<int>(blocks_.size());
}

bool TFakePort::WaitThreadEnded(TRole role, DWORD milliseconds) {
    return WaitFor([&] { return ended_.count(role) > 0; }, milliseconds);
}

bool TFakePort::ThreadEnded(TRole role) {
    TGuard lock(lock_);
    return ended_.count(role) > 0;
}

bool TFakePort::WaitForPendingRead(DWORD milliseconds) {
    return WaitFor([&] { return read_.overlapped != nullptr; }, milliseconds);
}

bool TFakePort::WaitForPendingWait(DWORD milliseconds) {
    return WaitFor([&] { return wait_.overlapped != nullptr; }, milliseconds);
}

bool TFakePort::WaitForPendingWrite(DWORD milliseconds) {
    return WaitFor([&] { return write_.overlapped != nullptr; }, milliseconds);
}

// --- the component's side --------------------------------------------------------------------------

HANDLE TFakePort::CreateFileA(LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    TGuard lock(lock_);
    if (Failing(TCall::CreateFileA)) return INVALID_HANDLE_VALUE;
    if (std::strcmp(name, kName) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (port_) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Any handle of our own will do; the fake recognises it.
    port_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ended_.clear();
    return port_;
}

DWORD TFakePort::GetFileType(HANDLE) {
    TGuard lock(lock_);
    ++calls_[TCall::GetFileType];
    return fileType_;
}

BOOL TFakePort::CloseHandle(HANDLE handle) {
    TGuard lock(lock_);
    if (port_ && handle == port_) {
        port_ = nullptr;
        // As on Windows, closing the port ends what is outstanding on it, unless the driver never does.
        for (TPending* pending : {&read_, &wait_, &write_}) {
            if (!pending->overlapped) continue;
            if (cancelMode_ == TCancelMode::Never)
                abandoned_.push_back(*pending);
            else
                Complete(pending->overlapped, ERROR_OPERATION_ABORTED, 0);
            *pending = {};
        }
        WakeAllConditionVariable(&changed_);
    }
    if (InUse(handle)) {
        ++freedWhileOutstanding_;
        // Its record goes with it: the fake must not write into freed memory.
        auto uses = [&](const TPending& p) { return p.overlapped && p.overlapped->hEvent == handle; };
        for (TPending* pending : {&read_, &wait_, &write_})
            if (uses(*pending)) *pending = {};
        std::erase_if(abandoned_, uses);
    }
    events_.erase(handle);
    return ::CloseHandle(handle);
}

BOOL TFakePort::SetupComm(HANDLE port, DWORD, DWORD) {
    TGuard lock(lock_);
    if (Failing(TCall::SetupComm)) return FALSE;
    return IsPort(port);
}

BOOL TFakePort::PurgeComm(HANDLE port, DWORD flags) {
    TGuard lock(lock_);
    if (Failing(TCall::PurgeComm)) return FALSE;
    const TRole role = CurrentRole();
    if (role == TRole::Reader && flags == (PURGE_RXABORT | PURGE_RXCLEAR)) ended_.insert(TRole::Reader);
    if (role == TRole::Writer && flags == (PURGE_TXABORT | PURGE_TXCLEAR)) ended_.insert(TRole::Writer);
    WakeAllConditionVariable(&changed_);
    return IsPort(port);
}

BOOL TFakePort::GetCommState(HANDLE port, DCB* dcb) {
    TGuard lock(lock_);
    if (!IsPort(port)) return FALSE;
    // What a driver might hold; the fields the component does not own must come back unchanged.
    *dcb = DCB{};
    dcb->DCBlength = sizeof(DCB);
    dcb->BaudRate = 19200;
    dcb->fAbortOnError = TRUE;
    dcb->EofChar = 0x1A;
    dcb->EvtChar = 0x7E;
    dcb->ByteSize = 7;
    return TRUE;
}

BOOL TFakePort::SetCommState(HANDLE port, DCB* dcb) {
    TGuard lock(lock_);
    if (Failing(TCall::SetCommState)) return FALSE;
    if (!IsPort(port)) return FALSE;
    states_.push_back(*dcb);
    return TRUE;
}

BOOL TFakePort::GetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) {
    TGuard lock(lock_);
    if (!IsPort(port)) return FALSE;
    *timeouts = COMMTIMEOUTS{1, 2, 3, 4, 5};
    return TRUE;
}

BOOL TFakePort::SetCommTimeouts(HANDLE port, COMMTIMEOUTS* timeouts) {
    TGuard lock(lock_);
    if (Failing(TCall::SetCommTimeouts)) return FALSE;
    if (!IsPort(port)) return FALSE;
    timeouts_.push_back(*timeouts);
    return TRUE;
}

BOOL TFakePort::SetCommMask(HANDLE port, DWORD mask) {
    TGuard lock(lock_);
    if (Failing(TCall::SetCommMask)) return FALSE;
    if (!IsPort(port)) return FALSE;
    // As on Windows: a new mask ends the pending wait with an empty event mask.
    if (wait_.overlapped && cancelMode_ == TCancelMode::Honoured) {
        *wait_.mask = 0;
        Complete(wait_.overlapped, 0, 0);
        wait_ = {};
    }
    (void)mask;
    WakeAllConditionVariable(&changed_);
    return TRUE;
}

BOOL TFakePort::WaitCommEvent(HANDLE port, DWORD* mask, OVERLAPPED* overlapped) {
    TGuard lock(lock_);
    if (Failing(TCall::WaitCommEvent)) return FALSE;
    if (!IsPort(port)) return FALSE;
    lastWait_ = overlapped;
    if (!commEvents_.empty()) {
        *mask = commEvents_.front().first;
        lineErrors_ = commEvents_.front().second;
        commEvents_.pop_front();
        Complete(overlapped, 0, 0);
        return TRUE;
    }
    wait_ = TPending{overlapped, nullptr, 0, mask};
    overlapped->Internal = kPending;
    ::ResetEvent(overlapped->hEvent);
    WakeAllConditionVariable(&changed_);
    SetLastError(ERROR_IO_PENDING);
    return FALSE;
}

BOOL TFakePort::ClearCommError(HANDLE port, DWORD* errors, COMSTAT*) {
    TGuard lock(lock_);
    if (Failing(TCall::ClearCommError)) return FALSE;
    if (!IsPort(port)) return FALSE;
    *errors = lineErrors_;
    lineErrors_ = 0;
    return TRUE;
}

BOOL TFakePort::ReadFile(HANDLE port, void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped) {
    TGuard lock(lock_);
    if (Failing(TCall::ReadFile)) return FALSE;
    if (!IsPort(port)) return FALSE;
    lastRead_ = overlapped;
    if (!received_.empty()) {
        std::vector<std::uint8_t>& chunk = received_.front();
        const DWORD n = std::min<DWORD>(count, static_cast<DWORD>(chunk.size()));
        std::memcpy(buffer, chunk.data(), n);
        chunk.erase(chunk.begin(), chunk.begin() + n);
        if (chunk.empty()) received_.pop_front();
        *done = n;
        Complete(overlapped, 0, n);
        return TRUE;
    }
    read_ = TPending{overlapped, static_cast<BYTE*>(buffer), count, nullptr};
    overlapped->Internal = kPending;
    ::ResetEvent(overlapped->hEvent);
    WakeAllConditionVariable(&changed_);
    SetLastError(ERROR_IO_PENDING);
    return FALSE;
}

BOOL TFakePort::WriteFile(HANDLE port, const void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped) {
    TGuard lock(lock_);
    if (Failing(TCall::WriteFile)) return FALSE;
    if (!IsPort(port)) return FALSE;
    lastWrite_ = overlapped;
    const auto* bytes = static_cast<const BYTE*>(buffer);
    DWORD n = 0;
    switch (writeMode_) {
    case TWriteMode::AtOnce:
        n = count;
        break;
    case TWriteMode::InPieces:
        n = std::min(count, piece_);
        break;
    case TWriteMode::ZeroBytes:
        n = 0;
        break;
    case TWriteMode::Pending:
        write_ = TPending{overlapped, const_cast<BYTE*>(bytes), count, nullptr};
        overlapped->Internal = kPending;
        ::ResetEvent(overlapped->hEvent);
        WakeAllConditionVariable(&changed_);
        SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    written_.insert(written_.end(), bytes, bytes + n);
    *done = n;
    Complete(overlapped, 0, n);
    WakeAllConditionVariable(&changed_);
    return TRUE;
}

BOOL TFakePort::GetOverlappedResult(HANDLE port, OVERLAPPED* overlapped, DWORD* done, BOOL wait) {
    {
        TGuard lock(lock_);
        const TCall call = overlapped == lastRead_   ? TCall::ReadResult
                           : overlapped == lastWait_ ? TCall::WaitResult
                                                     : TCall::WriteResult;
        if (Failing(call)) return FALSE;
        if (!IsPort(port)) return FALSE;
    }
    if (wait) ::WaitForSingleObject(overlapped->hEvent, INFINITE);
    TGuard lock(lock_);
    if (overlapped->Internal == kPending) {
        SetLastError(ERROR_IO_INCOMPLETE);
        return FALSE;
    }
    *done = static_cast<DWORD>(overlapped->InternalHigh);
    if (overlapped->Internal != 0) {
        SetLastError(static_cast<DWORD>(overlapped->Internal));
        return FALSE;
    }
    return TRUE;
}

BOOL TFakePort::CancelIoEx(HANDLE port, OVERLAPPED* overlapped) {
    TGuard lock(lock_);
    if (!IsPort(port)) return FALSE;
    for (TPending* pending : {&read_, &wait_, &write_}) {
        if (pending->overlapped && pending->overlapped == overlapped) {
            // The request is taken; a driver that does not honour it leaves the operation running.
            if (cancelMode_ != TCancelMode::Honoured) return TRUE;
            Complete(overlapped, ERROR_OPERATION_ABORTED, 0);
            *pending = {};
            WakeAllConditionVariable(&changed_);
            return TRUE;
        }
    }
    SetLastError(ERROR_NOT_FOUND);
    return FALSE;
}

HANDLE TFakePort::CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                               LPCSTR name) {
    TGuard lock(lock_);
    if (Failing(TCall::CreateEventA)) return nullptr;
    HANDLE event = ::CreateEventA(security, manualReset, initialState, name);
    if (event) events_.insert(event);
    return event;
}

DWORD TFakePort::WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                        DWORD milliseconds) {
    {
        TGuard lock(lock_);
        if (Failing(TCall::WaitForMultipleObjects)) return WAIT_FAILED;
    }
    return ::WaitForMultipleObjects(count, handles, waitAll, milliseconds);
}

DWORD TFakePort::MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                           DWORD milliseconds, DWORD wakeMask) {
    {
        TGuard lock(lock_);
        if (Failing(TCall::MsgWaitForMultipleObjects)) return WAIT_FAILED;
    }
    return ::MsgWaitForMultipleObjects(count, handles, waitAll, milliseconds, wakeMask);
}

BOOL TFakePort::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        TGuard lock(lock_);
        if (Failing(TCall::PostMessageA, message)) return FALSE;
    }
    return ::PostMessageA(window, message, wParam, lParam);
}

HLOCAL TFakePort::LocalAlloc(UINT flags, SIZE_T bytes) {
    TGuard lock(lock_);
    if (Failing(TCall::LocalAlloc)) return nullptr;
    HLOCAL block = ::LocalAlloc(flags, bytes);
    if (block) blocks_.insert(block);
    return block;
}

HLOCAL TFakePort::LocalFree(HLOCAL memory) {
    {
        TGuard lock(lock_);
        if (InUse(memory)) ++freedWhileOutstanding_;
        blocks_.erase(memory);
    }
    return ::LocalFree(memory);
}

void TFakePort::BeforeThreadCreate(TCommThreadKind kind) {
    TGuard lock(lock_);
    ++calls_[TCall::CreateThread];
    for (TFailure& failure : failures_)
        if (failure.call == TCall::CreateThread &&
            (failure.role == TRole::Any || failure.role == RoleOf(kind)))
            throw std::runtime_error("thread creation refused");
}

void TFakePort::ThreadStarted(TCommThreadKind kind) {
    TGuard lock(lock_);
    roles_[GetCurrentThreadId()] = RoleOf(kind);
}
