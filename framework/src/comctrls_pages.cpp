#include <framework/comctrls.h>

#include <commctrl.h>

#include <algorithm>

// ---------------------------------------------------------------------------------------------------
// TCustomTabControl

const TClassInfo* TCustomTabControl::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomTabControl", TWinControl::StaticClassInfo(),
        {
            BoolProp<TCustomTabControl>(L"MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine),
            IntProp<TCustomTabControl>(L"TabWidth", &TCustomTabControl::TabWidth, &TCustomTabControl::SetTabWidth),
            IntProp<TCustomTabControl>(L"TabHeight", &TCustomTabControl::TabHeight, &TCustomTabControl::SetTabHeight),
            EventProp<TCustomTabControl>(L"OnChange", &TCustomTabControl::OnChange),
            EventProp<TCustomTabControl>(L"OnChanging", &TCustomTabControl::OnChanging),
        });
    return &info;
}

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

void TCustomTabControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = WC_TABCONTROLW;
    p.OwnClass = false;
    p.Style |= WS_CLIPCHILDREN | TCS_TABS;
    if (multiLine_) p.Style |= TCS_MULTILINE;
    if (tabWidth_ > 0) p.Style |= TCS_FIXEDWIDTH;
    p.ExStyle |= WS_EX_CONTROLPARENT;
}

void TCustomTabControl::CreateWnd() {
    TWinControl::CreateWnd();
    ApplyTabSize();
}

void TCustomTabControl::ApplyStyleBits() {
    if (!HandleAllocated()) return;
    HWND window = Handle();
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE) & ~static_cast<LONG_PTR>(TCS_MULTILINE | TCS_FIXEDWIDTH);
    if (multiLine_) style |= TCS_MULTILINE;
    if (tabWidth_ > 0) style |= TCS_FIXEDWIDTH;
    SetWindowLongPtrW(window, GWL_STYLE, style);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(window, nullptr, TRUE);
    TabsChanged();
}

void TCustomTabControl::ApplyTabSize() {
    if (!HandleAllocated()) return;
    if (tabWidth_ > 0 || tabHeight_ > 0)
        SendMessageW(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(std::max(tabWidth_, 0), std::max(tabHeight_, 0)));
    TabsChanged();
}

void TCustomTabControl::SetMultiLine(bool value) {
    if (value == multiLine_) return;
    multiLine_ = value;
    ApplyStyleBits();
}

void TCustomTabControl::SetTabWidth(int value) {
    value = std::max(value, 0);
    if (value == tabWidth_) return;
    bool styleChanges = (value > 0) != (tabWidth_ > 0);
    tabWidth_ = value;
    if (styleChanges) ApplyStyleBits();
    ApplyTabSize();
}

void TCustomTabControl::SetTabHeight(int value) {
    value = std::max(value, 0);
    if (value == tabHeight_) return;
    tabHeight_ = value;
    ApplyTabSize();
}

RECT TCustomTabControl::DisplayRect() const {
    if (!HandleAllocated()) {
        // Before the window exists: room for one row of tabs, as the control will make.
        return RECT{4, 24, std::max(Width() - 4, 4), std::max(Height() - 4, 24)};
    }
    RECT r{};
    GetClientRect(Handle(), &r);
    SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

void TCustomTabControl::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(m.LParam);
        switch (header->code) {
        case TCN_SELCHANGING: m.Result = CanChange() ? FALSE : TRUE; return;
        case TCN_SELCHANGE:
            TabSelected(static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)));
            Change();
            m.Result = 0;
            return;
        default: break;
        }
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------------
// TTabSheet

