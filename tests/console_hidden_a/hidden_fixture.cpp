#include "hidden_fixture.h"

#include <functional>

namespace {

bool OnSheet(const TControl* control, const TTabSheet* sheet) {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == sheet) return true;
    return false;
}

// The start value of every control of the three pages.
struct StartValues {
    std::vector<std::function<void()>> restore;

    explicit StartValues(TForm1& form) {
        for (int i = 0; i < form.ComponentCount(); ++i) {
            auto* control = dynamic_cast<TControl*>(form.Components(i));
            if (!control || !(OnSheet(control, form.TabSheet4) || OnSheet(control, form.TabSheet2) ||
                              OnSheet(control, form.TabSheet3)))
                continue;
            if (auto* edit = dynamic_cast<TEdit*>(control)) {
                restore.push_back([edit, text = edit->Text()] { edit->SetText(text); });
            } else if (auto* box = dynamic_cast<TCheckBox*>(control)) {
                restore.push_back([box, on = box->Checked()] { box->SetChecked(on); });
            } else if (auto* radio = dynamic_cast<TRadioButton*>(control)) {
                // Unchecking does not click, so the reader-address buttons go back without effect.
                restore.push_back([radio, on = radio->Checked()] { radio->SetChecked(on); });
            } else if (auto* list = dynamic_cast<TComboBox*>(control)) {
                restore.push_back([list, text = list->Text()] { list->SetText(text); });
            } else if (auto* pages = dynamic_cast<TListBox*>(control)) {
                restore.push_back([pages, index = pages->ItemIndex()] { pages->SetItemIndex(index); });
            }
        }
    }
};

} // namespace

void HiddenPageTest::SetUp() {
    ConsoleTest::SetUp();
    static const StartValues startValues(form());
    for (const auto& restore : startValues.restore) restore();
    form().setadd->SetItemIndex(0);
    transcript_ = std::make_unique<Transcript>();
}

void HiddenPageTest::TearDown() {
    StopActing();
    transcript_.reset();
    for (TCheckBox* box : {form().CheckBox1, form().CheckBox2, form().CheckBox4, form().CheckBox12,
                           form().CheckBox8, form().CheckBox9, form().CheckBox10})
        box->SetChecked(false);
    form().setadd->SetItemIndex(0);
    ConsoleTest::TearDown();
}

std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason) {
    return {failure + L"{t}", reason + L"\r\n"};
}

std::vector<ReportCase> ReportCases(std::span<const ReportButton> buttons) {
    std::vector<ReportCase> cases;
    for (const ReportButton& button : buttons)
        for (Outcome outcome : {Outcome::Success, Outcome::Failure, Outcome::NoReply, Outcome::OtherStatus})
            cases.push_back({&button, outcome});
    return cases;
}

std::string ReportCaseName(const ::testing::TestParamInfo<ReportCase>& info) {
    static const char* const outcomes[] = {"Success", "Failure", "NoReply", "OtherStatus"};
    return std::string(info.param.button->name) + "_" + outcomes[static_cast<int>(info.param.outcome)];
}

// The frame a button sends and its report of a success, a failure with its reason, no reply and
// another status.
TEST_P(HiddenPageReport, SendsTheFrameAndReportsTheOutcome) {
    const ReportButton& button = *GetParam().button;
    if (button.before) {
        Run(button.before);
        form().RichEdit1->Clear();
    }
    std::vector<std::wstring> expected;
    switch (GetParam().outcome) {
    case Outcome::Success:
        expected = button.success;
        break;
    case Outcome::Failure:
        reader().Control((std::string("force ") + button.command + " reason 83").c_str());
        expected = FailureLines(button.failure, L"卡不存在....");
        break;
    case Outcome::NoReply:
        reader().Control("silence");
        expected = {button.noData};
        break;
    case Outcome::OtherStatus:
        reader().Control((std::string("force ") + button.command + " status 02").c_str());
        expected = {LostDataLine};
        break;
    }

    Run(button.handler);

    const std::vector<std::string> frames = Frames();
    ASSERT_EQ(frames.size(), button.before ? 2u : 1u);
    EXPECT_EQ(frames.back(), button.frame);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
    EXPECT_TRUE(ReportedExceptions().empty());
}
