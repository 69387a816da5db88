// The hidden ISO14443B and ISO15693 pages' tests: the console fixture plus the controls of both
// pages and the loop period Edit22 back at their start values before every test.
#pragma once

#include "report_cases.h"
#include "uhf_fixture.h"

#include <string>
#include <vector>

class HiddenCardsTest : public ConsoleTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void Run(Handler handler) { (form().*handler)(nullptr); }
    // Sets a box of either page by its name.
    void SetBox(const wchar_t* name, const wchar_t* text);
    // Makes the reader answer `command` (hex) with the outcome and gives the lines that the
    // standard report writes for it with these texts.
    std::vector<std::wstring> Arrange(Outcome outcome, const char* command,
                                      const std::vector<std::wstring>& success, const std::wstring& failure);
    // Selects an item of a flag list ("TI", "Philips", "uid", "Other").
    static void SetFlag(TComboBox* list, const wchar_t* item);
};

// The command frame from address 00 around a payload (hex), in upper case.
std::string FrameOf(const std::string& payloadHex);

// The report lines these pages share.
inline const std::wstring NoDataLine = L"通讯错误，没有接收到数据..   {t}\r\n";
inline const std::wstring LostDataLine = L"数据丢包，流水校验出错   {t}\r\n";
