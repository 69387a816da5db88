// The page "ISO14443B" of the main window (hidden): request, anticollision, Attrib, reset and a
// free send-data command for type B cards, and the resident identity card's number and file ID.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>
#include <framework/sysutils.h>

void TForm1::RegisterIso14443BPage() {
    BIND_FIELD(CheckBox11);
    BIND_FIELD(CheckBox13);
    BIND_FIELD(CheckBox14);
    BIND_FIELD(Edit76);
    BIND_FIELD(Edit77);
    BIND_FIELD(Button19);
    BIND_FIELD(Button22);
    BIND_FIELD(Button31);
    BIND_FIELD(Button32);
    BIND_FIELD(Button33);
    BIND_FIELD(Button34);
    BIND_FIELD(Button36);

    BIND_HANDLER(Button19Click);
    BIND_HANDLER(Button22Click);
    BIND_HANDLER(Button31Click);
    BIND_HANDLER(Button32Click);
    BIND_HANDLER(Button33Click);
    BIND_HANDLER(Button34Click);
    BIND_HANDLER(Button36Click);
    BIND_HANDLER(CheckBox11Click);
    BIND_HANDLER(CheckBox13Click);
    BIND_HANDLER(CheckBox14Click);
}

namespace {

constexpr std::wstring_view DoneText = L"操作成功   ";
constexpr std::wstring_view FailedText = L"操作失败   ";

constexpr core::ReplyReportRow CommandReport =
    TForm1::HiddenPageRow(DoneText, FailedText, core::SuccessLineForm::TimeCrLf);
constexpr core::ReplyReportRow AttribReport =
    TForm1::HiddenPageRow(L"操作成功、复位成功   ", FailedText, core::SuccessLineForm::TimeCrLf);
constexpr core::ReplyReportRow IdentityCardReport =
    TForm1::HiddenPageRow(DoneText, L"读卡号操作失败   ", core::SuccessLineForm::Time);

constexpr std::size_t CardIdBytes = 4;
constexpr std::size_t CardIdChars = 2 * CardIdBytes;

// The whole frame must fit the transport's 255 bytes: seven bytes of framing, command and count.
constexpr std::size_t MaxSendDataBytes = core::SendBufferBytes - 7;

// The send-data command's text for a failure reason: the reader's reason texts from 80 up, each
// ending its line, with 80 and 8F in its own words.
String SendDataReasonText(const String& code) {
    if (code == L"80") return L"参数设置成功.....\r\n";
    if (code == L"8F") return L"Reader received unknown command....\r\n";
    if (code < L"80") return {};
    const String text = core::falsereason(code);
    return text.empty() ? text : text + String(core::LineEnd);
}

// The identity card's number (26) or file ID (27): eight bytes after the reply's first data byte.
void ReadIdentityCard(TForm1& form, std::wstring_view command) {
    form.Send(String(command));
    form.Delay(1000);
    form.ReportCardReply(IdentityCardReport, {{L"返回卡号为:", 11, 16, core::LineEnd}});
}

} // namespace

void TForm1::Button31Click(TObject*) {
    Send(L"09");
    Delay(500);
    ReportCardReply(CommandReport, {{L"卡片复位数据的长度为:", 9, 2},
                                    {L"返回操作后的数据为:", 11, String::npos, core::LineEnd}});
}

void TForm1::Button32Click(TObject* Sender) {
    // The reader's request runs the anticollision itself: the same command.
    Button31Click(Sender);
}

void TForm1::Button33Click(TObject*) {
    SendAndReport(L"0B" + HexBytesOf(Edit76->Text(), CardIdBytes), 500, AttribReport);
}

void TForm1::Button34Click(TObject*) {
    Send(L"0C");
    Delay(500);
    if (ReportCardReply(CommandReport, {{L"卡的序列号为：", 9, CardIdChars, core::LineEnd}}) !=
        core::ReplyKind::Success)
        return;
    // Attrib then addresses the card that answered; a reply too short to hold a serial number
    // leaves the box as it was.
    const String serial = ReplyData(9, CardIdChars);
    if (serial.size() == CardIdChars) Edit76->SetText(serial);
}

void TForm1::Button36Click(TObject*) {
    const String data = HexBytesOf(Edit77->Text());
    const std::size_t count = data.size() / 2;
    if (count > MaxSendDataBytes)
        throw EConvertError(L"The data of " + IntToStr(static_cast<int>(count)) +
                            L" bytes is longer than the " + IntToStr(static_cast<int>(MaxSendDataBytes)) +
                            L" bytes one command holds");

    RefuseWhileAwaitingReply();
    ReplyHex.clear();
    Send(L"0D" + core::HexByteText(static_cast<std::uint32_t>(count)) + data);
    Delay(600);

    if (core::ClassifyReply(ReplyHex) == core::ReplyKind::Success) {
        AddLog(String(DoneText) + TimeStamp());
        AddLog(L"操作后的数据串为：" + ReplyData(9) + String(core::LineEnd));
        return;
    }
    AddLog(String(FailedText) + TimeStamp());
    if (ReplyHex.empty()) {
        AddLog(L"无数据接收..\r\n");
        return;
    }
    const String reason = SendDataReasonText(core::ReplyField(ReplyHex, 9, 2));
    if (!reason.empty()) AddLog(reason);
}

void TForm1::Button19Click(TObject*) {
    ReadIdentityCard(*this, L"26");
}

void TForm1::Button22Click(TObject*) {
    ReadIdentityCard(*this, L"27");
}

void TForm1::CheckBox11Click(TObject*) {
    RepeatClickWhileTicked(CheckBox11, &TForm1::Button31Click, Button31, RepeatPause::UntilReply, 10);
}

void TForm1::CheckBox13Click(TObject*) {
    RepeatClickWhileTicked(CheckBox13, &TForm1::Button19Click, Button19, RepeatPause::Full, 0);
}

void TForm1::CheckBox14Click(TObject*) {
    RepeatClickWhileTicked(CheckBox14, &TForm1::Button22Click, Button22, RepeatPause::Full, 0);
}
