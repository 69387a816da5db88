// Controls: the visual component base, windowless controls and controls over real Win32 windows.
#pragma once

#include <framework/classes.h>
#include <framework/graphics.h>
#include <framework/typinfo.h>

#include <windows.h>

#include <memory>
#include <vector>

class TWinControl;
class TCustomForm;
class TPopupMenu; // menus.h
class TMainMenu;  // menus.h

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
extern const TIdentMap AlignIdents;

enum TControlStyleFlag { csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks };
using TControlStyle = TSet<TControlStyleFlag>;

// Notifications that a parent window receives from a child window are passed on to the child
// control's WindowProc as CN_BASE + the original message (lParam etc. unchanged). The result the child
// sets is returned to the system.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;

// Changes a control announces to its own WindowProc (so a replaced WindowProc sees them too).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
// A character typed with Alt reached a control: the form may take it (a non-zero result) before the
// system's own handling.
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
// A form's main menu changed; sent to the form's window, which gives the window its menu again.
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;

struct TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    HMENU Menu = nullptr; // child id for child windows
    // The window class: a system class (BUTTON, EDIT, ...) that the control subclasses, or, with
    // OwnClass, a class the framework registers under this name with ClassStyle/Background/Cursor/
    // Icon (top-level windows only: a class icon costs the system a scaled copy at registration).
    String WinClassName;
    bool OwnClass = false;
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = nullptr;
    HCURSOR Cursor = nullptr;
    HICON Icon = nullptr;
    HICON SmallIcon = nullptr;
};

class TControl : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
    void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
    RECT ClientRect() const { return RECT{0, 0, ClientWidth(), ClientHeight()}; }
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so is every parent up to a shown top-level window.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    // Caption and Text are one text. With a window, the window's own text is the truth.
    String Caption() const { return GetText(); }
    void SetCaption(const String& value) { SetText(value); }
    String Text() const { return GetText(); }
    void SetText(const String& value);

    TFont* Font() const { return font_.get(); }
    void SetFont(const TFont* value) { font_->Assign(value); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    const String& Hint() const { return hint_; }
    void SetHint(const String& value) { hint_ = value; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value) { parentShowHint_ = value; }
    int Cursor() const { return cursor_; }
    void SetCursor(int value) { cursor_ = value; }
    // Shown on a right click (or the menu key) over the control.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle s) { controlStyle_ = s; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;

    // Runs OnClick (windowed controls do what a user's click does first, see the classes).
    virtual void Click();
    // Sends a message through WindowProc (not through the window) and gives its result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    // Every message of the control passes through WindowProc; it starts as WndProc and may be
    // replaced (keep the previous one and pass on what you do not consume).
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    // What the control does with a message nothing else took: the native window procedure for windowed
    // controls, nothing for windowless ones.
    virtual void DefaultHandler(TMessage& Message);

    virtual void Invalidate();
    virtual void Update();
    void Repaint() {
        Invalidate();
        Update();
    }
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void SetParentComponent(TComponent* parent) override;

protected:
    virtual String GetText() const { return text_; }
    // Stores the text (and gives it to the window, for windowed controls); no CM_TEXTCHANGED.
    virtual void StoreText(const String& value) { text_ = value; }
    const String& StoredText() const { return text_; }
    virtual void SetClientSize(int w, int h);
    virtual void Resize();
    virtual void VisibleChanging() {}
    // Makes a change of CM_VISIBLECHANGED, CM_ENABLEDCHANGED, CM_FONTCHANGED, CM_COLORCHANGED or
    // CM_TEXTCHANGED take effect (window calls, repaint) before the change is announced.
    virtual void ApplyState(UINT change);
    // Windowed controls apply bounds to their window; the default repaints the parent.
    virtual void BoundsChanged(const RECT& oldBounds);
    void BoundsFromWindow(int l, int t, int w, int h); // bounds the window reports, without moving it
    void BeforeDestruction() override;
    void FontChanged();
    void SyncParentFont();
    void SyncParentColor();

private:
    friend class TWinControl;
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    String text_;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool syncingFont_ = false;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    String hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    int cursor_ = 0;
    TPopupMenu* popupMenu_ = nullptr;
    TControlStyle controlStyle_;
    bool mousePressed_ = false;
};

