// The tag reader's output format: "Set" sends the format, the separators, the buzzer, the custom
// byte and the prefix and suffix bytes in one command 0x82; "Read" shows the record of 0x83.
#include "TagUnit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>
#include <framework/sysutils.h>

#include <initializer_list>
#include <string_view>

namespace tagconsole {

void TForm1::RegisterOutputFormatPage() {
    BIND_FIELD(CheckBox19);
    BIND_FIELD(Edit23);
    BIND_HANDLER(Button24Click);
    BIND_HANDLER(Button25Click);
}

namespace {

// One choice of the format group: the code "Set" sends (in the case it has always been sent in;
// the wire byte is the same) and the words "Read" shows for it.
struct OutputFormat {
    TRadioButton* ::TForm1::*button;
    std::wstring_view code;
    std::wstring_view readBack;
};

constexpr OutputFormat OutputFormats[] = {
    {&::TForm1::RadioButton5, L"07", L"10 no. in HEX"},
    {&::TForm1::RadioButton6, L"0C", L"8 no. in HEX"},
    {&::TForm1::RadioButton7, L"0d", L"00+8 no. in D (last 3 bytes)"},
    {&::TForm1::RadioButton8, L"03", L"8 no. in HEX reverse"},
    {&::TForm1::RadioButton9, L"0B", L"8 no. in D (last 3bytes)"},
    {&::TForm1::RadioButton10, L"06", L"18 no. in D"},
    {&::TForm1::RadioButton11, L"0E", L"8 no. in D (The card last 3bytes)"},
    {&::TForm1::RadioButton12, L"08", L"5 no. in D"},
    {&::TForm1::RadioButton13, L"09", L"8 no. in D "},
    {&::TForm1::RadioButton14, L"0A", L"10 no. in D reverse"},
    {&::TForm1::RadioButton15, L"05", L"13 no. in D"},
    {&::TForm1::RadioButton16, L"0F", L"10 no.in D"},
    {&::TForm1::RadioButton17, L"00", L"2H4D + 2H4D "},
    {&::TForm1::RadioButton21, L"01", L"14 no. in HEX (7 byte) "},
    {&::TForm1::RadioButton22, L"02", L"14 no. in HEX reverse  (7 byte)  "},
};

constexpr std::wstring_view OutputFormatLine = L"The Output format ： ";
constexpr std::size_t FormatCodeField = 11;
constexpr std::size_t CustomByteField = 25;
constexpr std::size_t PrefixField = 27;
constexpr std::size_t SuffixField = 35;
constexpr std::size_t FourBytes = 8;

constexpr core::ReplyReportRow SetFormat{.noData = core::NoDataTextFullWidth,
                                         .success = L"Set Up Success   ",
                                         .failure = L"Set up format false   "};
constexpr core::ReplyReportRow ReadFormat{.noData = core::NoDataTextFullWidth,
                                          .success = L"Read data success    ",
                                          .successForm = core::SuccessLineForm::Time,
                                          .failure = L"Read format false   "};

String Flag(bool on) {
    return on ? L"01" : L"00";
}

// A byte box of the frame. The boxes are joined as typed, so anything but two hex digits would
// move every later byte: such a box is refused before anything is sent.
String ByteBox(const TEdit* box, const wchar_t* role) {
    const String text = Trim(box->Text());
    if (text.size() != 2 || core::HexFilter(text).size() != 2)
        throw EConvertError(L"'" + box->Text() + L"' is not a valid " + role +
                            L": type two hex digits (00 to FF)");
    return text;
}

String ByteBoxes(std::initializer_list<const TEdit*> boxes, const wchar_t* role) {
    String bytes;
    for (const TEdit* box : boxes) bytes += ByteBox(box, role);
    return bytes;
}

} // namespace

void TForm1::Button24Click(TObject*) {
    String code;
    for (const OutputFormat& format : OutputFormats)
        if ((this->*format.button)->Checked()) code = String(format.code);

    // Every box is read before the frame is built, so a refused one sends nothing.
    const String custom = CheckBox19->Checked() ? ByteBox(Edit23, L"custom byte") : String(L"00");
    const String prefix = ByteBoxes({Edit24, Edit25, Edit26, Edit27}, L"prefix byte");
    const String suffix = ByteBoxes({Edit44, Edit45, Edit46, Edit47}, L"suffix byte");

    // Separators ";", "?", ",", Enter; the buzzer; a constant 01.
    const String flags = Flag(CheckBox16->Checked()) + Flag(CheckBox17->Checked()) +
                         Flag(CheckBox18->Checked()) + Flag(CheckBox15->Checked()) +
                         Flag(RadioButton29->Checked()) + L"01";
    SendAndReport(L"82" + code + flags + custom + prefix + suffix, 300, SetFormat);
}

void TForm1::Button25Click(TObject*) {
    if (SendAndReport(L"83", 300, ReadFormat) != core::ReplyKind::Success) return;

    // Codes outside the table show no words.
    const String code = core::ReplyField(ReplyHex, FormatCodeField, 2);
    String formatText;
    for (const OutputFormat& format : OutputFormats)
        if (SameText(code, String(format.code))) formatText = String(format.readBack);
    AddLog(String(OutputFormatLine) + formatText);

    LogOutputFormatFlags(false);

    const String custom = core::ReplyField(ReplyHex, CustomByteField, 2);
    if (custom == L"00")
        AddLog(L"Custom byte output is not added.   \r\n");
    else
        AddLog(L"Custom byte output is  ：  " + custom);
    AddLog(L"The Prefix Byte is:" + core::ReplyField(ReplyHex, PrefixField, FourBytes));
    AddLog(L"The suffix Byte is:" + core::ReplyField(ReplyHex, SuffixField, FourBytes) +
           String(core::LineEnd));
}

} // namespace tagconsole
