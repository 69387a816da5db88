// Common controls: page control with tab sheets, status bar, rich edit, track bar, up-down and progress
// bar, tool bar.
#pragma once

#include <framework/controls.h>
#include <framework/stdctrls.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// ---------------------------------------------------------------------------------------------------
// Tabs and pages

// A row (or rows) of tabs over a display area.
class TCustomTabControl : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomTabControl(TComponent* AOwner);

    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool value);
    // 0: each tab as wide as its caption.
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int value);
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int value);
    // The area below the tabs, in client coordinates.
    RECT DisplayRect() const;

    // OnChanging may refuse a change the user makes; OnChange follows a change the user made
    // (never one made by the program).
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The tab row changed: its height (and so the display area) may have changed with it.
    virtual void TabsChanged() {}
    // The user picked tab `index`.
    virtual void TabSelected(int index) { (void)index; }
    virtual bool CanChange();
    virtual void Change();
    void ApplyTabSize();
    void ApplyStyleBits();

private:
    bool multiLine_ = false;
    int tabWidth_ = 0;
    int tabHeight_ = 0;
};

class TPageControl;

// One page of a page control: a plain window holding controls. A page whose TabVisible is False has no
// tab; its controls exist (and keep their values) all the same.
class TTabSheet : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* control);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool value);
    // Position among the page control's pages (-1 without one).
    int PageIndex() const;
    void SetPageIndex(int index);
    // Position of its tab among the shown tabs (-1 when it has none).
    int TabIndex() const;
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { imageIndex_ = value; }

    void SetParent(TWinControl* AParent) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void CreateParams(TCreateParams& Params) override;
    void ApplyState(UINT change) override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

class TPageControl : public TCustomTabControl {
    DECLARE_PUBLISHED
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return activePage_; }
    // Shows the page (also one without a tab) and hides the others; runs no OnChange.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // The page after (or before) `current` that has a tab, wrapping round; nullptr when none.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward);
    int TabCount() const { return static_cast<int>(tabPages_.size()); }

    void Loaded() override;

protected:
    void CreateWnd() override;
    void BoundsChanged(const RECT& oldBounds) override;
    void TabsChanged() override;
    void TabSelected(int index) override;
    void Resize() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void UpdateTabs();
    void UpdateTab(TTabSheet* page);
    void LayoutPages();
    void ShowOnly(TTabSheet* page);

    std::vector<TTabSheet*> pages_;
    std::vector<TTabSheet*> tabPages_; // pages that have a tab, in tab order
    TTabSheet* activePage_ = nullptr;
    int pendingActiveIndex_ = -1;
};

// ---------------------------------------------------------------------------------------------------
// Status bar

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
extern const TIdentMap StatusPanelBevelIdents;
// A text panel shows its Text; an owner-drawn one is painted by the status bar's OnDrawPanel.
enum TStatusPanelStyle { psText, psOwnerDraw };
extern const TIdentMap StatusPanelStyleIdents;
// Right to left reverses the panel's alignment.
enum TBiDiMode { bdLeftToRight, bdRightToLeft };
extern const TIdentMap BiDiModeIdents;

class TStatusPanel : public TCollectionItem {
    DECLARE_PUBLISHED
public:
    explicit TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}
    const String& Text() const { return text_; }
    void SetText(const String& value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel value);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle value);
    TBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode value);
    // The alignment as shown: left and right swapped for a right-to-left panel.
    TAlignment ShownAlignment() const;
    void Assign(const TPersistent* Source) override;

private:
    String text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
    TStatusPanelStyle style_ = psText;
    TBiDiMode biDiMode_ = bdLeftToRight;
};

class TStatusPanels : public TCollectionOf<TStatusPanel> {
public:
    explicit TStatusPanels(TPersistent* Owner) : TCollectionOf<TStatusPanel>(Owner) {}
};

class TCustomStatusBar;
// Rect is the panel's rectangle in the bar's client area; draw on the bar's Canvas.
using TDrawPanelEvent =
    std::function<void(TCustomStatusBar* StatusBar, TStatusPanel* Panel, const RECT& Rect)>;

class TCustomStatusBar : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomStatusBar(TComponent* AOwner);
    ~TCustomStatusBar() override;

    TStatusPanels* Panels() const { return panels_.get(); }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    const String& SimpleText() const { return simpleText_; }
    void SetSimpleText(const String& value);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value);
    // Bound to the DC an owner-drawn panel is painted on while OnDrawPanel runs.
    TCanvas* Canvas() { return &canvas_; }

    TDrawPanelEvent OnDrawPanel;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void UpdatePanels();
    TCanvas canvas_;
    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    String simpleText_;
    bool sizeGrip_ = true;
};

