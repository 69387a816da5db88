// The objects of the non-client area (caption and menu-bar buttons), the skinned menu bar, and the
// tracking of a menu-bar popup with its message-filter hook.
#include <framework/sysutils.h>

#include <algorithm>
#include <cwctype>

#include "WinSkinForm_Internal.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"
#include "skin_forms/WinSkinForm.h"

TMenuTrackingState MenuTracking;

namespace {

constexpr UINT kCenteredText = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// The accelerator of a caption: the character after a single "&"; 0 for none.
wchar_t AcceleratorOf(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return caption[i + 1];
        ++i;
    }
    return 0;
}

bool SameKey(wchar_t a, wchar_t b) {
    return std::towupper(a) == std::towupper(b);
}

// The position of the highlighted item of a menu; -1 for none.
int HilitedItem(HMENU menu) {
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i)
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) return i;
    return -1;
}

// The selected item of the innermost open menu below popup: a submenu counts as open when one of
// its items is selected.
struct TSelectedItem {
    HMENU menu = nullptr;
    int index = -1;
    bool nested = false; // the item lies in a submenu of popup
};
TSelectedItem SelectedItemOf(HMENU popup) {
    TSelectedItem at{popup, HilitedItem(popup), false};
    // Menus nest only a few deep; the bound guards against a menu that holds itself.
    for (int depth = 0; at.index >= 0 && depth < 16; ++depth) {
        HMENU sub = GetSubMenu(at.menu, at.index);
        const int inner = sub ? HilitedItem(sub) : -1;
        if (inner < 0) break;
        at = TSelectedItem{sub, inner, true};
    }
    return at;
}

// Selects the first item of the open popup that is no separator, so that the arrow keys and Enter
// work from it. Done at once rather than by a posted key: keys already waiting stay in order.
void SelectFirstItem(HWND owner, HMENU popup) {
    const int count = popup ? GetMenuItemCount(popup) : 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        if (!GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info) || (info.fType & MFT_SEPARATOR))
            continue;
        HiliteMenuItem(owner, popup, static_cast<UINT>(i), MF_BYPOSITION | MF_HILITE);
        return;
    }
}

// The filter hook is held exactly while a popup is tracked, also when tracking ends by an exception.
class TMenuHookScope {
public:
    TMenuHookScope() { InstallMenuHook(); }
    ~TMenuHookScope() { RemoveMenuHook(); }
    TMenuHookScope(const TMenuHookScope&) = delete;
    TMenuHookScope& operator=(const TMenuHookScope&) = delete;
};

} // namespace

// --- objects of the non-client area --------------------------------------------------------------------

void TNCObject::PressDown() {
    if (SkinForm->HotObject && SkinForm->HotObject != this) SkinForm->HotObject->MouseLeave();
    if (!Shown) return;
    SkinForm->HotObject = this;
    State = nsPressed;
    Draw();
}

void TNCObject::Release() {
    if (!Shown) return;
    State = nsHot;
    Draw();
}

void TNCObject::Hover() {
    if (SkinForm->HotObject == this) return;
    if (SkinForm->HotObject) SkinForm->HotObject->MouseLeave();
    if (!Shown) return;
    SkinForm->HotObject = this;
    State = nsHot;
    Draw();
}

void TNCObject::MouseLeave() {
    if (!Shown) return;
    SkinForm->HotObject = nullptr;
    State = nsNormal;
    Draw();
}

TDataSkinSysButton* TWinSysButton::Entry() const {
    TSkinData* data = SkinForm ? SkinForm->SkinData : nullptr;
    if (!data || EntryIndex < 0 || EntryIndex >= static_cast<int>(data->SysButtons.size())) return nullptr;
    return data->SysButtons[static_cast<std::size_t>(EntryIndex)].get();
}

void TWinSysButton::Draw() {
    if (SkinForm) SkinForm->DrawSysButton(*this, State);
}

