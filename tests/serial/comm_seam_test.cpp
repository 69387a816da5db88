// TComm against a port in memory: every OpenPort failure, the line settings it applies, and each way a
// worker thread can fail, which a real port cannot be made to show.
#include "fake_port.h"
#include "pump.h"

#include <serial/comm.h>

#include <framework/forms.h>
#include <framework/typinfo.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr DWORD kWaitMs = 5000; // for what must happen
constexpr DWORD kQuietMs = 250; // for what must not happen

std::wstring MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ECommsError& e) {
        return e.Message();
    }
    return L"(no ECommsError)";
}

DWORD FlagWord(const DCB& dcb) {
    DWORD word = 0;
    std::memcpy(&word, reinterpret_cast<const BYTE*>(&dcb) + offsetof(DCB, BaudRate) + sizeof(DWORD),
                sizeof word);
    return word;
}

class CommSeam : public ::testing::Test {
protected:
    void SetUp() override {
        comm.reset(new TComm(nullptr));
        comm->SetCommsApi(fake);
        comm->SetCommName(L"FAKE1");
        comm->OnReceiveData = [this](TObject* sender, void* buffer, std::uint16_t length) {
            EXPECT_EQ(sender, comm.get());
            const auto* bytes = static_cast<const std::uint8_t*>(buffer);
            EXPECT_EQ(bytes[length], 0) << "no zero byte behind the block";
            blocks.emplace_back(bytes, bytes + length);
        };
        comm->OnReceiveError = [this](TObject*, std::uint32_t mask) { errors.push_back(mask); };
        comm->OnModemStateChange = [this](TObject*, std::uint32_t event) { modem.push_back(event); };
        comm->OnRequestHangup = [this](TObject*) { ++hangups; };
        comm->OnSendDataEmpty = [this](TObject*) { ++empties; };
    }

    void TearDown() override {
        comm.reset();
        PumpFor(0);
        EXPECT_EQ(fake.LiveBlocks(), 0) << "blocks left allocated";
        EXPECT_FALSE(fake.PortOpen());
        EXPECT_EQ(fake.OpenEvents(), 0);
    }

    // Opens and waits until both threads are settled: the first empty-queue report, a read and a
    // comm-event wait outstanding.
    void OpenAndSettle() {
        comm->OpenPort();
        ASSERT_TRUE(PumpUntil([&] { return empties == 1; }, kWaitMs));
        ASSERT_TRUE(fake.WaitForPendingRead(kWaitMs));
        ASSERT_TRUE(fake.WaitForPendingWait(kWaitMs));
    }

    Bytes AllReceived() const {
        Bytes all;
        for (const Bytes& b : blocks) all.insert(all.end(), b.begin(), b.end());
        return all;
    }

    bool Write(const Bytes& bytes) {
        return comm->WriteData(bytes.data(), static_cast<std::uint16_t>(bytes.size()));
    }

    bool WrittenOut(const Bytes& expected) {
        return PumpUntil([&] { return fake.Written() == expected; }, kWaitMs);
    }

    TFakePort fake; // outlives the component
    std::unique_ptr<TComm> comm;
    std::vector<Bytes> blocks;
    std::vector<std::uint32_t> errors;
    std::vector<std::uint32_t> modem;
    int hangups = 0;
    int empties = 0;
};

// --- OpenPort ----------------------------------------------------------------------------------------

struct OpenFailure {
    const char* what;
    std::function<void(TFakePort&, TComm&)> arrange;
    const wchar_t* message;
};

TEST_F(CommSeam, EveryOpenFailureHasItsTextAndLeavesNothingOpen) {
    const OpenFailure cases[] = {
        {"no such device", [](TFakePort&, TComm& c) { c.SetCommName(L"NOPE"); }, L"the com is not exist!..."},
        {"device in use",
         [](TFakePort& f, TComm&) { f.Fail(TCall::CreateFileA, TRole::Main, ERROR_ACCESS_DENIED); },
         L"the com is not exist!..."},
        {"not a character device", [](TFakePort& f, TComm&) { f.SetFileType(FILE_TYPE_DISK); },
         L"File handle is not a comm handle "},
        {"queues refused",
         [](TFakePort& f, TComm&) { f.Fail(TCall::SetupComm, TRole::Main, ERROR_GEN_FAILURE); },
         L"Cannot setup comm buffer"},
        {"no close event",
         [](TFakePort& f, TComm&) { f.Fail(TCall::CreateEventA, TRole::Main, ERROR_NO_SYSTEM_RESOURCES); },
         L"Unable to create event"},
        {"no reader", [](TFakePort& f, TComm&) { f.Fail(TCall::CreateThread, TRole::Reader, 0); },
         L"Unable to create read thread"},
        {"no writer", [](TFakePort& f, TComm&) { f.Fail(TCall::CreateThread, TRole::Writer, 0); },
         L"Unable to create write thread"},
    };
    for (const OpenFailure& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange(fake, *comm);
        EXPECT_EQ(MessageOf([&] { comm->OpenPort(); }), c.message);
        EXPECT_EQ(comm->Handle(), nullptr);
        EXPECT_FALSE(fake.PortOpen());
        EXPECT_EQ(fake.OpenEvents(), 0);

        // Nothing is left behind that would stop the same port opening at once.
        fake.ClearFailures();
        fake.SetFileType(FILE_TYPE_CHAR);
        comm->SetCommName(L"FAKE1");
        const int before = empties;
        comm->OpenPort();
        EXPECT_NE(comm->Handle(), nullptr);
        EXPECT_TRUE(PumpUntil([&] { return empties == before + 1; }, kWaitMs));
        comm->ClosePort();
    }
    EXPECT_EQ(hangups, 0);
}

