// The USB transport: command frames out through usb.dll, replies back into ReplyHex, the waits
// that let the window run meanwhile, and the log lines of the standard reply report.
#include "Unit1.h"

#include <console_core/clock_text.h>
#include <console_core/hex_text.h>

#include <windows.h>

#include <array>
#include <cstdint>
#include <set>
#include <vector>

namespace {

using HidWriteData = int(WINAPI*)(int device, int length, const unsigned char* bytes);
using HidReadData = int(WINAPI*)(int device, int length, unsigned char* buffer);

// The reader's library keeps the reader's state between calls, so once loaded it stays loaded
// for the life of the process; it is looked up anew on every exchange, so a library put in place
// while the program runs is found.
class LoadedLibraries {
public:
    ~LoadedLibraries() {
        for (HMODULE module : held_) FreeLibrary(module);
    }
    HMODULE Load(const String& name) {
        HMODULE module = LoadLibraryW(name.c_str());
        if (module && !held_.insert(module).second) FreeLibrary(module); // already held once
        return module;
    }

private:
    std::set<HMODULE> held_;
};

LoadedLibraries& Libraries() {
    static LoadedLibraries libraries;
    return libraries;
}

template <class F> F EntryPoint(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

} // namespace

String TForm1::checkdata(const String& text) const {
    return core::checkdata(text);
}

String TForm1::Getchr(const String& hex) const {
    // Text that does not decode is shown as its hex digits.
    return core::Getchr(hex).value_or(core::HexFilter(hex));
}

String TForm1::cwdate(const String& text) const {
    return core::cwdate(text);
}

String TForm1::falsereason(const String& code) const {
    return core::falsereason(code);
}

void TForm1::Send(const String& command) {
    SendHex(core::SendFrameText(setadd->Text(), command));
}

bool TForm1::ExchangeWithReader(const std::vector<std::uint8_t>& frame) {
    HMODULE library = Libraries().Load(UsbLibraryName);
    const auto hidWriteData = EntryPoint<HidWriteData>(library, "hidWriteData");
    const auto hidReadData = EntryPoint<HidReadData>(library, "hidReadData");

    // A missing library or entry point, and a frame too long for the send buffer, take the path
    // of a failed write.
    const bool written =
        hidWriteData && hidReadData && frame.size() <= core::SendBufferBytes &&
        hidWriteData(0, static_cast<int>(frame.size()), frame.data()) == static_cast<int>(frame.size());
    if (!written) {
        ReplyHex.clear();
        return false;
    }

    std::array<std::uint8_t, core::ReceiveBufferBytes> received{};
    const int delivered = hidReadData(0, static_cast<int>(core::ReadRequestBytes), received.data());
    ReplyHex = core::ReplyHexFromRead(std::span(received.data(), core::ReadRequestBytes), delivered);
    return true;
}

void TForm1::SendHex(const String& frame) {
    RefuseWhileAwaitingReply();
    if (!ExchangeWithReader(core::FrameTextToBytes(frame))) {
        AddLog(String(core::DeviceConnectionErrorText));
        return;
    }
    if (RadioButton4->Checked()) AddLog(L"Receive..." + ReplyHex);
}

void TForm1::RefuseWhileAwaitingReply() {
    if (ReplyWaits == 0) return;
    AddLog(String(core::BusyText) + TimeStamp() + String(core::LineEnd));
    Abort();
}

int TForm1::Delay(int ms) {
    struct Waiting {
        int& count;
        explicit Waiting(int& c) : count(c) { ++count; }
        ~Waiting() { --count; }
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;
    } waiting(ReplyWaits);
    const DWORD start = GetTickCount();
    // Messages are handled at least once, even when the reply is already there.
    Application->ProcessMessages();
    const int elapsed = static_cast<int>(GetTickCount() - start);
    if (ReplyHex.empty() && elapsed < ms)
        WaitMessagesFor(static_cast<unsigned>(ms - elapsed), [] { return !ReplyHex.empty(); });
    return static_cast<int>(ReplyHex.size());
}

void TForm1::Delayy(int ms) {
    if (ms <= 0) {
        Application->ProcessMessages();
        return;
    }
    WaitMessagesFor(static_cast<unsigned>(ms), [] { return false; });
}

void TForm1::AddLog(const String& line) {
    RichEdit1->Lines()->Add(line);
}

String TForm1::TimeStamp() const {
    return core::TimeStampText(core::LocalClockTime());
}

core::ReplyKind TForm1::ReportReply(const core::ReplyReportRow& row) {
    const core::ReplyReport report = core::StandardReplyReport(ReplyHex, TimeStamp(), row);
    for (const std::wstring& line : report.lines) AddLog(line);
    return report.kind;
}

core::ReplyKind TForm1::SendAndReport(const String& command, int waitMs, const core::ReplyReportRow& row) {
    Send(command);
    Delay(waitMs);
    return ReportReply(row);
}

bool TForm1::KeepRepeating(const TCheckBox* box) const {
    return box && box->Checked() && !Application->Terminated();
}