void TMenuBtn::Draw() {
    if (!SkinForm || !SkinForm->MenuBar || !SkinData) return;
    TWinSkinMenu& bar = *SkinForm->MenuBar;
    TWindowDC dc(SkinForm->Window);
    if (!dc.Get() || bar.CleanBar.Empty()) return;
    TCanvas& canvas = *SkinForm->MenuCanvas();
    canvas.SetHandle(dc.Get());
    try {
        BitBlt(dc.Get(), Rect.left, bar.BarRect.top, RectWidth(Rect), RectHeight(bar.BarRect),
               bar.CleanBar.Canvas()->Handle(), Rect.left - bar.BarRect.left, 0, SRCCOPY);
        if (State == nsPressed || State == nsHot) {
            canvas.Brush()->SetStyle(bsSolid);
            canvas.Brush()->SetColor(SkinData->Colours.ButtonHilight);
            canvas.FrameRect(Rect);
        }
        AssignMenuFont(*canvas.Font());
        canvas.Font()->SetColor(Enabled ? SkinData->Colours.MenuBarText : SkinData->Colours.ButtonShadow);
        canvas.Brush()->SetStyle(bsClear);
        RECT r = Rect;
        canvas.DrawText(Caption, r, kCenteredText);
    } catch (...) {
        canvas.SetHandle(nullptr);
        throw;
    }
    canvas.SetHandle(nullptr);
}

// --- the menu bar --------------------------------------------------------------------------------------

TWinSkinMenu::TWinSkinMenu(TWinSkinForm* skinForm, TSkinData* skinData)
    : TComponent(nullptr), SkinData(skinData), SkinForm(skinForm) {}

TWinSkinMenu::~TWinSkinMenu() {
    FreeButtons();
    CleanBar.FreeImage();
}

void TWinSkinMenu::FreeButtons() {
    if (SkinForm)
        for (const auto& button : Buttons)
            if (SkinForm->HotObject == button.get()) SkinForm->HotObject = nullptr;
    Buttons.clear();
}

TMenuBtn* TWinSkinMenu::AddButton() {
    auto button = std::make_unique<TMenuBtn>();
    button->SkinForm = SkinForm;
    button->SkinData = SkinData;
    button->Index = static_cast<int>(Buttons.size());
    Buttons.push_back(std::move(button));
    return Buttons.back().get();
}

void TWinSkinMenu::FillFromFrameworkItem(TMenuBtn& button, TMenuItem* item) {
    button.MenuItem = item;
    button.Caption = item->Caption();
    button.Enabled = item->Enabled();
    button.Popup = item->Count() > 0 ? item->Handle() : nullptr;
}

void TWinSkinMenu::BuildFromMenu() {
    if (HMENU menu = GetMenu(SkinForm->Window)) MenuHandle = menu;
    if (!MenuHandle) return;
    if (!SkinForm->Form) {
        // A window that is no framework form has only its Windows menu to build from.
        BuildFromWindowMenu();
        return;
    }
    MainMenu = SkinForm->Form->Menu();
    if (!MainMenu) return;
    FreeButtons();
    TMenuItem* items = MainMenu->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        TMenuBtn* button = AddButton();
        FillFromFrameworkItem(*button, item);
        button->Shown = item->Visible();
        button->Command = item->Command();
    }
    SetMenu(SkinForm->Window, nullptr);
}

void TWinSkinMenu::BuildFromWindowMenu() {
    if (HMENU menu = GetMenu(SkinForm->Window)) MenuHandle = menu;
    BuildFromHandleItems(true);
}

void TWinSkinMenu::BuildFromMenuHandle(HMENU menu) {
    if (menu) MenuHandle = menu;
    BuildFromHandleItems(false);
}

