// The form the control tests load their descriptions into, and small helpers around it.
#pragma once

#include <framework/comctrls.h>
#include <framework/dialogs.h>
#include <framework/extctrls.h>
#include <framework/forms.h>
#include <framework/menus.h>
#include <framework/stdctrls.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Binds the handler names the descriptions use; each records "<sender name> <what>" in Events.
//   Clicked, Changed, Popped: TNotifyEvent; Changing: TTabChangingEvent (answers AllowChange);
//   UpDownClicked: TUDClickEvent ("next" / "prev").
class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* owner);
    std::vector<String> Events;
    bool AllowChange = true;
    // Runs inside every recorded event, for tests that look at the state while the event runs.
    std::function<void(TObject* sender)> During;

private:
    void Record(TObject* sender, const String& what);
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Reads the description into a new form (not shown).
    static std::unique_ptr<TProbeForm> Load(const std::string& description);
    template <class T> static T* Get(TProbeForm& form, const wchar_t* name) {
        auto* component = dynamic_cast<T*>(form.FindComponent(name));
        EXPECT_NE(component, nullptr) << "no component of that class";
        return component;
    }
};

String WindowText(HWND window);
// A user's notification as the parent window receives it (WM_COMMAND from the child with `code`).
void SendCommandFromChild(TWinControl* child, WORD code);
// Runs EndMenu shortly, from inside the menu's own modal loop.
void CloseMenuSoon();
// Bytes of a file.
std::string ReadFileBytes(const String& fileName);
// A fresh path in the temporary folder.
String TempPath(const String& name);
