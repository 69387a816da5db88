// "Exist" chosen while the automatic loop runs: the loop ends at once and leaves its box unticked.
// Runs in a program of its own: the application is ending after.
#include "uhf_fixture.h"

namespace {

using AutomaticLoopExit = UhfTest;

TEST_F(AutomaticLoopExit, TheProgramEndingEndsTheLoopCleanly) {
    // Long pauses: only the program's end can make the loop stop soon.
    form().Edit61->SetText(L"20000");
    double exitChosen = 0;
    ActWhen([&] { return !form().epcbuf->Text().empty() && form().epcbuf->Text() != L"epcbuf"; },
            [&] {
                exitChosen = NowMs();
                form().N4Click(nullptr);
            });
    ClickAsOperator(form().CheckBox20);

    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_LT(NowMs() - exitChosen, 5000);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(form().CheckBox20->Checked());
    EXPECT_EQ(form().CheckBox20->Caption(), L"Automatic card");
    EXPECT_FALSE(form().AutomaticCardRunning);
    EXPECT_EQ(form().epcbuf->Text(), FirstNumber);
    EXPECT_TRUE(ReportedExceptions().empty());
}

} // namespace
