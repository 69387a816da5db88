#include <gtest/gtest.h>

#include <fstream>

#include "archive_fixtures.h"
#include "skin_archive/SkinRead.h"
#include "skin_archive/WinSkinIni.h"
#include "skinpack/SkinPack.h"

namespace {

namespace fs = std::filesystem;

const fs::path FixtureSkin = SKIN_FIXTURE_DIR;

// The test skin goes through packer, archive reader and ini parser, as a stored skin does.
TEST(SkinChain, PackedFolderReadsBack) {
    const auto entries = ReadSkinFolder(FixtureSkin);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Name, "Test.ini");
    EXPECT_EQ(entries[1].Name, "Button.bmp");
    EXPECT_EQ(entries[2].Name, "frame.BMP");

    const Bytes archive = PackArchive(entries);
    EXPECT_NO_THROW(VerifyArchive(archive, entries));
    EXPECT_EQ(archive, PackArchive(entries));

    TSkinReader reader;
    TByteStream stored(archive);
    ASSERT_TRUE(reader.OpenArchive(stored));
    TByteStream iniStream;
    std::string iniName;
    ASSERT_TRUE(reader.FindEntry(".ini", iniStream, iniName));
    EXPECT_EQ(iniName, "test.ini");
    TQuickIni ini;
    ini.LoadFromStream(&iniStream);
    EXPECT_EQ(ini.ReadInteger("skin", "version", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Button", "FrameCount", 0), 4);

    for (const char* key : {"Button/Bitmap", "Form/Frame"}) {
        const std::string path = key;
        const std::string name =
            ini.ReadString(path.substr(0, path.find('/')), path.substr(path.find('/') + 1), "");
        TByteStream bitmap;
        reader.GetEntry(name, bitmap);
        ASSERT_GE(bitmap.Size(), 2) << name;
        EXPECT_EQ(bitmap.Data()[0], 'B') << name;
        EXPECT_EQ(bitmap.Data()[1], 'M') << name;
    }
}

TEST(SkinChain, VerifyCatchesADifferingByte) {
    const auto entries = ReadSkinFolder(FixtureSkin);
    auto changed = entries;
    changed[1].Data.back() ^= 1;
    EXPECT_THROW(VerifyArchive(PackArchive(entries), changed), ESkinPackError);
}

struct TFolderCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files; // name, content; "/" ending: a folder
};

class BadSkinFolders : public testing::TestWithParam<TFolderCase> {};

TEST_P(BadSkinFolders, AreRefused) {
    const auto& c = GetParam();
    const fs::path folder =
        fs::temp_directory_path() /
        ("skinpack-test-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()) + "-" +
         std::to_string(reinterpret_cast<std::uintptr_t>(&c)));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& [name, content] : c.files) {
        if (name.back() == '/') {
            fs::create_directories(folder / name.substr(0, name.size() - 1));
            continue;
        }
        std::ofstream(folder / name, std::ios::binary) << content;
    }
    EXPECT_THROW(ReadSkinFolder(folder), ESkinPackError) << c.what;
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, BadSkinFolders,
    testing::Values(TFolderCase{"no ini", {{"a.bmp", "BM"}}},
                    TFolderCase{"two inis", {{"a.ini", "[A]"}, {"b.INI", "[B]"}, {"a.bmp", "BM"}}},
                    TFolderCase{"stray file", {{"a.ini", "[A]"}, {"notes.txt", "x"}}},
                    TFolderCase{"bitmap that is not one", {{"a.ini", "[A]"}, {"a.bmp", "PNG"}}},
                    TFolderCase{"sub-folder", {{"a.ini", "[A]"}, {"more/", ""}}}));

TEST(SkinPack, MissingFolderIsRefused) {
    EXPECT_THROW(ReadSkinFolder(FixtureSkin / "no-such-folder"), ESkinPackError);
}

TEST(SkinPack, NamesThatClashInLowerCaseAreRefused) {
    EXPECT_THROW(BuildArchiveImage({{"A.bmp", {'B', 'M'}}, {"a.BMP", {'B', 'M'}}}), ESkinPackError);
}

} // namespace
