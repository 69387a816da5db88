#include <string>
#include <vector>

#include "fixture2.h"

#include <commctrl.h>

#include "skin_controls/WinSubClass_Header.h"

namespace {

const char* const kForm = R"(object HeaderForm: TForm
  Caption = 'Headers'
  ClientWidth = 400
  ClientHeight = 260
end
)";

class HeaderTest : public SkinControlTest {
protected:
    void SetUp() override {
        SkinControlTest::SetUp();
        form = LoadForm(kForm);
        ShowQuietly(*form);
    }
    void TearDown() override {
        form.reset();
        SkinControlTest::TearDown();
    }
    HWND Child(const wchar_t* cls, DWORD style, RECT r) {
        return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    HWND NewHeader(const std::vector<std::wstring>& items, int width) {
        HWND h = Child(WC_HEADERW, HDS_HORZ, RECT{10, 10, 10 + width, 34});
        for (std::size_t i = 0; i < items.size(); ++i) {
            HDITEMW item{};
            item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            item.cxy = 80;
            item.fmt = HDF_LEFT | HDF_STRING;
            item.pszText = const_cast<wchar_t*>(items[i].c_str());
            SendMessageW(h, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        return h;
    }
    std::unique_ptr<TForm> form;
    TWinSkinForm skinForm{nullptr};
};

TEST_F(HeaderTest, ItemsAndTheRestOfTheStripAreFrameOneAndTheHeadersEraseIsSkipped) {
    auto skin = MakePartSkin();
    HWND header = NewHeader({L"Name", L"Value"}, 300);
    auto* skinner = new TSkinHeader(&skinForm);
    skinner->AttachWindow(header, skin.get(), skinForm.ControlCanvas(), &skinForm);

    auto picture = PaintPicture(header);
    // Inside each item (past its margin, away from the text) and right of the last one.
    EXPECT_EQ(PixelAt(*picture, 70, 20), PartFrame(pkHeader, 1));
    EXPECT_EQ(PixelAt(*picture, 150, 20), PartFrame(pkHeader, 1));
    EXPECT_EQ(PixelAt(*picture, 250, 12), PartFrame(pkHeader, 1));
    EXPECT_EQ(PixelAt(*picture, 298, 3), PartFrame(pkHeader, 1));
    // The text is drawn over the frame.
    bool text = false;
    for (int x = 2; x < 40 && !text; ++x)
        for (int y = 2; y < 22 && !text; ++y) text = PixelAt(*picture, x, y) != PartFrame(pkHeader, 1);
    EXPECT_TRUE(text);

    auto erase = SolidBitmap(300, 24, 0x00FF00);
    EXPECT_EQ(SendMessageW(header, WM_ERASEBKGND, reinterpret_cast<WPARAM>(erase->Canvas()->Handle()), 0), 1);
    EXPECT_EQ(PixelAt(*erase, 5, 5), 0x00FF00);
    delete skinner;
}

TEST_F(HeaderTest, WithoutAHeaderbarTheHeaderKeepsItsSystemLook) {
    auto skin = MakePartSkin({.Header = false});
    HWND header = NewHeader({L"Name"}, 200);
    auto before = PaintPicture(header);
    auto* skinner = new TSkinHeader(&skinForm);
    skinner->AttachWindow(header, skin.get(), skinForm.ControlCanvas(), &skinForm);
    auto after = PaintPicture(header);
    for (int x : {5, 50, 150}) EXPECT_EQ(PixelAt(*after, x, 12), PixelAt(*before, x, 12)) << x;
    delete skinner;
}

TEST_F(HeaderTest, ItemTextsOfAnyLengthAndImagesArePaintedInsideTheirItems) {
    auto skin = MakePartSkin();
    HWND header = NewHeader({std::wstring(300, L'W'), L""}, 300);
    HIMAGELIST images = ImageList_Create(8, 8, ILC_COLOR24, 1, 1);
    auto glyph = SolidBitmap(8, 8, 0x0000FF);
    ImageList_Add(images, glyph->Handle(), nullptr);
    SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_LEFT | HDF_STRING | HDF_IMAGE;
    item.iImage = 0;
    SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    // The empty item gets its frame but not its image.
    SendMessageW(header, HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&item));

    auto* skinner = new TSkinHeader(&skinForm);
    skinner->AttachWindow(header, skin.get(), skinForm.ControlCanvas(), &skinForm);
    auto picture = PaintPicture(header);
    EXPECT_EQ(PixelAt(*picture, 5, 12), 0x0000FF); // the image, 2 pixels in
    EXPECT_EQ(PixelAt(*picture, 85, 12), PartFrame(pkHeader, 1));
    EXPECT_EQ(PixelAt(*picture, 78, 2), PartFrame(pkHeader, 1)); // text ends inside the item
    delete skinner;
    SendMessageW(header, HDM_SETIMAGELIST, 0, 0);
    ImageList_Destroy(images);
}

TEST_F(HeaderTest, SizeBoxAndDialogChildAreFilledWithTheFaceColour) {
    auto skin = MakePartSkin();
    HWND grip = Child(L"ScrollBar", SBS_SIZEBOX | SBS_SIZEGRIP, RECT{300, 200, 320, 220});
    auto* sizer = new TSkinSizer(&skinForm);
    sizer->AttachWindow(grip, skin.get(), skinForm.ControlCanvas(), &skinForm);
    auto picture = PaintPicture(grip);
    EXPECT_EQ(PixelAt(*picture, 10, 10), TestFace);
    EXPECT_EQ(ScreenPixel(grip, 15, 15), TestFace);

    HWND dialog = Child(L"#32770", 0, RECT{10, 60, 110, 160});
    auto* box = new TSkinBoxH(&skinForm);
    box->AttachWindow(dialog, skin.get(), skinForm.ControlCanvas(), &skinForm);
    auto erase = SolidBitmap(100, 100, 0x00FF00);
    EXPECT_EQ(SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(erase->Canvas()->Handle()), 0), 0);
    EXPECT_EQ(PixelAt(*erase, 50, 50), TestFace);
    EXPECT_EQ(ScreenPixel(dialog, 50, 50), TestFace);

    // Unskinned by its window's end: both give the window procedure back before it goes.
    DestroyWindow(grip);
    DestroyWindow(dialog);
    EXPECT_EQ(sizer->State, 6);
    EXPECT_EQ(box->State, 6);
    skinForm.PurgeSkinControls();
    EXPECT_TRUE(skinForm.SkinControlList.empty());
}

// A check box of a foreign library that takes custom glyphs through published properties.
class TGlyphCheck : public TWinControl {
    DECLARE_PUBLISHED
public:
    using TWinControl::TWinControl;
    TBitmap Glyphs;
    int Transparent = 0;
    bool UseGlyphs = true;
    std::vector<bool> UseLog;
    TBitmap* GetGlyphs() { return &Glyphs; }
    int GetTransparent() const { return Transparent; }
    void SetTransparent(int v) { Transparent = v; }
    bool GetUse() const { return UseGlyphs; }
    void SetUse(bool v) {
        UseGlyphs = v;
        UseLog.push_back(v);
    }
};

} // namespace

