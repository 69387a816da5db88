// The skin manager's work on form skinners and popup-menu skinners.
#include <algorithm>

#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"
#include "skin_forms/WinSkinForm.h"
#include "skin_forms/WinSkinMenu.h"

TWinSkinForm* TSkinManage::FindSkinForm(HWND window) const {
    for (TWinSkinForm* skinner : FForms)
        if (skinner->Window == window) return skinner;
    return nullptr;
}

bool TSkinManage::IsListed(const TWinSkinForm* skinner) const {
    return std::find(FForms.begin(), FForms.end(), skinner) != FForms.end();
}

void TSkinManage::RemoveForm(HWND window) {
    auto it =
        std::find_if(FForms.begin(), FForms.end(), [window](TWinSkinForm* s) { return s->Window == window; });
    if (it != FForms.end()) FForms.erase(it);
}

void TSkinManage::PurgeForms() {
    for (std::size_t i = FForms.size(); i-- > 0;) {
        if (i >= FForms.size() || FForms[i]->State != fsGone) continue;
        TWinSkinForm* skinner = FForms[i];
        FForms.erase(FForms.begin() + static_cast<std::ptrdiff_t>(i));
        delete skinner;
    }
}

void TSkinManage::ClearSysButtons() {
    for (TWinSkinForm* skinner : FForms)
        if (skinner->SkinData == ActionSkinData) skinner->FreeSysButtons();
}

void TSkinManage::SetMDIMaximized(bool maximized) {
    if (maximized == MDIMaximized) return;
    MDIMaximized = maximized;
    const std::vector<TWinSkinForm*> forms = FForms;
    for (TWinSkinForm* skinner : forms) {
        if (!IsListed(skinner) || skinner->WindowKind != wkMDIChild) continue;
        if (maximized) {
            skinner->ClearRegion();
            skinner->SetCaptionStyle(true);
        } else if (skinner->ShowState == ssMaximized) {
            skinner->SetCaptionStyle(true);
        } else {
            skinner->ShowState = ssNormal;
            skinner->UpdateRegion();
            skinner->SetCaptionStyle(false);
            if (!skinner->RegionSet) skinner->RefreshFrame();
        }
    }
}

bool TSkinManage::UnskinPopupMenu(HWND window) {
    bool found = false;
    auto it =
        std::find_if(FPopups.begin(), FPopups.end(), [window](const auto& p) { return p->Window == window; });
    if (it != FPopups.end()) {
        std::unique_ptr<TWinSkinPopMenu> popup = std::move(*it);
        FPopups.erase(it);
        popup->Detach();
        found = true;
    }
    if (FPopups.empty()) PopupMode = 0;
    return found;
}

bool TSkinManage::IsPopupMenuSkinned(HWND window) const {
    return std::any_of(FPopups.begin(), FPopups.end(),
                       [window](const auto& p) { return p->Window == window; });
}

TBitmap* TSkinManage::GetPopupMenuBitmap(HMENU menu) const {
    TWinSkinPopMenu* popup = FindPopupMenu(menu);
    return popup ? &popup->Background : nullptr;
}

TWinSkinPopMenu* TSkinManage::FindPopupMenu(HMENU menu) const {
    for (const auto& popup : FPopups)
        if (popup->Menu == menu) return popup.get();
    return nullptr;
}

void TSkinManage::ControlWindowsMade(HWND topLevel) {
    for (TWinSkinForm* skinner : FForms)
        if (!topLevel || skinner->Window == topLevel) skinner->ScheduleControlWalk();
}

void TSkinManage::MarkPopupMenus() {
    for (const auto& popup : FPopups) {
        if (!popup->Attached() || !IsWindow(popup->Window)) continue;
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup->Window, MN_GETHMENU, 0, 0));
        if (menu) popup->Menu = menu;
    }
}

void TSkinManage::FreePopupMenus() {
    FPopups.clear();
}

bool TSkinManage::CreateFormSkinner(HWND window, TCustomForm* form, TSkinData* data) {
    // A form's skinner belongs to the form (it goes with it); a plain window's to this list.
    auto* skinner = new TWinSkinForm(form);
    skinner->Window = window;
    try {
        if (form)
            skinner->AttachForm(data, form);
        else
            skinner->HookWindow(data);
    } catch (...) {
        delete skinner;
        throw;
    }
    FForms.push_back(skinner);
    PostMessageW(window, SKM_SKINNOW, 0, 1000);
    return true;
}

void TSkinManage::AttachPopupSkinner(HWND window, TSkinData* data) {
    auto popup = std::make_unique<TWinSkinPopMenu>();
    popup->Attach(window, data, nullptr);
    FPopups.push_back(std::move(popup));
}

void TSkinManage::SkinSizeGrip(HWND parent, HWND grip) {
    if (TWinSkinForm* skinner = FindSkinForm(parent)) skinner->SkinChildWindow(grip);
}

void TSkinManage::UnskinAndFree(TWinSkinForm* skinner) {
    const HWND window = skinner->Window;
    skinner->UnskinWindow();
    if (IsWindow(window)) RepaintWindow(window);
    auto it = std::find(FForms.begin(), FForms.end(), skinner);
    if (it == FForms.end()) return; // freed meanwhile
    FForms.erase(it);
    delete skinner;
}

void TSkinManage::UnskinForms(TSkinData* data, bool onlyThisForm) {
    const std::vector<TWinSkinForm*> forms = FForms;
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        if (!IsListed(*it) || (onlyThisForm && (*it)->SkinData != data)) continue;
        UnskinAndFree(*it);
        if (onlyThisForm) break;
    }
}

void TSkinManage::RefreshForms(TSkinData* data, bool onlyThisForm) {
    std::vector<TWinSkinForm*> forms;
    for (TWinSkinForm* skinner : FForms)
        if (skinner->SkinData == data) {
            forms.push_back(skinner);
            if (onlyThisForm) break;
        }
    for (TWinSkinForm* skinner : forms) {
        skinner->FreeSysButtons();
        skinner->BuildSysButtons();
    }
    for (TWinSkinForm* skinner : forms)
        if (IsListed(skinner)) skinner->Reskin();
}
