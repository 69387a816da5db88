// The page "Prefix &suffix Data Input": the prefix and suffix bytes and the 915M device settings
// (search interval, card filter, output interfaces, baud rate, serial end symbol, Wiegand, RF
// power, switch to a USB virtual serial port).
#include "Unit1.h"

#include "bind.h"

#include <console_core/hex_text.h>
#include <framework/sysutils.h>

void TForm1::RegisterPrefixSuffixPage() {
    BIND_FIELD(Edit24);
    BIND_FIELD(Edit25);
    BIND_FIELD(Edit26);
    BIND_FIELD(Edit27);
    BIND_FIELD(Edit44);
    BIND_FIELD(Edit45);
    BIND_FIELD(Edit46);
    BIND_FIELD(Edit47);
    BIND_FIELD(Edit29);
    BIND_FIELD(Edit35);
    BIND_FIELD(Edit37);
    BIND_FIELD(Edit39);
    BIND_FIELD(Edit40);
    BIND_FIELD(Edit42);
    BIND_FIELD(Edit51);
    BIND_FIELD(Edit52);
    BIND_FIELD(RadioButton23);
    BIND_FIELD(RadioButton24);
    BIND_FIELD(RadioButton25);
    BIND_FIELD(RadioButton26);
    BIND_FIELD(RadioButton27);
    BIND_FIELD(RadioButton28);
    BIND_FIELD(ComboBox20);
    BIND_FIELD(Button30);
    BIND_FIELD(Button35);
    BIND_FIELD(Button41);
    BIND_FIELD(Button43);
    BIND_FIELD(Button50);
    BIND_FIELD(Button51);
    BIND_FIELD(Button56);
    BIND_FIELD(Button58);
    BIND_FIELD(Button59);
    BIND_FIELD(Button60);
    BIND_FIELD(Button61);
    BIND_FIELD(Button62);
    BIND_FIELD(Button71);

    BIND_HANDLER(Button30Click);
    BIND_HANDLER(Button35Click);
    BIND_HANDLER(Button41Click);
    BIND_HANDLER(Button43Click);
    BIND_HANDLER(Button50Click);
    BIND_HANDLER(Button51Click);
    BIND_HANDLER(Button56Click);
    BIND_HANDLER(Button58Click);
    BIND_HANDLER(Button59Click);
    BIND_HANDLER(Button60Click);
    BIND_HANDLER(Button61Click);
    BIND_HANDLER(Button62Click);
    BIND_HANDLER(Button71Click);
}

