#include <framework/childcreation.h>
#include <framework/controls.h>
#include <framework/forms.h>
#include <framework/sysutils.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <unordered_map>

namespace {

// Which control owns which window. Asked for every message, so kept in the process: a window
// property costs a round trip to the window system (wineserver) on every lookup.
class WindowOwners {
public:
    void Add(HWND window, TWinControl* control) {
        std::lock_guard<std::mutex> guard(lock_);
        owners_[window] = control;
    }
    void Remove(HWND window) {
        std::lock_guard<std::mutex> guard(lock_);
        owners_.erase(window);
    }
    TWinControl* Find(HWND window) {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = owners_.find(window);
        return it == owners_.end() ? nullptr : it->second;
    }

private:
    std::mutex lock_;
    std::unordered_map<HWND, TWinControl*> owners_;
};

WindowOwners& Owners() {
    static auto* owners = new WindowOwners; // never destroyed: windows may go during exit
    return *owners;
}

// The control whose window CreateWindowExW is making on this thread: windows of the framework's own
// classes attach to it at their first message.
thread_local TWinControl* creatingControl = nullptr;

WORD NextChildId() {
    static WORD next = 100;
    if (++next < 100) next = 100;
    return next;
}

void EnsureCommonControls() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                 ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&icc);
    });
}

// Tells the child-creation seam when the outermost making of child windows on this thread starts and
// ends, also when it ends by an exception.
class TChildCreationScope {
public:
    TChildCreationScope() {
        if (depth_++ == 0 && ChildCreationSeam().Begin) ChildCreationSeam().Begin();
    }
    ~TChildCreationScope() {
        if (--depth_ == 0 && ChildCreationSeam().End) ChildCreationSeam().End();
    }
    TChildCreationScope(const TChildCreationScope&) = delete;
    TChildCreationScope& operator=(const TChildCreationScope&) = delete;

private:
    static thread_local int depth_;
};
thread_local int TChildCreationScope::depth_ = 0;

bool IsFrameworkPrivate(UINT msg) {
    return (msg >= CM_BASE && msg < CM_BASE + 0x40) || (msg >= CN_BASE && msg < CN_BASE + 0x400);
}

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL;
}

} // namespace

TChildCreationSeam& ChildCreationSeam() {
    static TChildCreationSeam seam;
    return seam;
}

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = Owners().Find(window);
    if (!control) {
        control = creatingControl;
        if (!control || control->handle_) return DefWindowProcW(window, msg, wParam, lParam);
        control->AttachHandle(window, DefWindowProcW);
    }
    TMessage m{msg, wParam, lParam, 0};
    try {
        if (control->WindowProc)
            control->WindowProc(m);
        else
            control->WndProc(m);
    } catch (...) {
        ReportCurrentException(control);
    }
    if (msg == WM_NCDESTROY) control->DetachHandle();
    return m.Result;
}

// ---------------------------------------------------------------------------------------------------

const TClassInfo* TWinControl::StaticClassInfo() {
    static const TClassInfo info(
        L"TWinControl", TControl::StaticClassInfo(),
        {
            BoolProp<TWinControl>(L"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop),
            IntProp<TWinControl>(L"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder),
            EventProp<TWinControl>(L"OnEnter", &TWinControl::OnEnter),
            EventProp<TWinControl>(L"OnExit", &TWinControl::OnExit),
        });
    return &info;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // Reached without BeforeDestruction only for objects not made with new: clean up the same way,
    // but let no message reach this half-destroyed object.
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        if (child->Owner())
            delete child;
        else
            RemoveControl(child);
    }
    if (handle_) {
        HWND window = handle_;
        Owners().Remove(window);
        handle_ = nullptr;
        DestroyWindow(window);
    }
}

void TWinControl::BeforeDestruction() {
    // Children go first (Delphi order), while this control is still whole.
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        delete child;
    }
    DestroyHandle();
    TControl::BeforeDestruction();
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window ? Owners().Find(window) : nullptr;
}

TWinControl* TWinControl::FindControl(HWND window, bool orParents) {
    for (HWND w = window; w; w = orParents ? GetParent(w) : nullptr)
        if (TWinControl* c = FromHandle(w)) return c;
    return nullptr;
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount())
        throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    return controls_[static_cast<size_t>(index)];
}

