// File dialogs and message boxes. Tests replace the native dialogs with hooks, so that they choose the
// file (or the answer) themselves and nothing waits for a user.
#pragma once

#include <framework/classes.h>
#include <framework/typinfo.h>

#include <functional>
#include <memory>

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
    ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;
extern const TIdentMap OpenOptionIdents;

class TCommonDialog : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // Shows the dialog and waits for it; true when the user confirmed.
    virtual bool Execute() = 0;
};

class TOpenDialog : public TCommonDialog {
    DECLARE_PUBLISHED
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    const String& Title() const { return title_; }
    void SetTitle(const String& value) { title_ = value; }
    // "Text files (*.txt)|*.txt|All files|*.*": pairs of a description and its patterns.
    const String& Filter() const { return filter_; }
    void SetFilter(const String& value) { filter_ = value; }
    // 1-based index of the chosen filter pair.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int value) { filterIndex_ = value; }
    const String& FileName() const { return fileName_; }
    void SetFileName(const String& value) { fileName_ = value; }
    // Added (without its dot) to a name typed without an extension; empty adds nothing.
    const String& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const String& value) { defaultExt_ = value; }
    const String& InitialDir() const { return initialDir_; }
    void SetInitialDir(const String& value) { initialDir_ = value; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions value) { options_ = value; }
    // Every chosen file (one unless ofAllowMultiSelect).
    TStrings* Files() const { return files_.get(); }
    virtual bool IsSaveDialog() const { return false; }

    bool Execute() override;

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

private:
    bool RunNative();
    String title_, filter_, fileName_, defaultExt_, initialDir_;
    int filterIndex_ = 1;
    TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
    std::unique_ptr<TStringList> files_;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
    bool IsSaveDialog() const override { return true; }
};

// Replaces the native file dialog for every TOpenDialog and TSaveDialog (nullptr restores it). The hook
// sees the dialog (title, filter, kind), sets FileName (and FilterIndex) and answers whether the user
// confirmed. Gives the previous hook.
using TFileDialogHook = std::function<bool(TOpenDialog& Dialog)>;
TFileDialogHook SetFileDialogHook(TFileDialogHook hook);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// A message box titled by the application's title, with an OK button.
void ShowMessage(const String& text);
// A message box with the buttons; gives the modal result of the button pressed (mrYes, mrOk ...).
int MessageDlg(const String& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

// Replaces the message boxes of ShowMessage and MessageDlg (nullptr restores them); gives the previous
// hook. The hook answers with a modal result.
using TMessageDialogHook = std::function<int(const String& Text, TMsgDlgType Type, TMsgDlgButtons Buttons)>;
TMessageDialogHook SetMessageDialogHook(TMessageDialogHook hook);
