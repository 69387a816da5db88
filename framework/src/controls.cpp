#include <framework/controls.h>
#include <framework/forms.h>
#include <framework/sysutils.h>

#include <framework/menus.h>

#include <map>
#include <mutex>

const TIdentMap AlignIdents{{L"alNone", alNone}, {L"alTop", alTop},     {L"alBottom", alBottom},
                            {L"alLeft", alLeft}, {L"alRight", alRight}, {L"alClient", alClient}};

TMenuSeam& MenuSeam() {
    static TMenuSeam seam;
    return seam;
}

HBRUSH ColorBrush(TColor color) {
    auto bits = static_cast<std::uint32_t>(color);
    if ((bits & 0xFF000000u) == 0xFF000000u) return GetSysColorBrush(static_cast<int>(bits & 0xFF));
    static std::mutex lock;
    static auto* brushes = new std::map<COLORREF, HBRUSH>; // shared for the program's life
    std::lock_guard<std::mutex> guard(lock);
    COLORREF rgb = bits & 0x00FFFFFFu;
    auto it = brushes->find(rgb);
    if (it != brushes->end()) return it->second;
    HBRUSH brush = CreateSolidBrush(rgb);
    (*brushes)[rgb] = brush;
    return brush;
}

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c && c->Parent()) c = c->Parent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

// ---------------------------------------------------------------------------------------------------
// TControl

