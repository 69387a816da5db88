#include "skin_forms/WinSkinDlg.h"

#include "WinSkinForm_Internal.h"

#include <framework/childcreation.h>
#include <framework/showseam.h>

#include <algorithm>
#include <cstdlib>

#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinForm.h"
#include "skin_forms/WinSkinMenu.h"

std::unique_ptr<TSkinManage> SkinManager;
DWORD WinVersion = 0;

namespace {

std::string LowerAscii(std::string text) {
    for (char& ch : text)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return text;
}

} // namespace

void CreateSkinManager() {
    if (SkinManager) return;
    SkinManager = std::make_unique<TSkinManage>();
    // Freed at the end of the program, before the framework's own objects go.
    static const bool finalisation = std::atexit(FreeSkinManager) == 0;
    (void)finalisation;
}

void FreeSkinManager() {
    SkinManager.reset();
}

TSkinManage::TSkinManage() : FActionTimer(std::make_unique<TTimer>(nullptr)) {
    FActionTimer->SetEnabled(false);
    FActionTimer->SetInterval(TSkinData::ActionDelay);
    FActionTimer->OnTimer = [this](TObject* Sender) { TimerAction(Sender); };
    ChildCreationSeam().Begin = [] {
        if (SkinManager) SkinManager->SuspendHook();
    };
    ChildCreationSeam().End = [] {
        if (!SkinManager) return;
        SkinManager->ResumeHook();
        // The hook saw none of them: which window they went into is not known here.
        SkinManager->ControlWindowsMade(nullptr);
    };
    FormShowSeam().BeforeShow = [](HWND window) {
        if (SkinManager) SkinManager->SkinBeforeShow(window);
    };
}

TSkinManage::~TSkinManage() {
    ChildCreationSeam() = TChildCreationSeam{};
    FormShowSeam() = TFormShowSeam{};
    ActivationCount = 4;
    FActionTimer.reset();
    FHook.Reset();
    // Skinners of plain windows that are still listed go with the manager; a form's skinner goes
    // with its form.
    for (TWinSkinForm* skinner : std::exchange(FForms, {}))
        if (!skinner->Owner()) delete skinner;
    FreePopupMenus();
}

void TSkinManage::InstallHook() {
    WinVersion = GetVersion();
    if (FHook) return;
    FHookSuspended = false;
    FHookThread = GetCurrentThreadId();
    FHook.Reset(SetWindowsHookExW(WH_CBT, CBTHookProc, nullptr, FHookThread));
}

void TSkinManage::SuspendHook() {
    if (!FHook || FHookThread != GetCurrentThreadId()) return;
    FHook.Reset();
    FHookSuspended = true;
}

void TSkinManage::ResumeHook() {
    if (!FHookSuspended || FHookThread != GetCurrentThreadId()) return;
    FHookSuspended = false;
    if (!FHook) FHook.Reset(SetWindowsHookExW(WH_CBT, CBTHookProc, nullptr, FHookThread));
}

void TSkinManage::AddSkinData(TSkinData* data) {
    if (!data || std::find(FSkinData.begin(), FSkinData.end(), data) != FSkinData.end()) return;
    FSkinData.push_back(data);
    if (!MainSkinData && data->SkinFormtype() == sfMainform) MainSkinData = data;
}

void TSkinManage::RemoveSkinData(TSkinData* data) {
    auto it = std::find(FSkinData.begin(), FSkinData.end(), data);
    if (it != FSkinData.end()) FSkinData.erase(it);
    // Windows skinned with a component that goes lose the skin rather than keep reading it.
    const std::vector<TWinSkinForm*> forms = FForms;
    for (TWinSkinForm* skinner : forms)
        if (IsListed(skinner) && skinner->SkinData == data) UnskinAndFree(skinner);
    std::erase_if(FPopups, [data](const auto& popup) { return popup->SkinData == data; });
    if (ActionSkinData == data) ActionSkinData = nullptr;
    if (MainSkinData == data) {
        MainSkinData = nullptr;
        for (TSkinData* other : FSkinData)
            if (other->SkinFormtype() == sfMainform) {
                MainSkinData = other;
                break;
            }
    }
}

