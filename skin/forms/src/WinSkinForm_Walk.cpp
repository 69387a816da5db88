// The control walk: which controls of a skinned window get a control skinner. Until the control
// skinners exist nothing is attached, so every list stays empty.
#include "skin_forms/WinSkinForm.h"

void TWinSkinForm::SkinComponents(TComponent*) {}

void TWinSkinForm::SkinComponent(TComponent*, TComponent*) {}

bool TWinSkinForm::SkinByKind(const String&, TComponent*) {
    return false;
}

bool TWinSkinForm::NeedsScrollSkinner(TComponent*) {
    return false;
}

bool TWinSkinForm::IsSkinned(TComponent*) {
    return false;
}

void TWinSkinForm::SkinChildWindows() {}

void TWinSkinForm::SkinChildWindow(HWND) {}

TSkinControl* TWinSkinForm::FindSkinControl(HWND) const {
    return nullptr;
}

bool TWinSkinForm::AddSkinControl(TSkinControl*) {
    return false;
}

void TWinSkinForm::RemoveSkinControl(TSkinControl*) {}

void TWinSkinForm::PurgeSkinControls() {}

void TWinSkinForm::FreeSkinControls() {
    SkinControlList.clear();
}

void TWinSkinForm::SkinControlsChanged() {}

void TWinSkinForm::ReleaseHotControl() {
    HotControlSkinner = nullptr;
}

bool TWinSkinForm::HotControlContains(POINT) const {
    return false;
}
