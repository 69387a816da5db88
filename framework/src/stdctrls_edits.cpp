#include <framework/stdctrls.h>
#include <framework/sysutils.h>

#include <algorithm>

namespace {

String PasswordCharText(TCustomEdit* edit) {
    wchar_t c = edit->PasswordChar();
    return c ? String(1, c) : String();
}
void SetPasswordCharText(TCustomEdit* edit, const String& text) { edit->SetPasswordChar(text.empty() ? 0 : text[0]); }

// Runs fn on the lines of a text kept outside a window, then stores the changed text.
template <class Fn> void EditKeptLines(TCustomMemo* memo, Fn fn) {
    TStringList lines;
    lines.SetText(memo->Text());
    fn(lines);
    memo->SetText(lines.Text());
}

LRESULT Send(TWinControl* control, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    return SendMessageW(control->Handle(), msg, w, l);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TCustomEdit

const TClassInfo* TCustomEdit::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomEdit", TWinControl::StaticClassInfo(),
        {
            StrProp<TCustomEdit>(L"Text", &TCustomEdit::Text, &TCustomEdit::SetText),
            IntProp<TCustomEdit>(L"MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength),
            BoolProp<TCustomEdit>(L"ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly),
            EnumProp<TCustomEdit>(L"BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle,
                                  ControlBorderStyleIdents),
            BoolProp<TCustomEdit>(L"HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection),
            StrProp<TCustomEdit>(L"PasswordChar", &PasswordCharText, &SetPasswordCharText),
            EnumProp<TCustomEdit>(L"CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, EditCharCaseIdents),
            BoolProp<TCustomEdit>(L"AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect),
            BoolProp<TCustomEdit>(L"AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize),
            EventProp<TCustomEdit>(L"OnChange", &TCustomEdit::OnChange),
            EventProp<TCustomEdit>(L"OnClick", &TCustomEdit::OnClick),
            EventProp<TCustomEdit>(L"OnDblClick", &TCustomEdit::OnDblClick),
        });
    return &info;
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
    SetControlStyle(ControlStyle() + TControlStyle{csClickEvents});
}

void TCustomEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = L"EDIT";
    p.OwnClass = false;
    p.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (readOnly_) p.Style |= ES_READONLY;
    if (!hideSelection_) p.Style |= ES_NOHIDESEL;
    if (charCase_ == ecUpperCase) p.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) p.Style |= ES_LOWERCASE;
    if (passwordChar_) p.Style |= ES_PASSWORD;
    if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
    creatingWindow_ = true;
    try {
        TWinControl::CreateWnd();
        ApplyMaxLength();
        if (passwordChar_) Send(this, EM_SETPASSWORDCHAR, passwordChar_);
    } catch (...) {
        creatingWindow_ = false;
        throw;
    }
    creatingWindow_ = false;
}

void TCustomEdit::ApplyMaxLength() {
    if (HandleAllocated()) Send(this, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_));
}

void TCustomEdit::Change() {
    if (creatingWindow_) return;
    if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
        Change();
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
    // Without a window nothing sends EN_CHANGE, yet text set by the program still changed: a box on
    // a page not shown yet must check its text as one that is shown does.
    if (m.Msg == CM_TEXTCHANGED && !HandleAllocated() && !IsLoading()) Change();
}

void TCustomEdit::SetMaxLength(int value) {
    value = std::max(value, 0);
    if (value == maxLength_) return;
    maxLength_ = value;
    ApplyMaxLength();
}

void TCustomEdit::SetReadOnly(bool value) {
    if (value == readOnly_) return;
    readOnly_ = value;
    if (HandleAllocated()) Send(this, EM_SETREADONLY, value);
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
    if (value == hideSelection_) return;
    hideSelection_ = value;
    RecreateWnd();
}

void TCustomEdit::SetPasswordChar(wchar_t value) {
    if (value == passwordChar_) return;
    passwordChar_ = value;
    if (HandleAllocated()) {
        Send(this, EM_SETPASSWORDCHAR, value);
        Invalidate();
    }
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
    if (value == charCase_) return;
    charCase_ = value;
    RecreateWnd();
}

int TCustomEdit::SelStart() {
    DWORD start = 0, end = 0;
    Send(this, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) { Send(this, EM_SETSEL, value, value); }

int TCustomEdit::SelLength() {
    DWORD start = 0, end = 0;
    Send(this, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value) {
    int start = SelStart();
    Send(this, EM_SETSEL, start, start + std::max(value, 0));
}

String TCustomEdit::SelText() {
    int start = SelStart();
    int length = SelLength();
    String text = Text();
    if (start >= static_cast<int>(text.size())) return String();
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

void TCustomEdit::SetSelText(const String& value) { Send(this, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str())); }

void TCustomEdit::SelectAll() { Send(this, EM_SETSEL, 0, -1); }
void TCustomEdit::Clear() { SetText(String()); }
void TCustomEdit::ClearSelection() { Send(this, WM_CLEAR); }
void TCustomEdit::CutToClipboard() { Send(this, WM_CUT); }
void TCustomEdit::CopyToClipboard() { Send(this, WM_COPY); }
void TCustomEdit::PasteFromClipboard() { Send(this, WM_PASTE); }
void TCustomEdit::Undo() { Send(this, EM_UNDO); }
bool TCustomEdit::CanUndo() { return Send(this, EM_CANUNDO) != 0; }
void TCustomEdit::ClearUndo() { Send(this, EM_EMPTYUNDOBUFFER); }
bool TCustomEdit::Modified() { return HandleAllocated() && Send(this, EM_GETMODIFY) != 0; }
void TCustomEdit::SetModified(bool value) { Send(this, EM_SETMODIFY, value); }

// ---------------------------------------------------------------------------------------------------
// TMemoStrings

int TMemoStrings::Count() const {
    if (!memo_->HandleAllocated()) {
        TStringList lines;
        lines.SetText(memo_->Text());
        return lines.Count();
    }
    int count = static_cast<int>(Send(memo_, EM_GETLINECOUNT));
    LRESULT lastStart = Send(memo_, EM_LINEINDEX, static_cast<WPARAM>(count - 1));
    if (count > 0 && Send(memo_, EM_LINELENGTH, static_cast<WPARAM>(lastStart)) == 0) --count;
    return count;
}

String TMemoStrings::Strings(int index) const {
    CheckIndex(index, Count());
    if (!memo_->HandleAllocated()) {
        TStringList lines;
        lines.SetText(memo_->Text());
        return lines.Strings(index);
    }
    LRESULT start = Send(memo_, EM_LINEINDEX, static_cast<WPARAM>(index));
    int length = static_cast<int>(Send(memo_, EM_LINELENGTH, static_cast<WPARAM>(start)));
    // EM_GETLINE takes the buffer size in its first character.
    String buffer(static_cast<size_t>(std::max(length, 1)) + 2, L'\0');
    buffer[0] = static_cast<wchar_t>(std::min<size_t>(buffer.size(), 0xFFFF));
    int got = static_cast<int>(Send(memo_, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
    buffer.resize(static_cast<size_t>(std::clamp(got, 0, static_cast<int>(buffer.size()))));
    while (!buffer.empty() && (buffer.back() == L'\r' || buffer.back() == L'\n')) buffer.pop_back();
    return buffer;
}

void TMemoStrings::Put(int index, const String& s) {
    CheckIndex(index, Count());
    if (!memo_->HandleAllocated()) {
        EditKeptLines(memo_, [&](TStringList& lines) { lines.Put(index, s); });
        return;
    }
    LRESULT start = Send(memo_, EM_LINEINDEX, static_cast<WPARAM>(index));
    LRESULT length = Send(memo_, EM_LINELENGTH, static_cast<WPARAM>(start));
    Send(memo_, EM_SETSEL, static_cast<WPARAM>(start), start + length);
    Send(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(s.c_str()));
}

void TMemoStrings::Insert(int index, const String& s) {
    const int count = Count();
    if (index < 0 || index > count) throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    if (!memo_->HandleAllocated()) {
        EditKeptLines(memo_, [&](TStringList& lines) { lines.Insert(index, s); });
        return;
    }
    // A line that exists takes the new text before it; past the last line the text goes after the
    // last line's end, behind a line break.
    String text;
    LRESULT at = Send(memo_, EM_LINEINDEX, static_cast<WPARAM>(index));
    if (at >= 0) {
        text = s + L"\r\n";
    } else {
        LRESULT lastStart = Send(memo_, EM_LINEINDEX, static_cast<WPARAM>(index - 1));
        if (lastStart < 0) return;
        at = lastStart + Send(memo_, EM_LINELENGTH, static_cast<WPARAM>(lastStart));
        text = L"\r\n" + s;
    }
    Send(memo_, EM_SETSEL, static_cast<WPARAM>(at), at);
    Send(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMemoStrings::Delete(int index) {
    CheckIndex(index, Count());
    if (!memo_->HandleAllocated()) {
        EditKeptLines(memo_, [&](TStringList& lines) { lines.Delete(index); });
        return;
    }
    LRESULT start = Send(memo_, EM_LINEINDEX, static_cast<WPARAM>(index));
    LRESULT end = Send(memo_, EM_LINEINDEX, static_cast<WPARAM>(index + 1));
    if (end < 0) end = start + Send(memo_, EM_LINELENGTH, static_cast<WPARAM>(start));
    Send(memo_, EM_SETSEL, static_cast<WPARAM>(start), end);
    Send(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void TMemoStrings::Clear() { memo_->Clear(); }

String TMemoStrings::Text() const { return memo_->Text(); }

void TMemoStrings::SetText(const String& text) { memo_->SetText(text); }

void TMemoStrings::SetUpdateState(bool updating) {
    if (!memo_->HandleAllocated()) return;
    Send(memo_, WM_SETREDRAW, !updating);
    if (!updating) memo_->Invalidate();
}

// ---------------------------------------------------------------------------------------------------
// TCustomMemo

const TClassInfo* TCustomMemo::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomMemo", TCustomEdit::StaticClassInfo(),
        {
            ObjProp<TCustomMemo>(L"Lines", &TCustomMemo::Lines),
            EnumProp<TCustomMemo>(L"ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, ScrollStyleIdents),
            BoolProp<TCustomMemo>(L"WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap),
            BoolProp<TCustomMemo>(L"WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns),
            BoolProp<TCustomMemo>(L"WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs),
            EnumProp<TCustomMemo>(L"Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment, AlignmentIdents),
        });
    return &info;
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(std::make_unique<TMemoStrings>(this)) {
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    p.Style |= ES_MULTILINE;
    if (!wordWrap_) p.Style |= ES_AUTOHSCROLL;
    if (wantReturns_) p.Style |= ES_WANTRETURN;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.Style |= WS_HSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.Style |= WS_VSCROLL;
    if (alignment_ == taCenter) p.Style |= ES_CENTER;
    if (alignment_ == taRightJustify) p.Style |= ES_RIGHT;
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_) return;
    scrollBars_ = value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    RecreateWnd();
}

void TCustomMemo::SetWantReturns(bool value) {
    if (value == wantReturns_) return;
    wantReturns_ = value;
    RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    RecreateWnd();
}

void TCustomMemo::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        TCustomEdit::WndProc(m);
        if (wantTabs_) m.Result |= DLGC_WANTTAB;
        else m.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
        if (!wantReturns_) m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        return;
    }
    TCustomEdit::WndProc(m);
}
