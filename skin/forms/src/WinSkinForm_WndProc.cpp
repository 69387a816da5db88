// The skinned window's procedure: the client area inside the skin's borders, hit tests, the mouse
// over caption and menu-bar buttons, caption-button actions, system commands, the system menu and
// owner-drawn menu items.
#include <framework/sysutils.h>

#include <windowsx.h>

#include <algorithm>

#include "WinSkinForm_Internal.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"
#include "skin_forms/WinSkinForm.h"
#include "skin_forms/WinSkinMenu.h"

namespace {

bool IsSystemCommandId(WORD id) {
    switch (id) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE:
        return true;
    default:
        return false;
    }
}

} // namespace

void TWinSkinForm::CallPreviousProc(TMessage& m) {
    m.Result = PrevWndProc ? CallWindowProcW(PrevWndProc, Window, m.Msg, m.WParam, m.LParam)
                           : DefWindowProcW(Window, m.Msg, m.WParam, m.LParam);
}

void TWinSkinForm::FormWndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND:
        CallPreviousProc(m);
        if (!Form && SkinData) {
            RECT r;
            GetClientRect(Window, &r);
            FillRect(reinterpret_cast<HDC>(m.WParam), &r, SkinData->FaceBrush());
            m.Result = 1;
        }
        return;
    case WM_NCDESTROY:
        State = fsDestroying;
        if (Hooked) DetachWindow();
        CallPreviousProc(m);
        State = fsGone;
        return;
    case WM_INITMENUPOPUP:
        if (SkinManager) {
            const bool system = reinterpret_cast<HMENU>(m.WParam) == SystemMenu &&
                                (static_cast<DWORD>(m.WParam) & 0x80000000u) == 0;
            SkinManager->PopupMode = system ? 2 : 1;
        }
        CallPreviousProc(m);
        return;
    case WM_CTLCOLORBTN:
        CallPreviousProc(m);
        if (!Form) SetBkMode(reinterpret_cast<HDC>(m.WParam), TRANSPARENT);
        return;
    case WM_CTLCOLORSTATIC:
        CallPreviousProc(m);
        if (!Form && SkinData) {
            SetBkMode(reinterpret_cast<HDC>(m.WParam), TRANSPARENT);
            m.Result = reinterpret_cast<LRESULT>(SkinData->FaceBrush());
        }
        return;
    case SKM_SKINCONTROLS:
        ControlWalkPosted = false;
        if (State != fsSkinned) return;
        if (Form)
            SkinComponents(Form);
        else
            SkinChildWindows();
        return;
    case SKM_SKINNOW:
        SkinNow();
        return;
    case SKM_ISSKINNED:
        m.Result = 1;
        return;
    default:
        break;
    }
    if (!FrameSkinning || (WindowKind != wkMDIChild && (HookedStyle & WS_CHILD))) {
        CallPreviousProc(m);
        return;
    }
    if (SecondStage(m)) return;
    ThirdStage(m);
}

void TWinSkinForm::ScheduleControlWalk() {
    if (State == fsSkinned && !ControlWalkPosted && IsWindow(Window))
        ControlWalkPosted = PostMessageW(Window, SKM_SKINCONTROLS, 0, 0) != FALSE;
}

void TWinSkinForm::SkinNow() {
    if (Form)
        SkinComponents(Form);
    else
        SkinChildWindows();
    if (State == fsHooked) {
        if (WindowKind == wkMDIChild && SkinManager && SkinManager->MDIMaximized) {
            SetCaptionStyle(true);
            RefreshFrame();
        } else if (ShowState != ssMinimized && BorderKind != bkNone) {
            State = fsSkinning;
            // A window skinned before it is shown is activated by its showing, not by this.
            AdjustSize(false, IsWindowVisible(Window) ? 0 : SWP_NOACTIVATE);
            State = fsSkinned;
            UpdateRegion();
        }
    }
    State = fsSkinned;
    if (FHoverTimer) FHoverTimer->SetEnabled(true);
}

