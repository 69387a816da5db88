// The form skinner's control walk: which control gets which control skinner, and the list of the
// skinners attached to the window's controls.
#include "skin_forms/WinSkinForm.h"

#include <algorithm>

#include "skin_controls/WinSubClass.h"

// Provisional until the form skinner stands.
TWinSkinForm::TWinSkinForm(TComponent* AOwner) : TComponent(AOwner) {}
TWinSkinForm::~TWinSkinForm() {
    FreeSkinControls();
}

TSkinControl* TWinSkinForm::FindSkinControl(HWND window) const {
    for (TSkinControl* s : FSkinControls)
        if (s->Handle == window && s->State != 6) return s;
    return nullptr;
}

bool TWinSkinForm::AddSkinControl(TSkinControl* skinner) {
    if (std::find(FSkinControls.begin(), FSkinControls.end(), skinner) != FSkinControls.end()) return true;
    FSkinControls.push_back(skinner);
    return false;
}

void TWinSkinForm::RemoveSkinControl(TSkinControl* skinner) {
    auto it = std::find(FSkinControls.rbegin(), FSkinControls.rend(), skinner);
    if (it != FSkinControls.rend()) FSkinControls.erase(std::next(it).base());
    if (HotControl == skinner) HotControl = nullptr;
}

void TWinSkinForm::PurgeSkinControls() {
    for (std::size_t i = FSkinControls.size(); i-- > 0;) {
        if (i >= FSkinControls.size()) continue;
        TSkinControl* s = FSkinControls[i];
        if (s->State != 6) continue;
        FSkinControls.erase(FSkinControls.begin() + static_cast<std::ptrdiff_t>(i));
        s->SkinForm = nullptr;
        delete s;
    }
}

void TWinSkinForm::FreeSkinControls() {
    while (!FSkinControls.empty()) {
        TSkinControl* s = FSkinControls.front();
        if (s->State != 6) s->Unskin();
        FSkinControls.erase(FSkinControls.begin());
        s->SkinForm = nullptr;
        delete s;
    }
    HotControl = nullptr;
}