const TClassInfo* TTabSheet::StaticClassInfo() {
    static const TClassInfo info(L"TTabSheet", TWinControl::StaticClassInfo(),
                                 {
                                     StrProp<TTabSheet>(L"Caption", &TTabSheet::Caption, &TTabSheet::SetCaption),
                                     BoolProp<TTabSheet>(L"TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible),
                                     IntProp<TTabSheet>(L"PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex),
                                     IntProp<TTabSheet>(L"ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex),
                                     EventProp<TTabSheet>(L"OnShow", &TTabSheet::OnShow),
                                     EventProp<TTabSheet>(L"OnHide", &TTabSheet::OnHide),
                                 });
    return &info;
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    // Only the active page is shown: its page control shows it.
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* control) { SetParent(control); }

void TTabSheet::SetParent(TWinControl* AParent) {
    if (AParent == Parent()) return;
    TPageControl* old = pageControl_;
    if (old) old->RemovePage(this);
    TWinControl::SetParent(AParent);
    pageControl_ = dynamic_cast<TPageControl*>(AParent);
    if (pageControl_) pageControl_->InsertPage(this);
}

void TTabSheet::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ExStyle |= WS_EX_CONTROLPARENT;
}

void TTabSheet::SetTabVisible(bool value) {
    if (value == tabVisible_) return;
    tabVisible_ = value;
    if (pageControl_) pageControl_->UpdateTabs();
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& pages = pageControl_->pages_;
    auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
    if (pageControl_) pageControl_->MovePage(this, index);
}

int TTabSheet::TabIndex() const {
    if (!pageControl_) return -1;
    auto& tabs = pageControl_->tabPages_;
    auto it = std::find(tabs.begin(), tabs.end(), this);
    return it == tabs.end() ? -1 : static_cast<int>(it - tabs.begin());
}

void TTabSheet::ApplyState(UINT change) {
    TWinControl::ApplyState(change);
    if (change == CM_TEXTCHANGED && pageControl_) pageControl_->UpdateTab(this);
    if (change == CM_VISIBLECHANGED && !IsLoading() && !IsDestroying()) {
        if (Visible() && OnShow) OnShow(this);
        if (!Visible() && OnHide) OnHide(this);
    }
}

// ---------------------------------------------------------------------------------------------------
// TPageControl

const TClassInfo* TPageControl::StaticClassInfo() {
    static const TClassInfo info(
        L"TPageControl", TCustomTabControl::StaticClassInfo(),
        {
            RefProp<TPageControl, TTabSheet>(L"ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage),
            IntProp<TPageControl>(L"ActivePageIndex", &TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex),
        });
    return &info;
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
    for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount()) throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
    return pages_[static_cast<size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    UpdateTabs();
    LayoutPages();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (IsDestroying()) return;
    if (activePage_ == page) {
        activePage_ = nullptr;
        SetActivePage(FindNextPage(nullptr, true, true));
    }
    UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    pages_.erase(it);
    index = std::clamp(index, 0, PageCount());
    pages_.insert(pages_.begin() + index, page);
    UpdateTabs();
}

void TPageControl::UpdateTabs() {
    if (IsDestroying()) return;
    tabPages_.clear();
    for (TTabSheet* page : pages_)
        if (page->TabVisible()) tabPages_.push_back(page);
    if (!HandleAllocated()) return;
    HWND window = Handle();
    SendMessageW(window, TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < tabPages_.size(); ++i) {
        String caption = tabPages_[i]->Caption();
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(window, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(window, TCM_SETCURSEL, static_cast<WPARAM>(activePage_ ? activePage_->TabIndex() : -1), 0);
    TabsChanged();
}

void TPageControl::UpdateTab(TTabSheet* page) {
    int index = page->TabIndex();
    if (index < 0 || !HandleAllocated()) return;
    String caption = page->Caption();
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(Handle(), TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    TabsChanged();
}

void TPageControl::TabsChanged() { LayoutPages(); }

void TPageControl::LayoutPages() {
    if (IsDestroying()) return;
    RECT r = DisplayRect();
    for (TTabSheet* page : pages_) page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::ShowOnly(TTabSheet* page) {
    if (page) page->SetVisible(true);
    for (TTabSheet* other : pages_)
        if (other != page && other->Visible()) other->SetVisible(false);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this) return;
    if (page == activePage_) return;
    // Focus inside the page that goes would be lost with its window: keep it on the tabs.
    if (activePage_ && activePage_->HandleAllocated() && HandleAllocated()) {
        HWND focus = GetFocus();
        if (focus && IsChild(activePage_->Handle(), focus) && CanFocus()) ::SetFocus(Handle());
    }
    activePage_ = page;
    pendingActiveIndex_ = -1;
    LayoutPages();
    ShowOnly(page);
    if (HandleAllocated())
        SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(page ? page->TabIndex() : -1), 0);
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
    if (index >= 0 && index < PageCount()) {
        SetActivePage(pages_[static_cast<size_t>(index)]);
    } else if (IsLoading() && index >= 0) {
        pendingActiveIndex_ = index; // the pages are not all read yet
    } else {
        SetActivePage(nullptr);
    }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    if (pages_.empty()) return nullptr;
    const int count = PageCount();
    int start = current ? current->PageIndex() : -1;
    if (start < 0) start = goForward ? count - 1 : 0;
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* page = pages_[static_cast<size_t>(i)];
        if (!checkTabVisible || page->TabVisible()) return page;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward) {
    TTabSheet* page = FindNextPage(activePage_, goForward, true);
    if (page && page != activePage_ && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

void TPageControl::TabSelected(int index) {
    if (index >= 0 && index < TabCount()) SetActivePage(tabPages_[static_cast<size_t>(index)]);
}

void TPageControl::Loaded() {
    TCustomTabControl::Loaded();
    if (pendingActiveIndex_ >= 0) SetActivePageIndex(pendingActiveIndex_);
    if (!activePage_) SetActivePage(FindNextPage(nullptr, true, true));
    LayoutPages();
}

void TPageControl::CreateWnd() {
    TCustomTabControl::CreateWnd();
    UpdateTabs();
    LayoutPages();
}

void TPageControl::BoundsChanged(const RECT& oldBounds) {
    TCustomTabControl::BoundsChanged(oldBounds);
    LayoutPages();
}

void TPageControl::Resize() {
    LayoutPages();
    TCustomTabControl::Resize();
}
