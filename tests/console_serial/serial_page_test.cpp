// The serial page against a port in memory: what arrives is logged, what the page writes is checked
// byte for byte, and the mode-switch handlers meet the replies a UHF module gives (or none).
#include "console_fixture.h"

#include "fake_port.h"
#include "serial_page_log.h"

#include <console_core/hex_text.h>

#include <framework/dialogs.h>
#include <serial/comm.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Answers each frame written with the reply set for its command byte (the third byte), as the module
// on the other end of the line would.
class ReplyingPort : public TFakePort {
public:
    void SetReply(std::uint8_t command, std::optional<Bytes> reply) {
        if (reply)
            SetReplyBlocks(command, {std::move(*reply)});
        else
            SetReplyBlocks(command, {});
    }
    // The answer as it arrives: one block after another.
    void SetReplyBlocks(std::uint8_t command, std::vector<Bytes> blocks) {
        std::lock_guard lock(mutex_);
        if (!blocks.empty())
            replies_[command] = std::move(blocks);
        else
            replies_.erase(command);
    }
    BOOL WriteFile(HANDLE port, const void* buffer, DWORD count, DWORD* done,
                   OVERLAPPED* overlapped) override {
        const BOOL written = TFakePort::WriteFile(port, buffer, count, done, overlapped);
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        std::vector<Bytes> blocks;
        if (written && count >= 3) {
            std::lock_guard lock(mutex_);
            if (auto found = replies_.find(bytes[2]); found != replies_.end()) blocks = found->second;
        }
        for (const Bytes& block : blocks) Receive(block);
        return written;
    }

private:
    std::mutex mutex_;
    std::map<std::uint8_t, std::vector<Bytes>> replies_;
};

// A module frame: start, type, command, parameter length, parameters, checksum, end.
Bytes ModuleFrame(std::uint8_t type, std::uint8_t command, const Bytes& parameters) {
    Bytes frame{0xBB, type, command, static_cast<std::uint8_t>(parameters.size() >> 8),
                static_cast<std::uint8_t>(parameters.size() & 0xFF)};
    frame.insert(frame.end(), parameters.begin(), parameters.end());
    unsigned sum = 0;
    for (std::size_t i = 1; i < frame.size(); ++i) sum += frame[i];
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    frame.push_back(0x7E);
    return frame;
}

// A module reply: type 01, the command, one parameter byte (the code).
Bytes ModuleReply(std::uint8_t command, std::uint8_t code) {
    return ModuleFrame(0x01, command, {code});
}

// A tag the module in an active mode reports by itself (type 02, inventory 22), as a reader sent it.
const Bytes TagReport{0xBB, 0x02, 0x22, 0x00, 0x11, 0xC8, 0x30, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x1D, 0x8C, 0xD7, 0x7E};

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

class SerialPage : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        TComm& comm = *form().Comm1;
        comm.ClosePort();
        comm.SetCommsApi(port_);
        comm.SetCommName(String(L"FAKE1"));
        comm.SetBaudRate(9600);
        form().Button1->SetEnabled(false);
        form().Button2->SetEnabled(true);
        form().RadioButton39->SetChecked(true);
        form().RadioButton37->SetChecked(true);
        form().Edit69->SetText(L"03");
        form().Edit70->SetText(L"5E 21 9C 47");
        form().Edit71->SetText(L"00");
        form().Edit72->SetText(L"08");
        form().Edit6->SetText(L"20");
        SerialRxHex.clear();
    }
    void TearDown() override {
        form().Comm1->ClosePort();
        form().Comm1->SetCommsApi(TCommsApi::System());
        ConsoleTest::TearDown();
    }
    void Open() {
        form().Button1Click(form().Button1);
        ASSERT_NE(form().Comm1->Handle(), nullptr);
    }
    // Everything written so far, once at least `count` bytes are there.
    Bytes WrittenOnce(std::size_t count) {
        PumpUntil([&] { return port_.Written().size() >= count; });
        return port_.Written();
    }
    // The frame a handler writes and what it logs, with the received reply's line.
    void ExpectExchange(const std::function<void()>& click, const Bytes& frame,
                        const std::optional<Bytes>& reply, const std::vector<std::wstring>& lines) {
        const std::size_t before = port_.Written().size();
        form().RichEdit1->Clear();
        click();
        const Bytes written = port_.Written();
        EXPECT_EQ(Bytes(written.begin() + static_cast<std::ptrdiff_t>(before), written.end()), frame);
        EXPECT_EQ(LogText(), ExpectedLog(WithReplyLine(lines, reply)));
        EXPECT_TRUE(ReportedExceptions().empty());
    }

    ReplyingPort port_;
};

