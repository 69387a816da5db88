// Built as usb_dll_tagconsole_test: a program whose file name names tagconsole.
#include <gtest/gtest.h>

#include "dll_support.h"

namespace {

bool ProfileChosenByEnvironment() {
    wchar_t value[16];
    return GetEnvironmentVariableW(L"USB_SIM_PROFILE", value, 16) > 0;
}

TEST(ProfileFromModuleName, TagconsoleGetsTheTagReader) {
    if (ProfileChosenByEnvironment()) GTEST_SKIP() << "USB_SIM_PROFILE is set";
    usbdll::Library dll;
    ASSERT_TRUE(dll.Load());
    EXPECT_EQ(dll.Exchange("AA0002c10AC9BB"), "AA0002018F8CBB"); // not a tag reader command
    EXPECT_EQ(dll.Exchange("AA0002801D9FBB"), "AA00010001BB");
    EXPECT_EQ(dll.Exchange("AA0001C0C1BB"), "AA0013003133342E324B207265616465722056312E310FBB");
}

TEST(ProfileFromEnvironment, OverridesTheFileName) {
    if (!ProfileChosenByEnvironment()) GTEST_SKIP() << "run with USB_SIM_PROFILE=reader";
    usbdll::Library dll;
    ASSERT_TRUE(dll.Load());
    EXPECT_EQ(dll.Exchange("AA0002c10AC9BB"), "AA00010001BB");
}

} // namespace
