#include <serial/comm.h>

#include <serial/comm_threads.h>

#include <framework/sysutils.h>

#include <cstddef>
#include <cstring>

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kStopWaitMs = 10000;
// How long ClosePort waits, once the port is closed, for the operations the threads left outstanding.
// Closing ends them at once on every system we know; what a driver finishes later is freed later.
constexpr DWORD kSettleMs = 100;
constexpr DWORD kLastSettleMs = 1000;

// The DCB keeps its flags as bit fields in the word after BaudRate.
constexpr std::size_t kDcbFlagsOffset = offsetof(DCB, BaudRate) + sizeof(DWORD);
static_assert(offsetof(DCB, wReserved) == kDcbFlagsOffset + sizeof(DWORD));

} // namespace

TComm::TComm(TComponent* AOwner) : TComponent(AOwner) {}

TComm::~TComm() {
    ClosePort();
    // What never settles stays allocated: the system may still write into it.
    ReleaseSettledIo(kLastSettleMs);
    for (auto& records : unsettled_) (void)records.release();
    if (window_) {
        FreeUndeliveredBlocks();
        DeallocateHWnd(window_);
    }
}

void TComm::SetCommsApi(TCommsApi& api) {
    if (port_) throw ECommsError(L"This serial port already opened");
    api_ = &api;
}

void TComm::FailOpen(const wchar_t* message) {
    throw ECommsError(message);
}

void TComm::OpenPort() {
    if (port_) FailOpen(L"This serial port already opened");
    ReleaseSettledIo(0);
    // The threads report through a window of the opening thread; a form that never opens its port
    // (most starts of the program) need not make one.
    if (!window_) window_ = AllocateHWnd([this](TMessage& message) { CommWindowProc(message); });

    const std::string name = WideToAnsi(commName_, CP_ACP);
    HANDLE port = api_->CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) FailOpen(L"the com is not exist!...");
    if (api_->GetFileType(port) != FILE_TYPE_CHAR) {
        api_->CloseHandle(port);
        FailOpen(L"File handle is not a comm handle ");
    }
    if (!api_->SetupComm(port, kQueueSize, kQueueSize)) {
        api_->CloseHandle(port);
        FailOpen(L"Cannot setup comm buffer");
    }

    port_ = port;
    api_->PurgeComm(port_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    sendEmpty_ = true;
    ApplyCommTimeouts();
    ApplyCommState();

    closing_ = false;
    closeEvent_ = api_->CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!closeEvent_) {
        api_->CloseHandle(port_);
        port_ = nullptr;
        FailOpen(L"Unable to create event");
    }

    try {
        api_->BeforeThreadCreate(TCommThreadKind::Reader);
        readThread_ = std::make_unique<TReadThread>(*api_);
    } catch (...) {
        readThread_.reset();
        api_->CloseHandle(closeEvent_);
        closeEvent_ = nullptr;
        api_->CloseHandle(port_);
        port_ = nullptr;
        FailOpen(L"Unable to create read thread");
    }
    readThread_->PortHandle = port_;
    readThread_->CloseEvent = closeEvent_;
    readThread_->Closing = &closing_;
    readThread_->NotifyWindow = window_;
    readThread_->SetPriority(tpHighest);

    try {
        api_->BeforeThreadCreate(TCommThreadKind::Writer);
        writeThread_ = std::make_unique<TWriteThread>(*api_);
    } catch (...) {
        StopReadThread();
        writeThread_.reset();
        api_->CloseHandle(closeEvent_);
        closeEvent_ = nullptr;
        api_->CloseHandle(port_);
        port_ = nullptr;
        ReleaseSettledIo(kSettleMs);
        FailOpen(L"Unable to create write thread");
    }
    writeThread_->PortHandle = port_;
    writeThread_->CloseEvent = closeEvent_;
    writeThread_->Closing = &closing_;
    writeThread_->NotifyWindow = window_;
    writeThread_->SendEmpty = &sendEmpty_;
    writeThread_->SetPriority(tpHigher);

    readThread_->Start();
    writeThread_->Start();
    // A WriteData right after OpenPort must find the writer's queue in place.
    writeThread_->WaitUntilReady(kStopWaitMs);
}

