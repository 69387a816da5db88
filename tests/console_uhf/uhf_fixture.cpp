#include "uhf_fixture.h"

#include <framework/sysutils.h>

#include <windows.h>

#include <fstream>
#include <sstream>

namespace {

struct PendingAction {
    std::function<bool()> ready;
    std::function<void()> act;
    double deadline = 0;
    bool onDeadline = false;
    UINT_PTR timer = 0;
};

PendingAction pending;

void CALLBACK LookAgain(HWND, UINT, UINT_PTR id, DWORD) {
    const bool late = NowMs() > pending.deadline;
    if (!late && !pending.ready()) return;
    KillTimer(nullptr, id);
    pending.timer = 0;
    pending.onDeadline = late;
    // The action may arrange the next one.
    const std::function<void()> act = std::move(pending.act);
    act();
}

std::vector<std::uint8_t> Bytes(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

} // namespace

void UhfTest::SetUp() {
    ConsoleTest::SetUp();
    static const StartValues startValues(
        form(), [this](const TControl* control) { return OnSheet(control, form().TabSheet8); });
    startValues.Restore();
}

void UhfTest::TearDown() {
    StopActing();
    ConsoleTest::TearDown();
}

void UhfTest::Field(const std::vector<std::string>& epcs) {
    reader().Control("field clear");
    for (const std::string& epc : epcs) reader().Control(("tag " + epc).c_str());
}

std::wstring UhfTest::EpcInField() {
    // Lines of the box count as it wraps them, so look at the text that was added.
    const std::wstring before = form().RichEdit1->Lines()->Text();
    Run(&TForm1::Button65Click);
    std::wstring added = form().RichEdit1->Lines()->Text().substr(before.size());
    added.erase(0, added.find_first_not_of(L"\r\n"));
    const std::wstring prefix = L"the epc is: ";
    if (added.rfind(prefix, 0) != 0) return L"(no tag) " + added;
    return added.substr(prefix.size(), added.find_first_of(L"\r\n") - prefix.size());
}

Transcript::Transcript() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"uhf-transcript-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(path_.c_str());
    SimulatedReader::Instance().Control(("transcript " + StringToUtf8(path_)).c_str());
}

Transcript::~Transcript() {
    SimulatedReader::Instance().Control("transcript off");
    DeleteFileW(path_.c_str());
}

std::vector<std::string> Transcript::Frames() const {
    std::ifstream file(path_.c_str());
    std::vector<std::string> frames;
    std::string line;
    while (std::getline(file, line))
        if (line.rfind("> ", 0) == 0) frames.push_back(line.substr(2));
    return frames;
}

std::vector<ModuleFrame> Transcript::ModuleFrames() const {
    std::vector<ModuleFrame> modules;
    for (const std::string& frame : Frames()) {
        // AA address length CE, then the module frame BB type command PL(2) params sum 7E.
        const std::vector<std::uint8_t> bytes = Bytes(frame);
        if (bytes.size() < 4 + 7 + 2 || bytes[3] != 0xCE) continue;
        const std::string module = frame.substr(8, frame.size() - 12);
        modules.push_back({bytes[6], module.substr(10, module.size() - 14)});
    }
    return modules;
}

void ActWhen(std::function<bool()> ready, std::function<void()> act, double deadlineMs) {
    StopActing();
    pending = {std::move(ready), std::move(act), NowMs() + deadlineMs, false, 0};
    pending.timer = SetTimer(nullptr, 0, 20, LookAgain);
}

void StopActing() {
    if (pending.timer) KillTimer(nullptr, pending.timer);
    pending.timer = 0;
}

bool ActedOnDeadline() {
    return pending.onDeadline;
}

void ClickAsOperator(TWinControl* control) {
    const HWND window = control->Handle();
    SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
                 reinterpret_cast<LPARAM>(window));
}

std::vector<std::wstring> LinesWith(const std::wstring& log, const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wistringstream in(log);
    std::wstring line;
    while (std::getline(in, line))
        if (line.find(text) != std::wstring::npos) lines.push_back(line);
    return lines;
}