// True when the message was handled here.
bool TWinSkinForm::SecondStage(TMessage& m) {
    switch (m.Msg) {
    case WM_SIZE:
        // Handled once: the third stage would hand the same WM_SIZE to the window a second time.
        WMSize(m);
        return true;
    case WM_ACTIVATE:
    case WM_NCACTIVATE:
        Active = (m.WParam & 0xFF) != 0;
        return false;
    case WM_GETMINMAXINFO:
        WMGetMinMaxInfo(m);
        return true;
    case WM_WINDOWPOSCHANGED:
        ReadShowState();
        CallPreviousProc(m);
        return true;
    case WM_COMMAND:
        WMCommand(m);
        return true;
    case WM_SYSCOMMAND:
        return WMSysCommand(m);
    case CM_MENUCHANGED:
        WMMenuChanged(m);
        return true;
    default:
        return false;
    }
}

void TWinSkinForm::ThirdStage(TMessage& m) {
    if ((WindowKind == wkMDIChild && ShowState != ssNormal) || ShowState == ssMinimized ||
        State == fsHooked) {
        CallPreviousProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_DRAWITEM:
        WMDrawItem(m);
        return;
    case WM_MEASUREITEM:
        WMMeasureItem(m);
        return;
    case WM_NCCALCSIZE:
        WMNCCalcSize(m);
        return;
    case WM_NCHITTEST:
        WMNCHitTest(m);
        return;
    case WM_NCPAINT:
        WMNCPaint(m);
        return;
    case WM_NCACTIVATE:
        WMNCActivate(m);
        return;
    case WM_NCMOUSEMOVE:
        WMNCMouseMove(m);
        return;
    case WM_NCLBUTTONDOWN:
        WMNCLButtonDown(m);
        return;
    case WM_NCLBUTTONUP:
        WMNCLButtonUp(m);
        return;
    case WM_NCLBUTTONDBLCLK:
        WMNCLButtonDblClk(m);
        return;
    case WM_NCRBUTTONDOWN:
        WMNCRButtonDown(m);
        return;
    case SKM_NCREPAINT:
        PaintNonClient(nullptr);
        return;
    default:
        CallPreviousProc(m);
        return;
    }
}

// --- size and frame ------------------------------------------------------------------------------------

void TWinSkinForm::WMSize(TMessage& m) {
    CallPreviousProc(m);
    switch (m.WParam) {
    case SIZE_RESTORED:
        ShowState = ssNormal;
        break;
    case SIZE_MINIMIZED:
        ShowState = ssMinimized;
        break;
    case SIZE_MAXIMIZED:
        ShowState = ssMaximized;
        break;
    default:
        break;
    }
    if (ShowState == ssMinimized) return;
    if (WindowKind == wkMDIChild && ((SkinManager && SkinManager->MDIMaximized) || ShowState != ssNormal))
        return;
    if (State == fsSkinned || State == fsReskinning) UpdateRegion();
}

void TWinSkinForm::WMGetMinMaxInfo(TMessage& m) {
    CallPreviousProc(m);
    ReadShowState();
    if (ShowState == ssMinimized)
        SetCaptionStyle(true);
    else if (WindowKind != wkMDIChild || ShowState == ssNormal)
        SetCaptionStyle(false);
    else
        SetCaptionStyle(true);
    if (BorderKind == bkSizable) {
        auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
        info->ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    }
}

void TWinSkinForm::WMNCCalcSize(TMessage& m) {
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
    // The window's new rectangle, before the default turns it into its own client rectangle.
    const RECT proposed = (m.WParam & 0xFF) ? params->rgrc[0] : RECT{};
    CallPreviousProc(m);
    if ((m.WParam & 0xFF) == 0) {
        m.Result = 0;
        return;
    }
    if (!((WindowKind == wkMDIChild && ShowState != ssNormal) || BorderKind == bkNone)) {
        RECT client{proposed.left + BorderLeft, proposed.top + BorderTop + MenuBarHeight,
                    proposed.right - BorderRight, proposed.bottom - BorderBottom};
        client.right = std::max(client.right, client.left);
        client.bottom = std::max(client.bottom, client.top);
        params->rgrc[0] = client;
    }
    params->rgrc[1] = params->rgrc[0];
    m.Result = WVR_VALIDRECTS;
}

