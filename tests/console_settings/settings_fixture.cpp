#include "settings_fixture.h"

#include <windows.h>

void SettingsTest::SetUp() {
    ConsoleTest::SetUp();
    // Every control a handler of the two pages reads or changes.
    static const StartValues startValues(form(), [this](const TControl* control) {
        return OnSheet(control, form().TabSheet1) || OnSheet(control, form().TabSheet7) ||
               control == form().RadioButton18 || control == form().RadioButton20;
    });
    startValues.Restore();
}

void SettingsTest::SetBox(const wchar_t* name, const wchar_t* text) {
    auto* box = dynamic_cast<TEdit*>(form().FindComponent(name));
    ASSERT_NE(box, nullptr) << "no box " << name;
    box->SetText(text);
}

void SettingsTest::Click(const wchar_t* button) {
    auto* control = dynamic_cast<TButton*>(form().FindComponent(button));
    ASSERT_NE(control, nullptr) << "no button " << button;
    SendMessageW(reinterpret_cast<HWND>(control->Handle()), BM_CLICK, 0, 0);
}
