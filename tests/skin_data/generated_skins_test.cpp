#include "skin_fixtures.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

namespace fs = std::filesystem;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The seven skins the programs carry: the component's own (its stored form: length, archive) and
// the six of the store.
struct TSkinFile {
    const char* file;
    bool stored;
};
const TSkinFile kSkins[] = {{"Standard.stream", true}, {"skin1.skn", false}, {"skin2.skn", false},
                            {"skin3.skn", false},      {"skin4.skn", false}, {"Skin5.skn", false},
                            {"Skin6.skn", false}};

std::unique_ptr<TSkinData> LoadSkin(const TSkinFile& skin) {
    const Bytes bytes = ReadFile(fs::path(SKINS_DIR) / skin.file);
    EXPECT_FALSE(bytes.empty());
    auto data = std::make_unique<TSkinData>(nullptr);
    if (skin.stored) {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        stream.SetPosition(0);
        data->ReadSkinStream(stream);
    } else {
        EXPECT_TRUE(LoadArchive(*data, bytes));
    }
    return data;
}

// A strip of count frames side by side, each at least minWidth x minHeight.
void ExpectStrip(const char* what, TBitmap& strip, int count, int minWidth = 1, int minHeight = 1) {
    SCOPED_TRACE(what);
    ASSERT_FALSE(strip.Empty());
    ASSERT_GT(count, 0);
    EXPECT_EQ(strip.Width() % count, 0);
    EXPECT_GE(strip.Width() / count, minWidth);
    EXPECT_GE(strip.Height(), minHeight);
}

class GeneratedSkins : public testing::TestWithParam<TSkinFile> {
protected:
    void TearDown() override { FreeSkinManager(); }
};

