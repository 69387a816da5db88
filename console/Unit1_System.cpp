// The page "系统命令" of the main window (hidden): the reader's address, baud rate and serial
// number, its LEDs and buzzer, active or passive reading, and the period of the card pages'
// repeat loops.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <framework/sysutils.h>

void TForm1::RegisterSystemPage() {
    BIND_FIELD(Edit4);
    BIND_FIELD(ComboBox5);
    BIND_FIELD(Edit9);
    BIND_FIELD(Edit11);
    BIND_FIELD(Edit12);
    BIND_FIELD(Edit30);
    BIND_FIELD(Edit31);
    BIND_FIELD(Edit33);
    BIND_FIELD(Edit34);
    BIND_FIELD(Edit22);
    BIND_FIELD(Button4);
    BIND_FIELD(Button11);
    BIND_FIELD(Button12);
    BIND_FIELD(Button13);
    BIND_FIELD(Button14);
    BIND_FIELD(Button20);
    BIND_FIELD(Button21);
    BIND_FIELD(Button23);
    BIND_FIELD(Button52);
    BIND_FIELD(Button53);

    BIND_HANDLER(Button4Click);
    BIND_HANDLER(Button11Click);
    BIND_HANDLER(Button12Click);
    BIND_HANDLER(Button13Click);
    BIND_HANDLER(Button14Click);
    BIND_HANDLER(Button20Click);
    BIND_HANDLER(Button21Click);
    BIND_HANDLER(Button23Click);
    BIND_HANDLER(Button52Click);
    BIND_HANDLER(Button53Click);
    BIND_HANDLER(Edit22Change);
}

namespace {

constexpr int DefaultLoopPeriod = 100;

constexpr core::ReplyReportRow ReadSerialNumber =
    TForm1::HiddenPageRow(L"读序列号成功   ", L"读序列号失败   ", core::SuccessLineForm::Time);
constexpr core::ReplyReportRow SetSerialNumber = TForm1::HiddenPageRow(
    L"机器序列号设置成功   ", L"机器序列号设置失败   ", core::SuccessLineForm::TimeCrLf);
constexpr core::ReplyReportRow SetLed =
    TForm1::HiddenPageRow(L"设置LED操作成功   ", L"设置LED操作失败   ", core::SuccessLineForm::TimeCrLf);
constexpr core::ReplyReportRow SetRedLed =
    TForm1::HiddenPageRow(L"设置LED-R操作成功   ", L"设置LED-R操作失败   ", core::SuccessLineForm::TimeCrLf);
constexpr core::ReplyReportRow SetBuzzer =
    TForm1::HiddenPageRow(L"设置BUZ操作成功   ", L"设置BUZ操作失败   ", core::SuccessLineForm::TimeCrLf);

// ComboBox5's items in the order of their codes 00 .. 04.
constexpr std::wstring_view BaudRates[] = {L"9600", L"19200", L"38400", L"57600", L"115200"};

} // namespace

void TForm1::Button11Click(TObject*) {
    SetReaderAddress(core::NoDataTextFullWidth);
}

void TForm1::Button12Click(TObject*) {
    SetReaderBaudRate(core::NoDataTextFullWidth);
}

void TForm1::Button4Click(TObject*) {
    ReadReaderAddress(core::NoDataTextFullWidth);
}

void TForm1::SetReaderAddress(std::wstring_view noData) {
    SendAndReport(L"80" + HexByteOf(Edit4->Text()), 300,
                  {.noData = noData,
                   .success = L"读写器地址设置成功   ",
                   .failure = L"读写器地址设置失败   ",
                   .otherStatus = HiddenLostDataText});
}

void TForm1::SetReaderBaudRate(std::wstring_view noData) {
    // A rate outside the list sends the bare command and the reader's answer tells.
    String code;
    const String rate = ComboBox5->Text();
    for (std::size_t i = 0; i < std::size(BaudRates); ++i)
        if (rate == BaudRates[i]) code = core::HexByteText(static_cast<std::uint32_t>(i));
    SendAndReport(L"81" + code, 300,
                  {.noData = noData,
                   .success = L"波特率设置成功   ",
                   .failure = L"波特率设置失败   ",
                   .otherStatus = HiddenLostDataText});
}

void TForm1::ReadReaderAddress(std::wstring_view noData) {
    RefuseWhileAwaitingReply();
    // Cleared first, so a reader that stays silent is not answered by an earlier reply.
    ReplyHex.clear();
    Send(L"83");
    Delay(300);
    const String success = L"系统地址为 : " + ReplyData(9, 2) + L"   ";
    ReportReply({.noData = noData,
                 .success = success,
                 .failure = L"操作失败        ",
                 .otherStatus = HiddenLostDataText});
}

void TForm1::Button14Click(TObject*) {
    Send(L"83");
    Delay(300);
    ReportCardReply(ReadSerialNumber, {{L"地址为：", 9, 2}, {L"序列号为：", 11, 16, core::LineEnd}});
}

void TForm1::Button13Click(TObject*) {
    SendAndReport(L"82" + HexBytesOf(Edit9->Text()), 300, SetSerialNumber);
}

void TForm1::Button20Click(TObject*) {
    SendAndReport(L"88" + HexByteOf(Edit30->Text()) + HexByteOf(Edit31->Text()), 300, SetLed);
}

void TForm1::Button23Click(TObject*) {
    SendAndReport(L"87" + HexByteOf(Edit11->Text()) + HexByteOf(Edit12->Text()), 300, SetRedLed);
}

void TForm1::Button21Click(TObject*) {
    SendAndReport(L"89" + HexByteOf(Edit33->Text()) + HexByteOf(Edit34->Text()), 300, SetBuzzer);
}

// The reading-mode switches only send: the reply stays in ReplyHex for whoever reads it next.
void TForm1::Button52Click(TObject*) {
    Send(L"0f01");
}

void TForm1::Button53Click(TObject*) {
    Send(L"0f02");
}

void TForm1::Edit22Change(TObject*) {
    int period = 0;
    // Setting the text raises this handler once more, now with a valid period.
    if (!TryStrToInt(Edit22->Text(), period) || period < 0) Edit22->SetText(IntToStr(DefaultLoopPeriod));
}
