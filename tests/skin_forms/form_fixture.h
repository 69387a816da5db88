// A form with a menu bar and a context menu, skinned by the skin manager with one of the skins the
// programs carry, and helpers that act on it as the system and the user would.
#pragma once

#include <framework/forms.h>
#include <framework/menus.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"
#include "skin_forms/WinSkinForm.h"

// The stored skin of the skin component ("Standard.stream") or an archive of the store ("skin3.skn").
std::vector<std::uint8_t> SkinFileBytes(const char* file);
void LoadSkinFile(TSkinData& data, const char* file);

// The popup-menu window of this thread's menu loop, or nullptr. Not FindWindow: the desktop is shared
// with other tests that open menus of their own.
HWND ThreadPopupMenu();

// The state a test records while a popup menu is open (checked from inside the menu's loop).
struct TPopupSeen {
    bool open = false;    // a popup-menu window existed
    bool skinned = false; // and answered SKM_ISSKINNED
    int popupMode = -1;
    bool filterHook = false; // the message-filter hook was held
};

inline POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A top-level window that is no framework form, of the given class (PlainClass: one of our own
// with the system's procedure, or the dialog class), not shown unless its style says so.
class TTopWindow {
public:
    static constexpr const wchar_t* PlainClass = L"SkinTestPlainWindow";

    TTopWindow(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int w, int h);
    ~TTopWindow();
    TTopWindow(const TTopWindow&) = delete;
    TTopWindow& operator=(const TTopWindow&) = delete;
    HWND handle;
};

class SkinnedFormTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the form (not shown): "File" (Open, Close), "Edit" (Copy), "Help" (About), and a context
    // menu (Clear, Save). Clicks are recorded in Clicks.
    void MakeForm();
    // Shows the form and waits until the manager has skinned it; the skinner or nullptr.
    TWinSkinForm* ShowSkinned();
    // The skinner takes its window for the active one (other programs' windows may take the
    // activation while tests run side by side); an inactive window ignores the mouse over its frame.
    void MakeActive() const;
    TMenuItem* AddItem(TMenuItem* parent, const wchar_t* caption);
    // Handles messages for up to ms, or until done.
    static bool Pump(
        unsigned ms, const std::function<bool()>& done = [] { return false; });
    // A point of the window (window coordinates) in screen coordinates.
    POINT ScreenPoint(POINT windowPoint) const;
    LRESULT HitTest(POINT windowPoint) const;
    // Sends a non-client mouse message at a point given in window coordinates.
    LRESULT SendNC(UINT msg, POINT windowPoint, WPARAM hit = HTCAPTION) const;
    // Posts keys for a menu loop that is about to run; first a message that records the popup's
    // state from inside the loop.
    void QueueMenuKeys(const std::vector<UINT>& keys);
    // The first caption button with this action that is visible.
    TWinSysButton* ButtonWithAction(int action) const;
    void RunAction(int action, TSkinData* data);
    // The form is asked to close (and refuses) from now on: CloseAsked tells.
    void RecordCloseRequests();
    bool CloseAsked = false;

    std::unique_ptr<TSkinData> data_;
    std::unique_ptr<TForm> form_;
    TMainMenu* menu_ = nullptr;
    TPopupMenu* popup_ = nullptr;
    std::vector<String> Clicks;
    TPopupSeen Seen;
    // Run from inside the menu loop that QueueMenuKeys prepared, after Seen is recorded, with the
    // open popup-menu window (nullptr when none is open).
    std::function<void(HWND popup)> InMenu;
    HWND recorder_ = nullptr;
};
