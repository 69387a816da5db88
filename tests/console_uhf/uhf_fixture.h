// The UHF page's tests: the console fixture plus the page's controls back at their start values
// before every test, a transcript of every frame the reader receives, and an operator who acts
// from a timer while a handler waits.
#pragma once

#include "console_fixture.h"
#include "start_values.h"

#include <functional>
#include <string>
#include <vector>

using Handler = void (TForm1::*)(TObject*);

// The tag of the simulated reader's default field, and the number the page writes first.
inline const std::wstring DefaultEpc = L"E2005128930D011417401122";
inline const std::wstring FirstNumber = L"000000000000000000000001";
// The inventory as it reaches the reader, tunnelled in command 0xCE.
inline constexpr const char* InventoryFrame = "AA0008CEBB00220000227E03BB";

class UhfTest : public ConsoleTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void Run(Handler handler) { (form().*handler)(nullptr); }
    // Puts the field of tags in place: the given EPCs (hex), nothing else.
    void Field(const std::vector<std::string>& epcs);
    // The EPC the field's tag answers with now, through the page's own inventory.
    std::wstring EpcInField();
};

// A module frame the reader received inside command 0xCE.
struct ModuleFrame {
    int command = -1;
    std::string params; // hex
};

// Records every frame the reader receives while it lives.
class Transcript {
public:
    Transcript();
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Every frame written, as upper-case hex, in order.
    std::vector<std::string> Frames() const;
    // The module frames among them.
    std::vector<ModuleFrame> ModuleFrames() const;

private:
    std::wstring path_;
};

// The operator, acting from a timer while a handler waits: runs `act` once `ready` holds (looked at
// every 20 ms) or once `deadlineMs` have passed, whichever comes first. One at a time.
void ActWhen(std::function<bool()> ready, std::function<void()> act, double deadlineMs = 20000);
// True when the deadline, not `ready`, made the last action run.
bool ActedOnDeadline();
// Forgets an action that has not run yet.
void StopActing();

// A click on a button or box as the operator makes it: the notification its parent window gets.
void ClickAsOperator(TWinControl* control);

// The log lines that contain `text`, in order.
std::vector<std::wstring> LinesWith(const std::wstring& log, const std::wstring& text);
