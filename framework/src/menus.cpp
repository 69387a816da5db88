#include <framework/forms.h>
#include <framework/menus.h>
#include <framework/sysutils.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

const TIdentMap PopupAlignmentIdents{{L"paLeft", paLeft}, {L"paRight", paRight}, {L"paCenter", paCenter}};

// ---------------------------------------------------------------------------------------------------
// Short cuts

TShortCut ShortCut(WORD key, TShortCut modifiers) {
    return static_cast<TShortCut>((key & 0xFF) | modifiers);
}

String ShortCutToText(TShortCut shortCut) {
    const WORD key = shortCut & 0xFF;
    if (!key) return String();
    String name;
    static const std::pair<WORD, const wchar_t*> names[] = {
        {VK_BACK, L"BkSp"},   {VK_TAB, L"Tab"},    {VK_RETURN, L"Enter"}, {VK_ESCAPE, L"Esc"},
        {VK_SPACE, L"Space"}, {VK_PRIOR, L"PgUp"}, {VK_NEXT, L"PgDn"},    {VK_END, L"End"},
        {VK_HOME, L"Home"},   {VK_LEFT, L"Left"},  {VK_UP, L"Up"},        {VK_RIGHT, L"Right"},
        {VK_DOWN, L"Down"},   {VK_INSERT, L"Ins"}, {VK_DELETE, L"Del"}};
    for (const auto& [vk, text] : names)
        if (vk == key) name = text;
    if (name.empty()) {
        if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
            name = String(1, static_cast<wchar_t>(key));
        else if (key >= VK_F1 && key <= VK_F24)
            name = L"F" + IntToStr(key - VK_F1 + 1);
        else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
            name = L"Num " + IntToStr(key - VK_NUMPAD0);
        else {
            UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
            wchar_t buffer[64] = {};
            if (scan && GetKeyNameTextW(static_cast<LONG>(scan << 16), buffer, 64) > 0)
                name = buffer;
            else
                return String();
        }
    }
    String prefix;
    if (shortCut & scShift) prefix += L"Shift+";
    if (shortCut & scCtrl) prefix += L"Ctrl+";
    if (shortCut & scAlt) prefix += L"Alt+";
    return prefix + name;
}

// ---------------------------------------------------------------------------------------------------
// Registry of live items: command ids, and a check for item pointers that native menus hand back.

namespace {

struct ItemRegistry {
    std::unordered_map<UINT, TMenuItem*> byCommand;
    std::unordered_set<const TMenuItem*> live;
    UINT next = kFirstCommand;
    // Ids below 256 are left to dialog commands (IDOK, IDCANCEL ...), ids from 0xF000 to the system.
    static constexpr UINT kFirstCommand = 0x100, kLastCommand = 0xEFFF;

    UINT Allocate(TMenuItem* item) {
        for (UINT tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
            UINT id = next;
            next = next >= kLastCommand ? kFirstCommand : next + 1;
            if (!byCommand.count(id)) {
                byCommand[id] = item;
                live.insert(item);
                return id;
            }
        }
        throw EOutOfResources(L"Too many menu items");
    }
    void Release(TMenuItem* item, UINT id) {
        byCommand.erase(id);
        live.erase(item);
    }
};

ItemRegistry& Registry() {
    static auto* registry = new ItemRegistry; // used until the program's last window is gone
    return *registry;
}

void FontFromMenuMetrics(TFont& font) {
    if (AssignMenuFont(font)) font.SetColor(clMenuText);
}

// Routes owner-draw and popup notifications of native menus to the items, and WM_COMMAND of a form's
// menu bar to the item clicked.
bool DispatchMenuMessage(TWinControl*, TMessage& m) {
    switch (m.Msg) {
    case WM_COMMAND:
        if (m.LParam == 0 && HIWORD(m.WParam) == 0) {
            if (TMenuItem* item = TMenuItem::FindByCommand(LOWORD(m.WParam))) {
                item->Click();
                m.Result = 0;
                return true;
            }
        }
        return false;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (measure->CtlType != ODT_MENU) return false;
        TMenuItem* item = TMenuItem::FromItemData(measure->itemData);
        if (!item) return false;
        item->MeasureItem(*measure);
        m.Result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (draw->CtlType != ODT_MENU) return false;
        TMenuItem* item = TMenuItem::FromItemData(draw->itemData);
        if (!item) return false;
        item->DrawItem(*draw);
        m.Result = TRUE;
        return true;
    }
    case WM_INITMENUPOPUP: {
        // An item with sub-items is "clicked" when its popup opens (it may set up the sub-items).
        auto popup = reinterpret_cast<HMENU>(m.WParam);
        for (const TMenuItem* candidate : Registry().live) {
            if (candidate->HasHandle() && candidate->Handle() == popup && candidate->Parent()) {
                const_cast<TMenuItem*>(candidate)->Click();
                break;
            }
        }
        return false; // the system goes on with its own handling
    }
    default:
        return false;
    }
}