void TWinSkinForm::WMNCHitTest(TMessage& m) {
    CallPreviousProc(m);
    if (m.Result != HTNOWHERE && m.Result != HTCAPTION) return;
    const POINT p = ScreenToWindowPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    if (p.y > 3) m.Result = HTCAPTION;
    if (p.y > BorderTop) m.Result = HTMENU;
}

void TWinSkinForm::WMNCActivate(TMessage& m) {
    Active = (m.WParam & 0xFF) != 0;
    if (FHoverTimer) FHoverTimer->SetEnabled(Active);
    if (!Active && HotControlSkinner) ReleaseHotControl();
    if (WindowKind == wkMDIFrame && MDIClient) SendMessageW(MDIClient, WM_NCACTIVATE, m.WParam, 0);
    if (!(WindowKind == wkMDIChild && ShowState != ssNormal)) PaintNonClient(nullptr);
    m.Result = 1;
}

void TWinSkinForm::WMNCPaint(TMessage& m) {
    if (SkinData && SkinData->NCPaintEnabled) {
        if ((WindowKind == wkMDIChild && ShowState != ssNormal) || BorderKind == bkNone) {
            CallPreviousProc(m);
            return;
        }
        // A skin change paints the frame once, with the whole window at its end.
        if (!SkinChanging) PaintNonClient(nullptr);
    }
    m.Result = 0;
}

POINT TWinSkinForm::ScreenToWindowPoint(int x, int y) {
    POINT p{x, y};
    ScreenToClient(Window, &p);
    if (ShowState != ssMinimized) {
        p.x += BorderLeft;
        p.y += BorderTop + MenuBarHeight;
    }
    return p;
}

// --- the mouse in the non-client area ------------------------------------------------------------------

TWinSysButton* TWinSkinForm::SysButtonAt(POINT p) const {
    for (const auto& button : SysButtons) {
        const TDataSkinSysButton* entry = button->Entry();
        if (button->Visible && entry && entry->Action >= 0 && PtInRect(&button->Rect, p)) return button.get();
    }
    return nullptr;
}

TNCObject* TWinSkinForm::ObjectAt(POINT p) const {
    if (TWinSysButton* button = SysButtonAt(p)) return button;
    return MenuBar ? MenuBar->ButtonAt(p) : nullptr;
}

void TWinSkinForm::WMNCMouseMove(TMessage& m) {
    m.Result = 0;
    if (!Active) return;
    if (TNCObject* object = ObjectAt(ScreenToWindowPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)))) {
        object->Hover();
        return;
    }
    if (HotObject) HotObject->MouseLeave();
    CallPreviousProc(m);
}

void TWinSkinForm::WMNCLButtonDown(TMessage& m) {
    if (TNCObject* object = ObjectAt(ScreenToWindowPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)))) {
        if (!Active) SetForegroundWindow(Window);
        object->PressDown();
        if (auto* button = dynamic_cast<TMenuBtn*>(object)) TrackMenuButton(button);
        m.Result = 0;
        return;
    }
    // A maximized window is not dragged by its caption.
    if (ShowState == ssMaximized && m.WParam == HTCAPTION && Active) m.WParam = HTMENU;
    CallPreviousProc(m);
}

void TWinSkinForm::WMNCLButtonUp(TMessage& m) {
    if (TNCObject* object = ObjectAt(ScreenToWindowPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)))) {
        if (dynamic_cast<TWinSysButton*>(object) && HotObject == object) {
            object->Release();
            ButtonAction(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        }
        m.Result = 0;
        return;
    }
    CallPreviousProc(m);
}