void TComm::ClosePort() {
    if (!port_) {
        ReleaseSettledIo(0);
        return;
    }
    StopReadThread();
    StopWriteThread();
    api_->CloseHandle(closeEvent_);
    closeEvent_ = nullptr;
    // Closing the port ends whatever the threads cancelled and the driver has not finished.
    api_->CloseHandle(port_);
    port_ = nullptr;
    ReleaseSettledIo(kSettleMs);
}

namespace {

// Ends a worker thread: a thread that never ran ends without running its body. Keeps what it left
// outstanding.
template <class TWorker>
void EndThread(std::unique_ptr<TWorker>& thread, std::vector<std::unique_ptr<TIoRecords>>& unsettled) {
    if (thread->Suspended()) {
        thread->Terminate();
        thread->Start();
    }
    if (WaitForSingleObject(thread->Handle(), kStopWaitMs) == WAIT_TIMEOUT) thread->Terminate();
    thread->WaitFor();
    if (thread->Unsettled) unsettled.push_back(std::move(thread->Unsettled));
    thread.reset();
}

} // namespace

void TComm::StopReadThread() {
    if (!readThread_) return;
    closing_ = true;
    SetEvent(closeEvent_);
    api_->PurgeComm(port_, PURGE_RXABORT | PURGE_RXCLEAR);
    EndThread(readThread_, unsettled_);
}

void TComm::StopWriteThread() {
    if (!writeThread_) return;
    closing_ = true;
    SetEvent(closeEvent_);
    api_->PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR);
    sendEmpty_ = true;
    EndThread(writeThread_, unsettled_);
}

// Frees the records whose operations have ended, waiting up to `milliseconds` in all.
void TComm::ReleaseSettledIo(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    std::erase_if(unsettled_, [&](const std::unique_ptr<TIoRecords>& records) {
        const ULONGLONG now = GetTickCount64();
        return records->Settled(now < end ? static_cast<DWORD>(end - now) : 0);
    });
}

bool TComm::WriteData(const void* bytes, std::uint16_t length) {
    if (!writeThread_ || length == 0) return false;
    void* block = api_->LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, std::size_t(length) + 1);
    if (!block) return false;
    std::memcpy(block, bytes, length);
    // Cleared before the post: the writer may finish the block before this thread runs again.
    const bool wasEmpty = sendEmpty_.exchange(false);
    if (!writeThread_->PostBlock(length, block)) {
        api_->LocalFree(block);
        sendEmpty_ = wasEmpty || writeThread_->Finished();
        return false;
    }
    return true;
}

void TComm::ApplyCommState() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    api_->GetCommState(port_, &dcb);
    dcb.BaudRate = baudRate_;

    const struct {
        bool on;
        DWORD bit;
    } flags[] = {
        {true, 0x1}, // fBinary
        {parityCheck_, 0x2},
        {outxCtsFlow_, 0x4},
        {outxDsrFlow_, 0x8},
        {dtrControl_ == TDtrControl::DtrEnable, 0x10},
        {dtrControl_ == TDtrControl::DtrHandshake, 0x20},
        {dsrSensitivity_, 0x40},
        {txContinueOnXoff_, 0x80},
        {outxXonXoffFlow_, 0x100},
        {inxXonXoffFlow_, 0x200},
        {replaceWhenParityError_, 0x400},
        {ignoreNullChar_, 0x800},
        {rtsControl_ == TRtsControl::RtsEnable, 0x1000},
        {rtsControl_ == TRtsControl::RtsHandshake, 0x2000},
        {rtsControl_ == TRtsControl::RtsTransmissionAvailable, 0x3000},
    };
    DWORD word = 0;
    for (const auto& flag : flags)
        if (flag.on) word |= flag.bit;
    std::memcpy(reinterpret_cast<BYTE*>(&dcb) + kDcbFlagsOffset, &word, sizeof word);

    dcb.XonLim = xonLimit_;
    dcb.XoffLim = xoffLimit_;
    dcb.ByteSize = static_cast<BYTE>(static_cast<int>(byteSize_) + 5);
    dcb.Parity = static_cast<BYTE>(parity_);
    dcb.StopBits = static_cast<BYTE>(stopBits_);
    dcb.XonChar = static_cast<char>(xonChar_);
    dcb.XoffChar = static_cast<char>(xoffChar_);
    dcb.ErrorChar = static_cast<char>(replacedChar_);
    // A setting the driver refuses leaves the port as the driver keeps it.
    api_->SetCommState(port_, &dcb);
}

