#include "skin_controls/WinSubClass_Edit.h"

#include <framework/sysutils.h>
#include <framework/wndthunk.h>

#include "skin_controls/SkinFactories.h"
#include "skin_controls/WinSubClass_Scroll.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"

// The hook on a combo box's edit child. It outlives the skinner when a later subclasser of the
// edit keeps our procedure; it then passes messages straight on.
struct TComboEditHook : std::enable_shared_from_this<TComboEditHook> {
    TSkinComBox* Skinner = nullptr;
    HWND Window = nullptr;
    WNDPROC OldProc = nullptr;
    bool Unicode = false;
    std::unique_ptr<TWndProcThunk> Thunk;

    void Proc(TMessage& m) {
        auto keep = shared_from_this(); // the skinner may unhook while the edit handles this
        const HWND window = Window;
        m.Result = Unicode ? CallWindowProcW(OldProc, window, m.Msg, m.WParam, m.LParam)
                           : CallWindowProcA(OldProc, window, m.Msg, m.WParam, m.LParam);
        if (m.Msg == WM_NCDESTROY) {
            Release();
            return;
        }
        try {
            if (Skinner) Skinner->EditMessage(m.Msg);
        } catch (...) {
            ReportCurrentException(nullptr);
        }
    }
    bool Hooked() const {
        if (!Window || !IsWindow(Window)) return false;
        const LONG_PTR now =
            Unicode ? GetWindowLongPtrW(Window, GWLP_WNDPROC) : GetWindowLongPtrA(Window, GWLP_WNDPROC);
        return reinterpret_cast<WNDPROC>(now) == Thunk->Proc();
    }
    // Gives the edit its procedure back; false when a later subclasser still calls ours.
    bool Release() {
        Skinner = nullptr;
        if (Hooked()) {
            const auto old = reinterpret_cast<LONG_PTR>(OldProc);
            Unicode ? SetWindowLongPtrW(Window, GWLP_WNDPROC, old)
                    : SetWindowLongPtrA(Window, GWLP_WNDPROC, old);
        } else if (Window && IsWindow(Window)) {
            return false;
        }
        Window = nullptr;
        return true;
    }
};

namespace {

std::wstring LowerClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return LowerCase(name);
}

void FrameColour(HDC dc, const RECT& r, TColor colour) {
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(colour)));
    FrameRect(dc, &r, brush.Get());
}

} // namespace

// --- TSkinEdit ---------------------------------------------------------------------------------------

void TSkinEdit::AfterMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        if (m.WParam == 0) PaintSkin(nullptr);
        break;
    case WM_PRINT:
        PrintFrame(reinterpret_cast<HDC>(m.WParam));
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

void TSkinEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TSkinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == UpDownSkinner) UpDownSkinner = nullptr;
}

void TSkinEdit::AttachUpDown() {
    for (HWND child = GetTopWindow(Handle); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring name = LowerClassName(child);
        if (name != L"msctls_updown32" && name.find(L"spin") == std::wstring::npos &&
            name.find(L"updown") == std::wstring::npos)
            continue;
        UpDownSkinner = new TSkinUpDown(Owner());
        UpDownSkinner->FreeNotification(this);
        UpDownSkinner->AttachWindow(child, SkinData, FormCanvas, SkinForm);
        UpDownSkinner->Inset = true;
        return;
    }
}

void TSkinEdit::DrawSkin(HDC dc, const RECT& rect) {
    if (!UpDownSkinner) AttachUpDown();
    RECT client;
    GetClientRect(Handle, &client);
    // No border on an axis: no frame.
    if (client.right == rect.right || client.bottom == rect.bottom) return;
    RECT r = rect;
    FrameColour(dc, r, SkinData->Colours.ButtonShadow);
    InflateRect(&r, -1, -1);
    FrameColour(dc, r, static_cast<TColor>(0xFFFFFF));
}

void TSkinEdit::PrintFrame(HDC dc) {
    RECT r;
    if (!GetWindowRect(Handle, &r)) return;
    WindowRect = r;
    OffsetRect(&r, -r.left, -r.top);
    HDC target = dc ? dc : GetWindowDC(Handle);
    if (!target) return;
    // The edit's own print may leave the DC clipped to its text.
    const int saved = SaveDC(target);
    SelectClipRgn(target, nullptr);
    try {
        DrawPrintFrame(target, r);
    } catch (...) {
        // the printed picture keeps the system's frame
    }
    RestoreDC(target, saved);
    if (!dc) ReleaseDC(Handle, target);
}