void TSkinManage::ScheduleAction(int action, unsigned interval) {
    PendingAction = action;
    FActionTimer->SetInterval(interval);
    if (ActivationCount != 0) {
        FActionTimer->SetEnabled(true);
        return;
    }
    // No window has been activated yet: the first activation skins through the hook.
    if (action == saSkinAll) Active = true;
    if (action == saUnskin) Active = false;
}

void TSkinManage::TimerAction(TObject*) {
    TSkinData* data = ActionSkinData;
    if (!data) return;
    FActionTimer->SetEnabled(false);
    const bool onlyThisForm = data->SkinFormtype() == sfOnlyThisForm;
    switch (PendingAction) {
    case saSkinAll: {
        Active = true;
        TValueScope bulk(Bulk, true);
        const std::vector<TCustomForm*> forms = ScreenForms();
        if (onlyThisForm) {
            for (auto it = forms.rbegin(); it != forms.rend(); ++it)
                if (*it == data->Owner()) {
                    SkinForm(*it);
                    break;
                }
        } else {
            PurgeForms();
            for (auto it = forms.rbegin(); it != forms.rend(); ++it) SkinForm(*it);
        }
        break;
    }
    case saUnskin:
        Active = false;
        PurgeForms();
        UnskinForms(data, onlyThisForm);
        break;
    case saRefresh:
        PurgeForms();
        RefreshForms(data, onlyThisForm);
        break;
    case saPurge:
        PurgeForms();
        break;
    default:
        break;
    }
    // Forgotten before the event: a handler that loads another skin schedules anew.
    ActionSkinData = nullptr;
    data->DoSkinChanged();
}

bool TSkinManage::SkinWindow(HWND window) {
    if (!Active) return false;
    PurgeForms();
    if (SendMessageW(window, SKM_ISSKINNED, 0, 0) == 1) return false;
    if (FindSkinForm(window)) return false;
    TCustomForm* form = FindScreenForm(window);
    // Plain child windows are skinned only while the skin-all action walks the forms.
    if (!Bulk && IsNonMDIChild(window)) return false;
    RECT r{};
    GetWindowRect(window, &r);
    if (r.right == r.left || r.bottom == r.top) return false;
    if (form && form->Tag() == 99) return false;
    const std::string className = GetWindowClassString(window);
    if (className == "TApplication" || className == "TQRStandardPreview") return false;
    if (!CanSkin(AnsiToWide(className))) return false;
    TSkinData* data = FindSkinData(window);
    if (!data || data->SkinNotLoaded()) return false;
    return CreateFormSkinner(window, form, data);
}

void TSkinManage::SkinBeforeShow(HWND window) {
    // A window that shows minimized or maximized, or that cannot take the activation, is left to
    // the hook: skinned now it would not be skinned as it is then.
    if (!Active || !IsWindowEnabled(window) || IsIconic(window) || IsZoomed(window)) return;
    if (!SkinWindow(window)) return;
    // The skinning the skinner posted for itself is done before the window shows, not after.
    MSG message;
    if (PeekMessageW(&message, window, SKM_SKINNOW, SKM_SKINNOW, PM_REMOVE)) DispatchMessageW(&message);
}

void TSkinManage::SkinForm(TCustomForm* form) {
    if (!form || !form->Visible() || !form->HandleAllocated()) return;
    const HWND window = form->Handle();
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD) || form->FormStyle() == fsMDIChild)
        SkinWindow(window);
}

bool TSkinManage::CanSkin(const String& className) const {
    if (!MainSkinData) return true;
    bool doSkin = true;
    MainSkinData->DoFormSkin(className, doSkin);
    return doSkin;
}