void TComm::ApplyCommTimeouts() {
    COMMTIMEOUTS timeouts{};
    api_->GetCommTimeouts(port_, &timeouts);
    timeouts.ReadIntervalTimeout = readIntervalTimeout_;
    timeouts.ReadTotalTimeoutMultiplier = readTotalTimeoutMultiplier_;
    timeouts.ReadTotalTimeoutConstant = readTotalTimeoutConstant_;
    timeouts.WriteTotalTimeoutMultiplier = writeTotalTimeoutMultiplier_;
    timeouts.WriteTotalTimeoutConstant = writeTotalTimeoutConstant_;
    api_->SetCommTimeouts(port_, &timeouts);
}

void TComm::CommWindowProc(TMessage& Message) {
    switch (Message.Msg) {
    case UM_RECEIVEDATA: {
        // The block is freed even when the handler throws.
        struct TBlockRelease {
            TCommsApi& api;
            void* block;
            ~TBlockRelease() { api.LocalFree(block); }
        } release{*api_, reinterpret_cast<void*>(Message.LParam)};
        if (OnReceiveData)
            OnReceiveData(this, release.block, static_cast<std::uint16_t>(Message.WParam & 0xFFFF));
        break;
    }
    case UM_RECEIVEERROR:
        if (OnReceiveError) OnReceiveError(this, static_cast<std::uint32_t>(Message.LParam));
        break;
    case UM_REQUESTHANGUP:
        if (OnRequestHangup) OnRequestHangup(this);
        break;
    case UM_MODEMSTATECHANGE:
        if (OnModemStateChange) OnModemStateChange(this, static_cast<std::uint32_t>(Message.LParam));
        break;
    case UM_SENDDATAEMPTY:
        if (OnSendDataEmpty) OnSendDataEmpty(this);
        break;
    default:
        // Creation messages come before AllocateHWnd has told us the window.
        if (window_)
            Message.Result = DefWindowProcW(window_, Message.Msg, Message.WParam, Message.LParam);
        else
            Message.Result = Message.Msg == WM_NCCREATE ? TRUE : 0;
        break;
    }
}

// Blocks the reader posted that no event will take any more: the window goes with the component.
void TComm::FreeUndeliveredBlocks() {
    MSG msg;
    while (PeekMessageW(&msg, window_, UM_RECEIVEDATA, UM_RECEIVEDATA, PM_REMOVE))
        api_->LocalFree(reinterpret_cast<HLOCAL>(msg.lParam));
}

// ---------------------------------------------------------------------------------------------------
// Published properties

namespace {

const TIdentMap DtrControlIdents{{L"DtrEnable", 0}, {L"DtrDisable", 1}, {L"DtrHandshake", 2}};
const TIdentMap RtsControlIdents{
    {L"RtsEnable", 0}, {L"RtsDisable", 1}, {L"RtsHandshake", 2}, {L"RtsTransmissionAvailable", 3}};
const TIdentMap ByteSizeIdents{{L"_5", 0}, {L"_6", 1}, {L"_7", 2}, {L"_8", 3}};
const TIdentMap ParityIdents{{L"None", 0}, {L"Odd", 1}, {L"Even", 2}, {L"Mark", 3}, {L"Space", 4}};
const TIdentMap StopBitsIdents{{L"_1", 0}, {L"_1_5", 1}, {L"_2", 2}};

// Character properties read and write one character ("#17" in a description).
template <std::uint8_t (TComm::*Get)() const, void (TComm::*Set)(std::uint8_t)>
TPropInfo CharProp(const wchar_t* name) {
    return StrProp<TComm>(
        name, [](TComm* c) { return String(1, static_cast<wchar_t>((c->*Get)())); },
        [](TComm* c, const String& v) { (c->*Set)(v.empty() ? 0 : static_cast<std::uint8_t>(v[0] & 0xFF)); });
}

} // namespace