void TWinSkinForm::WMNCLButtonDblClk(TMessage& m) {
    if (ShowState != ssNormal)
        RestoreWindow();
    else if (BoxFlags & bfMaximize)
        ToggleMaximize();
    m.Result = 0;
}

void TWinSkinForm::WMNCRButtonDown(TMessage& m) {
    if (m.WParam == HTCAPTION && WindowKind != wkMDIChild) {
        ShowSystemMenu(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        m.Result = 0;
        return;
    }
    CallPreviousProc(m);
}

void TWinSkinForm::HoverTimer(TObject*) {
    if (MenuTrackingOn) return;
    POINT cursor;
    GetCursorPos(&cursor);
    if (HotObject) {
        const POINT p = ScreenToWindowPoint(cursor.x, cursor.y);
        if (!PtInRect(&HotObject->Rect, p)) HotObject->MouseLeave();
    }
    if (!Form && HotControlSkinner && !HotControlContains(cursor)) ReleaseHotControl();
}

// --- caption-button actions and system commands ------------------------------------------------------

void TWinSkinForm::ButtonAction(int x, int y) {
    auto* button = dynamic_cast<TWinSysButton*>(HotObject);
    const TDataSkinSysButton* entry = button ? button->Entry() : nullptr;
    if (!entry) return;
    switch (entry->Action) {
    case 0:
        if (FHoverTimer) FHoverTimer->SetEnabled(false);
        PostMessageW(Window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case 1:
    case 22:
        ToggleMaximize();
        break;
    case 2:
    case 23:
        ToggleMinimize();
        break;
    case 3:
    case 11:
    case 12:
        ShowSystemMenu(x + 1, y + 1);
        break;
    case 7:
    case 60:
        MDIChildCommand(SC_MINIMIZE);
        break;
    case 8:
    case 61:
        MDIChildCommand(SC_RESTORE);
        break;
    case 9:
    case 62:
        MDIChildCommand(SC_CLOSE);
        break;
    default:
        PostMessageW(Window, SKM_BUTTONACTION, static_cast<WPARAM>(entry->Action), 0);
        break;
    }
}

void TWinSkinForm::ToggleMaximize() {
    if (ShowState == ssMaximized) {
        RestoreWindow();
        return;
    }
    if (WindowKind == wkMDIChild && SkinManager) SkinManager->SetMDIMaximized(true);
    ShowState = ssMaximized;
    PostMessageW(Window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    HotObject = nullptr;
}

void TWinSkinForm::ToggleMinimize() {
    if (ShowState == ssMinimized) {
        RestoreWindow();
        return;
    }
    ShowState = ssMinimized;
    PostMessageW(Window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TWinSkinForm::RestoreWindow() {
    ShowState = ssNormal;
    PostMessageW(Window, WM_SYSCOMMAND, SC_RESTORE, 0);
}

bool TWinSkinForm::IsMDIChildMaximized() const {
    if (WindowKind != wkMDIFrame || !MDIClient) return false;
    BOOL maximized = FALSE;
    const auto child = reinterpret_cast<HWND>(
        SendMessageW(MDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return child && maximized;
}

void TWinSkinForm::MDIChildCommand(WPARAM command) {
    if (WindowKind != wkMDIFrame || !MDIClient) return;
    const auto child = reinterpret_cast<HWND>(SendMessageW(MDIClient, WM_MDIGETACTIVE, 0, 0));
    if (!child) return;
    SendMessageW(child, WM_SYSCOMMAND, command, 0);
    if (SkinManager && SkinManager->MDIMaximized && !IsMDIChildMaximized())
        SkinManager->SetMDIMaximized(false);
}

void TWinSkinForm::SystemMenuClick(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    switch (item->Tag()) {
    case 0:
        RestoreWindow();
        break;
    case 1:
        ToggleMaximize();
        break;
    case 2:
        ToggleMinimize();
        break;
    case 3:
        if (FHoverTimer) FHoverTimer->SetEnabled(false);
        PostMessageW(Window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void TWinSkinForm::ShowSystemMenu(int x, int y) {
    if (SystemPopupMenu) {
        TMenuItem* items = SystemPopupMenu->Items();
        for (int i = 0; i < items->Count(); ++i) {
            TMenuItem* item = items->Items(i);
            switch (item->Tag()) {
            case 0:
                item->SetEnabled(ShowState != ssNormal);
                break;
            case 1:
                item->SetEnabled(ShowState != ssMaximized);
                break;
            case 2:
                item->SetEnabled(ShowState != ssMinimized);
                break;
            default:
                break;
            }
        }
    }
    const DWORD now = GetTickCount();
    if (now - LastSysMenuTick <= DoubleClickTime) {
        // A second click on the icon button closes the window.
        if (HotObject) {
            if (FHoverTimer) FHoverTimer->SetEnabled(false);
            PostMessageW(Window, WM_CLOSE, 0, 0);
        }
        return;
    }
    if (SkinManager) SkinManager->PopupMode = 2;
    LastSysMenuTick = now;
    if (SkinData && SkinData->SkinControls().Contains(xcSystemMenu) && WindowKind != wkMDIChild &&
        SystemPopupMenu) {
        SystemPopupMenu->SetImages(SkinData->SystemMenuImages());
        SystemPopupMenu->Popup(x, y);
    } else {
        TrackPopupMenu(SystemMenu, TPM_RIGHTBUTTON, x, y, 0, Window, nullptr);
    }
}

void TWinSkinForm::WMCommand(TMessage& m) {
    const WORD id = LOWORD(m.WParam);
    if (IsSystemCommandId(id)) {
        PostMessageW(Window, WM_SYSCOMMAND, id, 0);
        return;
    }
    CallPreviousProc(m);
}

bool TWinSkinForm::WMSysCommand(TMessage& m) {
    if (!MenuTrackingOn && (m.WParam & 0xFFF0) == SC_KEYMENU && m.LParam != ' ' && m.LParam != '-' &&
        !GetCapture()) {
        if (m.LParam == 0) {
            // Alt or F10 alone: the skinned bar takes the keyboard, never the system's menu loop.
            m.Result = 1;
            TrackMenuBarKeyboard();
            return true;
        }
        if (MenuButtonByAccel(static_cast<wchar_t>(m.LParam))) {
            m.Result = 1;
            return true;
        }
    }
    switch (m.WParam) {
    case SC_MINIMIZE:
        ShowState = ssMinimized;
        if (WindowKind == wkMDIChild) SetCaptionStyle(true);
        break;
    case SC_MAXIMIZE:
        ShowState = ssMaximized;
        break;
    case SC_RESTORE:
        ShowState = ssNormal;
        if (WindowKind == wkMDIChild) SetCaptionStyle(false);
        break;
    default:
        break;
    }
    CallPreviousProc(m);
    return true;
}

void TWinSkinForm::WMMenuChanged(TMessage& m) {
    if (!SkinData) {
        CallPreviousProc(m);
        return;
    }
    {
        // The system may paint its own menu bar while the window has its menu back for a moment.
        TValueScope noPaint(SkinData->NCPaintEnabled, false);
        CallPreviousProc(m);
    }
    if (!MenuBar || !SkinData->MenuUpdate()) return;
    HMENU menu = GetMenu(Window);
    if (!menu) return;
    MenuBar->MenuHandle = menu;
    if (SkinData->MenuMerge())
        MenuBar->BuildFromWindowMenu();
    else
        MenuBar->BuildFromMenu();
    PaintNonClient(nullptr);
}

// --- owner-drawn items of menu-bar popups --------------------------------------------------------------

void TWinSkinForm::WMMeasureItem(TMessage& m) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    if (!measure || measure->CtlType != ODT_MENU || !WindowMenu) {
        CallPreviousProc(m);
        return;
    }
    if (!Form) {
        MeasureMenuText(*measure);
        m.Result = TRUE;
        return;
    }
    TMenuItem* item = MenuBar && MenuBar->MainMenu
                          ? MenuBar->MainMenu->FindItem(measure->itemID, TMenu::fkCommand)
                          : nullptr;
    if (item) {
        TWindowDC dc(Window);
        TDCCanvas canvas(dc.Get());
        AssignMenuFont(*canvas->Font());
        int width = static_cast<int>(measure->itemWidth), height = static_cast<int>(measure->itemHeight);
        MeasureMenuItem(item, canvas.get(), width, height);
        measure->itemWidth = static_cast<UINT>(std::max(width, 0));
        measure->itemHeight = static_cast<UINT>(std::max(height, 0));
        m.Result = TRUE;
        return;
    }
    if (measure->itemID >= 1 && measure->itemID <= 4095) {
        CallPreviousProc(m);
        return;
    }
    MeasureMenuText(*measure);
    m.Result = TRUE;
}

void TWinSkinForm::MeasureMenuText(MEASUREITEMSTRUCT& measure) {
    wchar_t text[81] = {};
    GetMenuStringW(TrackedPopup, measure.itemID, text, 80, MF_BYCOMMAND);
    TWindowDC dc(Window);
    TDCCanvas canvas(dc.Get());
    AssignMenuFont(*canvas->Font());
    int width = canvas->TextWidth(text) + 26;
    if (SkinData && SkinData->MenuItem) width += SkinData->MenuItem->LeftWidth;
    measure.itemWidth = static_cast<UINT>(width);
    if (text[0])
        measure.itemHeight += 4;
    else
        measure.itemHeight = 8;
    if (WinVersion & 0x80000000u) measure.itemHeight += 4;
}

void TWinSkinForm::WMDrawItem(TMessage& m) {
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (!draw || draw->CtlType != ODT_MENU || !WindowMenu) {
        CallPreviousProc(m);
        return;
    }
    if (PendingPopupMenu) {
        PendingPopupMenu->Menu = reinterpret_cast<HMENU>(draw->hwndItem);
        PendingPopupMenu = nullptr;
    }
    if (SkinManager) SkinManager->MarkPopupMenus();
    if (Form)
        DrawFormMenuItem(*draw);
    else
        DrawHandleMenuItem(*draw);
    m.Result = TRUE;
}

void TWinSkinForm::DrawFormMenuItem(const DRAWITEMSTRUCT& draw) {
    TMenuItem* item =
        MenuBar && MenuBar->MainMenu ? MenuBar->MainMenu->FindItem(draw.itemID, TMenu::fkCommand) : nullptr;
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    if (item) {
        TDCCanvas canvas(draw.hDC);
        AssignMenuFont(*canvas->Font());
        if (SkinData && SkinData->MenuItem)
            DrawMenuItem(item, canvas.get(), draw.rcItem, selected);
        else
            DrawMenuItemPlain(item, canvas.get(), selected, draw.rcItem);
        return;
    }
    if (draw.itemID >= 1 && draw.itemID <= 4095) {
        TMessage m{WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), 0};
        CallPreviousProc(m);
        return;
    }
    DrawHandleMenuItem(draw);
}

void TWinSkinForm::DrawHandleMenuItem(const DRAWITEMSTRUCT& draw) {
    const auto menu = reinterpret_cast<HMENU>(draw.hwndItem);
    std::unique_ptr<TMenuItem> item = MenuItemFromHandle(menu, draw.itemID);
    TDCCanvas canvas(draw.hDC);
    AssignMenuFont(*canvas->Font());
    DrawMenuItemForHandle(menu, item.get(), (draw.itemState & ODS_SELECTED) != 0, draw.rcItem, canvas.get());
}

std::unique_ptr<TMenuItem> MenuItemFromHandle(HMENU menu, UINT id) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE;
    GetMenuItemInfoW(menu, id, FALSE, &info);
    auto item = std::make_unique<TMenuItem>(nullptr);
    wchar_t text[81] = {};
    GetMenuStringW(menu, id, text, 80, MF_BYCOMMAND);
    item->SetCaption(text[0] ? String(text) : String(L"-"));
    item->SetEnabled((info.fState & 3) == 0);
    item->SetChecked((info.fState & MFS_CHECKED) != 0);
    return item;
}

void TWinSkinForm::SetMenuOwnerDraw(HMENU menu, bool on) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        const UINT type =
            on ? (info.fType | MFT_OWNERDRAW) : (info.fType & ~static_cast<UINT>(MFT_OWNERDRAW));
        if (type != info.fType) {
            info.fMask = MIIM_FTYPE;
            info.fType = type;
            SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        }
        if (info.hSubMenu) SetMenuOwnerDraw(info.hSubMenu, on);
    }
}

// --- the framework form's WindowProc and the MDI client -------------------------------------------------

void TWinSkinForm::FormWindowProcHook(TMessage& m) {
    auto previous = [&] {
        if (PrevFormProc)
            PrevFormProc(m);
        else if (Form)
            Form->WndProc(m);
    };
    switch (m.Msg) {
    case WM_SETTEXT:
        previous();
        RefreshFrame();
        return;
    case SKM_RESKIN:
        Reskin();
        return;
    case CM_DIALOGCHAR:
        MenuDialogChar(m);
        return;
    default:
        previous();
        return;
    }
}

void TWinSkinForm::MDIClientWndProc(TMessage& m) {
    const bool active = FrameSkinning;
    switch (m.Msg) {
    case WM_NCDESTROY: {
        CallOldMDIClientProc(m);
        RestoreMDIClientProc();
        return;
    }
    case WM_NCCALCSIZE:
        if (active && SkinData && !SkinData->Options().Contains(xoMDIScrollbar)) {
            const auto style = static_cast<DWORD>(GetWindowLongW(MDIClient, GWL_STYLE));
            SetWindowLongW(MDIClient, GWL_STYLE,
                           static_cast<LONG>(style & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL)));
        }
        CallOldMDIClientProc(m);
        return;
    case WM_MDICREATE:
        if (SkinData) SkinData->SetMenuUpdate(false);
        CallOldMDIClientProc(m);
        NewMDIChild = reinterpret_cast<HWND>(m.Result);
        return;
    case WM_MDIDESTROY:
        CallOldMDIClientProc(m);
        if (active) {
            if (SkinManager) SkinManager->SetMDIMaximized(IsMDIChildMaximized());
            if (!SendMessageW(MDIClient, WM_MDIGETACTIVE, 0, 0) && MenuBar) {
                if (SkinData) SkinData->SetMenuUpdate(SavedMenuUpdate);
                MenuBar->BuildFromMenu();
            }
        }
        return;
    case WM_MDITILE:
    case WM_MDICASCADE:
        if (active && SkinManager && SkinManager->MDIMaximized) SkinManager->SetMDIMaximized(false);
        CallOldMDIClientProc(m);
        return;
    case WM_MDISETMENU:
        CallOldMDIClientProc(m);
        if (active) {
            const auto frameMenu = reinterpret_cast<HMENU>(m.WParam);
            if (frameMenu && MenuBar &&
                (static_cast<LONG_PTR>(m.WParam) < 0 || frameMenu != MenuBar->MenuHandle || NewMDIChild))
                MenuBar->BuildFromMenuHandle(GetMenu(Window));
            SetMenu(Window, nullptr);
        }
        return;
    case WM_MDIREFRESHMENU:
        CallOldMDIClientProc(m);
        if (NewMDIChild) {
            if (SkinManager) SkinManager->SkinWindow(NewMDIChild);
            PostMessageW(Window, SKM_NCREPAINT, 0, 0);
            NewMDIChild = nullptr;
        }
        return;
    default:
        CallOldMDIClientProc(m);
        return;
    }
}
