// The page "USB reader intelligent setting  ": the card-number output format (set with 0x82, read
// back with 0x83), reading mode, factory default, version and the buzzer.
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <framework/sysutils.h>

#include <optional>

void TForm1::RegisterUsbSettingPage() {
    BIND_FIELD(RadioButton5);
    BIND_FIELD(RadioButton6);
    BIND_FIELD(RadioButton7);
    BIND_FIELD(RadioButton8);
    BIND_FIELD(RadioButton9);
    BIND_FIELD(RadioButton10);
    BIND_FIELD(RadioButton11);
    BIND_FIELD(RadioButton12);
    BIND_FIELD(RadioButton13);
    BIND_FIELD(RadioButton14);
    BIND_FIELD(RadioButton15);
    BIND_FIELD(RadioButton16);
    BIND_FIELD(RadioButton17);
    BIND_FIELD(RadioButton21);
    BIND_FIELD(RadioButton22);
    BIND_FIELD(RadioButton29);
    BIND_FIELD(RadioButton34);
    BIND_FIELD(RadioButton35);
    BIND_FIELD(Edit64);
    BIND_FIELD(CheckBox15);
    BIND_FIELD(CheckBox16);
    BIND_FIELD(CheckBox17);
    BIND_FIELD(CheckBox18);
    BIND_FIELD(CheckBox21);
    BIND_FIELD(Button24);
    BIND_FIELD(Button25);
    BIND_FIELD(Button27);
    BIND_FIELD(Button28);
    BIND_FIELD(Button57);
    BIND_FIELD(Button63);
    BIND_FIELD(Button64);

    BIND_HANDLER(Button24Click);
    BIND_HANDLER(Button25Click);
    BIND_HANDLER(Button27Click);
    BIND_HANDLER(Button28Click);
    BIND_HANDLER(Button57Click);
    BIND_HANDLER(Button63Click);
    BIND_HANDLER(Button64Click);
}

namespace {

// One choice of the format group: the code the set command sends and the words a read-back of
// that code shows. The codes keep the case they have always been sent in; the wire byte is the same.
struct OutputFormat {
    TRadioButton* TForm1::*button;
    std::wstring_view code;
    std::wstring_view readBack;
};

constexpr OutputFormat OutputFormats[] = {
    {&TForm1::RadioButton5, L"07", L"10 no. in HEX"},
    {&TForm1::RadioButton6, L"0C", L"8 no. in HEX"},
    {&TForm1::RadioButton7, L"0d", L"00+8 no. in D (last 3 bytes)"},
    {&TForm1::RadioButton8, L"03", L"8 no. in HEX reverse"},
    {&TForm1::RadioButton9, L"0B", L"8 no. in D (last 3bytes)"},
    {&TForm1::RadioButton10, L"06", L"18 no. in D"},
    {&TForm1::RadioButton11, L"0E", L"8 no. in D (The card last 3bytes)"},
    {&TForm1::RadioButton12, L"08", L"5 no. in D"},
    {&TForm1::RadioButton13, L"09", L"8 no. in D "},
    {&TForm1::RadioButton14, L"0A", L"10 no. in D reverse"},
    {&TForm1::RadioButton15, L"05", L"13 no. in D"},
    {&TForm1::RadioButton16, L"0F", L"10 no.in D"},
    {&TForm1::RadioButton17, L"00", L"2H4D + 2H4D "},
    {&TForm1::RadioButton21, L"01", L"8 no. in HEX (7 byte) "},
    {&TForm1::RadioButton22, L"02", L"8 no. in HEX reverse  (7 byte)  "},
    {&TForm1::RadioButton29, L"04", L"EPC card nubmer transform GS1 format（sgtin-96）..."},
    {&TForm1::RadioButton34, L"10", L"Card number converted to ASCII output..."},
};

// Codes above the last fixed format are custom lengths of hex output (0x80 + byte count).
constexpr std::uint32_t LastFixedFormat = 0x10;
constexpr std::wstring_view CustomLengthText = L"Card number custom length hexadecimal output...";
// The byte count of a custom length must keep 0x80 + count within one byte.
constexpr int MaxCustomLength = 0x7F;

constexpr std::wstring_view OutputFormatLine = L"The Output format ： ";

// One flag of the read-back record: where it stands in ReplyHex and its two texts.
struct FormatFlag {
    std::size_t first;
    std::wstring_view set;
    std::wstring_view notSet;
};

// In the order the log shows them: semicolon, comma, question mark, Enter.
constexpr FormatFlag FormatFlags[] = {
    {13, L"add semicolon", L"do not add semicolon "},
    {17, L"add ,", L"do not add , "},
    {15, L"add ?", L"do not add ? "},
    {19, L"add enter", L"do not add enter "},
};
constexpr std::size_t EnterFlagField = 19;
constexpr std::size_t CustomDataFlagField = 25;

constexpr core::ReplyReportRow SetFormat{.noData = core::NoDataTextFullWidth,
                                         .success = L"Set Up Success   ",
                                         .failure = L"Set up format false   "};
constexpr core::ReplyReportRow ReadFormat{.noData = core::NoDataTextFullWidth,
                                          .success = L"Read data success    ",
                                          .successForm = core::SuccessLineForm::Time,
                                          .failure = L"Read format false   "};
constexpr core::ReplyReportRow ActiveReading{.noData = core::NoDataTextFullWidth,
                                             .success = L"Set Active reading success    ",
                                             .successForm = core::SuccessLineForm::Time,
                                             .failure = L"Set Active reading false   "};
constexpr core::ReplyReportRow PassiveReading{.noData = core::NoDataTextFullWidth,
                                              .success = L"Set Passtive reading success    ",
                                              .successForm = core::SuccessLineForm::Time,
                                              .failure = L"Set Passtive reading false   "};
constexpr core::ReplyReportRow FactoryDefault{.success = L"Restore factory settings Success    ",
                                              .failure = L"Restore factory settings False    "};
constexpr core::ReplyReportRow ReadVersion{.success = L"read version number success ",
                                           .successForm = core::SuccessLineForm::TextOnly,
                                           .failure = L"read version number false    "};

String Flag(bool on) {
    return on ? L"01" : L"00";
}

// A two-character field of a reply as a number; nullopt when the reply is too short for it.
std::optional<std::uint32_t> FieldValue(const String& field) {
    if (field.size() != 2) return std::nullopt;
    return core::HexPairValue(field);
}

// The code of the custom-length choice: the exact text "00" asks for the whole card number (code
// 01); any other count n is sent as 0x80 + n, which must stay one byte.
String CustomLengthCode(const String& countText) {
    if (countText == L"00") return L"01";
    const int count = StrToInt(countText);
    if (count < 0 || count > MaxCustomLength)
        throw EConvertError(L"'" + countText + L"' is not a valid byte count (0 to 127)");
    return core::HexByteText(static_cast<std::uint32_t>(0x80 + count));
}

} // namespace

