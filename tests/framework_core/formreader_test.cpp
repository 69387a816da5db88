#include "fixtures.h"

#include <framework/formreader.h>
#include <framework/forms.h>
#include <framework/sysutils.h>
#include <framework/timer.h>

#include <gtest/gtest.h>

namespace {

class TSampleForm : public TForm {
public:
    explicit TSampleForm(TComponent* owner) : TForm(owner) {
        BindField(L"Box1", Box1);
        BindField(L"Inner", Inner);
        BindField(L"Mark1", Mark1);
        BindHandler(L"Box1Click", this, &TSampleForm::Box1Click);
        BindHandler(L"FormCreate", this, &TSampleForm::FormCreate);
        BindHandler(L"FormClose", this, &TSampleForm::FormClose);
        BindHandler(L"CountHandler", this, &TSampleForm::CountHandler);
    }
    TSampleBox* Box1 = nullptr;
    TSampleBoxPlus* Inner = nullptr;
    TSampleMark* Mark1 = nullptr;
    std::vector<String> Calls;
    bool BoxBoundAtCreate = false;

    virtual void Box1Click(TObject*) { Calls.push_back(L"Box1Click"); }
    void FormCreate(TObject*) { BoxBoundAtCreate = Box1 != nullptr && Box1->Count() == 3; }
    void FormClose(TObject*, TCloseAction& action) { action = caFree; }
    void CountHandler(TObject*, int& n) { n = 99; }
};

// A later form class replaces a handler under the same name.
class TSampleFormVariant : public TSampleForm {
public:
    explicit TSampleFormVariant(TComponent* owner) : TSampleForm(owner) {
        BindHandler(L"Box1Click", this, &TSampleFormVariant::VariantClick);
    }
    void VariantClick(TObject*) { Calls.push_back(L"VariantClick"); }
};

const char* const kDescription = R"(object SampleForm: TSampleForm
  Left = -20
  Top = $10
  Caption = 'It''s ' +
    'joined'#13#10'next'
  ClientWidth = 300
  ClientHeight = 200
  Position = poScreenCenter
  BorderIcons = [biSystemMenu, biMinimize]
  Font.Name = 'Tahoma'
  Font.Height = -13
  Font.Style = [fsBold]
  Font.Charset = GB2312_CHARSET
  OnCreate = FormCreate
  OnClose = FormClose
  // a comment line
  object Box1: TSampleBox
    Left = 8
    Count = 3
    Checked = True
    Shade = shMedium
    Edges = [egLeft,egRight]
    Caption = '中文 text'
    Color = clWindow
    Items.Strings = (
      'COM1'
      'COM2')
    Entries = <
      item
        Text = '  RFID'
        Width = 150
      end
      item
        Width = 30
      end>
    Data = {0A0B 0C
      FF}
    Buddy = Inner
    OnClick = Box1Click
    OnCount = CountHandler
    object Inner: TSampleBoxPlus
      Extra = 'x'
      Data = {resource 'BLOB'}
    end
    object Mark1: TSampleMark
      Caption = 'm'
    end
  end
  object Log1: TLoggedComponent
    Level = 3
  end
end
)";

bool Blobs(const String& name, std::vector<std::uint8_t>& bytes) {
    if (name != L"BLOB") return false;
    bytes = {1, 2, 3};
    return true;
}

class FormReader : public ::testing::Test {
protected:
    void SetUp() override { RegisterSampleClasses(); }
};

