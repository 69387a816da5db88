#include "fixture.h"

#include <typeinfo>

namespace {

const char* const kForm = R"(object WalkForm: TForm
  Caption = 'Walk'
  ClientWidth = 500
  ClientHeight = 360
  object Button1: TButton
    Left = 8
    Top = 8
    Caption = 'Go'
  end
  object Off1: TButton
    Left = 100
    Top = 8
    Tag = 199
    Caption = 'Off'
  end
  object CheckBox1: TCheckBox
    Left = 8
    Top = 40
    Caption = 'Check'
  end
  object GroupBox1: TGroupBox
    Left = 200
    Top = 8
    Width = 200
    Height = 100
    Caption = 'Mode'
    object Radio1: TRadioButton
      Left = 8
      Top = 20
      Caption = 'A'
    end
  end
  object Panel1: TPanel
    Left = 8
    Top = 120
    Width = 150
    Height = 40
  end
  object PageControl1: TPageControl
    Left = 200
    Top = 120
    Width = 250
    Height = 120
    object TabSheet1: TTabSheet
      Caption = 'One'
    end
    object TabSheet2: TTabSheet
      Caption = 'Two'
      object PageButton: TButton
        Left = 8
        Top = 8
        Caption = 'Page'
      end
    end
  end
  object TrackBar1: TTrackBar
    Left = 8
    Top = 170
    Width = 150
    Height = 30
  end
  object UpDown1: TUpDown
    Left = 8
    Top = 210
    Width = 20
    Height = 30
  end
  object Progress1: TProgressBar
    Left = 40
    Top = 210
    Width = 100
    Height = 16
  end
  object Memo1: TMemo
    Left = 8
    Top = 250
    Width = 100
    Height = 50
  end
  object Edit1: TEdit
    Left = 120
    Top = 250
    Width = 60
  end
  object Label1: TLabel
    Left = 200
    Top = 260
    Caption = 'Label'
  end
  object StatusBar1: TStatusBar
    SimplePanel = True
    SimpleText = 'ready'
  end
end
)";

class WalkTest : public SkinControlTest {
protected:
    void SetUp() override {
        SkinControlTest::SetUp();
        skin = MakeTestSkin();
        form = LoadForm(kForm);
        skinForm = std::make_unique<TWinSkinForm>(nullptr);
        skinForm->SkinData = skin.get();
        skinForm->Form = form.get();
        skinForm->Window = form->Handle();
    }
    void TearDown() override {
        skinForm.reset();
        form.reset();
        SkinControlTest::TearDown();
    }
    // The class of the skinner attached to a control, "" for none.
    std::string SkinnerOf(const wchar_t* name) {
        auto* control = dynamic_cast<TControl*>(form->FindComponent(name));
        auto* windowed = dynamic_cast<TWinControl*>(control);
        for (TSkinControl* s : skinForm->SkinControlList)
            if (s->Control == control ||
                (windowed && windowed->HandleAllocated() && s->Handle == windowed->Handle()))
                return std::string(typeid(*s).name())
                    .substr(std::string(typeid(*s).name()).find_first_not_of("0123456789"));
        return "";
    }
    std::unique_ptr<TSkinData> skin;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TWinSkinForm> skinForm;
};

TEST_F(WalkTest, EachControlGetsTheSkinnerItsClassCallsFor) {
    skinForm->SkinComponents(form.get());
    const struct {
        const wchar_t* control;
        const char* skinner;
    } cases[] = {{L"Button1", "TSkinButton"},
                 {L"Off1", ""},
                 {L"CheckBox1", "TSkinCheckBox"},
                 {L"GroupBox1", "TSkinGroupBox"},
                 {L"Radio1", "TSkinRadioButton"},
                 {L"Panel1", "TSkinBox"},
                 {L"PageControl1", "TSkinTab"},
                 {L"TrackBar1", "TSkinTrackBar"},
                 {L"UpDown1", "TSkinUpDown"},
                 {L"Progress1", ""}, // only through Skin3rd
                 {L"Memo1", "TSkinScrollbar"},
                 {L"Edit1", "TSkinEdit"},
                 {L"Label1", ""},
                 {L"StatusBar1", "TSkinStatusBar"}};
    for (const auto& c : cases)
        EXPECT_EQ(SkinnerOf(c.control), c.skinner) << std::string(c.control, c.control + wcslen(c.control));
    auto* bar = dynamic_cast<TStatusBar*>(form->FindComponent(L"StatusBar1"));
    EXPECT_FALSE(bar->SizeGrip());
    EXPECT_EQ(dynamic_cast<TControl*>(form->FindComponent(L"GroupBox1"))->Color(), TestFace);

    // A second walk attaches nothing twice.
    const std::size_t count = skinForm->SkinControlList.size();
    skinForm->SkinComponents(form.get());
    EXPECT_EQ(skinForm->SkinControlList.size(), count);

    skinForm->FreeSkinControls();
    EXPECT_TRUE(skinForm->SkinControlList.empty());
    EXPECT_NE(dynamic_cast<TControl*>(form->FindComponent(L"GroupBox1"))->Color(), TestFace);
}

