#include "fixture.h"

#include <framework/sysutils.h>

namespace {

const char* const kStandard = R"(object ProbeForm: TProbeForm
  Caption = 'Probe'
  ClientWidth = 520
  ClientHeight = 400
  object Button1: TButton
    Left = 8
    Top = 8
    Caption = 'Go'
    OnClick = Clicked
  end
  object Edit1: TEdit
    Left = 8
    Top = 40
    Text = 'abc'
    MaxLength = 5
    OnChange = Changed
  end
  object Memo1: TMemo
    Left = 8
    Top = 70
    Lines.Strings = (
      'one'
      'two')
    ScrollBars = ssVertical
  end
  object Label1: TLabel
    Left = 200
    Top = 8
    Caption = 'Port:'
  end
  object CheckBox1: TCheckBox
    Left = 200
    Top = 40
    Caption = 'Auto'
    Checked = True
    OnClick = Clicked
  end
  object GroupBox1: TGroupBox
    Left = 200
    Top = 70
    Caption = 'Mode'
    object Radio1: TRadioButton
      Left = 8
      Top = 20
      Caption = 'A'
      Checked = True
      OnClick = Clicked
    end
    object Radio2: TRadioButton
      Left = 8
      Top = 44
      Caption = 'B'
      OnClick = Clicked
    end
  end
  object Radio3: TRadioButton
    Left = 200
    Top = 190
    Caption = 'C'
    Checked = True
    OnClick = Clicked
  end
  object ComboBox1: TComboBox
    Left = 8
    Top = 170
    Style = csDropDownList
    Items.Strings = (
      '9600'
      '19200'
      '115200')
    ItemIndex = 1
    OnChange = Changed
  end
  object ComboBox2: TComboBox
    Left = 8
    Top = 200
    Text = 'typed'
    OnChange = Changed
  end
  object ListBox1: TListBox
    Left = 8
    Top = 230
    Items.Strings = (
      '00'
      '01'
      '02')
    OnClick = Clicked
  end
  object Panel1: TPanel
    Left = 320
    Top = 230
    Caption = 'Info'
    BevelOuter = bvLowered
  end
end
)";

struct Expected {
    const wchar_t* component;
    const wchar_t* property;
    const wchar_t* value;
};

const Expected kLoaded[] = {
    {L"Button1", L"Caption", L"Go"},        {L"Edit1", L"Text", L"abc"},
    {L"Edit1", L"MaxLength", L"5"},         {L"Memo1", L"ScrollBars", L"ssVertical"},
    {L"Label1", L"Caption", L"Port:"},      {L"CheckBox1", L"Checked", L"True"},
    {L"Radio1", L"Checked", L"True"},       {L"Radio2", L"Checked", L"False"},
    {L"Radio3", L"Checked", L"True"},       {L"ComboBox1", L"ItemIndex", L"1"},
    {L"ComboBox1", L"Text", L"19200"},      {L"ComboBox2", L"Text", L"typed"},
    {L"ListBox1", L"ItemIndex", L"-1"},     {L"Panel1", L"BevelOuter", L"bvLowered"},
    {L"GroupBox1", L"Caption", L"Mode"},    {L"Panel1", L"Caption", L"Info"},
};

void ExpectLoadedValues(TProbeForm& form, const char* when) {
    for (const Expected& e : kLoaded) {
        TComponent* c = form.FindComponent(e.component);
        ASSERT_NE(c, nullptr) << StringToUtf8(e.component);
        EXPECT_EQ(GetPropValue(c, e.property), e.value)
            << StringToUtf8(e.component) << "." << StringToUtf8(e.property) << " " << when;
    }
}

class StandardControls : public ControlsTest {};

