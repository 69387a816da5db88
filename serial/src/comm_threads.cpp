#include <serial/comm_threads.h>

#include <serial/comm.h>

#include <cstring>

namespace {

constexpr DWORD kReadChunk = 2048;
constexpr DWORD kWatchedEvents = EV_RLSD | EV_ERR | EV_RING;
constexpr DWORD kModemCarrier = 8;
constexpr DWORD kModemRing = 4;

} // namespace

bool TIoRecords::Settled(DWORD milliseconds) {
    const std::vector<HANDLE> events = Outstanding();
    if (events.empty()) return true;
    const DWORD n = static_cast<DWORD>(events.size());
    return api_.WaitForMultipleObjects(n, events.data(), TRUE, milliseconds) < WAIT_OBJECT_0 + n;
}

// ---------------------------------------------------------------------------------------------------
// Reader

struct TReadThread::TIo : TIoRecords {
    using TIoRecords::TIoRecords;
    ~TIo() override {
        if (read.hEvent) api_.CloseHandle(read.hEvent);
        if (wait.hEvent) api_.CloseHandle(wait.hEvent);
    }
    std::vector<HANDLE> Outstanding() const override {
        std::vector<HANDLE> events;
        if (readPending) events.push_back(read.hEvent);
        if (waitPending) events.push_back(wait.hEvent);
        return events;
    }

    OVERLAPPED read{};
    OVERLAPPED wait{};
    BYTE buffer[kReadChunk];
    DWORD mask = 0;
    DWORD count = 0;
    bool readPending = false;
    bool waitPending = false;
};

TReadThread::TReadThread(TCommsApi& api) : api_(api) {}

TReadThread::~TReadThread() {
    StopAndWait();
}

void TReadThread::PostHangup() {
    api_.PostMessageA(NotifyWindow, UM_REQUESTHANGUP, 0, 0);
}

void TReadThread::Execute() {
    api_.ThreadStarted(TCommThreadKind::Reader);
    auto io = std::make_unique<TIo>(api_);
    io->read.hEvent = api_.CreateEventA(nullptr, TRUE, TRUE, nullptr);
    if (io->read.hEvent) io->wait.hEvent = api_.CreateEventA(nullptr, TRUE, TRUE, nullptr);

    if (!io->read.hEvent || !io->wait.hEvent) {
        PostHangup();
    } else if (!api_.SetCommMask(PortHandle, kWatchedEvents)) {
        PostHangup();
    } else if (StartCommWait(*io) && StartRead(*io)) {
        const HANDLE handles[3] = {CloseEvent, io->wait.hEvent, io->read.hEvent};
        for (;;) {
            const DWORD signalled = api_.WaitForMultipleObjects(3, handles, FALSE, INFINITE);
            if (signalled == WAIT_OBJECT_0) break;
            if (signalled == WAIT_OBJECT_0 + 1) {
                io->waitPending = false;
                if (!HandleCommEvent(*io, true) || !StartCommWait(*io)) break;
            } else if (signalled == WAIT_OBJECT_0 + 2) {
                io->readPending = false;
                if (!FinishRead(*io) || !StartRead(*io)) break;
            } else {
                PostHangup();
                break;
            }
        }
    }

    CancelPending(*io);
    api_.PurgeComm(PortHandle, PURGE_RXABORT | PURGE_RXCLEAR);
    if (!io->Settled(0)) Unsettled = std::move(io);
}

bool TReadThread::StartRead(TIo& io) {
    for (;;) {
        if (Closing->load()) return false;
        if (api_.ReadFile(PortHandle, io.buffer, kReadChunk, &io.count, &io.read)) {
            if (!Deliver(io.buffer, io.count)) return false;
            continue;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING) {
            io.readPending = true;
            return true;
        }
        if (error == ERROR_TIMEOUT) {
            if (io.count != 0 && !Deliver(io.buffer, io.count)) return false;
            continue;
        }
        if (error != ERROR_INVALID_HANDLE) PostHangup();
        return false;
    }
}

bool TReadThread::FinishRead(TIo& io) {
    if (api_.GetOverlappedResult(PortHandle, &io.read, &io.count, FALSE)) return Deliver(io.buffer, io.count);
    const DWORD error = GetLastError();
    // Some drivers (Wine's among them, while a write is under way) end a read by its time-out with an
    // error where Windows gives a short read. The line is fine: take what came and read on.
    if (error == ERROR_TIMEOUT) return io.count == 0 || Deliver(io.buffer, io.count);
    if (error != ERROR_INVALID_HANDLE) PostHangup();
    return false;
}

