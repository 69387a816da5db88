#include "skin_fixtures.h"

#include <framework/dialogs.h>
#include <framework/formreader.h>
#include <framework/forms.h>
#include <framework/sysutils.h>

#include <filesystem>
#include <fstream>

#include "skin_archive/SkinRead.h"
#include "skin_data/WinSkinStore.h"
#include "skinpack/LzhEncoder.h"

namespace {

// Two skins that tell themselves apart: one has tabs, the other a progress bar.
Bytes TabsSkin() {
    return SkinArchive("[Tabs]\r\nImage=tabs.bmp\r\n", {{"tabs.bmp", BmpFile(50, 20, 0)}});
}
Bytes ProgressSkin() {
    return SkinArchive("[Progress]\r\nBitmap=p.bmp\r\n", {{"p.bmp", BmpFile(20, 10, 0)}});
}

// An archive of another version of the format.
Bytes OldArchive() {
    Bytes image = BuildArchiveImage({{"old.ini", Bytes{'[', 'X', ']'}}});
    image[0] = 0x1F; // 19999
    image[1] = 0x4E;
    Bytes archive;
    for (int shift = 0; shift < 32; shift += 8)
        archive.push_back(static_cast<std::uint8_t>(image.size() >> shift));
    const Bytes stream = LzhEncode(image);
    archive.insert(archive.end(), stream.begin(), stream.end());
    return archive;
}

Bytes WithLength(const Bytes& archive) {
    Bytes out;
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(archive.size() >> shift));
    out.insert(out.end(), archive.begin(), archive.end());
    return out;
}

// Records the message boxes shown while it lives.
struct TMessageRecorder {
    std::vector<String> texts;
    TMessageDialogHook previous;
    TMessageRecorder() {
        previous = SetMessageDialogHook([this](const String& text, TMsgDlgType, TMsgDlgButtons) {
            texts.push_back(text);
            return mrOk;
        });
    }
    ~TMessageRecorder() { SetMessageDialogHook(previous); }
};

class SkinData : public SkinTest {};

TEST_F(SkinData, PropertiesAfterConstruction) {
    auto data = std::make_unique<TSkinData>(nullptr);
    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } expected[] = {{L"Active", L"False"},     {L"DisableTag", L"99"},           {L"SkinFile", L""},
                    {L"SkinStore", L"(none)"}, {L"SkinFormtype", L"sfMainform"}, {L"Version", L"3.02.03.09"},
                    {L"MenuUpdate", L"True"},  {L"MenuMerge", L"False"}};
    for (const auto& e : expected)
        EXPECT_EQ(GetPropValue(data.get(), e.name), e.value) << StringToUtf8(e.name);
    EXPECT_EQ(data->SkinControls().ToInt(), 0x7FFFBu);
    EXPECT_FALSE(data->SkinControls().Contains(xcMenuItem));
    EXPECT_FALSE(data->SkinControls().Contains(xcFastReport));
    EXPECT_TRUE(data->Options().Empty());
    EXPECT_TRUE(data->SkinNotLoaded());
    EXPECT_TRUE(data->NCPaintEnabled);
    EXPECT_EQ(data->SkinStream()->Size(), 0);
    EXPECT_TRUE(data->IconBitmap.Empty());
    ASSERT_EQ(data->SystemMenuImages()->Count(), 4);
    EXPECT_EQ(data->SystemMenuImages()->Width(), 16);
    EXPECT_EQ(data->SystemMenuImages()->Height(), 16);
    // The constructor makes no manager.
    EXPECT_EQ(SkinManager, nullptr);
}

TEST_F(SkinData, DefaultSkin3rdMap) {
    auto data = std::make_unique<TSkinData>(nullptr);
    TStrings& map = *data->Skin3rd();
    ASSERT_EQ(map.Count(), 110);
    EXPECT_EQ(map[0], L"TAdvPanelGroup=embedscrollbar");
    EXPECT_EQ(map[6], L"TAdvPageControl=nil");
    EXPECT_EQ(map[7], L"TImageEnMView=scrollbar");
    EXPECT_EQ(map[38], L"TLMDGroupBox=Groupbox");
    EXPECT_EQ(map[45], L"TLMDGROUPBOX=Panel");
    EXPECT_EQ(map[108], L"TOVCNUMERICFIELD=Edit");
    EXPECT_EQ(map[109], L"TOVCDBNUMERICFIELD=Edit");
    int twice = 0;
    for (int i = 0; i < map.Count(); ++i)
        for (int j = i + 1; j < map.Count(); ++j) twice += map[i] == map[j];
    EXPECT_EQ(twice, 3);
}

