#include <framework/comctrls.h>

#include <algorithm>

TCustomDrawState CustomDrawStateFromItemState(UINT itemState) {
    static constexpr struct {
        UINT bit;
        TCustomDrawStateItem item;
    } map[] = {
        {CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed}, {CDIS_DISABLED, cdsDisabled},
        {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused}, {CDIS_DEFAULT, cdsDefault},
        {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked}, {CDIS_INDETERMINATE, cdsIndeterminate},
    };
    TCustomDrawState state;
    for (const auto& m : map)
        if (itemState & m.bit) state.Include(m.item);
    return state;
}

// ---------------------------------------------------------------------------------------------------
// TToolButton

const TClassInfo* TToolButton::StaticClassInfo() {
    static const TClassInfo info(
        L"TToolButton", TComponent::StaticClassInfo(),
        {
            StrProp<TToolButton>(L"Caption", &TToolButton::Caption, &TToolButton::SetCaption),
            BoolProp<TToolButton>(L"Enabled", &TToolButton::Enabled, &TToolButton::SetEnabled),
            BoolProp<TToolButton>(L"Down", &TToolButton::Down, &TToolButton::SetDown),
            EventProp<TToolButton>(L"OnClick", &TToolButton::OnClick),
        });
    return &info;
}

TToolButton::TToolButton(TToolBar* AOwner) : TComponent(AOwner), toolBar_(AOwner) {}

void TToolButton::SetCaption(const String& value) {
    caption_ = value;
    if (!toolBar_ || !toolBar_->HandleAllocated()) return;
    // The bar keeps a button's text by index: the button is made again with the new one.
    const int index = Index();
    SendMessageW(toolBar_->Handle(), TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    toolBar_->AddButtonWindow(this);
}

void TToolButton::SetEnabled(bool value) {
    enabled_ = value;
    PushState();
}

void TToolButton::SetDown(bool value) {
    down_ = value;
    PushState();
}

int TToolButton::Index() const {
    if (!toolBar_) return -1;
    const auto& all = toolBar_->buttons_;
    const auto it = std::find(all.begin(), all.end(), this);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

RECT TToolButton::BoundsRect() const {
    RECT r{};
    if (toolBar_ && toolBar_->HandleAllocated())
        SendMessageW(toolBar_->Handle(), TB_GETRECT, command_, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TToolButton::PushState() {
    if (!toolBar_ || !toolBar_->HandleAllocated()) return;
    BYTE state = 0;
    if (enabled_) state |= TBSTATE_ENABLED;
    if (down_) state |= TBSTATE_CHECKED;
    SendMessageW(toolBar_->Handle(), TB_SETSTATE, command_, MAKELPARAM(state, 0));
}

// ---------------------------------------------------------------------------------------------------
// TToolBar

const TClassInfo* TToolBar::StaticClassInfo() {
    static const TClassInfo info(L"TToolBar", TWinControl::StaticClassInfo(), {});
    return &info;
}

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 150, 29);
}

TToolBar::~TToolBar() {
    canvas_.SetHandle(nullptr);
}

void TToolBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = TOOLBARCLASSNAMEW;
    p.OwnClass = false;
    // Placed by the framework like any control, not by the bar itself.
    p.Style |= TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
}

void TToolBar::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // No images: the buttons are as high as their text.
    SendMessageW(Handle(), TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    for (TToolButton* b : buttons_) AddButtonWindow(b);
}

TToolButton* TToolBar::AddButton(const String& caption) {
    auto* button = new TToolButton(this);
    button->caption_ = caption;
    button->command_ = nextCommand_++;
    buttons_.push_back(button);
    if (HandleAllocated()) AddButtonWindow(button);
    return button;
}

TToolButton* TToolBar::FindButton(UINT command) const {
    for (TToolButton* b : buttons_)
        if (b->command_ == command) return b;
    return nullptr;
}

void TToolBar::AddButtonWindow(TToolButton* button) {
    const String text = button->caption_;
    TBBUTTON tb{};
    tb.iBitmap = I_IMAGENONE;
    tb.idCommand = static_cast<int>(button->command_);
    tb.fsState =
        static_cast<BYTE>((button->enabled_ ? TBSTATE_ENABLED : 0) | (button->down_ ? TBSTATE_CHECKED : 0));
    tb.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    tb.iString = reinterpret_cast<INT_PTR>(text.c_str());
    SendMessageW(Handle(), TB_INSERTBUTTONW, static_cast<WPARAM>(button->Index()),
                 reinterpret_cast<LPARAM>(&tb));
    SendMessageW(Handle(), TB_AUTOSIZE, 0, 0);
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return OnCustomDrawButton ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT: {
        TToolButton* button = FindButton(static_cast<UINT>(draw.nmcd.dwItemSpec));
        if (!button || !OnCustomDrawButton) return CDRF_DODEFAULT;
        canvas_.SetHandle(draw.nmcd.hdc);
        canvas_.Font()->Assign(Font());
        const TColor before = canvas_.Font()->Color();
        bool defaultDraw = true;
        struct TRelease {
            TCanvas& c;
            ~TRelease() { c.SetHandle(nullptr); }
        } release{canvas_};
        OnCustomDrawButton(this, button, CustomDrawStateFromItemState(draw.nmcd.uItemState), defaultDraw);
        if (!defaultDraw) return CDRF_SKIPDEFAULT;
        // The handler painted the background: the bar adds the text, in the colour it chose.
        if (canvas_.Font()->Color() != before) {
            draw.clrText = ColorToRGB(canvas_.Font()->Color());
            draw.clrTextHighlight = draw.clrText;
        }
        return CDRF_DODEFAULT | TBCDRF_NOEDGES | TBCDRF_NOOFFSET | TBCDRF_NOBACKGROUND;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void TToolBar::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(m.LParam);
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
            m.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam));
            return;
        }
        break;
    }
    case CN_COMMAND:
        if (TToolButton* button = FindButton(LOWORD(m.WParam))) {
            if (button->OnClick) button->OnClick(button);
            m.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(m);
}
