#include <gtest/gtest.h>

#include <fstream>

#include "dll_support.h"

namespace {

usbdll::Library dll;
std::string firstVersionReply;
std::wstring configPath;

class UsbDll : public testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        configPath = std::wstring(temp) + L"usb-dll-test-" + std::to_wstring(GetCurrentProcessId()) + L".cfg";
        std::ofstream(configPath.c_str(), std::ios::binary) << "# read once, at the first call\r\n"
                                                               "version Config V1.0\r\n";
        SetEnvironmentVariableW(L"USB_SIM_CONFIG", configPath.c_str());
        SetEnvironmentVariableW(L"USB_SIM_PROFILE", nullptr);
        ASSERT_TRUE(dll.Load());
        firstVersionReply = dll.Exchange("AA0001C0C1BB");
    }
    static void TearDownTestSuite() { DeleteFileW(configPath.c_str()); }
    void SetUp() override { ASSERT_EQ(dll.control("reset"), 0); }
};

TEST_F(UsbDll, ReadsTheConfigurationNamedByTheEnvironment) {
    // "Config V1.0" as the version text.
    EXPECT_EQ(firstVersionReply, "AA000C00436F6E6669672056312E30"
                                 "7F"
                                 "BB");
}

TEST_F(UsbDll, AnswersAsTheCardReaderForAnyOtherProgram) {
    EXPECT_EQ(dll.Exchange("AA0002c10AC9BB"), "AA00010001BB");
    EXPECT_EQ(dll.Exchange("AA0001C0C1BB"), "AA001100555342207265616465722056322E36301CBB");
}

TEST_F(UsbDll, QueriesReportTheTraffic) {
    dll.Exchange("AA0001cfCEBB");
    char text[64];
    EXPECT_EQ(dll.lastFrame(text, sizeof text), 12);
    EXPECT_STREQ(text, "AA0001CFCEBB");
    EXPECT_EQ(dll.lastFrame(text, 5), 12); // cut to fit, still terminated
    EXPECT_STREQ(text, "AA00");
    EXPECT_EQ(dll.lastReply(text, sizeof text), 12);
    EXPECT_STREQ(text, "AA00010001BB");
    EXPECT_EQ(dll.frameCount(), 1);
    EXPECT_EQ(dll.lastFrame(nullptr, 0), 12);
}

TEST_F(UsbDll, ControlLinesAreCheckedAndApplied) {
    EXPECT_EQ(dll.control(nullptr), -2);
    EXPECT_EQ(dll.control("no such line"), -1);
    EXPECT_EQ(dll.control("short 0"), 0);
    EXPECT_EQ(dll.Exchange("AA0001cfCEBB"), "short");
    EXPECT_EQ(dll.control("force cf reason 83"), 0);
    EXPECT_EQ(dll.Exchange("AA0001cfCEBB"), "AA0002018380BB");
}

TEST_F(UsbDll, ReadNeverExceedsItsLength) {
    const unsigned char frame[] = {0xAA, 0x00, 0x01, 0xC0, 0xC1, 0xBB};
    ASSERT_EQ(dll.write(0, 6, frame), 6);
    unsigned char buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    EXPECT_EQ(dll.read(0, 4, buffer), 4);
    EXPECT_EQ(buffer[4], 0xEE);
    EXPECT_EQ(dll.read(0, 16, buffer), 0);
}

} // namespace