TEST_F(CommSeam, SecondOpenPortFailsAndTheOpenPortKeepsWorking) {
    OpenAndSettle();
    HANDLE port = comm->Handle();
    EXPECT_EQ(MessageOf([&] { comm->OpenPort(); }), L"This serial port already opened");
    EXPECT_EQ(comm->Handle(), port);

    fake.Receive({1, 2, 3});
    EXPECT_TRUE(PumpUntil([&] { return blocks.size() == 1; }, kWaitMs));
    EXPECT_TRUE(Write({4, 5}));
    EXPECT_TRUE(WrittenOut({4, 5}));
}

TEST_F(CommSeam, ClosePortWhenClosedOrTwiceIsHarmless) {
    comm->ClosePort();
    EXPECT_EQ(fake.Calls(TCall::PurgeComm), 0);
    OpenAndSettle();
    comm->ClosePort();
    EXPECT_EQ(comm->Handle(), nullptr);
    EXPECT_FALSE(fake.ReadPending()) << "the reader left its read outstanding";
    EXPECT_FALSE(fake.WaitPending()) << "the reader left its comm-event wait outstanding";
    EXPECT_TRUE(fake.ThreadEnded(TRole::Reader));
    EXPECT_TRUE(fake.ThreadEnded(TRole::Writer));
    const int purges = fake.Calls(TCall::PurgeComm);
    comm->ClosePort();
    EXPECT_EQ(fake.Calls(TCall::PurgeComm), purges);
    EXPECT_FALSE(fake.PortOpen());
    EXPECT_EQ(fake.OpenEvents(), 0);
}

TEST_F(CommSeam, DriverThatRefusesTheSettingsStillOpens) {
    fake.Fail(TCall::SetCommState, TRole::Any, ERROR_INVALID_PARAMETER);
    fake.Fail(TCall::SetCommTimeouts, TRole::Any, ERROR_INVALID_PARAMETER);
    comm->SetBaudRate(12345678);
    OpenAndSettle();
    EXPECT_NE(comm->Handle(), nullptr);
}

// --- line settings -----------------------------------------------------------------------------------

TEST_F(CommSeam, OpenAppliesTimeoutsThenTheLineSettings) {
    comm->SetReadIntervalTimeout(100);
    comm->SetReadTotalTimeoutMultiplier(7);
    comm->SetReadTotalTimeoutConstant(8);
    comm->SetWriteTotalTimeoutMultiplier(9);
    comm->SetWriteTotalTimeoutConstant(10);
    OpenAndSettle();
    ASSERT_EQ(fake.CommTimeouts().size(), 1u);
    const COMMTIMEOUTS t = fake.CommTimeouts()[0];
    EXPECT_EQ(t.ReadIntervalTimeout, 100u);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 7u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 8u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 9u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 10u);

    ASSERT_EQ(fake.CommStates().size(), 1u);
    const DCB dcb = fake.CommStates()[0];
    // The constructor's defaults; fAbortOnError, which the driver had set, is cleared.
    EXPECT_EQ(FlagWord(dcb), 0x1391u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.XonLim, 500);
    EXPECT_EQ(dcb.XoffLim, 500);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.ErrorChar, 0);
    // What the component does not own keeps the driver's values.
    EXPECT_EQ(dcb.EofChar, 0x1A);
    EXPECT_EQ(dcb.EvtChar, 0x7E);
}

struct LineSetting {
    const char* what;
    std::function<void(TComm&)> set;
    std::function<void(const DCB&)> check;
};

