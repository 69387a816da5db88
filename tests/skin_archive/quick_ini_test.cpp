#include <gtest/gtest.h>

#include <climits>

#include "archive_fixtures.h"
#include "skin_archive/WinSkinIni.h"

namespace {

TQuickIni Load(const std::string& text) {
    TByteStream stream(ToBytes(text));
    TQuickIni ini;
    ini.LoadFromStream(&stream);
    return ini;
}

struct TStringCase {
    const char* what;
    std::string text;
    std::string section, key;
    std::string expected; // the default is "def"
};

class StringLookups : public testing::TestWithParam<TStringCase> {};

TEST_P(StringLookups, Read) {
    const auto& c = GetParam();
    EXPECT_EQ(Load(c.text).ReadString(c.section, c.key, "def"), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, StringLookups,
    testing::Values(
        TStringCase{"plain", "[A]\r\nKey=v\r\n", "A", "Key", "v"},
        TStringCase{"section and key in other case", "[Colours]\r\nButtonFace=1\r\n", "COLOURS", "buttonface",
                    "1"},
        TStringCase{"blanks around key and value", "[A]\r\n  Key \t=  two words \t\r\n", "a", "key",
                    "two words"},
        TStringCase{"value holding =", "[A]\r\nk=a=b\r\n", "A", "k", "a=b"},
        TStringCase{"empty value leaves the default though the key repeats", "[Form]\r\nTile=\r\nTile=1\r\n",
                    "Form", "Tile", "def"},
        TStringCase{"first of a repeated key", "[A]\r\nk=1\r\nK=2\r\n", "A", "k", "1"},
        TStringCase{"comment line dropped", "[A]\r\n  ;k=1\r\nk=2\r\n", "A", "k", "2"},
        TStringCase{"later ; is part of the value", "[A]\r\nKey=1 ; note\r\n", "A", "key", "1 ; note"},
        TStringCase{"key before the first header", "k=1\r\n[A]\r\n", "A", "k", "def"},
        TStringCase{"key of the next section", "[A]\r\n[B]\r\nk=1\r\n", "A", "k", "def"},
        TStringCase{"blanks inside brackets count", "[ Colours ]\r\nk=1\r\n", "Colours", "k", "def"},
        TStringCase{"blanks inside brackets found as written", "[ Colours ]\r\nk=1\r\n", " colours ", "k",
                    "1"},
        TStringCase{"header with blanks around it", "   [A]  \r\nk=1\r\n", "A", "k", "1"},
        TStringCase{"only the first of a repeated section", "[A]\r\nk=1\r\n[a]\r\nm=2\r\n", "A", "m", "def"},
        TStringCase{"line without = never matches", "[A]\r\nk\r\nk=3\r\n", "A", "k", "3"},
        TStringCase{"empty key asked", "[A]\r\n=v\r\n", "A", "", "def"},
        TStringCase{"bracket only at the start is no header", "[A]\r\n[B=x\r\nk=1\r\n", "A", "k", "1"},
        TStringCase{"text ends at a zero byte", std::string("[A]\r\nx=1\0\r\ny=2\r\n", 16), "A", "y", "def"},
        TStringCase{"text before a zero byte", std::string("[A]\r\nx=1\0\r\ny=2\r\n", 16), "A", "x", "1"},
        TStringCase{"CR alone ends a line", "[A]\rk=1\r[B]\rm=2", "B", "m", "2"},
        TStringCase{"LF alone ends a line", "[A]\nk=1\n", "A", "k", "1"},
        TStringCase{"LF CR ends two lines", "[A]\n\rk=1\n\r[B]\n\rm=2", "A", "k", "1"},
        TStringCase{"missing section", "[A]\r\nk=1\r\n", "B", "k", "def"},
        TStringCase{"empty text", "", "A", "k", "def"},
        TStringCase{"bytes above 127 kept", "[A]\r\nk=\xC6\xA4\xB7\xF4\r\n", "A", "k", "\xC6\xA4\xB7\xF4"}));

struct TIntegerCase {
    std::string value;
    int expected; // the default is -77
};

class IntegerLookups : public testing::TestWithParam<TIntegerCase> {};

TEST_P(IntegerLookups, Convert) {
    const auto& c = GetParam();
    EXPECT_EQ(Load("[Colours]\r\nButtonFace = " + c.value + "\r\n").ReadInteger("colours", "BUTTONFACE", -77),
              c.expected)
        << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, IntegerLookups,
    testing::Values(TIntegerCase{"0xC0C0C0", 12632256}, TIntegerCase{"0XfF", 255}, TIntegerCase{"0x", -77},
                    TIntegerCase{"0xG1", -77}, TIntegerCase{"0x-1", -77},
                    TIntegerCase{"0xFF00000F", -16777201}, TIntegerCase{"0x00000000FF", 255},
                    TIntegerCase{"0x123456789", -77}, TIntegerCase{"$10", 16}, TIntegerCase{"-$10", -16},
                    TIntegerCase{"$", -77}, TIntegerCase{"42", 42}, TIntegerCase{"+7", 7},
                    TIntegerCase{"-5", -5}, TIntegerCase{"2147483647", INT_MAX},
                    TIntegerCase{"-2147483648", INT_MIN}, TIntegerCase{"2147483648", -77},
                    TIntegerCase{"99999999999999999999", -77}, TIntegerCase{"12a", -77},
                    TIntegerCase{"1 ; note", -77}, TIntegerCase{"-", -77}, TIntegerCase{"1.5", -77},
                    TIntegerCase{"", -77}));

TEST(QuickIni, SectionsInTextOrderWithoutBrackets) {
    std::vector<std::string> sections = {"stale"};
    Load("k=0\r\n[Skin]\r\na=1\r\n[ Form Title ]\r\n[]\r\n[skin]\r\n").ReadSections(sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"Skin", "Form Title", "", "skin"}));
}

TEST(QuickIni, LoadReadsFromThePositionAndReplacesEarlierContent) {
    TQuickIni ini = Load("[Old]\r\nk=1\r\n");
    TByteStream stream(ToBytes("[Skipped]\r\n[New]\r\nk=2\r\n"));
    stream.SetPosition(11);
    ini.LoadFromStream(&stream);
    EXPECT_EQ(ini.ReadString("Old", "k", "none"), "none");
    EXPECT_EQ(ini.ReadString("Skipped", "k", "none"), "none");
    EXPECT_EQ(ini.ReadString("New", "k", "none"), "2");
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(QuickIni, MissingStreamKeepsContent) {
    TQuickIni ini = Load("[A]\r\nk=1\r\n");
    ini.LoadFromStream(nullptr);
    EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
}

TEST(QuickIni, FindSectionGivesTheHeadersLinePosition) {
    const TQuickIni ini = Load("; c\r\n\r\nk=1\r\n[A]\r\nx=1\r\n\r\n[B]\r\n");
    EXPECT_EQ(ini.FindSection("a"), 1);
    EXPECT_EQ(ini.FindSection("B"), 3);
    EXPECT_EQ(ini.FindSection("C"), -1);
}

} // namespace
