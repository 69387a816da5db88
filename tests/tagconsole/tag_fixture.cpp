#include "tag_fixture.h"

#include "Unit2.h"

#include <windows.h>

#include <functional>
#include <regex>

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

std::wstring Normalised(std::wstring text) {
    static const std::wregex stamp(L"(0[1-9]|1[0-2]):[0-5][0-9]:[0-5][0-9] (AM|PM)");
    text = std::regex_replace(text, std::wregex(L"\r\n|\r"), L"\n");
    text = std::regex_replace(text, stamp, L"{t}");
    while (!text.empty() && text.back() == L'\n') text.pop_back();
    return text;
}

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

template <class F> F Export(HMODULE library, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

std::vector<String>& ReportedExceptions() {
    return reported;
}

SimulatedReader& SimulatedReader::Instance() {
    static SimulatedReader reader;
    return reader;
}

SimulatedReader::SimulatedReader() {
    HMODULE library = LoadLibraryW(L"usb.dll");
    if (!library) return;
    control_ = Export<int (*)(const char*)>(library, "usbControl");
    lastFrame_ = Export<int (*)(char*, int)>(library, "usbLastFrame");
    frameCount_ = Export<int (*)()>(library, "usbFrameCount");
}

void SimulatedReader::Control(const char* line) {
    ASSERT_NE(control_, nullptr) << "usb.dll or its control function is missing";
    ASSERT_EQ(control_(line), 0) << "control line refused: " << line;
}

std::string SimulatedReader::LastFrame() {
    if (!lastFrame_) return {};
    char text[1024] = {};
    lastFrame_(text, sizeof text);
    return text;
}

int SimulatedReader::FrameCount() {
    return frameCount_ ? frameCount_() : -1;
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
    return Normalised(form().RichEdit1->Lines()->Text());
}

std::wstring TagConsoleTest::ExpectedLog(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    return Normalised(text);
}

std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason) {
    return {failure + L"{t}", reason + L"\r\n"};
}