TEST_F(CommSeam, EachLineSettingReachesTheDcb) {
    const LineSetting cases[] = {
        {"the forms' values",
         [](TComm& c) {
             c.SetParityCheck(true);
             c.SetTxContinueOnXoff(false);
             c.SetOutx_XonXoffFlow(false);
             c.SetInx_XonXoffFlow(false);
         },
         [](const DCB& d) { EXPECT_EQ(FlagWord(d), 0x1013u); }},
        {"DTR handshake", [](TComm& c) { c.SetDtrControl(TDtrControl::DtrHandshake); },
         [](const DCB& d) { EXPECT_EQ(d.fDtrControl, DTR_CONTROL_HANDSHAKE); }},
        {"DTR off", [](TComm& c) { c.SetDtrControl(TDtrControl::DtrDisable); },
         [](const DCB& d) { EXPECT_EQ(d.fDtrControl, DTR_CONTROL_DISABLE); }},
        {"RTS handshake", [](TComm& c) { c.SetRtsControl(TRtsControl::RtsHandshake); },
         [](const DCB& d) { EXPECT_EQ(d.fRtsControl, RTS_CONTROL_HANDSHAKE); }},
        {"RTS toggle", [](TComm& c) { c.SetRtsControl(TRtsControl::RtsTransmissionAvailable); },
         [](const DCB& d) { EXPECT_EQ(d.fRtsControl, RTS_CONTROL_TOGGLE); }},
        {"RTS off", [](TComm& c) { c.SetRtsControl(TRtsControl::RtsDisable); },
         [](const DCB& d) { EXPECT_EQ(d.fRtsControl, RTS_CONTROL_DISABLE); }},
        {"the other flags",
         [](TComm& c) {
             c.SetOutx_CtsFlow(true);
             c.SetOutx_DsrFlow(true);
             c.SetDsrSensitivity(true);
             c.SetReplaceWhenParityError(true);
             c.SetIgnoreNullChar(true);
         },
         [](const DCB& d) {
             EXPECT_TRUE(d.fOutxCtsFlow);
             EXPECT_TRUE(d.fOutxDsrFlow);
             EXPECT_TRUE(d.fDsrSensitivity);
             EXPECT_TRUE(d.fErrorChar);
             EXPECT_TRUE(d.fNull);
             EXPECT_FALSE(d.fAbortOnError);
         }},
        {"five data bits, even parity, two stop bits",
         [](TComm& c) {
             c.SetByteSize(TByteSize::_5);
             c.SetParity(TParity::Even);
             c.SetStopBits(TStopBits::_2);
         },
         [](const DCB& d) {
             EXPECT_EQ(d.ByteSize, 5);
             EXPECT_EQ(d.Parity, EVENPARITY);
             EXPECT_EQ(d.StopBits, TWOSTOPBITS);
         }},
        {"space parity, 1.5 stop bits",
         [](TComm& c) {
             c.SetParity(TParity::Space);
             c.SetStopBits(TStopBits::_1_5);
         },
         [](const DCB& d) {
             EXPECT_EQ(d.Parity, SPACEPARITY);
             EXPECT_EQ(d.StopBits, ONE5STOPBITS);
         }},
        {"limits and characters",
         [](TComm& c) {
             c.SetXonLimit(100);
             c.SetXoffLimit(200);
             c.SetXonChar(0x01);
             c.SetXoffChar(0x02);
             c.SetReplacedChar(0x3F);
         },
         [](const DCB& d) {
             EXPECT_EQ(d.XonLim, 100);
             EXPECT_EQ(d.XoffLim, 200);
             EXPECT_EQ(d.XonChar, 0x01);
             EXPECT_EQ(d.XoffChar, 0x02);
             EXPECT_EQ(d.ErrorChar, 0x3F);
         }},
    };
    for (const LineSetting& c : cases) {
        SCOPED_TRACE(c.what);
        TFakePort port;
        {
            TComm subject(nullptr);
            subject.SetCommsApi(port);
            subject.SetCommName(L"FAKE1");
            c.set(subject);
            subject.OpenPort();
            ASSERT_EQ(port.CommStates().size(), 1u);
            c.check(port.CommStates()[0]);
        }
        PumpFor(0);
    }
}

TEST_F(CommSeam, SettingsChangedWhileOpenAreAppliedAtOnceExceptParityAndName) {
    OpenAndSettle();
    ASSERT_EQ(fake.CommStates().size(), 1u);

    comm->SetBaudRate(9600); // unchanged value: nothing
    comm->SetReadIntervalTimeout(100);
    EXPECT_EQ(fake.CommStates().size(), 1u);
    EXPECT_EQ(fake.CommTimeouts().size(), 1u);

    comm->SetParity(TParity::Odd);
    comm->SetCommName(L"ELSEWHERE");
    EXPECT_EQ(fake.CommStates().size(), 1u);

    comm->SetBaudRate(115200);
    ASSERT_EQ(fake.CommStates().size(), 2u);
    EXPECT_EQ(fake.CommStates()[1].BaudRate, 115200u);
    EXPECT_EQ(fake.CommStates()[1].Parity, ODDPARITY) << "a re-apply carries the stored parity";

    comm->SetWriteTotalTimeoutConstant(50);
    ASSERT_EQ(fake.CommTimeouts().size(), 2u);
    EXPECT_EQ(fake.CommTimeouts()[1].WriteTotalTimeoutConstant, 50u);

    comm->ClosePort();
    comm->SetBaudRate(19200); // closed: stored only
    EXPECT_EQ(fake.CommStates().size(), 2u);
    EXPECT_EQ(comm->BaudRate(), 19200u);
}

