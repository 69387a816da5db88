// The page "ISO14443B" of the main window (hidden): request, anticollision, Attrib, reset and a
// free send-data command for type B cards, and the resident identity card's number and file ID.
// Also the helpers that this page and the ISO15693 page share.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>
#include <framework/sysutils.h>

#include <algorithm>

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

constexpr std::wstring_view NoDataText = L"通讯错误，没有接收到数据..   ";
constexpr std::wstring_view LostDataText = L"数据丢包，流水校验出错   ";
constexpr std::wstring_view DoneText = L"操作成功   ";
constexpr std::wstring_view FailedText = L"操作失败   ";
constexpr std::wstring_view ReadNumberFailedText = L"读卡号操作失败   ";
constexpr std::wstring_view NotSentText = L"，命令未发送   ";

// A period of more than a day is taken as a day, so the pause after it cannot overflow.
constexpr int MaxRepeatPeriodMs = 24 * 60 * 60 * 1000;

// The whole frame must fit the transport's 255 bytes: seven bytes of framing, command and count.
constexpr std::size_t MaxSendDataBytes = core::SendBufferBytes - 7;

constexpr core::SuccessLineForm TimeCrLf = core::SuccessLineForm::TimeCrLf;
constexpr core::SuccessLineForm TimeOnly = core::SuccessLineForm::Time;

// The send-data command's text for a failure reason: the reader's reason texts from 80 up, each
// ending its line, with 80 and 8F in its own words.
String SendDataReasonText(const String& code) {
    if (code == L"80") return L"参数设置成功.....\r\n";
    if (code == L"8F") return L"Reader received unknown command....\r\n";
    if (code < L"80") return {};
    const String text = core::falsereason(code);
    return text.empty() ? text : text + String(core::LineEnd);
}

} // namespace

// ---- Shared by the ISO14443B and ISO15693 pages

int TForm1::RepeatPeriodMs() const {
    return std::clamp(StrToInt(Edit22->Text()), 0, MaxRepeatPeriodMs);
}

void TForm1::RepeatWhileTicked(TCheckBox* box, const std::function<bool()>& pass,
                               const std::function<void()>& pause) {
    if (!box->Checked() ||
        std::find(RunningRepeatLoops.begin(), RunningRepeatLoops.end(), box) != RunningRepeatLoops.end())
        return;
    RunningRepeatLoops.push_back(box);
    // Unticking runs this handler once more, which must find the loop gone.
    auto end = [this, box] {
        std::erase(RunningRepeatLoops, box);
        if (box->Checked()) box->SetChecked(false);
    };
    try {
        while (KeepRepeating(box)) {
            if (!pass()) break;
            pause();
        }
    } catch (...) {
        end();
        throw;
    }
    end();
}

String TForm1::ReplyDataChars(std::size_t first, std::size_t count) const {
    if (ReplyHex.size() < 4) return {};
    const String withoutCheck = ReplyHex.substr(0, ReplyHex.size() - 4);
    return core::ReplyField(withoutCheck, first, count);
}

std::optional<String> TForm1::HexBoxDigits(const TEdit* box, std::wstring_view name, std::size_t bytes) {
    const String digits = core::HexFilter(box->Text());
    String refusal;
    if (bytes != 0 && digits.size() != 2 * bytes)
        refusal = String(name) + L"应为" + IntToStr(static_cast<int>(bytes)) + L"个字节的十六进制数";
    else if (digits.size() % 2 != 0)
        refusal = String(name) + L"的十六进制位数为奇数";
    if (refusal.empty()) return digits;
    AddLog(refusal + String(NotSentText) + TimeStamp() + String(core::LineEnd));
    return std::nullopt;
}

core::ReplyReportRow TForm1::CardReportRow(std::wstring_view success, core::SuccessLineForm form,
                                           std::wstring_view failure) {
    return {.noData = NoDataText,
            .success = success,
            .successForm = form,
            .failure = failure,
            .otherStatus = LostDataText};
}

// ---- The page's commands

void TForm1::Button31Click(TObject*) {
    if (SendAndReport(L"09", 500, CardReportRow(DoneText, TimeCrLf, FailedText)) != core::ReplyKind::Success)
        return;
    AddLog(L"卡片复位数据的长度为:" + ReplyDataChars(9, 2));
    AddLog(L"返回操作后的数据为:" + ReplyDataChars(11) + String(core::LineEnd));
}

void TForm1::Button32Click(TObject* Sender) {
    // The reader's request runs the anticollision itself: the same command.
    Button31Click(Sender);
}

void TForm1::Button33Click(TObject*) {
    const std::optional<String> pupi = HexBoxDigits(Edit76, L"卡ID号", 4);
    if (!pupi) return;
    SendAndReport(L"0B" + *pupi, 500, CardReportRow(L"操作成功、复位成功   ", TimeCrLf, FailedText));
}

void TForm1::Button34Click(TObject*) {
    if (SendAndReport(L"0C", 500, CardReportRow(DoneText, TimeCrLf, FailedText)) != core::ReplyKind::Success)
        return;
    const String serial = ReplyDataChars(9, 8);
    AddLog(L"卡的序列号为：" + serial + String(core::LineEnd));
    // Attrib then addresses the card that answered; a reply too short to hold a serial number
    // leaves the box as it was.
    if (serial.size() == 8) Edit76->SetText(serial);
}

void TForm1::Button36Click(TObject*) {
    const std::optional<String> data = HexBoxDigits(Edit77, L"数据", 0);
    if (!data) return;
    const std::size_t count = data->size() / 2;
    if (count > MaxSendDataBytes) {
        AddLog(L"数据超过" + IntToStr(static_cast<int>(MaxSendDataBytes)) + L"个字节" + String(NotSentText) +
               TimeStamp() + String(core::LineEnd));
        return;
    }

    ReplyHex.clear();
    Send(L"0D" + core::HexByteText(static_cast<std::uint32_t>(count)) + *data);
    Delay(600);

    if (core::ClassifyReply(ReplyHex) == core::ReplyKind::Success) {
        AddLog(String(DoneText) + TimeStamp());
        AddLog(L"操作后的数据串为：" + core::ReplyDataField(ReplyHex) + String(core::LineEnd));
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

namespace {

// The identity card's number (26) or file ID (27): eight bytes after the reply's first data byte.
void ReadIdentityCard(TForm1& form, std::wstring_view command) {
    if (form.SendAndReport(String(command), 1000,
                           TForm1::CardReportRow(DoneText, TimeOnly, ReadNumberFailedText)) ==
        core::ReplyKind::Success)
        form.AddLog(L"返回卡号为:" + form.ReplyDataChars(11, 16) + String(core::LineEnd));
}

} // namespace

void TForm1::Button19Click(TObject*) {
    ReadIdentityCard(*this, L"26");
}

void TForm1::Button22Click(TObject*) {
    ReadIdentityCard(*this, L"27");
}

void TForm1::CheckBox11Click(TObject*) {
    RepeatWhileTicked(
        CheckBox11,
        [this] {
            Button31Click(Button31);
            return true;
        },
        [this] { Delay(RepeatPeriodMs() + 10); });
}

void TForm1::CheckBox13Click(TObject*) {
    RepeatWhileTicked(
        CheckBox13,
        [this] {
            Button19Click(Button19);
            return true;
        },
        [this] { Delayy(RepeatPeriodMs()); });
}

void TForm1::CheckBox14Click(TObject*) {
    RepeatWhileTicked(
        CheckBox14,
        [this] {
            Button22Click(Button22);
            return true;
        },
        [this] { Delayy(RepeatPeriodMs()); });
}
