#include "console_fixture.h"

#include "Unit2.h"
#include "Unit3.h"

#include <windows.h>

#include <regex>

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

std::wstring Normalised(std::wstring text) {
    static const std::wregex stamp(L"(0[1-9]|1[0-2]):[0-5][0-9]:[0-5][0-9] (AM|PM)");
    text = std::regex_replace(text, std::wregex(L"\r\n|\r"), L"\n");
    text = std::regex_replace(text, stamp, L"{t}");
    while (!text.empty() && text.back() == L'\n') text.pop_back();
    return text;
}

} // namespace

std::vector<String>& ReportedExceptions() {
    return reported;
}

SimulatedReader& SimulatedReader::Instance() {
    static SimulatedReader reader;
    return reader;
}

SimulatedReader::SimulatedReader() : library_(LoadLibraryW(L"usb.dll")) {
    if (!library_) return;
    control_ = reinterpret_cast<int (*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(library_, "usbControl")));
    lastFrame_ = reinterpret_cast<int (*)(char*, int)>(
        reinterpret_cast<void*>(GetProcAddress(library_, "usbLastFrame")));
    frameCount_ =
        reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(library_, "usbFrameCount")));
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
    return Normalised(form().RichEdit1->Lines()->Text());
}

std::wstring ConsoleTest::ExpectedLog(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    return Normalised(text);
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
