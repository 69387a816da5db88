#include <framework/stdctrls.h>

const TIdentMap AlignmentIdents{
    {L"taLeftJustify", taLeftJustify}, {L"taRightJustify", taRightJustify}, {L"taCenter", taCenter}};
const TIdentMap ScrollStyleIdents{
    {L"ssNone", ssNone}, {L"ssHorizontal", ssHorizontal}, {L"ssVertical", ssVertical}, {L"ssBoth", ssBoth}};
const TIdentMap EditCharCaseIdents{
    {L"ecNormal", ecNormal}, {L"ecUpperCase", ecUpperCase}, {L"ecLowerCase", ecLowerCase}};
const TIdentMap ControlBorderStyleIdents{{L"bsNone", bsNone}, {L"bsSingle", bsSingle}};
const TIdentMap TextLayoutIdents{{L"tlTop", tlTop}, {L"tlCenter", tlCenter}, {L"tlBottom", tlBottom}};
const TIdentMap CheckBoxStateIdents{
    {L"cbUnchecked", cbUnchecked}, {L"cbChecked", cbChecked}, {L"cbGrayed", cbGrayed}};
static const TIdentMap ModalResultIdents{
    {L"mrNone", mrNone},   {L"mrOk", mrOk},       {L"mrCancel", mrCancel},
    {L"mrAbort", mrAbort}, {L"mrRetry", mrRetry}, {L"mrIgnore", mrIgnore},
    {L"mrYes", mrYes},     {L"mrNo", mrNo},       {L"mrAll", mrAll}};

namespace {
bool IsClickNotification(const TMessage& m) {
    return m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED;
}
} // namespace

// ---------------------------------------------------------------------------------------------------
// TButtonControl

const TClassInfo* TButtonControl::StaticClassInfo() {
    static const TClassInfo info(L"TButtonControl", TWinControl::StaticClassInfo(), {});
    return &info;
}

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = L"BUTTON";
    p.OwnClass = false;
    if (wordWrap_) p.Style |= BS_MULTILINE;
}

// ---------------------------------------------------------------------------------------------------
// TButton

const TClassInfo* TButton::StaticClassInfo() {
    static const TClassInfo info(
        L"TButton", TButtonControl::StaticClassInfo(),
        {
            StrProp<TButton>(L"Caption", &TButton::Caption, &TButton::SetCaption),
            BoolProp<TButton>(L"Default", &TButton::Default, &TButton::SetDefault),
            BoolProp<TButton>(L"Cancel", &TButton::Cancel, &TButton::SetCancel),
            IntProp<TButton>(L"ModalResult", &TButton::ModalResult, &TButton::SetModalResult,
                             &ModalResultIdents),
            BoolProp<TButton>(L"WordWrap", &TButton::WordWrap, &TButton::SetWordWrap),
            EventProp<TButton>(L"OnClick", &TButton::OnClick),
        });
    return &info;
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() {
    if (modalResult_ != mrNone)
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& m) {
    if (IsClickNotification(m)) {
        Click();
        m.Result = 0;
        return;
    }
    TButtonControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------------
// TCustomCheckBox

const TClassInfo* TCustomCheckBox::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomCheckBox", TButtonControl::StaticClassInfo(),
        {
            StrProp<TCustomCheckBox>(L"Caption", &TCustomCheckBox::Caption, &TCustomCheckBox::SetCaption),
            BoolProp<TCustomCheckBox>(L"Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked),
            EnumProp<TCustomCheckBox>(L"State", &TCustomCheckBox::State, &TCustomCheckBox::SetState,
                                      CheckBoxStateIdents),
            BoolProp<TCustomCheckBox>(L"AllowGrayed", &TCustomCheckBox::AllowGrayed,
                                      &TCustomCheckBox::SetAllowGrayed),
            EnumProp<TCustomCheckBox>(L"Alignment", &TCustomCheckBox::Alignment,
                                      &TCustomCheckBox::SetAlignment, AlignmentIdents),
            BoolProp<TCustomCheckBox>(L"WordWrap", &TCustomCheckBox::WordWrap, &TCustomCheckBox::SetWordWrap),
            EventProp<TCustomCheckBox>(L"OnClick", &TCustomCheckBox::OnClick),
        });
    return &info;
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
    if (value == state_) return;
    state_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight value) {
    if (value == alignment_) return;
    alignment_ = value;
    RecreateWnd();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked:
        SetState(cbChecked);
        break;
    case cbChecked:
        SetState(allowGrayed_ ? cbGrayed : cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbUnchecked);
        break;
    }
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    p.Style |= allowGrayed_ ? BS_3STATE : BS_CHECKBOX;
    if (alignment_ == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    if (state_ != cbUnchecked) SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::WndProc(TMessage& m) {
    if (IsClickNotification(m)) {
        Toggle();
        m.Result = 0;
        return;
    }
    TButtonControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------------
// TRadioButton

const TClassInfo* TRadioButton::StaticClassInfo() {
    static const TClassInfo info(
        L"TRadioButton", TButtonControl::StaticClassInfo(),
        {
            StrProp<TRadioButton>(L"Caption", &TRadioButton::Caption, &TRadioButton::SetCaption),
            BoolProp<TRadioButton>(L"Checked", &TRadioButton::Checked, &TRadioButton::SetChecked),
            EnumProp<TRadioButton>(L"Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment,
                                   AlignmentIdents),
            BoolProp<TRadioButton>(L"WordWrap", &TRadioButton::WordWrap, &TRadioButton::SetWordWrap),
            EventProp<TRadioButton>(L"OnClick", &TRadioButton::OnClick),
            EventProp<TRadioButton>(L"OnDblClick", &TRadioButton::OnDblClick),
        });
    return &info;
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    SetTabStop(value);
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value) return;
    TurnSiblingsOff();
    if (!ClicksDisabled()) Click();
}

void TRadioButton::TurnSiblingsOff() {
    TWinControl* parent = Parent();
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
            sibling->SetChecked(false);
}

void TRadioButton::SetAlignment(TLeftRight value) {
    if (value == alignment_) return;
    alignment_ = value;
    RecreateWnd();
}

void TRadioButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    p.Style |= BS_RADIOBUTTON;
    if (alignment_ == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    // A new button is unchecked: telling it so again would cost a call into the window system.
    if (checked_) SendMessageW(Handle(), BM_SETCHECK, BST_CHECKED, 0);
}

void TRadioButton::WndProc(TMessage& m) {
    if (IsClickNotification(m)) {
        SetChecked(true);
        m.Result = 0;
        return;
    }
    TButtonControl::WndProc(m);
}