bool TReadThread::Deliver(const BYTE* buffer, DWORD count) {
    if (count == 0) return false;
    auto* block = static_cast<BYTE*>(api_.LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, count + 1));
    if (!block) {
        PostHangup();
        return false;
    }
    std::memcpy(block, buffer, count);
    block[count] = 0;
    if (!api_.PostMessageA(NotifyWindow, UM_RECEIVEDATA, count, reinterpret_cast<LPARAM>(block))) {
        api_.LocalFree(block);
        PostHangup();
        return false;
    }
    return true;
}

bool TReadThread::StartCommWait(TIo& io) {
    for (;;) {
        if (Closing->load()) return false;
        if (api_.WaitCommEvent(PortHandle, &io.mask, &io.wait)) {
            if (!HandleCommEvent(io, false)) return false;
            continue;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING) {
            io.waitPending = true;
            return true;
        }
        if (error != ERROR_INVALID_HANDLE) PostHangup();
        return false;
    }
}

bool TReadThread::HandleCommEvent(TIo& io, bool pending) {
    if (pending) {
        DWORD unused = 0;
        if (!api_.GetOverlappedResult(PortHandle, &io.wait, &unused, FALSE)) {
            if (GetLastError() != ERROR_INVALID_HANDLE) PostHangup();
            return false;
        }
    }
    bool result = false;
    if (io.mask & EV_ERR) {
        DWORD errors = 0;
        if (!api_.ClearCommError(PortHandle, &errors, nullptr)) {
            if (GetLastError() != ERROR_INVALID_HANDLE) PostHangup();
            return false;
        }
        if (!api_.PostMessageA(NotifyWindow, UM_RECEIVEERROR, 0, static_cast<LPARAM>(errors))) {
            PostHangup();
            return false;
        }
        result = true;
    }
    const DWORD modem = ((io.mask & EV_RLSD) ? kModemCarrier : 0) | ((io.mask & EV_RING) ? kModemRing : 0);
    if (modem != 0) {
        if (!api_.PostMessageA(NotifyWindow, UM_MODEMSTATECHANGE, 0, static_cast<LPARAM>(modem))) {
            PostHangup();
            return false;
        }
        result = true;
    }
    if ((io.mask & kWatchedEvents) == 0) PostHangup();
    return result;
}

// Asks the system to end what is still outstanding: a comm-event wait ends when the mask changes, a
// read is cancelled. Whether they have ended is not waited for here.
void TReadThread::CancelPending(TIo& io) {
    if (io.waitPending) {
        api_.SetCommMask(PortHandle, 0);
        api_.CancelIoEx(PortHandle, &io.wait);
    }
    if (io.readPending) api_.CancelIoEx(PortHandle, &io.read);
}

// ---------------------------------------------------------------------------------------------------
// Writer

TWriteThread::TWriteThread(TCommsApi& api) : api_(api) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready_) throw EThread(L"Cannot create the writer's start event");
}

TWriteThread::~TWriteThread() {
    StopAndWait();
    CloseHandle(ready_);
}

void TWriteThread::PostHangup() {
    api_.PostMessageA(NotifyWindow, UM_REQUESTHANGUP, 0, 0);
}

void TWriteThread::WaitUntilReady(DWORD milliseconds) {
    const HANDLE handles[2] = {ready_, Handle()};
    WaitForMultipleObjects(2, handles, FALSE, milliseconds);
}

bool TWriteThread::PostBlock(std::uint16_t count, void* block) {
    std::lock_guard<std::mutex> lock(postLock_);
    if (!taking_) return false;
    return api_.PostThreadMessageA(ThreadID(), UM_WRITEDATA, count, reinterpret_cast<LPARAM>(block)) != FALSE;
}

// From here on no post can reach the queue, so the drain below sees every block still in it.
void TWriteThread::StopTakingBlocks() {
    std::lock_guard<std::mutex> lock(postLock_);
    taking_ = false;
}