// The hidden window that owns context menus while they are shown.
class PopupOwner {
public:
    static HWND Window() {
        static PopupOwner owner;
        return owner.window_;
    }

private:
    PopupOwner() {
        window_ = AllocateTopLevelHWnd([this](TMessage& m) {
            if (!DispatchMenuMessage(nullptr, m))
                m.Result = DefWindowProcW(window_, m.Msg, m.WParam, m.LParam);
        });
    }
    ~PopupOwner() {
        if (window_) DeallocateHWnd(window_);
    }
    HWND window_ = nullptr;
};

void ShowPopupFor(TPopupMenu* menu, int x, int y, TControl* sender) {
    if (!menu || !menu->AutoPopup()) return;
    menu->SetPopupComponent(sender);
    menu->Popup(x, y);
}

HMENU MainMenuHandle(TMainMenu* menu) {
    return menu ? menu->Handle() : nullptr;
}

void InstallMenuSeam() {
    TMenuSeam& seam = MenuSeam();
    seam.MainMenuHandle = &MainMenuHandle;
    seam.Popup = &ShowPopupFor;
    seam.Dispatch = &DispatchMenuMessage;
}

const bool seamInstalled = (InstallMenuSeam(), true);

} // namespace

// ---------------------------------------------------------------------------------------------------
// TMenuItem

// The native menu of an item's sub-items. Sub-menus are taken out before it is destroyed: each item
// destroys its own.
class TMenuItem::Handle_ {
public:
    explicit Handle_(bool menuBar) : menu_(menuBar ? CreateMenu() : CreatePopupMenu()) {
        if (!menu_) RaiseLastOSError(L"Cannot create a menu");
    }
    ~Handle_() {
        Empty();
        DestroyMenu(menu_);
    }
    Handle_(const Handle_&) = delete;
    Handle_& operator=(const Handle_&) = delete;
    HMENU Get() const { return menu_; }
    void Empty() const {
        while (GetMenuItemCount(menu_) > 0) RemoveMenu(menu_, 0, MF_BYPOSITION);
    }

private:
    HMENU menu_;
};

