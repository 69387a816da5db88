#pragma once
// The form skinner's unit: the skinner of one top-level window, and the window-text helpers the
// engine shares.

#include <framework/forms.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TSkinData;
class TSkinControl;

// The skinner of one top-level window. (Provisional: only the control-walk part so far.)
class TWinSkinForm : public TComponent {
public:
    explicit TWinSkinForm(TComponent* AOwner);
    ~TWinSkinForm() override;

    // --- the control walk ---
    void SkinComponents(TComponent* component);
    void SkinComponent(TComponent* component, TComponent* walkedOwner);
    bool SkinByKind(const String& className, TComponent* component);
    bool NeedsScrollSkinner(TComponent* component);
    bool IsSkinned(TComponent* component);
    void SkinChildWindows();
    void SkinChildWindow(HWND child);
    TSkinControl* FindSkinControl(HWND window) const;
    bool AddSkinControl(TSkinControl* skinner);
    void RemoveSkinControl(TSkinControl* skinner);
    void PurgeSkinControls();
    void FreeSkinControls();
    const std::vector<TSkinControl*>& SkinControls() const { return FSkinControls; }

    TCustomForm* Form = nullptr;
    HWND Window = nullptr;
    TSkinData* SkinData = nullptr;
    // Handed to every control skinner.
    TCanvas* ControlCanvas() { return &FControlCanvas; }
    // A skinner of a plain window's control that is under the mouse.
    TSkinControl* HotControl = nullptr;

private:
    std::vector<TSkinControl*> FSkinControls;
    TCanvas FControlCanvas;
};

// A window's text: on NT platforms through GetWindowTextW, otherwise WM_GETTEXT (up to 1000
// bytes) in the ANSI code page.
std::wstring GetWindowTextString(HWND window);
// A window's text through WM_GETTEXT, at most 1000 characters, in the ANSI code page.
std::string GetWindowTextByMessage(HWND window);
// A window's class name (GetClassNameA, at most 100 characters).
std::string GetWindowClassString(HWND window);
// Invalidates the whole window (erasing) and updates it at once.
void RepaintWindow(HWND window);
