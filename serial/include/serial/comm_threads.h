// The two worker threads of an open TComm. They share only the port handle, the close event, the
// component's hidden window (the target of every post) and the send-empty flag; data crosses in
// posted blocks that belong to the receiver once the post succeeds.
#pragma once

#include <framework/classes.h>

#include <serial/comms_api.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Both threads stop when the close event is signalled. The component raises `Closing` just before it
// signals the event, so that the checks between operations need no system call: under Wine every wait,
// even one that does not block, is a round trip to the server, and one per block halves the throughput.

// The records of a thread's overlapped operations and the memory the system reads or writes for them.
// A thread ends without waiting for what it cancelled: a driver may finish a cancel late or never.
// Records still outstanding then outlive the thread; the component frees them once closing the port
// has ended their operations.
class TIoRecords {
public:
    explicit TIoRecords(TCommsApi& api) : api_(api) {}
    TIoRecords(const TIoRecords&) = delete;
    TIoRecords& operator=(const TIoRecords&) = delete;
    virtual ~TIoRecords() = default;

    // True once no operation started with these records is outstanding, waiting up to `milliseconds`.
    bool Settled(DWORD milliseconds);

protected:
    // The events of the records whose operations may still be outstanding.
    virtual std::vector<HANDLE> Outstanding() const = 0;
    TCommsApi& api_;
};

// Keeps one overlapped read and one overlapped comm-event wait outstanding and posts what they bring
// to the hidden window: received blocks, line errors, modem events, and a hang-up when it fails.
class TReadThread : public TThread {
public:
    explicit TReadThread(TCommsApi& api);
    ~TReadThread() override;

    HANDLE PortHandle = nullptr;
    HANDLE CloseEvent = nullptr;
    const std::atomic<bool>* Closing = nullptr;
    HWND NotifyWindow = nullptr;
    // After the thread has ended: what it left outstanding, or nullptr.
    std::unique_ptr<TIoRecords> Unsettled;

protected:
    void Execute() override;

private:
    struct TIo;
    bool StartRead(TIo& io);
    bool FinishRead(TIo& io);
    bool Deliver(const BYTE* buffer, DWORD count);
    bool StartCommWait(TIo& io);
    bool HandleCommEvent(TIo& io, bool pending);
    void CancelPending(TIo& io);
    void PostHangup();

    TCommsApi& api_;
};

// Takes blocks from its own message queue and writes each one completely; reports an empty queue
// once after every run of writes (and once at start).
class TWriteThread : public TThread {
public:
    explicit TWriteThread(TCommsApi& api);
    ~TWriteThread() override;

    HANDLE PortHandle = nullptr;
    HANDLE CloseEvent = nullptr;
    const std::atomic<bool>* Closing = nullptr;
    HWND NotifyWindow = nullptr;
    std::atomic<bool>* SendEmpty = nullptr;
    // After the thread has ended: a write it left outstanding with its block, or nullptr.
    std::unique_ptr<TIoRecords> Unsettled;

    // After Start: returns once the thread's queue takes posts, or the thread has ended.
    void WaitUntilReady(DWORD milliseconds);
    // Hands a block (count bytes and a zero byte) to the thread. True: the thread owns it now and frees
    // it; false: the caller still owns it. Fails once the thread has stopped taking blocks.
    bool PostBlock(std::uint16_t count, void* block);

protected:
    void Execute() override;

private:
    struct TIo;
    bool WriteBlock(TIo& io, DWORD count);
    void StopTakingBlocks();
    void PostHangup();

    TCommsApi& api_;
    HANDLE ready_ = nullptr;
    std::mutex postLock_;
    bool taking_ = false; // guarded by postLock_
};