TEST_F(FormReader, BuildsComponentsFromEveryKindOfValue) {
    std::unique_ptr<TSampleForm> form(NewFormFromText<TSampleForm>(nullptr, kDescription, Blobs));
    EXPECT_EQ(form->Name(), L"SampleForm");
    EXPECT_EQ(form->Left(), -20);
    EXPECT_EQ(form->Top(), 16);
    EXPECT_EQ(form->Caption(), L"It's joined\r\nnext");
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 200);
    EXPECT_EQ(form->Position(), poScreenCenter);
    EXPECT_EQ(form->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize}));
    EXPECT_EQ(form->Font()->Name(), L"Tahoma");
    EXPECT_EQ(form->Font()->Height(), -13);
    EXPECT_TRUE(form->Font()->Style().Contains(fsBold));
    EXPECT_EQ(form->Font()->Charset(), GB2312_CHARSET);

    ASSERT_NE(form->Box1, nullptr);
    TSampleBox* box = form->Box1;
    EXPECT_EQ(box->Left(), 8);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(box->Shade(), shMedium);
    EXPECT_EQ(box->Edges(), (TEdges{egLeft, egRight}));
    EXPECT_EQ(box->Caption(), L"中文 text");
    EXPECT_EQ(box->Color(), clWindow);
    EXPECT_EQ(box->Items()->Text(), L"COM1\r\nCOM2\r\n");
    ASSERT_EQ(box->Entries()->Count(), 2);
    EXPECT_EQ(box->Entries()->Items(0)->Text(), L"  RFID");
    EXPECT_EQ(box->Entries()->Items(0)->Width(), 150);
    EXPECT_EQ(box->Entries()->Items(1)->Width(), 30);
    EXPECT_EQ(box->Data(), (std::vector<std::uint8_t>{0x0A, 0x0B, 0x0C, 0xFF}));
    EXPECT_EQ(box->Buddy(), form->Inner);      // named before it was read
    EXPECT_EQ(box->Font()->Name(), L"Tahoma"); // follows its parent's font
    EXPECT_EQ(box->LoadedCalls(), 1);

    ASSERT_NE(form->Inner, nullptr);
    EXPECT_EQ(form->Inner->Parent(), box);
    EXPECT_EQ(form->Inner->Extra(), L"x");
    EXPECT_EQ(form->Inner->Data(), (std::vector<std::uint8_t>{1, 2, 3}));
    ASSERT_NE(form->Mark1, nullptr);
    EXPECT_EQ(form->Mark1->Parent(), box);
    EXPECT_EQ(box->Parent(), form.get());

    // Everything belongs to the form; a non-visual component has no parent.
    auto* log = dynamic_cast<TLoggedComponent*>(form->FindComponent(L"Log1"));
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->Level(), 3);
    EXPECT_EQ(form->ComponentCount(), 4);
    EXPECT_EQ(form->Inner->Owner(), form.get());

    EXPECT_TRUE(form->BoxBoundAtCreate); // fields were bound before OnCreate
    box->Click();
    int n = 0;
    box->OnCount(box, n);
    EXPECT_EQ(n, 99);
    EXPECT_EQ(form->Calls, (std::vector<String>{L"Box1Click"}));
    ASSERT_TRUE(form->OnClose);
    TCloseAction action = caHide;
    form->OnClose(form.get(), action);
    EXPECT_EQ(action, caFree);
    TLoggedComponent::Log().clear();
}

TEST_F(FormReader, ALaterRegistrationOfAHandlerNameWins) {
    std::unique_ptr<TSampleFormVariant> form(
        NewFormFromText<TSampleFormVariant>(nullptr, kDescription, Blobs));
    form->Box1->Click();
    EXPECT_EQ(form->Calls, (std::vector<String>{L"VariantClick"}));
    TLoggedComponent::Log().clear();
}

