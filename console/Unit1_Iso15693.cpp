// The page "ISO15693" of the main window (hidden): inventory, block read, write and lock, select,
// AFI and DSFID write and lock, system information and block security status of vicinity cards.
// Each command row is one entry of a table: its command byte, flag list, boxes, wait and texts.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <console_core/iso15693.h>
#include <console_core/reply.h>
#include <framework/sysutils.h>

#include <algorithm>
#include <array>
#include <span>

void TForm1::RegisterIso15693Page() {
    BIND_FIELD(ComboBox10);
    BIND_FIELD(ComboBox11);
    BIND_FIELD(ComboBox12);
    BIND_FIELD(ComboBox13);
    BIND_FIELD(ComboBox14);
    BIND_FIELD(ComboBox15);
    BIND_FIELD(ComboBox16);
    BIND_FIELD(ComboBox17);
    BIND_FIELD(ComboBox18);
    BIND_FIELD(ComboBox19);
    BIND_FIELD(CheckBox5);
    BIND_FIELD(CheckBox6);
    BIND_FIELD(CheckBox7);
    BIND_FIELD(Edit13);
    BIND_FIELD(Edit14);
    BIND_FIELD(Edit15);
    BIND_FIELD(Edit16);
    BIND_FIELD(Edit17);
    BIND_FIELD(Edit18);
    BIND_FIELD(Edit19);
    BIND_FIELD(Edit20);
    BIND_FIELD(Edit21);
    BIND_FIELD(Edit28);
    BIND_FIELD(Edit32);
    BIND_FIELD(Edit36);
    BIND_FIELD(Edit38);
    BIND_FIELD(Edit41);
    BIND_FIELD(Edit43);
    BIND_FIELD(Edit48);
    BIND_FIELD(Edit49);
    BIND_FIELD(Edit50);
    BIND_FIELD(Edit55);
    BIND_FIELD(Button37);
    BIND_FIELD(Button38);
    BIND_FIELD(Button39);
    BIND_FIELD(Button40);
    BIND_FIELD(Button42);
    BIND_FIELD(Button44);
    BIND_FIELD(Button45);
    BIND_FIELD(Button46);
    BIND_FIELD(Button47);
    BIND_FIELD(Button48);
    BIND_FIELD(Button49);

    BIND_HANDLER(Button37Click);
    BIND_HANDLER(Button38Click);
    BIND_HANDLER(Button39Click);
    BIND_HANDLER(Button40Click);
    BIND_HANDLER(Button42Click);
    BIND_HANDLER(Button44Click);
    BIND_HANDLER(Button45Click);
    BIND_HANDLER(Button46Click);
    BIND_HANDLER(Button47Click);
    BIND_HANDLER(Button48Click);
    BIND_HANDLER(Button49Click);
    BIND_HANDLER(CheckBox5Click);
    BIND_HANDLER(CheckBox6Click);
    BIND_HANDLER(CheckBox7Click);
}

