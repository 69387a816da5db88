#pragma once
// The form skinner's unit: the skinner of one top-level window (TWinSkinForm) with its window
// procedure, its painted frame, caption, caption buttons and menu bar, the owner-drawn menu items,
// and the window-text helpers the engine shares. Everything runs on the GUI thread.
//
// A skinner is made by the skin manager when a window is first activated (SkinWindow). It replaces
// the window's procedure, takes over the non-client area and, on SKM_SKINNOW, walks the window's
// controls to attach control skinners (SkinComponents / SkinChildWindows, in WinSkinForm_Walk.cpp).

#include <framework/comctrls.h>
#include <framework/forms.h>
#include <framework/menus.h>
#include <framework/timer.h>
#include <framework/wndthunk.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin_data/SkinElements.h"

// Posted by a skinned window to itself when a child window was made after its controls were
// walked: the walk runs again for the controls that have a window now.
constexpr UINT SKM_SKINCONTROLS = 0x3508;

class TSkinData;
class TSkinControl; // the control skinners' base (skin_controls/WinSubClass.h)
class TWinSkinForm;
class TWinSkinMenu;

// ===================================================================================================
// Objects of the non-client area: caption buttons and menu-bar buttons
// ===================================================================================================

// States of a non-client object; the state is also the frame a caption button draws.
enum TNCState { nsNormal = 1, nsPressed = 2, nsHot = 3 };

// An object in a window's non-client area that follows the mouse. Its rectangle is in window
// coordinates (relative to the window's top-left corner); it reacts only while shown.
class TNCObject : public TObject {
public:
    TWinSkinForm* SkinForm = nullptr; // not owned
    RECT Rect{};
    bool Shown = false;
    int State = nsNormal;

    // A mouse button went down on it: the previous hot object leaves, this one becomes hot, pressed.
    virtual void PressDown();
    // The button came up on it: hot again (the hot object stays).
    virtual void Release();
    // The mouse moves over it.
    virtual void Hover();
    // The mouse left it: no object is hot.
    virtual void MouseLeave();
    virtual void Draw() {}
};

// A caption button: entry EntryIndex of the skin's caption-button entries. The entry is looked up
// each time, so a skin that is being replaced never leaves the button with a freed entry.
class TWinSysButton : public TNCObject {
public:
    int EntryIndex = -1;
    // Set by TWinSkinForm::IsSysButtonVisible.
    bool Visible = false;
    // nullptr when the skin has no such entry (any more).
    TDataSkinSysButton* Entry() const;
    void Draw() override;
};

// A button of the skinned menu bar, standing for one top-level menu item.
class TMenuBtn : public TNCObject {
public:
    TMenuItem* MenuItem = nullptr; // nullptr when built from a bare menu handle
    TSkinData* SkinData = nullptr;
    int Index = 0;
    std::wstring Caption;
    bool Enabled = true;
    HMENU Popup = nullptr; // nullptr when the item has no sub-items
    UINT Command = 0;
    void Draw() override;
};

// The menu bar a skinned window draws in its non-client area in place of its Windows menu.
class TWinSkinMenu : public TComponent {
public:
    TWinSkinMenu(TWinSkinForm* skinForm, TSkinData* skinData);
    ~TWinSkinMenu() override;

    // Buttons from the form's framework main menu; the window's menu is then taken off the window.
    void BuildFromMenu();
    // Buttons from the window's Windows menu (the skin component's MenuMerge).
    void BuildFromWindowMenu();
    // Buttons from a given Windows menu (nullptr keeps the stored one).
    void BuildFromMenuHandle(HMENU menu);
    // Lays out and paints the whole bar; bar is in window coordinates.
    void DrawBar(HDC dc, const RECT& bar);
    // The first button whose rectangle holds the point (window coordinates) and whose caption is
    // not empty.
    TMenuBtn* ButtonAt(POINT p) const;
    // The buttons run from the right edge.
    bool IsRightToLeft() const;
    void FreeButtons();