class TStatusBar : public TCustomStatusBar {
public:
    explicit TStatusBar(TComponent* AOwner) : TCustomStatusBar(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
// Tab set

class TUpDown;

// A row of string tabs hanging from its top edge, drawn by the control itself. Tabs are shown from
// FirstIndex on while they fit between StartMargin and the width less EndMargin; when some do not,
// a scroller (the tab set's first owned component) appears at the right end to move FirstIndex.
class TTabSet : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TTabSet(TComponent* AOwner);
    ~TTabSet() override;

    TStrings* Tabs() const;
    // The selected tab, -1 for none.
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int value);
    int StartMargin() const { return startMargin_; }
    void SetStartMargin(int value);
    int EndMargin() const { return endMargin_; }
    void SetEndMargin(int value);
    int FirstIndex() const { return firstIndex_; }
    void SetFirstIndex(int value);
    TUpDown* Scroller() const { return scroller_; }
    // The tab under a client point, -1 for none.
    int ItemAtPos(POINT point);
    // A shown tab's box in client coordinates; empty for a tab that is not shown.
    RECT ItemRect(int index);
    // Carries the tab set's font; bound to the DC while the control paints.
    TCanvas* Canvas();

    // The user picked another tab.
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Resize() override;
    void ApplyState(UINT change) override;
    virtual void Paint(HDC dc);

private:
    // Tab boxes from FirstIndex on, and the scroller shown or hidden to suit.
    void Layout();
    void Changed();
    std::unique_ptr<TStrings> tabs_;
    TCanvas canvas_;
    TUpDown* scroller_ = nullptr;
    int tabIndex_ = -1;
    int startMargin_ = 5;
    int endMargin_ = 15;
    int firstIndex_ = 0;
    std::vector<RECT> boxes_; // per tab; empty boxes for tabs not shown
};

// ---------------------------------------------------------------------------------------------------
// Rich edit

class TCustomRichEdit;

// Lines of a rich edit: saved and loaded as rich text unless the edit is in plain-text mode.
class TRichEditStrings : public TMemoStrings {
public:
    explicit TRichEditStrings(TCustomRichEdit* edit);
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;

private:
    TCustomRichEdit* edit_;
};

class TCustomRichEdit : public TCustomMemo {
    DECLARE_PUBLISHED
public:
    explicit TCustomRichEdit(TComponent* AOwner);

    // Saving and loading as plain text (code page of the system) instead of rich text.
    bool PlainText() const { return plainText_; }
    void SetPlainText(bool value) { plainText_ = value; }
    String SelText() override;
    // The same as Lines()->SaveToFile / LoadFromFile.
    void SaveToFile(const String& fileName) { Lines()->SaveToFile(fileName); }
    void LoadFromFile(const String& fileName) { Lines()->LoadFromFile(fileName); }

    TNotifyEvent OnSelectionChange;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void ApplyMaxLength() override;

private:
    bool plainText_ = false;
};

class TRichEdit : public TCustomRichEdit {
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
// Track bar, up-down, progress bar

enum TTrackBarOrientation { trHorizontal, trVertical };
extern const TIdentMap TrackBarOrientationIdents;
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
extern const TIdentMap TickMarkIdents;
enum TTickStyle { tsNone, tsAuto, tsManual };
extern const TIdentMap TickStyleIdents;

class TTrackBar : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TTrackBar(TComponent* AOwner);

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const;
    // Kept within Min..Max; runs no OnChange.
    void SetPosition(int value);
    int Frequency() const { return frequency_; }
    void SetFrequency(int value);
    int LineSize() const { return lineSize_; }
    void SetLineSize(int value);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int value);
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation value);
    TTickMark TickMarks() const { return tickMarks_; }
    void SetTickMarks(TTickMark value);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle value);
    int SelStart() const { return selStart_; }
    void SetSelStart(int value);
    int SelEnd() const { return selEnd_; }
    void SetSelEnd(int value);

    // The user moved the thumb.
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void PushState();
    int min_ = 0, max_ = 10;
    mutable int position_ = 0;
    int frequency_ = 1, lineSize_ = 1, pageSize_ = 2;
    TTrackBarOrientation orientation_ = trHorizontal;
    TTickMark tickMarks_ = tmBottomRight;
    TTickStyle tickStyle_ = tsAuto;
    int selStart_ = 0, selEnd_ = 0;
};

