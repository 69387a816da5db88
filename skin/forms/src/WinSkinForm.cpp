// The form skinner: attaching to a window, its frame and caption buttons, skin changes, unskinning.
#include "skin_forms/WinSkinForm.h"

#include <framework/imglist.h>
#include <framework/sysutils.h>

#include <algorithm>

#include "WinSkinForm_Internal.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"

namespace {

constexpr int kSystemMenuTag = 33333;
constexpr int kSeparatorTag = 100;

// Repaints in the window's parent what the window no longer covers after a change of its size
// that drew nothing.
void RepaintUncovered(HWND window, const RECT& before, const RECT& after) {
    TRegionHandle uncovered(CreateRectRgnIndirect(&before));
    const TRegionHandle now(CreateRectRgnIndirect(&after));
    if (CombineRgn(uncovered.Get(), uncovered.Get(), now.Get(), RGN_DIFF) == NULLREGION) return;
    const HWND parent = GetAncestor(window, GA_PARENT);
    POINT origin{0, 0};
    MapWindowPoints(parent, HWND_DESKTOP, &origin, 1);
    OffsetRgn(uncovered.Get(), -origin.x, -origin.y);
    RedrawWindow(parent, nullptr, uncovered.Get(), RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Every sub-item of item, depth first.
template <class F> void ForEachSubItem(TMenuItem* item, int depth, const F& f) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* sub = item->Items(i);
        f(sub, depth);
        ForEachSubItem(sub, depth + 1, f);
    }
}

} // namespace

const TClassInfo* TWinSkinForm::StaticClassInfo() {
    static const TClassInfo info(
        L"TWinSkinForm", TComponent::StaticClassInfo(),
        {
            IntProp<TWinSkinForm>(L"DisableTag", &TWinSkinForm::DisableTag, &TWinSkinForm::SetDisableTag),
        });
    return &info;
}

TWinSkinForm::TWinSkinForm(TComponent* AOwner)
    : TComponent(AOwner), FMenuCanvas(std::make_unique<TCanvas>()),
      FControlCanvas(std::make_unique<TCanvas>()) {
    DoubleClickTime = GetDoubleClickTime();
    CreateCaptionFont();
}

TWinSkinForm::~TWinSkinForm() {
    // A skinner freed while its window still lives gives the window its procedures back first: the
    // window must never call into a freed skinner.
    RestoreFormProc();
    RestoreWindowProc();
    RestoreMDIClientProc();
    if (Form) {
        SkinPopupMenus(Form, false);
        if (SkinData && SkinData->SkinControls().Contains(xcMenuItem)) SkinMainMenus(Form, false);
    }
    FreeSkinControls();
    FreeSysButtons();
    CaptionBitmap.FreeImage();
    FHoverTimer.reset();
    MenuBar.reset();
    SystemPopupMenu.reset();
    CaptionFont.reset();
    SkinControlList.clear();
    IconBitmap.FreeImage();
    if (MenuTracking.TrackingForm == this) MenuTracking.TrackingForm = nullptr;
    if (SkinManager) SkinManager->RemoveForm(Window);
}

void TWinSkinForm::CreateCaptionFont() {
    CaptionFont = std::make_unique<TFont>();
    AssignCaptionFont(*CaptionFont);
}

// --- attaching -------------------------------------------------------------------------------------

void TWinSkinForm::AttachForm(TSkinData* skinData, TCustomForm* form) {
    Form = form;
    if (skinData->SkinControls().Contains(xcMainMenu)) {
        PrevFormProc = form->WindowProc;
        form->WindowProc = [this](TMessage& m) { FormWindowProcHook(m); };
    }
    HookWindow(skinData);
    SavedFormColor = form->Color();
    form->SetColor(skinData->Colours.ButtonFace);
    if (skinData->SkinControls().Contains(xcPopupMenu)) SkinPopupMenus(form, true);
    if (skinData->SkinControls().Contains(xcMenuItem)) SkinMainMenus(form, true);
}