const TClassInfo* TComm::StaticClassInfo() {
    static const TClassInfo info(
        L"TComm", TComponent::StaticClassInfo(),
        {
            StrProp<TComm>(L"CommName", &TComm::CommName, &TComm::SetCommName),
            IntProp<TComm>(L"BaudRate", &TComm::BaudRate, &TComm::SetBaudRate),
            BoolProp<TComm>(L"ParityCheck", &TComm::ParityCheck, &TComm::SetParityCheck),
            BoolProp<TComm>(L"Outx_CtsFlow", &TComm::Outx_CtsFlow, &TComm::SetOutx_CtsFlow),
            BoolProp<TComm>(L"Outx_DsrFlow", &TComm::Outx_DsrFlow, &TComm::SetOutx_DsrFlow),
            EnumProp<TComm>(L"DtrControl", &TComm::DtrControl, &TComm::SetDtrControl, DtrControlIdents),
            BoolProp<TComm>(L"DsrSensitivity", &TComm::DsrSensitivity, &TComm::SetDsrSensitivity),
            BoolProp<TComm>(L"TxContinueOnXoff", &TComm::TxContinueOnXoff, &TComm::SetTxContinueOnXoff),
            BoolProp<TComm>(L"Outx_XonXoffFlow", &TComm::Outx_XonXoffFlow, &TComm::SetOutx_XonXoffFlow),
            BoolProp<TComm>(L"Inx_XonXoffFlow", &TComm::Inx_XonXoffFlow, &TComm::SetInx_XonXoffFlow),
            BoolProp<TComm>(L"ReplaceWhenParityError", &TComm::ReplaceWhenParityError,
                            &TComm::SetReplaceWhenParityError),
            BoolProp<TComm>(L"IgnoreNullChar", &TComm::IgnoreNullChar, &TComm::SetIgnoreNullChar),
            EnumProp<TComm>(L"RtsControl", &TComm::RtsControl, &TComm::SetRtsControl, RtsControlIdents),
            IntProp<TComm>(L"XonLimit", &TComm::XonLimit, &TComm::SetXonLimit),
            IntProp<TComm>(L"XoffLimit", &TComm::XoffLimit, &TComm::SetXoffLimit),
            EnumProp<TComm>(L"ByteSize", &TComm::ByteSize, &TComm::SetByteSize, ByteSizeIdents),
            EnumProp<TComm>(L"Parity", &TComm::Parity, &TComm::SetParity, ParityIdents),
            EnumProp<TComm>(L"StopBits", &TComm::StopBits, &TComm::SetStopBits, StopBitsIdents),
            CharProp<&TComm::XonChar, &TComm::SetXonChar>(L"XonChar"),
            CharProp<&TComm::XoffChar, &TComm::SetXoffChar>(L"XoffChar"),
            CharProp<&TComm::ReplacedChar, &TComm::SetReplacedChar>(L"ReplacedChar"),
            IntProp<TComm>(L"ReadIntervalTimeout", &TComm::ReadIntervalTimeout,
                           &TComm::SetReadIntervalTimeout),
            IntProp<TComm>(L"ReadTotalTimeoutMultiplier", &TComm::ReadTotalTimeoutMultiplier,
                           &TComm::SetReadTotalTimeoutMultiplier),
            IntProp<TComm>(L"ReadTotalTimeoutConstant", &TComm::ReadTotalTimeoutConstant,
                           &TComm::SetReadTotalTimeoutConstant),
            IntProp<TComm>(L"WriteTotalTimeoutMultiplier", &TComm::WriteTotalTimeoutMultiplier,
                           &TComm::SetWriteTotalTimeoutMultiplier),
            IntProp<TComm>(L"WriteTotalTimeoutConstant", &TComm::WriteTotalTimeoutConstant,
                           &TComm::SetWriteTotalTimeoutConstant),
            EventProp<TComm>(L"OnReceiveData", &TComm::OnReceiveData),
            EventProp<TComm>(L"OnReceiveError", &TComm::OnReceiveError),
            EventProp<TComm>(L"OnModemStateChange", &TComm::OnModemStateChange),
            EventProp<TComm>(L"OnRequestHangup", &TComm::OnRequestHangup),
            EventProp<TComm>(L"OnSendDataEmpty", &TComm::OnSendDataEmpty),
        });
    return &info;
}