const TClassInfo* TMenuItem::StaticClassInfo() {
    static const TClassInfo info(
        L"TMenuItem", TComponent::StaticClassInfo(),
        {
            StrProp<TMenuItem>(L"Name", &TMenuItem::Name, &TMenuItem::SetName),
            IntProp<TMenuItem>(L"Tag", &TMenuItem::Tag, &TMenuItem::SetTag),
            StrProp<TMenuItem>(L"Caption", &TMenuItem::Caption, &TMenuItem::SetCaption),
            BoolProp<TMenuItem>(L"Checked", &TMenuItem::Checked, &TMenuItem::SetChecked),
            BoolProp<TMenuItem>(L"Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled),
            BoolProp<TMenuItem>(L"Visible", &TMenuItem::Visible, &TMenuItem::SetVisible),
            BoolProp<TMenuItem>(L"Default", &TMenuItem::Default, &TMenuItem::SetDefault),
            BoolProp<TMenuItem>(L"RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem),
            IntProp<TMenuItem>(L"ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut),
            IntProp<TMenuItem>(L"ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex),
            StrProp<TMenuItem>(L"Hint", &TMenuItem::Hint, &TMenuItem::SetHint),
            EventProp<TMenuItem>(L"OnClick", &TMenuItem::OnClick),
            EventProp<TMenuItem>(L"OnMeasureItem", &TMenuItem::OnMeasureItem),
            EventProp<TMenuItem>(L"OnDrawItem", &TMenuItem::OnDrawItem),
        });
    return &info;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
    InstallMenuSeam();
    command_ = Registry().Allocate(this);
}

TMenuItem::~TMenuItem() {
    handle_.reset();
    Registry().Release(this, command_);
}

void TMenuItem::BeforeDestruction() {
    // Sub-items go with their item; the item leaves its parent's menu.
    while (!items_.empty()) {
        TMenuItem* child = items_.back();
        items_.pop_back();
        child->parent_ = nullptr;
        if (child->Owner()) delete child;
    }
    if (parent_) parent_->Remove(this);
    TComponent::BeforeDestruction();
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
    auto& registry = Registry();
    auto it = registry.byCommand.find(command);
    return it == registry.byCommand.end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::FromItemData(ULONG_PTR data) {
    auto* item = reinterpret_cast<TMenuItem*>(data);
    return Registry().live.count(item) ? item : nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return item->menu_;
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    return items_[static_cast<size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->parent_) throw EInvalidOperation(L"Menu item " + item->Name() + L" is already in a menu");
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == item) throw EInvalidOperation(L"A menu item cannot be inside itself");
    if (index < 0 || index > Count())
        throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    ItemsChanged();
}

void TMenuItem::Delete(int index) {
    TMenuItem* item = Items(index);
    items_.erase(items_.begin() + index);
    item->parent_ = nullptr;
    ItemsChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
}

void TMenuItem::Clear() {
    while (!items_.empty()) {
        TMenuItem* child = items_.back();
        items_.pop_back();
        child->parent_ = nullptr;
        if (child->Owner()) delete child;
    }
    ItemsChanged();
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* item = dynamic_cast<TMenuItem*>(parent))
        item->Add(this);
    else if (auto* menu = dynamic_cast<TMenu*>(parent))
        menu->Items()->Add(this);
}

void TMenuItem::SetCaption(const String& value) {
    if (value == caption_) return;
    caption_ = value;
    Changed();
}
void TMenuItem::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    Changed();
}
void TMenuItem::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Changed();
}
void TMenuItem::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    Changed();
}
void TMenuItem::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    Changed();
}
void TMenuItem::SetRadioItem(bool value) {
    if (value == radioItem_) return;
    radioItem_ = value;
    Changed();
}
void TMenuItem::SetShortCut(TShortCut value) {
    if (value == shortCut_) return;
    shortCut_ = value;
    Changed();
}

void TMenuItem::Click() {
    if (enabled_ && OnClick) OnClick(this);
}

HMENU TMenuItem::Handle() const {
    if (!handle_) {
        if (items_.empty() && !menu_) return nullptr;
        handle_ = std::make_unique<Handle_>(menu_ && menu_->IsMenuBar());
        RebuildHandle();
    }
    return handle_->Get();
}

bool TMenuItem::OwnerDrawn() const {
    TMenu* menu = GetParentMenu();
    return menu && menu->OwnerDraw();
}

String TMenuItem::NativeCaption() const {
    String shortcut = ShortCutToText(shortCut_);
    return shortcut.empty() ? caption_ : caption_ + L"\t" + shortcut;
}

