#include <framework/comctrls.h>

#include "stdctrls_internal.h"

#include <richedit.h>

#include <cstring>
#include <exception>
#include <mutex>

void ctl_detail::EnsureRichEditLibrary() {
    // Loaded once and kept: rich edit windows may live until the program ends, and the class
    // belongs to the library.
    static std::once_flag once;
    static HMODULE library = nullptr;
    std::call_once(once, [] { library = LoadLibraryW(L"riched20.dll"); });
    if (!library) RaiseLastOSError(L"Cannot load riched20.dll");
}

namespace {

struct StreamCookie {
    TStream* stream = nullptr;
    const std::uint8_t* data = nullptr; // for reading
    std::size_t size = 0, pos = 0;
    std::exception_ptr error;
};

// The rich edit calls these from inside SendMessage: nothing may be thrown through it.
DWORD CALLBACK WriteToStream(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written) {
    auto* c = reinterpret_cast<StreamCookie*>(cookie);
    try {
        c->stream->WriteBuffer(buffer, count);
        *written = count;
        return 0;
    } catch (...) {
        c->error = std::current_exception();
        *written = 0;
        return 1;
    }
}

DWORD CALLBACK ReadFromBytes(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* read) {
    auto* c = reinterpret_cast<StreamCookie*>(cookie);
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), c->size - c->pos);
    if (n) std::memcpy(buffer, c->data + c->pos, n);
    c->pos += n;
    *read = static_cast<LONG>(n);
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TRichEditStrings

TRichEditStrings::TRichEditStrings(TCustomRichEdit* edit) : TMemoStrings(edit), edit_(edit) {}

void TRichEditStrings::SaveToStream(TStream& stream) const {
    if (edit_->PlainText()) {
        TMemoStrings::SaveToStream(stream);
        return;
    }
    StreamCookie cookie;
    cookie.stream = &stream;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, &WriteToStream};
    SendMessageW(edit_->Handle(), EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (cookie.error) std::rethrow_exception(cookie.error);
    if (es.dwError) throw EWriteError(L"Stream write error");
}

void TRichEditStrings::LoadFromStream(TStream& stream) {
    const std::int64_t rest = stream.Size() - stream.Position();
    std::vector<std::uint8_t> bytes(rest > 0 ? static_cast<std::size_t>(rest) : 0);
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    static const char kRtf[] = "{\\rtf";
    bool rtf = bytes.size() >= 5 && std::memcmp(bytes.data(), kRtf, 5) == 0;
    if (edit_->PlainText() || !rtf) {
        // Plain text: read with the string list's recognition of UTF-8, UTF-16 and code page 936.
        TMemoryStream text;
        if (!bytes.empty()) text.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        text.SetPosition(0);
        TMemoStrings::LoadFromStream(text);
        return;
    }
    StreamCookie cookie;
    cookie.data = bytes.data();
    cookie.size = bytes.size();
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, &ReadFromBytes};
    SendMessageW(edit_->Handle(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (es.dwError) throw EReadError(L"Stream read error");
}

// ---------------------------------------------------------------------------------------------------
// TCustomRichEdit

const TClassInfo* TCustomRichEdit::StaticClassInfo() {
    static const TClassInfo info(L"TCustomRichEdit", TCustomMemo::StaticClassInfo(),
                                 {
                                     BoolProp<TCustomRichEdit>(L"PlainText", &TCustomRichEdit::PlainText,
                                                               &TCustomRichEdit::SetPlainText),
                                     EventProp<TCustomRichEdit>(L"OnSelectionChange", &TCustomRichEdit::OnSelectionChange),
                                 });
    return &info;
}

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {
    ReplaceLines(std::make_unique<TRichEditStrings>(this));
}

void TCustomRichEdit::CreateParams(TCreateParams& p) {
    ctl_detail::EnsureRichEditLibrary();
    TCustomMemo::CreateParams(p);
    p.WinClassName = RICHEDIT_CLASSW;
    p.OwnClass = false;
}

void TCustomRichEdit::CreateWnd() {
    TCustomMemo::CreateWnd();
    HWND window = Handle();
    // Rich edits report changes only when asked to.
    SendMessageW(window, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    // No target device: wrap at the window's edge, or (width 1) not at all.
    SendMessageW(window, EM_SETTARGETDEVICE, 0, WordWrap() ? 0 : 1);
}

void TCustomRichEdit::ApplyMaxLength() {
    // The class's own limit is 32767 characters, too small for a log: no limit unless one is set.
    if (HandleAllocated())
        SendMessageW(Handle(), EM_EXLIMITTEXT, 0, MaxLength() > 0 ? MaxLength() : 0x7FFFFFF0);
}

String TCustomRichEdit::SelText() {
    CHARRANGE range{};
    SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMax <= range.cpMin) return String();
    String text(static_cast<size_t>(range.cpMax - range.cpMin) + 1, L'\0');
    LRESULT n = SendMessageW(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, static_cast<LRESULT>(text.size()))));
    return text;
}

void TCustomRichEdit::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == EN_SELCHANGE) {
        if (OnSelectionChange) OnSelectionChange(this);
        m.Result = 0;
        return;
    }
    TCustomMemo::WndProc(m);
}
