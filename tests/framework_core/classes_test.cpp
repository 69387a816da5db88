#include "fixtures.h"

#include <framework/sysutils.h>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::vector<String> TakeLog() {
    std::vector<String> log;
    log.swap(TLoggedComponent::Log());
    return log;
}

TEST(Ownership, OwnerDestroysItsComponentsLastCreatedFirst) {
    TakeLog();
    auto* root = new TLoggedComponent(nullptr);
    root->SetName(L"Root");
    auto* a = root->MakeComponent<TLoggedComponent>();
    a->SetName(L"A");
    auto* b = new TLoggedComponent(root);
    b->SetName(L"B");
    auto* a1 = new TLoggedComponent(a);
    a1->SetName(L"A1");
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(root->Components(0), a);
    EXPECT_EQ(b->ComponentIndex(), 1);
    delete root;
    EXPECT_EQ(TakeLog(),
              (std::vector<String>{L"Root before TLoggedComponent", L"B before TLoggedComponent", L"B gone",
                                   L"A before TLoggedComponent", L"A1 before TLoggedComponent", L"A1 gone",
                                   L"A gone", L"Root gone"}));
}

TEST(Ownership, DeletingAnOwnedComponentTakesItOutOfItsOwner) {
    TComponent root(nullptr);
    auto* a = new TLoggedComponent(&root);
    auto* b = new TLoggedComponent(&root);
    a->SetName(L"A");
    b->SetName(L"B");
    delete a;
    ASSERT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.Components(0), b);
    EXPECT_EQ(root.FindComponent(L"a"), nullptr);
    EXPECT_EQ(root.FindComponent(L"b"), b);
    // Moving ownership keeps the component alive.
    TComponent other(nullptr);
    other.InsertComponent(b);
    EXPECT_EQ(root.ComponentCount(), 0);
    EXPECT_EQ(b->Owner(), &other);
    TakeLog();
}

TEST(Ownership, NamesAreIdentifiersAndUniqueAmongSiblings) {
    TComponent root(nullptr);
    auto* a = new TComponent(&root);
    auto* b = new TComponent(&root);
    a->SetName(L"Button1");
    EXPECT_THROW(b->SetName(L"BUTTON1"), EComponentError);
    EXPECT_THROW(b->SetName(L"1Button"), EComponentError);
    EXPECT_THROW(b->SetName(L"But ton"), EComponentError);
    b->SetName(L"_Button2");
    a->SetName(L"");
    b->SetName(L"Button1"); // free again
    EXPECT_EQ(root.FindComponent(L"button1"), b);
}

TEST(Ownership, FreeNotificationClearsAReferenceToAComponentThatGoes) {
    TForm form(nullptr);
    auto* box = new TSampleBox(&form);
    auto* buddy = new TSampleBox(nullptr); // owned by nobody here
    form.SetActiveControl(box);
    EXPECT_EQ(form.ActiveControl(), box);
    delete box;
    EXPECT_EQ(form.ActiveControl(), nullptr);
    delete buddy;
}

TEST(StringList, TextSplitsAtEveryLineEnd) {
    TStringList list;
    list.SetText(L"a\r\nb\nc\rd\r\n");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[3], L"d");
    EXPECT_EQ(list.Text(), L"a\r\nb\r\nc\r\nd\r\n");
    list.SetText(L"");
    EXPECT_EQ(list.Count(), 0);
    list.SetText(L"\r\n\r\n");
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringList, EditingAndIndexErrors) {
    TStringList list;
    list.Add(L"COM1");
    list.Add(L"COM3");
    list.Insert(1, L"COM2");
    EXPECT_EQ(list.IndexOf(L"com2"), 1);
    list.Put(0, L"none");
    list.Delete(2);
    EXPECT_EQ(list.Text(), L"none\r\nCOM2\r\n");
    EXPECT_THROW(list.Strings(2), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(5, L"x"), EListError);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.BeginUpdate();
    list.Add(L"a");
    list.Add(L"b");
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates) {
    TStringList list;
    list.SetSorted(true);
    for (const wchar_t* s : {L"pear", L"Apple", L"fig", L"apple"}) list.Add(s);
    EXPECT_EQ(list.Text(), L"Apple\r\nfig\r\npear\r\n"); // "apple" is a duplicate ignoring case
    EXPECT_THROW(list.Insert(0, L"x"), EListError);
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add(L"FIG"), EListError);
    EXPECT_EQ(list.IndexOf(L"PEAR"), 2);
    EXPECT_EQ(list.IndexOf(L"plum"), -1);
}

TEST(StringList, NameValueLines) {
    TStringList list;
    list.SetText(L"TButton=button\nTEdit=edit");
    EXPECT_EQ(list.Values(L"tedit"), L"edit");
    EXPECT_EQ(list.Names(0), L"TButton");
    list.SetValue(L"TEdit", L"");
    EXPECT_EQ(list.Count(), 1);
}