// --- published properties ----------------------------------------------------------------------------

TEST(CommProperties, DefaultsReadByName) {
    TComm comm(nullptr);
    const std::pair<const wchar_t*, const wchar_t*> defaults[] = {
        {L"CommName", L"COM2"},
        {L"BaudRate", L"9600"},
        {L"ParityCheck", L"False"},
        {L"Outx_CtsFlow", L"False"},
        {L"Outx_DsrFlow", L"False"},
        {L"DtrControl", L"DtrEnable"},
        {L"DsrSensitivity", L"False"},
        {L"TxContinueOnXoff", L"True"},
        {L"Outx_XonXoffFlow", L"True"},
        {L"Inx_XonXoffFlow", L"True"},
        {L"ReplaceWhenParityError", L"False"},
        {L"IgnoreNullChar", L"False"},
        {L"RtsControl", L"RtsEnable"},
        {L"XonLimit", L"500"},
        {L"XoffLimit", L"500"},
        {L"ByteSize", L"_8"},
        {L"Parity", L"None"},
        {L"StopBits", L"_1"},
        {L"ReadIntervalTimeout", L"100"},
        {L"ReadTotalTimeoutMultiplier", L"0"},
        {L"ReadTotalTimeoutConstant", L"0"},
        {L"WriteTotalTimeoutMultiplier", L"0"},
        {L"WriteTotalTimeoutConstant", L"0"},
    };
    for (const auto& [name, value] : defaults) EXPECT_EQ(GetPropValue(&comm, name), value) << name;
    EXPECT_EQ(GetStrProp(&comm, L"XonChar"), String(1, L'\x11'));
    EXPECT_EQ(GetStrProp(&comm, L"XoffChar"), String(1, L'\x13'));
    EXPECT_EQ(GetStrProp(&comm, L"ReplacedChar"), String(1, L'\0'));
    for (const wchar_t* event :
         {L"OnReceiveData", L"OnReceiveError", L"OnModemStateChange", L"OnRequestHangup", L"OnSendDataEmpty"})
        EXPECT_EQ(PropType(&comm, event), tkMethod) << event;
}

TEST(CommProperties, FormValuesSetByName) {
    TComm comm(nullptr);
    SetStrProp(&comm, L"commname", L"COM1");
    SetPropValue(&comm, L"BaudRate", L"115200");
    SetEnumProp(&comm, L"ParityCheck", L"True");
    SetEnumProp(&comm, L"DtrControl", L"DtrHandshake");
    SetEnumProp(&comm, L"RtsControl", L"RtsTransmissionAvailable");
    SetEnumProp(&comm, L"ByteSize", L"_7");
    SetEnumProp(&comm, L"Parity", L"Mark");
    SetEnumProp(&comm, L"StopBits", L"_1_5");
    SetStrProp(&comm, L"XonChar", String(1, L'\x15'));
    SetStrProp(&comm, L"ReplacedChar", L"");
    SetPropValue(&comm, L"XoffLimit", L"42");
    EXPECT_EQ(comm.CommName(), L"COM1");
    EXPECT_EQ(comm.BaudRate(), 115200u);
    EXPECT_TRUE(comm.ParityCheck());
    EXPECT_EQ(comm.DtrControl(), TDtrControl::DtrHandshake);
    EXPECT_EQ(comm.RtsControl(), TRtsControl::RtsTransmissionAvailable);
    EXPECT_EQ(comm.ByteSize(), TByteSize::_7);
    EXPECT_EQ(comm.Parity(), TParity::Mark);
    EXPECT_EQ(comm.StopBits(), TStopBits::_1_5);
    EXPECT_EQ(comm.XonChar(), 0x15);
    EXPECT_EQ(comm.ReplacedChar(), 0);
    EXPECT_EQ(comm.XoffLimit(), 42);
}

// --- receiving ---------------------------------------------------------------------------------------