void TSkinEdit::DrawPrintFrame(HDC dc, const RECT& rect) {
    RECT client;
    GetClientRect(Handle, &client);
    if (client.right + 2 >= rect.right || client.bottom + 2 >= rect.bottom) return;
    RECT inner = rect;
    InflateRect(&inner, -1, -1);
    FrameRect(dc, &inner, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
    FrameColour(dc, rect, SkinData->Colours.ButtonShadow);
}

// --- TSkinComBox -------------------------------------------------------------------------------------

TSkinComBox::~TSkinComBox() {
    RestoreEdit();
    delete ListScrollSkinner;
}

void TSkinComBox::Notification(TComponent* AComponent, TOperation Operation) {
    TSkinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == ListScrollSkinner) ListScrollSkinner = nullptr;
}

void TSkinComBox::AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas, bool setColor) {
    if (Attached) return;
    TSkinControl::AttachControl(form, skinData, formCanvas, setColor);
    if (!Attached) return;
    ComboStyle = WindowStyle();
    ListScrollSkinner = nullptr;
    if ((ComboStyle & 3) == CBS_SIMPLE) {
        ComboInfo = COMBOBOXINFO{};
        ComboInfo.cbSize = sizeof(ComboInfo);
        if (!GetComboBoxInfo(Handle, &ComboInfo)) return;
        ListHandle = ComboInfo.hwndList;
        ComboStyle = static_cast<DWORD>(GetWindowLongPtrW(ListHandle, GWL_STYLE));
        if (!IsTopLevelWindow(ListHandle) && (ComboStyle & WS_CHILD)) {
            ListScrollSkinner = new TSkinScrollbarH(Owner());
            ListScrollSkinner->FreeNotification(this);
            ListScrollSkinner->AttachWindow(ListHandle, SkinData, nullptr, SkinForm);
        }
    } else {
        SubclassEdit();
        ListHandle = nullptr;
    }
}

void TSkinComBox::SubclassEdit() {
    EditHandle = GetTopWindow(Handle);
    if (!EditHandle) return;
    EditHook = std::make_shared<TComboEditHook>();
    EditHook->Skinner = this;
    EditHook->Window = EditHandle;
    EditHook->Unicode = IsWindowUnicode(EditHandle);
    EditHook->Thunk = TWndProcThunk::Make<&TComboEditHook::Proc>(EditHook.get());
    const auto proc = reinterpret_cast<LONG_PTR>(EditHook->Thunk->Proc());
    EditHook->OldProc =
        reinterpret_cast<WNDPROC>(EditHook->Unicode ? SetWindowLongPtrW(EditHandle, GWLP_WNDPROC, proc)
                                                    : SetWindowLongPtrA(EditHandle, GWLP_WNDPROC, proc));
}

void TSkinComBox::RestoreEdit() {
    if (EditHook && !EditHook->Release())
        new std::shared_ptr<TComboEditHook>(EditHook); // kept for the later subclasser
    EditHook.reset();
    EditHandle = nullptr;
}

void TSkinComBox::Unskin() {
    TSkinControl::Unskin();
    RestoreEdit();
}

bool TSkinComBox::PressMessage(UINT msg) {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)
        ButtonState.Include(sbPressed);
    else if (msg == WM_LBUTTONUP)
        ButtonState.Exclude(sbPressed);
    else
        return false;
    Redraw();
    return true;
}

void TSkinComBox::EditMessage(UINT msg) {
    if (msg == WM_PAINT)
        PaintSkin(nullptr);
    else
        PressMessage(msg);
}

void TSkinComBox::AfterMessage(TMessage& m) {
    if (PressMessage(m.Msg)) return;
    switch (m.Msg) {
    case CN_COMMAND:
        // The release that closes a dropped list goes to the list, not to the combo box.
        if (HIWORD(m.WParam) == CBN_CLOSEUP && ButtonState.Contains(sbPressed)) {
            ButtonState.Exclude(sbPressed);
            Redraw();
        }
        break;
    case WM_DRAWITEM:
    case WM_NCPAINT:
        Redraw();
        break;
    case CM_MOUSEENTER:
        if (Enabled) ButtonState.Include(sbHot);
        break;
    case CM_MOUSELEAVE:
        if (Enabled) ButtonState.Exclude(sbHot);
        break;
    default:
        TSkinControl::AfterMessage(m);
        break;
    }
}

int TSkinComBox::FrameIndex() const {
    if (ButtonState.Contains(sbPressed)) return 2;
    if (ButtonState.Contains(sbHot) || Focused) return 4;
    return Enabled ? 1 : 3;
}