void TWinSkinMenu::BuildFromHandleItems(bool byPosition) {
    if (!MenuHandle) return;
    FreeButtons();
    const int count = GetMenuItemCount(MenuHandle);
    if (count <= 0) return;
    for (int i = 0; i < count; ++i) {
        wchar_t text[80] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
        info.dwTypeData = text;
        info.cch = 79;
        GetMenuItemInfoW(MenuHandle, static_cast<UINT>(i), TRUE, &info);
        TMenuBtn* button = AddButton();
        button->Popup = info.hSubMenu;
        button->Enabled = (info.fState & 3) == 0;
        button->Shown = true;
        button->Command = info.wID;
        button->Caption = text;
        // An owner-drawn item has no text: the framework item tells what it is.
        if (!button->Caption.empty() || !MainMenu) continue;
        TMenuItem* taken = nullptr;
        if (byPosition) {
            if (i < MainMenu->Items()->Count()) taken = MainMenu->Items()->Items(i);
        } else {
            for (int k = 0; k < MainMenu->Items()->Count(); ++k)
                if (MainMenu->Items()->Items(k)->Command() == info.wID) taken = MainMenu->Items()->Items(k);
        }
        if (!taken) continue;
        FillFromFrameworkItem(*button, taken);
        button->Command = byPosition ? GetMenuItemID(MenuHandle, i) : taken->Command();
    }
    SetMenu(SkinForm->Window, nullptr);
}

bool TWinSkinMenu::IsRightToLeft() const {
    return MainMenu && MainMenu->IsRightToLeft();
}

TMenuBtn* TWinSkinMenu::ButtonAt(POINT p) const {
    for (const auto& button : Buttons)
        if (PtInRect(&button->Rect, p) && !button->Caption.empty()) return button.get();
    return nullptr;
}

