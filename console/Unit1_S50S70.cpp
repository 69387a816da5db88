// The page "S50/S70" of the main window (hidden): block read and write with a sector key, the card
// number, halt, the value-block operations, their repeat loops, and the reader-address switch.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>

void TForm1::RegisterS50S70Page() {
    BIND_FIELD(CheckBox1);
    BIND_FIELD(CheckBox2);
    BIND_FIELD(CheckBox4);
    BIND_FIELD(CheckBox12);
    BIND_FIELD(ComboBox3);
    BIND_FIELD(ComboBox4);
    BIND_FIELD(ComboBox6);
    BIND_FIELD(ComboBox7);
    BIND_FIELD(ComboBox8);
    BIND_FIELD(ComboBox9);
    BIND_FIELD(Edit1);
    BIND_FIELD(Edit2);
    BIND_FIELD(Edit3);
    BIND_FIELD(Edit5);
    BIND_FIELD(Edit7);
    BIND_FIELD(Edit8);
    BIND_FIELD(Edit10);
    BIND_FIELD(Edit57);
    BIND_FIELD(Edit58);
    BIND_FIELD(Edit59);
    BIND_FIELD(RadioButton1);
    BIND_FIELD(RadioButton2);
    BIND_FIELD(reqi);
    BIND_FIELD(reqa);
    BIND_FIELD(keya);
    BIND_FIELD(keyb);
    BIND_FIELD(reqii);
    BIND_FIELD(reqaa);
    BIND_FIELD(keyaa);
    BIND_FIELD(keybb);
    BIND_FIELD(reql5);
    BIND_FIELD(reqa5);
    BIND_FIELD(nohalt);
    BIND_FIELD(yeshalt);
    BIND_FIELD(reqiii);
    BIND_FIELD(reqaaa);
    BIND_FIELD(keyaaa);
    BIND_FIELD(keybbb);
    BIND_FIELD(reqiiii);
    BIND_FIELD(reqaaaa);
    BIND_FIELD(keyaaaa);
    BIND_FIELD(keybbbb);
    BIND_FIELD(reqiiiii);
    BIND_FIELD(reqaaaaa);
    BIND_FIELD(keyaaaaa);
    BIND_FIELD(keybbbbb);
    BIND_FIELD(Button8);
    BIND_FIELD(Button9);
    BIND_FIELD(Button10);
    BIND_FIELD(Button15);
    BIND_FIELD(Button16);
    BIND_FIELD(Button26);
    BIND_FIELD(Button29);

    BIND_HANDLER(Button8Click);
    BIND_HANDLER(Button9Click);
    BIND_HANDLER(Button10Click);
    BIND_HANDLER(Button15Click);
    BIND_HANDLER(Button16Click);
    BIND_HANDLER(Button26Click);
    BIND_HANDLER(Button29Click);
    BIND_HANDLER(CheckBox1Click);
    BIND_HANDLER(CheckBox2Click);
    BIND_HANDLER(CheckBox4Click);
    BIND_HANDLER(CheckBox12Click);
    BIND_HANDLER(RadioButton1Click);
    BIND_HANDLER(RadioButton2Click);
}

namespace {

constexpr std::wstring_view SuccessText = L"操作成功   ";
constexpr std::wstring_view CardFailureText = L"读卡失败   ";

constexpr core::ReplyReportRow BlockCommand =
    TForm1::HiddenPageRow(SuccessText, CardFailureText, core::SuccessLineForm::Time);
constexpr core::ReplyReportRow CardNumber =
    TForm1::HiddenPageRow(SuccessText, L"读卡号操作失败   ", core::SuccessLineForm::TimeCrLf);
constexpr core::ReplyReportRow Halt =
    TForm1::HiddenPageRow(L"HALT操作成功   ", L"HALT操作失败   ", core::SuccessLineForm::TimeCrLf);

constexpr core::ReplyDataLine CardSerial{L"卡号为:", 9, 8};
constexpr core::ReplyDataLine CardId{L"返回卡ID号为:", 9, 8};
constexpr core::ReplyDataLine CardIdLast{CardId.prefix, CardId.first, CardId.count, core::LineEnd};
constexpr core::ReplyDataLine ValueLeft{L"剩余值为为: ", 17, 8, core::LineEnd};

// What the count flag of a card-number reply says.
constexpr std::wstring_view OneCardText = L"检测到的卡的数量为一张卡..\r\n";
constexpr std::wstring_view MoreCardsText = L"检测到的卡的数量为多张卡..\r\n";

// The reader-address items the two radio buttons select: "10" and "11".
constexpr int AddressItem10 = 16;
constexpr int AddressItem11 = 17;

// The mode byte of a section: request all cards adds 1, key B adds 2.
String Mode(const TRadioButton* requestAll, const TRadioButton* keyB) {
    return core::HexByteText((requestAll->Checked() ? 1u : 0u) + (keyB->Checked() ? 2u : 0u));
}

} // namespace