TEST_F(CommSeam, ReceivedBytesArriveInReadSizedBlocks) {
    OpenAndSettle();
    fake.Receive({0x01, 0xAB, 0x7E});
    ASSERT_TRUE(PumpUntil([&] { return blocks.size() == 1; }, kWaitMs));
    EXPECT_EQ(blocks[0], (Bytes{0x01, 0xAB, 0x7E}));

    Bytes big(5000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    blocks.clear();
    fake.Receive(big);
    ASSERT_TRUE(PumpUntil([&] { return AllReceived().size() == big.size(); }, kWaitMs));
    for (const Bytes& b : blocks) EXPECT_LE(b.size(), 2048u);
    EXPECT_EQ(AllReceived(), big);
}

TEST_F(CommSeam, BlocksAreFreedWithoutAHandlerAndWhenTheHandlerThrows) {
    std::vector<String> reported;
    TExceptionReporter previous =
        Application->SetExceptionReporter([&](const String& text) { reported.push_back(text); });
    OpenAndSettle();

    comm->OnReceiveData = nullptr;
    fake.Receive({1});
    ASSERT_TRUE(
        PumpUntil([&] { return fake.Calls(TCall::LocalAlloc) == 1 && fake.LiveBlocks() == 0; }, kWaitMs));

    comm->OnReceiveData = [](TObject*, void*, std::uint16_t) {
        throw EConvertError(L"'x' is not a valid integer value");
    };
    ASSERT_TRUE(fake.WaitForPendingRead(kWaitMs));
    fake.Receive({2});
    EXPECT_TRUE(PumpUntil([&] { return reported.size() == 1; }, kWaitMs));
    PumpUntil([&] { return fake.LiveBlocks() == 0; }, kWaitMs);
    EXPECT_EQ(fake.LiveBlocks(), 0);
    Application->SetExceptionReporter(previous);
}

TEST_F(CommSeam, BlocksNobodyTookAreFreedWithTheComponent) {
    OpenAndSettle();
    fake.Receive({1, 2});
    fake.Receive({3});
    // Posted, not yet dispatched: nobody pumps until the component is gone.
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (fake.LiveBlocks() < 2 && GetTickCount64() < end) Sleep(5);
    ASSERT_EQ(fake.LiveBlocks(), 2);
    comm.reset();
    EXPECT_EQ(fake.LiveBlocks(), 0);
}

struct CommEventCase {
    const char* what;
    DWORD mask;
    DWORD lineErrors;
    std::vector<std::uint32_t> errors;
    std::vector<std::uint32_t> modem;
};

TEST_F(CommSeam, CommEventsBecomeEventsAndReceptionGoesOn) {
    const CommEventCase cases[] = {
        {"framing error", EV_ERR, CE_FRAME, {CE_FRAME}, {}},
        {"break and overrun", EV_ERR, CE_BREAK | CE_OVERRUN, {CE_BREAK | CE_OVERRUN}, {}},
        {"carrier", EV_RLSD, 0, {}, {8}},
        {"ring", EV_RING, 0, {}, {4}},
        {"carrier and ring", EV_RLSD | EV_RING, 0, {}, {12}},
        {"parity error with carrier", EV_ERR | EV_RLSD, CE_RXPARITY, {CE_RXPARITY}, {8}},
    };
    OpenAndSettle();
    for (const CommEventCase& c : cases) {
        SCOPED_TRACE(c.what);
        errors.clear();
        modem.clear();
        blocks.clear();
        ASSERT_TRUE(fake.WaitForPendingWait(kWaitMs));
        fake.RaiseCommEvent(c.mask, c.lineErrors);
        EXPECT_TRUE(PumpUntil(
            [&] { return errors.size() == c.errors.size() && modem.size() == c.modem.size(); }, kWaitMs));
        PumpFor(20);
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(modem, c.modem);
        fake.Receive({0x55});
        EXPECT_TRUE(PumpUntil([&] { return blocks.size() == 1; }, kWaitMs));
    }
    EXPECT_EQ(hangups, 0);
}

// --- worker thread failures --------------------------------------------------------------------------

enum class When { AtStart, OnReceive, OnCommEvent, OnErrorEvent, OnWrite };

struct ThreadFailure {
    const char* what;
    When when;
    std::function<void(TFakePort&)> arrange; // the failure, set before `when`
    TRole ends;
    bool hangup;
};

void FailOn(TFakePort& f, TCall call, TRole role, DWORD error) {
    f.Fail(call, role, error);
}

TEST_F(CommSeam, EachThreadFailureEndsThatThreadOnly) {
    constexpr DWORD kBroken = ERROR_GEN_FAILURE;
    constexpr DWORD kGone = ERROR_INVALID_HANDLE;
    const ThreadFailure cases[] = {
        {"reader: no record event", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::CreateEventA, TRole::Reader, ERROR_NO_SYSTEM_RESOURCES); },
         TRole::Reader, true},
        {"reader: mask refused", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::SetCommMask, TRole::Reader, kBroken); }, TRole::Reader, true},
        {"reader: wait refused", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::WaitCommEvent, TRole::Reader, kBroken); }, TRole::Reader, true},
        {"reader: wait on a dead handle", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::WaitCommEvent, TRole::Reader, kGone); }, TRole::Reader, false},
        {"reader: read refused", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::ReadFile, TRole::Reader, kBroken); }, TRole::Reader, true},
        {"reader: read on a dead handle", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::ReadFile, TRole::Reader, kGone); }, TRole::Reader, false},
        {"reader: wait failed", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::WaitForMultipleObjects, TRole::Reader, kBroken); },
         TRole::Reader, true},
        {"reader: read result failed", When::OnReceive,
         [](TFakePort& f) { FailOn(f, TCall::ReadResult, TRole::Reader, kBroken); }, TRole::Reader, true},
        {"reader: read result on a dead handle", When::OnReceive,
         [](TFakePort& f) { FailOn(f, TCall::ReadResult, TRole::Reader, kGone); }, TRole::Reader, false},
        {"reader: no memory for a block", When::OnReceive,
         [](TFakePort& f) { FailOn(f, TCall::LocalAlloc, TRole::Reader, ERROR_NOT_ENOUGH_MEMORY); },
         TRole::Reader, true},
        {"reader: block not posted", When::OnReceive,
         [](TFakePort& f) {
             f.Fail(TCall::PostMessageA, TRole::Reader, ERROR_NOT_ENOUGH_QUOTA, 0, UM_RECEIVEDATA);
         },
         TRole::Reader, true},
        {"reader: wait result failed", When::OnCommEvent,
         [](TFakePort& f) { FailOn(f, TCall::WaitResult, TRole::Reader, kBroken); }, TRole::Reader, true},
        {"reader: modem event not posted", When::OnCommEvent,
         [](TFakePort& f) {
             f.Fail(TCall::PostMessageA, TRole::Reader, ERROR_NOT_ENOUGH_QUOTA, 0, UM_MODEMSTATECHANGE);
         },
         TRole::Reader, true},
        {"reader: errors not cleared", When::OnErrorEvent,
         [](TFakePort& f) { FailOn(f, TCall::ClearCommError, TRole::Reader, kBroken); }, TRole::Reader, true},
        {"reader: errors on a dead handle", When::OnErrorEvent,
         [](TFakePort& f) { FailOn(f, TCall::ClearCommError, TRole::Reader, kGone); }, TRole::Reader, false},
        {"reader: error event not posted", When::OnErrorEvent,
         [](TFakePort& f) {
             f.Fail(TCall::PostMessageA, TRole::Reader, ERROR_NOT_ENOUGH_QUOTA, 0, UM_RECEIVEERROR);
         },
         TRole::Reader, true},
        {"writer: no record event", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::CreateEventA, TRole::Writer, ERROR_NO_SYSTEM_RESOURCES); },
         TRole::Writer, true},
        {"writer: idle wait failed", When::AtStart,
         [](TFakePort& f) { FailOn(f, TCall::MsgWaitForMultipleObjects, TRole::Writer, kBroken); },
         TRole::Writer, true},
        {"writer: empty queue not reported", When::AtStart,
         [](TFakePort& f) {
             f.Fail(TCall::PostMessageA, TRole::Writer, ERROR_NOT_ENOUGH_QUOTA, 0, UM_SENDDATAEMPTY);
         },
         TRole::Writer, true},
        {"writer: write refused", When::OnWrite,
         [](TFakePort& f) { FailOn(f, TCall::WriteFile, TRole::Writer, kBroken); }, TRole::Writer, true},
        {"writer: write on a dead handle", When::OnWrite,
         [](TFakePort& f) { FailOn(f, TCall::WriteFile, TRole::Writer, kGone); }, TRole::Writer, false},
        {"writer: write result failed", When::OnWrite,
         [](TFakePort& f) {
             f.SetWriteMode(TWriteMode::Pending);
             FailOn(f, TCall::WriteResult, TRole::Writer, kBroken);
         },
         TRole::Writer, true},
        {"writer: wait on a pending write failed", When::OnWrite,
         [](TFakePort& f) {
             f.SetWriteMode(TWriteMode::Pending);
             FailOn(f, TCall::WaitForMultipleObjects, TRole::Writer, kBroken);
         },
         TRole::Writer, true},
        {"writer: a write that moves nothing", When::OnWrite,
         [](TFakePort& f) { f.SetWriteMode(TWriteMode::ZeroBytes); }, TRole::Writer, true},
    };
    for (const ThreadFailure& c : cases) {
        SCOPED_TRACE(c.what);
        TFakePort port;
        TComm subject(nullptr);
        subject.SetCommsApi(port);
        subject.SetCommName(L"FAKE1");
        int hung = 0, empty = 0;
        std::vector<Bytes> got;
        subject.OnRequestHangup = [&](TObject*) { ++hung; };
        subject.OnSendDataEmpty = [&](TObject*) { ++empty; };
        subject.OnReceiveData = [&](TObject*, void* b, std::uint16_t n) {
            got.emplace_back(static_cast<std::uint8_t*>(b), static_cast<std::uint8_t*>(b) + n);
        };

        if (c.when == When::AtStart) c.arrange(port);
        subject.OpenPort();
        if (c.when != When::AtStart) {
            ASSERT_TRUE(PumpUntil([&] { return empty == 1; }, kWaitMs));
            ASSERT_TRUE(port.WaitForPendingRead(kWaitMs));
            ASSERT_TRUE(port.WaitForPendingWait(kWaitMs));
            c.arrange(port);
        }
        switch (c.when) {
        case When::AtStart:
            break;
        case When::OnReceive:
            port.Receive({1, 2, 3});
            break;
        case When::OnCommEvent:
            port.RaiseCommEvent(EV_RING);
            break;
        case When::OnErrorEvent:
            port.RaiseCommEvent(EV_ERR, CE_FRAME);
            break;
        case When::OnWrite: {
            const Bytes data{9, 8, 7};
            EXPECT_TRUE(subject.WriteData(data.data(), 3));
            if (port.WaitForPendingWrite(300)) port.CompletePendingWrite();
            break;
        }
        }
        EXPECT_TRUE(port.WaitThreadEnded(c.ends, kWaitMs));
        // Nothing the ended thread started is left outstanding on memory it has freed.
        if (c.ends == TRole::Reader) {
            EXPECT_FALSE(port.ReadPending()) << "a read outlived the reader";
            EXPECT_FALSE(port.WaitPending()) << "a comm-event wait outlived the reader";
        } else {
            EXPECT_FALSE(port.WritePending()) << "a write outlived the writer";
        }
        PumpUntil([&] { return hung > 0; }, c.hangup ? kWaitMs : kQuietMs);
        PumpFor(kQuietMs);
        EXPECT_EQ(hung, c.hangup ? 1 : 0);
        EXPECT_NE(subject.Handle(), nullptr) << "the port stays open until the owner closes it";

        // The other thread goes on.
        port.ClearFailures();
        port.SetWriteMode(TWriteMode::AtOnce);
        if (c.ends == TRole::Reader) {
            EXPECT_FALSE(port.ThreadEnded(TRole::Writer));
            const Bytes data{0x42};
            const std::size_t before = port.Written().size();
            EXPECT_TRUE(subject.WriteData(data.data(), 1));
            EXPECT_TRUE(PumpUntil([&] { return port.Written().size() == before + 1; }, kWaitMs));
        } else {
            EXPECT_FALSE(port.ThreadEnded(TRole::Reader));
            const Bytes data{0x42};
            EXPECT_FALSE(subject.WriteData(data.data(), 1)) << "an ended writer takes no blocks";
            got.clear();
            ASSERT_TRUE(port.WaitForPendingRead(kWaitMs));
            port.Receive({0x24});
            EXPECT_TRUE(PumpUntil([&] { return got.size() == 1; }, kWaitMs));
        }
        subject.ClosePort();
        EXPECT_FALSE(port.PortOpen());
        PumpFor(0);
        EXPECT_EQ(port.LiveBlocks(), 0);
    }
}

