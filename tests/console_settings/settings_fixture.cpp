#include "settings_fixture.h"

#include <windows.h>

#include <functional>

bool OnSheet(const TControl* control, const TTabSheet* sheet) {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == sheet) return true;
    return false;
}

namespace {

// The start value of every control a handler of the two pages reads or changes.
struct StartValues {
    std::vector<std::function<void()>> restore;

    explicit StartValues(TForm1& form) {
        auto kept = [&](TComponent* component) {
            auto* control = dynamic_cast<TControl*>(component);
            return control && (OnSheet(control, form.TabSheet1) || OnSheet(control, form.TabSheet7) ||
                               control == form.RadioButton18 || control == form.RadioButton20);
        };
        for (int i = 0; i < form.ComponentCount(); ++i) {
            TComponent* c = form.Components(i);
            if (!kept(c)) continue;
            if (auto* edit = dynamic_cast<TEdit*>(c)) {
                restore.push_back([edit, text = edit->Text()] { edit->SetText(text); });
            } else if (auto* box = dynamic_cast<TCheckBox*>(c)) {
                restore.push_back([box, on = box->Checked()] { box->SetChecked(on); });
            } else if (auto* radio = dynamic_cast<TRadioButton*>(c)) {
                // Checking one unchecks its siblings, so only the checked ones need setting.
                if (radio->Checked()) restore.push_back([radio] { radio->SetChecked(true); });
            } else if (auto* list = dynamic_cast<TComboBox*>(c)) {
                restore.push_back([list, text = list->Text()] { list->SetText(text); });
            } else if (auto* button = dynamic_cast<TButton*>(c)) {
                restore.push_back([button, caption = button->Caption()] { button->SetCaption(caption); });
            }
        }
    }
};

} // namespace

void SettingsTest::SetUp() {
    ConsoleTest::SetUp();
    static const StartValues startValues(form());
    for (const auto& restore : startValues.restore) restore();
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

std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason) {
    return {failure + L"{t}", reason + L"\r\n"};
}
