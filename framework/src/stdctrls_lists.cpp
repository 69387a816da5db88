#include <framework/stdctrls.h>
#include <framework/sysutils.h>

#include "stdctrls_internal.h"

#include <algorithm>

const TIdentMap ComboBoxStyleIdents{{L"csDropDown", csDropDown},
                                    {L"csSimple", csSimple},
                                    {L"csDropDownList", csDropDownList},
                                    {L"csOwnerDrawFixed", csOwnerDrawFixed},
                                    {L"csOwnerDrawVariable", csOwnerDrawVariable}};

namespace {

const TListControlItems::Messages kComboMessages{CB_ADDSTRING,  CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                                                 CB_SETCURSEL,  CB_GETCURSEL,    CB_GETCOUNT,     CB_ERRSPACE};
const TListControlItems::Messages kListMessages{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                                                LB_SETCURSEL, LB_GETCURSEL,    LB_GETCOUNT,     LB_ERRSPACE};

// The order the system's sorted lists use: by the user's locale, ignoring case.
bool ListLess(const String& a, const String& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TListControlItems

String TListControlItems::Strings(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)];
}

int TListControlItems::SortedPosition(const String& s) const {
    return static_cast<int>(std::upper_bound(items_.begin(), items_.end(), s, ListLess) - items_.begin());
}

