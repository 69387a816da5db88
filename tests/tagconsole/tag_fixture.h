// tagconsole's main window created once from its resource for the whole test program, the
// simulated tag reader beside it (the test program's name makes usb.dll choose the tag profile),
// and the window's controls put back to their start values before every test.
#pragma once

#include "TagUnit1.h"
#include "simulated_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Exception texts the application reported (in place of its message box).
std::vector<String>& ReportedExceptions();

using Handler = void (tagconsole::TForm1::*)(TObject*);

class TagConsoleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    tagconsole::TForm1& form();
    SimulatedReader& reader() { return SimulatedReader::Instance(); }
    void Run(Handler handler) { (form().*handler)(nullptr); }
    // Runs a handler the way its button would: an exception it raises goes to the reporter.
    void Click(Handler handler);

    // The log box as its lines read, with every time stamp replaced by "{t}" and line ends as "\n";
    // trailing empty lines dropped.
    std::wstring LogText();
    // The log lines a handler adds, joined the way LogText shows them.
    static std::wstring ExpectedLog(const std::vector<std::wstring>& lines);
};

// The two lines of a failure reply: the handler's text with the time, then the reason text.
std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason);
