// The S50/S70 page: every reporting button from the controls' start values with each outcome,
// blocks and values written and read back through the simulated card, the repeat loops, and the
// reader-address switch.
#include "hidden_fixture.h"

#include <framework/sysutils.h>

namespace {

const std::wstring Key = L"3C5A17E2940B";
const std::wstring TrailerOfSector4 = L"000000000000FF078069" + Key;
const std::wstring ZeroBlock(32, L'0');
const std::wstring CardFailure = L"读卡失败   ";

const ReportButton buttonCases[] = {
    {"ReadBlocks",
     &TForm1::Button8Click,
     "20",
     "AA000A200004103C5A17E2940B32BB",
     {L"操作成功   {t}", L"卡号为:" + MifareUid,
      L"卡的数据为:" + ZeroBlock + ZeroBlock + ZeroBlock + TrailerOfSector4 + L"\r\n"},
     CardFailure},
    {"WriteBlock",
     &TForm1::Button9Click,
     "21",
     "AA001A210001103C5A17E2940BFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF26BB",
     {L"操作成功   {t}", L"卡号为:" + MifareUid},
     CardFailure},
    // Two cards are in the field: the S50 card and the Ultralight card.
    {"CardNumber",
     &TForm1::Button29Click,
     "25",
     "AA000325260000BB",
     {L"操作成功   {t}\r\n", L"返回卡号为:" + MifareUid, L"检测到的卡的数量为多张卡..\r\n"},
     L"读卡号操作失败   "},
    {"Halt", &TForm1::Button16Click, "06", "AA00010607BB", {L"HALT操作成功   {t}\r\n"}, L"HALT操作失败   "},
    {"InitValue",
     &TForm1::Button26Click,
     "22",
     "AA000D2200013C5A17E2940B00880000AABB",
     {L"操作成功   {t}", L"返回卡ID号为:" + MifareUid + L"\r\n"},
     CardFailure},
    {"Increment",
     &TForm1::Button10Click,
     "24",
     "AA000D2400013C5A17E2940B0020000004BB",
     {L"操作成功   {t}", L"返回卡ID号为:" + MifareUid, L"剩余值为为: 00A80000\r\n"},
     CardFailure,
     NoReplyLine,
     &TForm1::Button26Click},
    {"Decrement",
     &TForm1::Button15Click,
     "23",
     "AA000D2300013C5A17E2940B0020000003BB",
     {L"操作成功   {t}", L"返回卡ID号为:" + MifareUid, L"剩余值为为: 00680000\r\n"},
     CardFailure,
     NoReplyLine,
     &TForm1::Button26Click},
};

INSTANTIATE_TEST_SUITE_P(S50S70Page, HiddenPageReport, ::testing::ValuesIn(AllReportCases(buttonCases)),
                         ReportCaseName<ReportButton>);

using S50S70Page = HiddenPageTest;

TEST_F(S50S70Page, RequestKeyAndHaltChoicesMakeTheModeAndRequestBytes) {
    form().keyb->SetChecked(true);
    Run(&TForm1::Button8Click);
    form().reqa5->SetChecked(true);
    form().yeshalt->SetChecked(true);
    Run(&TForm1::Button29Click);
    // A block number typed with one digit is the same byte.
    form().reqaa->SetChecked(true);
    form().keybb->SetChecked(true);
    form().ComboBox7->SetText(L"5");
    form().ComboBox8->SetText(L"1");
    Run(&TForm1::Button9Click);

    const std::vector<std::string> frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], "AA000A200204103C5A17E2940B30BB");
    EXPECT_EQ(frames[1], "AA000325520175BB");
    EXPECT_EQ(frames[2].substr(0, 14), "AA001A21030105");
}