// The record of the write under way, and its block while the system may still read it.
struct TWriteThread::TIo : TIoRecords {
    using TIoRecords::TIoRecords;
    ~TIo() override {
        if (block) api_.LocalFree(block);
        if (record.hEvent) api_.CloseHandle(record.hEvent);
    }
    std::vector<HANDLE> Outstanding() const override {
        if (!pending) return {};
        return {record.hEvent};
    }

    OVERLAPPED record{};
    HLOCAL block = nullptr;
    bool pending = false;
};

void TWriteThread::Execute() {
    api_.ThreadStarted(TCommThreadKind::Writer);
    auto io = std::make_unique<TIo>(api_);
    io->record.hEvent = api_.CreateEventA(nullptr, TRUE, TRUE, nullptr);

    // The queue exists once the thread has peeked at it; only then can WriteData post.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    if (io->record.hEvent) {
        std::lock_guard<std::mutex> lock(postLock_);
        taking_ = true;
    }
    SetEvent(ready_);

    if (!io->record.hEvent) {
        PostHangup();
    } else {
        bool notify = true;
        for (;;) {
            if (!api_.PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                SendEmpty->store(true);
                if (notify && !api_.PostMessageA(NotifyWindow, UM_SENDDATAEMPTY, 0, 0)) {
                    PostHangup();
                    break;
                }
                notify = false;
                const DWORD woke =
                    api_.MsgWaitForMultipleObjects(1, &CloseEvent, FALSE, INFINITE, QS_ALLINPUT);
                if (woke == WAIT_OBJECT_0) break;
                if (woke == WAIT_OBJECT_0 + 1) continue;
                PostHangup();
                break;
            }
            const bool isBlock = msg.hwnd == nullptr && msg.message == UM_WRITEDATA;
            if (Closing->load()) {
                if (isBlock) api_.LocalFree(reinterpret_cast<HLOCAL>(msg.lParam));
                break;
            }
            if (msg.hwnd != nullptr) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                continue;
            }
            if (!isBlock) continue;
            io->block = reinterpret_cast<HLOCAL>(msg.lParam);
            const bool written = WriteBlock(*io, static_cast<DWORD>(msg.wParam));
            // A write left outstanding keeps its block with its record.
            if (io->pending) break;
            api_.LocalFree(io->block);
            io->block = nullptr;
            if (!written) break;
            notify = true;
        }
    }

    StopTakingBlocks();
    while (api_.PeekMessageA(&msg, nullptr, UM_WRITEDATA, UM_WRITEDATA, PM_REMOVE))
        if (msg.hwnd == nullptr) api_.LocalFree(reinterpret_cast<HLOCAL>(msg.lParam));
    api_.PurgeComm(PortHandle, PURGE_TXABORT | PURGE_TXCLEAR);
    SendEmpty->store(true);
    if (!io->Settled(0)) Unsettled = std::move(io);
}

// True when all `count` bytes of the block are out. A write the close event interrupts is cancelled
// and left to settle (io.pending stays set).
bool TWriteThread::WriteBlock(TIo& io, DWORD count) {
    const auto* data = static_cast<const BYTE*>(io.block);
    const HANDLE handles[2] = {CloseEvent, io.record.hEvent};
    DWORD offset = 0;
    DWORD remaining = count;
    while (remaining > 0) {
        DWORD written = 0;
        if (!api_.WriteFile(PortHandle, data + offset, remaining, &written, &io.record)) {
            const DWORD error = GetLastError();
            if (error == ERROR_INVALID_HANDLE) return false;
            if (error != ERROR_IO_PENDING) {
                PostHangup();
                return false;
            }
            io.pending = true;
            const DWORD signalled = api_.WaitForMultipleObjects(2, handles, FALSE, INFINITE);
            if (signalled != WAIT_OBJECT_0 + 1) {
                if (signalled != WAIT_OBJECT_0) PostHangup();
                api_.CancelIoEx(PortHandle, &io.record);
                return false;
            }
            io.pending = false;
            if (!api_.GetOverlappedResult(PortHandle, &io.record, &written, TRUE)) {
                if (GetLastError() != ERROR_INVALID_HANDLE) PostHangup();
                return false;
            }
        }
        // A write that moves nothing would be retried for ever.
        if (written == 0 || written > remaining) {
            PostHangup();
            return false;
        }
        remaining -= written;
        offset += written;
    }
    return true;
}
