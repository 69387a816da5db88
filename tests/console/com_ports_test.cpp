// The COM-port list of the page change with ports mapped to ptys: run by pty-run, which maps
// PTY_PORT and PTY_PEER_PORT to the two ends of a fresh pty pair.
#include "console_fixture.h"

#include <pty_support/pty_env.h>
#include <serial/comm.h>

namespace {

class ComPorts : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        ports_ = pty_support::TPtyEnvironment::FromEnvironment();
        if (ports_.Port.empty() || ports_.PeerPort.empty()) GTEST_SKIP() << "needs pty-run with --peer-port";
        if (PortNumber(ports_.PeerPort) < PortNumber(ports_.Port)) std::swap(ports_.Port, ports_.PeerPort);
    }
    static int PortNumber(const std::wstring& name) { return std::stoi(name.substr(3)); }
    std::vector<String> Listed() {
        std::vector<String> items;
        for (int i = 0; i < form().ComboBox1->Items()->Count(); ++i)
            items.push_back(form().ComboBox1->Items()->Strings(i));
        return items;
    }
    pty_support::TPtyEnvironment ports_;
};

TEST_F(ComPorts, PageChangeListsThePortsThatOpenAndPointsTheComponentAtTheFirst) {
    form().PageControl1Change(form().PageControl1);
    EXPECT_EQ(Listed(), (std::vector<String>{ports_.Port, ports_.PeerPort}));
    EXPECT_EQ(FirstComPort, ports_.Port);
    EXPECT_EQ(form().ComboBox1->ItemIndex(), 0);
    EXPECT_EQ(form().Comm1->CommName(), L"\\\\.\\" + ports_.Port);
    EXPECT_EQ(form().Comm1->BaudRate(), 9600u);
}

// Whether the open port is listed again depends on the system refusing a second open (Windows does,
// Wine does not for a pty); what the page change must not do is close it or leave its speed.
TEST_F(ComPorts, AnOpenPortStaysOpenAndTakes9600AtOnce) {
    form().Comm1->SetCommName(L"\\\\.\\" + ports_.Port);
    form().Comm1->SetBaudRate(115200);
    ASSERT_NO_THROW(form().Comm1->OpenPort());

    form().PageControl1Change(form().PageControl1);

    ASSERT_NE(form().Comm1->Handle(), nullptr) << "the open port was closed";
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(form().Comm1->Handle(), &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_NE(Listed(), std::vector<String>{L"No Com Port"});
    form().Comm1->ClosePort();
}

} // namespace
