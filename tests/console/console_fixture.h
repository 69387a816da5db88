// The main window created once from its resource for the whole test program, and the simulated
// reader driven through its control function.
#pragma once

#include "Unit1.h"

#include <framework/sysutils.h>

#include "simulated_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Exception texts the application reported (in place of its message box).
std::vector<String>& ReportedExceptions();

// Each test starts with a reset reader, an empty log and ReplyHex, the debug switch off and the
// transport pointed at usb.dll.
class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    TForm1& form() { return *Form1; }
    SimulatedReader& reader() { return SimulatedReader::Instance(); }

    // The log box as its lines read, with every time stamp replaced by "{t}" and line ends as "\n";
    // trailing empty lines dropped.
    std::wstring LogText();
    // The log lines a handler adds, joined the way LogText shows them.
    static std::wstring ExpectedLog(const std::vector<std::wstring>& lines);
};

// Milliseconds since some fixed moment, with sub-millisecond resolution.
double NowMs();