void TWinSkinMenu::DrawBar(HDC dc, const RECT& bar) {
    const int w = RectWidth(bar), h = RectHeight(bar);
    if (w <= 0 || h <= 0) return;
    TBitmap& scratch = *SkinScratchBitmap();
    scratch.SetPixelFormat(pf24bit);
    scratch.SetSize(w, h);
    TCanvas& canvas = *scratch.Canvas();
    const RECT whole{0, 0, w, h};
    int offset = 6;
    if (TDataSkinObject* element = SkinData->MenuBar.get(); element && !element->Bitmap.Empty()) {
        const int frame = SkinForm->Active ? 1 : 2;
        if (element->Tile == 1)
            DrawSkinFrame(canvas.Handle(), whole, element->Bitmap, element->Margins(), frame, 2, false, false,
                          false);
        else
            DrawSkinFrameCanvas(canvas, whole, element->Bitmap, element->Margins(), frame, 2, false, false);
        offset = IsRightToLeft() ? element->RightWidth + 8 : element->LeftWidth + 4;
        if (offset > w) offset = 12;
    } else {
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(SkinData->Colours.Menubar);
        canvas.FillRect(whole);
    }
    BarRect = bar;
    CleanBar.Assign(&scratch);

    AssignMenuFont(*canvas.Font());
    canvas.Brush()->SetStyle(bsClear);
    Drawing = true;
    int edge = IsRightToLeft() ? w - offset : offset;
    for (const auto& button : Buttons) {
        if (!button->Shown) {
            button->Rect = RECT{};
            continue;
        }
        int width = 0;
        if (!button->Caption.empty()) {
            RECT measure{0, 0, 0, 0};
            canvas.DrawText(button->Caption, measure, DT_CALCRECT | DT_SINGLELINE);
            width = RectWidth(measure) + 10;
        }
        RECT box = IsRightToLeft() ? RECT{edge - width, 0, edge, h - 1} : RECT{edge, 0, edge + width, h - 1};
        edge = IsRightToLeft() ? edge - width : edge + width;
        canvas.Font()->SetColor(button->Enabled ? SkinData->Colours.MenuBarText
                                                : SkinData->Colours.ButtonShadow);
        RECT text = box;
        canvas.DrawText(button->Caption, text, kCenteredText);
        OffsetRect(&box, bar.left, bar.top);
        button->Rect = box;
    }
    Drawing = false;

    if (SkinForm->WindowKind == wkMDIFrame && SkinForm->IsMDIChildMaximized()) {
        for (const auto& sys : SkinForm->SysButtons) {
            TDataSkinSysButton* entry = sys->Entry();
            if (!entry || entry->Visibility != 100 || entry->Bitmap.Empty()) continue;
            RECT r = sys->Rect;
            OffsetRect(&r, -bar.left, -bar.top);
            DrawStripFrame(canvas.Handle(), r, entry->Bitmap, 1, entry->FrameCount, true);
        }
        if (SkinManager && !SkinManager->MDIMaximized) SkinManager->SetMDIMaximized(true);
    }
    BitBlt(dc, bar.left, bar.top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
    canvas.Refresh();
}

// --- tracking a popup of the bar -------------------------------------------------------------------------

TMenuBtn* TWinSkinForm::MenuButtonByAccel(wchar_t key) const {
    if (!MenuBar || !key) return nullptr;
    for (const auto& button : MenuBar->Buttons)
        if (button->Enabled && button->Shown) {
            const wchar_t accelerator = AcceleratorOf(button->Caption);
            if (accelerator && SameKey(accelerator, key)) return button.get();
        }
    return nullptr;
}

void TWinSkinForm::PostMenuButtonClick(TMenuBtn* button) {
    if (!button) return;
    GetWindowRect(Window, &WindowRectangle);
    const int x = button->Rect.left + WindowRectangle.left + 1,
              y = button->Rect.top + WindowRectangle.top + 1;
    PostMessageW(Window, WM_NCLBUTTONDOWN, HTCLIENT, MAKELPARAM(x, y));
}

void TWinSkinForm::EndMenuTracking() {
    MenuTrackingOn = false;
}

bool TWinSkinForm::TrackMenuButton(TMenuBtn* button) {
    if (!button || !MenuBar) return false;
    int index = button->Index;
    // The bar may be rebuilt while a popup is prepared (items shown or hidden): buttons are found
    // again by their index.
    auto buttonAt = [this](int i) -> TMenuBtn* {
        return MenuBar && i >= 0 && i < static_cast<int>(MenuBar->Buttons.size())
                   ? MenuBar->Buttons[static_cast<std::size_t>(i)].get()
                   : nullptr;
    };
    for (;;) {
        PostMessageW(Window, WM_COMMAND, button->Command, 0);
        if (!button->Popup) return false;
        if (button->MenuItem) HideExtraSeparators(button->MenuItem);
        button = buttonAt(index);
        if (!button || !button->Popup) return false;
        MenuTracking.ButtonIndex = index;
        MenuTracking.TrackingForm = this;
        GetWindowRect(Window, &WindowRectangle);
        SetMenuOwnerDraw(button->Popup);
        MenuTrackingOn = true;
        if (SkinManager) SkinManager->PopupMode = 1;
        TrackedPopup = button->Popup;
        int next = -1;
        {
            TMenuHookScope hook;
            if (button->Enabled)
                TrackPopupMenu(button->Popup, TPM_NONOTIFY | TPM_RIGHTBUTTON,
                               button->Rect.left + WindowRectangle.left,
                               button->Rect.bottom + WindowRectangle.top, 0, Window, nullptr);
            next = MenuTracking.SwitchTo;
        }
        MenuTrackingOn = false;
        // Another button was asked for (arrow keys, the mouse over it): its popup opens now.
        button = buttonAt(next);
        if (!button || next == index) return true;
        index = next;
        button->PressDown();
    }
}

void TWinSkinForm::MenuDialogChar(TMessage& m) {
    const bool alt = GetKeyState(VK_MENU) < 0, ctrl = GetKeyState(VK_CONTROL) < 0,
               shift = GetKeyState(VK_SHIFT) < 0;
    if (alt && !ctrl && !shift)
        if (TMenuBtn* button = MenuButtonByAccel(static_cast<wchar_t>(m.WParam))) {
            PostMenuButtonClick(button);
            m.Result = 1;
            return;
        }
    if (WindowKind == wkMDIChild && SkinManager && SkinManager->MDIFrameForm) {
        m.Result = SkinManager->MDIFrameForm->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
        if (m.Result) return;
    }
    m.Result = 0;
    if (PrevFormProc)
        PrevFormProc(m);
    else if (Form)
        Form->WndProc(m);
}

void TWinSkinForm::TrackMenuBarKeyboard() {
    if (!MenuBar) return;
    auto selectable = [this](int i) {
        const TMenuBtn& b = *MenuBar->Buttons[static_cast<std::size_t>(i)];
        return b.Shown && !b.Caption.empty();
    };
    const int count = static_cast<int>(MenuBar->Buttons.size());
    int index = -1;
    for (int i = 0; i < count && index < 0; ++i)
        if (selectable(i)) index = i;
    if (index < 0) return;
    auto step = [&](int from, int direction) {
        for (int k = 1; k <= count; ++k) {
            const int i = ((from + direction * k) % count + count) % count;
            if (selectable(i)) return i;
        }
        return from;
    };
    // The hover timer leaves the highlighted button alone meanwhile.
    MenuTrackingOn = true;
    MenuBar->Buttons[static_cast<std::size_t>(index)]->Hover();
    TMenuBtn* open = nullptr;
    MSG msg;
    for (bool done = false; !done;) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!MenuBar || count != static_cast<int>(MenuBar->Buttons.size())) break;
        if (auto* hot = dynamic_cast<TMenuBtn*>(HotObject)) index = hot->Index;
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            switch (msg.wParam) {
            case VK_LEFT:
            case VK_RIGHT:
                index = step(index, msg.wParam == VK_RIGHT ? 1 : -1);
                MenuBar->Buttons[static_cast<std::size_t>(index)]->Hover();
                break;
            case VK_DOWN:
            case VK_UP:
            case VK_RETURN:
                open = MenuBar->Buttons[static_cast<std::size_t>(index)].get();
                done = true;
                break;
            case VK_ESCAPE:
            case VK_MENU:
            case VK_F10:
                done = true;
                break;
            default:
                if (TMenuBtn* button = MenuButtonByAccel(static_cast<wchar_t>(
                        MapVirtualKeyW(static_cast<UINT>(msg.wParam), MAPVK_VK_TO_CHAR)))) {
                    open = button;
                    done = true;
                }
                break;
            }
            continue;
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
            continue;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            // A click ends the keyboard's hold on the bar and then does what it does.
            MenuTrackingOn = false;
            if (HotObject) HotObject->MouseLeave();
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            return;
        default:
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        // The mode outlives a loss of activation (another program's window may come up meanwhile):
        // Alt, Esc or a click ends it.
        if (!IsWindow(Window)) break;
    }
    MenuTrackingOn = false;
    if (open) {
        open->PressDown();
        TrackMenuButton(open);
    }
    if (IsWindow(Window) && HotObject) HotObject->MouseLeave();
}