// Replaces `from` in the description with `to` (the first occurrence).
std::string With(const std::string& from, const std::string& to) {
    std::string text = kDescription;
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST_F(FormReader, BadDescriptionsStopWithTheLineAndWhatIsWrong) {
    struct Case {
        std::string text;
        const wchar_t* message;
    } cases[] = {
        {With("object Mark1: TSampleMark", "object Mark1: TNoSuchClass"),
         L"(45): Class TNoSuchClass not found"},
        {With("OnClick = Box1Click", "OnClick = Box2Click"),
         L"(39): Handler 'Box2Click' not found (SampleForm.Box1.OnClick)"},
        {With("OnClick = Box1Click", "OnClick = CountHandler"),
         L"(39): Handler 'CountHandler' is void(TObject*,int&)"},
        {With("  Left = -20", "  Colour = 1"), L"(2): Property Colour not found (SampleForm.Colour)"},
        {With("Font.Name", "Font.Nam"), L"(10): Property Nam not found (SampleForm.Font.Nam)"},
        {With("Font.Name", "Fnt.Name"), L"(10): Property Fnt not found (SampleForm.Fnt)"},
        {With("Font.Name", "Left.Name"),
         L"(10): Property Left has no properties of its own (SampleForm.Left)"},
        {With("Width = 30\n      end>", "Width = 'wide'\n      end>"),
         L"(34): An integer expected but a string found (SampleForm.Box1.Entries[1].Width)"},
        {With("Shade = shMedium", "Shade = shPurple"),
         L"(21): Invalid property value shPurple (SampleForm.Box1.Shade)"},
        {With("Count = 3", "Count = 'three'"),
         L"(19): An integer expected but a string found (SampleForm.Box1.Count)"},
        {With("Count = 3", "Count = 1.5"), L"An integer expected but a floating-point number found"},
        {With("Count = 3", "Count = -1"), L"(19): Count must not be negative (SampleForm.Box1.Count)"},
        {With("Edges = [egLeft,egRight]", "Edges = [egLeft,egMiddle]"),
         L"(22): Invalid set element egMiddle"},
        {With("Caption = '中文 text'", "Caption = '中文 text"), L"(23): Unterminated string"},
        {With("Buddy = Inner", "Buddy = Ghost"),
         L"(38): Component 'Ghost' not found (SampleForm.Box1.Buddy)"},
        {With("Buddy = Inner", "Buddy = Log1"),
         L"(38): Property Buddy takes a TSampleBox, not the TLoggedComponent Log1"},
        {With("resource 'BLOB'", "resource 'NOPE'"),
         L"(43): Resource 'NOPE' not found (SampleForm.Inner.Data)"},
        {With("{0A0B 0C", "{0A0B 0"), L"(36): Odd number of hex digits"},
        {With("{0A0B 0C", "{0A0B 0G"), L"(36): Hex digit expected"},
        {With("object Mark1: TSampleMark", "object Inner: TSampleMark"),
         L"(45): A component named Inner already exists"},
        {"object F: TSampleForm\n  object Box1: TSampleMark\n  end\nend\n",
         L"Field Box1 of TSampleForm is a TSampleBox but the description makes it a TSampleMark"},
        {With("  Left = -20", "  Left -20"), L"(2): '=' expected but '-' found"},
        {With("Items.Strings = (", "Items.Strings = ( 1"),
         L"(25): String expected in the list (SampleForm.Box1.Items.Strings)"},
        {With("Width = 150", "Width = 150\n      object X: TSampleBox"), L"(32): '=' expected but 'X' found"},
        {std::string(kDescription) + "end\n", L"(53): Text after the final 'end'"},
        {"object F: TSampleForm\n  Left = 1\n", L"(1): 'end' of object F missing"},
        {"thing F: TSampleForm\nend\n", L"(1): 'object' expected but 'thing' found"},
    };
    for (const auto& c : cases) {
        try {
            std::unique_ptr<TSampleForm> form(NewFormFromText<TSampleForm>(nullptr, c.text, Blobs));
            ADD_FAILURE() << "no error, expected: " << StringToUtf8(c.message);
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(c.message), String::npos)
                << "got: " << StringToUtf8(e.Message()) << "\nexpected: " << StringToUtf8(c.message);
        }
    }
    TLoggedComponent::Log().clear();
}

TEST_F(FormReader, ReadsIntoAnyRootComponent) {
    TComponent root(nullptr);
    ReadComponentText(&root,
                      "object Holder: TComponent\n"
                      "  object Timer1: TTimer\n    Interval = 250\n    Enabled = False\n  end\n"
                      "  object L: TLoggedComponent\n  end\nend\n",
                      L"text", nullptr);
    EXPECT_EQ(root.Name(), L"Holder");
    ASSERT_EQ(root.ComponentCount(), 2);
    auto* timer = dynamic_cast<TTimer*>(root.Components(0));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval(), 250u);
    EXPECT_FALSE(timer->Enabled());
    TLoggedComponent::Log().clear();
}