TEST_F(SerialPage, OpenAndCloseToggleTheButtons) {
    Open();
    EXPECT_FALSE(form().Button1->Enabled());
    EXPECT_TRUE(form().Button2->Enabled());

    form().Button2Click(form().Button2);
    EXPECT_EQ(form().Comm1->Handle(), nullptr);
    EXPECT_TRUE(form().Button1->Enabled());
    EXPECT_FALSE(form().Button2->Enabled());
}

TEST_F(SerialPage, ChoosingABaudRateReopensThePortAtThatRate) {
    Open();
    form().ComboBox2->SetItemIndex(form().ComboBox2->Items()->IndexOf(L"115200"));
    form().ComboBox2Change(form().ComboBox2);

    EXPECT_NE(form().Comm1->Handle(), nullptr);
    EXPECT_EQ(form().Comm1->BaudRate(), 115200u);
    ASSERT_FALSE(port_.CommStates().empty());
    EXPECT_EQ(port_.CommStates().back().BaudRate, 115200u);
    EXPECT_FALSE(form().Button1->Enabled());
}

TEST_F(SerialPage, ChoosingNoComPortFailsAndLeavesOpenEnabled) {
    Open();
    form().ComboBox1->Items()->Clear();
    form().ComboBox1->Items()->Add(L"No Com Port");
    form().ComboBox1->SetItemIndex(0);

    try {
        form().ComboBox1Change(form().ComboBox1);
        FAIL() << "no error raised";
    } catch (const ECommsError& e) {
        EXPECT_EQ(e.Message(), L"the com is not exist!...");
    }
    EXPECT_EQ(form().Comm1->CommName(), L"\\\\.\\No Com Port");
    EXPECT_EQ(form().Comm1->Handle(), nullptr);
    EXPECT_TRUE(form().Button1->Enabled());
    EXPECT_FALSE(form().Button2->Enabled());
}

