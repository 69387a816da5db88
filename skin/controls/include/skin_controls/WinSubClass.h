#pragma once
// The control skinners' unit: skinners hook one control (or one bare window), let it paint, and
// paint it again from the skin. Skinners read and write the controls they skin only through
// published properties by name, so any class with those properties can be skinned.

#include <framework/controls.h>
#include <framework/typinfo.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>

#include "skin_data/SkinElements.h"

class TSkinData;
class TWinSkinForm;
class TCustomStatusBar;

// Messages of the class library that skinners react to, beside those of controls.h.
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_RELEASE = CM_BASE + 33;
// Posted to a skinned tab control after its page may have changed: the form skinner walks the
// form again, for the controls of the page now shown.
constexpr UINT SKM_SKINPAGES = 0x3507;

// ButtonState bits.
enum TSkinButtonFlag { sbHot, sbPressed };
using TSkinButtonState = TSet<TSkinButtonFlag>;

// What a skinner's hook leads to. Both ways of attaching go through it: it outlives the skinner
// whenever something may still call the hook (a later subclasser kept our procedure, or the
// skinner was freed while one of its messages ran), and then it passes messages straight on.
struct TSkinHookLink;

// The base of every control skinner. The owner is the skinned control (freeing the control frees
// the skinner) or, for native child windows, the form skinner.
class TSkinControl : public TComponent {
public:
    explicit TSkinControl(TComponent* AOwner);
    ~TSkinControl() override;

    // Hooks a framework control (the owner) through its WindowProc. A second call does nothing.
    virtual void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas, bool setColor);
    // Subclasses a bare window through GWL_WNDPROC.
    virtual void AttachWindow(HWND window, TSkinData* skinData, TCanvas* formCanvas, TWinSkinForm* form);
    // Gives the control its colour back.
    virtual void Unskin();
    // Runs before the control's own procedure; false keeps the message from it (and from
    // AfterMessage).
    virtual bool BeforeMessage(TMessage& Message);
    // Runs after the control's own procedure.
    virtual void AfterMessage(TMessage& Message);
    // Paints the whole window into dc, or into the window DC when dc is 0. Never throws.
    virtual void PaintSkin(HDC dc);
    // Draws the skin into dc within rect (window coordinates moved to 0, 0).
    virtual void DrawSkin(HDC dc, const RECT& rect);
    // The skin changed: take its colour again and repaint.
    virtual void SkinChanged();

    // The single entry of both hooks.
    void SkinWndProc(TMessage& Message);
    // Hands the message to what the hook replaced.
    void CallOriginalProc(TMessage& Message);
    // The same; false when the control's own handling freed this skinner, which must then stop.
    bool CallOriginalProcAndLive(TMessage& Message);
    void SendMouseLeave();
    void Redraw();
    // The colour of the control's parent, or def without one.
    TColor ParentColor(TColor def) const;
    void FillSkinColor(HDC dc, const RECT& rect);
    void FillParentColor(HDC dc, const RECT& rect);
    // The paint of skinners that take WM_PAINT over: into wParam's DC or a BeginPaint one.
    void PaintOnBeginPaint(TMessage& Message);
    // Frame `frame` of a count-frame element, nine-slice with the element's margins and tile mode,
    // magenta transparent when the element's Trans is 1.
    void DrawElementFrame(HDC dc, const RECT& rect, TDataSkinObject* element, int frame, int count);
    // Frame `frame` of a count-frame strip stretched whole into rect, magenta transparent.
    void DrawStripFrameDC(HDC dc, const RECT& rect, TBitmap& bitmap, int frame, int count);
    void DrawStripFrameCanvas(TCanvas& canvas, const RECT& rect, TBitmap& bitmap, int frame, int count);
    void DrawStripFrameMasked(HDC dc, const RECT& rect, TBitmap& bitmap, int frame, int count);
    // Icon and text in rect: align 0 left, 1 centre, 2 right; grey while the skinner is disabled.
    void DrawIconAndText(TCanvas& canvas, const RECT& rect, HIMAGELIST images, int imageIndex,
                         const std::wstring& text, int align);
    // A popup window, or one whose parent is the fixed value 0x10014.
    static bool IsTopLevelWindow(HWND window);

    // --- state, in the order the skinners share it ---
    TSkinButtonState ButtonState;
    TCanvas* FormCanvas = nullptr; // the form skinner's second canvas, not owned
    bool Enabled = false;          // no WS_DISABLED
    bool Focused = false;          // GetFocus was the window at the last check
    std::wstring Caption;
    bool SkinEnabled = true; // painting switch (SKM_SKINENABLE)
    TSkinData* SkinData = nullptr;
    HWND Handle = nullptr;
    TWinControl* Control = nullptr;
    RECT WindowRect{};                  // screen rectangle at the last whole-window paint
    TControl* GraphicControl = nullptr; // a windowless control (speed buttons)
    bool SetColor = false;              // attach replaced the control's Color by the skin's
    TColor SavedColor = clNone;
    bool Attached = false;
    // 0 created, 1 attached, 2 unskinned (panels), 6 window destroyed.
    int State = 0;
    TWinSkinForm* SkinForm = nullptr;

    // The skin colour as a COLORREF (system colours resolved).
    static COLORREF SkinColour(TColor colour) { return ColorToRGB(colour); }
    // The hook is in place (AttachControl, AttachGraphicControl or AttachWindow).
    bool Hooked() const { return Link != nullptr; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // Replaces the WindowProc of a control (windowed or not) by this skinner's.
    void HookControlProc(TControl* control);
    // The owner as the skinned control (nullptr when it is none), with the attach arguments.
    TWinControl* TakeControl(TSkinData* skinData, TCanvas* formCanvas, bool setColor);
    // With SetColor: keeps the control's colour and gives it the skin's face colour.
    void TakeSkinColour();
    // Registers with the form skinner.
    void Register(TWinSkinForm* form);
    // Takes the hooks off again where that is still possible; called by the destructor and by
    // skinners that unhook early.
    void Unhook();
    // The window's style bits.
    DWORD WindowStyle() const;
    // Focused and Enabled from the window as it is now.
    void RefreshFocusAndEnabled();

private:
    friend struct TSkinHookLink;
    std::shared_ptr<TSkinHookLink> Link;
    TControl* HookedControl = nullptr;
};