void TWinSkinForm::HookWindow(TSkinData* skinData) {
    if (WindowThunk) return;
    if (SkinManager) SkinManager->ActivationCount = 1;
    SkinData = skinData;
    if (!FHoverTimer) {
        FHoverTimer = std::make_unique<TTimer>(nullptr);
        FHoverTimer->SetEnabled(false);
        FHoverTimer->SetInterval(250);
        FHoverTimer->OnTimer = [this](TObject* sender) { HoverTimer(sender); };
    }
    const TSkinControlTypes kinds = skinData->SkinControls();
    FrameSkinning = kinds.Contains(xcMainMenu);
    HookedStyle = static_cast<DWORD>(GetWindowLongW(Window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(Window, GWL_EXSTYLE));
    RightToLeft = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
    Hooked = true;
    SystemMenu = GetSystemMenu(Window, FALSE);

    WindowClass = GetWindowClassString(Window);
    LoadWindowIcon(IconBitmap);
    OwnerWindow = GetWindow(Window, GW_OWNER);
    GetClientRect(Window, &ClientRectangle);
    RECT w{};
    GetWindowRect(Window, &w);
    SavedFrameSize = RECT{0, 0, RectWidth(w) - ClientRectangle.right, RectHeight(w) - ClientRectangle.bottom};

    BoxFlags = 0;
    if ((HookedStyle & WS_SYSMENU) || SystemMenu) BoxFlags |= bfSystemMenu;
    if (HookedStyle & WS_MINIMIZEBOX) BoxFlags |= bfMinimize;
    if (HookedStyle & WS_MAXIMIZEBOX) BoxFlags |= bfMaximize;

    BuildSystemMenu();
    ReadShowState();
    FindMDIClient();

    BorderKind = bkFixed;
    if ((HookedStyle & WS_POPUP) && (HookedStyle & WS_CAPTION) != WS_CAPTION)
        BorderKind = bkNone;
    else if (HookedStyle & WS_THICKFRAME)
        BorderKind = bkSizable;
    else if (HookedStyle & DS_MODALFRAME)
        BorderKind = bkDialog;
    if (exStyle & WS_EX_DLGMODALFRAME) BorderKind = bkDialog;

    // Windows of this program are all Unicode windows, whatever their class is called.
    UnicodeWindow = WindowClass.find(".UnicodeClass") != std::string::npos || IsWindowUnicode(Window);
    DialogClass = WindowClass == "#32770" || WindowClass == "TMessageForm";
    if (DialogClass) BorderKind = bkDialog;

    if (WindowKind == wkMDIFrame) {
        SavedMenuUpdate = skinData->MenuUpdate();
        SubclassMDIClient();
    }

    if (FrameSkinning) {
        WindowMenu = GetMenu(Window);
        if (WindowMenu && WindowKind != wkMDIChild) {
            MenuBar = std::make_unique<TWinSkinMenu>(this, skinData);
            MenuBarHeight = GetSystemMetrics(SM_CYMENU);
            if (Form) MenuBar->MainMenu = Form->Menu();
            MenuBar->BuildFromMenu();
        }
        const bool mdiMaximized = SkinManager && SkinManager->MDIMaximized;
        if (!(WindowKind == wkMDIChild && mdiMaximized) && ShowState != ssMinimized) SetCaptionStyle(false);
        BuildSysButtons();
    } else {
        State = fsSkinned;
    }

    WindowThunk = TWndProcThunk::Make<&TWinSkinForm::FormWndProc>(this);
    PrevWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Window, GWLP_WNDPROC));
    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowThunk->Proc()));

    if (WindowKind == wkMDIChild && ShowState == ssMaximized && SkinManager && !SkinManager->MDIMaximized)
        SkinManager->SetMDIMaximized(true);
    InvalidateRect(Window, nullptr, TRUE);
}

void TWinSkinForm::SetCaptionStyle(bool on) {
    if (WindowKind == wkMDIChild && SkinManager && SkinManager->MDIMaximized && !on) return;
    auto style = static_cast<DWORD>(GetWindowLongW(Window, GWL_STYLE));
    if (on) {
        if (BoxFlags & bfSystemMenu) style |= WS_SYSMENU;
        if (BoxFlags & bfMinimize) style |= WS_MINIMIZEBOX;
        if (BoxFlags & bfMaximize) style |= WS_MAXIMIZEBOX;
        if (BoxFlags & bfCaptionRemoved) style |= WS_CAPTION;
    } else if (OwnerWindow || WindowKind == wkMDIChild) {
        style &= ~static_cast<DWORD>(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    } else {
        BoxFlags |= bfCaptionRemoved;
        style &= ~static_cast<DWORD>(WS_CAPTION);
    }
    SetWindowLongW(Window, GWL_STYLE, static_cast<LONG>(style));
}

void TWinSkinForm::SubclassMDIClient() {
    if (MDIClientThunk || !MDIClient) return;
    MDIClientThunk = TWndProcThunk::Make<&TWinSkinForm::MDIClientWndProc>(this);
    PrevMDIClientProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(MDIClient, GWLP_WNDPROC));
    SetWindowLongPtrW(MDIClient, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MDIClientThunk->Proc()));
}

