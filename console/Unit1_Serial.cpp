// The page "Serial port function" of the main window: opening and closing Comm1, the log of what
// arrives on the serial line, the UHF module's mode-switch frames sent over it, and the hidden raw-send
// box with its automatic resend loop.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>
#include <framework/sysutils.h>
#include <serial/comm.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

void TForm1::RegisterSerialPage() {
    BIND_FIELD(ComboBox1);
    BIND_FIELD(ComboBox2);
    BIND_FIELD(Button1);
    BIND_FIELD(Button2);
    BIND_FIELD(Button75);
    BIND_FIELD(Button76);
    BIND_FIELD(Button77);
    BIND_FIELD(RadioButton39);
    BIND_FIELD(RadioButton40);
    BIND_FIELD(RadioButton41);
    BIND_FIELD(RadioButton42);
    BIND_FIELD(RadioButton43);
    BIND_FIELD(Edit69);
    BIND_FIELD(Edit70);
    BIND_FIELD(Edit71);
    BIND_FIELD(Edit72);
    BIND_FIELD(GroupBox5);
    BIND_FIELD(Memo1);
    BIND_FIELD(Button3);
    BIND_FIELD(Button5);
    BIND_FIELD(Button6);
    BIND_FIELD(Button7);
    BIND_FIELD(CheckBox3);
    BIND_FIELD(Edit6);
    BIND_FIELD(RadioButton37);
    BIND_FIELD(RadioButton38);
    BIND_FIELD(RadioButton18);
    BIND_FIELD(RadioButton20);

    BIND_HANDLER(Button1Click);
    BIND_HANDLER(Button2Click);
    BIND_HANDLER(ComboBox1Change);
    BIND_HANDLER(ComboBox2Change);
    BIND_HANDLER(Comm1ReceiveData);
    BIND_HANDLER(Button3Click);
    BIND_HANDLER(Button5Click);
    BIND_HANDLER(Button6Click);
    BIND_HANDLER(Button7Click);
    BIND_HANDLER(CheckBox3Click);
    BIND_HANDLER(Button75Click);
    BIND_HANDLER(Button76Click);
}

namespace {

constexpr std::wstring_view ReceivedLineText = L"232RX Data..\r";
constexpr std::wstring_view NoReplyText = L"Data error,no data recevice..   ";
constexpr std::wstring_view OtherReplyText = L"data error,please check data..   ";
constexpr std::wstring_view HidSuccessText = L"USB_HID setting success   ";
constexpr std::wstring_view HidFailureText = L"USB_HID setting false   ";
// The module's serial reply carries no reason byte, so the failure line says only what is known.
constexpr std::wstring_view HidRefusedText = L"The module refused the switch to USB HID";

constexpr std::wstring_view UsbHidFrame = L"BB 00 C2 00 01 00 C3 7E";
constexpr std::wstring_view MemoryModeHead = L"BB 00 C9 00 07 ";
constexpr std::wstring_view MemoryModeBody = L"00 C9 00 07 ";

// What one write may carry; a longer text is refused whole rather than sent cut short.
constexpr std::size_t MaxSerialFrameBytes = 50001;

constexpr int ReplyWaitMs = 300;
// The send box's own default period, used while its period box holds no usable number.
constexpr int DefaultSendPeriodMs = 1000;

constexpr std::wstring_view SingleCardMode = L"Active search for EPC number of single card";
constexpr std::wstring_view PassiveMode = L"Passive reader mode";
constexpr std::wstring_view MultipleCardsMode = L"Active search for EPC number of multiple cards";
constexpr std::wstring_view TidMode = L"Active read TID number";
constexpr std::wstring_view MemoryMode = L"Active read memory sector";

struct WorkMode {
    TRadioButton* TForm1::*button;
    std::wstring_view frame; // empty: built from the sector boxes
    std::wstring_view name;  // empty: the failure line names no mode
};

constexpr WorkMode WorkModes[] = {
    {&TForm1::RadioButton39, L"BB 00 C1 00 01 01 C3 7E", SingleCardMode},
    {&TForm1::RadioButton40, L"BB 00 C1 00 01 00 C2 7E ", PassiveMode},
    {&TForm1::RadioButton41, L"BB 00 C1 00 01 02 C4 7E", MultipleCardsMode},
    {&TForm1::RadioButton42, L"BB 00 C1 00 01 03 C5 7E ", TidMode},
    {&TForm1::RadioButton43, L"", L""},
};

// The module's codes from 8 up are error codes; below that it echoes the mode it now runs.
constexpr std::uint32_t FirstErrorCode = 8;

constexpr std::uint8_t ModuleFrameStart = 0xBB;
constexpr std::uint8_t ModuleFrameEnd = 0x7E;
// Header, type, command and the two length bytes; then the parameters, the sum and the end byte.
constexpr std::size_t ModuleFrameHead = 5;
constexpr std::size_t ModuleFrameFixed = 7;

// The first whole module frame for `command` in the bytes: the code it carries (its first parameter
// as hex, empty when it has none), or nullopt when none is there yet. A module in an active mode
// reports tags on the same line, before and after the reply, so frames of other commands and bytes
// that start no valid frame are passed over.
std::optional<String> ModuleReplyCode(const std::vector<std::uint8_t>& bytes, std::size_t from,
                                      std::uint8_t command) {
    std::size_t i = from;
    while (i < bytes.size()) {
        if (bytes[i] != ModuleFrameStart || bytes.size() - i < ModuleFrameHead) {
            ++i;
            continue;
        }
        const std::size_t length = (std::size_t(bytes[i + 3]) << 8) | bytes[i + 4];
        const std::size_t total = length + ModuleFrameFixed;
        std::uint32_t sum = 0;
        if (bytes.size() - i >= total)
            for (std::size_t k = i + 1; k < i + total - 2; ++k) sum += bytes[k];
        // A start byte inside another frame, or a frame not yet whole: look further.
        if (bytes.size() - i < total || bytes[i + total - 1] != ModuleFrameEnd ||
            bytes[i + total - 2] != (sum & 0xFF)) {
            ++i;
            continue;
        }
        if (bytes[i + 2] == command) return length ? core::HexByteText(bytes[i + ModuleFrameHead]) : String();
        i += total;
    }
    return std::nullopt;
}

// The code as a number, read as the hex it is; nullopt when the reply holds no whole code.
std::optional<std::uint32_t> ReplyCodeValue(const String& code) {
    if (code.size() != 2 || !core::IsHexDigit(code[0]) || !core::IsHexDigit(code[1])) return std::nullopt;
    return core::HexPairValue(code);
}

} // namespace

