#include "skin_fixtures.h"

#include <framework/formreader.h>
#include <framework/sysutils.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include "skin_data/WinSkinStore.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The skin resources both programs include: resource name -> file.
std::map<String, fs::path> SkinResources() {
    std::map<String, fs::path> files;
    const std::string rc = ReadText(fs::path(FORMS_DIR) / "skins.rc");
    const std::regex line(R"re((\w+)\s+RCDATA\s+"([^"]+)")re");
    for (auto it = std::sregex_iterator(rc.begin(), rc.end(), line); it != std::sregex_iterator(); ++it)
        files[Utf8ToString((*it)[1].str())] = fs::path(FORMS_DIR) / (*it)[2].str();
    return files;
}

Bytes FileBytes(const fs::path& path) {
    const std::string text = ReadText(path);
    return Bytes(text.begin(), text.end());
}

struct TProgramCase {
    const char* program;
    std::vector<String> store;
};

class ProgramSkins : public testing::TestWithParam<TProgramCase> {
protected:
    void TearDown() override { FreeSkinManager(); }
};

// Each program's form carries sd1 with the skin it starts with and skinstore1 with the six skins
// of its "Stype" menu, in its own order.
TEST_P(ProgramSkins, FormCarriesTheSkinComponentAndTheStore) {
    RegisterClasses<TSkinData, TSkinStore>();
    const auto resources = SkinResources();
    const std::string text = "object Holder: TComponent\n" +
                             ReadText(fs::path(FORMS_DIR) / GetParam().program / "skin.txt") + "end\n";
    auto root = std::make_unique<TComponent>(nullptr);
    ReadComponentText(root.get(), text, L"skin.txt",
                      [&](const String& name, std::vector<std::uint8_t>& bytes) {
                          auto it = resources.find(name);
                          if (it == resources.end()) return false;
                          bytes = FileBytes(it->second);
                          return true;
                      });
    auto* sd1 = dynamic_cast<TSkinData*>(root->FindComponent(L"sd1"));
    auto* store = dynamic_cast<TSkinStore*>(root->FindComponent(L"skinstore1"));
    ASSERT_NE(sd1, nullptr);
    ASSERT_NE(store, nullptr);

    EXPECT_TRUE(sd1->Active());
    EXPECT_FALSE(sd1->SkinNotLoaded());
    EXPECT_EQ(sd1->DisableTag(), 99);
    EXPECT_EQ(sd1->SkinControls(), DefaultSkinControls);
    EXPECT_TRUE(sd1->Options().Empty());
    EXPECT_EQ(sd1->SkinFormtype(), sfMainform);
    EXPECT_TRUE(sd1->MenuUpdate());
    EXPECT_FALSE(sd1->MenuMerge());
    TSkinData defaults(nullptr);
    EXPECT_EQ(sd1->Skin3rd()->Text(), defaults.Skin3rd()->Text());
    const Bytes stream = FileBytes(fs::path(SKINS_DIR) / "Standard.stream");
    ASSERT_GT(stream.size(), 4u);
    EXPECT_EQ(sd1->SkinStream()->Bytes(), Bytes(stream.begin() + 4, stream.end()));

    const auto& names = GetParam().store;
    ASSERT_EQ(store->Store()->Count(), static_cast<int>(names.size()));
    for (int i = 0; i < store->Store()->Count(); ++i) {
        TSkinCollectionItem* item = store->Store()->Items(i);
        EXPECT_EQ(item->Name(), names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(item->DataStream()->Bytes(),
                  FileBytes(fs::path(SKINS_DIR) / (StringToUtf8(item->Name()) + ".skn")));
    }
    // Item 4 is what tagconsole starts with.
    sd1->LoadFromSkinStore(store, 4);
    EXPECT_FALSE(sd1->SkinNotLoaded());
    EXPECT_EQ(sd1->SkinStream()->Bytes(), FileBytes(fs::path(SKINS_DIR) / (StringToUtf8(names[4]) + ".skn")));
}

INSTANTIATE_TEST_SUITE_P(
    SkinData, ProgramSkins,
    testing::Values(TProgramCase{"readerconsole",
                                 {L"Skin5", L"skin1", L"skin2", L"skin3", L"skin4", L"Skin6"}},
                    TProgramCase{"tagconsole", {L"skin1", L"skin2", L"skin3", L"skin4", L"Skin5", L"Skin6"}}),
    [](const auto& info) { return std::string(info.param.program); });

} // namespace
