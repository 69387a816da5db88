#pragma once
// Edit boxes get a two-line frame in the skin's colours (and their spin child a skinner); combo
// boxes are painted from the skin's ComboButton, SunkEdge and ExtraImages elements, the button in
// four states (normal, pressed, disabled, hot) on the right or, right to left, on the left.

#include <memory>

#include "skin_controls/WinSubClass.h"

class TSkinScrollbarH;
struct TComboEditHook;

class TSkinEdit : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AfterMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The skinner of the first spin child (msctls_updown32, or a class named spin or updown).
    void AttachUpDown();
    // The frame on a printed picture (WM_PRINT), or on the window DC when dc is 0.
    void PrintFrame(HDC dc);
    void DrawPrintFrame(HDC dc, const RECT& rect);

    // Owned by this skinner's owner; nullptr until a draw finds a spin child.
    TSkinUpDown* UpDownSkinner = nullptr;
};

class TSkinComBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    ~TSkinComBox() override;
    void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas, bool setColor) override;
    void Unskin() override;
    void AfterMessage(TMessage& Message) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The ComboButton style 1 look: a plain frame and the button frame stretched into the button.
    void DrawSimple(HDC dc, const RECT& rect);
    // Hooks the drop-down combo's edit child, so that its paints and presses reach the skinner.
    void SubclassEdit();
    // What the edit child saw, after its own procedure ran.
    void EditMessage(UINT msg);
    // A press or release of the left button (on the combo box or its edit child): the pressed
    // look. False for other messages.
    bool PressMessage(UINT msg);
    // The frame shown: 2 pressed, 4 hot or focused, 1 enabled, 3 disabled.
    int FrameIndex() const;

    DWORD ComboStyle = 0;
    DWORD ComboExStyle = 0;
    HWND ListHandle = nullptr; // the list of a simple combo box
    HWND EditHandle = nullptr; // the edit child of a drop-down combo box
    // Over the list of a simple combo box; owned by this skinner's owner, freed with this skinner.
    TSkinScrollbarH* ListScrollSkinner = nullptr;
    COMBOBOXINFO ComboInfo{};

private:
    void RestoreEdit();
    std::shared_ptr<TComboEditHook> EditHook;
};
