// Forms (top-level windows read from form descriptions), the application object and waits that keep
// the program responsive.
#pragma once

#include <framework/controls.h>
#include <framework/formreader.h>

#include <functional>
#include <string_view>

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1;

class TCustomForm : public TWinControl {
    DECLARE_PUBLISHED
public:
    // An empty form; NewForm / Application->CreateForm also read its description.
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TPosition Position() const { return position_; }
    void SetPosition(TPosition value) { position_ = value; }
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle value);
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState value);
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);

    // Shows the form (creating its window) and brings it to the front.
    void Show();
    // Shows the form and runs a message loop of its own until ModalResult is set (Close sets mrCancel)
    // or the application terminates; the other windows of the program are disabled meanwhile.
    int ShowModal();
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    // OnCloseQuery, then OnClose with caHide, which the handler may change (caNone keeps the form, caFree
    // destroys it); closing the main form ends the application. A modal form gets ModalResult mrCancel.
    void Close();
    bool CloseQuery();
    // Destroys the form once the messages now queued have been handled.
    void Release();

    // The RCDATA resource that holds this form's description: the class name in upper case.
    virtual String FormResourceName() const;
    // Reads the description (resource, or text), binding fields and handlers; then DoCreate runs OnCreate.
    void LoadDescription();
    void LoadDescriptionText(std::string_view utf8, const TResourceResolver& resolver = nullptr);
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // Values that descriptions written by form designers carry; kept, not used.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int v) { pixelsPerInch_ = v; }
    int TextHeight() const { return textHeight_; }
    void SetTextHeight(int v) { textHeight_ = v; }
    bool OldCreateOrder() const { return oldCreateOrder_; }
    void SetOldCreateOrder(bool v) { oldCreateOrder_ = v; }
    bool Scaled() const { return scaled_; }
    void SetScaled(bool v) { scaled_ = v; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }

    void WndProc(TMessage& Message) override;
    bool Showing() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    int ClientWidth() const override;
    int ClientHeight() const override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WindowPlacement(TCreateParams& Params) override;
    void ApplyState(UINT change) override;
    void SetClientSize(int w, int h) override;
    virtual void DoClose(TCloseAction& Action);
    void BeforeDestruction() override;

private:
    void ApplyPosition();
    void ShowOrHideWindow();
    void CloseModal();
    DWORD WindowStyle() const;
    DWORD WindowExStyle() const;
    SIZE FrameSize() const; // window size minus client size, before the window exists
    HMENU MenuHandle() const;

    int clientWidthSet_ = -1, clientHeightSet_ = -1;

    TPosition position_ = poDesigned;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TFormBorderStyle borderStyle_ = bsSizeable;
    TFormStyle formStyle_ = fsNormal;
    TWindowState windowState_ = wsNormal;
    TMainMenu* menu_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    bool modal_ = false;
    TModalResult modalResult_ = mrNone;
    bool created_ = false;
    bool positioned_ = false;
    int pixelsPerInch_ = 96;
    int textHeight_ = 13;
    bool oldCreateOrder_ = false;
    bool scaled_ = true;
    bool keyPreview_ = false;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// Constructs T(Owner), reads its description (FormResourceName()), then runs OnCreate. A form whose
// description sets Visible = True is shown.
template <class T> T* NewForm(TComponent* Owner) {
    T* form = new T(Owner);
    try {
        form->LoadDescription();
        form->DoCreate();
    } catch (...) {
        delete form;
        throw;
    }
    if (form->Visible()) form->Show();
    return form;
}

// The same from a description given as UTF-8 text (tests, tools).
template <class T>
T* NewFormFromText(TComponent* Owner, std::string_view utf8, const TResourceResolver& resolver = nullptr) {
    T* form = new T(Owner);
    try {
        form->LoadDescriptionText(utf8, resolver);
        form->DoCreate();
    } catch (...) {
        delete form;
        throw;
    }
    if (form->Visible()) form->Show();
    return form;
}

using TExceptionReporter = std::function<void(const String& Text)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    const String& Title() const { return title_; }
    void SetTitle(const String& value);

    // The first form created becomes the main form; Run shows it.
    template <class T> T* CreateForm() {
        T* form = NewForm<T>(this);
        if (!mainForm_) SetMainForm(form);
        return form;
    }
    TCustomForm* MainForm() const { return mainForm_; }
    void SetMainForm(TCustomForm* form);

    // Shows the main form and handles messages until Terminate or WM_QUIT.
    void Run();
    // Handles the messages that are waiting, then returns. A WM_QUIT it meets is posted again (for the
    // loop that should end) and marks the application as terminated.
    void ProcessMessages();
    // As ProcessMessages, but asks `enough` after each message and stops when it says so (true).
    bool ProcessWaitingMessages(const std::function<bool()>& enough);
    // Waits for one message and handles it.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Forgets a Terminate and a pending WM_QUIT (for test programs that run many cases in one process).
    void ClearTerminated();

    // Reports the exception being handled (call inside a catch block): EAbort silently, any other
    // through the reporter with its message, a full stop added when the last character comes after '.'
    // in code order (as the classic report does: "x!" stays, "x" and "x?" get one).
    void HandleException(TObject* Sender);
    // Replaces the report (default: a message box with the text, titled by Title); gives the old one.
    TExceptionReporter SetExceptionReporter(TExceptionReporter reporter);
    void ShowException(const String& text);

    // The hidden window that carries the title, made only when asked for: the programs do not need
    // it, and each top-level window costs milliseconds at start.
    HWND Handle();
    String ExeName() const;
    int ModalLevel() const { return modalLevel_; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    bool ProcessMessage(MSG& msg);
    void CreateHandle();

    String title_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    bool initialized_ = false;
    int modalLevel_ = 0;
    HWND handle_ = nullptr;
    TExceptionReporter reporter_;
};

extern TApplication* Application;

// Waits up to ms milliseconds, handling messages as they come, and sleeping (never spinning) while none
// come. Ends early, answering true, once done() holds; ends when the application terminates.
bool WaitMessagesFor(unsigned ms, const std::function<bool()>& done);

// The module whose resources forms and pictures are read from (the executable).
HINSTANCE HInstance();

// The program's icon (its MAINICON resource, else the system's application icon) in the large or
// the small (caption) size; loaded once and shared by every form.
HICON ApplicationIcon(bool smallSize);