class TempFile {
public:
    TempFile() {
        wchar_t dir[MAX_PATH], name[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        GetTempFileNameW(dir, L"fwc", 0, name);
        path = name;
    }
    ~TempFile() { DeleteFileW(path.c_str()); }
    std::string Bytes() const {
        TMemoryStream s;
        s.LoadFromFile(path);
        return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
    }
    void Write(const std::string& bytes) const {
        TFileStream f(path, fmCreate);
        f.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    }
    String path;
};

TEST(StringListFiles, SavesInCodePage936OrUtf8WhenThatWouldLoseText) {
    TempFile file;
    TStringList list;
    list.Add(L"卡不存在");
    list.SaveToFile(file.path);
    EXPECT_EQ(file.Bytes(), "\xBF\xA8\xB2\xBB\xB4\xE6\xD4\xDA\r\n");
    list.Add(L"Grüße ✓"); // the check mark has no place in code page 936
    list.SaveToFile(file.path);
    EXPECT_EQ(file.Bytes().substr(0, 3), "\xEF\xBB\xBF");
    TStringList back;
    back.LoadFromFile(file.path);
    EXPECT_EQ(back.Text(), list.Text());
}

TEST(StringListFiles, LoadRecognisesEncodings) {
    struct Case {
        std::string bytes;
        const wchar_t* text;
    } cases[] = {
        {"\xBF\xA8\r\nok", L"卡\r\nok\r\n"},   // code page 936
        {"\xE5\x8D\xA1\nok", L"卡\r\nok\r\n"}, // UTF-8 without mark
        {"\xEF\xBB\xBF"
         "a",
         L"a\r\n"},                                             // UTF-8 with mark
        {std::string("\xFF\xFE\x61\x00\x0A\x00", 6), L"a\r\n"}, // UTF-16 LE
        {"", L""},
    };
    TempFile file;
    for (const auto& c : cases) {
        file.Write(c.bytes);
        TStringList list;
        list.LoadFromFile(file.path);
        EXPECT_EQ(list.Text(), c.text);
    }
}

TEST(Streams, MemoryStreamReadsWritesAndSeeks) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    EXPECT_EQ(s.Position(), 6);
    s.Seek(-2, soEnd);
    char two[2];
    s.ReadBuffer(two, 2);
    EXPECT_EQ(std::string(two, 2), "ef");
    char more[4];
    EXPECT_EQ(s.Read(more, 4), 0);
    EXPECT_THROW(s.ReadBuffer(more, 1), EReadError);
    s.SetPosition(1);
    s.WriteBuffer("XY", 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Memory()), 6), "aXYdef");
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    TMemoryStream copy;
    copy.CopyFrom(s, 0);
    EXPECT_EQ(copy.Bytes(), (std::vector<std::uint8_t>{'a', 'X'}));
}

TEST(Streams, FileErrorsNameTheFile) {
    try {
        TFileStream f(L"C:\\no such folder\\x.bin", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find(L"Cannot open file \"C:\\no such folder\\x.bin\""), String::npos);
    }
    EXPECT_THROW(TFileStream(L"C:\\no such folder\\x.bin", fmCreate), EFCreateError);
}

TEST(Collections, ItemsComeFromTheFactoryAndCopyByAssign) {
    TCollectionOf<TSampleEntry> panels(nullptr);
    std::vector<TCollectionItem*> updates;
    panels.OnUpdate = [&](TCollectionItem* item) { updates.push_back(item); };
    panels.Add()->SetText(L"  RFID");
    panels.Add()->SetWidth(30);
    ASSERT_EQ(panels.Count(), 2);
    EXPECT_EQ(panels.Items(1)->Index(), 1);
    EXPECT_EQ(panels.Items(0)->Collection(), &panels);
    TCollectionOf<TSampleEntry> copy(nullptr);
    copy.Assign(&panels);
    EXPECT_EQ(copy.Items(0)->Text(), L"  RFID");
    EXPECT_EQ(copy.Items(1)->Width(), 30);
    panels.Items(1)->SetIndex(0);
    EXPECT_EQ(panels.Items(0)->Width(), 30);
    panels.Delete(0);
    EXPECT_EQ(panels.Count(), 1);
    EXPECT_THROW(panels.Items(1), EListError);
    EXPECT_EQ(updates.size(), 4u);
}

TEST(Persistent, AssignBetweenUnrelatedClassesIsAnError) {
    TStringList list;
    TFont font;
    try {
        list.Assign(&font);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"Cannot assign a TFont to a TStringList");
    }
}

TEST(Exceptions, MessageAndUtf8What) {
    EConvertError e(L"'卡' is not a valid integer value");
    EXPECT_STREQ(e.what(), "'\xE5\x8D\xA1' is not a valid integer value");
    EXPECT_EQ(e.ClassName(), L"EConvertError");
    EXPECT_TRUE(e.Is<Exception>());
}

} // namespace