const TClassInfo* TGlyphCheck::StaticClassInfo() {
    static const TClassInfo info(
        L"TGlyphCheck", TWinControl::StaticClassInfo(),
        {ObjProp<TGlyphCheck>(L"CustomGlyphs", &TGlyphCheck::GetGlyphs),
         IntProp<TGlyphCheck>(L"TransparentColor", &TGlyphCheck::GetTransparent,
                              &TGlyphCheck::SetTransparent),
         BoolProp<TGlyphCheck>(L"UseCustomGlyphs", &TGlyphCheck::GetUse, &TGlyphCheck::SetUse)});
    return &info;
}

namespace {

TEST_F(HeaderTest, GlyphCellsAreCutFromTheCheckStripAndPushedIntoTheControl) {
    struct Case {
        int frames;
        // Frame shown in cells 1 to 9; 0 = left as created.
        int cells[9];
    };
    for (const Case& c : {Case{4, {1, 2, 0, 1, 2, 0, 3, 4, 0}}, Case{5, {1, 2, 5, 1, 2, 5, 3, 4, 5}}}) {
        TTestSkinParts parts;
        parts.CheckFrames = c.frames;
        auto skin = MakeTestSkin(parts);
        auto* check = new TGlyphCheck(form.get());
        check->SetParent(form.get());
        auto* skinner = new TSkinObjImage(check);
        skinner->Mode = 1;
        skinner->AttachControl(&skinForm, skin.get(), skinForm.ControlCanvas(), true);
        ASSERT_EQ(check->Glyphs.Width(), 9 * 13) << c.frames;
        TBitmap blank(13, 13, pf24bit);
        const TColor created = PixelAt(blank, 0, 0);
        for (int k = 0; k < 9; ++k) {
            const TColor expected = c.cells[k] ? CheckFrame(c.cells[k]) : created;
            EXPECT_EQ(PixelAt(check->Glyphs, 13 * k + 6, 6), expected) << c.frames << " cell " << k + 1;
        }
        EXPECT_EQ(check->Transparent, 0xFF00FF);
        EXPECT_EQ(check->UseLog, (std::vector<bool>{false, true}));

        // A new skin is pushed again; unskinning switches the custom glyphs off.
        skinner->SkinChanged();
        EXPECT_EQ(check->UseLog.size(), 4u);
        skinner->Unskin();
        EXPECT_FALSE(check->UseGlyphs);
        delete check; // frees its skinner
        EXPECT_TRUE(skinForm.SkinControlList.empty());
    }
}

TEST_F(HeaderTest, AControlWithoutCustomGlyphsKeepsItsOwnAndModeZeroPushesNothing) {
    auto skin = MakeTestSkin();
    auto* plain = new TPanel(form.get());
    plain->SetParent(form.get());
    auto* skinner = new TSkinObjImage(plain);
    skinner->Mode = 1;
    skinner->AttachControl(&skinForm, skin.get(), skinForm.ControlCanvas(), true);
    EXPECT_EQ(skinner->State, 1);
    skinner->Unskin();

    auto* check = new TGlyphCheck(form.get());
    check->SetParent(form.get());
    auto* idle = new TSkinObjImage(check);
    idle->Mode = 0;
    idle->AttachControl(&skinForm, skin.get(), skinForm.ControlCanvas(), true);
    idle->SkinChanged();
    idle->Unskin();
    EXPECT_TRUE(check->Glyphs.Empty());
    EXPECT_TRUE(check->UseLog.empty());
}

} // namespace
