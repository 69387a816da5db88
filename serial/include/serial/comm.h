// TComm: a serial port opened for overlapped input and output, its line settings as published
// properties, received bytes and line events raised as events on the main thread, and a writer thread
// that takes the bytes to send.
#pragma once

#include <framework/classes.h>
#include <framework/typinfo.h>

#include <serial/comms_api.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TReadThread;
class TWriteThread;
class TIoRecords;

// Window messages the worker threads post to the hidden window, and the thread message that carries a
// block to the writer. Data messages carry the byte count in wParam and the block in lParam.
enum : UINT {
    UM_RECEIVEDATA = WM_USER + 1,
    UM_RECEIVEERROR = WM_USER + 2,
    UM_REQUESTHANGUP = WM_USER + 3,
    UM_MODEMSTATECHANGE = WM_USER + 4,
    UM_SENDDATAEMPTY = WM_USER + 5,
    UM_WRITEDATA = WM_USER + 1,
};

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize { _5, _6, _7, _8 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// Buffer holds BufferLength bytes and a zero byte behind them, valid only during the call.
using TReceiveDataEvent = std::function<void(TObject* Sender, void* Buffer, std::uint16_t BufferLength)>;
// EventMask: the port's error flags as ClearCommError gives them.
using TReceiveErrorEvent = std::function<void(TObject* Sender, std::uint32_t EventMask)>;
// ModemEvent: 8 carrier detect changed, 4 ring, or both.
using TModemStateChangeEvent = std::function<void(TObject* Sender, std::uint32_t ModemEvent)>;
using TSendDataEmptyEvent = TNotifyEvent;

// Every failure of OpenPort; the message is one of the texts OpenPort documents.
FRAMEWORK_EXCEPTION(ECommsError, Exception);

class TComm : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TComm(TComponent* AOwner);
    // Closes an open port first.
    ~TComm() override;

    // Opens CommName and starts both threads, or throws ECommsError and leaves nothing open:
    // "This serial port already opened", "the com is not exist!...", "File handle is not a comm handle ",
    // "Cannot setup comm buffer", "Unable to create event", "Unable to create read thread",
    // "Unable to create write thread". Returns once the writer takes blocks.
    void OpenPort();
    // Stops the reader, then the writer, then closes the port; nothing when closed.
    void ClosePort();
    // Copies the bytes and queues them for the writer. False when closed, for 0 bytes, or when the
    // block could not be allocated or queued.
    bool WriteData(const void* bytes, std::uint16_t length);

    // The open port, nullptr while closed.
    HANDLE Handle() const { return port_; }
    // True while no written block is pending.
    bool SendDataEmpty() const { return sendEmpty_.load(); }
    // The calls the component makes; tests hand in a stand-in. Only while closed.
    void SetCommsApi(TCommsApi& api);

    const String& CommName() const { return commName_; }
    // Used by the next OpenPort; an open port stays on its device.
    void SetCommName(const String& value) { commName_ = value; }
    std::uint32_t BaudRate() const { return baudRate_; }
    void SetBaudRate(std::uint32_t value) { SetLineSetting(baudRate_, value); }
    bool ParityCheck() const { return parityCheck_; }
    void SetParityCheck(bool value) { SetLineSetting(parityCheck_, value); }
    bool Outx_CtsFlow() const { return outxCtsFlow_; }
    void SetOutx_CtsFlow(bool value) { SetLineSetting(outxCtsFlow_, value); }
    bool Outx_DsrFlow() const { return outxDsrFlow_; }
    void SetOutx_DsrFlow(bool value) { SetLineSetting(outxDsrFlow_, value); }
    TDtrControl DtrControl() const { return dtrControl_; }
    void SetDtrControl(TDtrControl value) { SetLineSetting(dtrControl_, value); }
    bool DsrSensitivity() const { return dsrSensitivity_; }
    void SetDsrSensitivity(bool value) { SetLineSetting(dsrSensitivity_, value); }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    void SetTxContinueOnXoff(bool value) { SetLineSetting(txContinueOnXoff_, value); }
    bool Outx_XonXoffFlow() const { return outxXonXoffFlow_; }
    void SetOutx_XonXoffFlow(bool value) { SetLineSetting(outxXonXoffFlow_, value); }
    bool Inx_XonXoffFlow() const { return inxXonXoffFlow_; }
    void SetInx_XonXoffFlow(bool value) { SetLineSetting(inxXonXoffFlow_, value); }
    bool ReplaceWhenParityError() const { return replaceWhenParityError_; }
    void SetReplaceWhenParityError(bool value) { SetLineSetting(replaceWhenParityError_, value); }
    bool IgnoreNullChar() const { return ignoreNullChar_; }
    void SetIgnoreNullChar(bool value) { SetLineSetting(ignoreNullChar_, value); }
    TRtsControl RtsControl() const { return rtsControl_; }
    void SetRtsControl(TRtsControl value) { SetLineSetting(rtsControl_, value); }
    std::uint16_t XonLimit() const { return xonLimit_; }
    void SetXonLimit(std::uint16_t value) { SetLineSetting(xonLimit_, value); }
    std::uint16_t XoffLimit() const { return xoffLimit_; }
    void SetXoffLimit(std::uint16_t value) { SetLineSetting(xoffLimit_, value); }
    TByteSize ByteSize() const { return byteSize_; }
    void SetByteSize(TByteSize value) { SetLineSetting(byteSize_, value); }
    TParity Parity() const { return parity_; }
    // Stored only: reaches the port with the next OpenPort or the next re-apply for another setting.
    void SetParity(TParity value) { parity_ = value; }
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value) { SetLineSetting(stopBits_, value); }
    std::uint8_t XonChar() const { return xonChar_; }
    void SetXonChar(std::uint8_t value) { SetLineSetting(xonChar_, value); }
    std::uint8_t XoffChar() const { return xoffChar_; }
    void SetXoffChar(std::uint8_t value) { SetLineSetting(xoffChar_, value); }
    std::uint8_t ReplacedChar() const { return replacedChar_; }
    void SetReplacedChar(std::uint8_t value) { SetLineSetting(replacedChar_, value); }
    std::uint32_t ReadIntervalTimeout() const { return readIntervalTimeout_; }
    void SetReadIntervalTimeout(std::uint32_t value) { SetTimeout(readIntervalTimeout_, value); }
    std::uint32_t ReadTotalTimeoutMultiplier() const { return readTotalTimeoutMultiplier_; }
    void SetReadTotalTimeoutMultiplier(std::uint32_t value) {
        SetTimeout(readTotalTimeoutMultiplier_, value);
    }
    std::uint32_t ReadTotalTimeoutConstant() const { return readTotalTimeoutConstant_; }
    void SetReadTotalTimeoutConstant(std::uint32_t value) { SetTimeout(readTotalTimeoutConstant_, value); }
    std::uint32_t WriteTotalTimeoutMultiplier() const { return writeTotalTimeoutMultiplier_; }
    void SetWriteTotalTimeoutMultiplier(std::uint32_t value) {
        SetTimeout(writeTotalTimeoutMultiplier_, value);
    }
    std::uint32_t WriteTotalTimeoutConstant() const { return writeTotalTimeoutConstant_; }
    void SetWriteTotalTimeoutConstant(std::uint32_t value) { SetTimeout(writeTotalTimeoutConstant_, value); }

    TReceiveDataEvent OnReceiveData;
    TNotifyEvent OnRequestHangup;
    TReceiveErrorEvent OnReceiveError;
    TModemStateChangeEvent OnModemStateChange;
    TSendDataEmptyEvent OnSendDataEmpty;

