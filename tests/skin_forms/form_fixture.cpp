#include "form_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "skin_forms/WinSkinMenu.h"

std::vector<std::uint8_t> SkinFileBytes(const char* file) {
    std::ifstream in(std::filesystem::path(SKINS_DIR) / file, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void LoadSkinFile(TSkinData& data, const char* file) {
    const auto bytes = SkinFileBytes(file);
    ASSERT_FALSE(bytes.empty()) << file;
    TMemoryStream stream;
    if (std::string(file).ends_with(".stream")) {
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        stream.SetPosition(0);
        data.ReadSkinStream(stream);
    } else {
        data.SkinStream()->Clear();
        data.SkinStream()->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        data.ParseSkin();
    }
    ASSERT_FALSE(data.SkinNotLoaded()) << file;
}

HWND ThreadPopupMenu() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32768") return TRUE;
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void SkinnedFormTest::SetUp() {
    FreeSkinManager();
    CreateSkinManager();
    data_ = std::make_unique<TSkinData>(nullptr);
    LoadSkinFile(*data_, "Standard.stream");
    SkinManager->AddSkinData(data_.get());
    SkinManager->InstallHook();
    SkinManager->Active = true;
    SkinManager->ActivationCount = 1;
    recorder_ = AllocateHWnd([this](TMessage& m) {
        if (m.Msg != WM_APP) {
            m.Result = DefWindowProcW(recorder_, m.Msg, m.WParam, m.LParam);
            return;
        }
        HWND popup = ThreadPopupMenu();
        Seen.open = popup && IsWindowVisible(popup);
        Seen.skinned = popup && SendMessageW(popup, SKM_ISSKINNED, 0, 0) == 1;
        Seen.popupMode = SkinManager ? SkinManager->PopupMode : -1;
        Seen.filterHook = MenuTracking.FilterHook != nullptr;
        if (InMenu) InMenu(popup);
    });
    MakeForm();
}

void SkinnedFormTest::TearDown() {
    form_.reset();
    data_.reset();
    FreeSkinManager();
    DeallocateHWnd(recorder_);
    // Whatever a test left in the queue (keys of a menu that did not open) goes.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TMenuItem* SkinnedFormTest::AddItem(TMenuItem* parent, const wchar_t* caption) {
    auto* item = new TMenuItem(form_.get());
    item->SetCaption(caption);
    const String name = caption;
    item->OnClick = [this, name](TObject*) { Clicks.push_back(name); };
    parent->Add(item);
    return item;
}

void SkinnedFormTest::MakeForm() {
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBounds(100, 80, 420, 300);
    form_->SetCaption(L"Skinned window");
    menu_ = new TMainMenu(form_.get());
    TMenuItem* file = AddItem(menu_->Items(), L"File");
    AddItem(file, L"Open");
    AddItem(file, L"Close");
    TMenuItem* edit = AddItem(menu_->Items(), L"Edit");
    AddItem(edit, L"Copy");
    TMenuItem* help = AddItem(menu_->Items(), L"Help");
    AddItem(help, L"About");
    form_->SetMenu(menu_);
    popup_ = new TPopupMenu(form_.get());
    AddItem(popup_->Items(), L"Clear");
    AddItem(popup_->Items(), L"-");
    AddItem(popup_->Items(), L"Save");
    form_->SetPopupMenu(popup_);
}

bool SkinnedFormTest::Pump(unsigned ms, const std::function<bool()>& done) {
    return WaitMessagesFor(ms, done);
}

TWinSkinForm* SkinnedFormTest::ShowSkinned() {
    form_->Show();
    TWinSkinForm* skinner = nullptr;
    Pump(5000, [&] {
        skinner = SkinManager->FindSkinForm(form_->Handle());
        return skinner && skinner->State == fsSkinned;
    });
    Pump(100);
    if (skinner) MakeActive();
    return skinner;
}

void SkinnedFormTest::MakeActive() const {
    SendMessageW(form_->Handle(), WM_NCACTIVATE, TRUE, 0);
}

POINT SkinnedFormTest::ScreenPoint(POINT p) const {
    RECT r;
    GetWindowRect(form_->Handle(), &r);
    return POINT{r.left + p.x, r.top + p.y};
}

LRESULT SkinnedFormTest::HitTest(POINT p) const {
    const POINT s = ScreenPoint(p);
    return SendMessageW(form_->Handle(), WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y));
}

LRESULT SkinnedFormTest::SendNC(UINT msg, POINT p, WPARAM hit) const {
    const POINT s = ScreenPoint(p);
    return SendMessageW(form_->Handle(), msg, hit, MAKELPARAM(s.x, s.y));
}

void SkinnedFormTest::QueueMenuKeys(const std::vector<UINT>& keys) {
    Seen = TPopupSeen{};
    PostMessageW(recorder_, WM_APP, 0, 0);
    for (UINT key : keys) {
        PostMessageW(form_->Handle(), WM_KEYDOWN, key, 1);
        PostMessageW(form_->Handle(), WM_KEYUP, key, 0xC0000001);
    }
    // A menu that waits for more than the keys give it is closed.
    SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
}

TWinSysButton* SkinnedFormTest::ButtonWithAction(int action) const {
    TWinSkinForm* skinner = SkinManager->FindSkinForm(form_->Handle());
    if (!skinner) return nullptr;
    for (const auto& button : skinner->SysButtons)
        if (button->Visible && button->Entry() && button->Entry()->Action == action) return button.get();
    return nullptr;
}

void SkinnedFormTest::RunAction(int action, TSkinData* data) {
    SkinManager->ActionSkinData = data;
    SkinManager->PendingAction = action;
    SkinManager->TimerAction(SkinManager->ActionTimer());
}

void SkinnedFormTest::RecordCloseRequests() {
    form_->OnCloseQuery = [this](TObject*, bool& canClose) {
        CloseAsked = true;
        canClose = false;
    };
}

TTopWindow::TTopWindow(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int w,
                       int h) {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = PlainClass;
        return RegisterClassW(&wc);
    }();
    (void)atom;
    handle = CreateWindowExW(exStyle, className, text, style, 60, 60, w, h, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
}

TTopWindow::~TTopWindow() {
    if (IsWindow(handle)) DestroyWindow(handle);
}
