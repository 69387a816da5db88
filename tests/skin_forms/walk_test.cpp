// The control walk: controls whose windows are made after the form was skinned.
#include "form_fixture.h"

#include <framework/comctrls.h>
#include <framework/extctrls.h>
#include <framework/stdctrls.h>

#include "skin_controls/WinSubClass.h"

namespace {

// Whether the tab skinner is there or not, a control shown later gets its skinner.
TEST_F(SkinnedFormTest, AControlShownLaterIsSkinnedInAnyContainer) {
    const struct {
        const char* name;
        bool tabKind, tabsElement;
    } cases[] = {{"no tab kind", false, true}, {"no Tabs element", true, false}, {"tab skinner", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        TSkinControlTypes kinds = data_->SkinControls();
        if (!c.tabKind) kinds = kinds - TSkinControlTypes{xcTab};
        data_->SetSkinControls(kinds);
        if (!c.tabsElement) data_->Tabs->Bitmap.FreeImage();

        auto* pages = new TPageControl(form_.get());
        pages->SetParent(form_.get());
        pages->SetBounds(8, 8, 300, 120);
        auto* first = new TTabSheet(form_.get());
        first->SetPageControl(pages);
        auto* second = new TTabSheet(form_.get());
        second->SetPageControl(pages);
        auto* onPage = new TButton(form_.get());
        onPage->SetParent(second);
        onPage->SetBounds(8, 8, 80, 24);
        auto* panel = new TPanel(form_.get());
        panel->SetParent(form_.get());
        panel->SetBounds(8, 140, 200, 60);
        panel->SetVisible(false);
        auto* inPanel = new TButton(form_.get());
        inPanel->SetParent(panel);
        inPanel->SetBounds(8, 8, 80, 24);
        pages->SetActivePageIndex(0);

        TWinSkinForm* skinner = ShowSkinned();
        ASSERT_NE(skinner, nullptr);
        EXPECT_FALSE(onPage->HandleAllocated()) << "a page not shown gets no windows at start";
        EXPECT_FALSE(inPanel->HandleAllocated());

        auto skinned = [&](TWinControl* control) {
            return control->HandleAllocated() && skinner->FindSkinControl(control->Handle()) != nullptr;
        };
        pages->SetActivePageIndex(1);
        EXPECT_TRUE(Pump(5000, [&] { return skinned(onPage); })) << "the page's button";
        panel->SetVisible(true);
        EXPECT_TRUE(Pump(5000, [&] { return skinned(inPanel); })) << "the panel's button";
    }
}

} // namespace