private:
    template <class T> void SetLineSetting(T& field, T value) {
        if (field == value) return;
        field = value;
        if (port_) ApplyCommState();
    }
    void SetTimeout(std::uint32_t& field, std::uint32_t value) {
        if (field == value) return;
        field = value;
        if (port_) ApplyCommTimeouts();
    }
    void ApplyCommState();
    void ApplyCommTimeouts();
    void StopReadThread();
    void StopWriteThread();
    void ReleaseSettledIo(DWORD milliseconds);
    void CommWindowProc(TMessage& Message);
    void FreeUndeliveredBlocks();
    [[noreturn]] void FailOpen(const wchar_t* message);

    TCommsApi* api_ = &TCommsApi::System();
    std::unique_ptr<TReadThread> readThread_;
    std::unique_ptr<TWriteThread> writeThread_;
    // Operations the threads cancelled that had not ended when they did, with their memory.
    std::vector<std::unique_ptr<TIoRecords>> unsettled_;
    HANDLE port_ = nullptr;
    HANDLE closeEvent_ = nullptr;
    std::atomic<bool> closing_{false}; // raised just before closeEvent_ is signalled
    HWND window_ = nullptr;
    std::atomic<bool> sendEmpty_{true};

    String commName_ = L"COM2";
    std::uint32_t baudRate_ = 9600;
    bool parityCheck_ = false;
    bool outxCtsFlow_ = false;
    bool outxDsrFlow_ = false;
    TDtrControl dtrControl_ = TDtrControl::DtrEnable;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = true;
    bool outxXonXoffFlow_ = true;
    bool inxXonXoffFlow_ = true;
    bool replaceWhenParityError_ = false;
    bool ignoreNullChar_ = false;
    TRtsControl rtsControl_ = TRtsControl::RtsEnable;
    std::uint16_t xonLimit_ = 500;
    std::uint16_t xoffLimit_ = 500;
    TByteSize byteSize_ = TByteSize::_8;
    TParity parity_ = TParity::None;
    TStopBits stopBits_ = TStopBits::_1;
    std::uint8_t xonChar_ = 0x11;
    std::uint8_t xoffChar_ = 0x13;
    std::uint8_t replacedChar_ = 0x00;
    std::uint32_t readIntervalTimeout_ = 100;
    std::uint32_t readTotalTimeoutMultiplier_ = 0;
    std::uint32_t readTotalTimeoutConstant_ = 0;
    std::uint32_t writeTotalTimeoutMultiplier_ = 0;
    std::uint32_t writeTotalTimeoutConstant_ = 0;
};