void TListControlItems::Insert(int index, const String& s) {
    if (sorted_) index = SortedPosition(s);
    if (index < 0 || index > Count()) throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    if (HWND window = Window()) {
        LRESULT r = SendMessageW(window, messages_.Insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
        if (r == messages_.ErrorSpace) throw EOutOfResources(L"Not enough storage to add the item");
    } else if (keptIndex_ >= index) {
        ++keptIndex_;
    }
    items_.insert(items_.begin() + index, s);
}

int TListControlItems::Add(const String& s) {
    int index = sorted_ ? SortedPosition(s) : Count();
    bool wasSorted = sorted_;
    sorted_ = false; // the position is chosen already
    try {
        Insert(index, s);
    } catch (...) {
        sorted_ = wasSorted;
        throw;
    }
    sorted_ = wasSorted;
    return index;
}

void TListControlItems::Put(int index, const String& s) {
    CheckIndex(index, Count());
    if (sorted_) {
        Delete(index);
        Add(s);
        return;
    }
    if (HWND window = Window()) {
        LRESULT selected = SendMessageW(window, messages_.GetCurSel, 0, 0);
        SendMessageW(window, messages_.Delete, static_cast<WPARAM>(index), 0);
        SendMessageW(window, messages_.Insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
        if (selected >= 0) SendMessageW(window, messages_.SetCurSel, static_cast<WPARAM>(selected), 0);
    }
    items_[static_cast<size_t>(index)] = s;
}

void TListControlItems::Delete(int index) {
    CheckIndex(index, Count());
    if (HWND window = Window()) {
        SendMessageW(window, messages_.Delete, static_cast<WPARAM>(index), 0);
    } else if (keptIndex_ == index) {
        keptIndex_ = -1;
    } else if (keptIndex_ > index) {
        --keptIndex_;
    }
    items_.erase(items_.begin() + index);
}

void TListControlItems::Clear() {
    if (HWND window = Window()) SendMessageW(window, messages_.Reset, 0, 0);
    items_.clear();
    keptIndex_ = -1;
}

int TListControlItems::IndexOf(const String& s) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (SameText(items_[i], s)) return static_cast<int>(i);
    return -1;
}

void TListControlItems::SetSorted(bool value) {
    if (value == sorted_) return;
    sorted_ = value;
    if (!value) return;
    HWND window = Window();
    int selected = window ? static_cast<int>(SendMessageW(window, messages_.GetCurSel, 0, 0)) : keptIndex_;
    String selectedText = selected >= 0 && selected < Count() ? items_[static_cast<size_t>(selected)] : String();
    std::stable_sort(items_.begin(), items_.end(), ListLess);
    int newIndex = selected >= 0 ? IndexOf(selectedText) : -1;
    if (window) {
        PushToWindow(window);
        SendMessageW(window, messages_.SetCurSel, static_cast<WPARAM>(newIndex), 0);
    } else {
        keptIndex_ = newIndex;
    }
}

void TListControlItems::PushToWindow(HWND window) const {
    SendMessageW(window, messages_.Reset, 0, 0);
    for (const String& s : items_) SendMessageW(window, messages_.Add, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (keptIndex_ >= 0 && keptIndex_ < Count())
        SendMessageW(window, messages_.SetCurSel, static_cast<WPARAM>(keptIndex_), 0);
}

void TListControlItems::SetUpdateState(bool updating) {
    HWND window = Window();
    if (!window) return;
    SendMessageW(window, WM_SETREDRAW, !updating, 0);
    if (!updating) InvalidateRect(window, nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------------------
// TCustomComboBox

const TClassInfo* TCustomComboBox::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomComboBox", TWinControl::StaticClassInfo(),
        {
            StrProp<TCustomComboBox>(L"Text", &TCustomComboBox::Text, &TCustomComboBox::SetText),
            ObjProp<TCustomComboBox>(L"Items", &TCustomComboBox::Items),
            IntProp<TCustomComboBox>(L"ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex),
            EnumProp<TCustomComboBox>(L"Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, ComboBoxStyleIdents),
            IntProp<TCustomComboBox>(L"DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount),
            BoolProp<TCustomComboBox>(L"Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted),
            IntProp<TCustomComboBox>(L"MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength),
            IntProp<TCustomComboBox>(L"ItemHeight", [](TCustomComboBox* c) { return ctl_detail::LineHeight(c->Font()); },
                                     [](TCustomComboBox*, int) {}),
            EventProp<TCustomComboBox>(L"OnChange", &TCustomComboBox::OnChange),
            EventProp<TCustomComboBox>(L"OnClick", &TCustomComboBox::OnClick),
            EventProp<TCustomComboBox>(L"OnSelect", &TCustomComboBox::OnSelect),
            EventProp<TCustomComboBox>(L"OnDropDown", &TCustomComboBox::OnDropDown),
            EventProp<TCustomComboBox>(L"OnCloseUp", &TCustomComboBox::OnCloseUp),
            EventProp<TCustomComboBox>(L"OnDblClick", &TCustomComboBox::OnDblClick),
        });
    return &info;
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TListControlItems>(this, kComboMessages)) {
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() = default;

int TCustomComboBox::DropDownHeight() const {
    if (style_ == csSimple) return 0;
    return dropDownCount_ * (ctl_detail::LineHeight(Font()) + 2) + 2;
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = L"COMBOBOX";
    p.OwnClass = false;
    p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (style_) {
    case csDropDown: p.Style |= CBS_DROPDOWN; break;
    case csSimple: p.Style |= CBS_SIMPLE; break;
    default: p.Style |= CBS_DROPDOWNLIST; break;
    }
    // The height given to a drop-down combo box is its height with the list shown.
    p.Height += DropDownHeight();
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    HWND window = Handle();
    items_->PushToWindow(window);
    if (style_ != csDropDownList && items_->KeptIndex() < 0) {
        const String& text = StoredText();
        SetWindowTextW(window, text.c_str());
    }
    if (maxLength_) SendMessageW(window, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomComboBox::DestroyWnd() {
    if (HandleAllocated()) items_->SetKeptIndex(static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)));
    TWinControl::DestroyWnd();
}

void TCustomComboBox::BoundsChanged(const RECT& oldBounds) {
    if (!HandleAllocated() || style_ == csSimple) {
        TWinControl::BoundsChanged(oldBounds);
        return;
    }
    SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height() + DropDownHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

String TCustomComboBox::GetText() const {
    if (HandleAllocated()) return TWinControl::GetText();
    int kept = items_->KeptIndex();
    if (kept >= 0 && kept < items_->Count()) return items_->Strings(kept);
    return style_ == csDropDownList ? String() : StoredText();
}

void TCustomComboBox::StoreText(const String& value) {
    if (style_ == csDropDownList) {
        // Only the items can be shown: the text selects the item that has it.
        SetItemIndex(items_->IndexOf(value));
        TControl::StoreText(value);
        return;
    }
    TWinControl::StoreText(value);
}

int TCustomComboBox::ItemIndex() const {
    if (HandleAllocated()) return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
    return items_->KeptIndex();
}

void TCustomComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) index = -1;
    if (HandleAllocated()) {
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        return;
    }
    items_->SetKeptIndex(index);
    if (index >= 0) TControl::StoreText(items_->Strings(index));
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
    if (value == style_) return;
    style_ = value;
    RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int value) {
    value = std::max(value, 1);
    if (value == dropDownCount_) return;
    dropDownCount_ = value;
    if (HandleAllocated()) BoundsChanged(BoundsRect());
}

void TCustomComboBox::SetMaxLength(int value) {
    maxLength_ = std::max(value, 0);
    if (HandleAllocated()) SendMessageW(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

bool TCustomComboBox::DroppedDown() const {
    return HandleAllocated() && SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) { SendMessageW(Handle(), CB_SHOWDROPDOWN, value, 0); }

void TCustomComboBox::Clear() {
    items_->Clear();
    SetText(String());
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        switch (HIWORD(m.WParam)) {
        case CBN_SELCHANGE: {
            // The edit part shows the new item only later: give it the text now, so that the
            // handlers read what was chosen.
            int index = ItemIndex();
            if (style_ != csDropDownList && index >= 0) SetWindowTextW(Handle(), items_->Strings(index).c_str());
            Click();
            if (OnSelect) OnSelect(this);
            else Change();
            break;
        }
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN:
            if (OnDropDown) OnDropDown(this);
            break;
        case CBN_CLOSEUP:
            if (OnCloseUp) OnCloseUp(this);
            break;
        default: break;
        }
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------------
// TCustomListBox

const TClassInfo* TCustomListBox::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomListBox", TWinControl::StaticClassInfo(),
        {
            ObjProp<TCustomListBox>(L"Items", &TCustomListBox::Items),
            IntProp<TCustomListBox>(L"ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex),
            BoolProp<TCustomListBox>(L"Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted),
            EnumProp<TCustomListBox>(L"BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle,
                                     ControlBorderStyleIdents),
            BoolProp<TCustomListBox>(L"IntegralHeight", &TCustomListBox::IntegralHeight,
                                     &TCustomListBox::SetIntegralHeight),
            IntProp<TCustomListBox>(L"ItemHeight", [](TCustomListBox* c) { return ctl_detail::LineHeight(c->Font()); },
                                    [](TCustomListBox*, int) {}),
            EventProp<TCustomListBox>(L"OnClick", &TCustomListBox::OnClick),
            EventProp<TCustomListBox>(L"OnDblClick", &TCustomListBox::OnDblClick),
        });
    return &info;
}

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TListControlItems>(this, kListMessages)) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = L"LISTBOX";
    p.OwnClass = false;
    p.Style |= LBS_NOTIFY | WS_VSCROLL;
    if (!integralHeight_) p.Style |= LBS_NOINTEGRALHEIGHT;
    if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    items_->PushToWindow(Handle());
    if (keptTopIndex_ > 0) SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(keptTopIndex_), 0);
}

void TCustomListBox::DestroyWnd() {
    if (HandleAllocated()) {
        items_->SetKeptIndex(static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)));
        keptTopIndex_ = static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
    }
    TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex() const {
    if (HandleAllocated()) return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
    return items_->KeptIndex();
}

void TCustomListBox::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) index = -1;
    if (HandleAllocated()) SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    else items_->SetKeptIndex(index);
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool value) {
    if (value == integralHeight_) return;
    integralHeight_ = value;
    RecreateWnd();
}

int TCustomListBox::TopIndex() const {
    return HandleAllocated() ? static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)) : keptTopIndex_;
}

void TCustomListBox::SetTopIndex(int index) {
    if (HandleAllocated()) SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    else keptTopIndex_ = std::max(index, 0);
}

void TCustomListBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == LBN_SELCHANGE) Click();
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}