TEST_F(CommSeam, ReadOfNoBytesEndsTheReaderQuietly) {
    OpenAndSettle();
    fake.CompleteReadEmpty();
    EXPECT_TRUE(fake.WaitThreadEnded(TRole::Reader, kWaitMs));
    EXPECT_FALSE(fake.WaitPending()) << "the comm-event wait outlived the reader";
    PumpFor(kQuietMs);
    EXPECT_EQ(hangups, 0);
    EXPECT_TRUE(blocks.empty());
}

TEST_F(CommSeam, ReadEndedByItsTimeOutIsNotAFailure) {
    OpenAndSettle();
    fake.CompleteReadWithError(ERROR_TIMEOUT);
    ASSERT_TRUE(fake.WaitForPendingRead(kWaitMs)) << "the reader reads on";
    fake.Receive({0x31, 0x32});
    EXPECT_TRUE(PumpUntil([&] { return AllReceived() == Bytes{0x31, 0x32}; }, kWaitMs));
    EXPECT_EQ(hangups, 0);
    EXPECT_FALSE(fake.ThreadEnded(TRole::Reader));
}

TEST_F(CommSeam, CommEventWithoutWatchedBitsHangsUp) {
    OpenAndSettle();
    fake.RaiseCommEvent(EV_RXCHAR);
    EXPECT_TRUE(fake.WaitThreadEnded(TRole::Reader, kWaitMs));
    EXPECT_FALSE(fake.ReadPending()) << "the read outlived the reader";
    PumpFor(kQuietMs);
    EXPECT_EQ(hangups, 1);
    EXPECT_FALSE(fake.ThreadEnded(TRole::Writer));
}

