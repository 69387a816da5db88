// readerconsole driven from outside as a user would drive it: start it, look at its main window,
// open its windows through menus and buttons, save the log box, end it.
#include "driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "picture.h"

using namespace e2e;

namespace {

const std::wstring MainCaption = L"Format output  card number V2.6";
const std::wstring PictureCaption = L"Card memory structure";
constexpr DWORD StartMs = 60000; // a cold Wine prefix is slow to start the first program
constexpr DWORD WindowMs = 15000;

class ReaderConsole : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = std::make_unique<Program>(WindowsPath(READERCONSOLE_EXE));
        ASSERT_TRUE(program_->Started()) << "the start failed with error " << program_->StartError();
        main_ = WaitForTopWindow(program_->Id(), MainCaption, StartMs);
        ASSERT_NE(main_, nullptr) << "the main window did not show";
    }
    void TearDown() override { program_.reset(); }

    // The one visible child of the main window with this class and text.
    HWND VisibleChild(const wchar_t* className, const wchar_t* text = nullptr) {
        for (HWND w : FindChildren(main_, className, text))
            if (IsWindowVisible(w)) return w;
        return nullptr;
    }
    HWND Tabs() { return VisibleChild(WC_TABCONTROLW); }
    HWND LogBox() {
        for (const wchar_t* richEdit : {L"RICHEDIT20W", L"RichEdit20W", L"RICHEDIT50W"})
            if (HWND w = VisibleChild(richEdit)) return w;
        return nullptr;
    }
    // Selects a tab the way a click on it does: the page changes and the program is told.
    void SelectTab(int tab) {
        SendMessageW(Tabs(), TCM_SETCURFOCUS, tab, 0);
        WaitUntil(2000, [&] { return SendMessageW(Tabs(), TCM_GETCURSEL, 0, 0) == tab; });
    }

    std::unique_ptr<Program> program_;
    HWND main_ = nullptr;
};

TEST_F(ReaderConsole, MainWindowWithItsTabsStatusBarAndMenuBar) {
    EXPECT_EQ(TextOf(main_), MainCaption);
    EXPECT_TRUE(WaitUntil(WindowMs, [&] { return HasMenuBar(main_); })) << "no menu bar";

    HWND tabs = Tabs();
    ASSERT_NE(tabs, nullptr);
    const std::vector<std::wstring> expectedTabs{L"USB reader intelligent setting  ",
                                                 L"Prefix &suffix Data Input", L"UHF Write Card",
                                                 L"Serial port function"};
    EXPECT_EQ(TabCaptions(tabs), expectedTabs);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);

    HWND status = VisibleChild(STATUSCLASSNAMEW);
    ASSERT_NE(status, nullptr);
    std::vector<std::wstring> panels;
    // The clock fills the last panel within a second or so.
    WaitUntil(5000, [&] {
        panels = StatusTexts(status);
        return panels.size() == 4 && !panels[3].empty();
    });
    ASSERT_EQ(panels.size(), 4u);
    EXPECT_EQ(panels[0], L"  RFID");
    EXPECT_EQ(panels[1], L"");
    EXPECT_EQ(panels[2], L"Format output  card number");
    static const std::wregex clock(
        L"   [0-9]{4}\\.[0-9]{2}\\.[0-9]{2}   [0-9]{2}:[0-9]{2}:[0-9]{2} (AM|PM)   ");
    EXPECT_TRUE(std::regex_match(panels[3], clock));

    ASSERT_NE(LogBox(), nullptr);
}

TEST_F(ReaderConsole, HelpOpensTheAboutWindowEveryTime) {
    HWND previous = nullptr;
    for (int time = 0; time < 2; ++time) {
        HWND about = nullptr;
        const auto aboutShown = [&] {
            about = WaitForTopWindow(program_->Id(), L"RFID", 0, nullptr, main_);
            return about != nullptr;
        };
        ASSERT_TRUE(ChooseMenuItemUntil(main_, 2, 0, WindowMs, aboutShown)) // "About" > "Help"
            << "showing " << time + 1;
        EXPECT_FALSE(IsWindowEnabled(main_)) << "the about window is modal";
        if (previous) {
            EXPECT_FALSE(IsWindow(previous)) << "the window of the first showing is gone";
        }
        PostMessageW(about, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil(WindowMs, [&] { return !IsWindowVisible(about); }));
        ASSERT_TRUE(WaitUntil(WindowMs, [&] { return IsWindowEnabled(main_) != FALSE; }));
        previous = about;
    }
}