    std::vector<std::unique_ptr<TMenuBtn>> Buttons;
    TMainMenu* MainMenu = nullptr;
    RECT BarRect{};
    TSkinData* SkinData = nullptr;
    TWinSkinForm* SkinForm = nullptr;
    // The bar's background without captions, to erase one button.
    TBitmap CleanBar;
    bool Drawing = false;
    // The window's Windows menu, given back to the window when it is unskinned.
    HMENU MenuHandle = nullptr;

private:
    TMenuBtn* AddButton();
    // Buttons from the items of MenuHandle; an item without text takes the framework item at its
    // position (byPosition) or with its command.
    void BuildFromHandleItems(bool byPosition);
    void FillFromFrameworkItem(TMenuBtn& button, TMenuItem* item);
};

// While a menu-bar popup is tracked (one at a time in the process).
struct TMenuTrackingState {
    HHOOK FilterHook = nullptr; // the WH_MSGFILTER hook
    TWinSkinForm* TrackingForm = nullptr;
    int ButtonIndex = -1;              // the button whose popup is open
    TMenuItem* SelectedItem = nullptr; // last reported by WM_MENUSELECT
    POINT LastCursorPos{};
    bool Switching = false;      // a switch to another top-level item was asked for
    int SwitchTo = -1;           // the button whose popup opens once the open one has closed
    bool FirstKeyPosted = false; // the popup's first item has been selected
};
extern TMenuTrackingState MenuTracking;

// Sets the message-filter hook of the calling thread (once) and resets the tracking state.
void InstallMenuHook();
// Removes the hook and forgets the tracked item and button.
void RemoveMenuHook();
// The button after (forward) or before the tracked one in the tracking form's bar, wrapping round;
// nullptr when that form has no menu bar.
TMenuBtn* NextMenuButton(bool forward);
// Hides leading, doubled and trailing separators of the item's sub-items.
void HideExtraSeparators(TMenuItem* item);
LRESULT CALLBACK MenuFilterProc(int code, WPARAM wParam, LPARAM lParam);

// ===================================================================================================
// The form skinner
// ===================================================================================================

// Window kinds.
enum : std::uint8_t { wkNormal = 0, wkMDIFrame = 1, wkMDIChild = 2 };
// Border kinds.
enum : std::uint8_t { bkSizable = 0, bkFixed = 1, bkNone = 2, bkDialog = 3 };
// Box flags.
enum : std::uint8_t { bfMaximize = 1, bfMinimize = 2, bfSystemMenu = 8, bfCaptionRemoved = 16 };
// Show states.
enum : std::uint8_t { ssNormal = 0, ssMaximized = 1, ssMinimized = 2 };
// Skinner states.
enum TSkinFormState : int {
    fsHooked = 0,
    fsSkinned = 1,
    fsReskinning = 3,
    fsDestroying = 4,
    fsSkinning = 5,
    fsGone = 6 // the window was destroyed: the manager frees the skinner
};

class TWinSkinForm : public TComponent {
    DECLARE_PUBLISHED
public:
    // owner: the framework form of the window, or nullptr for a plain window.
    explicit TWinSkinForm(TComponent* AOwner);
    ~TWinSkinForm() override;

    int DisableTag() const { return FDisableTag; }
    void SetDisableTag(int value) { FDisableTag = value; }

    // --- attaching and detaching (WinSkinForm.cpp) ---
    // Attaches to a framework form (Window must be set): hooks its WindowProc, then HookWindow.
    void AttachForm(TSkinData* skinData, TCustomForm* form);
    // Subclasses Window (once) and prepares the skinned frame.
    void HookWindow(TSkinData* skinData);
    // Puts the caption styles back (on) or takes them off.
    void SetCaptionStyle(bool on);
    void SubclassMDIClient();
    void RestoreMDIClientProc();
    void CallOldMDIClientProc(TMessage& message);
    // Resizes the window around its client area for the skinned frame; extraFlags go to its
    // SetWindowPos besides the frame change.
    void AdjustSize(bool fromClient, UINT extraFlags = 0);
    // Makes the system compute the frame again (SWP_FRAMECHANGED).
    void RefreshFrame();
    void BuildSysButtons();
    void FreeSysButtons();
    void BuildSystemMenu();
    // Routes the form's popup menus / main menu items to the owner-draw painters (on) or not.
    void SkinPopupMenus(TCustomForm* form, bool on);
    void SkinMainMenus(TCustomForm* form, bool on);
    // Applies a changed skin.
    void Reskin();
    // Takes all skinning off the window (the skinner stays, detached).
    void UnskinWindow();
    // WM_NCDESTROY.
    void DetachWindow();
    // Undoes the control and menu skinning of a window whose frame was not skinned.
    void ReleaseControls();
    void LoadWindowIcon(TBitmap& bitmap);
    void ReadShowState();
    void FindMDIClient();

