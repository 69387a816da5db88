#pragma once
// The skin manager: one per process. It decides which top-level windows and popup menus get
// skinned, creates their skinners, and carries out the whole-application skin actions (skin all,
// unskin, refresh, purge) one timer tick after they are asked for. It watches window creation,
// activation and destruction on the GUI thread through a thread-local CBT hook.

#include <framework/forms.h>
#include <framework/handles.h>
#include <framework/timer.h>

#include <memory>
#include <vector>

#include "skin_data/SkinDraw.h"

class TSkinData;
class TWinSkinForm;    // the form skinner (WinSkinForm.h)
class TWinSkinPopMenu; // the popup-menu skinner

// Private window messages of the skin engine, sent or posted to top-level windows or controls that
// the engine subclasses. 0x3505 is not used.
constexpr UINT SKM_RESKIN = 0x3401;        // a framework form's WindowProc re-applies the skin
constexpr UINT SKM_NCREPAINT = 0x3502;     // the form skinner repaints the non-client area
constexpr UINT SKM_SKINNOW = 0x3503;       // posted (0, 1000) once a window's skinner exists: skin it now
constexpr UINT SKM_ISSKINNED = 0x3504;     // answered 1 by every window the engine subclasses
constexpr UINT SKM_SKINENABLE = 0x3506;    // control skinners: wParam > 0 on, 0 off
constexpr UINT SKM_BUTTONACTION = 0x3514;  // caption button with an action of no built-in meaning
constexpr UINT SKM_BUTTONVISIBLE = 0x3515; // asked for a caption button: an answer > 0 shows it
constexpr UINT SKM_CHECKREPAINT = 0xB0D0;  // check-box and radio-button skinners repaint

// The skin actions the action timer carries out.
enum TSkinAction : int { saSkinAll = 1, saUnskin = 2, saRefresh = 3, saPurge = 6 };

using THookHandle = TOwnedHandle<HHOOK, UnhookWindowsHookEx>;

class TSkinManage : public TObject {
public:
    TSkinManage();
    ~TSkinManage() override;
    TSkinManage(const TSkinManage&) = delete;
    TSkinManage& operator=(const TSkinManage&) = delete;

    // The CBT hook of the calling thread; one hook serves every skin component, so a second
    // install keeps the first.
    void InstallHook();
    HHOOK HookHandle() const { return FHook.Get(); }
    // Takes the hook out while the framework makes a window's child windows on the hook's thread,
    // and puts it back after: the hook skins none of them (no size grip, no popup menu, no
    // activation), and Wine pays for a hook on every window made.
    void SuspendHook();
    void ResumeHook();

    // Registers a skin component; the first main-form one becomes the main skin data.
    void AddSkinData(TSkinData* data);
    // Forgets a component being destroyed, also as the main or action skin data.
    void RemoveSkinData(TSkinData* data);
    const std::vector<TSkinData*>& SkinDataList() const { return FSkinData; }

    // Stores the action for the action timer and starts it, unless no window has been activated
    // yet: then skin all and unskin only switch Active at once.
    void ScheduleAction(int action, unsigned interval);
    // The action timer's tick: carries out the pending action for the action skin data, then
    // tells that component (OnSkinChanged) and forgets it.
    void TimerAction(TObject* Sender);
    TTimer* ActionTimer() const { return FActionTimer.get(); }

    // Decides and skins one top-level window; true when a skinner was made for it.
    bool SkinWindow(HWND window);
    // A hidden top-level window about to be shown normally, which activates it: skinned now as its
    // activation would skin it, and its controls and frame done too, so that it first shows skinned.
    void SkinBeforeShow(HWND window);
    // SkinWindow for a visible form that is not a child window (or is an MDI child).
    void SkinForm(TCustomForm* form);
    // The main skin data's answer for a window class (true without main skin data).
    bool CanSkin(const String& className) const;
    // The skin component that skins this window: the window's own, a dialog's, the main one, or
    // the first registered; nullptr when none is registered.
    TSkinData* FindSkinData(HWND window) const;
    // The framework form of a window, nullptr for any other window.
    static TCustomForm* FindScreenForm(HWND window);
    // The program's forms as the action timer walks them (top-level forms of this thread, front first).
    static std::vector<TCustomForm*> ScreenForms();
    // A child window that is not an MDI child.
    static bool IsNonMDIChild(HWND window);