// --- text and glyph helpers ---

// Text aligned in rect (DT_LEFT, DT_CENTER, DT_RIGHT), lifted to the middle (1 pixel above for an
// odd spare row); grey when not enabled.
void DrawControlText(TCanvas& canvas, const RECT& rect, const std::wstring& text, bool enabled, UINT align);
// One line of text centred in rect both ways; grey when not enabled.
void DrawCenteredText(TCanvas& canvas, const RECT& rect, const std::wstring& text, bool enabled, UINT align);
// A small arrow in the pen colour around (x, y): 0 up, 1 down, 2 left, 3 right; others nothing.
void DrawArrowGlyph(TCanvas& canvas, int x, int y, int direction);

// A status bar repainted with its panels, bevels and size grip.
class TSkinStatusBar : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void DrawSkin(HDC dc, const RECT& rect) override;

private:
    void DrawPanelBackground(TCanvas& canvas, const RECT& rect, int bevel);
    // OnDrawPanel for every panel whose rectangle the bar gives, inset by 1.
    void DrawPanels(TCustomStatusBar& bar, HDC dc);
};

// A group box frame with rounded corners in the skin's shadow colour, and its caption.
class TSkinGroupBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void DrawSkin(HDC dc, const RECT& rect) override;
};

// A panel only takes the skin's face colour; it hooks nothing.
class TSkinBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas, bool setColor) override;
    void Unskin() override;
    void AfterMessage(TMessage&) override {}
};

// Check boxes and radio buttons: the native box or dot replaced by a cell of the skin's strip.
class TSkinCheckBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AfterMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
};

class TSkinRadioButton : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AfterMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
};

// Push buttons from the skin's Buttons element, with their own hot and pressed state; the skinner
// performs the click itself.
class TSkinButton : public TSkinControl {
public:
    explicit TSkinButton(TComponent* AOwner);
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