const TClassInfo* TControl::StaticClassInfo() {
    static const TClassInfo info(
        L"TControl", TComponent::StaticClassInfo(),
        {
            StrProp<TControl>(L"Name", &TControl::Name, &TControl::SetName),
            IntProp<TControl>(L"Tag", &TControl::Tag, &TControl::SetTag),
            IntProp<TControl>(L"Left", &TControl::Left, &TControl::SetLeft),
            IntProp<TControl>(L"Top", &TControl::Top, &TControl::SetTop),
            IntProp<TControl>(L"Width", &TControl::Width, &TControl::SetWidth),
            IntProp<TControl>(L"Height", &TControl::Height, &TControl::SetHeight),
            EnumProp<TControl>(L"Align", &TControl::Align, &TControl::SetAlign, AlignIdents),
            BoolProp<TControl>(L"Visible", &TControl::Visible, &TControl::SetVisible),
            BoolProp<TControl>(L"Enabled", &TControl::Enabled, &TControl::SetEnabled),
            StrProp<TControl>(L"Hint", &TControl::Hint, &TControl::SetHint),
            BoolProp<TControl>(L"ShowHint", &TControl::ShowHint, &TControl::SetShowHint),
            BoolProp<TControl>(L"ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint),
            ObjProp<TControl>(L"Font", &TControl::Font),
            BoolProp<TControl>(L"ParentFont", &TControl::ParentFont, &TControl::SetParentFont),
            IntProp<TControl>(L"Color", &TControl::Color, &TControl::SetColor, &ColorIdents),
            BoolProp<TControl>(L"ParentColor", &TControl::ParentColor, &TControl::SetParentColor),
            IntProp<TControl>(L"Cursor", &TControl::Cursor, &TControl::SetCursor),
            RefProp<TControl, TPopupMenu>(L"PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu),
        });
    return &info;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_->OnChange = [this](TObject*) { FontChanged(); };
    color_ = clBtnFace;
    parentColor_ = true;
}

TControl::~TControl() {
    if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
    SetParent(nullptr);
    TComponent::BeforeDestruction();
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == parent_) return;
    if (AParent == this) throw EInvalidOperation(L"A control cannot have itself as its parent");
    for (TWinControl* p = AParent; p; p = p->parent_)
        if (p == this) throw EInvalidOperation(L"A control cannot be placed inside one of its own children");
    auto* self = dynamic_cast<TWinControl*>(this);
    if (self && self->HandleAllocated()) {
        if (AParent && AParent->HandleAllocated())
            ::SetParent(self->handle_, AParent->handle_);
        else
            self->DestroyHandle();
    }
    if (parent_) parent_->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
    if (!AParent) return;
    SyncParentFont();
    SyncParentColor();
    if (self && visible_ && AParent->HandleAllocated() && !self->HandleAllocated() && !IsDestroying())
        self->CreateHandleNow();
    else if (!self)
        Invalidate();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    RECT old = BoundsRect();
    bool resized = AWidth != width_ || AHeight != height_;
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    BoundsChanged(old);
    if (resized) {
        if (auto* self = dynamic_cast<TWinControl*>(this)) self->Realign();
        Resize();
    }
    if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::BoundsFromWindow(int l, int t, int w, int h) {
    bool resized = w != width_ || h != height_;
    if (!resized && l == left_ && t == top_) return;
    left_ = l;
    top_ = t;
    width_ = w;
    height_ = h;
    if (resized) {
        if (auto* self = dynamic_cast<TWinControl*>(this)) self->Realign();
        Resize();
    }
}

void TControl::BoundsChanged(const RECT& oldBounds) {
    if (parent_ && parent_->HandleAllocated()) {
        InvalidateRect(parent_->handle_, &oldBounds, TRUE);
        RECT now = BoundsRect();
        InvalidateRect(parent_->handle_, &now, TRUE);
    }
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

int TControl::ClientWidth() const {
    return width_;
}
int TControl::ClientHeight() const {
    return height_;
}

void TControl::SetClientSize(int w, int h) {
    SetBounds(left_, top_, w, h);
}

POINT TControl::ClientToScreen(POINT p) const {
    if (auto* self = dynamic_cast<const TWinControl*>(this); self && self->HandleAllocated()) {
        ::ClientToScreen(self->handle_, &p);
        return p;
    }
    p.x += left_;
    p.y += top_;
    return parent_ ? parent_->ClientToScreen(p) : p;
}

POINT TControl::ScreenToClient(POINT p) const {
    if (auto* self = dynamic_cast<const TWinControl*>(this); self && self->HandleAllocated()) {
        ::ScreenToClient(self->handle_, &p);
        return p;
    }
    POINT origin = ClientToScreen(POINT{0, 0});
    return POINT{p.x - origin.x, p.y - origin.y};
}

void TControl::SetAlign(TAlign value) {
    if (value == align_) return;
    align_ = value;
    if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    VisibleChanging();
    visible_ = value;
    ApplyState(CM_VISIBLECHANGED);
    Perform(CM_VISIBLECHANGED, value);
    if (parent_ && align_ != alNone) parent_->Realign();
}

bool TControl::Showing() const {
    return visible_ && parent_ && parent_->Showing();
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    ApplyState(CM_ENABLEDCHANGED);
    Perform(CM_ENABLEDCHANGED, value);
}

void TControl::SetText(const String& value) {
    if (value == GetText()) return;
    StoreText(value);
    ApplyState(CM_TEXTCHANGED);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetParentFont(bool value) {
    if (value == parentFont_) return;
    parentFont_ = value;
    if (value) SyncParentFont();
}

void TControl::SyncParentFont() {
    if (!parentFont_ || !parent_) return;
    syncingFont_ = true;
    try {
        font_->Assign(parent_->Font());
    } catch (...) {
        syncingFont_ = false;
        throw;
    }
    syncingFont_ = false;
}

void TControl::FontChanged() {
    if (!syncingFont_) parentFont_ = false;
    ApplyState(CM_FONTCHANGED);
    Perform(CM_FONTCHANGED);
    if (auto* self = dynamic_cast<TWinControl*>(this))
        for (TControl* child : self->controls_) child->Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor value) {
    parentColor_ = false;
    if (value == color_) return;
    color_ = value;
    ApplyState(CM_COLORCHANGED);
    Perform(CM_COLORCHANGED);
    if (auto* self = dynamic_cast<TWinControl*>(this))
        for (TControl* child : self->controls_) child->Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    if (value) SyncParentColor();
}

void TControl::SyncParentColor() {
    if (!parentColor_ || !parent_ || parent_->color_ == color_) return;
    color_ = parent_->color_;
    ApplyState(CM_COLORCHANGED);
    Perform(CM_COLORCHANGED);
    if (auto* self = dynamic_cast<TWinControl*>(this))
        for (TControl* child : self->controls_) child->Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    popupMenu_ = menu;
    if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Loaded() {
    TComponent::Loaded();
}

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* windowed = dynamic_cast<TWinControl*>(parent)) SetParent(windowed);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    if (WindowProc)
        WindowProc(m);
    else
        WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_PARENTFONTCHANGED:
        SyncParentFont();
        return;
    case CM_PARENTCOLORCHANGED:
        SyncParentColor();
        return;
    case WM_LBUTTONDOWN:
        if (controlStyle_.Contains(csClickEvents)) mousePressed_ = true;
        break;
    case WM_LBUTTONUP:
        if (mousePressed_) {
            mousePressed_ = false;
            POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
            RECT r = ClientRect();
            if (PtInRect(&r, p)) Click();
        }
        break;
    case WM_LBUTTONDBLCLK:
        if (OnDblClick) OnDblClick(this);
        break;
    default:
        break;
    }
    DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::ApplyState(UINT) {
    Invalidate();
}

void TControl::Invalidate() {}
void TControl::Update() {}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->HandleAllocated())
        SetWindowPos(self->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->HandleAllocated())
        SetWindowPos(self->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csClickEvents, csCaptureMouse});
}

void TGraphicControl::Paint(HDC) {}

void TGraphicControl::Invalidate() {
    if (Parent() && Parent()->HandleAllocated() && IsWindowVisible(Parent()->Handle())) {
        RECT r = BoundsRect();
        InvalidateRect(Parent()->Handle(), &r, TRUE);
    }
}

void TGraphicControl::Update() {
    if (Parent() && Parent()->HandleAllocated()) UpdateWindow(Parent()->Handle());
}