TEST_F(FormReader, ASecondFormOfOneClassGetsANameOfItsOwn) {
    TComponent owner(nullptr);
    const char* text = "object Form2: TForm\n  Caption = 'RFID'\nend\n";
    auto* first = NewFormFromText<TForm>(&owner, text);
    auto* second = NewFormFromText<TForm>(&owner, text);
    EXPECT_EQ(first->Name(), L"Form2");
    EXPECT_EQ(second->Name(), L"Form2_1");
    delete first;
    auto* third = NewFormFromText<TForm>(&owner, text);
    EXPECT_EQ(third->Name(), L"Form2");
}

// Objects nested `depth` deep counting the outer one, each the only child of the one before.
std::string NestedObjects(int depth, const char* className) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "object N" + std::to_string(i) + ": " + (i == 0 ? "TComponent" : className) + "\n";
    for (int i = 0; i < depth; ++i) text += "end\n";
    return text;
}

TEST_F(FormReader, NestingPastASaneDepthIsRefusedBeforeAnythingIsMade) {
    const std::string deepList =
        "object Holder: TComponent\n  Tag = " + std::string(10000, '(') + std::string(10000, ')') + "\nend\n";
    const std::string deepCollection = [] {
        std::string value;
        for (int i = 0; i < 40; ++i) value += "< item Entries = ";
        value += "<>";
        for (int i = 0; i < 40; ++i) value += " end >";
        return "object Holder: TComponent\n  object B: TSampleBox\n    Entries = " + value + "\n  end\nend\n";
    }();
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"a value in 10,000 parentheses", deepList},
        {"5,000 nested panels", NestedObjects(5000, "TPanel")},
        {"33 nested components", NestedObjects(33, "TLoggedComponent")},
        {"collections in collections", deepCollection},
    };
    for (const auto& c : cases) {
        TLoggedComponent::Log().clear();
        TComponent root(nullptr);
        try {
            ReadComponentText(&root, c.text, L"deep", nullptr);
            ADD_FAILURE() << c.what << ": read without an error";
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(L"Nested more than 32 levels deep"), String::npos)
                << c.what << ": " << StringToUtf8(e.Message());
        }
        EXPECT_EQ(root.ComponentCount(), 0) << c.what;
        EXPECT_TRUE(TLoggedComponent::Log().empty()) << c.what;
    }

    {
        TComponent root(nullptr);
        ReadComponentText(&root, NestedObjects(32, "TLoggedComponent"), L"deep", nullptr);
        EXPECT_EQ(root.ComponentCount(), 31);
    }
    TLoggedComponent::Log().clear();
}

// Forms are read from RCDATA resources of the program (resources.rc).
class TResourceForm : public TSampleForm {
public:
    explicit TResourceForm(TComponent* owner) : TSampleForm(owner) {}
};
class TMissingForm : public TForm {
public:
    explicit TMissingForm(TComponent* owner) : TForm(owner) {}
};

TEST_F(FormReader, FormsComeFromResourcesNamedAfterTheirClass) {
    std::unique_ptr<TResourceForm> form(NewForm<TResourceForm>(nullptr));
    EXPECT_EQ(form->FormResourceName(), L"TRESOURCEFORM");
    EXPECT_EQ(form->Caption(), L"From a resource");
    ASSERT_NE(form->Box1, nullptr);
    EXPECT_EQ(form->Box1->Data(), (std::vector<std::uint8_t>{'b', 'l', 'o', 'b', '\n'}));
    try {
        std::unique_ptr<TMissingForm> missing(NewForm<TMissingForm>(nullptr));
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), L"Resource TMISSINGFORM not found");
    }
}

} // namespace