void TWinSkinForm::RestoreMDIClientProc() {
    if (!MDIClientThunk) return;
    if (IsWindow(MDIClient))
        SetWindowLongPtrW(MDIClient, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevMDIClientProc));
    MDIClientThunk.reset();
}

void TWinSkinForm::CallOldMDIClientProc(TMessage& m) {
    m.Result = CallWindowProcW(PrevMDIClientProc, MDIClient, m.Msg, m.WParam, m.LParam);
}

void TWinSkinForm::RestoreFormProc() {
    if (!PrevFormProc || !Form) return;
    Form->WindowProc = PrevFormProc;
    PrevFormProc = nullptr;
}

void TWinSkinForm::RestoreWindowProc() {
    if (!WindowThunk) return;
    if (IsWindow(Window)) SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevWndProc));
    WindowThunk.reset();
}

void TWinSkinForm::ReadShowState() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(Window, &placement)) return;
    switch (placement.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        ShowState = ssMinimized;
        break;
    case SW_SHOWMAXIMIZED:
        ShowState = ssMaximized;
        break;
    default:
        ShowState = ssNormal;
        break;
    }
}

void TWinSkinForm::FindMDIClient() {
    WindowKind = wkNormal;
    for (HWND child = GetTopWindow(Window); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowClassString(child) != "MDIClient") continue;
        WindowKind = wkMDIFrame;
        MDIClient = child;
        if (SkinManager) {
            SkinManager->MDIClientWindow = child;
            SkinManager->MDIFrameForm = Form;
        }
        break;
    }
    if (GetWindowLongW(Window, GWL_EXSTYLE) & WS_EX_MDICHILD) WindowKind = wkMDIChild;
}

void TWinSkinForm::LoadWindowIcon(TBitmap& bitmap) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    TBitmap scratch(cx, cy, pf24bit);
    scratch.Canvas()->Brush()->SetColor(SkinKeyColour);
    scratch.Canvas()->FillRect(RECT{0, 0, cx, cy});
    SmallIconSize = cx;
    WindowIcon = reinterpret_cast<HICON>(SendMessageW(Window, WM_GETICON, ICON_SMALL, 0));
    if (!WindowIcon) WindowIcon = reinterpret_cast<HICON>(SendMessageW(Window, WM_GETICON, ICON_BIG, 0));
    // The system's caption shows the class icon of a window that was given none.
    if (!WindowIcon) WindowIcon = reinterpret_cast<HICON>(GetClassLongPtrW(Window, GCLP_HICONSM));
    if (!WindowIcon) WindowIcon = reinterpret_cast<HICON>(GetClassLongPtrW(Window, GCLP_HICON));
    if (WindowIcon) {
        if (HICON copy = static_cast<HICON>(CopyImage(WindowIcon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE))) {
            DrawIconEx(scratch.Canvas()->Handle(), 0, 0, copy, cx, cy, 0, nullptr, DI_NORMAL);
            DestroyIcon(copy);
        }
        bitmap.Assign(&scratch);
        return;
    }
    if (!SkinData) return;
    if (SkinData->IconBitmap.Empty()) {
        if (!SkinManager) return;
        const auto& list = SkinManager->SkinDataList();
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if (!(*it)->SkinNotLoaded() && !(*it)->IconBitmap.Empty()) {
                bitmap.Assign(&(*it)->IconBitmap);
                return;
            }
        return;
    }
    bitmap.Assign(&SkinData->IconBitmap);
}

// --- caption buttons and the system menu -------------------------------------------------------------