// --- writing -----------------------------------------------------------------------------------------

TEST_F(CommSeam, WriteDataRefusesWhatItCannotQueue) {
    const Bytes data{1, 2, 3};
    EXPECT_FALSE(Write(data)) << "closed";
    OpenAndSettle();
    EXPECT_FALSE(comm->WriteData(data.data(), 0));
    fake.Fail(TCall::LocalAlloc, TRole::Main, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(Write(data));
    fake.ClearFailures();
    PumpFor(kQuietMs);
    EXPECT_TRUE(fake.Written().empty());
    EXPECT_EQ(empties, 1);
}

TEST_F(CommSeam, WriteRightAfterOpenIsNeverLost) {
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        comm->OpenPort();
        const Bytes data{static_cast<std::uint8_t>(round)};
        EXPECT_TRUE(Write(data));
        EXPECT_TRUE(PumpUntil([&] { return fake.Written().size() == std::size_t(round) + 1; }, kWaitMs));
        comm->ClosePort();
    }
}

TEST_F(CommSeam, OneEmptyQueueReportAtStartAndOneAfterABurst) {
    fake.SetWriteMode(TWriteMode::Pending);
    OpenAndSettle();
    EXPECT_TRUE(comm->SendDataEmpty());
    EXPECT_TRUE(Write({1}));
    EXPECT_TRUE(Write({2, 2}));
    EXPECT_TRUE(Write({3, 3, 3}));
    EXPECT_FALSE(comm->SendDataEmpty());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(fake.WaitForPendingWrite(kWaitMs));
        ASSERT_TRUE(fake.CompletePendingWrite());
    }
    EXPECT_TRUE(WrittenOut({1, 2, 2, 3, 3, 3}));
    EXPECT_TRUE(PumpUntil([&] { return empties == 2; }, kWaitMs));
    PumpFor(kQuietMs);
    EXPECT_EQ(empties, 2);
    EXPECT_TRUE(comm->SendDataEmpty());
}