int TWinControl::IndexOfControl(const TControl* control) const {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    return it == controls_.end() ? -1 : static_cast<int>(it - controls_.begin());
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        RECT r = c->BoundsRect();
        if (c->Visible() && (allowDisabled || c->Enabled()) && PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TWinControl::InsertControl(TControl* control) {
    control->parent_ = this;
    controls_.push_back(control);
    if (control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    if (mouseCapture_ == control) mouseCapture_ = nullptr;
    bool aligned = control->Align() != alNone;
    controls_.erase(it);
    control->parent_ = nullptr;
    if (!dynamic_cast<TWinControl*>(control) && handle_) {
        RECT r = control->BoundsRect();
        InvalidateRect(handle_, &r, TRUE);
    }
    if (aligned && !IsDestroying()) Realign();
}

// --- window creation -------------------------------------------------------------------------------

HWND TWinControl::Handle() const {
    if (!handle_) const_cast<TWinControl*>(this)->CreateHandleNow();
    return handle_;
}

void TWinControl::CreateHandleNow() {
    if (handle_ || creating_) return;
    if (parent_) parent_->HandleNeeded(); // may create this window too, with the parent's children
    if (handle_) return;
    creating_ = true;
    try {
        CreateWnd();
    } catch (...) {
        creating_ = false;
        throw;
    }
    creating_ = false;
    // Only now: a control that sets itself up in CreateWnd (tabs, sizes) does so before its children
    // are placed, so that they are placed once.
    CreateChildHandles();
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = StoredText();
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (Visible()) p.Style |= WS_VISIBLE;
    if (!Enabled()) p.Style |= WS_DISABLED;
    if (tabStop_) p.Style |= WS_TABSTOP;
    WindowPlacement(p);
    p.Menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextChildId()));
    p.WinClassName = ClassName();
    p.OwnClass = true;
}

void TWinControl::WindowPlacement(TCreateParams& p) {
    p.X = Left();
    p.Y = Top();
    p.Width = Width();
    p.Height = Height();
    p.WndParent = parent_ ? parent_->Handle() : nullptr;
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
    TWinControl* previous = creatingControl;
    creatingControl = this;
    HWND window = CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y,
                                  p.Width, p.Height, p.WndParent, p.Menu, GetModuleHandleW(nullptr), nullptr);
    creatingControl = previous;
    if (!window) RaiseLastOSError(L"Error creating window " + p.WinClassName);
    if (!handle_) {
        // A system class: take its messages from now on, passing on to its own procedure.
        auto old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc)));
        AttachHandle(window, old);
    }
}

void TWinControl::CreateWnd() {
    EnsureCommonControls();
    TCreateParams p;
    CreateParams(p);
    if (createHidden_) p.Style &= ~WS_VISIBLE;
    if (!p.WndParent && (p.Style & WS_CHILD))
        throw EInvalidOperation(L"Control '" + Name() + L"' has no parent window");
    if (p.OwnClass) {
        static std::mutex lock;
        static auto* registered = new std::set<String>;
        std::lock_guard<std::mutex> guard(lock);
        if (!registered->count(p.WinClassName)) {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.style = p.ClassStyle;
            wc.lpfnWndProc = &FrameworkWindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = p.Cursor ? p.Cursor : LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = p.Background;
            wc.hIcon = p.Icon;
            wc.hIconSm = p.SmallIcon;
            wc.lpszClassName = p.WinClassName.c_str();
            if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                RaiseLastOSError(L"Cannot register window class " + p.WinClassName);
            registered->insert(p.WinClassName);
        }
    }
    CreateWindowHandle(p);
    windowFont_ = Font()->SharedHandle();
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.get()), FALSE);
    PlaceInZOrder();
}

void TWinControl::PlaceInZOrder() {
    if (!parent_) return;
    // Windows made later than their siblings (a page shown for the first time) still take their place
    // in the z-order, which follows the tab order.
    auto siblings = parent_->ZOrderedChildren();
    auto me = std::find(siblings.begin(), siblings.end(), this);
    if (me == siblings.end()) return;
    bool laterHasWindow =
        std::any_of(me + 1, siblings.end(), [](TWinControl* c) { return c->HandleAllocated(); });
    if (!laterHasWindow) return;
    HWND after = HWND_TOP;
    for (auto it = siblings.begin(); it != me; ++it)
        if ((*it)->HandleAllocated()) after = (*it)->handle_;
    SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

std::vector<TWinControl*> TWinControl::TabOrderedChildren() const {
    std::vector<TWinControl*> out;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) out.push_back(w);
    std::stable_sort(out.begin(), out.end(), [&](TWinControl* a, TWinControl* b) {
        auto key = [&](TWinControl* w) {
            return w->tabOrder_ >= 0 ? w->tabOrder_
                                     : static_cast<int>(std::find(out.begin(), out.end(), w) - out.begin());
        };
        return key(a) < key(b);
    });
    return out;
}