enum TUDOrientation { udHorizontal, udVertical };
extern const TIdentMap UDOrientationIdents;
enum TUDAlignButton { udLeft, udRight };
extern const TIdentMap UDAlignButtonIdents;
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

class TUpDown : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TUpDown(TComponent* AOwner);

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const;
    // Kept within Min..Max (the associated control shows it); runs no event.
    void SetPosition(int value);
    int Increment() const { return increment_; }
    void SetIncrement(int value);
    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation value);
    TUDAlignButton AlignButton() const { return alignButton_; }
    void SetAlignButton(TUDAlignButton value);
    // The control (an edit) that shows the position and that the up-down sits beside.
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* control);
    bool ArrowKeys() const { return arrowKeys_; }
    void SetArrowKeys(bool value);
    bool Thousands() const { return thousands_; }
    void SetThousands(bool value);
    bool Wrap() const { return wrap_; }
    void SetWrap(bool value);

    // OnChanging may refuse a step the user asks for; OnClick follows a step (btNext: up or right).
    TTabChangingEvent OnChanging;
    TUDClickEvent OnClick;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    int min_ = 0, max_ = 100;
    mutable int position_ = 0;
    int increment_ = 1;
    TUDOrientation orientation_ = udVertical;
    TUDAlignButton alignButton_ = udRight;
    TWinControl* associate_ = nullptr;
    bool arrowKeys_ = true;
    bool thousands_ = true;
    bool wrap_ = false;
    int lastDelta_ = 0;
};

enum TProgressBarOrientation { pbHorizontal, pbVertical };
extern const TIdentMap ProgressBarOrientationIdents;

class TProgressBar : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const;
    // Kept within Min..Max.
    void SetPosition(int value);
    int Step() const { return step_; }
    void SetStep(int value);
    TProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TProgressBarOrientation value);
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool value);
    // Advances by Step; past Max it starts again from Min, as the control does.
    void StepIt();
    // Moves by delta, kept within Min..Max.
    void StepBy(int delta);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    int min_ = 0, max_ = 100;
    mutable int position_ = 0;
    int step_ = 10;
    TProgressBarOrientation orientation_ = pbHorizontal;
    bool smooth_ = false;
};

// ---------------------------------------------------------------------------------------------------
// Tool bar

enum TCustomDrawStateItem {
    cdsSelected,
    cdsGrayed,
    cdsDisabled,
    cdsChecked,
    cdsFocused,
    cdsDefault,
    cdsHot,
    cdsMarked,
    cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;
// The state bits of a custom-draw notification (CDIS_...) as a state set.
TCustomDrawState CustomDrawStateFromItemState(UINT itemState);

class TToolBar;

// One button of a tool bar; it belongs to its tool bar.
class TToolButton : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TToolButton(TToolBar* AOwner);

    TToolBar* ToolBar() const { return toolBar_; }
    const String& Caption() const { return caption_; }
    void SetCaption(const String& value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // The button stays pressed (a check button).
    bool Down() const { return down_; }
    void SetDown(bool value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { imageIndex_ = value; }
    // Its place among the tool bar's buttons.
    int Index() const;
    // The command the button sends to its tool bar.
    UINT Command() const { return command_; }
    // The button's rectangle in the tool bar's client coordinates; empty without a window.
    RECT BoundsRect() const;

    TNotifyEvent OnClick;

private:
    friend class TToolBar;
    void PushState();
    TToolBar* toolBar_;
    String caption_;
    bool enabled_ = true, down_ = false;
    int imageIndex_ = -1;
    UINT command_ = 0;
};

using TTBCustomDrawBtnEvent =
    std::function<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

// A row of flat buttons with text. OnCustomDrawButton paints a button's background before the bar
// draws its image and text in the canvas's font colour; DefaultDraw false leaves all of it to the
// handler.
class TToolBar : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    TToolButton* AddButton(const String& caption);
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TToolButton* Buttons(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }
    TToolButton* FindButton(UINT command) const;
    // The canvas of the button being custom-drawn (valid inside OnCustomDrawButton).
    TCanvas* Canvas() { return &canvas_; }

    TTBCustomDrawBtnEvent OnCustomDrawButton;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    friend class TToolButton;
    void AddButtonWindow(TToolButton* button);
    LRESULT CustomDraw(NMTBCUSTOMDRAW& draw);
    std::vector<TToolButton*> buttons_; // owned as components
    TCanvas canvas_;
    UINT nextCommand_ = 1;
};
