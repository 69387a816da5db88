#include <framework/dialogs.h>
#include <framework/forms.h>

#include <commdlg.h>

#include <vector>

const TIdentMap OpenOptionIdents{
    {L"ofReadOnly", ofReadOnly},
    {L"ofOverwritePrompt", ofOverwritePrompt},
    {L"ofHideReadOnly", ofHideReadOnly},
    {L"ofNoChangeDir", ofNoChangeDir},
    {L"ofShowHelp", ofShowHelp},
    {L"ofNoValidate", ofNoValidate},
    {L"ofAllowMultiSelect", ofAllowMultiSelect},
    {L"ofExtensionDifferent", ofExtensionDifferent},
    {L"ofPathMustExist", ofPathMustExist},
    {L"ofFileMustExist", ofFileMustExist},
    {L"ofCreatePrompt", ofCreatePrompt},
    {L"ofShareAware", ofShareAware},
    {L"ofNoReadOnlyReturn", ofNoReadOnlyReturn},
    {L"ofNoTestFileCreate", ofNoTestFileCreate},
    {L"ofNoNetworkButton", ofNoNetworkButton},
    {L"ofNoLongNames", ofNoLongNames},
    {L"ofOldStyleDialog", ofOldStyleDialog},
    {L"ofNoDereferenceLinks", ofNoDereferenceLinks},
    {L"ofEnableIncludeNotify", ofEnableIncludeNotify},
    {L"ofEnableSizing", ofEnableSizing},
    {L"ofDontAddToRecent", ofDontAddToRecent},
    {L"ofForceShowHidden", ofForceShowHidden},
};

namespace {

TFileDialogHook& FileDialogHook() {
    static TFileDialogHook hook;
    return hook;
}

TMessageDialogHook& MessageDialogHook() {
    static TMessageDialogHook hook;
    return hook;
}

// The window a dialog belongs to: the active one of the program, else its main window.
HWND DialogOwner() {
    if (HWND active = GetActiveWindow()) return active;
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        return Application->MainForm()->Handle();
    return nullptr;
}

const std::pair<TOpenOption, DWORD> kOptionFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
    {ofDontAddToRecent, OFN_DONTADDTORECENT},
    {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
};

} // namespace

TFileDialogHook SetFileDialogHook(TFileDialogHook hook) {
    TFileDialogHook previous = std::move(FileDialogHook());
    FileDialogHook() = std::move(hook);
    return previous;
}

TMessageDialogHook SetMessageDialogHook(TMessageDialogHook hook) {
    TMessageDialogHook previous = std::move(MessageDialogHook());
    MessageDialogHook() = std::move(hook);
    return previous;
}

// ---------------------------------------------------------------------------------------------------
// TCommonDialog, TOpenDialog

const TClassInfo* TCommonDialog::StaticClassInfo() {
    static const TClassInfo info(L"TCommonDialog", TComponent::StaticClassInfo(),
                                 {
                                     StrProp<TCommonDialog>(L"Name", &TCommonDialog::Name, &TCommonDialog::SetName),
                                     IntProp<TCommonDialog>(L"Tag", &TCommonDialog::Tag, &TCommonDialog::SetTag),
                                 });
    return &info;
}

const TClassInfo* TOpenDialog::StaticClassInfo() {
    static const TClassInfo info(
        L"TOpenDialog", TCommonDialog::StaticClassInfo(),
        {
            StrProp<TOpenDialog>(L"Title", &TOpenDialog::Title, &TOpenDialog::SetTitle),
            StrProp<TOpenDialog>(L"Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter),
            IntProp<TOpenDialog>(L"FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex),
            StrProp<TOpenDialog>(L"FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName),
            StrProp<TOpenDialog>(L"DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt),
            StrProp<TOpenDialog>(L"InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir),
            SetProp<TOpenDialog>(L"Options", &TOpenDialog::Options, &TOpenDialog::SetOptions, OpenOptionIdents),
            EventProp<TOpenDialog>(L"OnShow", &TOpenDialog::OnShow),
            EventProp<TOpenDialog>(L"OnClose", &TOpenDialog::OnClose),
        });
    return &info;
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    files_->Clear();
    if (OnShow) OnShow(this);
    // A copy: the hook may replace itself.
    TFileDialogHook hook = FileDialogHook();
    bool confirmed = hook ? hook(*this) : RunNative();
    if (confirmed && files_->Count() == 0 && !fileName_.empty()) files_->Add(fileName_);
    if (OnClose) OnClose(this);
    return confirmed;
}

bool TOpenDialog::RunNative() {
    // "a|b|c|d" becomes "a\0b\0c\0d\0\0".
    String filter = filter_;
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    std::vector<wchar_t> buffer(65536, L'\0');
    fileName_.copy(buffer.data(), std::min(fileName_.size(), buffer.size() - 1));
    String defaultExt = !defaultExt_.empty() && defaultExt_[0] == L'.' ? defaultExt_.substr(1) : defaultExt_;

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = DialogOwner();
    ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(std::max(filterIndex_, 1));
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
    ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = options_.Contains(ofOldStyleDialog) ? 0 : OFN_EXPLORER;
    for (const auto& [option, flag] : kOptionFlags)
        if (options_.Contains(option)) ofn.Flags |= flag;

    BOOL ok = IsSaveDialog() ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return false;
    filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    // Several files: the folder, then the names, each ended by a zero, the list by two.
    String first(buffer.data());
    const wchar_t* next = buffer.data() + first.size() + 1;
    if (options_.Contains(ofAllowMultiSelect) && *next) {
        String folder = first;
        if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
        while (*next) {
            String name(next);
            files_->Add(folder + name);
            next += name.size() + 1;
        }
        fileName_ = files_->Strings(0);
    } else {
        fileName_ = first;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Message boxes

namespace {

int ShowBox(const String& text, const String& caption, UINT flags) {
    return MessageBoxW(DialogOwner(), text.c_str(), caption.c_str(), flags | MB_TASKMODAL);
}

String ApplicationTitle() { return Application && !Application->Title().empty() ? Application->Title() : String(); }

} // namespace

void ShowMessage(const String& text) {
    if (TMessageDialogHook hook = MessageDialogHook()) {
        hook(text, mtCustom, TMsgDlgButtons{mbOK});
        return;
    }
    ShowBox(text, ApplicationTitle(), MB_OK);
}

int MessageDlg(const String& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    if (TMessageDialogHook hook = MessageDialogHook()) return hook(text, type, buttons);
    static const UINT icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    static const wchar_t* const captions[] = {L"Warning", L"Error", L"Information", L"Confirm", nullptr};
    auto has = [&](TMsgDlgBtn b) { return buttons.Contains(b); };
    UINT kind = MB_OK;
    if (has(mbYes) && has(mbNo)) kind = has(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (has(mbAbort) || has(mbIgnore)) kind = MB_ABORTRETRYIGNORE;
    else if (has(mbRetry)) kind = MB_RETRYCANCEL;
    else if (has(mbOK) && has(mbCancel)) kind = MB_OKCANCEL;
    String caption = captions[type] ? String(captions[type]) : ApplicationTitle();
    return ShowBox(text, caption, kind | icons[type]);
}