std::vector<TWinControl*> TWinControl::ZOrderedChildren() const {
    auto out = TabOrderedChildren();
    std::stable_partition(out.begin(), out.end(), [](TWinControl* w) { return !w->StaysBehindSiblings(); });
    return out;
}

void TWinControl::CreateChildHandles() {
    // Hidden children (pages not shown yet) get their windows when they are shown or asked for.
    std::vector<TWinControl*> children;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible()) children.push_back(w);
    if (children.size() > 1) {
        // Each new child window goes beneath those made before it.
        auto ordered = ZOrderedChildren();
        children.clear();
        for (TWinControl* w : ordered)
            if (w->Visible()) children.push_back(w);
    }
    if (std::all_of(children.begin(), children.end(), [](TWinControl* w) { return w->HandleAllocated(); }))
        return;
    TChildCreationScope scope;
    for (TWinControl* w : children)
        if (!w->HandleAllocated()) w->CreateHandleNow();
}

void TWinControl::AttachHandle(HWND window, WNDPROC previous) {
    handle_ = window;
    defWndProc_ = previous;
    Owners().Add(window, this);
}

void TWinControl::DetachHandle() {
    if (handle_) Owners().Remove(handle_);
    handle_ = nullptr;
    defWndProc_ = nullptr;
    windowFont_.reset();
    mouseInside_ = false;
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    if (!handle_) return;
    StoreText(GetText()); // the window's text outlives the window
    HWND window = handle_;
    DestroyWindow(window);
    if (handle_ == window) DetachHandle(); // a window that saw no WM_NCDESTROY through us
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    bool hadFocus = Focused();
    DestroyHandle();
    CreateHandleNow();
    if (hadFocus && CanFocus()) ::SetFocus(handle_);
}

// --- state -----------------------------------------------------------------------------------------

void TWinControl::StoreText(const String& value) {
    TControl::StoreText(value);
    if (handle_) SetWindowTextW(handle_, value.c_str());
}