TEST_F(SkinData, WritesThatAreIgnoredAndTheCopiedMap) {
    auto data = std::make_unique<TSkinData>(nullptr);
    SetPropValue(data.get(), L"Version", L"1.0");
    SetPropValue(data.get(), L"SkinStore", L"(Good)");
    EXPECT_EQ(data->Version(), L"3.02.03.09");
    EXPECT_EQ(data->SkinStore(), L"(none)");
    TStringList lines;
    lines.Add(L"TMyGrid=scrollbar");
    data->SetSkin3rd(&lines);
    lines.Add(L"TMore=edit");
    ASSERT_EQ(data->Skin3rd()->Count(), 1);
    EXPECT_EQ((*data->Skin3rd())[0], L"TMyGrid=scrollbar");
}

TEST_F(SkinData, SystemMenuGlyphsHaveWhiteTransparent) {
    auto data = std::make_unique<TSkinData>(nullptr);
    auto canvas = SolidBitmap(16, 16, 0x0000FF);
    data->SystemMenuImages()->Draw(*canvas->Canvas(), 0, 0, 3); // close: a cross
    EXPECT_EQ(PixelOf(*canvas, 0, 0), 0x0000FF);
    EXPECT_EQ(PixelOf(*canvas, 7, 7), 0x000000);
}

// A form description with one skin component; the resource SKIN holds its stream.
void ReadHolder(TComponent* root, const std::string& component, const Bytes& stream) {
    RegisterClass<TSkinData>();
    const std::string text = "object Holder: TComponent\n" + component + "end\n";
    ReadComponentText(root, text, L"holder.dfm", [&](const String& name, std::vector<std::uint8_t>& bytes) {
        if (name != L"SKIN") return false;
        bytes = stream;
        return true;
    });
}

TEST_F(SkinData, FormDescriptionWithASkinStreamStartsTheManager) {
    auto root = std::make_unique<TComponent>(nullptr);
    ReadHolder(root.get(),
               "  object sd1: TSkinData\n"
               "    Active = True\n"
               "    SkinControls = [xcMainMenu, xcPopupMenu, xcMenuItem, xcSystemMenu]\n"
               "    SkinStore = '(Good)'\n"
               "    Version = '3.02.03.09'\n"
               "    SkinStream = {resource 'SKIN'}\n"
               "  end\n",
               WithLength(TabsSkin()));
    auto* data = dynamic_cast<TSkinData*>(root->FindComponent(L"sd1"));
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->SkinNotLoaded());
    EXPECT_NE(data->Tabs, nullptr);
    EXPECT_EQ(data->SkinStream()->Bytes(), TabsSkin());
    EXPECT_TRUE(data->Active());
    // With the main menu skinned, menu items are not skinned on their own.
    EXPECT_FALSE(data->SkinControls().Contains(xcMenuItem));
    EXPECT_TRUE(data->SkinControls().Contains(xcSystemMenu));
    ASSERT_NE(SkinManager, nullptr);
    EXPECT_EQ(SkinManager->SkinDataList(), std::vector<TSkinData*>{data});
    EXPECT_EQ(SkinManager->MainSkinData, data);
    EXPECT_NE(SkinManager->HookHandle(), nullptr);
    // No window has been activated under this manager: skin-all waits, skinning is on.
    EXPECT_EQ(SkinManager->PendingAction, saSkinAll);
    EXPECT_TRUE(SkinManager->Active);
}

TEST_F(SkinData, EmptySkinStreamTurnsActiveOff) {
    auto root = std::make_unique<TComponent>(nullptr);
    ReadHolder(root.get(),
               "  object sd1: TSkinData\n"
               "    Active = True\n"
               "    SkinControls = [xcPopupMenu, xcSystemMenu]\n"
               "    SkinStream = {00000000}\n"
               "  end\n",
               {});
    auto* data = dynamic_cast<TSkinData*>(root->FindComponent(L"sd1"));
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->SkinNotLoaded());
    EXPECT_EQ(data->SkinStream()->Size(), 0);
    EXPECT_FALSE(data->Active());
    // Without the main menu there is no system menu of the engine's own.
    EXPECT_FALSE(data->SkinControls().Contains(xcSystemMenu));
    ASSERT_NE(SkinManager, nullptr);
    EXPECT_FALSE(SkinManager->Active);
    EXPECT_EQ(SkinManager->PendingAction, 0);
}