TEST_F(ReaderConsole, SectorButtonsShowTheDecodedMemoryMap) {
    const Picture picture = MemoryMapOf(READERCONSOLE_EXE);
    ASSERT_EQ(picture.width, 664);
    ASSERT_EQ(picture.height, 547);
    const std::vector<POINT> samples = DistinctivePoints(picture, 6);
    ASSERT_FALSE(samples.empty());

    // UHF Write Card (tab 2) and Serial port function (tab 3) each have one.
    for (int tab : {2, 3}) {
        SelectTab(tab);
        HWND sector = nullptr;
        WaitUntil(WindowMs, [&] { return (sector = VisibleChild(L"Button", L"Sector")) != nullptr; });
        ASSERT_NE(sector, nullptr) << "tab " << tab;
        PostMessageW(sector, BM_CLICK, 0, 0);

        HWND window = WaitForTopWindow(program_->Id(), PictureCaption, WindowMs);
        ASSERT_NE(window, nullptr) << "tab " << tab;
        // The image sits 5 pixels above the client area's top.
        std::vector<POINT> at;
        for (const POINT& p : samples) at.push_back({p.x, p.y - 5});
        std::vector<COLORREF> shown;
        const bool same = WaitUntil(WindowMs, [&] {
            const auto read = OwnedScreenPixels(window, at);
            if (!read) return false;
            shown = *read;
            for (std::size_t i = 0; i < samples.size(); ++i)
                if (!Close(shown[i], picture.At(samples[i].x, samples[i].y))) return false;
            return true;
        });
        ASSERT_EQ(shown.size(), samples.size()) << "tab " << tab << ": the window was never uncovered";
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const POINT& p = samples[i];
            const COLORREF expected = picture.At(p.x, p.y);
            EXPECT_TRUE(Close(shown[i], expected))
                << "tab " << tab << " at " << p.x << "," << p.y << ": shown " << std::hex << shown[i]
                << ", picture " << expected;
        }
        EXPECT_TRUE(same);
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil(WindowMs, [&] { return !IsWindow(window) || !IsWindowVisible(window); }));
    }
}

TEST_F(ReaderConsole, SaveWritesTheLogBoxToTheChosenFile) {
    HWND log = LogBox();
    ASSERT_NE(log, nullptr);
    Type(log, L"typed into the log box");
    ASSERT_TRUE(WaitUntil(WindowMs,
                          [&] { return TextOf(log).find(L"typed into the log box") != std::wstring::npos; }));

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"readerconsole-e2e-log.rtf";
    DeleteFileW(path.c_str());

    ASSERT_TRUE(ChooseContextMenuItem(log, 1)); // "Clear", "Save", ...
    HWND dialog = WaitForTopWindow(program_->Id(), L"保存接收数据！", WindowMs);
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    std::vector<HWND> nameBoxes = FindChildren(dialog, L"Edit");
    ASSERT_FALSE(nameBoxes.empty());
    SendMessageW(nameBoxes.front(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    HWND save = GetDlgItem(dialog, IDOK);
    ASSERT_NE(save, nullptr);
    PostMessageW(save, BM_CLICK, 0, 0);

    ASSERT_TRUE(WaitUntil(WindowMs, [&] {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        return saved.find("typed into the log box") != std::string::npos;
    })) << "the log was not saved";
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u);
    DeleteFileW(path.c_str());
}

TEST_F(ReaderConsole, ExistEndsTheProgram) {
    DWORD code = 1;
    const auto ended = [&] { return program_->WaitForExit(0, &code); };
    ASSERT_TRUE(ChooseMenuItemUntil(main_, 0, 0, WindowMs, ended)); // "System" > "Exist"
    EXPECT_EQ(code, 0u);
}

TEST_F(ReaderConsole, ClosingTheMainWindowEndsTheProgram) {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(program_->WaitForExit(WindowMs, &code));
    EXPECT_EQ(code, 0u);
}

} // namespace