namespace {

constexpr core::ReplyReportRow SearchInterval{.success = L"search card interval success     ",
                                              .failure = L"search card interval false     "};
constexpr core::ReplyReportRow CardFilter{.success = L"Set card filter number Success     ",
                                          .failure = L"Set card filter number false     "};
constexpr core::ReplyReportRow OutputInterfaces{.success = L"output interface setting  Success    ",
                                                .failure = L"output interface setting false     "};
constexpr core::ReplyReportRow Prefix{.success = L"Set prefix Success    ",
                                      .failure = L"Set prefix False    "};
constexpr core::ReplyReportRow Suffix{.success = L"Suffix setting Success     ",
                                      .failure = L"Suffix setting false     "};
constexpr core::ReplyReportRow BaudRate{.success = L"Setting baud rate Success     ",
                                        .failure = L"Setting baud rate False     "};
constexpr core::ReplyReportRow SerialEndSymbol{.success = L"Serial port end symbol Success     ",
                                               .failure = L"Serial port end symbol false     "};
constexpr core::ReplyReportRow WiegandFormat{.success = L"Wiegand output format success     ",
                                             .failure = L"Wiegand output format false    "};
constexpr core::ReplyReportRow WiegandPosition{.success = L"Set Wiegand value position success     ",
                                               .failure = L"Set Wiegand value position false     "};
constexpr core::ReplyReportRow WiegandPulse{.success = L"Set wiegand Low level pulse Success     ",
                                            .failure = L"Set wiegand Low level pulse False     "};
constexpr core::ReplyReportRow WiegandIdle{.success = L"Set Wiegand Idle level Success     ",
                                           .failure = L"Set Wiegand Idle level fasle     "};
constexpr core::ReplyReportRow RfPower{.success = L"Set RF power Success     ",
                                       .failure = L"Set RF power False     "};
constexpr core::ReplyReportRow UsbSerialSwitch{.success = L"USB mode switch setting  Success    ",
                                               .failure = L"USB mode switch setting false     "};

// The baud list's items in the order of their codes 00 .. 04.
constexpr std::wstring_view BaudRates[] = {L"9600", L"19200", L"38400", L"57600", L"115200"};

[[noreturn]] void Refuse(const String& text, const wchar_t* what) {
    throw EConvertError(L"'" + text + L"' is not a valid " + what);
}

// A box read as a decimal number that the command sends as one byte. Text that is no number gets
// the framework's own conversion error; a number that does not fit the byte is refused likewise,
// before anything is sent.
String DecimalByte(const TEdit* box) {
    const String text = box->Text();
    const int value = StrToInt(text);
    if (value < 0 || value > 0xFF) Refuse(text, L"byte value (0 to 255)");
    return core::HexByteText(static_cast<std::uint32_t>(value));
}

// A box that holds its byte as hex digits ("0A"), read as "$" + text.
String HexByte(const TEdit* box) {
    const String text = box->Text();
    int value = -1;
    if (!TryStrToInt(L"$" + text, value) || value < 0 || value > 0xFF)
        Refuse(text, L"hex byte value (00 to FF)");
    return core::HexByteText(static_cast<std::uint32_t>(value));
}

// Hex digits in whole pairs, blanks allowed between the pairs: a lone digit would shift every
// pair after it on the wire, and any other character would be dropped without a word.
bool WholeHexPairs(const String& text) {
    std::size_t digitsInGroup = 0;
    for (wchar_t c : text + L" ") {
        if (core::IsHexDigit(c)) {
            ++digitsInGroup;
        } else if (c == L' ' && digitsInGroup % 2 == 0) {
            digitsInGroup = 0;
        } else {
            return false;
        }
    }
    return true;
}

// The prefix or suffix bytes as the four boxes hold them, in order; an empty box adds nothing.
String ByteBoxes(std::initializer_list<const TEdit*> boxes) {
    String bytes;
    for (const TEdit* box : boxes) {
        const String text = box->Text();
        if (!WholeHexPairs(text)) Refuse(text, L"hex byte text (pairs of hex digits)");
        bytes += core::HexFilter(text);
    }
    return bytes;
}

String Flag(const TRadioButton* button) {
    return button->Checked() ? L"01" : L"00";
}

} // namespace

void TForm1::Button30Click(TObject*) {
    SendAndReport(L"c1" + DecimalByte(Edit29), 300, SearchInterval);
}

void TForm1::Button35Click(TObject*) {
    SendAndReport(L"c2" + DecimalByte(Edit35), 300, CardFilter);
}

void TForm1::Button41Click(TObject*) {
    // Serial port, Wiegand, USB.
    SendAndReport(L"c3" + Flag(RadioButton23) + Flag(RadioButton25) + Flag(RadioButton27), 300,
                  OutputInterfaces);
}

void TForm1::Button43Click(TObject*) {
    SendAndReport(L"cb01" + ByteBoxes({Edit24, Edit25, Edit26, Edit27}), 300, Prefix);
}

void TForm1::Button50Click(TObject*) {
    SendAndReport(L"cb02" + ByteBoxes({Edit44, Edit45, Edit46, Edit47}), 300, Suffix);
}

void TForm1::Button51Click(TObject*) {
    // A rate that is not in the list sends the bare command and the reader's answer tells.
    String code;
    const String rate = ComboBox20->Text();
    for (std::size_t i = 0; i < std::size(BaudRates); ++i)
        if (rate == BaudRates[i]) code = core::HexByteText(static_cast<std::uint32_t>(i));
    SendAndReport(L"C4" + code, 300, BaudRate);
}

void TForm1::Button56Click(TObject*) {
    SendAndReport(L"c5" + DecimalByte(Edit37), 300, SerialEndSymbol);
}

void TForm1::Button58Click(TObject*) {
    SendAndReport(L"c6" + DecimalByte(Edit39), 300, WiegandFormat);
}

void TForm1::Button59Click(TObject*) {
    SendAndReport(L"c9" + DecimalByte(Edit40), 300, WiegandPosition);
}

void TForm1::Button60Click(TObject*) {
    SendAndReport(L"c7" + HexByte(Edit42), 300, WiegandPulse);
}

void TForm1::Button61Click(TObject*) {
    SendAndReport(L"c8" + HexByte(Edit51), 300, WiegandIdle);
}

void TForm1::Button62Click(TObject*) {
    SendAndReport(L"cc" + DecimalByte(Edit52), 300, RfPower);
}

void TForm1::Button71Click(TObject*) {
    // A fixed frame: address 00 whatever setadd holds.
    SendHex(L"AA 00 01 B8 B9 BB");
    Delay(300);
    ReportReply(UsbSerialSwitch);
}
