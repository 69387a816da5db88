// The page "UHF Write Card": the reader's work mode, and the UHF module behind reader command 0xCE:
// one inventory, reading a tag's EPC bank, and writing EPC numbers into tags one after the other,
// by hand or in an automatic loop.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>
#include <console_core/uhf.h>
#include <framework/sysutils.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

void TForm1::RegisterUhfPage() {
    BIND_FIELD(RadioButton30);
    BIND_FIELD(RadioButton31);
    BIND_FIELD(RadioButton32);
    BIND_FIELD(RadioButton33);
    BIND_FIELD(RadioButton36);
    BIND_FIELD(Edit65);
    BIND_FIELD(Edit66);
    BIND_FIELD(Edit67);
    BIND_FIELD(Edit68);
    BIND_FIELD(Button69);
    BIND_FIELD(Button72);
    BIND_FIELD(Button65);
    BIND_FIELD(Button66);
    BIND_FIELD(Button67);
    BIND_FIELD(Button70);
    BIND_FIELD(Edit54);
    BIND_FIELD(Forward);
    BIND_FIELD(reverse);
    BIND_FIELD(Edit53);
    BIND_FIELD(Edit60);
    BIND_FIELD(Edit61);
    BIND_FIELD(Edit62);
    BIND_FIELD(Edit63);
    BIND_FIELD(epcbuf);
    BIND_FIELD(CheckBox20);

    BIND_HANDLER(Button65Click);
    BIND_HANDLER(Button66Click);
    BIND_HANDLER(Button67Click);
    BIND_HANDLER(Button69Click);
    BIND_HANDLER(Button70Click);
    BIND_HANDLER(CheckBox20Click);
}

