#include <gtest/gtest.h>

#include <framework/formreader.h>
#include <framework/sysutils.h>
#include <framework/typinfo.h>

#include "skin_archive/SkinRead.h"
#include "skin_data/WinSkinStore.h"
#include "skinpack/SkinPack.h"

namespace {

void SetData(TSkinCollectionItem* item, const std::string& bytes) {
    TMemoryStream source;
    source.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    source.SetPosition(0);
    item->ReadDataStream(source);
}

std::string DataOf(const TSkinCollectionItem* item) {
    TMemoryStream out;
    item->WriteDataStream(out);
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

// A store on its own (no form), with items named as given.
struct TStoreFixture {
    std::unique_ptr<TSkinStore> store = std::make_unique<TSkinStore>(nullptr);
    TSkinCollectionItem* Add(const String& name, const std::string& data) {
        TSkinCollectionItem* item = store->Store()->Add();
        item->SetName(name);
        SetData(item, data);
        return item;
    }
    TSkinCollectionItem* Item(int i) const { return store->Store()->Items(i); }
};

TEST(SkinStore, NewItemsAreNamedByTheirId) {
    TStoreFixture f;
    auto* first = f.store->Store()->Add();
    auto* second = f.store->Store()->Add();
    EXPECT_EQ(first->Name(), L"SkinItem0");
    EXPECT_EQ(second->Name(), L"SkinItem1");
    EXPECT_EQ(second->DisplayName(), L"SkinItem1");
    f.store->Store()->Delete(0);
    EXPECT_EQ(f.store->Store()->Add()->Name(), L"SkinItem2");
}

struct TRenameCase {
    const char* what;
    int item;
    String name;
    bool refused;
};

class Renames : public testing::TestWithParam<TRenameCase> {};

TEST_P(Renames, KeepNamesUniqueByExactComparison) {
    const auto& c = GetParam();
    TStoreFixture f;
    f.Add(L"Skin5", "a");
    f.Add(L"skin1", "b");
    f.Add(L"skin2", "c");
    const String before = f.Item(c.item)->Name();
    if (c.refused) {
        try {
            f.Item(c.item)->SetName(c.name);
            FAIL() << c.what;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), L"The name " + c.name + L" is already used.") << c.what;
        }
        EXPECT_EQ(f.Item(c.item)->Name(), before) << c.what;
    } else {
        EXPECT_NO_THROW(f.Item(c.item)->SetName(c.name)) << c.what;
        EXPECT_EQ(f.Item(c.item)->Name(), c.name) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Names, Renames,
                         testing::Values(TRenameCase{"own name", 2, L"skin2", false},
                                         TRenameCase{"name of item 0", 2, L"Skin5", true},
                                         TRenameCase{"name of item 0 in other case", 2, L"SKIN5", false},
                                         TRenameCase{"a new name", 0, L"Skin6", false},
                                         TRenameCase{"name of item 1", 0, L"skin1", true}));

TEST(SkinStore, AssigningACollectionCopiesNamesAndIndependentData) {
    TStoreFixture source, target;
    source.Add(L"Skin5", "archive five");
    source.Add(L"skin1", "archive one");
    target.Add(L"old", "old data");

    target.store->SetStore(source.store->Store());
    ASSERT_EQ(target.store->Store()->Count(), 2);
    EXPECT_EQ(target.Item(0)->Name(), L"Skin5");
    EXPECT_EQ(DataOf(target.Item(0)), "archive five");
    EXPECT_EQ(target.Item(1)->Name(), L"skin1");
    EXPECT_EQ(target.Item(1)->DataSize(), 11);

    SetData(source.Item(0), "changed");
    source.Item(1)->SetName(L"renamed");
    EXPECT_EQ(DataOf(target.Item(0)), "archive five");
    EXPECT_EQ(target.Item(1)->Name(), L"skin1");
}

TEST(SkinStore, SettingANullStoreChangesNothing) {
    TStoreFixture f;
    f.Add(L"Skin5", "x");
    f.store->SetStore(nullptr);
    ASSERT_EQ(f.store->Store()->Count(), 1);
    EXPECT_EQ(f.Item(0)->Name(), L"Skin5");
}

TEST(SkinStore, AssigningAnItemOfAnotherClassFails) {
    TStoreFixture f;
    f.Add(L"Skin5", "x");
    TStringList strings;
    EXPECT_THROW(f.Item(0)->Assign(&strings), EConvertError);
    EXPECT_EQ(DataOf(f.Item(0)), "x");
}

TEST(SkinStore, ItemWithoutDataStreamsNothing) {
    TStoreFixture f;
    auto* item = f.store->Store()->Add();
    EXPECT_EQ(item->DataSize(), 0);
    EXPECT_EQ(DataOf(item), "");
}

TEST(SkinStore, ReadingDataReplacesIt) {
    TStoreFixture f;
    auto* item = f.Add(L"Skin5", "a much longer archive");
    SetData(item, "short");
    EXPECT_EQ(DataOf(item), "short");
    EXPECT_EQ(item->DataSize(), 5);
}

TEST(SkinStore, CopyDataToAppendsAndKeepsThePosition) {
    TStoreFixture f;
    auto* item = f.Add(L"Skin5", "0123456789");
    item->DataStream()->SetPosition(4);
    TMemoryStream out;
    out.WriteBuffer("head:", 5);
    item->CopyDataTo(out);
    EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "head:0123456789");
    EXPECT_EQ(item->DataStream()->Position(), 4);
}

