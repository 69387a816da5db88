// The tag reader's settings: keyboard layout, work mode, sleep time, version, Bluetooth mode and
// Bluetooth name.
#include "TagUnit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>
#include <framework/sysutils.h>

#include <string>
#include <string_view>

namespace tagconsole {

void TForm1::RegisterLanguagePage() {
    BIND_FIELD(RadioButton44);
    BIND_FIELD(RadioButton45);
    BIND_FIELD(RadioButton46);
    BIND_FIELD(RadioButton47);
    BIND_FIELD(RadioButton48);
    BIND_FIELD(RadioButton49);
    BIND_FIELD(RadioButton50);
    BIND_FIELD(RadioButton51);
    BIND_FIELD(RadioButton52);
    BIND_FIELD(RadioButton53);
    BIND_HANDLER(Button27Click);
    BIND_HANDLER(Button28Click);
}

void TForm1::RegisterModePage() {
    BIND_FIELD(RadioButton54);
    BIND_FIELD(RadioButton55);
    BIND_FIELD(RadioButton56);
    BIND_FIELD(RadioButton57);
    BIND_FIELD(RadioButton58);
    BIND_HANDLER(Button69Click);
    BIND_HANDLER(Button30Click);
    BIND_HANDLER(Button63Click);
    BIND_HANDLER(Button35Click);
    BIND_HANDLER(Button41Click);
}

namespace {

// A choice of one of the pages' radio groups: the command text it sends and the name the log gives
// it. Layout codes keep the lower-case letters they have always been sent with.
struct Choice {
    TRadioButton* TForm1::*button;
    std::wstring_view command;
    std::wstring_view name;
};

constexpr Choice KeyboardLayouts[] = {
    {&TForm1::RadioButton18, L"00", L"American style"},
    {&TForm1::RadioButton24, L"01", L"Belgium"},
    {&TForm1::RadioButton25, L"02", L"Brazil"},
    {&TForm1::RadioButton26, L"03", L"Canada"},
    {&TForm1::RadioButton53, L"04", L"Croatia"},
    {&TForm1::RadioButton52, L"05", L"Czech Republic"},
    {&TForm1::RadioButton51, L"06", L"Slovakia"},
    {&TForm1::RadioButton50, L"07", L"Denmark"},
    {&TForm1::RadioButton49, L"08", L"Finland "},
    {&TForm1::RadioButton39, L"09", L"French"},
    {&TForm1::RadioButton38, L"0a", L"German"},
    {&TForm1::RadioButton20, L"0b", L"Hungary"},
    {&TForm1::RadioButton47, L"0c", L"Italy "},
    {&TForm1::RadioButton45, L"0d", L"Latin America "},
    {&TForm1::RadioButton31, L"0e", L"Netherlands "},
    {&TForm1::RadioButton27, L"0f", L"Norway"},
    {&TForm1::RadioButton43, L"10", L"poland"},
    {&TForm1::RadioButton41, L"11", L"Portugal "},
    {&TForm1::RadioButton37, L"12", L"Serbia"},
    {&TForm1::RadioButton36, L"13", L"Slovenia "},
    {&TForm1::RadioButton35, L"14", L"Spain"},
    {&TForm1::RadioButton23, L"15", L"Sweden"},
    {&TForm1::RadioButton48, L"16", L"Switzerland-French"},
    {&TForm1::RadioButton46, L"17", L"Switzerland-German"},
    {&TForm1::RadioButton44, L"18", L"England "},
    {&TForm1::RadioButton28, L"19", L"Non Latin"},
    {&TForm1::RadioButton42, L"1a", L"turkey-F"},
    {&TForm1::RadioButton40, L"1b", L"turkey-Q"},
    {&TForm1::RadioButton34, L"1c", L"Japanese "},
    {&TForm1::RadioButton33, L"1d", L"Romania"},
};

constexpr Choice WorkModes[] = {
    {&TForm1::RadioButton32, L"0F01", L"Key trigger mode "},
    {&TForm1::RadioButton54, L"0F02", L"Active read single "},
    {&TForm1::RadioButton55, L"0F03", L"Active read continuity "},
};

constexpr Choice BluetoothModes[] = {
    {&TForm1::RadioButton56, L"2200", L"HID mode "},
    {&TForm1::RadioButton57, L"2201", L"SPP mode "},
    {&TForm1::RadioButton58, L"2202", L"BLE mode "},
};

constexpr std::size_t LayoutCodeField = 9;
// The sleep-time list's items 0 .. 8 are the codes 00 .. 08.
constexpr int SleepTimeCount = 9;
// The name, the command byte and the five framing bytes fill at most one send buffer.
constexpr std::size_t LongestBluetoothName = core::SendBufferBytes - 6;

constexpr core::ReplyReportRow SetLayout{.noData = core::NoDataTextFullWidth,
                                         .success = L"Set Up Success   ",
                                         .failure = L"Set up format false   "};
constexpr core::ReplyReportRow ReadVersion{.success = L"read version number success    ",
                                           .successForm = core::SuccessLineForm::TextOnly,
                                           .failure = L"read version number false    "};
constexpr core::ReplyReportRow SetSleepTime{.success = L"Set sleep time  success     ",
                                            .failure = L"Set sleep time false     "};
constexpr core::ReplyReportRow SetBluetoothName{.success = L"Set Bluetooth name successfully     ",
                                                .failure = L"Set Bluetooth name false     "};

template <std::size_t N> const Choice* CheckedChoice(const TForm1& form, const Choice (&choices)[N]) {
    for (const Choice& choice : choices)
        if ((form.*choice.button)->Checked()) return &choice;
    return nullptr;
}

} // namespace

void TForm1::Button27Click(TObject*) {
    // The code goes through the hidden system page's address box, which command 0x80 also sets.
    if (const Choice* layout = CheckedChoice(*this, KeyboardLayouts)) Edit4->SetText(String(layout->command));
    SendAndReport(L"80" + Edit4->Text(), 300, SetLayout);
}

void TForm1::Button28Click(TObject*) {
    RefuseWhileAwaitingReply();
    ReplyHex.clear();
    Send(L"83");
    Delay(300);
    // Codes outside the table have no name.
    const String code = core::ReplyField(ReplyHex, LayoutCodeField, 2);
    String name;
    for (const Choice& layout : KeyboardLayouts)
        if (SameText(code, String(layout.command))) name = String(layout.name);
    const String success = L"The output language is : " + name + L" .  ";
    ReportReply({.noData = core::NoDataTextFullWidth,
                 .success = success,
                 .successForm = core::SuccessLineForm::Time,
                 .failure = L"Set up format false   "});
}

namespace {

// The work-mode and Bluetooth-mode reports name the checked mode in both outcomes.
void SendMode(TForm1& form, const Choice* mode) {
    const String name = mode ? String(mode->name) : String();
    const String success = L"Set  " + name + L" Success    ";
    const String failure = L"Set " + name + L"False   ";
    form.SendAndReport(mode ? String(mode->command) : String(), 300,
                       {.noData = core::NoDataReceiveText,
                        .success = success,
                        .successForm = core::SuccessLineForm::Time,
                        .failure = failure,
                        .otherStatus = core::CheckSumErrorText});
}

} // namespace

void TForm1::Button69Click(TObject*) {
    SendMode(*this, CheckedChoice(*this, WorkModes));
}

void TForm1::Button35Click(TObject*) {
    SendMode(*this, CheckedChoice(*this, BluetoothModes));
}

void TForm1::Button30Click(TObject*) {
    // With no item chosen the bare command goes out and the reader's answer tells.
    const int index = ComboBox20->ItemIndex();
    const String code = index >= 0 && index < SleepTimeCount
                            ? core::HexByteText(static_cast<std::uint32_t>(index))
                            : String();
    SendAndReport(L"0E" + code, 300, SetSleepTime);
}

void TForm1::Button63Click(TObject*) {
    if (SendAndReport(L"c0", 300, ReadVersion) != core::ReplyKind::Success) return;
    // Getchr shows the data field's hex digits when they do not make text.
    AddLog(L"the version number is：" + Getchr(core::ReplyDataField(ReplyHex)) + String(core::LineEnd));
}

String TForm1::GetAscii(const String& text) const {
    String hex;
    for (const char byte : WideToAnsi(text, 936)) hex += core::HexByteText(static_cast<std::uint8_t>(byte));
    return hex;
}

void TForm1::Button41Click(TObject*) {
    const String name = GetAscii(Edit29->Text());
    if (name.size() / 2 > LongestBluetoothName)
        throw Exception(L"The Bluetooth name '" + Edit29->Text() + L"' is too long: at most " +
                        IntToStr(static_cast<int>(LongestBluetoothName)) + L" bytes fit one command");
    SendAndReport(L"88" + name, 300, SetBluetoothName);
}

} // namespace tagconsole