namespace {

constexpr std::wstring_view InventoryFrame = L"bb 00 22 00 00 22 7e ";
constexpr std::wstring_view NoCardText = L"The card is not exist..!   ";
constexpr std::wstring_view NoTagFrameText = L"The reply is no tag frame: ";
constexpr std::wstring_view EpcLineText = L"the epc is: ";
constexpr std::wstring_view WriteSuccessText = L"Write Card Success,The card number is : ";
constexpr std::wstring_view AutomaticCaption = L"Automatic card";
constexpr std::wstring_view StopCaption = L"Stop card";

// The read always uses the tag's factory access password.
constexpr std::wstring_view ReadPassword = L"5E219C47";

constexpr std::uint8_t SelectCommand = 0x0C;
constexpr std::uint8_t ReadCommand = 0x39;
constexpr std::uint8_t WriteCommand = 0x49;
constexpr std::wstring_view WriteReplyCommand = L"49";
constexpr std::wstring_view ModuleErrorCommand = L"FF";

// A tag's EPC is at most 31 words; the select mask length is one byte of bits, so a select names
// at most the first 31 bytes of the EPC.
constexpr std::size_t MaxEpcBytes = 62;
constexpr std::size_t MaxMaskBytes = 31;

constexpr std::size_t NoTagFrameChars = 16;

struct Mode {
    TRadioButton* TForm1::*button;
    std::wstring_view command; // "BC" takes the sector boxes after it
    std::wstring_view text;
};

constexpr Mode Modes[] = {
    {&TForm1::RadioButton30, L"0f01", L"Active search for EPC number of single card"},
    {&TForm1::RadioButton31, L"0f02", L"Passive reader mode"},
    {&TForm1::RadioButton32, L"0f03", L"Active search for EPC number of multiple cards"},
    {&TForm1::RadioButton33, L"0f04", L"Active read TID number "},
    {&TForm1::RadioButton36, L"BC", L""},
};

std::wstring TwoByteHex(std::size_t value) {
    return core::HexByteText(static_cast<std::uint32_t>(value >> 8 & 0xFF)) +
           core::HexByteText(static_cast<std::uint32_t>(value & 0xFF));
}

// A module frame of type 00 for a command and its parameters (hex digits).
std::wstring ModuleFrame(std::uint8_t command, std::wstring_view params) {
    std::wstring body = L"00" + core::HexByteText(command) + TwoByteHex(params.size() / 2);
    body += params;
    return L"BB" + body + core::ModuleChecksumText(body) + L"7E";
}

// Selects the EPC bank's tag whose EPC (from bit 32, after CRC and PC) begins with the given one.
std::wstring SelectFrame(std::wstring_view epc) {
    const std::wstring_view mask = epc.substr(0, std::min(epc.size(), 2 * MaxMaskBytes));
    std::wstring params = L"01"
                          L"00000020";
    params += core::HexByteText(static_cast<std::uint32_t>(mask.size() / 2 * 8));
    params += L"00";
    params += mask;
    return ModuleFrame(SelectCommand, params);
}

// Eight words of the selected tag's EPC bank from word 0.
std::wstring ReadFrame() {
    std::wstring params(ReadPassword);
    params += L"01"
              L"0000"
              L"0008";
    return ModuleFrame(ReadCommand, params);
}

// Writes the EPC bank from word 0: the stored CRC, a PC naming the new EPC's length, the EPC.
std::wstring WriteFrame(std::wstring_view password, std::wstring_view storedCrc, std::wstring_view epc) {
    const std::size_t m = epc.size() / 2;
    std::wstring params(password);
    params += L"01"
              L"0000";
    params += TwoByteHex((m + 4) / 2);
    params += storedCrc;
    params += core::HexByteText(static_cast<std::uint32_t>(4 * m)) + L"00";
    params += epc;
    return ModuleFrame(WriteCommand, params);
}

using core::InventoryTag;
using core::TagOfInventoryReply;

// Why an EPC number (hex digits only) cannot be written, or nothing when it can.
std::optional<std::wstring_view> EpcRefusal(const String& epc) {
    if (epc.empty()) return L"The EPC number is empty, nothing written   ";
    if (epc.size() % 2 != 0) return L"The EPC number has an odd number of hex digits, nothing written   ";
    if (epc.size() / 2 > MaxEpcBytes) return L"The EPC number is longer than 62 bytes, nothing written   ";
    if (epc.size() % 4 != 0)
        return L"The EPC number must be whole words (a multiple of 4 hex digits), nothing written   ";
    return std::nullopt;
}

// The access password's digits when they are four bytes.
std::optional<String> AccessPassword(const String& text) {
    String digits = core::HexFilter(text);
    if (digits.size() != 8) return std::nullopt;
    return digits;
}

constexpr std::wstring_view PasswordRefusal =
    L"The access password must be 4 bytes (8 hex digits), nothing written   ";

// Sends the inventory and replaces ReplyHex with the module's reply. Logs why there is no tag
// and gives nothing then; the no-card line of the write ends without a line break.
std::optional<InventoryTag> InventoryOneTag(TForm1& form, bool noCardLineEnd) {
    form.SendUHF(String(InventoryFrame));
    form.Delay(500);
    ReplyHex = core::ReplyDataField(ReplyHex);
    const String stamp = form.TimeStamp();
    if (ReplyHex.empty()) {
        form.AddLog(String(core::NoDataReceiveText) + stamp + String(core::LineEnd));
        return std::nullopt;
    }
    if (ReplyHex.size() == NoTagFrameChars) {
        form.AddLog(String(NoCardText) + stamp + (noCardLineEnd ? String(core::LineEnd) : String()));
        return std::nullopt;
    }
    std::optional<InventoryTag> tag = TagOfInventoryReply(ReplyHex);
    if (!tag) form.AddLog(String(NoTagFrameText) + ReplyHex + L"   " + stamp + String(core::LineEnd));
    return tag;
}

// The pause after each pass: the box's milliseconds (decimal) plus 100.
int LoopPause(const String& text) {
    return static_cast<int>(std::min<long long>(StrToInt(text) + 100LL, std::numeric_limits<int>::max()));
}

String StepEpc(const String& epc, const String& increment, bool reverse) {
    try {
        return core::AddHexNumbers(epc, increment, reverse);
    } catch (const core::HexConvertError& e) {
        throw EConvertError(e.Text());
    }
}

} // namespace

void TForm1::SendUHF(const String& frame) {
    SendHex(core::SendUHFFrameText(setadd->Text(), frame));
}

int TForm1::adddate(const String& text) const {
    return core::adddate(text);
}

String TForm1::cdate(const String& text) const {
    return core::cdate(text);
}