void TSkinComBox::DrawSkin(HDC dc, const RECT& rect) {
    TDataSkinBorder* button = SkinData->ComboButton.get();
    if (!button || button->Bitmap.Empty()) return;
    ComboStyle = WindowStyle();
    ComboExStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle, GWL_EXSTYLE));
    ComboInfo = COMBOBOXINFO{};
    ComboInfo.cbSize = sizeof(ComboInfo);
    GetComboBoxInfo(Handle, &ComboInfo);
    if (ComboInfo.stateButton & STATE_SYSTEM_INVISIBLE) return;
    if (button->Style == 1) {
        DrawSimple(dc, rect);
        return;
    }
    RECT r = rect;
    OffsetRect(&r, -r.left, -r.top);
    const HWND focus = GetFocus();
    Focused = focus && (focus == Handle || focus == EditHandle);
    Enabled = !(ComboStyle & WS_DISABLED);
    const int d = FrameIndex();
    const int e = GetSystemMetrics(SM_CXHSCROLL);
    const bool left = ComboExStyle & WS_EX_LEFTSCROLLBAR;
    if (button->Style == 2) {
        TDataSkinObject* element =
            left && SkinData->SunkEdge ? static_cast<TDataSkinObject*>(SkinData->SunkEdge.get()) : button;
        // A mirrored strip holds its frames in reverse order.
        const int frame = element == button ? d : element->FrameCount + 1 - d;
        DrawSkinFrame(dc, r, element->Bitmap, element->Margins(), frame, element->FrameCount, true, false,
                      false);
        return;
    }
    const int saved = SaveDC(dc);
    RECT b, g;
    TBitmap* strip;
    if (!left) {
        ExcludeClipRect(dc, r.left + 2, r.top + 2, r.right - e - 4, r.bottom - 2);
        b = RECT{r.right - e - 2, r.top, r.right, r.bottom};
        g = RECT{r.right - e - 2, r.top, r.right - 2, r.bottom};
        strip = &button->Bitmap;
    } else {
        ExcludeClipRect(dc, r.left + e + 4, r.top + 2, r.right - 2, r.bottom - 2);
        b = RECT{r.left, r.top, r.left + e + 2, r.bottom};
        g = RECT{2, r.top, e + 2, r.bottom};
        strip = &button->Bitmap2;
    }
    if (SkinData->SunkEdge)
        DrawElementFrame(dc, r, SkinData->SunkEdge.get(), d, SkinData->SunkEdge->FrameCount);
    DrawStripFrameMasked(dc, b, *strip, left ? button->FrameCount + 1 - d : d, button->FrameCount);
    TDataSkinObject* extra = SkinData->ExtraImages.get();
    if (extra && !extra->Bitmap.Empty() && extra->FrameCount > 0) {
        const int w = extra->Bitmap.Width() / extra->FrameCount, h = extra->Bitmap.Height();
        const int x = g.left + (g.right - g.left - w) / 2, y = g.top + (g.bottom - g.top - h) / 2;
        DrawStripFrameDC(dc, RECT{x, y, x + w, y + h}, extra->Bitmap, d, extra->FrameCount);
    }
    RestoreDC(dc, saved);
}

void TSkinComBox::DrawSimple(HDC dc, const RECT& rect) {
    TDataSkinBorder& button = *SkinData->ComboButton;
    RECT r = rect;
    OffsetRect(&r, -r.left, -r.top);
    const HWND focus = GetFocus();
    Focused = focus && (focus == Handle || focus == EditHandle);
    Enabled = !(WindowStyle() & WS_DISABLED);
    const int d = FrameIndex();
    const auto brush = static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
    RECT b = r;
    InflateRect(&b, -1, -1);
    FrameRect(dc, &b, brush);
    InflateRect(&b, -1, -1);
    b.left = b.right - GetSystemMetrics(SM_CYVTHUMB);
    FillRect(dc, &b, brush);
    if (button.FrameCount > 0) {
        const int w = button.Bitmap.Width() / button.FrameCount;
        const int mode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, b.left, b.top, b.right - b.left, b.bottom - b.top, button.Bitmap.Canvas()->Handle(),
                   w * (d - 1), 0, w, button.Bitmap.Height(), SRCCOPY);
        SetStretchBltMode(dc, mode);
    }
    FrameColour(dc, r, SkinData->Colours.ButtonShadow);
}

// --- factories ---------------------------------------------------------------------------------------

TSkinControl* NewEditSkinner(TComponent* owner) {
    return new TSkinEdit(owner);
}

TSkinControl* NewComboSkinner(TComponent* owner) {
    return new TSkinComBox(owner);
}