    // --- window procedure and non-client input (WinSkinForm_WndProc.cpp) ---
    void FormWndProc(TMessage& message);
    void MDIClientWndProc(TMessage& message);
    // The framework form's WindowProc while its frame is skinned.
    void FormWindowProcHook(TMessage& message);
    // The message to the window's previous procedure.
    void CallPreviousProc(TMessage& message);
    // A screen point relative to the window's top-left corner.
    POINT ScreenToWindowPoint(int x, int y);
    TWinSysButton* SysButtonAt(POINT p) const;
    void ShowSystemMenu(int x, int y);
    // Carries out the hot caption button's action.
    void ButtonAction(int x, int y);
    void ToggleMaximize();
    void ToggleMinimize();
    void RestoreWindow();
    void MDIChildCommand(WPARAM command);
    bool IsMDIChildMaximized() const;
    // OnClick of the owner-drawn system menu's items.
    void SystemMenuClick(TObject* Sender);
    // Makes every item of a Windows menu owner-drawn (on) or not, recursively.
    static void SetMenuOwnerDraw(HMENU menu, bool on = true);
    void HoverTimer(TObject* Sender);
    // Posts SKM_SKINCONTROLS once (skinned windows only): controls got their windows after the walk.
    void ScheduleControlWalk();
    TTimer* HoverTimerComponent() const { return FHoverTimer.get(); }

    // --- painting (WinSkinForm_Paint.cpp) ---
    void PaintNonClient(HDC dc);
    void PaintCaption(HDC dc);
    void DrawCaptionText(TCanvas& canvas, const RECT& caption);
    void LayoutSysButtons();
    void DrawSysButtons(TCanvas& canvas);
    void DrawSysButton(TWinSysButton& button, int state);
    bool IsSysButtonVisible(int index);
    void DrawWindowIcon(HDC dc, int x, int y);
    // part: 1 Left, 2 Right, 3 Top, 4 Bottom.
    void DrawBorderPart(int part, const RECT& rect, HDC dc);
    void UpdateRegion();
    void ClearRegion();

    // --- menu bar (WinSkinForm_MenuBar.cpp) ---
    TMenuBtn* MenuButtonByAccel(wchar_t key) const;
    void PostMenuButtonClick(TMenuBtn* button);
    bool TrackMenuButton(TMenuBtn* button);
    void EndMenuTracking();
    void MenuDialogChar(TMessage& message);
    // Alt or F10 alone: the bar's buttons are chosen with the arrow keys, Enter or Down opens one.
    void TrackMenuBarKeyboard();

    // --- owner-drawn menu items (WinSkinForm_MenuItems.cpp) ---
    void MeasureMenuItem(TMenuItem* item, TCanvas* canvas, int& width, int& height);
    // OnMeasureItem of the popup menus' and the system menu's items.
    void MeasureMenuItemWidth(TObject* Sender, TCanvas* canvas, int& width, int& height);
    // OnDrawItem of menu items.
    void DrawMenuItem(TObject* Sender, TCanvas* canvas, RECT rect, bool selected);
    void DrawMenuItemForHandle(HMENU menu, TMenuItem* item, bool selected, RECT rect, TCanvas* canvas);
    void DrawMenuItemPlain(TMenuItem* item, TCanvas* canvas, bool selected, RECT rect);
    // A tool bar's OnCustomDrawButton: the button's background from the skin's Buttons element and
    // the text colour of its state; the bar then draws the image and text.
    void DrawToolButton(TToolBar* toolBar, TToolButton* button, TCustomDrawState state, bool& defaultDraw);

