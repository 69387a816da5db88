#include <gtest/gtest.h>

#include <functional>

#include "archive_fixtures.h"
#include "skin_archive/SkinRead.h"
#include "skin_archive/WinConvert.h"

namespace {

// Opens an archive made from a hand-laid image; records the message shown, if any.
struct TOpened {
    TSkinReader reader;
    std::string message;
    bool result = false;

    explicit TOpened(const Bytes& image) { result = Open(image); }
    bool Open(const Bytes& image) {
        reader.OnMessage = [this](const std::string& text) { message = text; };
        TByteStream stream(Compress(image));
        return reader.OpenArchive(stream);
    }
};

TRawImage SampleImage() {
    TRawImage image;
    image.NameText = "Button.BMP\r\nxi01.ini\r\ndup.bmp\r\ndup.bmp\r\nEMPTY.bmp\r\n";
    image.Sizes = {3, 6, 2, 2, 0};
    image.Data = ToBytes("BM1[Skin]d1d2");
    return image;
}

struct TLookupCase {
    std::string name;
    std::string data; // empty: not found
};

class GetEntryLookups : public testing::TestWithParam<TLookupCase> {};

TEST_P(GetEntryLookups, FindTheFirstEntryOfThatNameInLowerCase) {
    TOpened archive(SampleImage().Build());
    ASSERT_TRUE(archive.result);
    TByteStream out(ToBytes("stale"));
    archive.reader.GetEntry(GetParam().name, out);
    EXPECT_EQ(TextOf(out), GetParam().data) << GetParam().name;
    EXPECT_EQ(out.Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(SampleArchive, GetEntryLookups,
                         testing::Values(TLookupCase{"button.bmp", "BM1"}, TLookupCase{"BUTTON.bmp", "BM1"},
                                         TLookupCase{"xi01.ini", "[Skin]"}, TLookupCase{"dup.bmp", "d1"},
                                         TLookupCase{"empty.bmp", ""}, TLookupCase{"button", ""},
                                         TLookupCase{"missing.bmp", ""}));

struct TFindCase {
    std::string text;
    std::string data;
    std::string name; // "unchanged" when nothing matches
};

class FindEntryLookups : public testing::TestWithParam<TFindCase> {};

TEST_P(FindEntryLookups, FindTheFirstEntryContainingTheText) {
    TOpened archive(SampleImage().Build());
    ASSERT_TRUE(archive.result);
    TByteStream out(ToBytes("stale"));
    std::string name = "unchanged";
    archive.reader.FindEntry(GetParam().text, out, name);
    EXPECT_EQ(TextOf(out), GetParam().data) << GetParam().text;
    EXPECT_EQ(name, GetParam().name) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(SampleArchive, FindEntryLookups,
                         testing::Values(TFindCase{".ini", "[Skin]", "xi01.ini"},
                                         // The text is not lower-cased, the names are.
                                         TFindCase{".INI", "", "unchanged"},
                                         TFindCase{"button", "BM1", "button.bmp"},
                                         TFindCase{"dup", "d1", "dup.bmp"},
                                         TFindCase{".bmp", "BM1", "button.bmp"},
                                         TFindCase{"nothing", "", "unchanged"}));

struct TNameListCase {
    const char* what;
    std::string text;
    std::vector<std::string> names;
};

class NameLists : public testing::TestWithParam<TNameListCase> {};

TEST_P(NameLists, SplitIntoLines) {
    const auto& c = GetParam();
    TRawImage image;
    image.NameText = c.text;
    image.Sizes.assign(c.names.size(), 0);
    TOpened archive(image.Build());
    ASSERT_TRUE(archive.result) << c.what;
    EXPECT_EQ(archive.reader.Names(), c.names) << c.what;
    EXPECT_EQ(archive.reader.Count(), static_cast<int>(c.names.size())) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, NameLists,
    testing::Values(TNameListCase{"CR LF", "A.bmp\r\nb.ini\r\n", {"a.bmp", "b.ini"}},
                    TNameListCase{"CR and LF alone", "a\rb\nc", {"a", "b", "c"}},
                    TNameListCase{"LF CR makes an empty line", "a\n\rb\r\n", {"a", "", "b"}},
                    TNameListCase{"no names", "", {}}, TNameListCase{"one empty line", "\r\n", {""}}));

TEST(SkinReader, EmptyNameListGivesNoEntries) {
    TRawImage image;
    image.Data = ToBytes("loose bytes");
    TOpened archive(image.Build());
    ASSERT_TRUE(archive.result);
    EXPECT_EQ(archive.reader.Count(), 0);
    TByteStream out;
    std::string name;
    archive.reader.GetEntry("", out);
    EXPECT_EQ(out.Size(), 0);
    EXPECT_FALSE(archive.reader.FindEntry(".ini", out, name));
}

TEST(SkinReader, OlderVersionShowsTheMessageAndIsRefused) {
    TRawImage image = SampleImage();
    image.Version = 19999;
    TOpened archive(image.Build());
    EXPECT_FALSE(archive.result);
    EXPECT_EQ(archive.message, "This is Older Skin File\rPlease update to new version !");
}

TEST(SkinReader, EntryDataBeyondTheSizesIsKeptButNotListed) {
    TRawImage image;
    image.NameText = "a\r\n";
    image.Sizes = {2};
    image.Data = ToBytes("xyTRAILING");
    TOpened archive(image.Build());
    ASSERT_TRUE(archive.result);
    TByteStream out;
    archive.reader.GetEntry("a", out);
    EXPECT_EQ(TextOf(out), "xy");
}

TEST(SkinReader, AsManyNamesAsTheTableHoldsAreRead) {
    TRawImage image;
    for (int i = 0; i < TSkinReader::MaxEntries; ++i) image.NameText += "e" + std::to_string(i) + "\r\n";
    image.Sizes.assign(TSkinReader::MaxEntries, 1);
    image.Data.assign(TSkinReader::MaxEntries, 'z');
    image.Data.back() = 'L';
    TOpened archive(image.Build());
    ASSERT_TRUE(archive.result);
    TByteStream out;
    archive.reader.GetEntry("e1000", out);
    EXPECT_EQ(TextOf(out), "L");
}

struct TBrokenCase {
    const char* what;
    Bytes stored; // the whole stored archive
};

TBrokenCase Broken(const char* what, const std::function<void(TRawImage&)>& spoil) {
    TRawImage image = SampleImage();
    spoil(image);
    return {what, Compress(image.Build())};
}

Bytes ShortImage() {
    Bytes image = SampleImage().Build();
    image.resize(15);
    return image;
}

class BrokenDirectories : public testing::TestWithParam<TBrokenCase> {};

// A directory that does not fit its data is refused, and the reader keeps what it had.
TEST_P(BrokenDirectories, AreRefusedAndThePreviousDirectoryStays) {
    const auto& c = GetParam();
    TOpened archive(SampleImage().Build());
    ASSERT_TRUE(archive.result);
    TByteStream stream(c.stored);
    EXPECT_FALSE(archive.reader.OpenArchive(stream)) << c.what;
    EXPECT_EQ(archive.message, "") << c.what;
    EXPECT_EQ(archive.reader.Count(), 5) << c.what;
    TByteStream out;
    archive.reader.GetEntry("dup.bmp", out);
    EXPECT_EQ(TextOf(out), "d1") << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Directories, BrokenDirectories,
    testing::Values(Broken("name length past the end", [](TRawImage& i) { i.NameLength = 1000; }),
                    Broken("negative name length", [](TRawImage& i) { i.NameLength = -5; }),
                    Broken("size table past the end",
                           [](TRawImage& i) {
                               i.Sizes.clear();
                               i.Data.clear();
                           }),
                    Broken("negative size", [](TRawImage& i) { i.Sizes[1] = -1; }),
                    Broken("sizes past the data", [](TRawImage& i) { i.Sizes[4] = 1; }),
                    Broken("sizes whose sum wraps",
                           [](TRawImage& i) {
                               i.Sizes = {0x7FFFFFFF, 0x7FFFFFFF, 2, 2, 4};
                           }),
                    Broken("more names than the table holds",
                           [](TRawImage& i) {
                               i.NameText.clear();
                               for (int n = 0; n <= TSkinReader::MaxEntries; ++n) i.NameText += "x\r\n";
                               i.Sizes.assign(TSkinReader::MaxEntries + 1, 0);
                           }),
                    TBrokenCase{"image shorter than its header", Compress(ShortImage())},
                    TBrokenCase{"declared size 0", WithSize(0, {})},
                    TBrokenCase{"negative declared size", WithSize(-1, {0xFF, 0xFF})},
                    TBrokenCase{"no declared size", {0x10, 0x00}}));

TEST(SkinReader, StreamEndingEarlyRaisesOutOfOpenArchive) {
    const Bytes stream = LzhEncode(SampleImage().Build());
    TSkinReader reader;
    TByteStream claimed(WithSize(100000, Bytes(stream.begin(), stream.begin() + 2)));
    EXPECT_THROW(reader.OpenArchive(claimed), ElzhException);
}

TEST(SkinReader, DecompressReadsFromTheStartAndEmptiesTheOutput) {
    const Bytes image = SampleImage().Build();
    TByteStream input(Compress(image));
    input.SetPosition(7);
    TByteStream output(ToBytes("old content that is longer than nothing"));
    TSkinReader reader;
    reader.Decompress(input, output);
    EXPECT_EQ(Bytes(output.Bytes().begin(), output.Bytes().end()), image);
}

} // namespace