// --- the message-filter hook -------------------------------------------------------------------------

void InstallMenuHook() {
    MenuTracking.Switching = false;
    MenuTracking.SwitchTo = -1;
    MenuTracking.FirstKeyPosted = false;
    GetCursorPos(&MenuTracking.LastCursorPos);
    if (!MenuTracking.FilterHook)
        MenuTracking.FilterHook =
            SetWindowsHookExW(WH_MSGFILTER, MenuFilterProc, nullptr, GetCurrentThreadId());
}

void RemoveMenuHook() {
    if (MenuTracking.FilterHook) UnhookWindowsHookEx(MenuTracking.FilterHook);
    MenuTracking.FilterHook = nullptr;
    MenuTracking.SelectedItem = nullptr;
    MenuTracking.ButtonIndex = -1;
    MenuTracking.FirstKeyPosted = false;
    MenuTracking.SwitchTo = -1;
}

TMenuBtn* NextMenuButton(bool forward) {
    TWinSkinForm* form = MenuTracking.TrackingForm;
    if (!form || !form->MenuBar || form->MenuBar->Buttons.empty()) return nullptr;
    const auto& buttons = form->MenuBar->Buttons;
    const int count = static_cast<int>(buttons.size());
    for (int k = 1; k <= count; ++k) {
        const int i = ((MenuTracking.ButtonIndex + (forward ? k : -k)) % count + count) % count;
        const TMenuBtn& b = *buttons[static_cast<std::size_t>(i)];
        if (b.Shown && !b.Caption.empty()) return buttons[static_cast<std::size_t>(i)].get();
    }
    return nullptr;
}

