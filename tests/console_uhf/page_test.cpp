// The page's mode set, inventory and read against the simulated reader: the frames they send, the
// lines they log, and how each ends when no tag answers.
#include "uhf_fixture.h"

#include <framework/sysutils.h>

namespace {

const std::wstring DeviceError = L"data error,please check Device Connection...";
const std::wstring NoData = L"error,no data  receive..   {t}\r\n";

// ---- "Set": the reader's work mode

struct ModeCase {
    const char* name;
    TRadioButton* TForm1::*button;
    const char* frame;
    std::wstring success;
};

const ModeCase modeCases[] = {
    {"SingleCard", &TForm1::RadioButton30, "AA00020F010CBB",
     L"Set  Active search for EPC number of single card Success    {t}"},
    {"Passive", &TForm1::RadioButton31, "AA00020F020FBB", L"Set  Passive reader mode Success    {t}"},
    {"MultipleCards", &TForm1::RadioButton32, "AA00020F030EBB",
     L"Set  Active search for EPC number of multiple cards Success    {t}"},
    {"Tid", &TForm1::RadioButton33, "AA00020F0409BB", L"Set  Active read TID number  Success    {t}"},
    // The sector boxes follow the command as they stand; this mode has no text of its own.
    {"MemorySector", &TForm1::RadioButton36, "AA0008BC035E219C4700081BBB", L"Set   Success    {t}"},
};

class SetMode : public UhfTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(SetMode, SendsTheModeOfTheCheckedButton) {
    (form().*GetParam().button)->SetChecked(true);
    Run(&TForm1::Button69Click);
    EXPECT_EQ(reader().LastFrame(), GetParam().frame);
    EXPECT_EQ(LogText(), ExpectedLog({GetParam().success}));
}

INSTANTIATE_TEST_SUITE_P(UhfPage, SetMode, ::testing::ValuesIn(modeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ModeReplyCase {
    const char* name;
    const char* control;
    std::vector<std::wstring> log;
};

const ModeReplyCase modeReplyCases[] = {
    {"Failure",
     "force 0f reason 10",
     {L"Set Active search for EPC number of single cardFalse   {t}",
      L"输入的参数大于最大允许范围，溢出.....\r\n"}},
    {"NoReply", "short", {DeviceError, NoData}},
    {"OtherStatus", "force 0f status 02", {L"check sum error.....   {t}\r\n"}},
};

class SetModeReply : public UhfTest, public ::testing::WithParamInterface<ModeReplyCase> {};

TEST_P(SetModeReply, IsReported) {
    reader().Control(GetParam().control);
    Run(&TForm1::Button69Click);
    EXPECT_EQ(LogText(), ExpectedLog(GetParam().log));
}

INSTANTIATE_TEST_SUITE_P(UhfPage, SetModeReply, ::testing::ValuesIn(modeReplyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Inventory: "Readsnr", and the first step of "Read" and "Write"

struct EpcCase {
    const char* name;
    std::vector<std::string> field; // empty: the default field
    const char* control;
    std::wstring epc;
};

const std::wstring Epc62 = L"000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"
                           L"202122232425262728292A2B2C2D2E2F303132333435363738393A3B3C3D";

const EpcCase epcCases[] = {
    {"DefaultTag", {}, nullptr, DefaultEpc},
    {"FourBytes", {"1234ABCD"}, nullptr, L"1234ABCD"},
    {"SixteenBytes", {"00112233445566778899AABBCCDDEEFF"}, nullptr, L"00112233445566778899AABBCCDDEEFF"},
    {"SixtyTwoBytes", {std::string(Epc62.begin(), Epc62.end())}, nullptr, Epc62},
};

class Inventory : public UhfTest, public ::testing::WithParamInterface<EpcCase> {};

TEST_P(Inventory, ShowsTheWholeEpcOfTheTag) {
    if (!GetParam().field.empty()) Field(GetParam().field);
    if (GetParam().control) reader().Control(GetParam().control);
    Run(&TForm1::Button65Click);
    EXPECT_EQ(reader().LastFrame(), InventoryFrame);
    EXPECT_EQ(LogText(), ExpectedLog({L"the epc is: " + GetParam().epc}));
}

INSTANTIATE_TEST_SUITE_P(UhfPage, Inventory, ::testing::ValuesIn(epcCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct NoTagCase {
    const char* name;
    const char* control;
    std::vector<std::wstring> log;
};

const NoTagCase noTagCases[] = {
    {"EmptyField", "field clear", {L"The card is not exist..!   {t}\r\n"}},
    {"NoReply", "short", {DeviceError, NoData}},
    {"NothingRead", "silence", {NoData}},
    // A length byte that claims more than the reader sent: a truncated reply is no reply either.
    {"ReplyLongerThanItsFrame", "oversize F0", {NoData}},
    // A failure reply leaves only its reason code where the module frame would be.
    {"ReaderFailure", "force ce reason 85", {L"The reply is no tag frame: 85   {t}\r\n"}},
    // A length byte that cuts the reply inside the module frame's header.
    {"ReplyCutShort", "oversize 05", {L"The reply is no tag frame: BB022200   {t}\r\n"}},
};

struct InventoryHandler {
    const char* name;
    Handler handler;
};

const InventoryHandler inventoryHandlers[] = {
    {"Readsnr", &TForm1::Button65Click},
    {"Read", &TForm1::Button67Click},
    {"Write", &TForm1::Button66Click},
};

class NoTag : public UhfTest,
              public ::testing::WithParamInterface<std::tuple<NoTagCase, InventoryHandler>> {};

TEST_P(NoTag, EndsAfterOneLineAndSendsNothingMore) {
    const auto& [c, handler] = GetParam();
    reader().Control(c.control);
    const int before = reader().FrameCount();
    Run(handler.handler);
    EXPECT_EQ(reader().FrameCount(), before + 1);
    EXPECT_EQ(reader().LastFrame(), InventoryFrame);
    EXPECT_EQ(LogText(), ExpectedLog(c.log));
    EXPECT_TRUE(ReportedExceptions().empty());
    EXPECT_EQ(form().epcbuf->Text(), L"epcbuf");
    EXPECT_EQ(form().Edit54->Text(), FirstNumber);
}

INSTANTIATE_TEST_SUITE_P(UhfPage, NoTag,
                         ::testing::Combine(::testing::ValuesIn(noTagCases),
                                            ::testing::ValuesIn(inventoryHandlers)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

// ---- "Read": inventory, select, read of the EPC bank

struct ReadCase {
    const char* name;
    std::vector<std::string> field;
    std::wstring epc;
    const char* select; // sent as it stands, outside the module tunnel
};

const ReadCase readCases[] = {
    {"DefaultTag", {}, DefaultEpc, "BB000C001301000000206000E2005128930D0114174011223A7E"},
    {"FourBytes", {"1234ABCD"}, L"1234ABCD", "BB000C000B010000002020001234ABCD167E"},
};

class Read : public UhfTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(Read, SelectsTheTagFoundAndReadsItsEpcBank) {
    if (!GetParam().field.empty()) Field(GetParam().field);
    Transcript transcript;
    Run(&TForm1::Button67Click);
    EXPECT_EQ(LogText(), ExpectedLog({L"the epc is: " + GetParam().epc}));
    EXPECT_EQ(form().Edit53->Text(), GetParam().epc);
    const std::vector<std::string> expected = {InventoryFrame, GetParam().select,
                                               "AA0011CEBB003900095E219C470100000008AD7E2ABB"};
    EXPECT_EQ(transcript.Frames(), expected);
    EXPECT_TRUE(ReportedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(UhfPage, Read, ::testing::ValuesIn(readCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The rest of the page

using UhfPage = UhfTest;

TEST_F(UhfPage, ClearEmptiesTheLog) {
    form().AddLog(L"something");
    Run(&TForm1::Button70Click);
    EXPECT_EQ(form().RichEdit1->Lines()->Count(), 0);
}

TEST_F(UhfPage, EveryButtonAndTheLoopBoxAreBound) {
    for (TControl* control :
         std::initializer_list<TControl*>{form().Button65, form().Button66, form().Button67, form().Button69,
                                          form().Button70, form().Button72, form().CheckBox20})
        EXPECT_TRUE(static_cast<bool>(control->OnClick)) << StringToUtf8(control->Name());
}

} // namespace