// A control without a window of its own; its parent paints it and passes it mouse messages.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    // Draws the control on dc, whose origin is the control's top-left corner and whose clip is its area.
    virtual void Paint(HDC dc);
    void Invalidate() override;
    void Update() override;
};

class TWinControl : public TControl {
    DECLARE_PUBLISHED
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window, created (with the parents' windows) when first asked for.
    HWND Handle() const;
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() const { (void)Handle(); }
    void DestroyHandle();
    // Destroys and creates the window again (after a change that needs another window style).
    void RecreateWnd();
    // The control that owns the window, or nullptr; also finds the control of a child of an edit's
    // combo box and such when `orParents` is set.
    static TWinControl* FromHandle(HWND window);
    static TWinControl* FindControl(HWND window, bool orParents = false);

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;
    int IndexOfControl(const TControl* control) const;
    TControl* ControlAtPos(POINT clientPoint, bool allowDisabled = false) const;

    virtual void SetFocus();
    bool Focused() const;
    virtual bool CanFocus() const;
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    int TabOrder() const;
    void SetTabOrder(int value);

    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();
    void Realign();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void Invalidate() override;
    void Update() override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    bool Showing() const override;

    // The window procedure the framework's subclass calls for what it passes on.
    WNDPROC DefWndProc() const { return defWndProc_; }

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Creates the window from the params (CreateWindowExW); controls rarely override this.
    virtual void CreateWindowHandle(const TCreateParams& Params);
    // Makes the window and hands it the properties kept so far (text, font, enabled); the windows of
    // visible children are made after it returns. Overrides call the base first, then push their own
    // kept state.
    virtual void CreateWnd();
    // A control drawn beneath every windowed sibling that may overlap it, as a label is.
    virtual bool StaysBehindSiblings() const { return false; }
    // Before the window goes: overrides save what lives only in the window, then call the base.
    virtual void DestroyWnd();
    void StoreText(const String& value) override;
    String GetText() const override;
    void SetClientSize(int w, int h) override;
    void BoundsChanged(const RECT& oldBounds) override;
    void ApplyState(UINT change) override;
    virtual void AlignControls(RECT& rect);
    void BeforeDestruction() override;
    // Paints the windowless children on dc (the window's client DC).
    void PaintControls(HDC dc);
    bool HasGraphicChildren() const;
    // Where the window is, in its parent's client coordinates, or on the screen for a top-level one.
    virtual void WindowPlacement(TCreateParams& Params);

private:
    friend class TControl;
    friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void AttachHandle(HWND window, WNDPROC previous);
    void DetachHandle();
    void CreateChildHandles();
    void PlaceInZOrder();
    bool ReflectNotification(TMessage& Message);
    bool RouteMouseToGraphic(TMessage& Message);
    void PaintHandler(TMessage& Message);

    void CreateHandleNow();
    std::vector<TWinControl*> TabOrderedChildren() const;
    // The children from the top of the z-order down: tab order, those that stay behind last.
    std::vector<TWinControl*> ZOrderedChildren() const;

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    std::shared_ptr<void> windowFont_; // keeps the HFONT the window was given alive
    bool creating_ = false;
    bool createHidden_ = false;
    bool tabStop_ = false;
    int tabOrder_ = -1;
    int alignDisabled_ = 0;
    bool aligning_ = false;
    bool mouseInside_ = false;
    TControl* mouseCapture_ = nullptr;
    std::vector<TControl*> controls_;
};

// The form a control is on (walking parents), or nullptr.
TCustomForm* GetParentForm(const TControl* control);

// How the core reaches menus without knowing their classes: menus.cpp fills these in.
struct TMenuSeam {
    // The HMENU of a form's main menu.
    HMENU (*MainMenuHandle)(TMainMenu* menu) = nullptr;
    // Shows a popup menu at screen coordinates for the control.
    void (*Popup)(TPopupMenu* menu, int x, int y, TControl* sender) = nullptr;
    // WM_COMMAND from a menu (lParam 0, HIWORD(wParam) 0), WM_DRAWITEM / WM_MEASUREITEM with
    // ODT_MENU, WM_INITMENUPOPUP, WM_MENUCHAR: true when a menu took the message (Result set).
    bool (*Dispatch)(TWinControl* window, TMessage& message) = nullptr;
};
TMenuSeam& MenuSeam();

// Shared brush for a colour (lives until the program ends).
HBRUSH ColorBrush(TColor color);
