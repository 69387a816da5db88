#include <framework/forms.h>
#include <framework/sysutils.h>

#include <framework/menus.h>
#include <framework/showseam.h>

#include <algorithm>

namespace {

constexpr UINT CM_RELEASE = CM_BASE + 33;

const TIdentMap PositionIdents{{L"poDesigned", poDesigned},
                               {L"poDefault", poDefault},
                               {L"poDefaultPosOnly", poDefaultPosOnly},
                               {L"poDefaultSizeOnly", poDefaultSizeOnly},
                               {L"poScreenCenter", poScreenCenter},
                               {L"poDesktopCenter", poDesktopCenter},
                               {L"poMainFormCenter", poMainFormCenter},
                               {L"poOwnerFormCenter", poOwnerFormCenter}};
const TIdentMap BorderIconIdents{{L"biSystemMenu", biSystemMenu},
                                 {L"biMinimize", biMinimize},
                                 {L"biMaximize", biMaximize},
                                 {L"biHelp", biHelp}};
const TIdentMap BorderStyleIdents{
    {L"bsNone", bsNone},     {L"bsSingle", bsSingle},         {L"bsSizeable", bsSizeable},
    {L"bsDialog", bsDialog}, {L"bsToolWindow", bsToolWindow}, {L"bsSizeToolWin", bsSizeToolWin}};
const TIdentMap FormStyleIdents{{L"fsNormal", fsNormal},
                                {L"fsMDIChild", fsMDIChild},
                                {L"fsMDIForm", fsMDIForm},
                                {L"fsStayOnTop", fsStayOnTop}};
const TIdentMap WindowStateIdents{
    {L"wsNormal", wsNormal}, {L"wsMinimized", wsMinimized}, {L"wsMaximized", wsMaximized}};

RECT WorkAreaNear(HWND window) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                              : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (GetMonitorInfoW(monitor, &mi)) return mi.rcWork;
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return r;
}

} // namespace

TFormShowSeam& FormShowSeam() {
    static TFormShowSeam seam;
    return seam;
}