TEST_F(S50S70Page, BlocksWrittenAreReadBack) {
    const std::wstring data = L"00112233445566778899AABBCCDDEEFF";
    form().Edit3->SetText(L"00 11 22 33 44 55 66 77 88 99 aa bb cc dd ee ff");
    form().ComboBox7->SetText(L"21");
    Run(&TForm1::Button9Click);
    form().ComboBox3->SetText(L"20");
    form().ComboBox6->SetText(L"02");
    form().RichEdit1->Clear();
    Run(&TForm1::Button8Click);

    EXPECT_EQ(LogText(), ExpectedLog({L"操作成功   {t}", L"卡号为:" + MifareUid,
                                      L"卡的数据为:" + ZeroBlock + data + L"\r\n"}));
}

struct FailureCase {
    const char* name;
    const char* control; // the reader's state, or nullptr
    std::function<void(TForm1&)> set;
    Handler handler;
    std::wstring failure;
    std::wstring reason;
};

const FailureCase failureCases[] = {
    {"WrongKey", nullptr, [](TForm1& f) { f.ComboBox4->SetText(L"E5 72 0A 9C 38 D1"); },
     &TForm1::Button8Click, CardFailure, L"密码认证没通过...."},
    {"WrongKeyForValue", nullptr, [](TForm1& f) { f.Edit58->SetText(L"6D 21 B8 4F 03 C7"); },
     &TForm1::Button26Click, CardFailure, L"密码认证没通过...."},
    {"NoCard", "mifare off", nullptr, &TForm1::Button9Click, CardFailure, L"卡不存在...."},
    {"NoCardAtAll", "ultralight off", [](TForm1&) { SimulatedReader::Instance().Control("mifare off"); },
     &TForm1::Button29Click, L"读卡号操作失败   ", L"卡不存在...."},
    {"ManufacturerBlock", nullptr, [](TForm1& f) { f.ComboBox7->SetText(L"00"); }, &TForm1::Button9Click,
     CardFailure, L"写操作不成功...."},
    {"NotAValueBlock", nullptr, nullptr, &TForm1::Button15Click, CardFailure, L"在块初始化中出现错误..."},
    {"BeyondTheCard", nullptr, [](TForm1& f) { f.ComboBox3->SetText(L"3f"); }, &TForm1::Button8Click,
     CardFailure, L"要操作的BLOCK不存在...."},
    {"NoSuchSector", nullptr, [](TForm1& f) { f.Edit57->SetText(L"10"); }, &TForm1::Button26Click,
     CardFailure, L"要操作的BLOCK不存在...."},
};

class S50S70Failure : public HiddenPageTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(S50S70Failure, CarriesTheReadersReason) {
    const FailureCase& c = GetParam();
    if (c.control) reader().Control(c.control);
    if (c.set) c.set(form());
    Run(c.handler);
    EXPECT_EQ(LogText(), ExpectedLog(FailureLines(c.failure, c.reason)));
}