TEST_P(GeneratedSkins, LoadWithEveryElementThePaintersUse) {
    auto data = LoadSkin(GetParam());
    ASSERT_FALSE(data->SkinNotLoaded());
    TSkinData& d = *data;

    // The frame: two frames each (active, inactive); the side borders carry the caption's and the
    // bottom border's height unscaled.
    for (TBorderPart part : {bpLeft, bpRight, bpTop, bpBottom}) EXPECT_EQ(d.Border(part).FrameCount, 2);
    TDataSkinBorder &left = d.Border(bpLeft), &top = d.Border(bpTop), &bottom = d.Border(bpBottom);
    ExpectStrip("left", left.Bitmap, 2);
    ExpectStrip("right", d.Border(bpRight).Bitmap, 2);
    ASSERT_FALSE(top.Bitmap.Empty());
    ASSERT_FALSE(bottom.Bitmap.Empty());
    const int caption = top.Bitmap.Height() / 2, border = bottom.Bitmap.Height() / 2;
    EXPECT_EQ(left.TopHeight, caption);
    EXPECT_EQ(left.BottomHeight, border);
    EXPECT_EQ(left.Bitmap.Width() / 2, border);
    EXPECT_GT(left.Bitmap.Height(), left.TopHeight + left.BottomHeight);
    EXPECT_GT(top.Bitmap.Width(), top.LeftWidth + top.RightWidth);
    ASSERT_NE(d.MenuBar, nullptr);
    ExpectStrip("menu bar", d.MenuBar->Bitmap, 2);
    EXPECT_NE(d.Title->ActiveText, clNone);
    EXPECT_NE(d.Title->InActiveText, clNone);

    // Caption buttons: close, maximize and restore sharing a place, minimize, the system menu;
    // then the three of a maximized MDI child, cut from MDICONTROLS.
    std::set<std::pair<int, int>> shown; // action, visibility1
    for (const auto& b : d.SysButtons) {
        SCOPED_TRACE(b->Name);
        ExpectStrip("caption button", b->Bitmap, b->FrameCount);
        shown.insert({b->Action, b->Visibility1});
        if (b->Align == 1 || b->Align == 0) {
            EXPECT_LE(b->Ycoord + b->Bitmap.Height(), caption);
        }
    }
    for (std::pair<int, int> wanted :
         {std::pair{0, 0}, std::pair{1, 2}, std::pair{1, 1}, std::pair{2, 0}, std::pair{3, 0},
          std::pair{7, 100}, std::pair{8, 100}, std::pair{9, 100}})
        EXPECT_TRUE(shown.count(wanted)) << wanted.first << "/" << wanted.second;

    // Controls.
    ExpectStrip("buttons", d.Buttons->Bitmap, 5, d.Buttons->LeftWidth + d.Buttons->RightWidth + 1);
    EXPECT_EQ(d.Buttons->Trans, 1);
    ExpectStrip("check boxes", d.Buttons->CheckButton, d.Buttons->CheckButtonFrame, 13, 13);
    EXPECT_EQ(d.Buttons->CheckButtonFrame, 12);
    ExpectStrip("radio buttons", d.Buttons->RadioButton, d.Buttons->RadioButtonFrame, 13, 13);
    EXPECT_EQ(d.Buttons->RadioButtonFrame, 8);
    const std::pair<const char*, TDataSkinObject*> elements[] = {
        {"Progress", d.Progress.get()},
        {"GroupBoxEdge", d.GroupBoxEdge.get()},
        {"GroupBox", d.GroupBox.get()},
        {"Toolbars", d.Toolbars.get()},
        {"Tabs", d.Tabs.get()},
        {"StatusBarEdges", d.StatusBarEdges.get()},
        {"ComboButton", d.ComboButton.get()},
        {"SunkEdge", d.SunkEdge.get()},
        {"ExtraImages", d.ExtraImages.get()},
        {"Headerbar", d.Headerbar.get()},
        {"MenuItem", d.MenuItem.get()},
        {"MenuBackground", d.MenuBackground.get()},
        {"Scrollbar", d.Scrollbar.get()},
        {"HorzScroll", d.HorzScroll.get()},
        {"VertScroll", d.VertScroll.get()},
        {"HorzScrollThumb", d.HorzScrollThumb.get()},
        {"VertScrollThumb", d.VertScrollThumb.get()},
        {"Trackbar.ThumbHorz", d.TrackbarThumbHorz.get()},
        {"Trackbar.ThumbVert", d.TrackbarThumbVert.get()},
        {"Trackbar.ThumbLeft", d.TrackbarThumbLeft.get()},
        {"Trackbar.ThumbRight", d.TrackbarThumbRight.get()},
        {"Trackbar.ThumbUp", d.TrackbarThumbUp.get()},
        {"Trackbar.ThumbDown", d.TrackbarThumbDown.get()},
        {"UpDown.Horz", d.UpDownHorz.get()},
        {"UpDown.Vert", d.UpDownVert.get()},
    };
    for (const auto& [name, element] : elements) {
        ASSERT_NE(element, nullptr) << name;
        ExpectStrip(name, element->Bitmap, element->FrameCount);
    }
    ExpectStrip("progress chunk", d.Progress->Bitmap2, 1);
    // The page border is drawn with edges of 4 and a top of 5.
    ExpectStrip("tab border", d.Tabs->Bitmap2, 1, 9, 10);
    ExpectStrip("up-down glyphs", d.UpDownVert->Bitmap2, 8);
    ExpectStrip("up-down glyphs", d.UpDownHorz->Bitmap2, 8);
    EXPECT_EQ(d.ComboButton->Style, 2); // the composed combo strip
    EXPECT_EQ(d.Scrollbar->FrameCount, 23);
    EXPECT_EQ(d.HorzScrollThumb->FrameCount, d.VertScrollThumb->FrameCount);
    EXPECT_GE(d.MenuBackground->Bitmap.Width(), 7); // the popup's 3-pixel ring

    // Every colour is the skin's own, none a system colour.
    for (TColor c :
         {d.Colours.WindowText, d.Colours.ButtonFace, d.Colours.Scrollbar, d.Colours.HilightText,
          d.Colours.Hilight, d.Colours.Menubar, d.Colours.Menu, d.Colours.MenuText, d.Colours.ButtonText,
          d.Colours.ButtonHilight, d.Colours.Buttonlight, d.Colours.ButtonShadow, d.Colours.ButtonDkShadow,
          d.Colours.MenuBarText, d.Colours.TitleTextActive, d.Colours.TitleTextNoActive})
        EXPECT_EQ(c & clSystemColor, 0);
}

INSTANTIATE_TEST_SUITE_P(SkinData, GeneratedSkins, testing::ValuesIn(kSkins), [](const auto& info) {
    std::string name = info.param.file;
    return name.substr(0, name.find('.'));
});

TEST(GeneratedSkinsAll, EachHasALookOfItsOwn) {
    std::set<TColor> faces, captions;
    for (const TSkinFile& skin : kSkins) {
        auto data = LoadSkin(skin);
        faces.insert(data->Colours.ButtonFace);
        captions.insert(PixelOf(data->Border(bpTop).Bitmap, data->Border(bpTop).Bitmap.Width() / 2, 4));
    }
    EXPECT_EQ(faces.size(), std::size(kSkins));
    EXPECT_EQ(captions.size(), std::size(kSkins));
    FreeSkinManager();
}

} // namespace