TEST_F(SkinData, SkinStreamPropertyRoundTrip) {
    auto data = std::make_unique<TSkinData>(nullptr);
    ASSERT_TRUE(LoadArchive(*data, TabsSkin()));
    TMemoryStream stored;
    data->WriteSkinStream(stored);
    EXPECT_EQ(stored.Bytes(), WithLength(TabsSkin()));
    auto copy = std::make_unique<TSkinData>(nullptr);
    stored.SetPosition(0);
    copy->ReadSkinStream(stored);
    EXPECT_FALSE(copy->SkinNotLoaded());
    EXPECT_NE(copy->Tabs, nullptr);
    // A stream shorter than its length is refused; the skin stays.
    Bytes cut = WithLength(ProgressSkin());
    cut.resize(cut.size() - 10);
    TMemoryStream truncated;
    truncated.WriteBuffer(cut.data(), static_cast<std::int64_t>(cut.size()));
    truncated.SetPosition(0);
    EXPECT_THROW(copy->ReadSkinStream(truncated), EReadError);
    EXPECT_EQ(copy->SkinStream()->Bytes(), TabsSkin());
    EXPECT_NE(copy->Tabs, nullptr);
    // So is a length no form could hold.
    TMemoryStream huge;
    const Bytes claim{0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3};
    huge.WriteBuffer(claim.data(), static_cast<std::int64_t>(claim.size()));
    huge.SetPosition(0);
    EXPECT_THROW(copy->ReadSkinStream(huge), EReadError);
    EXPECT_EQ(copy->SkinStream()->Bytes(), TabsSkin());
}

struct TStoreOfTwo {
    std::unique_ptr<TSkinStore> store = std::make_unique<TSkinStore>(nullptr);
    TStoreOfTwo() {
        for (const Bytes& archive : {TabsSkin(), ProgressSkin()}) {
            TMemoryStream bytes;
            bytes.WriteBuffer(archive.data(), static_cast<std::int64_t>(archive.size()));
            bytes.SetPosition(0);
            store->Store()->Add()->ReadDataStream(bytes);
        }
    }
};

TEST_F(SkinData, LoadFromSkinStore) {
    TStoreOfTwo two;
    auto data = std::make_unique<TSkinData>(nullptr);
    data->LoadFromSkinStore(two.store.get(), 0);
    EXPECT_NE(data->Tabs, nullptr);
    EXPECT_FALSE(data->SkinNotLoaded());
    // At or above the count: nothing.
    data->LoadFromSkinStore(two.store.get(), 2);
    data->LoadFromSkinStore(nullptr, 1);
    EXPECT_EQ(data->SkinStream()->Bytes(), TabsSkin());
    // A negative index is refused before anything changes.
    EXPECT_THROW(data->LoadFromSkinStore(two.store.get(), -1), EListError);
    EXPECT_EQ(data->SkinStream()->Bytes(), TabsSkin());
    EXPECT_FALSE(data->SkinNotLoaded());
    data->LoadFromSkinStore(two.store.get(), 1);
    EXPECT_EQ(data->SkinStream()->Bytes(), ProgressSkin());
    EXPECT_EQ(data->Tabs, nullptr);
    EXPECT_NE(data->Progress, nullptr);
    // The item's own position is rewound: loading it twice gives the same skin.
    data->LoadFromSkinStore(two.store.get(), 1);
    EXPECT_EQ(data->SkinStream()->Bytes(), ProgressSkin());
    // Applying a main skin makes it the manager's action skin data.
    ASSERT_NE(SkinManager, nullptr);
    EXPECT_EQ(SkinManager->ActionSkinData, data.get());
}

TEST_F(SkinData, ApplyingSchedulesTheRefreshOnceAWindowWasActivated) {
    TStoreOfTwo two;
    auto data = std::make_unique<TSkinData>(nullptr);
    data->LoadFromSkinStore(two.store.get(), 0);
    ASSERT_NE(SkinManager, nullptr);
    EXPECT_NE(SkinManager->PendingAction, saRefresh);
    SkinManager->ActivationCount = 1;
    data->LoadFromSkinStore(two.store.get(), 1);
    EXPECT_EQ(SkinManager->PendingAction, saRefresh);
    EXPECT_TRUE(SkinManager->ActionTimer()->Enabled());
}