void TForm1::Button8Click(TObject*) {
    // Count, start block, key.
    Send(L"20" + Mode(reqa, keyb) + HexByteOf(ComboBox6->Text()) + HexByteOf(ComboBox3->Text()) +
         HexBytesOf(ComboBox4->Text()));
    Delay(500);
    ReportCardReply(BlockCommand, {CardSerial, {L"卡的数据为:", 17, String::npos, core::LineEnd}});
}

void TForm1::Button9Click(TObject*) {
    // Count, start block, key, data.
    Send(L"21" + Mode(reqaa, keybb) + HexByteOf(ComboBox8->Text()) + HexByteOf(ComboBox7->Text()) +
         HexBytesOf(ComboBox9->Text()) + HexBytesOf(Edit3->Text()));
    Delay(500);
    ReportCardReply(BlockCommand, {CardSerial});
}

void TForm1::Button29Click(TObject*) {
    Send(L"25" + String(reqa5->Checked() ? L"52" : L"26") + String(yeshalt->Checked() ? L"01" : L"00"));
    Delay(300);
    if (ReportCardReply(CardNumber, {{L"返回卡号为:", 11, 8}}) != core::ReplyKind::Success) return;
    const String count = ReplyData(9, 2);
    if (count == L"00") AddLog(String(OneCardText));
    if (count == L"01") AddLog(String(MoreCardsText));
}

void TForm1::Button16Click(TObject*) {
    Send(L"06");
    Delay(300);
    ReportCardReply(Halt);
}

// The value commands: sector, key, value.
void TForm1::Button26Click(TObject*) {
    Send(L"22" + Mode(reqaaa, keybbb) + HexByteOf(Edit57->Text()) + HexBytesOf(Edit58->Text()) +
         HexBytesOf(Edit59->Text()));
    Delay(500);
    ReportCardReply(BlockCommand, {CardIdLast});
}

void TForm1::Button10Click(TObject*) {
    Send(L"24" + Mode(reqaaaa, keybbbb) + HexByteOf(Edit1->Text()) + HexBytesOf(Edit5->Text()) +
         HexBytesOf(Edit2->Text()));
    Delay(500);
    ReportCardReply(BlockCommand, {CardId, ValueLeft});
}

void TForm1::Button15Click(TObject*) {
    Send(L"23" + Mode(reqaaaaa, keybbbbb) + HexByteOf(Edit10->Text()) + HexBytesOf(Edit7->Text()) +
         HexBytesOf(Edit8->Text()));
    Delay(500);
    ReportCardReply(BlockCommand, {CardId, ValueLeft});
}

void TForm1::CheckBox2Click(TObject*) {
    RepeatClickWhileTicked(CheckBox2, &TForm1::Button8Click, Button8, RepeatPause::Full, 0);
}

void TForm1::CheckBox1Click(TObject*) {
    RepeatClickWhileTicked(CheckBox1, &TForm1::Button9Click, Button9, RepeatPause::Full, 10);
}

void TForm1::CheckBox4Click(TObject*) {
    // Delay ends as soon as a reply is there: the reads follow each other as fast as the reader answers.
    RepeatClickWhileTicked(CheckBox4, &TForm1::Button29Click, Button29, RepeatPause::UntilReply, 10);
}

// Write, then read back. The page change does not stop this one.
void TForm1::CheckBox12Click(TObject*) {
    RepeatWhileTicked(CheckBox12, [this] {
        Button9Click(Button9);
        Delayy(LoopPeriod(10));
        Button8Click(Button8);
        Delayy(LoopPeriod(10));
    });
}

// Every later frame of every page goes to the address chosen here.
void TForm1::RadioButton1Click(TObject*) {
    if (RadioButton2->Checked()) setadd->SetItemIndex(AddressItem10);
    if (RadioButton1->Checked()) setadd->SetItemIndex(AddressItem11);
}

void TForm1::RadioButton2Click(TObject* Sender) {
    RadioButton1Click(Sender);
}