namespace {

constexpr std::wstring_view DoneText = L"操作成功   ";
constexpr std::wstring_view DoneFailedText = L"操作失败   ";
// Closes a report with an empty line. A bare carriage return shows as the same empty line in a
// rich edit, but upsets the line breaks of the lines added after it.
constexpr std::wstring_view ClosingLine = L"";

struct Flag {
    std::wstring_view item;
    std::wstring_view flag;
};

// The request flag byte for each item of a row's list; "uid" sends the addressed flag and with it
// the row's UID box.
constexpr Flag Flags[] = {
    {L"TI", L"42"},
    {L"Philips", L"02"},
    {L"uid", L"22"},
    {L"Other", L"52"},
};
constexpr std::wstring_view AddressedFlag = L"22";

enum class FieldKind {
    Byte,           // one byte
    Data,           // any number of whole bytes
    Uid,            // eight bytes, always sent
    UidIfAddressed, // eight bytes, sent only with the flag "uid"
};

struct Field {
    TEdit* TForm1::*box;
    FieldKind kind;
};

// What a successful reply shows after the success line.
enum class Shows { Nothing, Blocks, SecurityStatus, SystemInformation };

struct CommandRow {
    std::uint8_t command;
    TComboBox* TForm1::*flags;
    std::array<Field, 4> fields;
    std::size_t fieldCount;
    int waitMs;
    std::wstring_view success;
    std::wstring_view failure;
    Shows shows;
};

constexpr CommandRow Rows[] = {
    {0x11,
     &TForm1::ComboBox10,
     {{{&TForm1::Edit14, FieldKind::Byte},
       {&TForm1::Edit13, FieldKind::Byte},
       {&TForm1::Edit55, FieldKind::UidIfAddressed}}},
     3,
     500,
     DoneText,
     L"读卡失败   ",
     Shows::Blocks},
    {0x12,
     &TForm1::ComboBox11,
     {{{&TForm1::Edit48, FieldKind::Byte},
       {&TForm1::Edit49, FieldKind::Byte},
       {&TForm1::Edit50, FieldKind::UidIfAddressed},
       {&TForm1::Edit16, FieldKind::Data}}},
     4,
     500,
     L"写卡操作成功   ",
     L"写卡失败   ",
     Shows::Nothing},
    // The lock carries no UID, whatever the flag.
    {0x13,
     &TForm1::ComboBox12,
     {{{&TForm1::Edit18, FieldKind::Byte}}},
     1,
     500,
     L"锁操作成功   ",
     L"锁操作失败   ",
     Shows::Nothing},
    {0x15,
     &TForm1::ComboBox13,
     {{{&TForm1::Edit19, FieldKind::Uid}}},
     1,
     500,
     L"选择卡操作成功   ",
     L"选择卡操作失败   ",
     Shows::Nothing},
    {0x17,
     &TForm1::ComboBox14,
     {{{&TForm1::Edit15, FieldKind::Byte}, {&TForm1::Edit28, FieldKind::UidIfAddressed}}},
     2,
     500,
     L"写AFI操作成功   ",
     L"写AFI操作失败   ",
     Shows::Nothing},
    {0x18,
     &TForm1::ComboBox15,
     {{{&TForm1::Edit32, FieldKind::UidIfAddressed}}},
     1,
     500,
     L"锁定AFI操作成功   ",
     L"锁定AFI操作失败   ",
     Shows::Nothing},
    {0x19,
     &TForm1::ComboBox16,
     {{{&TForm1::Edit17, FieldKind::Byte}, {&TForm1::Edit36, FieldKind::UidIfAddressed}}},
     2,
     500,
     L"写DSFID操作成功   ",
     L"写DSFID操作失败   ",
     Shows::Nothing},
    {0x1A,
     &TForm1::ComboBox17,
     {{{&TForm1::Edit38, FieldKind::UidIfAddressed}}},
     1,
     500,
     L"锁定DSFID操作成功   ",
     L"锁定DSFID操作失败   ",
     Shows::Nothing},
    {0x1B,
     &TForm1::ComboBox18,
     {{{&TForm1::Edit41, FieldKind::UidIfAddressed}}},
     1,
     500,
     DoneText,
     DoneFailedText,
     Shows::SystemInformation},
    {0x1C,
     &TForm1::ComboBox19,
     {{{&TForm1::Edit21, FieldKind::Byte},
       {&TForm1::Edit20, FieldKind::Byte},
       {&TForm1::Edit43, FieldKind::UidIfAddressed}}},
     3,
     500,
     DoneText,
     L"读卡块安全位失败   ",
     Shows::SecurityStatus},
};

constexpr std::size_t UidBytes = 8;

std::size_t FieldBytes(FieldKind kind) {
    switch (kind) {
    case FieldKind::Byte:
        return 1;
    case FieldKind::Data:
        return 0;
    default:
        return UidBytes;
    }
}

} // namespace