TEST(SkinStore, PublishedProperties) {
    TStoreFixture f;
    auto* item = f.Add(L"Skin5", "abc");
    EXPECT_EQ(GetObjectProp(f.store.get(), L"Store"), f.store->Store());
    EXPECT_EQ(GetStrProp(item, L"name"), L"Skin5");
    SetStrProp(item, L"Name", L"skin3");
    EXPECT_EQ(item->Name(), L"skin3");
    EXPECT_EQ(GetStrProp(item, L"SkinData"), L"Load Skin");
    SetStrProp(item, L"SkinData", L"anything");
    EXPECT_EQ(GetStrProp(item, L"SkinData"), L"Load Skin");
    EXPECT_EQ(GetOrdProp(item, L"DataSize"), 3);
    EXPECT_THROW(SetOrdProp(item, L"DataSize", 9), Exception);

    const TPropInfo* data = GetPropInfo(item, L"DataStream");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->Kind, tkBinary);
    TMemoryStream bytes;
    bytes.WriteBuffer("stored", 6);
    bytes.SetPosition(0);
    data->ReadData(item, bytes);
    TMemoryStream written;
    data->WriteData(item, written);
    EXPECT_EQ(std::string(written.Bytes().begin(), written.Bytes().end()), "stored");
}

// An item keeps the archive alone, as the archive reader takes it.
TEST(SkinStore, ItemDataOpensAsASkinArchive) {
    const std::vector<TArchiveEntry> entries = {{"skin.ini", {'[', 'S', ']'}},
                                                {"Button.bmp", {'B', 'M', 1, 2}}};
    const auto archive = PackArchive(entries);
    TStoreFixture f;
    auto* item = f.Add(L"Skin5", std::string(archive.begin(), archive.end()));

    TMemoryStream copy;
    item->CopyDataTo(copy);
    TByteStream stored(copy.Bytes());
    TSkinReader reader;
    ASSERT_TRUE(reader.OpenArchive(stored));
    TByteStream bitmap;
    reader.GetEntry("button.bmp", bitmap);
    EXPECT_EQ(bitmap.Size(), 4);
}

// The form keeps each item's archive as the binary property DataStream.
TEST(SkinStore, ReadFromAFormDescription) {
    RegisterClass<TSkinStore>();
    const char* text = "object Holder: TComponent\n"
                       "  object skinstore1: TSkinStore\n"
                       "    Store = <\n"
                       "      item\n"
                       "        Name = 'Skin5'\n"
                       "        DataStream = {0A0B0C}\n"
                       "      end\n"
                       "      item\n"
                       "        Name = 'skin1'\n"
                       "        DataStream = {resource 'SKIN1'}\n"
                       "      end\n"
                       "      item\n"
                       "      end>\n"
                       "  end\n"
                       "end\n";
    auto root = std::make_unique<TComponent>(nullptr);
    ReadComponentText(root.get(), text, L"store.dfm",
                      [](const String& name, std::vector<std::uint8_t>& bytes) {
                          if (name != L"SKIN1") return false;
                          bytes = {'B', 'M', '!'};
                          return true;
                      });
    auto* store = dynamic_cast<TSkinStore*>(root->FindComponent(L"skinstore1"));
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(store->Store()->Count(), 3);
    EXPECT_EQ(store->Store()->Items(0)->Name(), L"Skin5");
    EXPECT_EQ(DataOf(store->Store()->Items(0)), "\x0A\x0B\x0C");
    EXPECT_EQ(DataOf(store->Store()->Items(1)), "BM!");
    EXPECT_EQ(store->Store()->Items(2)->Name(), L"SkinItem2");
    EXPECT_EQ(store->Store()->Items(2)->DataSize(), 0);
}

TEST(SkinStore, DuplicateNameInADescriptionStopsLoading) {
    RegisterClass<TSkinStore>();
    const char* text = "object Holder: TComponent\n"
                       "  object skinstore1: TSkinStore\n"
                       "    Store = <\n"
                       "      item\n"
                       "        Name = 'skin1'\n"
                       "      end\n"
                       "      item\n"
                       "        Name = 'skin1'\n"
                       "      end>\n"
                       "  end\n"
                       "end\n";
    auto root = std::make_unique<TComponent>(nullptr);
    try {
        ReadComponentText(root.get(), text, L"store.dfm", nullptr);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find(L"The name skin1 is already used."), String::npos) << e.what();
    }
}

} // namespace