TEST_F(StandardControls, PropertiesReadBackBeforeAndAfterTheWindowsExist) {
    auto form = Load(kStandard);
    ExpectLoadedValues(*form, "before the windows exist");
    form->Show();
    ExpectLoadedValues(*form, "with windows");

    // The native windows got what was kept.
    auto* edit = Get<TEdit>(*form, L"Edit1");
    EXPECT_EQ(WindowText(edit->Handle()), L"abc");
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 5);
    auto* combo = Get<TComboBox>(*form, L"ComboBox1");
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(Get<TListBox>(*form, L"ListBox1")->Handle(), LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(Get<TCheckBox>(*form, L"CheckBox1")->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(Get<TRadioButton>(*form, L"Radio2")->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Children of the group box live in its window.
    EXPECT_EQ(GetParent(Get<TRadioButton>(*form, L"Radio1")->Handle()), Get<TGroupBox>(*form, L"GroupBox1")->Handle());
}

TEST_F(StandardControls, LoadingRunsNoClickOrChangeEvents) {
    auto form = Load(kStandard);
    form->Show();
    EXPECT_TRUE(form->Events.empty()) << StringToUtf8(form->Events.front());
}

TEST_F(StandardControls, AControlWithAFrameStillPaintsIt) {
    // Frame painting is skipped for controls that have none; one with a border must keep it.
    auto form = Load(kStandard);
    form->Show();
    HWND edit = Get<TEdit>(*form, L"Edit1")->Handle();
    ASSERT_TRUE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    UpdateWindow(form->Handle());
    const COLORREF marker = RGB(255, 0, 255);
    HDC dc = GetWindowDC(edit);
    RECT all;
    GetWindowRect(edit, &all);
    OffsetRect(&all, -all.left, -all.top);
    HBRUSH brush = CreateSolidBrush(marker);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ASSERT_EQ(GetPixel(dc, 0, 0), marker);
    RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_NE(GetPixel(dc, 0, 0), marker) << "the border was not painted again";
    ReleaseDC(edit, dc);
}

TEST_F(StandardControls, ButtonClickedThroughItsWindowRunsOnClick) {
    auto form = Load(kStandard);
    form->Show();
    auto* button = Get<TButton>(*form, L"Button1");
    SendMessageW(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->Events, std::vector<String>{L"Button1 click"});

    // A click made by the program works on a disabled button too.
    button->SetEnabled(false);
    button->Click();
    EXPECT_EQ(form->Events.size(), 2u);
}

TEST_F(StandardControls, CheckBoxTogglesOnClickAndReportsEveryChange) {
    auto form = Load(kStandard);
    form->Show();
    auto* box = Get<TCheckBox>(*form, L"CheckBox1");
    SendMessageW(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    box->SetChecked(true);
    box->SetChecked(true); // no change, no event
    EXPECT_EQ(form->Events, (std::vector<String>{L"CheckBox1 click", L"CheckBox1 click"}));
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(StandardControls, RadioButtonsAreExclusiveWithinTheirParentOnly) {
    auto form = Load(kStandard);
    form->Show();
    auto* r1 = Get<TRadioButton>(*form, L"Radio1");
    auto* r2 = Get<TRadioButton>(*form, L"Radio2");
    auto* r3 = Get<TRadioButton>(*form, L"Radio3");

    SendMessageW(r2->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r1->Checked());
    EXPECT_EQ(SendMessageW(r1->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(r3->Checked()) << "a radio button of another parent was unchecked";
    // Only the button that became checked reports.
    EXPECT_EQ(form->Events, std::vector<String>{L"Radio2 click"});

    r1->SetChecked(true);
    EXPECT_FALSE(r2->Checked());
    EXPECT_EQ(SendMessageW(r2->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Clicking the checked one again changes nothing.
    form->Events.clear();
    SendMessageW(r1->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(form->Events.empty());
}

TEST_F(StandardControls, EditReportsChangesAndKeepsItsLimitForTyping) {
    auto form = Load(kStandard);
    EXPECT_TRUE(form->Events.empty()) << "the text read with the form is no change";
    auto* edit = Get<TEdit>(*form, L"Edit1");
    edit->SetText(L"bye");
    EXPECT_EQ(form->Events, std::vector<String>{L"Edit1 change"}) << "without a window";
    form->Events.clear();
    form->Show();
    EXPECT_TRUE(form->Events.empty()) << "making the window is no change";
    edit->SetText(L"xy");
    EXPECT_EQ(form->Events, std::vector<String>{L"Edit1 change"}) << "with a window, once";

    edit->SetSelStart(2);
    for (wchar_t c : String(L"123456")) SendMessageW(edit->Handle(), WM_CHAR, c, 0);
    EXPECT_EQ(edit->Text(), L"xy123") << "typing went past MaxLength";

    edit->SetSelStart(1);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->SelText(), L"y12");
    edit->ClearSelection();
    EXPECT_EQ(edit->Text(), L"x3");
    edit->Undo();
    EXPECT_EQ(edit->Text(), L"xy123");
}

TEST_F(StandardControls, MemoLinesAgreeWithAndWithoutAWindow) {
    auto form = Load(kStandard);
    auto* memo = Get<TMemo>(*form, L"Memo1");
    TStrings* lines = memo->Lines();
    lines->Add(L"three");
    EXPECT_EQ(lines->Count(), 3);
    EXPECT_EQ(memo->Text(), L"one\r\ntwo\r\nthree\r\n");

    form->Show();
    ASSERT_TRUE(memo->HandleAllocated());
    EXPECT_EQ(lines->Count(), 3);
    EXPECT_EQ(lines->Strings(2), L"three");
    lines->Add(L"four");
    lines->Delete(0);
    lines->Insert(0, L"zero");
    lines->Put(1, L"TWO");
    EXPECT_EQ(memo->Text(), L"zero\r\nTWO\r\nthree\r\nfour\r\n");
    EXPECT_THROW(lines->Strings(4), EListError);

    // A text without a final line break still takes a new last line.
    memo->SetText(L"a\r\nb");
    lines->Add(L"c");
    EXPECT_EQ(lines->Count(), 3);
    EXPECT_EQ(lines->Strings(2), L"c");
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
}

TEST_F(StandardControls, ComboBoxReportsTheUsersChoiceNotTheProgramsAndShowsItInOnChange) {
    auto form = Load(kStandard);
    auto* combo = Get<TComboBox>(*form, L"ComboBox1");
    // An item inserted before the selected one keeps the selection on the same text.
    combo->Items()->Insert(0, L"4800");
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), L"19200");
    form->Show();
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), 2);

    combo->SetItemIndex(3);
    EXPECT_EQ(combo->Text(), L"115200");
    combo->SetText(L"9600"); // a drop-down list shows only items: the text picks one
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_TRUE(form->Events.empty());

    String seen;
    form->During = [&](TObject* sender) { seen = static_cast<TComboBox*>(sender)->Text(); };
    SendMessageW(combo->Handle(), CB_SETCURSEL, 0, 0);
    SendCommandFromChild(combo, CBN_SELCHANGE);
    EXPECT_EQ(form->Events, std::vector<String>{L"ComboBox1 change"});
    EXPECT_EQ(seen, L"4800");

    // In a combo box with an edit, the handler already reads the chosen item.
    auto* typed = Get<TComboBox>(*form, L"ComboBox2");
    typed->Items()->Add(L"COM1");
    typed->Items()->Add(L"COM3");
    SendMessageW(typed->Handle(), CB_SETCURSEL, 1, 0);
    SendCommandFromChild(typed, CBN_SELCHANGE);
    EXPECT_EQ(seen, L"COM3");
}

TEST_F(StandardControls, ListBoxKeepsItsItemsAndSelectionWhenItsWindowIsMadeAgain) {
    auto form = Load(kStandard);
    form->Show();
    auto* list = Get<TListBox>(*form, L"ListBox1");
    list->SetItemIndex(2);
    EXPECT_TRUE(form->Events.empty());
    list->SetBorderStyle(bsNone); // a style that needs a new window
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(list->ItemIndex(), 2);

    SendMessageW(list->Handle(), LB_SETCURSEL, 0, 0);
    SendCommandFromChild(list, LBN_SELCHANGE);
    EXPECT_EQ(form->Events, std::vector<String>{L"ListBox1 click"});
    EXPECT_EQ(list->ItemIndex(), 0);
}

TEST_F(StandardControls, LabelTakesTheSizeOfItsCaption) {
    auto form = Load(kStandard);
    auto* label = Get<TLabel>(*form, L"Label1");
    const int shortWidth = label->Width();
    EXPECT_GT(shortWidth, 0);
    label->SetCaption(L"Port: COM1, 115200 baud");
    EXPECT_GT(label->Width(), shortWidth);
    label->SetAutoSize(false);
    label->SetCaption(L"P");
    EXPECT_GT(label->Width(), shortWidth) << "a label without AutoSize changed its size";
}

TEST_F(StandardControls, LabelsStayBeneathTheWindowedControlsBesideThem) {
    // A caption with trailing blanks runs on under the button next to it; the button must stay whole,
    // whichever was declared first and whichever window was made later.
    auto form = Load(R"(object ProbeForm: TProbeForm
  ClientWidth = 300
  ClientHeight = 120
  object Label1: TLabel
    Left = 8
    Top = 8
    Caption = 'range 00~255                         '
  end
  object Button1: TButton
    Left = 60
    Top = 4
  end
  object Button2: TButton
    Left = 60
    Top = 40
  end
  object Label2: TLabel
    Left = 8
    Top = 44
    Caption = 'place of value                       '
  end
  object Label3: TLabel
    Left = 8
    Top = 80
    Visible = False
    Caption = 'shown later                          '
  end
  object Button3: TButton
    Left = 60
    Top = 76
    Visible = False
  end
end
)");
    form->Show();
    Get<TLabel>(*form, L"Label3")->SetVisible(true);
    Get<TButton>(*form, L"Button3")->SetVisible(true);
    std::vector<String> zOrder; // from the top down
    for (HWND w = GetWindow(form->Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        zOrder.push_back(TWinControl::FromHandle(w)->Name());
    EXPECT_EQ(zOrder,
              (std::vector<String>{L"Button1", L"Button2", L"Button3", L"Label1", L"Label2", L"Label3"}));
}

} // namespace
