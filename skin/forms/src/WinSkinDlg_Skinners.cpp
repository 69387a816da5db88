// The skin manager's work on form skinners and popup-menu skinners. The engine does not make
// these skinners yet, so both lists stay empty and every operation here finds nothing to do.
#include "skin_forms/WinSkinDlg.h"

TWinSkinForm* TSkinManage::FindSkinForm(HWND) const {
    return nullptr;
}

void TSkinManage::RemoveForm(HWND) {}

void TSkinManage::PurgeForms() {}

void TSkinManage::ClearSysButtons() {}

void TSkinManage::SetMDIMaximized(bool maximized) {
    if (maximized == MDIMaximized) return;
    MDIMaximized = maximized;
}

bool TSkinManage::UnskinPopupMenu(HWND) {
    if (FPopups.empty()) PopupMode = 0;
    return false;
}

bool TSkinManage::IsPopupMenuSkinned(HWND) const {
    return false;
}

TBitmap* TSkinManage::GetPopupMenuBitmap(HMENU) const {
    return nullptr;
}

void TSkinManage::FreePopupMenus() {
    FPopups.clear();
}

bool TSkinManage::CreateFormSkinner(HWND, TCustomForm*, TSkinData*) {
    return false;
}

void TSkinManage::AttachPopupSkinner(HWND, TSkinData*) {}

void TSkinManage::SkinSizeGrip(HWND, HWND) {}

void TSkinManage::UnskinForms(TSkinData*, bool) {}

void TSkinManage::RefreshForms(TSkinData*, bool) {}