void TForm1::Button24Click(TObject*) {
    String code;
    for (const OutputFormat& format : OutputFormats)
        if ((this->*format.button)->Checked()) code = String(format.code);
    if (RadioButton35->Checked()) code = CustomLengthCode(Edit64->Text());

    const String flags = Flag(CheckBox16->Checked()) + Flag(CheckBox17->Checked()) +
                         Flag(CheckBox18->Checked()) + Flag(CheckBox15->Checked()) +
                         Flag(RadioButton18->Checked()) + L"01" + Flag(CheckBox21->Checked());
    SendAndReport(L"82" + code + flags, 300, SetFormat);
}

void TForm1::Button25Click(TObject*) {
    if (SendAndReport(core::HexByteText(0x83), 300, ReadFormat) != core::ReplyKind::Success) return;

    const String code = core::ReplyField(ReplyHex, 11, 2);
    String formatText;
    for (const OutputFormat& format : OutputFormats)
        if (SameText(code, String(format.code))) {
            formatText = String(format.readBack);
            break;
        }
    if (const auto value = FieldValue(code); value && *value > LastFixedFormat)
        formatText = String(CustomLengthText);
    AddLog(String(OutputFormatLine) + formatText);

    LogOutputFormatFlags(true);

    if (core::ReplyField(ReplyHex, CustomDataFlagField, 2) != L"00")
        AddLog(L"The customize data is ：  " + core::ReplyField(ReplyHex, EnterFlagField, 2));
    else
        AddLog(L"no add customize data...   \r\n");
}

void TForm1::LogOutputFormatFlags(bool lineEndAfterEnter) {
    // A field the reply is too short to hold is empty, and an empty flag is not "00".
    for (const FormatFlag& flag : FormatFlags) {
        const bool set = core::ReplyField(ReplyHex, flag.first, 2) != L"00";
        String line = String(OutputFormatLine) + String(set ? flag.set : flag.notSet);
        if (lineEndAfterEnter && flag.first == EnterFlagField) line += core::LineEnd;
        AddLog(line);
    }
}

void TForm1::Button27Click(TObject*) {
    SendAndReport(L"0f01", 300, ActiveReading);
}

void TForm1::Button28Click(TObject*) {
    SendAndReport(L"0f02", 300, PassiveReading);
}

void TForm1::Button57Click(TObject*) {
    SendAndReport(L"cf", 300, FactoryDefault);
}

void TForm1::Button63Click(TObject*) {
    if (SendAndReport(L"c0", 300, ReadVersion) != core::ReplyKind::Success) return;
    // Getchr shows the data field's hex digits when they do not make text.
    AddLog(L"the version number is：：" + Getchr(core::ReplyDataField(ReplyHex)) + String(core::LineEnd));
}

// The buzzer switch: the caption tells which frame goes next. Nobody waits for the reply.
void TForm1::Button64Click(TObject*) {
    if (Button64->Caption() == L"Close voice") {
        SendHex(L"AA 00 02 CD 00 CF BB ");
        Button64->SetCaption(L"Open voice");
        AddLog(L"Send Buzzer Open Instruction..");
    } else {
        SendHex(L"AA 00 02 CD 01 CE BB ");
        Button64->SetCaption(L"Close voice");
        AddLog(L"Send buzzer shutdown instructions");
    }
}
