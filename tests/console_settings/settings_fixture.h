// The setting pages' tests: the console fixture plus the controls of both pages back at their
// start values before every test, so each test sets only what it is about.
#pragma once

#include "console_fixture.h"

#include <string>
#include <vector>

using Handler = void (TForm1::*)(TObject*);

class SettingsTest : public ConsoleTest {
protected:
    void SetUp() override;

    void Run(Handler handler) { (form().*handler)(nullptr); }
    // Sets a box of either page by its name.
    void SetBox(const wchar_t* name, const wchar_t* text);
};

// The lines of the standard reply report for a handler's texts, as LogText shows them.
std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason);