void TForm1::Button37Click(TObject*) {
    Send(L"10060000");
    Delay(1000);
    if (ReportReply(HiddenPageRow(DoneText, DoneFailedText, core::SuccessLineForm::Time)) !=
        core::ReplyKind::Success)
        return;

    AddLog(L"域内的卡片数量为：" + ReplyData(9, 2));
    const String records = ReplyData(11);
    AddLog(L"域内的卡片数据为：" + records);
    const std::vector<std::wstring> uids = core::InventoryUids(records);
    for (std::size_t i = 1; i <= uids.size(); ++i)
        AddLog(L"第" + IntToStr(static_cast<int>(i)) + L"张卡卡号为：" + cdate(uids[i - 1]));
    AddLog(String(ClosingLine));
}

void TForm1::RunIso15693Command(std::uint8_t command) {
    const auto row = std::find_if(std::begin(Rows), std::end(Rows),
                                  [command](const CommandRow& r) { return r.command == command; });

    const String item = (this->*(row->flags))->Text();
    const auto flag =
        std::find_if(std::begin(Flags), std::end(Flags), [&](const Flag& f) { return f.item == item; });
    if (flag == std::end(Flags))
        throw EConvertError(L"'" + item + L"' is not a valid request flag (TI, Philips, uid or Other)");

    String text = core::HexByteText(command) + String(flag->flag);
    for (const Field& field : std::span(row->fields).first(row->fieldCount)) {
        if (field.kind == FieldKind::UidIfAddressed && flag->flag != AddressedFlag) continue;
        text += HexBytesOf((this->*(field.box))->Text(), FieldBytes(field.kind));
    }

    Send(text);
    Delay(row->waitMs);
    if (ReportReply(HiddenPageRow(row->success, row->failure, core::SuccessLineForm::Time)) !=
        core::ReplyKind::Success)
        return;

    switch (row->shows) {
    case Shows::Nothing:
        AddLog(String(ClosingLine));
        break;
    case Shows::Blocks:
        AddLog(L"标志位为：" + ReplyData(9, 2));
        AddLog(L"读卡返回数据为：" + ReplyData(11) + String(core::LineEnd));
        break;
    case Shows::SecurityStatus:
        AddLog(L"标志位为：" + ReplyData(9, 2));
        AddLog(L"块安全位状态为：" + ReplyData(11) + String(core::LineEnd));
        break;
    case Shows::SystemInformation:
        AddLog(L"  Flags值为： " + ReplyData(9, 2));
        AddLog(L"  INFO Flags值为： " + ReplyData(11, 2));
        AddLog(L"  卡UID值为： " + ReplyData(13, 16));
        AddLog(L"  DSFID值为： " + ReplyData(29, 2));
        AddLog(L"  AFI值为： " + ReplyData(31, 2));
        AddLog(L"  Other fields值为： " + ReplyData(33) + String(core::LineEnd));
        break;
    }
}

void TForm1::Button38Click(TObject*) {
    RunIso15693Command(0x11);
}

void TForm1::Button39Click(TObject*) {
    RunIso15693Command(0x12);
}

void TForm1::Button40Click(TObject*) {
    RunIso15693Command(0x13);
}

void TForm1::Button42Click(TObject*) {
    RunIso15693Command(0x15);
}

void TForm1::Button44Click(TObject*) {
    RunIso15693Command(0x17);
}

void TForm1::Button45Click(TObject*) {
    RunIso15693Command(0x18);
}

void TForm1::Button46Click(TObject*) {
    RunIso15693Command(0x19);
}

void TForm1::Button47Click(TObject*) {
    RunIso15693Command(0x1A);
}

void TForm1::Button48Click(TObject*) {
    RunIso15693Command(0x1B);
}

void TForm1::Button49Click(TObject*) {
    RunIso15693Command(0x1C);
}

// The loops pause Edit22's period after each pass; the pause ends at once when a reply came.

void TForm1::CheckBox5Click(TObject*) {
    RepeatClickWhileTicked(CheckBox5, &TForm1::Button37Click, Button37, RepeatPause::UntilReply, 10);
}

void TForm1::CheckBox6Click(TObject*) {
    RepeatClickWhileTicked(CheckBox6, &TForm1::Button38Click, Button38, RepeatPause::UntilReply, 10);
}

void TForm1::CheckBox7Click(TObject*) {
    RepeatClickWhileTicked(CheckBox7, &TForm1::Button39Click, Button39, RepeatPause::UntilReply, 10);
}
