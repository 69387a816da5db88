// The repeat loops of the two pages: each repeats its command until its box is unticked, the
// page change ends those it should, and a loop whose pass cannot go on ends with its box
// unticked.
#include "hidden_b_fixture.h"

namespace {

struct LoopCase {
    const char* name;
    TCheckBox* TForm1::*box;
    std::string frame; // the frame every pass sends
    bool endsOnPageChange;
};

const LoopCase loopCases[] = {
    {"Request", &TForm1::CheckBox11, FrameOf("09"), true},
    {"IdNumber", &TForm1::CheckBox13, FrameOf("26"), false},
    {"FileId", &TForm1::CheckBox14, FrameOf("27"), false},
    {"Inventory", &TForm1::CheckBox5, FrameOf("10060000"), true},
    {"Read", &TForm1::CheckBox6, FrameOf("11020105"), true},
    {"Write", &TForm1::CheckBox7, FrameOf("1242050111223344"), true},
};

class RepeatLoop : public HiddenCardsTest, public ::testing::WithParamInterface<LoopCase> {
protected:
    TCheckBox* Box() { return form().*GetParam().box; }
};

TEST_P(RepeatLoop, RepeatsItsCommandUntilUnticked) {
    Transcript transcript;
    ActWhen([this] { return reader().FrameCount() >= 3; }, [this] { ClickAsOperator(Box()); });
    ClickAsOperator(Box()); // returns when the loop has ended

    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_FALSE(Box()->Checked());
    const std::vector<std::string> frames = transcript.Frames();
    EXPECT_GE(frames.size(), 3u);
    for (const std::string& frame : frames) EXPECT_EQ(frame, GetParam().frame);
    EXPECT_TRUE(form().RunningLoops.empty());
    EXPECT_TRUE(ReportedExceptions().empty());
}

TEST_P(RepeatLoop, APageChangeEndsOnlyTheLoopsOfTheCommandPages) {
    int framesAtPageChange = 0;
    ActWhen([this] { return reader().FrameCount() >= 2; },
            [&] {
                framesAtPageChange = reader().FrameCount();
                form().PageControl1Change(form().PageControl1);
                // A loop that goes on is ended by the operator a few passes later.
                if (Box()->Checked())
                    ActWhen([&] { return reader().FrameCount() >= framesAtPageChange + 2; },
                            [this] { ClickAsOperator(Box()); });
            });
    ClickAsOperator(Box());

    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_FALSE(Box()->Checked());
    if (GetParam().endsOnPageChange) {
        // The pass under way when the page changed may still finish.
        EXPECT_LE(reader().FrameCount(), framesAtPageChange + 1);
    } else {
        EXPECT_GE(reader().FrameCount(), framesAtPageChange + 2);
    }
}

INSTANTIATE_TEST_SUITE_P(HiddenPages, RepeatLoop, ::testing::ValuesIn(loopCases),
                         [](const auto& info) { return std::string(info.param.name); });

using RepeatLoopEnd = HiddenCardsTest;

TEST_F(RepeatLoopEnd, ABoxTextThatCannotBeSentEndsTheLoopWithTheConversionError) {
    form().Edit16->SetText(L"11 22 33 4");
    ClickAsOperator(form().CheckBox7);
    EXPECT_FALSE(form().CheckBox7->Checked());
    EXPECT_EQ(reader().FrameCount(), 0);
    EXPECT_EQ(LogText(), L"");
    ASSERT_EQ(ReportedExceptions().size(), 1u);
    EXPECT_NE(ReportedExceptions()[0].find(L"11 22 33 4"), String::npos);
    EXPECT_TRUE(form().RunningLoops.empty());
}

TEST_F(RepeatLoopEnd, APeriodThatIsNoNumberEndsTheLoopWithTheConversionError) {
    // Whatever Edit22's own change handler would make of the text, the loop reads what is there.
    const TNotifyEvent onChange = form().Edit22->OnChange;
    form().Edit22->OnChange = nullptr;
    form().Edit22->SetText(L"abc");
    ClickAsOperator(form().CheckBox13);
    form().Edit22->OnChange = onChange;

    EXPECT_FALSE(form().CheckBox13->Checked());
    EXPECT_EQ(reader().FrameCount(), 1);
    ASSERT_EQ(ReportedExceptions().size(), 1u);
    EXPECT_NE(ReportedExceptions()[0].find(L"abc"), String::npos);
    EXPECT_TRUE(form().RunningLoops.empty());
}

TEST_F(RepeatLoopEnd, TickingAgainInsideTheLoopStartsNoSecondLoop) {
    std::size_t loopsAfterRetick = 0;
    ActWhen([this] { return reader().FrameCount() >= 2; },
            [&] {
                ClickAsOperator(form().CheckBox5); // unticked: the handler returns at once
                ClickAsOperator(form().CheckBox5); // ticked again: the running loop goes on
                loopsAfterRetick = form().RunningLoops.size();
                ActWhen([this] { return reader().FrameCount() >= 5; },
                        [this] { ClickAsOperator(form().CheckBox5); });
            });
    ClickAsOperator(form().CheckBox5);
    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_EQ(loopsAfterRetick, 1u);
    EXPECT_FALSE(form().CheckBox5->Checked());
    EXPECT_GE(reader().FrameCount(), 5);
}

} // namespace