    // --- the control walk and the control skinners (WinSkinForm_Walk.cpp) ---
    // Walks the controls the component owns and attaches a skinner to each that may have one.
    void SkinComponents(TComponent* component);
    // Chooses and attaches the skinner of one control.
    void SkinComponent(TComponent* component, TComponent* walkedOwner);
    // Applies the Skin3rd kind of a class (upper-case name); true when the class is listed.
    bool SkinByKind(const String& className, TComponent* component);
    bool NeedsScrollSkinner(TComponent* component);
    bool IsSkinned(TComponent* component);
    // The child windows of a window that is no framework form.
    void SkinChildWindows();
    void SkinChildWindow(HWND child);
    TSkinControl* FindSkinControl(HWND window) const;
    // True when already listed; otherwise lists it and answers false.
    bool AddSkinControl(TSkinControl* skinner);
    void RemoveSkinControl(TSkinControl* skinner);
    // Frees the skinners whose control's window is gone.
    void PurgeSkinControls();
    // Unskins and frees every skinner.
    void FreeSkinControls();
    // Every listed skinner's SkinChanged (a new skin was applied).
    void SkinControlsChanged();
    // The hot control skinner's SendMouseLeave; then no control skinner is hot.
    void ReleaseHotControl();
    // The screen point lies inside the hot control skinner's WindowRect.
    bool HotControlContains(POINT screen) const;

    // The canvas handed to every control skinner.
    TCanvas* ControlCanvas() const { return FControlCanvas.get(); }
    // The canvas the menu bar paints one button on.
    TCanvas* MenuCanvas() const { return FMenuCanvas.get(); }

    // --- state (fields in the order the skinner keeps them) ---
    TWndMethod PrevFormProc;                    // the form's WindowProc before it was hooked
    WNDPROC PrevWndProc = nullptr;              // the window's procedure before subclassing
    std::unique_ptr<TWndProcThunk> WindowThunk; // nullptr: not subclassed
    WNDPROC PrevMDIClientProc = nullptr;
    std::unique_ptr<TWndProcThunk> MDIClientThunk;
    std::unique_ptr<TFont> CaptionFont;
    // The painted caption is CaptionSuffix + window text + CaptionPrefix.
    std::wstring CaptionSuffix = L"  ", CaptionPrefix = L" ";
    std::string WindowClass;     // GetClassNameA
    bool SavedMenuUpdate = true; // MenuUpdate of an MDI frame's skin component
    bool FrameSkinning = false;  // xcMainMenu: the non-client area is skinned
    RECT ClientRectangle{};
    DWORD LastSysMenuTick = 0;
    DWORD DoubleClickTime = 0;
    int CaptionTextWidth = 0;
    HWND OwnerWindow = nullptr;
    HICON WindowIcon = nullptr;
    int SmallIconSize = 16;
    // WindowIcon copied at SmallIconSize once, for every caption paint after.
    TOwnedHandle<HICON, DestroyIcon> CaptionIcon;
    HICON CaptionIconOf = nullptr;
    int CaptionIconSize = 0;
    int BorderLeft = 0, BorderTop = 0, BorderRight = 0, BorderBottom = 0;
    RECT WindowRectangle{}; // screen rectangle at the last non-client paint
    RECT CaptionTextRect{}; // window coordinates
    RECT SavedFrameSize{};  // (0, 0, window - client width, window - client height)
    int MenuBarHeight = 0;
    int SysButtonCount = 0;
    bool MenuTrackingOn = false; // a menu-bar popup is open
    bool RightToLeft = false;
    bool UnicodeWindow = false;
    bool DialogClass = false; // "#32770" or "TMessageForm"
    bool Hooked = false;
    std::unique_ptr<TPopupMenu> SystemPopupMenu;
    HWND MDIClient = nullptr;
    HWND NewMDIChild = nullptr;
    HMENU WindowMenu = nullptr;
    HMENU SystemMenu = nullptr;
    HMENU TrackedPopup = nullptr;
    TColor SavedFormColor = clBtnFace;
    DWORD HookedStyle = 0;
    int CaptionTextLimit = 0;       // left edge of the rightmost right-aligned caption button
    TNCObject* HotObject = nullptr; // not owned
    bool RegionSet = false;
    HRGN Region = nullptr; // belongs to the window once set
    TCustomForm* Form = nullptr;
    HWND Window = nullptr;
    TSkinData* SkinData = nullptr;
    std::unique_ptr<TWinSkinMenu> MenuBar; // nullptr without a menu bar
    std::vector<std::unique_ptr<TWinSysButton>> SysButtons;
    TBitmap IconBitmap;    // the window's small icon on magenta
    TBitmap CaptionBitmap; // the caption strip, composed off-screen
    // The control skinners of this window's controls, in attach order. Each is freed by
    // FreeSkinControls / PurgeSkinControls (or with its control) and leaves the list itself.
    std::vector<TSkinControl*> SkinControlList;
    int WindowWidth = 0, WindowHeight = 0;
    int RegionWidth = 0, RegionHeight = 0;
    bool Active = true;
    std::uint8_t WindowKind = wkNormal;
    std::uint8_t BorderKind = bkFixed;
    std::uint8_t BoxFlags = 0;
    std::uint8_t ShowState = ssNormal;
    int State = fsHooked;
    TSkinControl* HotControlSkinner = nullptr; // not owned
    bool ControlWalkPosted = false;            // SKM_SKINCONTROLS is on its way

private:
    void CreateCaptionFont();
    void AddSystemMenuItem(const String& caption, int tag);
    void RestoreWindowProc();
    void RestoreFormProc();
    void RestoreWindowMenu();
    // The first steps of unskinning and detaching: false when the window was never subclassed.
    bool ReleaseWindowProc();
    // The messages of FormWndProc's stages.
    bool SecondStage(TMessage& m);
    void ThirdStage(TMessage& m);
    void SkinNow();
    void WMSize(TMessage& m);
    void WMGetMinMaxInfo(TMessage& m);
    void WMNCCalcSize(TMessage& m);
    void WMNCHitTest(TMessage& m);
    void WMNCActivate(TMessage& m);
    void WMNCPaint(TMessage& m);
    void WMNCMouseMove(TMessage& m);
    void WMNCLButtonDown(TMessage& m);
    void WMNCLButtonUp(TMessage& m);
    void WMNCLButtonDblClk(TMessage& m);
    void WMNCRButtonDown(TMessage& m);
    void WMCommand(TMessage& m);
    bool WMSysCommand(TMessage& m);
    void WMMenuChanged(TMessage& m);
    void WMMeasureItem(TMessage& m);
    void WMDrawItem(TMessage& m);
    void MeasureMenuText(MEASUREITEMSTRUCT& measure);
    void DrawFormMenuItem(const DRAWITEMSTRUCT& draw);
    void DrawHandleMenuItem(const DRAWITEMSTRUCT& draw);
    TNCObject* ObjectAt(POINT p) const;

