#include "console_fixture.h"

#include "Unit2.h"
#include "Unit3.h"

#include <windows.h>

namespace {

std::vector<String> reported;

class MainWindowEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Application->Initialize();
        Application->SetTitle(L"RFID");
        Application->SetExceptionReporter([](const String& text) { reported.push_back(text); });
        Form1 = Application->CreateForm<TForm1>();
        Form2 = Application->CreateForm<TForm2>();
        Form3 = Application->CreateForm<TForm3>();
        Form1->Show();
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new MainWindowEnvironment);

} // namespace

std::vector<String>& ReportedExceptions() {
    return reported;
}

void ConsoleTest::SetUp() {
    reader().Control("reset");
    form().UsbLibraryName = L"usb.dll";
    form().RadioButton3->SetChecked(true);
    form().RichEdit1->Clear();
    ReplyHex.clear();
    reported.clear();
}

void ConsoleTest::TearDown() {
    reader().Control("reset");
}

std::wstring ConsoleTest::LogText() {
    return NormalisedLog(form().RichEdit1->Lines()->Text());
}

std::wstring ConsoleTest::ExpectedLog(const std::vector<std::wstring>& lines) {
    return JoinedLog(lines);
}

double NowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