void TForm1::Button1Click(TObject*) {
    Comm1->OpenPort();
    Button1->SetEnabled(false);
    Button2->SetEnabled(true);
}

void TForm1::Button2Click(TObject*) {
    Comm1->ClosePort();
    Button2->SetEnabled(false);
    Button1->SetEnabled(true);
}

void TForm1::ComboBox1Change(TObject*) {
    Comm1->SetCommName(L"\\\\.\\" + ComboBox1->Text());
    Button2Click(Button2);
    Button1Click(Button1);
}

void TForm1::ComboBox2Change(TObject*) {
    Comm1->SetBaudRate(static_cast<std::uint32_t>(StrToInt(ComboBox2->Text())));
    Button2Click(Button2);
    Button1Click(Button1);
}

void TForm1::Comm1ReceiveData(TObject*, void* Buffer, std::uint16_t BufferLength) {
    const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
    SerialRxHex.clear();
    for (std::size_t i = 0; bytes && i < BufferLength; ++i) SerialRxHex += core::HexByteText(bytes[i]);
    if (SerialWaits > 0 && bytes) SerialReceived.insert(SerialReceived.end(), bytes, bytes + BufferLength);
    AddLog(String(ReceivedLineText) + SerialRxHex);
}

void TForm1::Send232HEX(const String& text) {
    const std::vector<std::uint8_t> bytes = core::FrameTextToBytes(text);
    if (bytes.empty() || bytes.size() > MaxSerialFrameBytes) return;
    // With the port closed nothing goes out, and the caller learns of it from the missing reply.
    Comm1->WriteData(bytes.data(), static_cast<std::uint16_t>(bytes.size()));
}

std::optional<String> TForm1::SerialExchange(const String& frame) {
    const std::vector<std::uint8_t> bytes = core::FrameTextToBytes(frame);
    // Blocks that came before the frame went out are no reply to it.
    Application->ProcessMessages();
    // A switch clicked while another waits shares the bytes; each reads from where its own wait began.
    if (SerialWaits == 0) SerialReceived.clear();
    const std::size_t from = SerialReceived.size();
    struct Waiting {
        TForm1& form;
        explicit Waiting(TForm1& f) : form(f) { ++form.SerialWaits; }
        ~Waiting() {
            if (--form.SerialWaits == 0) form.SerialReceived.clear();
        }
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;
    } waiting(*this);
    Send232HEX(frame);
    Delayy(ReplyWaitMs);
    if (bytes.size() < 3) return std::nullopt;
    return ModuleReplyCode(SerialReceived, from, bytes[2]);
}

