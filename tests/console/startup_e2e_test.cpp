// Both programs started from outside with a skin stream in their form resource that does not
// decompress: the start-up's report says why, and the program ends once the operator has read it.
#include "driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace e2e;

namespace {

constexpr DWORD StartMs = 60000; // a cold Wine prefix is slow to start the first program

struct ProgramCase {
    const char* name;
    const char* exe;
};

const ProgramCase programCases[] = {{"readerconsole", READERCONSOLE_EXE}, {"tagconsole", TAGCONSOLE_EXE}};

void PrintTo(const ProgramCase& c, std::ostream* os) {
    *os << c.name;
}

BOOL CALLBACK FirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// A copy of the program beside it whose skin stream resource is `stream`.
std::wstring CopyWithSkinStream(const ProgramCase& program, const std::vector<std::uint8_t>& stream) {
    const std::wstring source = WindowsPath(program.exe);
    const std::wstring copy = source.substr(0, source.size() - 4) + L"-bad-skin.exe";
    if (!CopyFileW(source.c_str(), copy.c_str(), FALSE)) return {};
    // Replaced in the language the resource has, so that no second copy of it remains.
    WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    if (HMODULE image = LoadLibraryExW(source.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        EnumResourceLanguagesW(image, MAKEINTRESOURCEW(10), L"SKIN_STANDARD", FirstLanguage,
                               reinterpret_cast<LONG_PTR>(&language));
        FreeLibrary(image);
    }
    HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    if (!update) return {};
    const bool replaced =
        UpdateResourceW(update, MAKEINTRESOURCEW(10), L"SKIN_STANDARD", language,
                        const_cast<std::uint8_t*>(stream.data()), static_cast<DWORD>(stream.size()));
    if (!EndUpdateResourceW(update, !replaced) || !replaced) return {};
    return copy;
}

class BrokenSkin : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(BrokenSkin, StartUpReportsWhyAndTheProgramEnds) {
    // The stream's length, then an archive that claims 100000 bytes and holds two.
    const std::wstring exe = CopyWithSkinStream(GetParam(), {6, 0, 0, 0, 0xA0, 0x86, 0x01, 0x00, 0x12, 0x34});
    ASSERT_FALSE(exe.empty()) << "the copy with the broken skin could not be made";
    Program program(exe);
    ASSERT_TRUE(program.Started()) << "the start failed with error " << program.StartError();

    HWND report = WaitForTopWindow(program.Id(), L"RFID", StartMs, L"#32770");
    ASSERT_NE(report, nullptr) << "no report came";
    bool said = false;
    for (HWND text : FindChildren(report, L"Static"))
        said = said || TextOf(text).find(L"LZH : Compressed data ends early") != std::wstring::npos;
    EXPECT_TRUE(said);

    PostMessageW(report, WM_COMMAND, IDOK, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(StartMs, &exitCode));
    EXPECT_EQ(exitCode, 1u);
    DeleteFileW(exe.c_str());
}

INSTANTIATE_TEST_SUITE_P(Programs, BrokenSkin, ::testing::ValuesIn(programCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
