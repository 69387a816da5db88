// The hidden pages' tests: the console fixture plus every control of the system-commands, S50/S70
// and Ultralight pages back at its start value (and the reader address back at "00") around every
// test, so each test sets only what it is about.
#pragma once

#include "console_fixture.h"
#include "report_cases.h"
#include "uhf_fixture.h"

#include <string>
#include <vector>

class HiddenPageTest : public ConsoleTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void Run(Handler handler) { (form().*handler)(nullptr); }
    // The command frames the reader received during the test, as upper-case hex.
    std::vector<std::string> Frames() const { return transcript_->Frames(); }

private:
    std::unique_ptr<Transcript> transcript_;
};

// The hidden pages' texts for no reply and for a status that is neither success nor failure.
inline const std::wstring NoReplyLine = L"通讯错误，没有接收到数据..   {t}\r\n";
inline const std::wstring LostDataLine = L"数据丢包，流水校验出错   {t}\r\n";

// The default field of the simulated reader.
inline const std::wstring MifareUid = L"5D2E8A13";
inline const std::wstring UltralightUid = L"046A3B12C95E80";

// A reporting button of a hidden page, pressed with the controls' start values.
struct ReportButton {
    const char* name;
    Handler handler;
    const char* command; // the reader command byte, for forcing its reply
    const char* frame;
    std::vector<std::wstring> success; // the reader's own answer
    std::wstring failure;
    std::wstring noData = NoReplyLine;
    Handler before = nullptr; // brings the card to where the button succeeds
};

// Every button of a page's table with every outcome: instantiated by each page as
// INSTANTIATE_TEST_SUITE_P(<page>, HiddenPageReport, ValuesIn(AllReportCases(buttons)), ...).
class HiddenPageReport : public HiddenPageTest,
                         public ::testing::WithParamInterface<ReportCase<ReportButton>> {};