void TForm1::Button76Click(TObject*) {
    const std::optional<String> code = SerialExchange(String(UsbHidFrame));

    const String time = TimeStamp();
    if (!code) {
        AddLog(String(NoReplyText) + time + String(core::LineEnd));
        return;
    }
    if (*code == L"00") {
        AddLog(String(HidSuccessText) + time + String(core::LineEnd));
        Button2Click(Button2);
    } else if (*code == L"01") {
        AddLog(String(HidFailureText) + time);
        AddLog(String(HidRefusedText) + String(core::LineEnd));
    } else {
        AddLog(String(OtherReplyText) + time + String(core::LineEnd));
    }
}

void TForm1::Button75Click(TObject*) {
    const WorkMode* chosen = nullptr;
    for (const WorkMode& mode : WorkModes)
        if ((this->*mode.button)->Checked()) chosen = &mode;
    if (!chosen) return;

    String frame(chosen->frame);
    if (frame.empty()) {
        const String params = Edit69->Text() + Edit70->Text() + Edit71->Text() + Edit72->Text();
        const String sum = IntToHex(adddate(String(MemoryModeBody) + params), 2);
        frame = String(MemoryModeHead) + params + sum.substr(sum.size() - 2) + L"7E";
        AddLog(frame);
    }
    const std::optional<String> reply = SerialExchange(frame);

    const String time = TimeStamp();
    if (!reply) {
        AddLog(String(NoReplyText) + time + String(core::LineEnd));
        return;
    }

    const String& code = *reply;
    std::wstring_view reported;
    if (code == L"01")
        reported = SingleCardMode;
    else if (code == L"00")
        reported = PassiveMode;
    else if (code == L"02")
        reported = MultipleCardsMode;
    else if (code == L"03" && RadioButton42->Checked())
        reported = TidMode;
    else if (code == L"03" && RadioButton43->Checked())
        reported = MemoryMode;
    // Success only when the module names a mode it now runs.
    if (!reported.empty()) {
        AddLog(L"Set " + String(reported) + L" Success" + L"   " + time);
        return;
    }

    AddLog(L"Set " + String(chosen->name) + L"false" + L"   " + time);
    const std::optional<std::uint32_t> value = ReplyCodeValue(code);
    if (value && *value >= FirstErrorCode) AddLog(falsereason(code) + String(core::LineEnd));
}

void TForm1::Button3Click(TObject*) {
    // The raw send box talks to the USB reader; the serial line has its own mode-switch buttons.
    SendHex(Memo1->Text());
    Delayy(StrToIntDef(Edit6->Text(), DefaultSendPeriodMs));
}

void TForm1::CheckBox3Click(TObject*) {
    // A click inside the loop's own waits must not start a second loop beside it.
    if (!CheckBox3->Checked() || AutomaticSendRunning) return;
    struct RunningFlag {
        bool& flag;
        explicit RunningFlag(bool& f) : flag(f) { flag = true; }
        ~RunningFlag() { flag = false; }
        RunningFlag(const RunningFlag&) = delete;
        RunningFlag& operator=(const RunningFlag&) = delete;
    } running(AutomaticSendRunning);
    while (KeepRepeating(CheckBox3)) {
        Button3Click(Button3);
        if (!KeepRepeating(CheckBox3)) break;
        Delay(StrToIntDef(Edit6->Text(), DefaultSendPeriodMs));
    }
}

void TForm1::Button6Click(TObject*) {
    OpenDialog1->SetTitle(L"载入数据！");
    if (OpenDialog1->Execute()) Memo1->Lines()->LoadFromFile(OpenDialog1->FileName());
}

void TForm1::Button5Click(TObject*) {
    SaveDialog1->SetTitle(L"保存接收数据！");
    SaveDialog1->SetFilter(L"文本文件(.txt)|*.txt");
    if (SaveDialog1->Execute()) Memo1->Lines()->SaveToFile(SaveDialog1->FileName());
}

void TForm1::Button7Click(TObject*) {
    Memo1->Clear();
}
