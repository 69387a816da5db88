// The window tagconsole starts with: its identity, its pages and the presets of its create handler.
#include "tag_fixture.h"

#include "Unit2.h"
#include "skin_data/WinSkinData.h"
#include "skin_data/WinSkinStore.h"

#include <serial/comm.h>

namespace {

using StartUp = TagConsoleTest;

TEST_F(StartUp, TheWindowIsATForm1WithItsOwnCaption) {
    EXPECT_EQ(form().ClassName(), L"TForm1");
    EXPECT_EQ(form().Caption(), L" 134.2K Demo  V 1.1");
    EXPECT_EQ(Application->Title(), L"RFID");
    ASSERT_NE(Form2->Label1, nullptr);
    EXPECT_EQ(Form2->Label1->Caption(), L"Output format setting          ");
}

TEST_F(StartUp, OnlyTheTagReadersPagesHaveTabs) {
    struct Page {
        const wchar_t* sheet;
        const wchar_t* caption;
        bool tab;
    };
    const Page pages[] = {
        {L"TabSheet1", L"USB reader intelligent setting  ", true},
        {L"TabSheet4", L"系统命令", false},
        {L"TabSheet2", L"S50/S70", false},
        {L"TabSheet3", L"Ultralight", false},
        {L"TabSheet5", L"ISO14443B", false},
        {L"TabSheet6", L"ISO15693", false},
        {L"TabSheet7", L"language settings", true},
        {L"TabSheet8", L"Switch of mode", true},
    };
    TPageControl* control = form().PageControl1;
    ASSERT_EQ(control->PageCount(), static_cast<int>(std::size(pages)));
    for (int i = 0; i < control->PageCount(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(control->Pages(i)->Name(), pages[i].sheet);
        EXPECT_EQ(control->Pages(i)->Caption(), pages[i].caption);
        EXPECT_EQ(control->Pages(i)->TabVisible(), pages[i].tab);
    }
    // readerconsole's serial page and UHF controls are not part of this window.
    EXPECT_EQ(form().FindComponent(L"TabSheet9"), nullptr);
    EXPECT_EQ(form().FindComponent(L"Button70"), nullptr);
    EXPECT_EQ(form().FindComponent(L"Edit64"), nullptr);
}

TEST_F(StartUp, CreateHandlerPresets) {
    EXPECT_EQ(form().PageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(form().PageControl1->TabWidth(), form().PageControl1->Width() / 4 - 1);
    EXPECT_EQ(form().setadd->ItemIndex(), 0);
    EXPECT_EQ(form().ComboBox2->ItemIndex(), 0);
    EXPECT_EQ(form().ComboBox20->ItemIndex(), 1);
    EXPECT_EQ(form().ComboBox20->Text(), L"0.5 minute");
    EXPECT_EQ(form().ListBox1->ItemIndex(), 0);
    EXPECT_EQ(form().ListBox2->ItemIndex(), 4);
    // The port group is hidden and its "Open" is not disabled.
    EXPECT_TRUE(form().Button1->Enabled());
    // The fifth stored skin replaces the one of the description.
    TSkinCollectionItem* fifth = form().skinstore1->Store()->Items(4);
    EXPECT_EQ(fifth->Name(), L"Skin5");
    EXPECT_EQ(form().sd1->SkinStream()->Bytes(), fifth->DataStream()->Bytes());
    EXPECT_FALSE(form().sd1->SkinNotLoaded());
}

TEST_F(StartUp, ControlsStartAsTheTagReaderExpects) {
    EXPECT_TRUE(form().RadioButton16->Checked());
    EXPECT_TRUE(form().RadioButton29->Checked());
    EXPECT_FALSE(form().CheckBox19->Checked());
    EXPECT_EQ(form().Edit23->Text(), L"2B");
    for (TEdit* box : {form().Edit24, form().Edit25, form().Edit26, form().Edit27, form().Edit44,
                       form().Edit45, form().Edit46, form().Edit47})
        EXPECT_EQ(box->Text(), L"00") << box->Name();
    EXPECT_TRUE(form().RadioButton18->Checked());
    EXPECT_TRUE(form().RadioButton32->Checked());
    EXPECT_TRUE(form().RadioButton56->Checked());
    EXPECT_EQ(form().Edit29->Text(), L"Bluetooth1.0");
    EXPECT_TRUE(form().RadioButton3->Checked());
    EXPECT_FALSE(form().GroupBox4->Visible());
    EXPECT_TRUE(static_cast<bool>(form().Comm1->OnReceiveData));
}

TEST_F(StartUp, PageChangeOnlyEndsTheRepeatLoops) {
    // Ticked without running the loops the hidden pages bind to them.
    std::vector<std::pair<TCheckBox*, TNotifyEvent>> handlers;
    for (TCheckBox* box : {form().CheckBox1, form().CheckBox2, form().CheckBox4, form().CheckBox11}) {
        handlers.emplace_back(box, box->OnClick);
        box->OnClick = nullptr;
        box->SetChecked(true);
    }
    form().ComboBox1->Items()->Clear();
    form().PageControl1->SetActivePageIndex(6);
    form().PageControl1Change(form().PageControl1);
    for (TCheckBox* box : {form().CheckBox1, form().CheckBox2, form().CheckBox4, form().CheckBox11})
        EXPECT_FALSE(box->Checked()) << box->Name();
    // No port list is made.
    EXPECT_EQ(form().ComboBox1->Items()->Count(), 0);
    form().PageControl1->SetActivePageIndex(0);
    for (auto& [box, handler] : handlers) box->OnClick = handler;
}

} // namespace
