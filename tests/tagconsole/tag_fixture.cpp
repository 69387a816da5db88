#include "tag_fixture.h"

#include "Unit2.h"

#include <windows.h>

#include <functional>

namespace {

std::vector<String> reported;
tagconsole::TForm1* mainWindow = nullptr;

class MainWindowEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Application->Initialize();
        Application->SetTitle(L"RFID");
        Application->SetExceptionReporter([](const String& text) { reported.push_back(text); });
        mainWindow = Application->CreateForm<tagconsole::TForm1>();
        Form1 = mainWindow;
        Form2 = Application->CreateForm<TForm2>();
        mainWindow->Show();
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new MainWindowEnvironment);

// The start value of every control on the pages the tests change.
struct StartValues {
    std::vector<std::function<void()>> restore;

    explicit StartValues(tagconsole::TForm1& form) {
        for (int i = 0; i < form.ComponentCount(); ++i) {
            TComponent* c = form.Components(i);
            if (auto* edit = dynamic_cast<TEdit*>(c)) {
                restore.push_back([edit, text = edit->Text()] { edit->SetText(text); });
            } else if (auto* box = dynamic_cast<TCheckBox*>(c)) {
                restore.push_back([box, on = box->Checked()] { box->SetChecked(on); });
            } else if (auto* radio = dynamic_cast<TRadioButton*>(c)) {
                // Checking one unchecks its siblings, so only the checked ones need setting.
                if (radio->Checked()) restore.push_back([radio] { radio->SetChecked(true); });
            } else if (auto* list = dynamic_cast<TComboBox*>(c)) {
                restore.push_back([list, index = list->ItemIndex(), text = list->Text()] {
                    list->SetItemIndex(index);
                    if (index < 0) list->SetText(text);
                });
            }
        }
    }
};

} // namespace

std::vector<String>& ReportedExceptions() {
    return reported;
}

tagconsole::TForm1& TagConsoleTest::form() {
    return *mainWindow;
}

void TagConsoleTest::SetUp() {
    // The tag profile whatever the program is called.
    reader().Control("profile tag");
    static const StartValues startValues(form());
    for (const auto& restore : startValues.restore) restore();
    form().UsbLibraryName = L"usb.dll";
    form().RichEdit1->Clear();
    ReplyHex.clear();
    reported.clear();
}

void TagConsoleTest::TearDown() {
    reader().Control("reset");
}

void TagConsoleTest::Click(Handler handler) {
    try {
        Run(handler);
    } catch (...) {
        Application->HandleException(&form());
    }
}

std::wstring TagConsoleTest::LogText() {
    return NormalisedLog(form().RichEdit1->Lines()->Text());
}

std::wstring TagConsoleTest::ExpectedLog(const std::vector<std::wstring>& lines) {
    return JoinedLog(lines);
}

std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason) {
    return {failure + L"{t}", reason + L"\r\n"};
}
