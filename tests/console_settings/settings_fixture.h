// The setting pages' tests: the console fixture plus the controls of both pages back at their
// start values before every test, so each test sets only what it is about.
#pragma once

#include "console_fixture.h"
#include "report_cases.h"
#include "start_values.h"

#include <string>
#include <vector>

using Handler = void (TForm1::*)(TObject*);

class SettingsTest : public ConsoleTest {
protected:
    void SetUp() override;

    void Run(Handler handler) { (form().*handler)(nullptr); }
    // A press of a button of either page through its own window, as the operator's click goes:
    // the form's binding picks the handler, and what it raises goes to the application's report.
    void Click(const wchar_t* button);
    // Sets a box of either page by its name.
    void SetBox(const wchar_t* name, const wchar_t* text);
};