TEST_F(SerialPage, EachReceivedBlockReplacesTheLastAndIsLogged) {
    struct Case {
        Bytes block;
        const wchar_t* hex;
    };
    const Case cases[] = {
        {{0x01, 0xAB, 0x7E}, L"01AB7E"},
        {{0x00}, L"00"},
        {{0xFF, 0x0A, 0xB0, 0x7E, 0x5C}, L"FF0AB07E5C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.block.size() << " bytes");
        form().RichEdit1->Clear();
        Bytes block = c.block;
        form().Comm1ReceiveData(form().Comm1, block.data(), static_cast<std::uint16_t>(block.size()));
        EXPECT_EQ(SerialRxHex, c.hex);
        EXPECT_EQ(LogText(), ExpectedLog({String(L"232RX Data..\r") + c.hex}));
    }
}

TEST_F(SerialPage, ABlockFromTheLineReachesTheLogThroughTheComponent) {
    Open();
    port_.Receive({0xBB, 0x02, 0x22});
    ASSERT_TRUE(PumpUntil([] { return !SerialRxHex.empty(); }));
    EXPECT_EQ(SerialRxHex, L"BB0222");
    EXPECT_EQ(LogText(), ExpectedLog({L"232RX Data..\rBB0222"}));
}

TEST_F(SerialPage, SendTextGoesOutAsTheBytesOfItsHexPairs) {
    struct Case {
        const wchar_t* text;
        Bytes bytes;
    };
    const Case cases[] = {
        {L"BB 00 C2 00 01 00 C3 7E", {0xBB, 0x00, 0xC2, 0x00, 0x01, 0x00, 0xC3, 0x7E}},
        {L"bb00c2", {0xBB, 0x00, 0xC2}},
        {L"ABC", {0xAB}},
        {L"x1-2 ,3g", {0x12}},
    };
    Open();
    Bytes expected;
    for (const Case& c : cases) {
        form().Send232HEX(c.text);
        expected.insert(expected.end(), c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(WrittenOnce(expected.size()), expected) << "after " << String(c.text);
    }
}

TEST_F(SerialPage, ATextLongerThanOneWriteIsRefusedWhole) {
    Open();
    String longest;
    for (int i = 0; i < 50001; ++i) longest += L"5A";
    form().Send232HEX(longest + L"5A");
    form().Send232HEX(L"7E");
    const Bytes written = WrittenOnce(1);
    EXPECT_EQ(written, Bytes{0x7E});

    form().Send232HEX(longest);
    EXPECT_EQ(WrittenOnce(1 + 50001).size(), 1u + 50001u);
}

TEST_F(SerialPage, UsbHidSwitchReportsTheReplyCode) {
    struct Case {
        const char* name;
        std::optional<Bytes> reply;
        std::vector<std::wstring> log;
        bool closed;
    };
    const Case cases[] = {
        {"success", ModuleReply(0xC2, 0x00), {L"USB_HID setting success   {t}\r\n"}, true},
        {"refused",
         ModuleReply(0xC2, 0x01),
         {L"USB_HID setting false   {t}", L"The module refused the switch to USB HID\r\n"},
         false},
        {"other code", ModuleReply(0xC2, 0x05), {L"data error,please check data..   {t}\r\n"}, false},
        {"no code", ModuleFrame(0x01, 0xC2, {}), {L"data error,please check data..   {t}\r\n"}, false},
        {"no reply", std::nullopt, {L"Data error,no data recevice..   {t}\r\n"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form().Comm1->ClosePort();
        port_.SetReply(0xC2, c.reply);
        Open();
        ExpectExchange([&] { form().Button76Click(form().Button76); },
                       {0xBB, 0x00, 0xC2, 0x00, 0x01, 0x00, 0xC3, 0x7E}, c.reply, c.log);
        EXPECT_EQ(form().Comm1->Handle() == nullptr, c.closed);
        EXPECT_EQ(form().Button1->Enabled(), c.closed);
    }
}

TEST_F(SerialPage, TheReplyIsFoundAmongTheModulesReports) {
    const Bytes success = ModuleReply(0xC2, 0x00);
    const Bytes refused = ModuleReply(0xC2, 0x01);
    const std::wstring successLine = L"USB_HID setting success   {t}\r\n";
    const std::wstring noReplyLine = L"Data error,no data recevice..   {t}\r\n";
    Bytes badSum = refused;
    badSum[6] ^= 0xFF;
    // A report whose EPC holds the bytes of a refusal: no frame of its own.
    const Bytes hiding = ModuleFrame(0x02, 0x22, Joined({{0xC8, 0x30, 0x00}, refused}));
    struct Case {
        const char* name;
        std::vector<Bytes> blocks;
        std::wstring line;
    };
    const Case cases[] = {
        {"a report before it", {Joined({TagReport, success})}, successLine},
        {"a report after it", {Joined({success, TagReport})}, successLine},
        {"between reports", {Joined({TagReport, success, TagReport})}, successLine},
        {"over two blocks",
         {Joined({TagReport, Bytes(success.begin(), success.begin() + 3)}),
          Joined({Bytes(success.begin() + 3, success.end()), TagReport})},
         successLine},
        {"in a later block", {TagReport, TagReport, success}, successLine},
        {"behind a frame that only looks like one", {Joined({hiding, success})}, successLine},
        {"behind a refusal with a wrong sum", {Joined({badSum, success})}, successLine},
        {"the first of two",
         {Joined({refused, TagReport, success})},
         L"USB_HID setting false   {t}\nThe module refused the switch to USB HID\r\n"},
        {"reports alone", {TagReport, TagReport}, noReplyLine},
        {"a reply to another command", {ModuleReply(0xC1, 0x00)}, noReplyLine},
        {"a reply cut short", {Bytes(success.begin(), success.end() - 1)}, noReplyLine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form().Comm1->ClosePort();
        port_.SetReplyBlocks(0xC2, c.blocks);
        Open();
        form().RichEdit1->Clear();
        form().Button76Click(form().Button76);
        EXPECT_EQ(LogText(), ExpectedLog(WithReplyLines({c.line}, c.blocks)));
        EXPECT_EQ(form().Comm1->Handle() == nullptr, c.line == successLine);
    }

    // The work-mode switch reads its reply the same way.
    form().Comm1->ClosePort();
    Open();
    form().RadioButton41->SetChecked(true);
    const std::vector<Bytes> blocks{Joined({TagReport, ModuleReply(0xC1, 0x02)}), TagReport};
    port_.SetReplyBlocks(0xC1, blocks);
    form().RichEdit1->Clear();
    form().Button75Click(form().Button75);
    EXPECT_EQ(LogText(), ExpectedLog(WithReplyLines(
                             {L"Set Active search for EPC number of multiple cards Success   {t}"}, blocks)));
}

TEST_F(SerialPage, AnEarlierBlockIsNotTakenForTheReply) {
    Open();
    Bytes success = ModuleReply(0xC2, 0x00);
    form().Comm1ReceiveData(form().Comm1, success.data(), static_cast<std::uint16_t>(success.size()));
    ExpectExchange([&] { form().Button76Click(form().Button76); },
                   {0xBB, 0x00, 0xC2, 0x00, 0x01, 0x00, 0xC3, 0x7E}, std::nullopt,
                   {L"Data error,no data recevice..   {t}\r\n"});
    EXPECT_NE(form().Comm1->Handle(), nullptr);

    Bytes passive = ModuleReply(0xC1, 0x00);
    form().Comm1ReceiveData(form().Comm1, passive.data(), static_cast<std::uint16_t>(passive.size()));
    ExpectExchange([&] { form().Button75Click(form().Button75); },
                   {0xBB, 0x00, 0xC1, 0x00, 0x01, 0x01, 0xC3, 0x7E}, std::nullopt,
                   {L"Data error,no data recevice..   {t}\r\n"});
}

TEST_F(SerialPage, WithThePortClosedTheSwitchFindsNoReply) {
    ExpectExchange([&] { form().Button76Click(form().Button76); }, {}, std::nullopt,
                   {L"Data error,no data recevice..   {t}\r\n"});
}

TEST_F(SerialPage, WorkModeSwitchReportsWhatTheModuleSays) {
    const std::wstring single = L"Active search for EPC number of single card";
    const Bytes singleFrame{0xBB, 0x00, 0xC1, 0x00, 0x01, 0x01, 0xC3, 0x7E};
    const Bytes memoryFrame{0xBB, 0x00, 0xC9, 0x00, 0x07, 0x03, 0x5E,
                            0x21, 0x9C, 0x47, 0x00, 0x08, 0x3D, 0x7E};
    const std::wstring memoryText = L"BB 00 C9 00 07 035E 21 9C 4700083D7E";
    struct Case {
        const char* name;
        TRadioButton* TForm1::*button;
        Bytes frame;
        std::optional<Bytes> reply;
        std::vector<std::wstring> log;
    };
    const Case cases[] = {
        {"single",
         &TForm1::RadioButton39,
         singleFrame,
         ModuleReply(0xC1, 0x01),
         {L"Set " + single + L" Success   {t}"}},
        {"passive",
         &TForm1::RadioButton40,
         {0xBB, 0x00, 0xC1, 0x00, 0x01, 0x00, 0xC2, 0x7E},
         ModuleReply(0xC1, 0x00),
         {L"Set Passive reader mode Success   {t}"}},
        {"multiple",
         &TForm1::RadioButton41,
         {0xBB, 0x00, 0xC1, 0x00, 0x01, 0x02, 0xC4, 0x7E},
         ModuleReply(0xC1, 0x02),
         {L"Set Active search for EPC number of multiple cards Success   {t}"}},
        {"tid",
         &TForm1::RadioButton42,
         {0xBB, 0x00, 0xC1, 0x00, 0x01, 0x03, 0xC5, 0x7E},
         ModuleReply(0xC1, 0x03),
         {L"Set Active read TID number Success   {t}"}},
        {"memory",
         &TForm1::RadioButton43,
         memoryFrame,
         ModuleReply(0xC9, 0x03),
         {memoryText, L"Set Active read memory sector Success   {t}"}},
        {"error code",
         &TForm1::RadioButton39,
         singleFrame,
         ModuleReply(0xC1, 0x89),
         {L"Set " + single + L"false   {t}",
          L"The parameter of the command or the Format of the command Erro...\r\n"}},
        {"error code with letters",
         &TForm1::RadioButton39,
         singleFrame,
         ModuleReply(0xC1, 0x0A),
         {L"Set " + single + L"false   {t}", L"\r\n"}},
        {"code of no mode",
         &TForm1::RadioButton39,
         singleFrame,
         ModuleReply(0xC1, 0x05),
         {L"Set " + single + L"false   {t}"}},
        {"no code",
         &TForm1::RadioButton39,
         singleFrame,
         ModuleFrame(0x01, 0xC1, {}),
         {L"Set " + single + L"false   {t}"}},
        {"no reply",
         &TForm1::RadioButton39,
         singleFrame,
         std::nullopt,
         {L"Data error,no data recevice..   {t}\r\n"}},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        (form().*c.button)->SetChecked(true);
        port_.SetReply(c.frame[2], c.reply);
        ExpectExchange([&] { form().Button75Click(form().Button75); }, c.frame, c.reply, c.log);
        port_.SetReply(c.frame[2], std::nullopt);
    }
}

TEST_F(SerialPage, SendButtonWritesTheBoxToTheUsbReader) {
    form().Memo1->Lines()->SetText(L"AA 00 01 c0 c1 BB");
    form().Edit6->SetText(L"10");
    port_.SetReply(0x01, Bytes{0x55});
    Open();
    form().Button3Click(form().Button3);
    EXPECT_EQ(reader().LastFrame(), "AA0001C0C1BB");
    EXPECT_EQ(reader().FrameCount(), 1);
    EXPECT_TRUE(port_.Written().empty()); // nothing of the box goes out on the serial line
}

TEST_F(SerialPage, AutomaticSendRepeatsTheBoxUntilUnticked) {
    form().Memo1->Lines()->SetText(L"AA 00 01 C0 C1 BB");
    form().Edit6->SetText(L"20");
    // Unticks the box from the message loop that the send loop's waits run.
    static TCheckBox* box = nullptr;
    box = form().CheckBox3;
    const UINT_PTR timer =
        SetTimer(nullptr, 0, 400, [](HWND, UINT, UINT_PTR, DWORD) { box->SetChecked(false); });
    form().CheckBox3->SetChecked(true); // runs the loop until the timer unticks it
    KillTimer(nullptr, timer);

    EXPECT_GE(reader().FrameCount(), 3);
    EXPECT_EQ(reader().LastFrame(), "AA0001C0C1BB");
    EXPECT_FALSE(form().AutomaticSendRunning);
}

TEST_F(SerialPage, TheSendBoxSavesAndLoadsTextFiles) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const String file = String(dir) + L"serial-page-box.txt";
    String title;
    bool confirm = true;
    const TFileDialogHook previous = SetFileDialogHook([&](TOpenDialog& dialog) {
        title = dialog.Title();
        dialog.SetFileName(file);
        return confirm;
    });

    form().Memo1->Lines()->SetText(L"BB 00 C1 00 01 00 C2 7E\r\n01 02\r\n");
    form().Button5Click(form().Button5);
    EXPECT_EQ(title, L"保存接收数据！");
    form().Button7Click(form().Button7);
    EXPECT_EQ(form().Memo1->Lines()->Count(), 0);

    form().Memo1->Lines()->SetText(L"old\r\n");
    form().Button6Click(form().Button6);
    EXPECT_EQ(title, L"载入数据！");
    ASSERT_EQ(form().Memo1->Lines()->Count(), 2);
    EXPECT_EQ(form().Memo1->Lines()->Strings(0), L"BB 00 C1 00 01 00 C2 7E");
    EXPECT_EQ(form().Memo1->Lines()->Strings(1), L"01 02");

    confirm = false;
    form().Memo1->Lines()->SetText(L"kept\r\n");
    form().Button6Click(form().Button6);
    EXPECT_EQ(form().Memo1->Lines()->Strings(0), L"kept");

    SetFileDialogHook(previous);
    DeleteFileW(file.c_str());
}

} // namespace
