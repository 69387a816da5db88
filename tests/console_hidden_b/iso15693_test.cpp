// The ISO15693 page against the simulated reader's tags: the payload each flag choice builds, each
// command's report, the main paths end to end (write then read, locks, inventory of several
// tags), and the boxes that are refused before anything is sent.
#include "hidden_b_fixture.h"

namespace {

// The simulated reader's default tag, most significant byte first as the operator types it.
const String DefaultUid = L"E0 07 00 00 1A 2B 3C 4D";
const std::string DefaultUidHex = "E00700001A2B3C4D";
const std::wstring DefaultUidOnAir = L"4D3C2B1A000007E0";
const std::wstring Done = L"操作成功   ";

struct PayloadCase {
    const char* name;
    Handler handler;
    TComboBox* TForm1::*flags; // null: the row's list is left as it starts
    const wchar_t* flag;
    TEdit* TForm1::*uidBox; // null: no UID box is filled
    std::string payload;
};

const PayloadCase payloadCases[] = {
    {"Inventory", &TForm1::Button37Click, nullptr, nullptr, nullptr, "10060000"},
    {"ReadPhilips", &TForm1::Button38Click, nullptr, nullptr, &TForm1::Edit55, "11020105"},
    {"ReadTI", &TForm1::Button38Click, &TForm1::ComboBox10, L"TI", nullptr, "11420105"},
    {"ReadOther", &TForm1::Button38Click, &TForm1::ComboBox10, L"Other", nullptr, "11520105"},
    {"ReadUid", &TForm1::Button38Click, &TForm1::ComboBox10, L"uid", &TForm1::Edit55,
     "11220105" + DefaultUidHex},
    {"WriteTI", &TForm1::Button39Click, nullptr, nullptr, &TForm1::Edit50, "1242050111223344"},
    // The UID goes between the block count and the data.
    {"WriteUid", &TForm1::Button39Click, &TForm1::ComboBox11, L"uid", &TForm1::Edit50,
     "12220501" + DefaultUidHex + "11223344"},
    // The lock never carries a UID, whatever the flag.
    {"LockUid", &TForm1::Button40Click, &TForm1::ComboBox12, L"uid", nullptr, "132205"},
    // The select always carries one.
    {"SelectUid", &TForm1::Button42Click, nullptr, nullptr, &TForm1::Edit19, "1522" + DefaultUidHex},
    {"SelectPhilips", &TForm1::Button42Click, &TForm1::ComboBox13, L"Philips", &TForm1::Edit19,
     "1502" + DefaultUidHex},
    {"WriteAfi", &TForm1::Button44Click, nullptr, nullptr, &TForm1::Edit28, "170206"},
    {"WriteAfiUid", &TForm1::Button44Click, &TForm1::ComboBox14, L"uid", &TForm1::Edit28,
     "172206" + DefaultUidHex},
    {"LockAfiUid", &TForm1::Button45Click, &TForm1::ComboBox15, L"uid", &TForm1::Edit32,
     "1822" + DefaultUidHex},
    {"WriteDsfidUid", &TForm1::Button46Click, &TForm1::ComboBox16, L"uid", &TForm1::Edit36,
     "192208" + DefaultUidHex},
    {"LockDsfid", &TForm1::Button47Click, nullptr, nullptr, &TForm1::Edit38, "1A02"},
    {"SystemInformationUid", &TForm1::Button48Click, &TForm1::ComboBox18, L"uid", &TForm1::Edit41,
     "1B22" + DefaultUidHex},
    {"SecurityStatusUid", &TForm1::Button49Click, &TForm1::ComboBox19, L"uid", &TForm1::Edit43,
     "1C220005" + DefaultUidHex},
};

class Iso15693Payload : public HiddenCardsTest, public ::testing::WithParamInterface<PayloadCase> {};

TEST_P(Iso15693Payload, FlagAndBoxesInTheRowsOrder) {
    const PayloadCase& c = GetParam();
    if (c.flags) SetFlag(form().*c.flags, c.flag);
    if (c.uidBox) (form().*c.uidBox)->SetText(DefaultUid);
    Run(c.handler);
    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_EQ(reader().LastFrame(), FrameOf(c.payload));
}

INSTANTIATE_TEST_SUITE_P(Iso15693Page, Iso15693Payload, ::testing::ValuesIn(payloadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The empty line that closes a report.
const std::wstring Closing;

struct CommandCase {
    const char* name;
    Handler handler;
    const char* command;
    std::vector<std::wstring> success; // from the simulated reader's default tag
    std::wstring failure;
};

const CommandCase commandCases[] = {
    {"Inventory",
     &TForm1::Button37Click,
     "10",
     {Done + L"{t}", L"域内的卡片数量为：01", L"域内的卡片数据为：0000" + DefaultUidOnAir,
      L"第1张卡卡号为：E0 07 00 00 1A 2B 3C 4D ", Closing},
     L"操作失败   "},
    {"Read",
     &TForm1::Button38Click,
     "11",
     {Done + L"{t}", L"标志位为：00", L"读卡返回数据为：" + std::wstring(40, L'0') + L"\r\n"},
     L"读卡失败   "},
    {"Write", &TForm1::Button39Click, "12", {L"写卡操作成功   {t}", Closing}, L"写卡失败   "},
    {"Lock", &TForm1::Button40Click, "13", {L"锁操作成功   {t}", Closing}, L"锁操作失败   "},
    {"Select", &TForm1::Button42Click, "15", {L"选择卡操作成功   {t}", Closing}, L"选择卡操作失败   "},
    {"WriteAfi", &TForm1::Button44Click, "17", {L"写AFI操作成功   {t}", Closing}, L"写AFI操作失败   "},
    {"LockAfi", &TForm1::Button45Click, "18", {L"锁定AFI操作成功   {t}", Closing}, L"锁定AFI操作失败   "},
    {"WriteDsfid", &TForm1::Button46Click, "19", {L"写DSFID操作成功   {t}", Closing}, L"写DSFID操作失败   "},
    {"LockDsfid",
     &TForm1::Button47Click,
     "1a",
     {L"锁定DSFID操作成功   {t}", Closing},
     L"锁定DSFID操作失败   "},
    {"SystemInformation",
     &TForm1::Button48Click,
     "1b",
     {Done + L"{t}", L"  Flags值为： 00", L"  INFO Flags值为： 0F", L"  卡UID值为： " + DefaultUidOnAir,
      L"  DSFID值为： 00", L"  AFI值为： 00", L"  Other fields值为： 1B0301\r\n"},
     L"操作失败   "},
    {"SecurityStatus",
     &TForm1::Button49Click,
     "1c",
     {Done + L"{t}", L"标志位为：00", L"块安全位状态为：0000000000\r\n"},
     L"读卡块安全位失败   "},
};

class Iso15693Report : public HiddenCardsTest,
                       public ::testing::WithParamInterface<ReportCase<CommandCase>> {};

TEST_P(Iso15693Report, ReportsTheOutcome) {
    const CommandCase& command = *GetParam().row;
    form().Edit19->SetText(DefaultUid); // the select needs a tag to name
    const std::vector<std::wstring> expected =
        Arrange(GetParam().outcome, command.command, command.success, command.failure);
    Run(command.handler);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
    EXPECT_TRUE(ReportedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(Iso15693Page, Iso15693Report, ::testing::ValuesIn(AllReportCases(commandCases)),
                         ReportCaseName<CommandCase>);

using Iso15693 = HiddenCardsTest;

TEST_F(Iso15693, WriteThenReadGivesBackWhatWasWritten) {
    for (TComboBox* flags : {form().ComboBox10, form().ComboBox11}) SetFlag(flags, L"uid");
    form().Edit50->SetText(DefaultUid);
    form().Edit55->SetText(DefaultUid);
    SetBox(L"Edit48", L"03");
    SetBox(L"Edit49", L"02");
    SetBox(L"Edit16", L"DE AD BE EF 01 02 03 04");
    Run(&TForm1::Button39Click);
    SetBox(L"Edit14", L"02");
    SetBox(L"Edit13", L"03");
    Run(&TForm1::Button38Click);
    EXPECT_EQ(LinesWith(LogText(), L"读卡返回数据为："),
              std::vector<std::wstring>{L"读卡返回数据为：00000000DEADBEEF01020304"});
}

TEST_F(Iso15693, ALockedBlockRefusesWritesAndShowsInItsSecurityStatus) {
    Run(&TForm1::Button40Click); // block 05
    Run(&TForm1::Button40Click);
    Run(&TForm1::Button39Click); // block 05
    SetBox(L"Edit21", L"04");
    SetBox(L"Edit20", L"02");
    Run(&TForm1::Button49Click);
    EXPECT_EQ(LogText(),
              ExpectedLog({L"锁操作成功   {t}", Closing, L"锁操作失败   {t}", L"锁定操作不成功....\r\n",
                           L"写卡失败   {t}", L"要操作的对象已经别锁定，不能进行修改....\r\n", Done + L"{t}",
                           L"标志位为：00", L"块安全位状态为：0001\r\n"}));
}

TEST_F(Iso15693, LockedAfiAndDsfidKeepTheirValues) {
    Run(&TForm1::Button44Click); // AFI 06
    Run(&TForm1::Button46Click); // DSFID 08
    Run(&TForm1::Button45Click);
    Run(&TForm1::Button47Click);
    form().RichEdit1->Clear();
    SetBox(L"Edit15", L"07");
    SetBox(L"Edit17", L"09");
    Run(&TForm1::Button44Click);
    Run(&TForm1::Button46Click);
    Run(&TForm1::Button48Click);
    const std::wstring locked = L"要操作的对象已经别锁定，不能进行修改....";
    std::vector<std::wstring> expected = FailureLines(L"写AFI操作失败   ", locked);
    for (const std::wstring& line : FailureLines(L"写DSFID操作失败   ", locked)) expected.push_back(line);
    for (const std::wstring& line :
         {Done + L"{t}", std::wstring(L"  Flags值为： 00"), std::wstring(L"  INFO Flags值为： 0F"),
          L"  卡UID值为： " + DefaultUidOnAir, std::wstring(L"  DSFID值为： 08"),
          std::wstring(L"  AFI值为： 06"), std::wstring(L"  Other fields值为： 1B0301\r\n")})
        expected.push_back(line);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
}

TEST_F(Iso15693, InventoryListsEveryTagMostSignificantByteFirst) {
    reader().Control("iso15693 tag E0040100AABBCCDD dsfid 08");
    Run(&TForm1::Button37Click);
    EXPECT_EQ(LogText(), ExpectedLog({Done + L"{t}", L"域内的卡片数量为：02",
                                      L"域内的卡片数据为：0000" + DefaultUidOnAir + L"0008DDCCBBAA000104E0",
                                      L"第1张卡卡号为：E0 07 00 00 1A 2B 3C 4D ",
                                      L"第2张卡卡号为：E0 04 01 00 AA BB CC DD ", Closing}));
}

TEST_F(Iso15693, NoTagInTheField) {
    reader().Control("iso15693 clear");
    Run(&TForm1::Button37Click);
    Run(&TForm1::Button38Click);
    std::vector<std::wstring> expected = FailureLines(L"操作失败   ", L"卡不存在....");
    for (const std::wstring& line : FailureLines(L"读卡失败   ", L"卡不存在....")) expected.push_back(line);
    EXPECT_EQ(LogText(), ExpectedLog(expected));
}

TEST_F(Iso15693, SelectModeReadsTheSelectedTag) {
    reader().Control("iso15693 tag E0040100AABBCCDD");
    SetBox(L"Edit48", L"00");
    Run(&TForm1::Button39Click); // non-addressed: the first tag
    SetBox(L"Edit19", L"E0 04 01 00 AA BB CC DD");
    Run(&TForm1::Button42Click);
    SetBox(L"Edit14", L"00");
    SetBox(L"Edit13", L"01");
    SetFlag(form().ComboBox10, L"Other");
    Run(&TForm1::Button38Click);
    SetFlag(form().ComboBox10, L"Philips");
    Run(&TForm1::Button38Click);
    // With "Other" the option flag puts the block's lock status before it.
    EXPECT_EQ(LinesWith(LogText(), L"读卡返回数据为："),
              (std::vector<std::wstring>{L"读卡返回数据为：0000000000", L"读卡返回数据为：11223344"}));
}

struct RefusalCase {
    const char* name;
    Handler handler;
    const wchar_t* box; // null: the row's UID box is left empty
    const wchar_t* text;
    TComboBox* TForm1::*flags;
};

const RefusalCase refusalCases[] = {
    {"StartBlockOneDigit", &TForm1::Button38Click, L"Edit14", L"1", nullptr},
    {"BlockCountThreeDigits", &TForm1::Button38Click, L"Edit13", L"005", nullptr},
    {"BlockCountTwoBytes", &TForm1::Button39Click, L"Edit49", L"0001", nullptr},
    {"WriteDataOddDigits", &TForm1::Button39Click, L"Edit16", L"11 22 33 4", nullptr},
    {"ReadUidMissing", &TForm1::Button38Click, nullptr, nullptr, &TForm1::ComboBox10},
    {"SelectUidMissing", &TForm1::Button42Click, nullptr, nullptr, nullptr},
    {"SelectUidShort", &TForm1::Button42Click, L"Edit19", L"E0 07 00 00 1A 2B 3C", nullptr},
    {"LockBlockOneDigit", &TForm1::Button40Click, L"Edit18", L"5", nullptr},
    {"AfiEmpty", &TForm1::Button44Click, L"Edit15", L"", nullptr},
    {"DsfidOneDigit", &TForm1::Button46Click, L"Edit17", L"8", nullptr},
    {"SecurityLengthOneDigit", &TForm1::Button49Click, L"Edit20", L"5", nullptr},
};

class Iso15693Refusal : public HiddenCardsTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Iso15693Refusal, RaisesTheConversionErrorAndSendsNothing) {
    const RefusalCase& c = GetParam();
    if (c.box) SetBox(c.box, c.text);
    if (c.flags) SetFlag(form().*c.flags, L"uid");
    EXPECT_THROW(Run(c.handler), EConvertError);
    EXPECT_EQ(reader().FrameCount(), 0);
    EXPECT_EQ(LogText(), L"");
}

INSTANTIATE_TEST_SUITE_P(Iso15693Page, Iso15693Refusal, ::testing::ValuesIn(refusalCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