const TClassInfo* TCustomForm::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomForm", TWinControl::StaticClassInfo(),
        {
            StrProp<TCustomForm>(L"Caption", &TCustomForm::Caption, &TCustomForm::SetCaption),
            IntProp<TCustomForm>(L"ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth),
            IntProp<TCustomForm>(L"ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight),
            EnumProp<TCustomForm>(L"Position", &TCustomForm::Position, &TCustomForm::SetPosition,
                                  PositionIdents),
            SetProp<TCustomForm>(L"BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
                                 BorderIconIdents),
            EnumProp<TCustomForm>(L"BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                                  BorderStyleIdents),
            EnumProp<TCustomForm>(L"FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                                  FormStyleIdents),
            EnumProp<TCustomForm>(L"WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
                                  WindowStateIdents),
            RefProp<TCustomForm, TMainMenu>(L"Menu", &TCustomForm::Menu, &TCustomForm::SetMenu),
            RefProp<TCustomForm, TWinControl>(L"ActiveControl", &TCustomForm::ActiveControl,
                                              &TCustomForm::SetActiveControl),
            BoolProp<TCustomForm>(L"KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview),
            IntProp<TCustomForm>(L"PixelsPerInch", &TCustomForm::PixelsPerInch,
                                 &TCustomForm::SetPixelsPerInch),
            IntProp<TCustomForm>(L"TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight),
            BoolProp<TCustomForm>(L"OldCreateOrder", &TCustomForm::OldCreateOrder,
                                  &TCustomForm::SetOldCreateOrder),
            BoolProp<TCustomForm>(L"Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled),
            EventProp<TCustomForm>(L"OnCreate", &TCustomForm::OnCreate),
            EventProp<TCustomForm>(L"OnShow", &TCustomForm::OnShow),
            EventProp<TCustomForm>(L"OnHide", &TCustomForm::OnHide),
            EventProp<TCustomForm>(L"OnDestroy", &TCustomForm::OnDestroy),
            EventProp<TCustomForm>(L"OnActivate", &TCustomForm::OnActivate),
            EventProp<TCustomForm>(L"OnDeactivate", &TCustomForm::OnDeactivate),
            EventProp<TCustomForm>(L"OnClose", &TCustomForm::OnClose),
            EventProp<TCustomForm>(L"OnCloseQuery", &TCustomForm::OnCloseQuery),
            EventProp<TCustomForm>(L"OnClick", &TCustomForm::OnClick),
            EventProp<TCustomForm>(L"OnDblClick", &TCustomForm::OnDblClick),
            EventProp<TCustomForm>(L"OnResize", &TCustomForm::OnResize),
        });
    return &info;
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csClickEvents});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetVisible(false);
    SetBounds(0, 0, 320, 240);
}

TCustomForm::~TCustomForm() = default;

void TCustomForm::BeforeDestruction() {
    if (OnDestroy) OnDestroy(this);
    TWinControl::BeforeDestruction();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == menu_) menu_ = nullptr;
    if (AComponent == activeControl_) activeControl_ = nullptr;
}

String TCustomForm::FormResourceName() const {
    return UpperCase(ClassName());
}

void TCustomForm::LoadDescription() {
    String name = FormResourceName();
    if (!name.empty()) ReadComponentResource(this, name);
}

void TCustomForm::LoadDescriptionText(std::string_view utf8, const TResourceResolver& resolver) {
    ReadComponentText(this, utf8, FormResourceName(), resolver ? resolver : ModuleResources(nullptr));
}

void TCustomForm::DoCreate() {
    if (created_) return;
    created_ = true;
    if (OnCreate) OnCreate(this);
}

// --- window style ----------------------------------------------------------------------------------

DWORD TCustomForm::WindowStyle() const {
    DWORD style = WS_CLIPCHILDREN;
    bool minMax = false;
    switch (borderStyle_) {
    case bsNone:
        style |= WS_POPUP;
        break;
    case bsSingle:
        style |= WS_CAPTION | WS_BORDER;
        minMax = true;
        break;
    case bsSizeable:
        style |= WS_CAPTION | WS_THICKFRAME;
        minMax = true;
        break;
    case bsDialog:
        style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        break;
    case bsToolWindow:
        style |= WS_CAPTION;
        break;
    case bsSizeToolWin:
        style |= WS_CAPTION | WS_THICKFRAME;
        break;
    }
    if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) {
        style |= WS_SYSMENU;
        if (minMax && borderIcons_.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
        if (minMax && borderIcons_.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
    }
    if (!Enabled()) style |= WS_DISABLED;
    return style;
}

DWORD TCustomForm::WindowExStyle() const {
    DWORD ex = 0;
    if (borderStyle_ == bsDialog) ex |= WS_EX_DLGMODALFRAME;
    if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) ex |= WS_EX_TOOLWINDOW;
    if (formStyle_ == fsStayOnTop) ex |= WS_EX_TOPMOST;
    if (borderIcons_.Contains(biHelp) && borderIcons_.Contains(biSystemMenu) &&
        (borderStyle_ == bsDialog ||
         !(borderIcons_.Contains(biMinimize) || borderIcons_.Contains(biMaximize))))
        ex |= WS_EX_CONTEXTHELP;
    return ex;
}

HMENU TCustomForm::MenuHandle() const {
    return menu_ && MenuSeam().MainMenuHandle ? MenuSeam().MainMenuHandle(menu_) : nullptr;
}

SIZE TCustomForm::FrameSize() const {
    RECT r{0, 0, 100, 100};
    AdjustWindowRectEx(&r, WindowStyle(), menu_ != nullptr, WindowExStyle());
    return SIZE{(r.right - r.left) - 100, (r.bottom - r.top) - 100};
}

int TCustomForm::ClientWidth() const {
    if (HandleAllocated() || Parent()) return TWinControl::ClientWidth();
    return std::max<int>(Width() - FrameSize().cx, 0);
}

int TCustomForm::ClientHeight() const {
    if (HandleAllocated() || Parent()) return TWinControl::ClientHeight();
    return std::max<int>(Height() - FrameSize().cy, 0);
}

void TCustomForm::SetClientSize(int w, int h) {
    clientWidthSet_ = w;
    clientHeightSet_ = h;
    if (HandleAllocated() || Parent()) {
        TWinControl::SetClientSize(w, h);
        return;
    }
    SIZE frame = FrameSize();
    SetBounds(Left(), Top(), w + frame.cx, h + frame.cy);
}

void TCustomForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    if (Parent()) return; // a form placed inside another control is an ordinary child window
    p.Style = WindowStyle();
    p.ExStyle = WindowExStyle();
    p.Menu = MenuHandle();
    p.WinClassName = ClassName();
    p.OwnClass = true;
    p.Icon = ApplicationIcon(false);
    p.SmallIcon = ApplicationIcon(true);
}

void TCustomForm::WindowPlacement(TCreateParams& p) {
    TWinControl::WindowPlacement(p);
    if (Parent()) return;
    p.WndParent = nullptr;
    // Secondary windows belong to the main window: no taskbar button of their own, kept above it.
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main != this && main->HandleAllocated()) p.WndParent = main->Handle();
    if (position_ == poDefault || position_ == poDefaultPosOnly) p.X = p.Y = CW_USEDEFAULT;
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (Parent()) return;
    RECT r;
    GetWindowRect(Handle(), &r);
    BoundsFromWindow(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (Application && !Application->Title().empty() && this == Application->MainForm()) {
        // nothing more: the taskbar shows the main window's own caption
    }
}

void TCustomForm::DestroyWnd() {
    // The menu belongs to its component, not to the window.
    if (HandleAllocated() && menu_) ::SetMenu(Handle(), nullptr);
    TWinControl::DestroyWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
    if (value == borderIcons_) return;
    borderIcons_ = value;
    if (HandleAllocated() && !Parent()) RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (value == borderStyle_) return;
    int cw = ClientWidth(), ch = ClientHeight();
    borderStyle_ = value;
    if (!HandleAllocated() && clientWidthSet_ >= 0) SetClientSize(cw, ch);
    if (HandleAllocated() && !Parent()) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
    if (value == formStyle_) return;
    formStyle_ = value;
    if (HandleAllocated() && !Parent())
        SetWindowPos(Handle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState value) {
    if (value == windowState_) return;
    windowState_ = value;
    if (HandleAllocated() && Showing())
        ShowWindow(Handle(), value == wsMaximized   ? SW_MAXIMIZE
                             : value == wsMinimized ? SW_MINIMIZE
                                                    : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    int cw = ClientWidth(), ch = ClientHeight();
    bool keepClient = !HandleAllocated() && (clientWidthSet_ >= 0 || clientHeightSet_ >= 0);
    if (menu_) RemoveFreeNotification(menu_);
    menu_ = menu;
    if (menu_) FreeNotification(menu_);
    if (keepClient) SetClientSize(cw, ch); // a description gives the client size it wants
    if (HandleAllocated() && !Parent()) {
        ::SetMenu(Handle(), MenuHandle());
        DrawMenuBar(Handle());
    }
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_ || control == this) return;
    if (activeControl_) RemoveFreeNotification(activeControl_);
    activeControl_ = control;
    if (control) FreeNotification(control);
    if (control && !IsLoading() && Showing() && control->CanFocus() && !control->Focused())
        control->SetFocus();
}

// --- showing and closing ---------------------------------------------------------------------------

bool TCustomForm::Showing() const {
    if (Parent()) return TWinControl::Showing();
    return HandleAllocated() && IsWindowVisible(Handle());
}

void TCustomForm::ApplyState(UINT change) {
    if (change == CM_VISIBLECHANGED && !Parent()) {
        ShowOrHideWindow();
        return;
    }
    TWinControl::ApplyState(change);
}

void TCustomForm::ApplyPosition() {
    TCustomForm* reference = nullptr;
    switch (position_) {
    case poMainFormCenter:
        reference = Application ? Application->MainForm() : nullptr;
        break;
    case poOwnerFormCenter:
        reference = dynamic_cast<TCustomForm*>(Owner());
        if (!reference) reference = Application ? Application->MainForm() : nullptr;
        break;
    case poScreenCenter:
    case poDesktopCenter:
        break;
    default:
        return;
    }
    if (reference == this || (reference && !reference->HandleAllocated())) reference = nullptr;
    RECT area;
    if (reference) {
        GetWindowRect(reference->Handle(), &area);
    } else if (position_ == poDesktopCenter) {
        area = RECT{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
        area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
        area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    } else {
        area =
            WorkAreaNear(Application && Application->MainForm() && Application->MainForm()->HandleAllocated()
                             ? Application->MainForm()->Handle()
                             : nullptr);
    }
    int x = area.left + ((area.right - area.left) - Width()) / 2;
    int y = area.top + ((area.bottom - area.top) - Height()) / 2;
    // Never place the caption out of reach.
    RECT work = WorkAreaNear(HandleAllocated() ? Handle() : nullptr);
    x = std::max<int>(work.left, std::min<int>(x, work.right - Width()));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - Height()));
    SetBounds(x, y, Width(), Height());
}

void TCustomForm::ShowOrHideWindow() {
    if (IsLoading()) return; // NewForm shows it once the description is read
    if (Visible()) {
        if (OnShow) OnShow(this);
        HWND window = Handle();
        ApplyPosition();
        int command = windowState_ == wsMaximized   ? SW_SHOWMAXIMIZED
                      : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                                                    : SW_SHOWNORMAL;
        const bool appearing = !IsWindowVisible(window);
        if (appearing && command == SW_SHOWNORMAL && FormShowSeam().BeforeShow)
            FormShowSeam().BeforeShow(window);
        ShowWindow(window, command);
        // A window that appears is painted whole at once, before anything queued meanwhile runs.
        if (appearing) UpdateWindow(window);
    } else if (HandleAllocated()) {
        ShowWindow(Handle(), SW_HIDE);
        if (OnHide) OnHide(this);
    }
}

void TCustomForm::Show() {
    if (Visible())
        ShowOrHideWindow(); // e.g. shown before its description was complete
    else
        SetVisible(true);
    if (HandleAllocated() && !Parent()) {
        BringWindowToTop(Handle());
        SetForegroundWindow(Handle());
    }
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

void TCustomForm::CloseModal() {
    TCloseAction action = caHide;
    if (!CloseQuery())
        action = caNone;
    else
        DoClose(action);
    if (action == caNone) modalResult_ = mrNone;
    if (action == caFree) Release();
}

void TCustomForm::Release() {
    if (HandleAllocated()) PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

int TCustomForm::ShowModal() {
    if (Visible() || modal_ || !Enabled() || Parent())
        throw EInvalidOperation(L"Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    HWND self = Handle();
    HWND previousActive = GetActiveWindow();
    // The rest of the program waits for this window.
    std::vector<HWND> disabled;
    struct Ctx {
        HWND self;
        std::vector<HWND>* list;
    } ctx{self, &disabled};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) CALLBACK -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (w != c->self && IsWindowVisible(w) && IsWindowEnabled(w)) {
                EnableWindow(w, FALSE);
                c->list->push_back(w);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    auto restore = [&] {
        for (HWND w : disabled)
            if (IsWindow(w)) EnableWindow(w, TRUE);
        disabled.clear();
    };
    modal_ = true;
    modalResult_ = mrNone;
    if (Application) ++Application->modalLevel_;
    try {
        Show();
        for (;;) {
            if (Application->Terminated()) break;
            if (modalResult_ != mrNone) {
                CloseModal();
                if (modalResult_ != mrNone) break;
            }
            Application->HandleMessage();
        }
    } catch (...) {
        restore();
        modal_ = false;
        if (Application) --Application->modalLevel_;
        if (HandleAllocated()) Hide();
        throw;
    }
    // Enable the others before hiding so that activation returns to the window below.
    restore();
    if (HandleAllocated()) Hide();
    modal_ = false;
    if (Application) --Application->modalLevel_;
    if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
    return modalResult_;
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_CLOSE:
        Close();
        m.Result = 0;
        return;
    case CM_RELEASE:
        delete this;
        return;
    case WM_ACTIVATE: {
        DefaultHandler(m);
        bool active = LOWORD(m.WParam) != WA_INACTIVE;
        if (active) {
            // Focus goes back to the control that had it, or to the first that takes it.
            HWND target = nullptr;
            if (activeControl_ && activeControl_->CanFocus()) target = activeControl_->Handle();
            if (!target && HandleAllocated()) target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
            if (target && !HIWORD(m.WParam)) ::SetFocus(target);
            if (OnActivate) OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        return;
    }
    case CM_MENUCHANGED:
        if (menu_ && !Parent()) ::SetMenu(Handle(), MenuHandle());
        return;
    case WM_QUERYENDSESSION:
        m.Result = CloseQuery();
        return;
    default:
        break;
    }
    TWinControl::WndProc(m);
}