void TMenuItem::RebuildHandle() const {
    if (!handle_) return;
    HMENU menu = handle_->Get();
    handle_->Empty();
    UINT position = 0;
    for (TMenuItem* item : items_) {
        if (!item->visible_) continue;
        String text = item->NativeCaption();
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_DATA | (item->IsLine() ? 0 : MIIM_STRING);
        info.wID = item->command_;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
        info.fType = item->IsLine() ? MFT_SEPARATOR : MFT_STRING;
        if (item->radioItem_) info.fType |= MFT_RADIOCHECK;
        if (item->OwnerDrawn()) info.fType |= MFT_OWNERDRAW;
        info.fState = (item->checked_ ? MFS_CHECKED : 0) | (item->enabled_ ? 0 : MFS_GRAYED) |
                      (item->default_ ? MFS_DEFAULT : 0);
        info.dwTypeData = text.data();
        if (HMENU sub = item->items_.empty() ? nullptr : item->Handle()) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = sub;
        }
        InsertMenuItemW(menu, position++, TRUE, &info);
    }
}

void TMenuItem::Changed() {
    if (parent_) parent_->ItemsChanged();
}

void TMenuItem::ItemsChanged() {
    if (IsDestroying()) return;
    // While a menu (or the form that owns it) goes, its items go one by one: nothing to rebuild.
    TMenu* owningMenu = GetParentMenu();
    if (owningMenu &&
        (owningMenu->IsDestroying() || (owningMenu->Owner() && owningMenu->Owner()->IsDestroying())))
        return;
    if (handle_) {
        if (items_.empty() && !menu_)
            handle_.reset(); // no sub-items left: no popup
        else
            RebuildHandle();
    }
    // A first sub-item (or the last one gone) changes this item's entry in its parent too.
    if (parent_) {
        if (parent_->handle_) parent_->RebuildHandle();
    }
    if (owningMenu) owningMenu->MenuChanged();
}

void TMenuItem::MeasureItem(MEASUREITEMSTRUCT& measure) {
    TCanvas canvas;
    TScreenDC screen;
    canvas.SetHandle(screen.Get());
    FontFromMenuMetrics(*canvas.Font());
    int width = 0, height = 0;
    if (IsLine()) {
        height = 8;
    } else {
        SIZE text = canvas.TextExtent(NativeCaption().empty() ? String(L" ") : NativeCaption());
        width = text.cx + 32;
        height = std::max<int>(text.cy + 4, GetSystemMetrics(SM_CYMENUCHECK));
    }
    if (OnMeasureItem) OnMeasureItem(this, &canvas, width, height);
    canvas.SetHandle(nullptr);
    measure.itemWidth = static_cast<UINT>(std::max(width, 0));
    measure.itemHeight = static_cast<UINT>(std::max(height, 0));
}

