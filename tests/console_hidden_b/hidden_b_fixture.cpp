#include "hidden_b_fixture.h"

#include <cstdio>

void HiddenCardsTest::SetUp() {
    ConsoleTest::SetUp();
    // Every control of the two pages, and the loop period.
    static const StartValues startValues(form(), [this](const TControl* control) {
        return OnSheet(control, form().TabSheet5) || OnSheet(control, form().TabSheet6) ||
               control == form().Edit22;
    });
    startValues.Restore();
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
    return ArrangeOutcome(outcome, command, {success, failure, NoDataLine, LostDataLine});
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
