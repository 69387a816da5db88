// Standard controls over the system's window classes: buttons, check boxes, radio buttons, labels,
// group boxes, edits, memos, combo boxes and list boxes.
#pragma once

#include <framework/controls.h>
#include <framework/forms.h>

#include <vector>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
extern const TIdentMap AlignmentIdents;
using TLeftRight = TAlignment; // taLeftJustify or taRightJustify only
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
extern const TIdentMap ScrollStyleIdents;
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
extern const TIdentMap EditCharCaseIdents;
using TBorderStyle = TFormBorderStyle; // bsNone or bsSingle for controls
extern const TIdentMap ControlBorderStyleIdents;
enum TTextLayout { tlTop, tlCenter, tlBottom };
extern const TIdentMap TextLayoutIdents;

// ---------------------------------------------------------------------------------------------------
// Buttons

class TButtonControl : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TButtonControl(TComponent* AOwner);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

protected:
    void CreateParams(TCreateParams& Params) override;
    // While set, changes of the checked state do not run Click (the form reader sets it while loading).
    bool ClicksDisabled() const { return clicksDisabled_ || IsLoading(); }
    void SetClicksDisabled(bool value) { clicksDisabled_ = value; }

private:
    bool wordWrap_ = false;
    bool clicksDisabled_ = false;
};

class TButton : public TButtonControl {
    DECLARE_PUBLISHED
public:
    explicit TButton(TComponent* AOwner);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }

    // Sets the form's ModalResult (when this button has one), then runs OnClick. Works whether or not
    // the button is enabled, as a click made by a program should.
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
extern const TIdentMap CheckBoxStateIdents;

class TCustomCheckBox : public TButtonControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    TCheckBoxState State() const { return state_; }
    // A change runs Click (and with it OnClick), as a user's click does.
    void SetState(TCheckBoxState value);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight value);
    // What a click does: unchecked -> checked -> grayed (when allowed) -> unchecked.
    virtual void Toggle();
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TLeftRight alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking a radio button unchecks the other radio buttons with the same parent and runs Click;
// unchecking runs nothing.
class TRadioButton : public TButtonControl {
    DECLARE_PUBLISHED
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight value);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void TurnSiblingsOff();
    bool checked_ = false;
    TLeftRight alignment_ = taRightJustify;
};

// ---------------------------------------------------------------------------------------------------
// Labels and group boxes

class TCustomLabel : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomLabel(TComponent* AOwner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    // With AutoSize the label takes the size of its text (the width stays when WordWrap is set).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value) { layout_ = value; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value) { transparent_ = value; }
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    // Its text may run on under a button beside it; the button stays whole.
    bool StaysBehindSiblings() const override { return true; }
    void ApplyState(UINT change) override;
    // Sizes the label to its text when AutoSize is set.
    void AdjustBounds();

private:
    void ApplyStyle();
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TTextLayout layout_ = tlTop;
    bool transparent_ = false;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// A framed box with a caption that holds other controls.
class TCustomGroupBox : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    // The area inside the frame, below the caption.
    RECT InnerRect();

protected:
    void CreateParams(TCreateParams& Params) override;
    void ApplyState(UINT change) override;
    // Draws the frame and the caption.
    virtual void Paint(HDC dc);
};

class TGroupBox : public TCustomGroupBox {
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
// Edits and memos

class TCustomEdit : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomEdit(TComponent* AOwner);

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    wchar_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(wchar_t value);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value) { autoSize_ = value; }

    // Selection in characters (the window is made if needed).
    int SelStart();
    void SetSelStart(int value);
    int SelLength();
    void SetSelLength(int value);
    virtual String SelText();
    // Replaces the selection (undoable, as typing is).
    void SetSelText(const String& value);
    void SelectAll();
    void Clear();
    void ClearSelection();
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo();
    void ClearUndo();
    bool Modified();
    void SetModified(bool value);

    // Runs on every change of the text, by the user or by the program (not while the window is made).
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Change();
    virtual void ApplyMaxLength();
    // Style bits that need a new window when they change.
    void RecreateIfAllocated() { RecreateWnd(); }
    bool CreatingWindow() const { return creatingWindow_; }

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    TBorderStyle borderStyle_ = bsSingle;
    bool hideSelection_ = true;
    wchar_t passwordChar_ = 0;
    TEditCharCase charCase_ = ecNormal;
    bool autoSelect_ = true;
    bool autoSize_ = true;
    bool creatingWindow_ = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo;

