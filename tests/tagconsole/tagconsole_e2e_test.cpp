// tagconsole.exe started as a user starts it: its main window, its tabs and a command sent to the
// simulated tag reader from the window.
#include "driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>

using namespace e2e;

namespace {

const std::wstring MainCaption = L" 134.2K Demo  V 1.1";
constexpr DWORD StartMs = 60000; // a cold Wine prefix is slow to start the first program

HWND VisibleChild(HWND parent, const wchar_t* className, const wchar_t* text = nullptr) {
    for (HWND w : FindChildren(parent, className, text))
        if (IsWindowVisible(w)) return w;
    return nullptr;
}

HWND LogBox(HWND main) {
    for (const wchar_t* richEdit : {L"RICHEDIT20W", L"RichEdit20W", L"RICHEDIT50W"})
        if (HWND w = VisibleChild(main, richEdit)) return w;
    return nullptr;
}

TEST(TagConsole, StartsWithItsCaptionAndPagesAndTalksToTheTagReader) {
    Program program(WindowsPath(TAGCONSOLE_EXE));
    ASSERT_TRUE(program.Started()) << "the start failed with error " << program.StartError();
    HWND main = WaitForTopWindow(program.Id(), MainCaption, StartMs);
    ASSERT_NE(main, nullptr) << "the main window did not show";
    EXPECT_EQ(TextOf(main), MainCaption);
    EXPECT_TRUE(WaitUntil(15000, [&] { return HasMenuBar(main); })) << "no menu bar";

    HWND tabs = VisibleChild(main, WC_TABCONTROLW);
    ASSERT_NE(tabs, nullptr);
    const std::vector<std::wstring> expectedTabs{L"USB reader intelligent setting  ", L"language settings",
                                                 L"Switch of mode"};
    EXPECT_EQ(TabCaptions(tabs), expectedTabs);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);

    // "Read" on the first page asks the tag reader for its record.
    HWND read = VisibleChild(main, L"Button", L"Read");
    ASSERT_NE(read, nullptr);
    PostMessageW(read, BM_CLICK, 0, 0);
    HWND log = LogBox(main);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(WaitUntil(
        15000, [&] { return TextOf(log).find(L"The suffix Byte is:00000000") != std::wstring::npos; }))
        << "log: " << std::string(TextOf(log).begin(), TextOf(log).end());

    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(program.WaitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

} // namespace