    // Caption ("||" read as a line break) in rect, centred or at the left, lifted to the middle.
    void DrawButtonCaption(TCanvas& canvas, const RECT& rect, UINT align);
    // Cell state - 1 of a 4-cell glyph (else the first cell) at rect's top-left, transparent;
    // state 2 greyed.
    static void DrawGlyphFrame(TCanvas& canvas, const RECT& rect, int numGlyphs, int state, TBitmap& glyph);

protected:
    // The text colour of a frame; a framework control keeps its font colour where the skin gives none.
    void ApplyFrameTextColour(TCanvas& canvas, int frame, bool withControl);
    // 1 normal, 4 focused or hot, 5 default, 2 pressed, 3 disabled; push buttons let default win
    // over focus, glyph buttons the other way round.
    int StateFrame(bool isDefault, bool defaultBeatsFocus) const;
    // ButtonBitmap sized to r, filled with the face colour and frame `frame` of count (none for 0);
    // nullptr for an empty r.
    TCanvas* StartButtonBitmap(const RECT& r, int frame, int count);
    TBitmap ButtonBitmap;
};

// Glyph buttons: glyph (or image-list image) and caption laid out by the control's published
// Layout, Margin and Spacing.
class TSkinBitButton : public TSkinButton {
public:
    using TSkinButton::TSkinButton;
    void DrawSkin(HDC dc, const RECT& rect) override;
};

// Windowless speed buttons, through their WindowProc.
class TSkinSpeedButton : public TSkinBitButton {
public:
    using TSkinBitButton::TSkinBitButton;
    void AttachGraphicControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas);
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintSkin(HDC dc) override;
    void DrawSpeedButton(TCanvas& canvas, const RECT& rect);
};

// A track bar's thumb, drawn through the control's custom-draw notifications.
class TSkinTrackBar : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& Message) override;
    void SkinChanged() override;

private:
    LRESULT TrackBarCustomDraw(NMCUSTOMDRAW& draw);
    void DrawThumb(NMCUSTOMDRAW& draw);
};

// Both arrow buttons of an up-down control (also a tab control's scroll arrows and an edit's spin).
class TSkinUpDown : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    // Draw 1 pixel inside the client rectangle.
    bool Inset = false;
    // 1: the buttons side by side whatever the style.
    int ForceHorizontal = 0;

private:
    void DrawUpDownPart(HDC dc, const RECT& box, int state, int direction, TDataSkinBorder& element);
    void DrawUpDownPartPlain(TCanvas& canvas, const RECT& box, int state, int direction);
};

// A progress bar from the skin's Progress element: a stretched bar or a row of blocks.
class TSkinProgress : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;

private:
    void DrawProgressBlocks(HDC dc, const RECT& rect);
};

// A native tab control (page controls): tab buttons on any side, the page border, and the scroll
// arrows' own skinner.
class TSkinTab : public TSkinControl {
public:
    explicit TSkinTab(TComponent* AOwner);
    void AttachWindow(HWND window, TSkinData* skinData, TCanvas* formCanvas, TWinSkinForm* form) override;
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void SkinChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void ReadTabPosition();
    void PrepareTabBitmaps();
    // The up-down child gets its skinner once; true while it is visible.
    bool FindUpDown();
    void DrawTabItem(HDC dc, const RECT& rect, int frame);
    void DrawHeaderClipped(HDC dc, const RECT& headerRect);

    // 0 top, 1 bottom, 2 left, 3 right.
    int TabPosition = 0;
    TBitmap TabStrip, TabBorder, HeaderBitmap;
    TSkinUpDown* UpDownSkinner = nullptr;
};

// A tab set (a row of string tabs hanging from its top edge), read through the framework's TTabSet
// and subclassed through its window procedure.
class TSkinTab31 : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas, bool setColor) override;
    bool BeforeMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void SkinChanged() override;

    // The Tabs strip turned upside down: the tabs hang down from the edge.
    TBitmap TabStrip;
};

// Property access by name. A null object or a missing property gives the empty result and
// changes nothing.

// An integer property's value; 0 for a property of another kind.
std::int64_t GetOrdPropByName(TObject* object, const String& name);
// An enumeration property's value name ("True"/"False" for Booleans); empty for another kind.
String GetEnumPropName(TObject* object, const String& name);
// A string property's text.
String GetPropAsWideString(TObject* object, const String& name);
// The object held in an object property, when it is a T.
TObject* GetObjectPropByName(TObject* object, const String& name);
template <class T> T* GetObjectPropByName(TObject* object, const String& name) {
    return dynamic_cast<T*>(GetObjectPropByName(object, name));
}
// An enumeration property set by value name, an integer property by the number in text (text
// that is no number raises EConvertError); properties of other kinds are left alone.
void SetPropFromText(TObject* object, const String& name, const String& text);