// The lines of a memo or rich edit, read from and written to its window (or its kept text while it
// has none). Add appends the line and a line break; the text then ends in an empty line.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
    int Count() const override;
    String Strings(int index) const override;
    void Put(int index, const String& s) override;
    void Insert(int index, const String& s) override;
    void Delete(int index) override;
    void Clear() override;
    String Text() const override;
    void SetText(const String& text) override;

protected:
    void SetUpdateState(bool updating) override;
    TCustomMemo* Memo() const { return memo_; }

private:
    TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
    DECLARE_PUBLISHED
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(const TStrings* value) { lines_->Assign(value); }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value);
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    // Lines object of a derived class (the rich edit's saves rich text).
    void ReplaceLines(std::unique_ptr<TStrings> lines) { lines_ = std::move(lines); }

private:
    std::unique_ptr<TStrings> lines_;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    TAlignment alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
// Combo boxes and list boxes

// Items of a list or combo box: kept by the control and mirrored into its window, so that they can be
// filled before the window exists.
class TListControlItems : public TStrings {
public:
    struct Messages {
        UINT Add, Insert, Delete, Reset, SetCurSel, GetCurSel, GetCount;
        int ErrorSpace;
    };
    TListControlItems(TWinControl* control, const Messages& messages) : control_(control), messages_(messages) {}
    int Count() const override { return static_cast<int>(items_.size()); }
    String Strings(int index) const override;
    void Put(int index, const String& s) override;
    void Insert(int index, const String& s) override;
    int Add(const String& s) override;
    void Delete(int index) override;
    void Clear() override;
    int IndexOf(const String& s) const override;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    // Selection kept while there is no window.
    int KeptIndex() const { return keptIndex_; }
    void SetKeptIndex(int index) { keptIndex_ = index; }
    // Fills a newly made window.
    void PushToWindow(HWND window) const;

protected:
    void SetUpdateState(bool updating) override;

private:
    int SortedPosition(const String& s) const;
    HWND Window() const { return control_->HandleAllocated() ? control_->Handle() : nullptr; }
    TWinControl* control_;
    Messages messages_;
    std::vector<String> items_;
    bool sorted_ = false;
    int keptIndex_ = -1;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
extern const TIdentMap ComboBoxStyleIdents;

class TCustomComboBox : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TStrings* Items() const { return items_.get(); }
    void SetItems(const TStrings* value) { items_->Assign(value); }
    int ItemIndex() const;
    // Selecting by program runs no event.
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle value);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool DroppedDown() const;
    void SetDroppedDown(bool value);
    void Clear();

    // OnChange: the user chose an item or edited the text; OnClick and OnSelect: the user chose an item.
    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void BoundsChanged(const RECT& oldBounds) override;
    String GetText() const override;
    void StoreText(const String& value) override;
    virtual void Change();

private:
    int DropDownHeight() const;
    std::unique_ptr<TListControlItems> items_;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

class TCustomListBox : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return items_.get(); }
    void SetItems(const TStrings* value) { items_->Assign(value); }
    int ItemIndex() const;
    // Selecting by program runs no event.
    void SetItemIndex(int index);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool value);
    int TopIndex() const;
    void SetTopIndex(int index);
    void Clear() { items_->Clear(); }

    // OnClick: the user changed the selection; OnDblClick: the user double-clicked an item.
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    std::unique_ptr<TListControlItems> items_;
    TBorderStyle borderStyle_ = bsSingle;
    bool integralHeight_ = false;
    int keptTopIndex_ = 0;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};
