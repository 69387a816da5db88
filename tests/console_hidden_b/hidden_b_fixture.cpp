#include "hidden_b_fixture.h"

#include <cstdio>
#include <functional>

namespace {

bool OnSheet(const TControl* control, const TTabSheet* sheet) {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == sheet) return true;
    return false;
}

// The start value of every control of the two pages, and of the loop period.
struct StartValues {
    std::vector<std::function<void()>> restore;

    explicit StartValues(TForm1& form) {
        for (int i = 0; i < form.ComponentCount(); ++i) {
            auto* control = dynamic_cast<TControl*>(form.Components(i));
            if (!control || !(OnSheet(control, form.TabSheet5) || OnSheet(control, form.TabSheet6) ||
                              control == form.Edit22))
                continue;
            if (auto* edit = dynamic_cast<TEdit*>(control)) {
                restore.push_back([edit, text = edit->Text()] { edit->SetText(text); });
            } else if (auto* box = dynamic_cast<TCheckBox*>(control)) {
                restore.push_back([box, on = box->Checked()] { box->SetChecked(on); });
            } else if (auto* list = dynamic_cast<TComboBox*>(control)) {
                restore.push_back([list, index = list->ItemIndex()] { list->SetItemIndex(index); });
            }
        }
    }
};

} // namespace

void HiddenCardsTest::SetUp() {
    ConsoleTest::SetUp();
    static const StartValues startValues(form());
    for (const auto& restore : startValues.restore) restore();
}

void HiddenCardsTest::TearDown() {
    StopActing();
    ConsoleTest::TearDown();
}

void HiddenCardsTest::SetBox(const wchar_t* name, const wchar_t* text) {
    auto* box = dynamic_cast<TEdit*>(form().FindComponent(name));
    ASSERT_NE(box, nullptr) << "no box " << StringToUtf8(name);
    box->SetText(text);
}

std::vector<std::wstring> HiddenCardsTest::Arrange(Outcome outcome, const char* command,
                                                   const std::vector<std::wstring>& success,
                                                   const std::wstring& failure) {
    switch (outcome) {
    case Outcome::Success:
        return success;
    case Outcome::Failure:
        reader().Control((std::string("force ") + command + " reason 83").c_str());
        return FailureLines(failure, L"卡不存在....");
    case Outcome::NoReply:
        reader().Control("silence");
        return {NoDataLine};
    case Outcome::OtherStatus:
        break;
    }
    reader().Control((std::string("force ") + command + " status 02").c_str());
    return {LostDataLine};
}

std::string OutcomeName(Outcome outcome) {
    static const char* const names[] = {"Success", "Failure", "NoReply", "OtherStatus"};
    return names[static_cast<int>(outcome)];
}

void HiddenCardsTest::SetFlag(TComboBox* list, const wchar_t* item) {
    list->SetItemIndex(list->Items()->IndexOf(item));
    ASSERT_EQ(list->Text(), item);
}

std::string FrameOf(const std::string& payloadHex) {
    std::vector<unsigned> bytes{0x00, static_cast<unsigned>(payloadHex.size() / 2)};
    for (std::size_t i = 0; i + 1 < payloadHex.size(); i += 2)
        bytes.push_back(static_cast<unsigned>(std::stoul(payloadHex.substr(i, 2), nullptr, 16)));
    unsigned check = 0;
    for (unsigned b : bytes) check ^= b;
    bytes.push_back(check);
    std::string frame = "AA";
    char pair[3];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        frame += pair;
    }
    return frame + "BB";
}

std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason) {
    return {failure + L"{t}", reason + L"\r\n"};
}