LRESULT CALLBACK MenuFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    TMenuItem* selected = MenuTracking.SelectedItem;
    if (msg && selected && selected->GetParentMenu() && selected->GetParentMenu()->IsRightToLeft()) {
        if (msg->wParam == VK_LEFT)
            msg->wParam = VK_RIGHT;
        else if (msg->wParam == VK_RIGHT)
            msg->wParam = VK_LEFT;
    }
    const LRESULT result = CallNextHookEx(MenuTracking.FilterHook, code, wParam, lParam);
    if (result != 0 || code != MSGF_MENU || !msg) return result;
    TWinSkinForm* form = MenuTracking.TrackingForm;
    if (!form) return result;
    try {
        if (!MenuTracking.FirstKeyPosted) {
            MenuTracking.FirstKeyPosted = true;
            SelectFirstItem(form->Window, form->TrackedPopup);
        }
        TMenuBtn* target = nullptr;
        switch (msg->message) {
        case WM_KEYDOWN:
            switch (msg->wParam) {
            case VK_RETURN:
            case VK_ESCAPE:
                MenuTracking.Switching = false;
                break;
            case VK_LEFT: {
                // Inside an open submenu the system closes it first.
                if (!SelectedItemOf(form->TrackedPopup).nested) target = NextMenuButton(false);
                break;
            }
            case VK_RIGHT: {
                // An item with sub-items opens them; any other item, also inside a submenu, moves on.
                const TSelectedItem selected = SelectedItemOf(form->TrackedPopup);
                if (!(selected.index >= 0 && GetSubMenu(selected.menu, selected.index)))
                    target = NextMenuButton(true);
                break;
            }
            default:
                break;
            }
            break;
        case WM_SYSKEYDOWN:
            if (msg->wParam == VK_MENU) form->EndMenuTracking();
            return result;
        case WM_MENUSELECT:
            if (HIWORD(msg->wParam) == 0xFFFF && msg->lParam == 0) {
                if (!MenuTracking.Switching) form->EndMenuTracking();
                return result;
            }
            MenuTracking.Switching = false;
            if (form->MenuBar && form->MenuBar->MainMenu) {
                TMainMenu* main = form->MenuBar->MainMenu;
                if (HIWORD(msg->wParam) & MF_POPUP)
                    MenuTracking.SelectedItem =
                        main->FindItem(reinterpret_cast<UINT_PTR>(GetSubMenu(
                                           reinterpret_cast<HMENU>(msg->lParam), LOWORD(msg->wParam))),
                                       TMenu::fkHandle);
                else
                    MenuTracking.SelectedItem = main->FindItem(LOWORD(msg->wParam), TMenu::fkCommand);
            }
            break;
        case WM_MOUSEMOVE:
            if (msg->pt.x != MenuTracking.LastCursorPos.x || msg->pt.y != MenuTracking.LastCursorPos.y) {
                if (form->MenuBar)
                    target = form->MenuBar->ButtonAt(form->ScreenToWindowPoint(msg->pt.x, msg->pt.y));
                MenuTracking.LastCursorPos = msg->pt;
            }
            break;
        default:
            break;
        }
        if (target && target->Index != MenuTracking.ButtonIndex) {
            // The open popup ends; the tracking loop opens the target's popup once it has.
            MenuTracking.Switching = true;
            MenuTracking.SwitchTo = target->Index;
            EndMenu();
        }
    } catch (...) {
        ReportCurrentException(nullptr);
    }
    return result;
}

void HideExtraSeparators(TMenuItem* item) {
    if (!item) return;
    const int count = item->Count();
    int start = 0;
    for (int i = 0; i < count; ++i) {
        TMenuItem* sub = item->Items(i);
        if (!sub->Visible()) continue;
        if (!sub->IsLine()) {
            start = i;
            break;
        }
        sub->SetVisible(false);
    }
    TMenuItem* remembered = nullptr;
    int last = start;
    for (int i = start; i < count; ++i) {
        TMenuItem* sub = item->Items(i);
        if (sub->IsLine()) {
            if (remembered && remembered->Visible()) remembered->SetVisible(false);
            remembered = sub;
        } else if (sub->Visible()) {
            if (remembered && !remembered->Visible()) remembered->SetVisible(true);
            remembered = nullptr;
            last = i;
        }
    }
    for (int i = count - 1; i >= last; --i) {
        TMenuItem* sub = item->Items(i);
        if (!sub->Visible()) continue;
        if (!sub->IsLine()) break;
        sub->SetVisible(false);
    }
}
