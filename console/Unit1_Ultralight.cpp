// The page "Ultralight" of the main window (hidden): the card's serial number, halt, page read and
// page write, and their repeat loops.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <framework/sysutils.h>

void TForm1::RegisterUltralightPage() {
    BIND_FIELD(ListBox1);
    BIND_FIELD(ListBox2);
    BIND_FIELD(Uli);
    BIND_FIELD(Ula);
    BIND_FIELD(Ulii);
    BIND_FIELD(Ulaa);
    BIND_FIELD(Uliii);
    BIND_FIELD(Ulaaa);
    BIND_FIELD(CheckBox8);
    BIND_FIELD(CheckBox9);
    BIND_FIELD(CheckBox10);
    BIND_FIELD(Edit56);
    BIND_FIELD(Button17);
    BIND_FIELD(Button18);
    BIND_FIELD(Button54);
    BIND_FIELD(Button55);

    BIND_HANDLER(Button17Click);
    BIND_HANDLER(Button18Click);
    BIND_HANDLER(Button54Click);
    BIND_HANDLER(Button55Click);
    BIND_HANDLER(CheckBox8Click);
    BIND_HANDLER(CheckBox9Click);
    BIND_HANDLER(CheckBox10Click);
}

namespace {

constexpr core::ReplyReportRow ReadSerial =
    TForm1::HiddenPageRow(L"读卡号 操作成功   ", L"读卡ID号操作失败   ", core::SuccessLineForm::Time);
constexpr core::ReplyReportRow ReadPage =
    TForm1::HiddenPageRow(L"读卡 操作成功   ", L"读卡失败   ", core::SuccessLineForm::Time);
constexpr core::ReplyReportRow WritePage =
    TForm1::HiddenPageRow(L"写卡操作成功   ", L"写卡操作失败   ", core::SuccessLineForm::Time);

// The card's 7-byte serial number, where the serial-number and write replies carry it.
constexpr core::ReplyDataLine SerialNumber{L"卡号为:", 9, 14, core::LineEnd};

// The request byte of a group: 01 when its "All" button is checked.
String Request(const TRadioButton* all) {
    return all->Checked() ? L"01" : L"00";
}

// The selected page ("00" .. "15", decimal) as one hex byte.
String Page(const TListBox* list) {
    return core::HexByteText(static_cast<std::uint32_t>(StrToInt(list->Items()->Strings(list->ItemIndex()))));
}

} // namespace

void TForm1::Button55Click(TObject*) {
    Send(L"E3" + Request(Ula));
    Delay(300);
    ReportCardReply(ReadSerial, {SerialNumber});
}

// The same halt as the S50/S70 page's.
void TForm1::Button17Click(TObject* Sender) {
    Button16Click(Sender);
}

void TForm1::Button18Click(TObject*) {
    Send(L"E0" + Request(Ulaa) + Page(ListBox1));
    Delay(800);
    // Four pages from the one asked for, then the serial number.
    ReportCardReply(ReadPage, {{L"读卡返回数据为: ", 9, 32}, {L"卡ID号为:", 41, 14, core::LineEnd}});
}

void TForm1::Button54Click(TObject*) {
    // One page.
    Send(L"E1" + Request(Ulaaa) + L"01" + Page(ListBox2) + HexBytesOf(Edit56->Text()));
    Delay(500);
    ReportCardReply(WritePage, {SerialNumber});
}

void TForm1::CheckBox8Click(TObject*) {
    RepeatClickWhileTicked(CheckBox8, &TForm1::Button55Click, Button55, RepeatPause::UntilReply, 10);
}

void TForm1::CheckBox9Click(TObject*) {
    RepeatClickWhileTicked(CheckBox9, &TForm1::Button18Click, Button18, RepeatPause::UntilReply, 50);
}

void TForm1::CheckBox10Click(TObject*) {
    RepeatClickWhileTicked(CheckBox10, &TForm1::Button54Click, Button54, RepeatPause::Full, 100);
}