TEST_F(WalkTest, SkinControlsBitsAndTheTabsElementDecide) {
    TSkinControlTypes kinds = DefaultSkinControls;
    kinds.Exclude(xcButton).Exclude(xcCheckBox).Exclude(xcTab);
    skin->SetSkinControls(kinds);
    skinForm->SkinComponents(form.get());
    EXPECT_EQ(SkinnerOf(L"Button1"), "");
    EXPECT_EQ(SkinnerOf(L"CheckBox1"), "");
    EXPECT_EQ(SkinnerOf(L"TrackBar1"), "");
    EXPECT_EQ(SkinnerOf(L"PageControl1"), "");
    EXPECT_EQ(SkinnerOf(L"Radio1"), "TSkinRadioButton");

    skinForm->FreeSkinControls();
    TTestSkinParts parts;
    parts.Tabs = false;
    skin = MakeTestSkin(parts);
    skinForm->SkinData = skin.get();
    skinForm->SkinComponents(form.get());
    EXPECT_EQ(SkinnerOf(L"PageControl1"), "") << "no Tabs element: no tab skinner";
}

TEST_F(WalkTest, Skin3rdKindsComeBeforeTheBuiltInRules) {
    TStrings* lines = skin->Skin3rd();
    lines->Insert(0, L"TProgressBar=progress");
    lines->Insert(0, L"TButton=nil");
    lines->Insert(0, L"TCheckBox=radiobutton");
    lines->Insert(0, L"TPanel=unknownkind");
    lines->Insert(0, L"TGroupBox = groupbox"); // blanks around "=": no match
    skinForm->SkinComponents(form.get());
    EXPECT_EQ(SkinnerOf(L"Progress1"), "TSkinProgress");
    EXPECT_EQ(SkinnerOf(L"Button1"), "");
    EXPECT_EQ(SkinnerOf(L"CheckBox1"), "TSkinRadioButton");
    EXPECT_EQ(SkinnerOf(L"Panel1"), "");
    EXPECT_EQ(SkinnerOf(L"GroupBox1"), "TSkinGroupBox");

    skinForm->FreeSkinControls();
    TSkinControlTypes kinds = DefaultSkinControls;
    kinds.Exclude(xcProgress);
    skin->SetSkinControls(kinds);
    skinForm->SkinComponents(form.get());
    EXPECT_EQ(SkinnerOf(L"Progress1"), "") << "the kind's bit is off";
}

TEST_F(WalkTest, OnSkinControlIsAskedFirstAndItsSkinnerIsUsed) {
    std::vector<String> asked;
    skin->OnSkinControl = [&](TComponent* sender, TSkinData* data, TControl* owner, TControl* control,
                              String controlClass, TComponent*& skinned) {
        EXPECT_EQ(sender, skinForm.get());
        EXPECT_EQ(data, skin.get());
        EXPECT_EQ(owner, form.get());
        asked.push_back(controlClass);
        if (control->Name() == L"Button1") skinned = new TSkinCheckBox(control);
    };
    skinForm->SkinComponents(form.get());
    EXPECT_EQ(SkinnerOf(L"Button1"), "TSkinCheckBox");
    EXPECT_EQ(SkinnerOf(L"CheckBox1"), "TSkinCheckBox");
    EXPECT_NE(std::find(asked.begin(), asked.end(), L"TBUTTON"), asked.end());
    EXPECT_EQ(std::find(asked.begin(), asked.end(), L"TBUTTON") - asked.begin(), 0);
}

TEST_F(WalkTest, DisableTagSkipsByTheLastTwoDigits) {
    auto* button = dynamic_cast<TButton*>(form->FindComponent(L"Button1"));
    for (int tag : {99, 199, 299}) {
        SCOPED_TRACE(tag);
        button->SetTag(tag);
        skinForm->SkinComponents(form.get());
        EXPECT_EQ(SkinnerOf(L"Button1"), "");
        skinForm->FreeSkinControls();
    }
    button->SetTag(98);
    skinForm->SkinComponents(form.get());
    EXPECT_EQ(SkinnerOf(L"Button1"), "TSkinButton");
}

