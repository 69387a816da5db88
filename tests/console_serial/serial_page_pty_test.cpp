// The serial page on a COM port of the Wine prefix that leads to a pty with the serial peer (a UHF
// module) on its other end: the port list, opening, the mode-switch exchanges and what the module
// reports by itself, all through the real component. Run by pty-run with --peer; skipped otherwise.
#include "console_fixture.h"

#include "serial_page_log.h"

#include <pty_support/pty_env.h>
#include <serial/comm.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

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

// The module in an active mode with a short report period (serialpeer --period-ms 50): its reports
// and the reply to a switch share the line and the blocks. SERIAL_PEER_MODE names the mode the peer
// starts in, which every round sets again before the switch to USB HID.
class SerialPageBusyLine : public SerialPagePty {
protected:
    struct Mode {
        const wchar_t* peer;
        TRadioButton* TForm1::*button;
        std::vector<std::wstring> lines; // what setting it logs
    };
    void SetUp() override {
        SerialPagePty::SetUp();
        if (IsSkipped()) return;
        const std::wstring name = pty_support::EnvironmentText(L"SERIAL_PEER_MODE");
        static const Mode modes[] = {
            {L"single",
             &TForm1::RadioButton39,
             {L"Set Active search for EPC number of single card Success   {t}"}},
            {L"multiple",
             &TForm1::RadioButton41,
             {L"Set Active search for EPC number of multiple cards Success   {t}"}},
            {L"tid", &TForm1::RadioButton42, {L"Set Active read TID number Success   {t}"}},
            {L"memory",
             &TForm1::RadioButton43,
             {L"BB 00 C9 00 07 035E 21 9C 4700083D7E", L"Set Active read memory sector Success   {t}"}},
        };
        for (const Mode& m : modes)
            if (name == m.peer) mode_ = &m;
        if (!mode_) GTEST_SKIP() << "needs SERIAL_PEER_MODE";
        // The form's 100 ms of silence never comes between reports 50 ms apart, so a block would end
        // only when full; a shorter silence ends one after each report, as a slower module's would.
        form().Comm1->SetReadIntervalTimeout(20);
        // Chosen in the port list, as the operator does.
        form().ComboBox1->Items()->Clear();
        form().ComboBox1->Items()->Add(port_);
        form().ComboBox1->SetItemIndex(0);
        form().ComboBox1Change(form().ComboBox1);
        ASSERT_NE(form().Comm1->Handle(), nullptr);
    }
    // The log without the blocks received (each shown as "232RX Data.." and a line of hex).
    std::wstring HandlerLog() {
        const std::wstring text = LogText();
        std::wstring kept;
        bool skipNext = false;
        std::size_t begin = 0;
        while (begin <= text.size()) {
            const std::size_t end = std::min(text.find(L'\n', begin), text.size());
            const std::wstring line = text.substr(begin, end - begin);
            if (skipNext)
                skipNext = false;
            else if (line == L"232RX Data..")
                skipNext = true;
            else
                kept += (kept.empty() ? L"" : L"\n") + line;
            begin = end + 1;
        }
        return kept;
    }
    // As ExpectExchange, with the module's reports left out of what is compared. A reply later than
    // the handler's wait (a busy machine) is tried again; any other outcome stands.
    void ExpectBusyExchange(const std::function<void()>& click, const std::vector<std::wstring>& lines) {
        const std::wstring late = L"Data error,no data recevice..   {t}";
        for (int attempt = 1;; ++attempt) {
            form().RichEdit1->Clear();
            click();
            if (HandlerLog().find(late) == std::wstring::npos || attempt == 3) break;
            PumpUntil([] { return false; }, 500);
        }
        EXPECT_EQ(HandlerLog(), ExpectedLog(lines)) << LogText();
        EXPECT_TRUE(ReportedExceptions().empty());
    }

    const Mode* mode_ = nullptr;
};

TEST_F(SerialPageBusyLine, EverySwitchToUsbHidSucceedsAmongTheReports) {
    for (int round = 1; round <= 20 && !HasFailure(); ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        if (!form().Comm1->Handle()) form().Button1Click(form().Button1);
        ASSERT_NE(form().Comm1->Handle(), nullptr);
        (form().*mode_->button)->SetChecked(true);
        ExpectBusyExchange([&] { form().Button75Click(form().Button75); }, mode_->lines);
        ExpectBusyExchange([&] { form().Button76Click(form().Button76); },
                           {L"USB_HID setting success   {t}\r\n"});
        EXPECT_EQ(form().Comm1->Handle(), nullptr) << "a switch to USB HID closes the port";
    }
}

// The peer answers every switch with 01 (serialpeer --reply 01) and stays in its active mode.
TEST_F(SerialPageBusyLine, ARefusedSwitchLogsTheFalseLine) {
    for (int round = 1; round <= 5 && !HasFailure(); ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        ExpectBusyExchange([&] { form().Button76Click(form().Button76); },
                           {L"USB_HID setting false   {t}", L"The module refused the switch to USB HID\r\n"});
        EXPECT_NE(form().Comm1->Handle(), nullptr) << "a refused switch leaves the port open";
    }
}

} // namespace