TSkinData* TSkinManage::FindSkinData(HWND window) const {
    auto last = [this](auto matches) -> TSkinData* {
        for (auto it = FSkinData.rbegin(); it != FSkinData.rend(); ++it)
            if (matches(*it)) return *it;
        return nullptr;
    };
    if (TSkinData* own = last([window](TSkinData* d) {
            auto* owner = dynamic_cast<TWinControl*>(d->Owner());
            return d->SkinFormtype() == sfOnlyThisForm && owner && owner->HandleAllocated() &&
                   owner->Handle() == window;
        }))
        return own;
    const std::string className = LowerAscii(GetWindowClassString(window));
    if (className == "tmessageform" || className == "#32770")
        if (TSkinData* dialog = last([](TSkinData* d) { return d->SkinFormtype() == sfDialog; }))
            return dialog;
    if (TSkinData* main = last([](TSkinData* d) { return d->SkinFormtype() == sfMainform; })) return main;
    return FSkinData.empty() ? nullptr : FSkinData.front();
}

TCustomForm* TSkinManage::FindScreenForm(HWND window) {
    return dynamic_cast<TCustomForm*>(TWinControl::FindControl(window));
}

std::vector<TCustomForm*> TSkinManage::ScreenForms() {
    std::vector<TCustomForm*> forms;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) CALLBACK -> BOOL {
            if (TCustomForm* form = FindScreenForm(window))
                reinterpret_cast<std::vector<TCustomForm*>*>(list)->push_back(form);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&forms));
    return forms;
}

bool TSkinManage::IsNonMDIChild(HWND window) {
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) return false;
    return LowerAscii(GetWindowClassString(GetParent(window))) != "mdiclient";
}

bool TSkinManage::SkinPopupMenu(HWND window) {
    if (!Active || SendMessageW(window, SKM_ISSKINNED, 0, 0) == 1 || IsPopupMenuSkinned(window)) return false;
    TSkinData* data = FindSkinData(window);
    if (!data || data->SkinNotLoaded()) return false;
    const TSkinControlTypes kinds = data->SkinControls();
    bool wanted = false;
    switch (PopupMode) {
    case 0:
        wanted = kinds.Contains(xcPopupMenu);
        break;
    case 1:
        wanted = kinds.Contains(xcMainMenu) || kinds.Contains(xcMenuItem);
        break;
    case 2:
        wanted = kinds.Contains(xcSystemMenu);
        break;
    default:
        break;
    }
    if (wanted) AttachPopupSkinner(window, data);
    return false;
}

LRESULT CALLBACK CBTHookProc(int code, WPARAM wParam, LPARAM lParam) {
    TSkinManage* m = SkinManager.get();
    const HHOOK hook = m ? m->HookHandle() : nullptr;
    try {
        if (m && code >= 0 && m->Active) {
            const auto window = reinterpret_cast<HWND>(wParam);
            switch (code) {
            case HCBT_CREATEWND: {
                const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
                const std::string className = GetWindowClassString(window);
                if (className == "ScrollBar" && (cs->style & SBS_SIZEGRIP))
                    m->SkinSizeGrip(cs->hwndParent, window);
                if (!(cs->style & WS_CHILD) && className == "#32768") m->SkinPopupMenu(window);
                if (cs->style & WS_CHILD) m->ControlWindowsMade(GetAncestor(cs->hwndParent, GA_ROOT));
                break;
            }
            case HCBT_DESTROYWND:
                m->UnskinPopupMenu(window);
                break;
            case HCBT_ACTIVATE:
                if (m->ActivationCount == 0) m->ActivationCount = 1;
                m->SkinWindow(window);
                break;
            default:
                break;
            }
        } else if (m && code == HCBT_ACTIVATE && m->ActivationCount == 0) {
            m->ActivationCount = 1;
        }
    } catch (...) {
        ReportCurrentException(nullptr);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}