TEST_F(WalkTest, NativeChildWindowsByClassAndStyle) {
    struct TChild {
        const wchar_t* cls;
        DWORD style;
        const char* skinner;
    } children[] = {{L"BUTTON", BS_PUSHBUTTON, "TSkinButton"},
                    {L"BUTTON", BS_GROUPBOX, ""},
                    {L"BUTTON", BS_AUTORADIOBUTTON, "TSkinRadioButton"},
                    {L"BUTTON", BS_AUTOCHECKBOX, "TSkinCheckBox"},
                    {L"BUTTON", BS_OWNERDRAW, "TSkinCheckBox"},
                    {L"COMBOBOX", CBS_SIMPLE, ""},
                    {L"STATIC", 0, ""}};
    HWND dialog = CreateWindowExW(0, L"STATIC", L"dialog", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr,
                                  nullptr, nullptr, nullptr);
    std::vector<HWND> made;
    for (const auto& c : children)
        made.push_back(CreateWindowExW(0, c.cls, L"x", WS_CHILD | WS_VISIBLE | c.style, 0, 0, 50, 20, dialog,
                                       nullptr, nullptr, nullptr));
    TWinSkinForm plain(nullptr);
    plain.SkinData = skin.get();
    plain.Window = dialog;
    plain.SkinChildWindows();
    for (std::size_t i = 0; i < made.size(); ++i) {
        TSkinControl* s = plain.FindSkinControl(made[i]);
        std::string name = s ? typeid(*s).name() : "";
        if (!name.empty()) name = name.substr(name.find_first_not_of("0123456789"));
        EXPECT_EQ(name, children[i].skinner) << i;
    }
    const std::size_t count = plain.SkinControlList.size();
    plain.SkinChildWindows();
    EXPECT_EQ(plain.SkinControlList.size(), count);
    plain.FreeSkinControls();
    DestroyWindow(dialog);
}

TEST_F(WalkTest, AControlDestroyedUnderTheWalkIsPurged) {
    skinForm->SkinComponents(form.get());
    auto* button = dynamic_cast<TButton*>(form->FindComponent(L"Button1"));
    const std::size_t count = skinForm->SkinControlList.size();
    button->DestroyHandle(); // the window goes, the control stays
    skinForm->SkinComponents(form.get());
    EXPECT_EQ(skinForm->SkinControlList.size(), count);
    EXPECT_EQ(SkinnerOf(L"Button1"), "TSkinButton");
    delete button; // the control goes: its skinner leaves the list
    EXPECT_EQ(skinForm->SkinControlList.size(), count - 1);
}

} // namespace

namespace {

TEST_F(WalkTest, PageControlTabsAndBorderComeFromTheSkin) {
    skinForm->SkinComponents(form.get());
    auto* pages = dynamic_cast<TPageControl*>(form->FindComponent(L"PageControl1"));
    HWND h = pages->Handle();
    RECT first, second;
    SendMessageW(h, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(h, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    auto p = PaintPicture(h);
    EXPECT_EQ(PixelAt(*p, first.left + 4, first.top + 4), TabFrame(2)); // the selected tab
    EXPECT_EQ(PixelAt(*p, second.left + 4, second.top + 4), TabFrame(1));
    EXPECT_EQ(PixelAt(*p, 1, 100), TabBorderColour); // the page border's left edge
    pages->SetActivePageIndex(1);
    p = PaintPicture(h);
    EXPECT_EQ(PixelAt(*p, second.left + 4, second.top + 4), TabFrame(2));

    // Without a border image the tabs are drawn and the page border is the control's own.
    skinForm->FreeSkinControls();
    TTestSkinParts parts;
    parts.TabBorder = false;
    skin = MakeTestSkin(parts);
    skinForm->SkinData = skin.get();
    skinForm->SkinComponents(form.get());
    p = PaintPicture(h);
    EXPECT_EQ(PixelAt(*p, second.left + 4, second.top + 4), TabFrame(2));
    EXPECT_NE(PixelAt(*p, 1, 100), TabBorderColour);
}

TEST_F(WalkTest, ControlsOfAPageNotShownAreSkinnedWhenItIsShown) {
    skinForm->SkinComponents(form.get());
    auto* button = dynamic_cast<TWinControl*>(form->FindComponent(L"PageButton"));
    EXPECT_FALSE(button->HandleAllocated());
    EXPECT_EQ(SkinnerOf(L"PageButton"), "");
    dynamic_cast<TPageControl*>(form->FindComponent(L"PageControl1"))->SetActivePageIndex(1);
    Application->ProcessMessages();
    EXPECT_EQ(SkinnerOf(L"PageButton"), "TSkinButton");
}

TEST_F(WalkTest, TrackBarThumbIsTheSkinsOrAPlainOutline) {
    skinForm->SkinComponents(form.get());
    auto* track = dynamic_cast<TWinControl*>(form->FindComponent(L"TrackBar1"));
    HWND h = track->Handle();
    RECT thumb;
    SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    form->Show();
    track->Repaint();
    EXPECT_EQ(ScreenPixel(h, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), ThumbFrame(2));

    skinForm->FreeSkinControls();
    TTestSkinParts parts;
    parts.Thumbs = false;
    skin = MakeTestSkin(parts);
    skinForm->SkinData = skin.get();
    skinForm->SkinComponents(form.get());
    track->Repaint();
    // A plain rectangle in place of the skin's thumb.
    EXPECT_NE(ScreenPixel(h, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), ThumbFrame(2));
}

} // namespace