void TWinSkinForm::BuildSysButtons() {
    if (!SkinData || SkinData->SkinNotLoaded()) return;
    if (BorderKind == bkNone) {
        BorderLeft = BorderTop = BorderRight = BorderBottom = 0;
        MenuBarHeight = 0;
    } else {
        auto across = [](const TDataSkinBorder& b) { return b.Bitmap.Width() / std::max(b.FrameCount, 1); };
        auto down = [](const TDataSkinBorder& b) { return b.Bitmap.Height() / std::max(b.FrameCount, 1); };
        BorderLeft = across(SkinData->Border(bpLeft));
        BorderRight = across(SkinData->Border(bpRight));
        BorderTop = down(SkinData->Border(bpTop));
        BorderBottom = down(SkinData->Border(bpBottom));
    }
    FreeSysButtons();
    SysButtonCount = static_cast<int>(SkinData->SysButtons.size());
    for (int i = 0; i < SysButtonCount; ++i) {
        auto button = std::make_unique<TWinSysButton>();
        button->SkinForm = this;
        button->EntryIndex = i;
        TDataSkinSysButton& entry = *SkinData->SysButtons[static_cast<std::size_t>(i)];
        if (entry.Action == 3 || entry.Action == 11) {
            if (entry.Bitmap.Empty()) entry.Bitmap.Assign(&IconBitmap);
            if (SkinData->IconBitmap.Empty()) SkinData->IconBitmap.Assign(&IconBitmap);
            entry.FrameCount = 1;
        }
        SysButtons.push_back(std::move(button));
    }
}

void TWinSkinForm::FreeSysButtons() {
    for (const auto& button : SysButtons)
        if (HotObject == button.get()) HotObject = nullptr;
    SysButtons.clear();
}

void TWinSkinForm::AddSystemMenuItem(const String& caption, int tag) {
    auto* item = new TMenuItem(SystemPopupMenu.get());
    item->SetCaption(caption);
    item->SetTag(tag);
    item->SetImageIndex(tag);
    item->OnClick = [this](TObject* sender) { SystemMenuClick(sender); };
    item->OnDrawItem = [this](TObject* sender, TCanvas* canvas, RECT r, bool selected) {
        DrawMenuItem(sender, canvas, r, selected);
    };
    item->OnMeasureItem = [this](TObject* sender, TCanvas* canvas, int& w, int& h) {
        MeasureMenuItemWidth(sender, canvas, w, h);
    };
    if (tag == 3) item->SetShortCut(ShortCut(VK_F4, scShift));
    SystemPopupMenu->Items()->Add(item);
}

void TWinSkinForm::BuildSystemMenu() {
    SystemPopupMenu = std::make_unique<TPopupMenu>(nullptr);
    SystemPopupMenu->SetTag(kSystemMenuTag);
    SystemPopupMenu->SetOwnerDraw(true);
    AddSystemMenuItem(L" Restore ", 0);
    if (BoxFlags & bfMaximize) AddSystemMenuItem(L" Maximize ", 1);
    if (BoxFlags & bfMinimize) AddSystemMenuItem(L" Minimize ", 2);
    AddSystemMenuItem(L"-", kSeparatorTag);
    AddSystemMenuItem(L" Close ", 3);
}

// --- menus of the form -------------------------------------------------------------------------------

void TWinSkinForm::SkinPopupMenus(TCustomForm* form, bool on) {
    if (!form || !SkinData || form->ClassName() == L"TwwRichEditForm") return;
    const bool popups = SkinData->SkinControls().Contains(xcPopupMenu);
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* menu = dynamic_cast<TPopupMenu*>(form->Components(i));
        if (!menu || !popups || menu->Tag() % 100 == SkinData->DisableTag()) continue;
        menu->SetOwnerDraw(on);
        ForEachSubItem(menu->Items(), 1, [this, on](TMenuItem* item, int) {
            if (on) {
                item->OnDrawItem = [this](TObject* s, TCanvas* c, RECT r, bool sel) {
                    DrawMenuItem(s, c, r, sel);
                };
                item->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) {
                    MeasureMenuItemWidth(s, c, w, h);
                };
            } else {
                item->OnDrawItem = nullptr;
                item->OnMeasureItem = nullptr;
            }
        });
    }
}