void TMenuItem::DrawItem(const DRAWITEMSTRUCT& draw) {
    TCanvas canvas;
    canvas.SetHandle(draw.hDC);
    FontFromMenuMetrics(*canvas.Font());
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    RECT r = draw.rcItem;
    try {
        if (OnDrawItem) {
            OnDrawItem(this, &canvas, r, selected);
        } else if (IsLine()) {
            canvas.Brush()->SetColor(clMenu);
            canvas.FillRect(r);
            RECT line = r;
            line.top += (r.bottom - r.top) / 2 - 1;
            DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        } else {
            // The plain look: highlight bar, check mark, caption and short cut.
            canvas.Brush()->SetColor(selected ? clHighlight : clMenu);
            canvas.FillRect(r);
            canvas.Font()->SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
            if (default_) canvas.Font()->SetStyle(canvas.Font()->Style() + TFontStyles{fsBold});
            canvas.Brush()->SetStyle(bsClear);
            RECT text = r;
            text.left += 20;
            text.right -= 8;
            if (checked_) {
                RECT box{r.left + 2, r.top, r.left + 18, r.bottom};
                canvas.DrawText(radioItem_ ? L"\u25CF" : L"\u2713", box,
                                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
            canvas.DrawText(caption_, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            String shortcut = ShortCutToText(shortCut_);
            if (!shortcut.empty()) canvas.DrawText(shortcut, text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        }
    } catch (...) {
        canvas.SetHandle(nullptr);
        throw;
    }
    canvas.SetHandle(nullptr);
}

// ---------------------------------------------------------------------------------------------------
// TMenu

const TClassInfo* TMenu::StaticClassInfo() {
    static const TClassInfo info(L"TMenu", TComponent::StaticClassInfo(),
                                 {
                                     StrProp<TMenu>(L"Name", &TMenu::Name, &TMenu::SetName),
                                     IntProp<TMenu>(L"Tag", &TMenu::Tag, &TMenu::SetTag),
                                     BoolProp<TMenu>(L"OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw),
                                 });
    return &info;
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr)) {
    InstallMenuSeam();
    items_->menu_ = this;
}

TMenu::~TMenu() = default;

void TMenu::SetOwnerDraw(bool value) {
    if (value == ownerDraw_) return;
    ownerDraw_ = value;
    // Every native menu of the tree takes the new item type.
    std::vector<TMenuItem*> stack{items_.get()};
    while (!stack.empty()) {
        TMenuItem* item = stack.back();
        stack.pop_back();
        if (item->handle_) item->RebuildHandle();
        stack.insert(stack.end(), item->items_.begin(), item->items_.end());
    }
    MenuChanged();
}

TMenuItem* TMenu::FindItem(UINT_PTR value, TFindItemKind kind) const {
    std::vector<TMenuItem*> stack(items_->items_.rbegin(), items_->items_.rend());
    while (!stack.empty()) {
        TMenuItem* item = stack.back();
        stack.pop_back();
        switch (kind) {
        case fkCommand:
            if (item->Command() == value) return item;
            break;
        case fkHandle:
            if (item->HasHandle() && reinterpret_cast<UINT_PTR>(item->Handle()) == value) return item;
            break;
        case fkShortCut:
            if (item->ShortCut() != scNone && item->ShortCut() == value) return item;
            break;
        }
        stack.insert(stack.end(), item->items_.rbegin(), item->items_.rend());
    }
    return nullptr;
}

bool TMenu::DispatchCommand(UINT command) {
    TMenuItem* item = FindItem(command, fkCommand);
    if (!item) return false;
    item->Click();
    return true;
}

void TMainMenu::MenuChanged() {
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Menu() == this && form->HandleAllocated()) {
        // Through the window, so that whoever subclassed it hears of the change too.
        SendMessageW(form->Handle(), CM_MENUCHANGED, 0, 0);
        DrawMenuBar(form->Handle());
    }
}

// ---------------------------------------------------------------------------------------------------
// TPopupMenu

const TClassInfo* TPopupMenu::StaticClassInfo() {
    static const TClassInfo info(
        L"TPopupMenu", TMenu::StaticClassInfo(),
        {
            EnumProp<TPopupMenu>(L"Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
                                 PopupAlignmentIdents),
            BoolProp<TPopupMenu>(L"AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup),
            EventProp<TPopupMenu>(L"OnPopup", &TPopupMenu::OnPopup),
        });
    return &info;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::SetPopupComponent(TComponent* component) {
    if (component == popupComponent_) return;
    if (popupComponent_) RemoveFreeNotification(popupComponent_);
    popupComponent_ = component;
    if (component) FreeNotification(component);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    HMENU menu = Handle();
    if (!menu || GetMenuItemCount(menu) <= 0) return;
    UINT flags = TPM_RIGHTBUTTON | TPM_RETURNCMD |
                 (alignment_ == paRight    ? TPM_RIGHTALIGN
                  : alignment_ == paCenter ? TPM_CENTERALIGN
                                           : TPM_LEFTALIGN);
    UINT command = static_cast<UINT>(TrackPopupMenuEx(menu, flags, x, y, PopupOwner::Window(), nullptr));
    if (command) DispatchCommand(command);
}