    // --- the form skinners and popup-menu skinners ---
    TWinSkinForm* FindSkinForm(HWND window) const;
    void RemoveForm(HWND window);
    // Frees the skinners whose windows are gone.
    void PurgeForms();
    // Frees the caption-button objects of the windows skinned with the action skin data.
    void ClearSysButtons();
    void SetMDIMaximized(bool maximized);
    // Child windows were made inside a top-level window (nullptr: any of them) after its controls
    // were walked: a page or a panel shown for the first time, in any container. Its skinner walks
    // them once the showing has gone round.
    void ControlWindowsMade(HWND topLevel);
    bool SkinPopupMenu(HWND window);
    bool UnskinPopupMenu(HWND window);
    bool IsPopupMenuSkinned(HWND window) const;
    TBitmap* GetPopupMenuBitmap(HMENU menu) const;
    // The first listed popup-menu skinner of that menu, or nullptr.
    TWinSkinPopMenu* FindPopupMenu(HMENU menu) const;
    // Gives every listed popup-menu skinner the menu its window shows. The pending link alone goes
    // wrong when two popups paint before an item is drawn (a submenu opening) or when the first item
    // drawn belongs to another popup: items would then copy another window's background.
    void MarkPopupMenus();
    void FreePopupMenus();

    // Skinning is on; when off, the hook and SkinWindow do nothing.
    bool Active = false;
    // True only while the skin-all action walks the forms: lets SkinWindow skin child windows.
    bool Bulk = false;
    // 0 until the first window activation; see ScheduleAction and TSkinData::ApplySkin.
    int ActivationCount = 0;
    // The popup menu about to open: 0 context menu, 1 menu-bar popup, 2 window (system) menu.
    int PopupMode = 0;
    bool MDIMaximized = false;
    HWND MDIClientWindow = nullptr;
    TCustomForm* MDIFrameForm = nullptr;
    // TSkinAction values; 0 when none is pending.
    int PendingAction = 0;
    // The component whose action is pending; nullptr after each action.
    TSkinData* ActionSkinData = nullptr;
    // The first registered main-form component; nullptr when there is none.
    TSkinData* MainSkinData = nullptr;

private:
    // Makes the skinner of a window that passed every rule of SkinWindow.
    bool CreateFormSkinner(HWND window, TCustomForm* form, TSkinData* data);
    // Makes and lists the skinner of a popup-menu window that passed the rules of SkinPopupMenu.
    void AttachPopupSkinner(HWND window, TSkinData* data);
    // A size grip created inside a skinned window gets a control skinner from that window's skinner.
    void SkinSizeGrip(HWND parent, HWND grip);
    friend LRESULT CALLBACK CBTHookProc(int code, WPARAM wParam, LPARAM lParam);
    // The skinner parts of the timer's actions.
    void UnskinForms(TSkinData* data, bool onlyThisForm);
    // Takes the skin off one listed skinner's window and frees the skinner.
    void UnskinAndFree(TWinSkinForm* skinner);
    // The listed skinner still exists (actions call out and may free skinners meanwhile).
    bool IsListed(const TWinSkinForm* skinner) const;
    void RefreshForms(TSkinData* data, bool onlyThisForm);

    std::unique_ptr<TTimer> FActionTimer;
    THookHandle FHook;
    DWORD FHookThread = 0;
    bool FHookSuspended = false;
    // Every form skinner made by SkinWindow, in creation order. Each lives with its window and is
    // freed by PurgeForms once the window is gone (or by the unskin action).
    std::vector<TWinSkinForm*> FForms;
    // One skinner per open skinned popup-menu window.
    std::vector<std::unique_ptr<TWinSkinPopMenu>> FPopups;
    std::vector<TSkinData*> FSkinData;
};

// The one manager, created by the first skin component that finishes loading and freed when the
// program ends.
extern std::unique_ptr<TSkinManage> SkinManager;
// Creates SkinManager when it does not exist yet.
void CreateSkinManager();
// Frees SkinManager (at the end of the program; tests use it to start afresh).
void FreeSkinManager();
// GetVersion as InstallHook found it; the top bit set means a Windows 9x platform.
extern DWORD WinVersion;

LRESULT CALLBACK CBTHookProc(int code, WPARAM wParam, LPARAM lParam);
