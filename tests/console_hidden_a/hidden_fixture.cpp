#include "hidden_fixture.h"

void HiddenPageTest::SetUp() {
    ConsoleTest::SetUp();
    // Every control of the three pages.
    static const StartValues startValues(form(), [this](const TControl* control) {
        return OnSheet(control, form().TabSheet4) || OnSheet(control, form().TabSheet2) ||
               OnSheet(control, form().TabSheet3);
    });
    startValues.Restore();
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

// The frame a button sends and its report of a success, a failure with its reason, no reply and
// another status.
TEST_P(HiddenPageReport, SendsTheFrameAndReportsTheOutcome) {
    const ReportButton& button = *GetParam().row;
    if (button.before) {
        Run(button.before);
        form().RichEdit1->Clear();
    }
    const std::vector<std::wstring> expected = ArrangeOutcome(
        GetParam().outcome, button.command, {button.success, button.failure, button.noData, LostDataLine});

    Run(button.handler);

    const std::vector<std::string> frames = Frames();
    ASSERT_EQ(frames.size(), button.before ? 2u : 1u);
    EXPECT_EQ(frames.back(), button.frame);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
    EXPECT_TRUE(ReportedExceptions().empty());
}