INSTANTIATE_TEST_SUITE_P(S50S70Page, S50S70Failure, ::testing::ValuesIn(failureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(S50S70Page, ValueBlockIsInitialisedIncreasedAndDecreased) {
    form().Edit59->SetText(L"10 00 00 00");
    Run(&TForm1::Button26Click);
    form().Edit2->SetText(L"05 00 00 00");
    Run(&TForm1::Button10Click);
    form().Edit8->SetText(L"0F 00 00 00");
    Run(&TForm1::Button15Click);
    // More than the block holds.
    form().Edit8->SetText(L"07 00 00 00");
    Run(&TForm1::Button15Click);

    const std::wstring id = L"返回卡ID号为:" + MifareUid;
    EXPECT_EQ(LogText(),
              ExpectedLog({L"操作成功   {t}", id + L"\r\n", L"操作成功   {t}", id,
                           L"剩余值为为: 15000000\r\n", L"操作成功   {t}", id, L"剩余值为为: 06000000\r\n",
                           CardFailure + L"{t}", L"输入的参数大于最大允许范围，溢出.....\r\n"}));
}

TEST_F(S50S70Page, CardNumberCountsTheCardsThatAnswer) {
    reader().Control("ultralight off");
    Run(&TForm1::Button29Click);
    EXPECT_EQ(LogText(), ExpectedLog({L"操作成功   {t}\r\n", L"返回卡号为:" + MifareUid,
                                      L"检测到的卡的数量为一张卡..\r\n"}));
}

// A halted card answers only when all cards are asked for, which wakes it.
TEST_F(S50S70Page, HaltedCardAnswersOnlyARequestForAll) {
    Run(&TForm1::Button16Click);
    Run(&TForm1::Button16Click);
    Run(&TForm1::Button8Click);
    form().reqa->SetChecked(true);
    form().ComboBox6->SetText(L"01");
    Run(&TForm1::Button8Click);

    EXPECT_EQ(LogText(), ExpectedLog({L"HALT操作成功   {t}\r\n", L"HALT操作失败   {t}", L"卡不存在....\r\n",
                                      CardFailure + L"{t}", L"卡不存在....\r\n", L"操作成功   {t}",
                                      L"卡号为:" + MifareUid, L"卡的数据为:" + ZeroBlock + L"\r\n"}));
}

// The data lines end where the reply's data end: the check byte and the end byte are no data.
TEST_F(S50S70Page, DataLinesStopAtTheEndOfTheReplysData) {
    ReplyHex = L"AA000300123425BB";
    form().ReportCardReply(TForm1::HiddenPageRow(L"操作成功   ", CardFailure, core::SuccessLineForm::Time),
                           {{L"卡号为:", 9, 8}, {L"卡的数据为:", 17, String::npos, core::LineEnd}});
    EXPECT_EQ(LogText(), ExpectedLog({L"操作成功   {t}", L"卡号为:1234", L"卡的数据为:\r\n"}));
}

struct WholeBytesCase {
    const char* name;
    std::function<void(TForm1&)> set;
    Handler handler;
};

const WholeBytesCase wholeBytesCases[] = {
    {"KeyWithALoneDigit", [](TForm1& f) { f.ComboBox4->SetText(L"3C 5A 17 E2 94 0"); },
     &TForm1::Button8Click},
    {"BlockBeyondOneByte", [](TForm1& f) { f.ComboBox3->SetText(L"100"); }, &TForm1::Button8Click},
    {"DataWithALoneDigit", [](TForm1& f) { f.Edit3->SetText(L"FF F"); }, &TForm1::Button9Click},
    {"SectorThatIsNoHex", [](TForm1& f) { f.Edit57->SetText(L"x"); }, &TForm1::Button26Click},
    {"AmountWithALoneDigit", [](TForm1& f) { f.Edit2->SetText(L"00 20 00 0"); }, &TForm1::Button10Click},
};

class S50S70WholeBytes : public HiddenPageTest, public ::testing::WithParamInterface<WholeBytesCase> {};

// A lone digit would shift every pair after it on the wire: the handler stops before sending.
TEST_P(S50S70WholeBytes, BoxThatIsNoWholeBytesStopsTheHandler) {
    GetParam().set(form());
    EXPECT_THROW(Run(GetParam().handler), EConvertError);
    EXPECT_TRUE(Frames().empty());
}

INSTANTIATE_TEST_SUITE_P(S50S70Page, S50S70WholeBytes, ::testing::ValuesIn(wholeBytesCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(S50S70Page, AddressButtonsMoveEveryLaterFrame) {
    ClickAsOperator(form().RadioButton2);
    Run(&TForm1::Button16Click);
    ClickAsOperator(form().RadioButton1);
    Run(&TForm1::Button57Click); // a page of its own: factory default
    EXPECT_EQ(Frames(), (std::vector<std::string>{"AA10010617BB", "AA1101CFDFBB"}));
    EXPECT_EQ(form().setadd->Text(), L"11");
}

// ---- Repeat loops

// The frames' command bytes, in order.
std::string Commands(const std::vector<std::string>& frames) {
    std::string commands;
    for (const std::string& frame : frames) commands += frame.substr(6, 2) + " ";
    return commands;
}

class S50S70Loop : public HiddenPageTest {
protected:
    // Runs `act` once the reader has received `count` frames.
    void AfterFrames(std::size_t count, std::function<void()> act) {
        ActWhen([this, count] { return Frames().size() >= count; }, std::move(act));
    }
    void ExpectEnded(TCheckBox* box) {
        EXPECT_FALSE(ActedOnDeadline());
        EXPECT_FALSE(box->Checked());
        EXPECT_TRUE(form().RunningLoops.empty());
    }
};

TEST_F(S50S70Loop, WriteThenReadGoesOnAcrossAPageChangeUntilUnticked) {
    bool tickedAfterPageChange = false;
    AfterFrames(4, [&] {
        form().PageControl1Change(nullptr);
        tickedAfterPageChange = form().CheckBox12->Checked();
        AfterFrames(8, [&] { ClickAsOperator(form().CheckBox12); });
    });
    const double start = NowMs();
    ClickAsOperator(form().CheckBox12);
    const double elapsed = NowMs() - start;

    ExpectEnded(form().CheckBox12);
    EXPECT_TRUE(tickedAfterPageChange);
    const std::string commands = Commands(Frames());
    EXPECT_EQ(commands.substr(0, 24), "21 20 21 20 21 20 21 20 ");
    // Every write and every read is followed by the period plus 10 ms.
    EXPECT_GE(elapsed, 7 * 110.0);
    EXPECT_TRUE(ReportedExceptions().empty());
}

struct PageChangeCase {
    const char* name;
    TCheckBox* TForm1::*box;
    const char* command;
};

class S50S70PageChange : public S50S70Loop, public ::testing::WithParamInterface<PageChangeCase> {};

TEST_P(S50S70PageChange, EndsTheLoop) {
    TCheckBox* box = form().*GetParam().box;
    AfterFrames(3, [&] { form().PageControl1Change(nullptr); });
    ClickAsOperator(box);

    ExpectEnded(box);
    EXPECT_GE(Frames().size(), 3u);
    for (const std::string& frame : Frames()) EXPECT_EQ(frame.substr(6, 2), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(S50S70Page, S50S70PageChange,
                         ::testing::Values(PageChangeCase{"Read", &TForm1::CheckBox2, "20"},
                                           PageChangeCase{"Write", &TForm1::CheckBox1, "21"},
                                           PageChangeCase{"CardNumber", &TForm1::CheckBox4, "25"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Unticking and ticking again while a pass runs leaves the one loop running: the tick itself sends
// nothing, and the loop ends when the box is unticked.
TEST_F(S50S70Loop, TickingAgainDuringAPassStartsNoSecondLoop) {
    std::size_t framesBefore = 0;
    std::size_t framesAfter = 0;
    AfterFrames(3, [&] {
        AfterFrames(8, [&] { form().CheckBox4->SetChecked(false); });
        form().CheckBox4->SetChecked(false);
        framesBefore = Frames().size();
        form().CheckBox4->SetChecked(true);
        framesAfter = Frames().size();
    });
    ClickAsOperator(form().CheckBox4);

    ExpectEnded(form().CheckBox4);
    EXPECT_EQ(framesAfter, framesBefore);
    EXPECT_GE(Frames().size(), 8u);
}

// A pass that raises ends the loop with the framework's report and leaves the box unticked.
TEST_F(S50S70Loop, AnErrorInsideTheLoopEndsItAndUnticksTheBox) {
    AfterFrames(2, [&] { form().ComboBox4->SetText(L"3C 5"); });
    ClickAsOperator(form().CheckBox2);

    ExpectEnded(form().CheckBox2);
    ASSERT_EQ(ReportedExceptions().size(), 1u);
    EXPECT_NE(ReportedExceptions().front().find(L"'3C 5'"), std::wstring::npos);
}

} // namespace