void TWinSkinForm::SkinMainMenus(TCustomForm* form, bool on) {
    if (!form) return;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* menu = dynamic_cast<TMainMenu*>(form->Components(i));
        if (!menu) continue;
        menu->SetOwnerDraw(on);
        ForEachSubItem(menu->Items(), 1, [this, on](TMenuItem* item, int depth) {
            if (!on) {
                item->OnDrawItem = nullptr;
                item->OnMeasureItem = nullptr;
            } else if (depth >= 2 && !item->OnDrawItem) {
                item->OnDrawItem = [this](TObject* s, TCanvas* c, RECT r, bool sel) {
                    DrawMenuItem(s, c, r, sel);
                };
                item->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) {
                    if (auto* menuItem = dynamic_cast<TMenuItem*>(s)) MeasureMenuItem(menuItem, c, w, h);
                };
            }
        });
    }
}

// --- size and frame ------------------------------------------------------------------------------------

void TWinSkinForm::RefreshFrame() {
    SetWindowPos(Window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinSkinForm::AdjustSize(bool fromClient, UINT extraFlags) {
    if (ShowState == ssMaximized) {
        RefreshFrame();
        return;
    }
    GetWindowRect(Window, &WindowRectangle);
    int clientHeight = RectHeight(ClientRectangle);
    int width = RectWidth(ClientRectangle) + BorderLeft + BorderRight;
    if (fromClient) {
        GetClientRect(Window, &ClientRectangle);
        clientHeight = ClientRectangle.bottom;
        width = ClientRectangle.right + BorderLeft + BorderRight;
    } else if (Form) {
        clientHeight = RectHeight(WindowRectangle) - MenuBarHeight - 2 * GetSystemMetrics(SM_CYFRAME) -
                       GetSystemMetrics(SM_CYCAPTION);
        width = Form->ClientWidth() + BorderLeft + BorderRight;
    }
    const int height = clientHeight + BorderTop + BorderBottom + MenuBarHeight;
    if (!fromClient && (WindowClass == "TMessageForm" || WindowClass == "#32770")) {
        TWindowDC dc(Window);
        TDCCanvas canvas(dc.Get());
        canvas->SetFont(CaptionFont.get());
        CaptionTextWidth = canvas->TextWidth(GetWindowTextString(Window));
        const int needed = SkinData->Title->TextShift() + CaptionTextWidth + SkinData->Title->TextRightClip();
        if (width < needed) {
            const int shift = (needed - width) / 2;
            for (HWND child = GetTopWindow(Window); child; child = GetWindow(child, GW_HWNDNEXT)) {
                RECT r;
                GetWindowRect(child, &r);
                MapWindowPoints(HWND_DESKTOP, Window, reinterpret_cast<POINT*>(&r), 2);
                SetWindowPos(child, nullptr, r.left + shift, r.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING | SWP_NOOWNERZORDER);
            }
            width = needed;
        }
    }
    SetWindowPos(Window, nullptr, WindowRectangle.left, WindowRectangle.top, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | extraFlags);
}

// --- skin changes and unskinning ---------------------------------------------------------------------

void TWinSkinForm::Reskin() {
    TWinControl* focusedControl = nullptr;
    if (Form && SkinData) {
        Form->SetColor(SkinData->Colours.ButtonFace);
        for (int i = 0; i < Form->ComponentCount(); ++i)
            if (auto* inner = dynamic_cast<TCustomForm*>(Form->Components(i)))
                inner->SetColor(SkinData->Colours.ButtonFace);
        if (TWinControl* control = Form->ActiveControl(); control && control->Focused())
            focusedControl = control;
    }
    {
        // Neither the controls nor the frame paint until the whole window is repainted at the end.
        TValueScope changing(SkinChanging, true);
        SkinControlsChanged();
        State = fsReskinning;
        if (FrameSkinning && ShowState != ssMinimized) {
            if (Form) SkinPopupMenus(Form, true);
            // The shape is cut from the caption, which is composed for it first.
            auto composeCaption = [this] {
                RECT r{};
                GetWindowRect(Window, &r);
                WindowWidth = RectWidth(r);
                WindowHeight = RectHeight(r);
                TWindowDC dc(Window);
                // The caption text's right limit comes from the button layout of a compose.
                const int limit = CaptionTextLimit;
                ComposeCaption(dc.Get());
                if (CaptionTextLimit != limit) ComposeCaption(dc.Get());
            };
            if (ShowState == ssMaximized) {
                // The frame change keeps the window's size: the size change after it rebuilds the shape.
                AdjustSize(true);
                composeCaption();
                if (Form) {
                    Form->SetHeight(Form->Height() + 1);
                    Form->SetHeight(Form->Height() - 1);
                } else {
                    UpdateRegion();
                }
            } else {
                // The client area keeps its size, so its controls keep their places: one frame change
                // and one new shape.
                RECT before{}, after{};
                GetWindowRect(Window, &before);
                AdjustSize(true, SWP_DEFERERASE | SWP_NOREDRAW);
                GetWindowRect(Window, &after);
                RepaintUncovered(Window, before, after);
                composeCaption();
                UpdateRegion(false);
            }
        }
        if (focusedControl && focusedControl->CanFocus()) focusedControl->SetFocus();
        State = fsSkinned;
    }
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TWinSkinForm::RestoreWindowMenu() {
    if (!MenuBar) return;
    if (HMENU menu = MenuBar->MenuHandle) {
        // Menu-bar popups were made owner-drawn for the skin; the framework draws its own items.
        if (!(Form && Form->Menu() && Form->Menu()->OwnerDraw())) SetMenuOwnerDraw(menu, false);
        SetMenu(Window, menu);
    }
    MenuBar.reset();
}

bool TWinSkinForm::ReleaseWindowProc() {
    SystemPopupMenu.reset();
    if (FHoverTimer) FHoverTimer->SetEnabled(false);
    if (!WindowThunk) return false;
    RestoreFormProc();
    RestoreWindowProc();
    FreeSkinControls();
    return true;
}

void TWinSkinForm::UnskinWindow() {
    if (!FrameSkinning) {
        ReleaseControls();
        return;
    }
    if (!ReleaseWindowProc()) return;
    if (Form) {
        SkinPopupMenus(Form, false);
        if (SkinData->SkinControls().Contains(xcMenuItem)) SkinMainMenus(Form, false);
        if (State != fsDestroying) Form->SetColor(SavedFormColor);
    }
    SetCaptionStyle(true);
    RestoreWindowMenu();
    RestoreMDIClientProc();
    CaptionBitmap.FreeImage();
    HotObject = nullptr;
    if (State != fsDestroying && (WindowKind == wkMDIChild || !(HookedStyle & WS_CHILD))) {
        RECT r{};
        GetWindowRect(Window, &r);
        POINT at{r.left, r.top};
        if (WindowKind == wkMDIChild) ScreenToClient(GetParent(Window), &at);
        SetWindowPos(Window, nullptr, at.x, at.y,
                     RectWidth(r) + SavedFrameSize.right - BorderLeft - BorderRight,
                     RectHeight(r) + SavedFrameSize.bottom - BorderTop - MenuBarHeight - BorderBottom,
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    SetWindowRgn(Window, nullptr, TRUE);
    RegionSet = false;
    Region = nullptr;
    RegionWidth = RegionHeight = 0;
}

void TWinSkinForm::DetachWindow() {
    if (!FrameSkinning) {
        ReleaseControls();
        return;
    }
    if (!ReleaseWindowProc()) return;
    // A plain window destroys its menu with it, as it would have without the skin.
    if (MenuBar && !Form && MenuBar->MenuHandle) SetMenu(Window, MenuBar->MenuHandle);
    MenuBar.reset();
    HotObject = nullptr;
    CaptionBitmap.FreeImage();
}

void TWinSkinForm::ReleaseControls() {
    if (FHoverTimer) FHoverTimer->SetEnabled(false);
    FreeSkinControls();
    if (Form) {
        SkinPopupMenus(Form, false);
        if (SkinData && SkinData->SkinControls().Contains(xcMenuItem)) SkinMainMenus(Form, false);
        if (State != fsDestroying) Form->SetColor(SavedFormColor);
    }
    RestoreFormProc();
    RestoreWindowProc();
    RestoreMDIClientProc();
    if (Form && State != fsDestroying)
        for (int i = 0; i < Form->ComponentCount(); ++i)
            if (auto* control = dynamic_cast<TControl*>(Form->Components(i))) control->Invalidate();
}