TEST_F(CommSeam, ShortWritesAreContinuedUntilAllIsOut) {
    fake.SetWriteMode(TWriteMode::InPieces, 3);
    OpenAndSettle();
    Bytes data(20);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    EXPECT_TRUE(Write(data));
    EXPECT_TRUE(WrittenOut(data));
}

TEST_F(CommSeam, BlocksQueuedBehindAFailedWriteAreFreed) {
    fake.SetWriteMode(TWriteMode::Pending);
    OpenAndSettle();
    EXPECT_TRUE(Write({1}));
    EXPECT_TRUE(Write({2}));
    EXPECT_TRUE(Write({3}));
    ASSERT_TRUE(fake.WaitForPendingWrite(kWaitMs));
    ASSERT_TRUE(fake.CompletePendingWrite(ERROR_GEN_FAILURE));
    EXPECT_TRUE(fake.WaitThreadEnded(TRole::Writer, kWaitMs));
    EXPECT_TRUE(PumpUntil([&] { return hangups == 1; }, kWaitMs));
    EXPECT_EQ(fake.LiveBlocks(), 0) << "the two blocks behind the failed one";
    EXPECT_FALSE(Write({4}));
    EXPECT_EQ(fake.LiveBlocks(), 0);
    EXPECT_TRUE(comm->SendDataEmpty());
}

TEST_F(CommSeam, ClosePortDuringAPendingWriteEndsAtOnce) {
    fake.SetWriteMode(TWriteMode::Pending);
    OpenAndSettle();
    EXPECT_TRUE(Write(Bytes(1000, 0x5A)));
    EXPECT_TRUE(Write(Bytes(10, 0x5B)));
    ASSERT_TRUE(fake.WaitForPendingWrite(kWaitMs));
    const ULONGLONG start = GetTickCount64();
    comm->ClosePort();
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_FALSE(fake.WritePending()) << "the write was cancelled before its block went";
    EXPECT_TRUE(fake.Written().empty());
    EXPECT_EQ(fake.LiveBlocks(), 0);
}

TEST_F(CommSeam, ClosePortIsPromptAndFreesEverythingWhateverTheDriverDoesWithACancel) {
    const struct {
        const char* what;
        TCancelMode mode;
    } cases[] = {
        {"cancels honoured", TCancelMode::Honoured},
        {"cancels ignored, closing ends them", TCancelMode::ByCloseOnly},
        {"nothing ends them until later", TCancelMode::Never},
    };
    fake.SetWriteMode(TWriteMode::Pending);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.SetCancelMode(c.mode);
        empties = 0;
        OpenAndSettle();
        EXPECT_TRUE(Write(Bytes(100, 0x5A)));
        ASSERT_TRUE(fake.WaitForPendingWrite(kWaitMs));

        const ULONGLONG start = GetTickCount64();
        comm->ClosePort();
        EXPECT_LT(GetTickCount64() - start, 2000u) << "the close waited on the driver";
        EXPECT_EQ(fake.FreedWhileOutstanding(), 0) << "records or a block freed under the system";
        if (c.mode == TCancelMode::Never) {
            EXPECT_GT(fake.OpenEvents(), 0) << "the records of what is still outstanding are kept";
            EXPECT_EQ(fake.LiveBlocks(), 1) << "and so is the block being written";
            fake.FinishAbandoned();
            comm->ClosePort(); // already closed: frees what has ended since
        }
        EXPECT_EQ(fake.OpenEvents(), 0) << "record events left open";
        EXPECT_EQ(fake.LiveBlocks(), 0);
        EXPECT_EQ(fake.FreedWhileOutstanding(), 0);
    }
}

TEST_F(CommSeam, DestroyingAnOpenComponentClosesThePort) {
    OpenAndSettle();
    fake.Receive({1});
    comm.reset();
    EXPECT_FALSE(fake.PortOpen());
    EXPECT_TRUE(fake.ThreadEnded(TRole::Reader));
    EXPECT_TRUE(fake.ThreadEnded(TRole::Writer));
    EXPECT_EQ(fake.LiveBlocks(), 0);
}

} // namespace