    int FDisableTag = 99;
    std::unique_ptr<TTimer> FHoverTimer;
    std::unique_ptr<TCanvas> FMenuCanvas, FControlCanvas;
};

// ===================================================================================================
// Drawing routines of menu items
// ===================================================================================================

// A separator line cut from the bottom of the MenuItem strip's second frame.
void DrawMenuSeparator(TWinSkinForm* skinForm, TCanvas* canvas, const RECT& rect);
// Glyph, caption and short cut of an item, left to right (mirrored for a right-to-left menu).
void DrawMenuItemContent(TWinSkinForm* skinForm, TMenuItem* item, TCanvas* canvas, bool selected, RECT rect);
void DrawMenuItemContentRTL(TWinSkinForm* skinForm, TMenuItem* item, TCanvas* canvas, bool selected,
                            RECT rect);
// One text of an item in the colour of its state; "-" draws an etched line. rect is updated for
// DT_CALCRECT.
void DrawMenuItemText(TWinSkinForm* skinForm, TMenuItem* item, TCanvas* canvas, UINT flags, bool selected,
                      RECT& rect, std::wstring text);
// A framework item standing for item id of a Windows menu (caption, enabled, checked); the caller
// owns it.
std::unique_ptr<TMenuItem> MenuItemFromHandle(HMENU menu, UINT id);

// ===================================================================================================
// Window texts
// ===================================================================================================

// A window's text: on NT platforms through GetWindowTextW, otherwise WM_GETTEXT (up to 1000
// bytes) in the ANSI code page.
std::wstring GetWindowTextString(HWND window);
// A window's text through WM_GETTEXT, at most 1000 characters, in the ANSI code page.
std::string GetWindowTextByMessage(HWND window);
// A window's class name (GetClassNameA, at most 100 characters).
std::string GetWindowClassString(HWND window);
// Invalidates the whole window (erasing) and updates it at once.
void RepaintWindow(HWND window);