TEST_F(SkinData, AnArchiveOfAnotherVersionKeepsThePreviousSkin) {
    TMessageRecorder messages;
    auto data = std::make_unique<TSkinData>(nullptr);
    ASSERT_TRUE(LoadArchive(*data, TabsSkin()));
    EXPECT_FALSE(LoadArchive(*data, OldArchive()));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], L"This is Older Skin File\rPlease update to new version !");
    EXPECT_NE(data->Tabs, nullptr);
    EXPECT_TRUE(data->SkinNotLoaded());
    // Such a skin cannot be switched on.
    data->SetActive(true);
    EXPECT_TRUE(data->Active());
    EXPECT_EQ(SkinManager, nullptr);
}

TEST_F(SkinData, SwitchingActive) {
    auto data = std::make_unique<TSkinData>(nullptr);
    ASSERT_TRUE(LoadArchive(*data, TabsSkin()));
    data->SetActive(true);
    ASSERT_NE(SkinManager, nullptr);
    EXPECT_EQ(SkinManager->PendingAction, saSkinAll);
    EXPECT_EQ(SkinManager->ActivationCount, 1);
    EXPECT_EQ(SkinManager->ActionSkinData, data.get());
    EXPECT_TRUE(SkinManager->Active);
    data->SetActive(false);
    EXPECT_EQ(SkinManager->PendingAction, saUnskin);
    EXPECT_TRUE(SkinManager->ActionTimer()->Enabled());
    // A dialog skin does not act on its own.
    auto dialog = std::make_unique<TSkinData>(nullptr);
    dialog->SetSkinFormtype(sfDialog);
    ASSERT_TRUE(LoadArchive(*dialog, TabsSkin()));
    SkinManager->PendingAction = 0;
    dialog->SetActive(true);
    EXPECT_EQ(SkinManager->PendingAction, 0);
}

TEST_F(SkinData, FormSkinDecision) {
    auto data = std::make_unique<TSkinData>(nullptr);
    auto decide = [&](const wchar_t* name) {
        bool doSkin = true;
        data->DoFormSkin(name, doSkin);
        return doSkin;
    };
    EXPECT_FALSE(decide(L"SysMonthCal32"));
    EXPECT_TRUE(decide(L"sysmonthcal32"));
    EXPECT_TRUE(decide(L"TfrPreviewForm"));
    data->SetSkinControls(data->SkinControls() + TSkinControlTypes{xcFastReport});
    EXPECT_FALSE(decide(L"TfrPreviewForm"));
    EXPECT_TRUE(decide(L"TFRPreviewForm"));
    // A handler decides alone.
    std::vector<String> asked;
    data->OnFormSkin = [&](TObject* sender, String name, bool& doSkin) {
        EXPECT_EQ(sender, data.get());
        asked.push_back(name);
        doSkin = name != L"TForm2";
    };
    EXPECT_TRUE(decide(L"SysMonthCal32"));
    EXPECT_FALSE(decide(L"TForm2"));
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(SkinData, SkinFile) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "skin-data-test.skn";
    {
        const Bytes archive = ProgressSkin();
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(archive.data()),
                  static_cast<std::streamsize>(archive.size()));
    }
    auto data = std::make_unique<TSkinData>(nullptr);
    data->SetSkinFile(file.wstring());
    EXPECT_FALSE(data->SkinNotLoaded());
    EXPECT_NE(data->Progress, nullptr);
    EXPECT_EQ(data->SkinStream()->Bytes(), ProgressSkin());
    // A file that is not there changes only the name (and the skin counts as not loaded).
    const String missing = (std::filesystem::temp_directory_path() / "no-such-skin.skn").wstring();
    data->SetSkinFile(missing);
    EXPECT_EQ(data->SkinFile(), missing);
    EXPECT_TRUE(data->SkinNotLoaded());
    EXPECT_NE(data->Progress, nullptr);
    EXPECT_EQ(data->SkinStream()->Bytes(), ProgressSkin());
    std::filesystem::remove(file);
}

TEST_F(SkinData, DestroyedComponentsLeaveTheManager) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* main = new TSkinData(form.get());
    auto* second = new TSkinData(form.get());
    main->Loaded();
    second->Loaded();
    ASSERT_NE(SkinManager, nullptr);
    EXPECT_EQ(SkinManager->MainSkinData, main);
    SkinManager->ActionSkinData = main;
    delete main;
    EXPECT_EQ(SkinManager->SkinDataList(), std::vector<TSkinData*>{second});
    EXPECT_EQ(SkinManager->ActionSkinData, nullptr);
    EXPECT_EQ(SkinManager->MainSkinData, second);
    delete second;
    EXPECT_TRUE(SkinManager->SkinDataList().empty());
    EXPECT_EQ(SkinManager->MainSkinData, nullptr);
}

} // namespace
