#include <framework/clipbrd.h>

#include <cstring>

namespace {

// Holds the clipboard open for one call.
class OpenScope {
public:
    explicit OpenScope(TClipboard& clipboard) : clipboard_(clipboard) { clipboard_.Open(); }
    ~OpenScope() { clipboard_.Close(); }
    OpenScope(const OpenScope&) = delete;
    OpenScope& operator=(const OpenScope&) = delete;

private:
    TClipboard& clipboard_;
};

} // namespace

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

TClipboard::TClipboard() {
    // The clipboard's owner must be a window: emptying it without one leaves it unable to take data.
    window_ = AllocateHWnd([this](TMessage& m) { m.Result = DefWindowProcW(window_, m.Msg, m.WParam, m.LParam); });
}

TClipboard::~TClipboard() {
    if (openCount_ > 0) CloseClipboard();
    if (window_) DeallocateHWnd(window_);
}

void TClipboard::Open() {
    if (openCount_ == 0) {
        bool opened = false;
        // Another program may hold it for a moment, longer on a busy machine.
        for (int attempt = 0; attempt < 100 && !opened; ++attempt) {
            opened = OpenClipboard(window_) != 0;
            if (!opened) Sleep(10);
        }
        if (!opened) throw Exception(L"Cannot open clipboard");
    }
    ++openCount_;
}

void TClipboard::Close() {
    if (openCount_ == 0) return;
    if (--openCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
    OpenScope scope(*this);
    EmptyClipboard();
}

bool TClipboard::HasFormat(UINT format) { return IsClipboardFormatAvailable(format) != 0; }

String TClipboard::AsText() {
    OpenScope scope(*this);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return String();
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (!text) return String();
    size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    String result(text, wcsnlen(text, capacity));
    GlobalUnlock(data);
    return result;
}

void TClipboard::SetAsText(const String& text) {
    OpenScope scope(*this);
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) throw EOutOfResources(L"Out of memory for the clipboard");
    void* p = GlobalLock(memory);
    std::memcpy(p, text.c_str(), bytes);
    GlobalUnlock(memory);
    // The system owns the memory once it has taken it.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) {
        GlobalFree(memory);
        RaiseLastOSError(L"Cannot put text on the clipboard");
    }
}
