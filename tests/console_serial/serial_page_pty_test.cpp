// The serial page on a COM port of the Wine prefix that leads to a pty with the serial peer (a UHF
// module) on its other end: the port list, opening, the mode-switch exchanges and what the module
// reports by itself, all through the real component. Run by pty-run with --peer; skipped otherwise.
#include "console_fixture.h"

#include "serial_page_log.h"

#include <pty_support/pty_env.h>
#include <serial/comm.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        Application->ProcessMessages();
        Sleep(5);
    }
    return true;
}

class SerialPagePty : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        port_ = pty_support::EnvironmentText(L"PTY_PORT");
        if (port_.empty()) GTEST_SKIP() << "needs pty-run with --peer";
        TComm& comm = *form().Comm1;
        comm.ClosePort();
        comm.SetCommsApi(TCommsApi::System());
        SerialRxHex.clear();
    }
    void TearDown() override {
        form().Comm1->ClosePort();
        form().Comm1->SetReadIntervalTimeout(100);
        PumpUntil([] { return false; }, 50);
        ConsoleTest::TearDown();
    }
    // The handlers wait 300 ms for the module's reply. On a machine busy with other work the reply can
    // come later than that; the exchange is then tried again once the late reply is in, so that what
    // is checked is what the handler makes of a reply, not the machine's load.
    void ExpectExchange(const std::function<void()>& click, const Bytes& reply,
                        const std::vector<std::wstring>& lines) {
        const std::wstring late = L"Data error,no data recevice..   ";
        for (int attempt = 1;; ++attempt) {
            form().RichEdit1->Clear();
            click();
            if (LogText().find(late) == std::wstring::npos || attempt == 3) break;
            PumpUntil([] { return !SerialRxHex.empty(); }, 5000);
            PumpUntil([] { return false; }, 200);
        }
        EXPECT_EQ(LogText(), ExpectedLog(WithReplyLine(lines, reply)));
        EXPECT_TRUE(ReportedExceptions().empty());
    }

    std::wstring port_;
};

TEST_F(SerialPagePty, OpensTheMappedPortAndTalksToTheModule) {
    // The page change finds the mapped port; choosing it opens it.
    form().PageControl1Change(form().PageControl1);
    ASSERT_EQ(form().ComboBox1->Items()->Count(), 1);
    ASSERT_EQ(form().ComboBox1->Items()->Strings(0), port_);
    form().ComboBox1->SetItemIndex(0);
    form().ComboBox1Change(form().ComboBox1);
    ASSERT_NE(form().Comm1->Handle(), nullptr);
    EXPECT_FALSE(form().Button1->Enabled());
    EXPECT_TRUE(form().Button2->Enabled());
    // A reply must be in within the handlers' 300 ms wait; a shorter silence closes its block sooner
    // and leaves that wait a wide margin on a busy machine.
    form().Comm1->SetReadIntervalTimeout(20);

    form().RadioButton40->SetChecked(true);
    ExpectExchange([&] { form().Button75Click(form().Button75); },
                   {0xBB, 0x01, 0xC1, 0x00, 0x01, 0x00, 0xC3, 0x7E},
                   {L"Set Passive reader mode Success   {t}"});

    ExpectExchange([&] { form().Button76Click(form().Button76); },
                   {0xBB, 0x01, 0xC2, 0x00, 0x01, 0x00, 0xC4, 0x7E}, {L"USB_HID setting success   {t}\r\n"});
    EXPECT_EQ(form().Comm1->Handle(), nullptr) << "a switch to USB HID closes the port";
    EXPECT_TRUE(form().Button1->Enabled());
    EXPECT_FALSE(form().Button2->Enabled());

    // The module checks the frame built from the sector boxes, so its answer shows the sum is right.
    form().Button1Click(form().Button1);
    ASSERT_NE(form().Comm1->Handle(), nullptr);
    form().RadioButton43->SetChecked(true);
    ExpectExchange([&] { form().Button75Click(form().Button75); },
                   {0xBB, 0x01, 0xC9, 0x00, 0x01, 0x03, 0xCE, 0x7E},
                   {L"BB 00 C9 00 07 035E 21 9C 4700083D7E", L"Set Active read memory sector Success   {t}"});

    // Now active, the module reports the memory it reads by itself.
    form().RichEdit1->Clear();
    ASSERT_TRUE(PumpUntil([] { return SerialRxHex.substr(0, 6) == L"BB0239"; }, 10000))
        << "no report arrived";
    EXPECT_NE(LogText().find(ExpectedLog({L"232RX Data..\r" + SerialRxHex})), std::wstring::npos)
        << LogText();

    form().Button2Click(form().Button2);
    EXPECT_EQ(form().Comm1->Handle(), nullptr);
}

} // namespace
