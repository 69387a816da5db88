// The Ultralight page: every reporting button from the controls' start values with each outcome,
// pages written and read back through the simulated card, and the repeat loops.
#include "hidden_fixture.h"

#include <framework/sysutils.h>

namespace {

const ReportButton buttonCases[] = {
    {"ReadSerialNumber",
     &TForm1::Button55Click,
     "e3",
     "AA0002E300E1BB",
     {L"读卡号 操作成功   {t}", L"卡号为:" + UltralightUid + L"\r\n"},
     L"读卡ID号操作失败   "},
    {"Halt", &TForm1::Button17Click, "06", "AA00010607BB", {L"HALT操作成功   {t}\r\n"}, L"HALT操作失败   "},
    {"ReadPage",
     &TForm1::Button18Click,
     "e0",
     "AA0003E00000E3BB",
     {L"读卡 操作成功   {t}", L"读卡返回数据为: 046A3BDD12C95E800548000000000000",
      L"卡ID号为:" + UltralightUid + L"\r\n"},
     L"读卡失败   "},
    {"WritePage",
     &TForm1::Button54Click,
     "e1",
     "AA0008E100010400000000ECBB",
     {L"写卡操作成功   {t}", L"卡号为:" + UltralightUid + L"\r\n"},
     L"写卡操作失败   "},
};

INSTANTIATE_TEST_SUITE_P(UltralightPage, HiddenPageReport, ::testing::ValuesIn(AllReportCases(buttonCases)),
                         ReportCaseName<ReportButton>);

using UltralightPage = HiddenPageTest;

TEST_F(UltralightPage, PageItemIsSentAsItsNumberAndAllSetsTheRequestByte) {
    form().ListBox1->SetItemIndex(15);
    Run(&TForm1::Button18Click);
    form().ListBox1->SetItemIndex(9);
    Run(&TForm1::Button18Click);
    form().Ulaaa->SetChecked(true);
    Run(&TForm1::Button54Click);
    form().Ula->SetChecked(true);
    Run(&TForm1::Button55Click);

    EXPECT_EQ(Frames(), (std::vector<std::string>{"AA0003E0000FECBB", "AA0003E00009EABB",
                                                  "AA0008E101010400000000EDBB", "AA0002E301E0BB"}));
}

TEST_F(UltralightPage, PageWrittenIsReadBack) {
    form().ListBox2->SetItemIndex(6);
    form().Edit56->SetText(L"de ad be ef");
    Run(&TForm1::Button54Click);
    form().ListBox1->SetItemIndex(5);
    form().RichEdit1->Clear();
    Run(&TForm1::Button18Click);

    EXPECT_EQ(LogText(),
              ExpectedLog({L"读卡 操作成功   {t}", L"读卡返回数据为: 00000000DEADBEEF0000000000000000",
                           L"卡ID号为:" + UltralightUid + L"\r\n"}));
}

TEST_F(UltralightPage, FailuresCarryTheReadersReason) {
    // Lock byte 0 bit 4 locks page 4; pages 0 and 1 hold the serial number.
    form().ListBox2->SetItemIndex(2);
    form().Edit56->SetText(L"00 00 10 00");
    Run(&TForm1::Button54Click);
    form().ListBox2->SetItemIndex(4);
    Run(&TForm1::Button54Click);
    form().ListBox2->SetItemIndex(1);
    Run(&TForm1::Button54Click);
    Run(&TForm1::Button17Click);
    Run(&TForm1::Button17Click);
    reader().Control("ultralight off");
    form().Ulaa->SetChecked(true);
    Run(&TForm1::Button18Click);

    const std::wstring uid = L"卡号为:" + UltralightUid + L"\r\n";
    EXPECT_EQ(LogText(),
              ExpectedLog({L"写卡操作成功   {t}", uid, L"写卡操作失败   {t}",
                           L"要操作的对象已经别锁定，不能进行修改....\r\n", L"写卡操作失败   {t}",
                           L"写操作不成功....\r\n", L"HALT操作成功   {t}\r\n", L"HALT操作失败   {t}",
                           L"卡不存在....\r\n", L"读卡失败   {t}", L"卡不存在....\r\n"}));
}

TEST_F(UltralightPage, DataThatIsNoWholeBytesStopsTheWrite) {
    form().Edit56->SetText(L"00 00 00 0");
    EXPECT_THROW(Run(&TForm1::Button54Click), EConvertError);
    EXPECT_TRUE(Frames().empty());
}

class UltralightLoop : public HiddenPageTest {
protected:
    void AfterFrames(std::size_t count, std::function<void()> act) {
        ActWhen([this, count] { return Frames().size() >= count; }, std::move(act));
    }
};

// The write loop waits the period plus 100 ms after every write, until the box is unticked.
TEST_F(UltralightLoop, WriteLoopRepeatsWithItsFullPauseUntilUnticked) {
    AfterFrames(4, [&] { ClickAsOperator(form().CheckBox10); });
    const double start = NowMs();
    ClickAsOperator(form().CheckBox10);
    const double elapsed = NowMs() - start;

    EXPECT_FALSE(ActedOnDeadline());
    EXPECT_FALSE(form().CheckBox10->Checked());
    EXPECT_TRUE(form().RunningLoops.empty());
    EXPECT_EQ(Frames(), std::vector<std::string>(4, "AA0008E100010400000000ECBB"));
    EXPECT_GE(elapsed, 4 * 200.0);
}

TEST_F(UltralightLoop, PageChangeEndsTheReadLoops) {
    for (TCheckBox* box : {form().CheckBox8, form().CheckBox9}) {
        const std::size_t before = Frames().size();
        AfterFrames(before + 3, [&] { form().PageControl1Change(nullptr); });
        ClickAsOperator(box);

        EXPECT_FALSE(ActedOnDeadline());
        EXPECT_FALSE(box->Checked());
        EXPECT_GE(Frames().size(), before + 3);
    }
    EXPECT_TRUE(form().RunningLoops.empty());
}

} // namespace
