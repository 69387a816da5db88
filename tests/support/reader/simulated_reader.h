// The simulated reader's controls (usb.dll beside the test program), and the log-box text as the
// window suites compare it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class SimulatedReader {
public:
    static SimulatedReader& Instance();
    // One control line; fails the test when the reader refuses it.
    void Control(const char* line);
    // Upper-case hex of the last frame written, empty when none since the last reset.
    std::string LastFrame();
    int FrameCount();

private:
    SimulatedReader();
    HMODULE library_;
    int (*control_)(const char*) = nullptr;
    int (*lastFrame_)(char*, int) = nullptr;
    int (*frameCount_)() = nullptr;
};

// A log text with every time stamp replaced by "{t}" and line ends as "\n"; trailing empty lines
// dropped.
std::wstring NormalisedLog(std::wstring text);
// The log lines a handler adds, joined the way NormalisedLog shows them.
std::wstring JoinedLog(const std::vector<std::wstring>& lines);
