#pragma once
// The popup-menu skinner: gives one popup-menu window (class "#32768") a skinned border and
// background. The skin manager attaches one when its hook sees a popup-menu window created and frees
// it when the window goes. The system draws the items inside the border; owner-drawn items paint
// over the same background, which they find through the popup's menu handle.

#include <framework/graphics.h>
#include <framework/wndthunk.h>

#include <memory>

class TSkinData;

class TWinSkinPopMenu : public TObject {
public:
    TWinSkinPopMenu() = default;
    // The caller detaches first; a skinner still attached is detached here.
    ~TWinSkinPopMenu() override;
    TWinSkinPopMenu(const TWinSkinPopMenu&) = delete;
    TWinSkinPopMenu& operator=(const TWinSkinPopMenu&) = delete;

    void Attach(HWND window, TSkinData* skinData, HMENU menu);
    // Gives the window its procedure back (only when attached).
    void Detach();
    bool Attached() const { return Thunk != nullptr; }
    void CallDefault(TMessage& message);
    void PopupWndProc(TMessage& message);
    void WMPrint(TMessage& message);
    void WMNCPaint(TMessage& message);
    void WMPaint(TMessage& message);
    // The window's rectangle and its client rectangle differ (not so for the popups of Wine).
    bool HasNonClientArea() const;
    // The client area's top-left corner in window coordinates: where the items' background lies.
    POINT ClientOrigin() const;

    WNDPROC OldWndProc = nullptr;
    std::unique_ptr<TWndProcThunk> Thunk;
    HWND Window = nullptr;
    TSkinData* SkinData = nullptr;
    // The skin background at the window's size, built on every border paint.
    TBitmap Background;
    // Given by the first owner-drawn item painted while this skinner is pending.
    HMENU Menu = nullptr;

private:
    // False when the skin has no menu background.
    bool BuildBackground(const RECT& windowRect);
};

// The last popup skinner that painted its border while it had no menu handle; nullptr otherwise.
extern TWinSkinPopMenu* PendingPopupMenu;
