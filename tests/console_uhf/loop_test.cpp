// The automatic loop: consecutive numbers into consecutive tags, each tag written once while it
// stays in the field, and the box left unticked and captioned "Automatic card" however it ends.
#include "uhf_fixture.h"

#include <framework/sysutils.h>

#include <utility>

namespace {

const std::wstring Success = L"Write Card Success,The card number is : ";
const std::wstring NoCard = L"The card is not exist..!   ";

// Three tags come into the field one after the other, each staying for three inventories.
const std::vector<std::string> Tags = {"300833B2DDD9014000000A01", "1234ABCD", "300833B2DDD9014000000A03"};

struct LoopCase {
    const char* name;
    bool reverse;
    std::vector<std::wstring> numbers; // written in this order
    std::wstring next;
};

const LoopCase loopCases[] = {
    {"Plus",
     false,
     {FirstNumber, L"000000000000000000000002", L"000000000000000000000003"},
     L"000000000000000000000004"},
    {"Reverse",
     true,
     {L"010000000000000000000000", L"020000000000000000000000", L"030000000000000000000000"},
     L"040000000000000000000000"},
    // A first number typed in lower case is still known as the one just written.
    {"LowerCaseFirst",
     false,
     {L"0000000000000000000000fe", L"0000000000000000000000FF", L"000000000000000000000100"},
     L"000000000000000000000101"},
};

// (tag selected, number written) for every write, from what the reader received.
std::vector<std::pair<std::string, std::string>> Writes(const Transcript& transcript) {
    std::vector<std::pair<std::string, std::string>> writes;
    std::string selected;
    for (const ModuleFrame& frame : transcript.ModuleFrames()) {
        // Select: bank, bit pointer (4), mask length, truncate, mask. Write: password (4), bank,
        // address (2), word count (2), CRC, PC, EPC.
        if (frame.command == 0x0C) selected = frame.params.substr(14);
        if (frame.command == 0x49) writes.emplace_back(selected, frame.params.substr(26));
    }
    return writes;
}

int Inventories(const Transcript& transcript) {
    int count = 0;
    for (const ModuleFrame& frame : transcript.ModuleFrames()) count += frame.command == 0x22;
    return count;
}

class AutomaticLoop : public UhfTest, public ::testing::WithParamInterface<LoopCase> {
protected:
    void ExpectEndedCleanly() {
        EXPECT_FALSE(form().CheckBox20->Checked());
        EXPECT_EQ(form().CheckBox20->Caption(), L"Automatic card");
        EXPECT_FALSE(form().AutomaticCardRunning);
    }
};

TEST_P(AutomaticLoop, WritesConsecutiveNumbersIntoConsecutiveTags) {
    const LoopCase& c = GetParam();
    reader().Control("field clear");
    for (const std::string& tag : Tags) reader().Control(("queue " + tag).c_str());
    reader().Control("dwell 3");
    form().Edit54->SetText(c.numbers.front());
    (c.reverse ? form().reverse : form().Forward)->SetChecked(true);
    Transcript transcript;

    // The operator unticks the box once the last tag has left the field.
    std::wstring captionWhileRunning;
    ActWhen([&] { return LogText().find(NoCard) != std::wstring::npos; },
            [&] {
                captionWhileRunning = form().CheckBox20->Caption();
                ClickAsOperator(form().CheckBox20);
            });
    ClickAsOperator(form().CheckBox20);

    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_EQ(captionWhileRunning, L"Stop card");
    std::vector<std::pair<std::string, std::string>> expected;
    std::vector<std::wstring> lines;
    for (std::size_t i = 0; i < Tags.size(); ++i) {
        expected.emplace_back(Tags[i], StringToUtf8(UpperCase(c.numbers[i])));
        lines.push_back(Success + c.numbers[i]);
    }
    EXPECT_EQ(Writes(transcript), expected);
    EXPECT_GE(Inventories(transcript), 9); // every tag answered three times and was written once
    EXPECT_EQ(LinesWith(LogText(), Success), lines);
    EXPECT_EQ(form().Edit54->Text(), c.next);
    ExpectEndedCleanly();
    EXPECT_TRUE(ReportedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(UhfPage, AutomaticLoop, ::testing::ValuesIn(loopCases),
                         [](const auto& info) { return std::string(info.param.name); });

using AutomaticLoopEnd = AutomaticLoop;

// A pause that is no number ends the loop after its first write with the framework's report.
TEST_F(AutomaticLoopEnd, AnErrorInsideTheLoopUnticksTheBox) {
    form().Edit61->SetText(L"abc");
    ActWhen([] { return false; }, [&] { form().CheckBox20->SetChecked(false); });
    ClickAsOperator(form().CheckBox20);

    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_EQ(LinesWith(LogText(), Success), std::vector<std::wstring>{Success + FirstNumber});
    ASSERT_EQ(ReportedExceptions().size(), 1u);
    EXPECT_NE(ReportedExceptions().front().find(L"'abc' is not a valid integer value"), std::wstring::npos);
    ExpectEndedCleanly();
}

// A number the module would reject is refused once and the loop stops instead of retrying it.
TEST_F(AutomaticLoopEnd, ARefusedNumberStopsTheLoop) {
    form().Edit54->SetText(L"123");
    const int before = reader().FrameCount();
    ActWhen([] { return false; }, [&] { form().CheckBox20->SetChecked(false); });
    ClickAsOperator(form().CheckBox20);

    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_EQ(reader().FrameCount(), before);
    EXPECT_EQ(LogText(),
              ExpectedLog({L"The EPC number has an odd number of hex digits, nothing written   {t}\r\n"}));
    ExpectEndedCleanly();
}

// Unticking and ticking again within one pass goes on with the same loop, not a second one inside it.
TEST_F(AutomaticLoopEnd, TickingAgainDuringAPassKeepsOneLoop) {
    bool retickedWhileRunning = false;
    ActWhen([&] { return reader().FrameCount() >= 3; },
            [&] {
                ClickAsOperator(form().CheckBox20);
                ClickAsOperator(form().CheckBox20);
                retickedWhileRunning = form().AutomaticCardRunning && form().CheckBox20->Checked();
                ActWhen([&] { return reader().FrameCount() >= 6; },
                        [&] { ClickAsOperator(form().CheckBox20); });
            });
    ClickAsOperator(form().CheckBox20);

    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_TRUE(retickedWhileRunning);
    EXPECT_EQ(LinesWith(LogText(), Success), std::vector<std::wstring>{Success + FirstNumber});
    ExpectEndedCleanly();
}

} // namespace