String TWinControl::GetText() const {
    if (!handle_) return TControl::GetText();
    int n = GetWindowTextLengthW(handle_);
    String s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(handle_, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

void TWinControl::ApplyState(UINT change) {
    switch (change) {
    case CM_VISIBLECHANGED:
        if (handle_) {
            ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
        } else if (Visible() && parent_ && parent_->HandleAllocated()) {
            // Windows made inside a hidden window cost Wine about half as much: build, then show.
            createHidden_ = true;
            try {
                CreateHandleNow();
            } catch (...) {
                createHidden_ = false;
                throw;
            }
            createHidden_ = false;
            if (handle_) ShowWindow(handle_, SW_SHOWNA);
        }
        break;
    case CM_ENABLEDCHANGED:
        if (handle_) EnableWindow(handle_, Enabled());
        break;
    case CM_FONTCHANGED:
        if (handle_) {
            auto font = Font()->SharedHandle();
            SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
            windowFont_ = std::move(font);
        }
        break;
    case CM_COLORCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
}

void TWinControl::BoundsChanged(const RECT&) {
    if (handle_)
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

int TWinControl::ClientWidth() const {
    if (!handle_) return Width();
    RECT r;
    GetClientRect(handle_, &r);
    return r.right;
}

int TWinControl::ClientHeight() const {
    if (!handle_) return Height();
    RECT r;
    GetClientRect(handle_, &r);
    return r.bottom;
}

void TWinControl::SetClientSize(int w, int h) {
    if (!handle_) {
        TControl::SetClientSize(w, h);
        return;
    }
    SetBounds(Left(), Top(), Width() + w - ClientWidth(), Height() + h - ClientHeight());
}

bool TWinControl::Showing() const {
    if (!Visible()) return false;
    if (Parent()) return Parent()->Showing();
    return handle_ && IsWindowVisible(handle_);
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    TCustomForm* form = GetParentForm(this);
    return !form || form->Showing();
}

void TWinControl::SetTabStop(bool value) {
    if (value == tabStop_) return;
    tabStop_ = value;
    if (handle_) {
        LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
        SetWindowLongPtrW(handle_, GWL_STYLE,
                          value ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    }
}

int TWinControl::TabOrder() const {
    if (!Parent()) return tabOrder_ < 0 ? 0 : tabOrder_;
    auto siblings = Parent()->TabOrderedChildren();
    auto it = std::find(siblings.begin(), siblings.end(), this);
    return static_cast<int>(it - siblings.begin());
}

void TWinControl::SetTabOrder(int value) {
    tabOrder_ = std::max(value, 0);
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::Realign() {
    if (alignDisabled_ || aligning_ || IsDestroying()) return;
    bool any =
        std::any_of(controls_.begin(), controls_.end(), [](TControl* c) { return c->Align() != alNone; });
    if (!any) return;
    aligning_ = true;
    try {
        RECT r = ClientRect();
        AlignControls(r);
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

void TWinControl::AlignControls(RECT& r) {
    // Top and bottom bands take the full width first, then left and right bands, then the client.
    auto take = [&](TAlign align, auto less) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == align && c->Visible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), less);
        for (TControl* c : list) {
            int w = c->Width(), h = c->Height();
            switch (align) {
            case alTop:
                c->SetBounds(r.left, r.top, r.right - r.left, h);
                r.top += h;
                break;
            case alBottom:
                c->SetBounds(r.left, r.bottom - h, r.right - r.left, h);
                r.bottom -= h;
                break;
            case alLeft:
                c->SetBounds(r.left, r.top, w, r.bottom - r.top);
                r.left += w;
                break;
            case alRight:
                c->SetBounds(r.right - w, r.top, w, r.bottom - r.top);
                r.right -= w;
                break;
            case alClient:
                c->SetBounds(r.left, r.top, std::max<int>(r.right - r.left, 0),
                             std::max<int>(r.bottom - r.top, 0));
                break;
            default:
                break;
            }
        }
    };
    take(alTop, [](TControl* a, TControl* b) { return a->Top() < b->Top(); });
    take(alBottom, [](TControl* a, TControl* b) { return a->Top() + a->Height() > b->Top() + b->Height(); });
    take(alLeft, [](TControl* a, TControl* b) { return a->Left() < b->Left(); });
    take(alRight, [](TControl* a, TControl* b) { return a->Left() + a->Width() > b->Left() + b->Width(); });
    take(alClient, [](TControl*, TControl*) { return false; });
}

void TWinControl::Invalidate() {
    // A window that is not on the screen has nothing to paint (its showing paints it whole), and the
    // asking costs a round trip to the window system all the same: a form skinned before it first
    // shows repaints every control.
    if (handle_ && IsWindowVisible(handle_)) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

// --- messages --------------------------------------------------------------------------------------

bool TWinControl::HasGraphicChildren() const {
    return std::any_of(controls_.begin(), controls_.end(),
                       [](TControl* c) { return !dynamic_cast<TWinControl*>(c) && c->Visible(); });
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* c : controls_) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible()) continue;
        RECT r = g->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        POINT origin;
        OffsetViewportOrgEx(dc, r.left, r.top, &origin);
        try {
            g->Paint(dc);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintHandler(TMessage& m) {
    PAINTSTRUCT ps{};
    HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(handle_, &ps);
    try {
        TMessage own{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
        DefaultHandler(own);
        PaintControls(dc);
    } catch (...) {
        if (!m.WParam) EndPaint(handle_, &ps);
        throw;
    }
    if (!m.WParam) EndPaint(handle_, &ps);
    m.Result = 0;
}

bool TWinControl::RouteMouseToGraphic(TMessage& m) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* target = mouseCapture_;
    if (!target) {
        TControl* hit = ControlAtPos(p);
        if (hit && !dynamic_cast<TWinControl*>(hit)) target = hit;
    }
    if (!target) return false;
    if (m.Msg == WM_LBUTTONDOWN && target->ControlStyle().Contains(csCaptureMouse)) {
        mouseCapture_ = target;
        SetCapture(handle_);
    }
    TMessage child{m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()), 0};
    if (m.Msg == WM_LBUTTONUP && mouseCapture_) {
        mouseCapture_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
    target->Perform(child.Msg, child.WParam, child.LParam);
    m.Result = 0;
    return true;
}

bool TWinControl::ReflectNotification(TMessage& m) {
    TWinControl* child = nullptr;
    switch (m.Msg) {
    case WM_COMMAND:
        if (m.LParam) {
            child = FromHandle(reinterpret_cast<HWND>(m.LParam));
        } else if (MenuSeam().Dispatch && MenuSeam().Dispatch(this, m)) {
            return true;
        }
        break;
    case WM_NOTIFY:
        child = FromHandle(reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom);
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (m.LParam) child = FromHandle(reinterpret_cast<HWND>(m.LParam));
        break;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (dis->CtlType == ODT_MENU) return MenuSeam().Dispatch && MenuSeam().Dispatch(this, m);
        child = FromHandle(dis->hwndItem);
        break;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (mis->CtlType == ODT_MENU) return MenuSeam().Dispatch && MenuSeam().Dispatch(this, m);
        if (handle_) child = FromHandle(GetDlgItem(handle_, static_cast<int>(mis->CtlID)));
        break;
    }
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
    case WM_MENUSELECT:
    case WM_UNINITMENUPOPUP:
        return MenuSeam().Dispatch && MenuSeam().Dispatch(this, m);
    default:
        return false;
    }
    if (!child) return false;
    m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return true;
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
    case WM_MENUSELECT:
    case WM_UNINITMENUPOPUP:
        if (ReflectNotification(m)) return;
        break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORSCROLLBAR: {
        auto dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        m.Result = reinterpret_cast<LRESULT>(ColorBrush(Color()));
        return;
    }
    case WM_CONTEXTMENU: {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        bool keyboard = p.x == -1 && p.y == -1;
        TControl* target = this;
        if (!keyboard) {
            TControl* hit = ControlAtPos(ScreenToClient(p));
            if (hit && !dynamic_cast<TWinControl*>(hit) && hit->PopupMenu()) target = hit;
        } else {
            p = ClientToScreen(POINT{Width() / 2, Height() / 2});
        }
        if (target->PopupMenu() && MenuSeam().Popup) {
            MenuSeam().Popup(target->PopupMenu(), p.x, p.y, target);
            m.Result = 0;
            return;
        }
        break;
    }
    case WM_ERASEBKGND:
        if (defWndProc_ == DefWindowProcW && handle_) {
            RECT r;
            GetClientRect(handle_, &r);
            FillRect(reinterpret_cast<HDC>(m.WParam), &r, ColorBrush(Color()));
            m.Result = 1;
            return;
        }
        break;
    case WM_GETFONT:
        if (defWndProc_ == DefWindowProcW) { // windows of our own classes keep no font of their own
            m.Result = reinterpret_cast<LRESULT>(windowFont_.get());
            return;
        }
        break;
    case WM_PAINT:
        if (HasGraphicChildren()) {
            PaintHandler(m);
            return;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        DefaultHandler(m);
        auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
        if (!(wp->flags & SWP_NOSIZE) || !(wp->flags & SWP_NOMOVE)) {
            RECT r;
            GetWindowRect(handle_, &r);
            if (HWND parent = GetParent(handle_);
                parent && (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD))
                MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
            BoundsFromWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
        return;
    }
    case WM_SETFOCUS:
        DefaultHandler(m);
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetActiveControl(this);
        if (OnEnter) OnEnter(this);
        return;
    case WM_KILLFOCUS:
        DefaultHandler(m);
        if (OnExit) OnExit(this);
        return;
    case WM_MOUSEMOVE:
        if (!mouseInside_ && handle_) {
            mouseInside_ = true;
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, handle_, 0};
            TrackMouseEvent(&tme);
            Perform(CM_MOUSEENTER);
        }
        break;
    case WM_MOUSELEAVE:
        mouseInside_ = false;
        Perform(CM_MOUSELEAVE);
        break;
    case WM_SYSCHAR:
        if (TCustomForm* form = GetParentForm(this);
            form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam)) {
            m.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    if (IsMouseMessage(m.Msg) && m.Msg != WM_MOUSEMOVE && RouteMouseToGraphic(m)) return;
    if (m.Msg == WM_MOUSEMOVE && (mouseCapture_ || HasGraphicChildren()) && RouteMouseToGraphic(m)) {
        DefaultHandler(m);
        return;
    }
    TControl::WndProc(m);
}

namespace {

// A child whose window is all client area: its frame painting has nothing to draw.
bool IsFramelessChild(HWND window) {
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) return false;
    RECT outer, inner;
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &inner)) return false;
    return outer.right - outer.left == inner.right && outer.bottom - outer.top == inner.bottom;
}

} // namespace

void TWinControl::DefaultHandler(TMessage& m) {
    if (!handle_ || !defWndProc_ || IsFrameworkPrivate(m.Msg)) return;
    // The default frame painting takes a window DC even when there is no frame, which costs Wine a
    // visible-region round trip per control each time a form full of them is shown.
    if (m.Msg == WM_NCPAINT && IsFramelessChild(handle_)) {
        m.Result = 0;
        return;
    }
    m.Result = CallWindowProcW(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}
