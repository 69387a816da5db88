// The two pages as the form resource makes them: every caption, label and start value the operator
// sees, trailing blanks and full-width characters included.
#include "settings_fixture.h"

#include <algorithm>

namespace {

struct Shown {
    const wchar_t* name;
    std::wstring text; // the caption, or the text of a box or list
    bool checked = false;
};

const Shown shown[] = {
    {L"TabSheet1", L"USB reader intelligent setting  "},
    {L"GroupBox6", L"output format setting "},
    {L"RadioButton5", L"10 no. in HEX    "},
    {L"RadioButton6", L"8 no. in HEX      "},
    {L"RadioButton7", L" 00+8 no. in D (last 3 bytes) "},
    {L"RadioButton8", L"8 no. in HEX reverse    "},
    {L"RadioButton9", L" 8 no. in D (last 3bytes)"},
    {L"RadioButton10", L"18 no. in D"},
    {L"RadioButton11", L"8 no. in D (last 4 bytes)"},
    {L"RadioButton12", L"5 no. in D"},
    {L"RadioButton13", L"8 no. in D (last 4 bytes)"},
    {L"RadioButton14", L"10 no. in D reverse   "},
    {L"RadioButton15", L"13 no. in D"},
    {L"RadioButton16", L"10 no.in D(four byte) ", true},
    {L"RadioButton17", L"2H4D "},
    {L"RadioButton21", L"All EPC Card Numberscard number 12-7-4 BYTE"},
    {L"RadioButton22", L"reverse epc card number 12-7-4 BYTE"},
    {L"RadioButton29", L"GS1 no (sgtin-96)"},
    {L"RadioButton34", L"Card number converted to ASCII output"},
    {L"RadioButton35", L"Card number hexadecimal output"},
    {L"Edit64", L"10"},
    {L"CheckBox16", L"add ;"},
    {L"CheckBox17", L"add ?  "},
    {L"CheckBox18", L"add , in middle   "},
    {L"CheckBox15", L"add \"Enter\"", true},
    {L"CheckBox21", L"Data followed by RSSI     "},
    {L"RadioButton18", L"大蜂鸣器", true},
    {L"RadioButton20", L"小蜂鸣器"},
    {L"Button24", L"Set"},
    {L"Button25", L"Read"},
    {L"Button27", L"Active reading"},
    {L"Button28", L"Passtive reading"},
    {L"Button57", L"Fatory default"},
    {L"Button63", L"Version number"},
    {L"Button64", L"Close voice"},

    {L"TabSheet7", L"Prefix &suffix Data Input"},
    {L"GroupBox8", L"Prefix &suffix setting"},
    {L"Edit24", L"30"},
    {L"Edit25", L"31"},
    {L"Edit26", L"32"},
    {L"Edit27", L"33"},
    {L"Edit44", L"31"},
    {L"Edit45", L"32"},
    {L"Edit46", L"33"},
    {L"Edit47", L"34"},
    {L"Button43", L"Prefix seting"},
    {L"Button50", L"Suffix setting"},
    {L"GroupBox9", L"915M device information"},
    {L"Edit29", L"10"},
    {L"Button30", L"Setting"},
    {L"Edit35", L"10"},
    {L"Button35", L"Setting"},
    {L"RadioButton23", L"serial port open", true},
    {L"RadioButton24", L"serial port close"},
    {L"RadioButton25", L"wiegand open", true},
    {L"RadioButton26", L"wiegand close"},
    {L"RadioButton27", L"USB open", true},
    {L"RadioButton28", L"USB close"},
    {L"Button41", L"Setting"},
    {L"ComboBox20", L"9600"},
    {L"Button51", L"Settting"},
    {L"Edit37", L"02"},
    {L"Button56", L"Setting"},
    {L"Edit52", L"02"},
    {L"Button62", L"Setting"},
    {L"Edit39", L"00"},
    {L"Button58", L"Setting"},
    {L"Edit40", L"09"},
    {L"Button59", L"Setting"},
    {L"Edit42", L"0A"},
    {L"Button60", L"Setting"},
    {L"Edit51", L"0A"},
    {L"Button61", L"Setting"},
    {L"Button71", L"Setting"},
};

// The labels beside the controls; the form gives them names of its own.
const std::wstring usbSettingLabels[] = {L"Byte       ", L"00 Output all card numbers  "};

const std::wstring prefixSuffixLabels[] = {
    L"Prefix：   ",
    L"Suffix：   ",
    L"First byte    ",
    L"Second byte",
    L"the third byte    ",
    L"The fourth byte",
    L"search card interval：   ",
    L"range ：00~255，Unit:10ms               ",
    L"card filter number：   ",
    L"range  00~255 ,00 output allthe time  ",
    L"output interface setting：  ",
    L"Setting baud rate :      ",
    L"baud rate        ",
    L"Serial port end symbol：   ",
    L"00 none, 01means 0D,  02 means 0D0A ",
    L"Set RF power",
    L"00~11，means 12.5db~30db       ",
    L"Wiegand output format：   ",
    L"00WG26 01WG34 02WG66 03WG98  ",
    L"Wiegand value position：   ",
    L"12 bytes card number，place of value           ",
    L"wiegand Low level pulse width",
    L"(0x01~0xFF) UNIT 10US",
    L"Wiegand Idle level(0x01~0xFF) Unit 100US        ",
    L"Switch to USB virtual serial port:      ",
};

std::vector<std::wstring> LabelsOn(TForm1& form, const TTabSheet* sheet) {
    std::vector<std::wstring> labels;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* label = dynamic_cast<TLabel*>(form.Components(i)); label && OnSheet(label, sheet))
            labels.push_back(label->Caption());
    return labels;
}

using PageTexts = SettingsTest;

TEST_F(PageTexts, CaptionsAndStartValues) {
    for (const Shown& s : shown) {
        auto* control = dynamic_cast<TControl*>(form().FindComponent(s.name));
        ASSERT_NE(control, nullptr) << s.name;
        EXPECT_EQ(control->Caption(), s.text) << s.name;
        bool checked = false;
        if (auto* box = dynamic_cast<TCheckBox*>(control)) checked = box->Checked();
        if (auto* radio = dynamic_cast<TRadioButton*>(control)) checked = radio->Checked();
        EXPECT_EQ(checked, s.checked) << s.name;
    }
}

TEST_F(PageTexts, Labels) {
    const std::pair<const TTabSheet*, std::vector<std::wstring>> pages[] = {
        {form().TabSheet1, {std::begin(usbSettingLabels), std::end(usbSettingLabels)}},
        {form().TabSheet7, {std::begin(prefixSuffixLabels), std::end(prefixSuffixLabels)}},
    };
    for (const auto& [sheet, expected] : pages) {
        const std::vector<std::wstring> labels = LabelsOn(form(), sheet);
        for (const std::wstring& text : expected)
            EXPECT_TRUE(std::find(labels.begin(), labels.end(), text) != labels.end())
                << "no label '" << StringToUtf8(text) << "'";
    }
}

TEST_F(PageTexts, BaudRateList) {
    const TComboBox* list = form().ComboBox20;
    ASSERT_EQ(list->Items()->Count(), 5);
    const wchar_t* const rates[] = {L"9600", L"19200", L"38400", L"57600", L"115200"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list->Items()->Strings(i), rates[i]);
    EXPECT_EQ(list->Hint(), L"待设置的波特率");
}

} // namespace