void TForm1::Button69Click(TObject*) {
    const auto mode = std::find_if(std::begin(Modes), std::end(Modes),
                                   [this](const Mode& m) { return (this->*m.button)->Checked(); });
    if (mode == std::end(Modes)) return;

    String command(mode->command);
    if (mode->button == &TForm1::RadioButton36)
        command += Edit65->Text() + Edit66->Text() + Edit67->Text() + Edit68->Text();
    Send(command);
    Delay(300);

    const String text(mode->text);
    const String success = L"Set  " + text + L" Success " + L"   ";
    const String failure = L"Set " + text + L"False" + L"   ";
    ReportReply({.noData = core::NoDataReceiveText,
                 .success = success,
                 .successForm = core::SuccessLineForm::Time,
                 .failure = failure,
                 .otherStatus = core::CheckSumErrorText});
}

void TForm1::Button65Click(TObject*) {
    if (const auto tag = InventoryOneTag(*this, true)) AddLog(String(EpcLineText) + tag->epc);
}

void TForm1::Button67Click(TObject*) {
    const auto tag = InventoryOneTag(*this, true);
    if (!tag) return;
    AddLog(String(EpcLineText) + tag->epc);
    Edit53->SetText(tag->epc);

    // This select goes to the reader as it stands, outside the module tunnel.
    SendHex(SelectFrame(tag->epc));
    Delay(500);
    SendUHF(ReadFrame());
    Delay(500);
}

void TForm1::Button66Click(TObject*) {
    Edit54->SetText(core::HexFilter(Edit54->Text()));
    const String epc = Edit54->Text();

    // A number the module would reject would be retried for ever by the automatic loop.
    std::optional<std::wstring_view> refusal = EpcRefusal(epc);
    const std::optional<String> password = AccessPassword(Edit63->Text());
    if (!refusal && !password) refusal = PasswordRefusal;
    if (refusal) {
        AddLog(String(*refusal) + TimeStamp() + String(core::LineEnd));
        if (CheckBox20->Checked()) CheckBox20->SetChecked(false);
        return;
    }

    const auto tag = InventoryOneTag(*this, false);
    if (!tag) return;
    Edit60->SetText(tag->epc);
    // The tag just written: leave it alone until another one answers.
    if (SameText(epcbuf->Text(), tag->epc)) return;

    SendUHF(SelectFrame(tag->epc));
    Delay(500);
    ReplyHex = core::ReplyDataField(ReplyHex);

    SendUHF(WriteFrame(*password, tag->storedCrc, epc));
    Delay(500);
    ReplyHex = core::ReplyDataField(ReplyHex);
    if (ReplyHex.empty()) {
        AddLog(String(core::NoDataReceiveText) + TimeStamp() + String(core::LineEnd));
        return;
    }
    const String command = core::ReplyField(ReplyHex, 5, 2);
    if (command == WriteReplyCommand) {
        AddLog(String(WriteSuccessText) + epc);
        epcbuf->SetText(epc);
        Edit54->SetText(StepEpc(epc, Edit62->Text(), reverse->Checked()));
    } else if (command != ModuleErrorCommand) {
        AddLog(String(core::CheckSumErrorText) + TimeStamp() + String(core::LineEnd));
    }
}

void TForm1::CheckBox20Click(TObject*) {
    CheckBox20->SetCaption(String(CheckBox20->Checked() ? StopCaption : AutomaticCaption));
    // Unticking and ticking again during a pass only changes the caption: the running loop goes on.
    if (!CheckBox20->Checked() || AutomaticCardRunning) return;

    AutomaticCardRunning = true;
    // However the loop ends, the box is left unticked and says what it does.
    auto end = [this] {
        AutomaticCardRunning = false;
        if (CheckBox20->Checked()) CheckBox20->SetChecked(false);
        CheckBox20->SetCaption(String(AutomaticCaption));
    };
    try {
        while (KeepRepeating(CheckBox20)) {
            Button66->Click();
            Delayy(LoopPause(Edit61->Text()));
            Application->ProcessMessages();
            Application->ProcessMessages();
        }
    } catch (...) {
        end();
        throw;
    }
    end();
}

void TForm1::Button70Click(TObject*) {
    RichEdit1->Clear();
}
